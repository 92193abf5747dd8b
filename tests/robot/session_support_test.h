#pragma once
// Helpers of the robot session's tests that need neither a fixture tree
// nor a board: the session's test clock and an open-device check.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace kgiTestSession {

// A clock that moves on by more than one link step (0.015 s) at every
// reading, so every update and every turn of a wait loop steps the link
// once. Each reading also yields a few milliseconds: the link gives up on a
// reply after 100 steps, and the board's thread, on a loaded machine, must
// answer within them as it does at the real pace (1.5 s).
inline double steppingClock()
{
    static double t = 1000.0;
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    return t += 0.016;
}

// Whether this process holds the device open (a file descriptor names it).
inline bool deviceOpen(const std::string& device)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(e.path(), linkError);
        if (!linkError && target == device) return true;
    }
    return false;
}

} // namespace kgiTestSession
