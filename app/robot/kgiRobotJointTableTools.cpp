// Operations of the robot joint table that its callers already reach but
// that are not built yet: the robot text files, the hand, foot and floor
// tools and the part tools. Each changes nothing and answers false, null
// or a zero vector; the files that build them take their bodies out of
// here.
#include "kgiRobotJointTable.h"

// --- robot text files ---

bool kgiRobotJointTable::exportPoseMdp(const std::string&) { return false; }
bool kgiRobotJointTable::importPoseMdp(const std::string&, bool) { return false; }
bool kgiRobotJointTable::exportMotionMdm(const std::string&) { return false; }
bool kgiRobotJointTable::importMotionMdm(const std::string&, int) { return false; }
bool kgiRobotJointTable::importPellScript(const std::string&) { return false; }
bool kgiRobotJointTable::applyPoseLine(const std::string&, kgiCharacter*, bool) { return false; }
void kgiRobotJointTable::applyMotionLine(const std::string&, kgiCharacter*, int) {}

// --- hand, foot and floor tools ---

bool kgiRobotJointTable::setHand(ksgNode*, bool) { return false; }
bool kgiRobotJointTable::setGrips(ksgNode*, int, bool) { return false; }
bool kgiRobotJointTable::putOnFloor(bool) { return false; }
bool kgiRobotJointTable::isInFoot(ksgNode*) { return false; }
bool kgiRobotJointTable::levelFootOverKeys(ksgNode*, bool) { return false; }
bool kgiRobotJointTable::levelFoot(ksgNode*) { return false; }
bool kgiRobotJointTable::levelAnkles(ksgNode*) { return false; }
bool kgiRobotJointTable::storeReferencePlacement(ksgNode*) { return false; }
bool kgiRobotJointTable::keepBasePartFixed() { return false; }
bool kgiRobotJointTable::alignBasePart(ksgNode*, bool) { return false; }
bool kgiRobotJointTable::alignBasePartToTime(ksgNode*, float) { return false; }
bool kgiRobotJointTable::alignBasePartOverRange(ksgNode*) { return false; }

// --- parts, collision and centre of gravity ---

bool kgiRobotJointTable::checkPartCollisions(kgiCharacter*, unsigned char*) { return false; }
void kgiRobotJointTable::clearCollisionHits(kgiCharacter*) {}
bool kgiRobotJointTable::computeCenterOfGravity(kgiCharacter*, kmlVec3&) { return false; }
bool kgiRobotJointTable::arePartsJoined(ksgNode*, ksgNode*) { return false; }
void kgiRobotJointTable::clearCollisionHits() {}
void kgiRobotJointTable::clearAllPartSelections() {}
void kgiRobotJointTable::selectPart(ksgNode*) {}
void kgiRobotJointTable::clearPartMark(ksgNode*) {}
void kgiRobotJointTable::toggleSelectedPart(ksgNode*) {}
void kgiRobotJointTable::setPartSelected(ksgNode*, bool) {}
void kgiRobotJointTable::setPartMarked(ksgNode*, bool) {}
bool kgiRobotJointTable::isInSelectedPart(ksgNode*) { return false; }
void kgiRobotJointTable::clearAllPartMarks() {}
kmlVec3 kgiRobotJointTable::computeCenterOfGravity() { return kmlVec3(0.0f, 0.0f, 0.0f); }
kmlVec<3> kgiRobotJointTable::mulMatrix3Vec3(const kmlMatrix3&, const kmlVec<3>&) { return kmlVec<3>(); }
kmlVec<3> kgiRobotJointTable::scaleVec3(const kmlVec<3>&, float) { return kmlVec<3>(); }
