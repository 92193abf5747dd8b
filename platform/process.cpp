#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// How long a terminated child may take to end on SIGTERM before it is
// killed: long enough for a well-behaved program to go, short enough not to
// stall the user interface that calls this.
constexpr int GRACE_STEPS = 40;
constexpr long GRACE_STEP_NS = 5 * 1000 * 1000;

// What the helper and the started program tell startDetached through its
// pipe: the program's id, or why it could not be started.
struct DetachNote {
    enum Kind : int { STARTED, FAILED } kind;
    int value;
};

void sendNote(int fd, DetachNote::Kind kind, int value)
{
    const DetachNote note{kind, value};
    // One write of a few bytes to a pipe is atomic; nothing to retry but EINTR.
    while (write(fd, &note, sizeof note) < 0 && errno == EINTR) {
    }
}

// argv[0] as execv needs it: itself when it holds a '/', else the first
// executable of that name in PATH; empty when there is none.
std::string findProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    const std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::string::size_type begin = 0;
    while (begin <= dirs.size()) {
        std::string::size_type end = dirs.find(':', begin);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > begin ? dirs.substr(begin, end - begin) : std::string(".");
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return std::string();
}

// Every descriptor from 3 up is closed by the next exec.
void closeOnExecFrom3()
{
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
}

std::vector<char*> argumentVector(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

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
    std::vector<char*> args = argumentVector(argv);

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

pid_t startDetached(const std::vector<std::string>& argv, const std::string& workDir, int* error)
{
    const auto fail = [error](int e) {
        if (error)
            *error = e;
        return pid_t(-1);
    };
    if (argv.empty() || argv[0].empty())
        return fail(EINVAL);
    // Everything the children need is made before the fork: after it, in a
    // program with threads, only async-signal-safe calls are allowed.
    const std::string program = findProgram(argv[0]);
    if (program.empty())
        return fail(ENOENT);
    std::vector<char*> args = argumentVector(argv);
    const char* dir = workDir.empty() ? nullptr : workDir.c_str();
    int notes[2];
    if (pipe2(notes, O_CLOEXEC) < 0)
        return fail(errno);

    const pid_t helper = fork();
    if (helper < 0) {
        const int e = errno;
        close(notes[0]);
        close(notes[1]);
        return fail(e);
    }
    if (helper == 0) {
        // The helper: a new session, the program as its child, then gone.
        // The program is left to the system's reaper, never to this process.
        close(notes[0]);
        setsid();
        const pid_t child = fork();
        if (child < 0) {
            sendNote(notes[1], DetachNote::FAILED, errno);
            _exit(1);
        }
        if (child > 0) {
            sendNote(notes[1], DetachNote::STARTED, int(child));
            _exit(0);
        }
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction fresh {};
        fresh.sa_handler = SIG_DFL;
        sigaction(SIGPIPE, &fresh, nullptr);
        sigaction(SIGCHLD, &fresh, nullptr);
        if (dir && chdir(dir) < 0) {
            sendNote(notes[1], DetachNote::FAILED, errno);
            _exit(127);
        }
        closeOnExecFrom3();
        execv(program.c_str(), args.data());
        // The pipe closes on a successful exec; only a failure writes.
        sendNote(notes[1], DetachNote::FAILED, errno);
        _exit(127);
    }

    close(notes[1]);
    int status = 0;
    while (waitpid(helper, &status, 0) < 0 && errno == EINTR) {
    }
    // Read until both the helper and the program have let go of the pipe:
    // the program's id, and a failure when its exec did not happen.
    pid_t started = -1;
    int failure = 0;
    DetachNote note{};
    for (;;) {
        const ssize_t n = read(notes[0], &note, sizeof note);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != ssize_t(sizeof note))
            break;
        if (note.kind == DetachNote::STARTED)
            started = pid_t(note.value);
        else
            failure = note.value;
    }
    close(notes[0]);
    if (failure != 0)
        return fail(failure);
    if (started <= 0)
        return fail(ECHILD);
    return started;
}

std::string ownProgramPath()
{
    const char* self = "/proc/self/exe";
    std::string path(4096, '\0');
    const ssize_t n = readlink(self, &path[0], path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size())
        return self;
    path.resize(static_cast<size_t>(n));
    // A file replaced or removed since the start reads "... (deleted)".
    if (access(path.c_str(), X_OK) < 0)
        return self;
    return path;
}

int replaceProcess(const std::string& path, const std::vector<std::string>& argv, const std::string& workDir)
{
    if (path.empty() || argv.empty())
        return EINVAL;
    // What can be seen to fail is tested before anything of this process
    // changes: a program that keeps running keeps its state.
    if (access(path.c_str(), X_OK) < 0)
        return errno;
    const int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!workDir.empty() && chdir(workDir.c_str()) < 0) {
        const int e = errno;
        if (here >= 0)
            close(here);
        return e;
    }
    std::vector<char*> args = argumentVector(argv);
    sigset_t none, old;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, &old);
    // The descriptors of this program (display connection, serial port)
    // are not the new program's.
    closeOnExecFrom3();
    execv(path.c_str(), args.data());
    const int e = errno;
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (here >= 0) {
        if (fchdir(here) < 0) {
            // The old folder went away meanwhile; the failure of the exec
            // is what the caller reports.
        }
        close(here);
    }
    return e;
}

} // namespace platform
