// The pose-file reader on arbitrary bytes, with and without the root line
// (the first byte picks): it must not crash and must leave every joint and
// the root's placement finite. A file it refuses changes no joint and adds
// no pose undo entry; any other load adds exactly one.
#include "robot_files_fuzz_world.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kgiRobotFilesFuzzWorld robot("pose_file_fuzz");
    kgiRobotJointTable& table = robot.table;
    kgiCharacter* c = robot.character;
    const std::string path = robot.write("p.mdp", data, size);
    if (path.empty()) return 0;
    const float knee = table.getJointAngleByName(c, "Knee");
    const int refusals = robot.services.refusals;
    c->getPoseUndo().clear();
    const bool read = table.importPoseMdp(path, size > 0 && (data[0] & 1));
    const bool refused = robot.services.refusals != refusals;
    if (refused && (read || c->getPoseUndo().getLast() || table.getJointAngleByName(c, "Knee") != knee))
        std::abort();
    // Otherwise one undo step gives the pose before the load back.
    if (!refused) {
        if (!c->undoPose() || c->undoPose() || table.getJointAngleByName(c, "Knee") != knee) std::abort();
        c->redoPose();
    }
    for (const char* joint : {"Knee", "Foot", "Elbow"})
        if (!std::isfinite(table.getJointAngleByName(c, joint))) std::abort();
    float p[6];
    kgiRobotJointTable::getNodePose(c->getRoot(), p[0], p[1], p[2], p[3], p[4], p[5]);
    for (float v : p)
        if (!std::isfinite(v)) std::abort();
    // The next input starts from the same pose.
    kgiRobotJointTable::setNodePose(c->getRoot(), 0, 0, 0, 0, 0, 0);
    for (const char* joint : {"Knee", "Foot", "Elbow"})
        table.setJointAngleByName(c, joint, 0.0f);
    return 0;
}
