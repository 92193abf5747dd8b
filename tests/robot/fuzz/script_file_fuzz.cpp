// The script import on arbitrary bytes over a motion of one key: it must
// not crash; a completed import keys whole frames up to the motion-key
// file's last frame, frame 0 first, and two undos give the old key back;
// an import stopped at the key limit, or a file refused, leaves the old
// key and an empty history.
#include "robot_files_fuzz_world.h"

#include "kgiKmmFile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static kgiRobotFilesFuzzWorld robot("script_file_fuzz");
    kgiCharacter* c = robot.character;
    robot.clearMotion();
    if (!c->addKey(3)) std::abort();
    c->getKeyUndo().clear();
    const std::string path = robot.write("s.psf", data, size);
    if (path.empty()) return 0;
    const int refusals = robot.services.refusals;
    const bool read = robot.table.importPellScript(path);
    if (read && robot.services.refusals != refusals) std::abort();
    if (read) {
        const std::vector<float>& keys = c->getKeyTimes();
        if (keys.empty() || keys.front() != 0.0f) std::abort();
        for (float t : keys)
            if (t > float(kgiKmmFile::MAX_FRAMES - 1) || t != float(int(t))) std::abort();
        if (!c->undoKeys() || c->getKeyCount() != 0) std::abort();
        if (!c->undoKeys() || c->getKeyTimes() != std::vector<float>{3.0f}) std::abort();
    } else if (c->getKeyTimes() != std::vector<float>{3.0f} || c->undoKeys()) {
        std::abort();
    }
    return 0;
}
