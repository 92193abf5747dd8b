// The motion-file reader on arbitrary bytes, imported at a start frame the
// first byte picks: it must not crash, must key only whole frames from the
// start to the motion-key file's last frame, and whatever it keyed, also
// up to the key limit, one undo must take back. A file it refuses keys
// nothing and leaves the history empty, and the check before an opening
// refuses the same files at start 0.
#include "robot_files_fuzz_world.h"

#include "kgiKmmFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kgiRobotFilesFuzzWorld robot("motion_file_fuzz");
    kgiCharacter* c = robot.character;
    robot.clearMotion();
    const int start = size > 0 ? data[0] % 8 : 0;
    const std::string path = robot.write("m.mdm", data, size);
    if (path.empty()) return 0;
    const int refusals = robot.services.refusals;
    const bool read = robot.table.importMotionMdm(path, start);
    const bool refused = robot.services.refusals != refusals;
    if (read && (c->getKeyCount() == 0 || refused)) std::abort();
    if (refused && (c->getKeyCount() != 0 || c->getKeyUndo().getLast())) std::abort();
    if (start == 0 && robot.table.checkMotionMdm(path) == refused) std::abort();
    for (float t : c->getKeyTimes())
        if (t < float(start) || t > float(kgiKmmFile::MAX_FRAMES - 1) || t != float(int(t))) std::abort();
    if (c->getKeyCount() > kgiRobotFilesFuzzWorld::KEYS_MAX) std::abort();
    if (c->getKeyCount() > 0 && (!c->undoKeys() || c->getKeyCount() != 0)) std::abort();
    return 0;
}
