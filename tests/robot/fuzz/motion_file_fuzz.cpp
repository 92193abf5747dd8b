// The motion-file reader on arbitrary bytes, imported at a start frame the
// first byte picks: it must not crash, must key only whole frames from 0
// to 2^24, and whatever it keyed, also up to the key limit, one undo must
// take back.
#include "robot_files_fuzz_world.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kgiRobotFilesFuzzWorld robot("motion_file_fuzz");
    kgiCharacter* c = robot.character;
    robot.clearMotion();
    const int start = size > 0 ? data[0] % 8 : 0;
    const std::string path = robot.write("m.mdm", data, size);
    if (path.empty()) return 0;
    const bool read = robot.table.importMotionMdm(path, start);
    if (read && c->getKeyCount() == 0) std::abort();
    for (float t : c->getKeyTimes())
        if (t < float(start) || t > float(1 << 24) || t != float(int(t))) std::abort();
    if (c->getKeyCount() > kgiRobotFilesFuzzWorld::KEYS_MAX) std::abort();
    if (c->getKeyCount() > 0 && (!c->undoKeys() || c->getKeyCount() != 0)) std::abort();
    return 0;
}
