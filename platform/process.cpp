#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

namespace {

// How long a terminated child may take to end on SIGTERM before it is
// killed: long enough for a well-behaved program to go, short enough not to
// stall the user interface that calls this.
constexpr int GRACE_STEPS = 40;
constexpr long GRACE_STEP_NS = 5 * 1000 * 1000;

} // namespace

Process::~Process()
{
    terminate();
}

bool Process::start(const std::vector<std::string>& argv, const std::string& workDir)
{
    terminate();
    if (argv.empty() || argv[0].empty()) {
        error = EINVAL;
        return false;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // Descriptors the program holds (the serial port among them) stay
    // with it; the child sees only the standard three.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!workDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);

    pid_t child = -1;
    int r = posix_spawnp(&child, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (r != 0) {
        error = r;
        return false;
    }
    pid = child;
    return true;
}

bool Process::running()
{
    if (pid <= 0)
        return false;
    int s = 0;
    pid_t r = waitpid(pid, &s, WNOHANG);
    if (r == 0)
        return true;
    if (r == pid)
        status = s;
    else
        error = errno;
    pid = -1;
    return false;
}

void Process::terminate()
{
    if (pid <= 0)
        return;
    // The child leads its own group; signal the group so helpers it
    // started (an audio player, a script's command) end with it. The child
    // is reaped only after the last signal: until then its id cannot pass
    // to an unrelated process.
    kill(-pid, SIGTERM);
    for (int i = 0; i < GRACE_STEPS; ++i) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 &&
            errno != EINTR)
            break;
        if (info.si_pid == pid)
            break;
        timespec step{0, GRACE_STEP_NS};
        nanosleep(&step, nullptr);
    }
    kill(-pid, SIGKILL);
    int s = 0;
    pid_t r;
    while ((r = waitpid(pid, &s, 0)) < 0 && errno == EINTR) {
    }
    if (r == pid)
        status = s;
    else
        error = errno;
    pid = -1;
}

} // namespace platform
