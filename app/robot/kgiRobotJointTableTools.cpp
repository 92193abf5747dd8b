// Operations of the robot joint table that its callers already reach but
// that are not built yet: the robot text files. Each changes nothing and
// answers false; the files that build them take their bodies out of here.
#include "kgiRobotJointTable.h"

// --- robot text files ---

bool kgiRobotJointTable::exportPoseMdp(const std::string&) { return false; }
bool kgiRobotJointTable::importPoseMdp(const std::string&, bool) { return false; }
bool kgiRobotJointTable::exportMotionMdm(const std::string&) { return false; }
bool kgiRobotJointTable::importMotionMdm(const std::string&, int) { return false; }
bool kgiRobotJointTable::importPellScript(const std::string&) { return false; }
bool kgiRobotJointTable::applyPoseLine(const std::string&, kgiCharacter*, bool) { return false; }
void kgiRobotJointTable::applyMotionLine(const std::string&, kgiCharacter*, int) {}
