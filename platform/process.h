#pragma once
// A child process started from an argument array (never through a shell, so
// no argument is ever parsed again), polled for its end and terminated.
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

class Process {
public:
    Process() = default;
    // Terminates a child that still runs, so none outlives its owner
    // unreaped.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts argv[0] (searched in PATH unless it holds a '/') with the
    // following elements as its arguments, in `workDir` when that is not
    // empty. The child gets only standard input, output and error of this
    // process, and leads a process group of its own so that terminate()
    // also reaches what it starts. A child still held is terminated first.
    // False, and no child held, when argv is empty or the start failed;
    // lastError() then tells why.
    bool start(const std::vector<std::string>& argv, const std::string& workDir = std::string());

    // True while the child runs. Once it has ended it is reaped and
    // forgotten: later calls answer false without touching it again.
    bool running();

    // Ends the child's process group (SIGTERM, then SIGKILL when it is
    // still there after a short grace) and reaps the child. Nothing when
    // no child is held.
    void terminate();

    // True from a successful start() until the child is seen to end or is
    // terminated.
    bool held() const { return pid > 0; }

    // Exit status of the last child seen to end (as waitpid reports it), or
    // -1 when none has.
    int lastStatus() const { return status; }

    // errno of the last failure.
    int lastError() const { return error; }

private:
    pid_t pid = -1;
    int status = -1;
    int error = 0;
};

// Starts argv[0] (searched in PATH unless it holds a '/') with the following
// elements as its arguments, in `workDir` when that is not empty, as a
// program of its own: it runs in a session of its own (a signal to this
// program's process group, Ctrl+C among them, does not reach it), is never
// terminated by this process, and is not this process's child (a helper
// process starts it and is reaped here at once), so it leaves no zombie
// behind when it ends. Only standard input, output and error are passed
// on. Returns the started program's process id, or -1 when argv is empty
// or the program could not be started; *error (when given) then holds the
// errno.
pid_t startDetached(const std::vector<std::string>& argv, const std::string& workDir = std::string(),
                    int* error = nullptr);

// The file of the program this process runs (/proc/self/exe resolved), so
// that a program replacing itself keeps its name: the kernel names a process
// after the file it was started from, and "/proc/self/exe" would make it
// "exe". "/proc/self/exe" itself when the link cannot be read or the file is
// gone (a rebuilt program still starts its own image again).
std::string ownProgramPath();

// Replaces this process by the program at `path` (no PATH search, never a
// shell) with argv as its argument vector, after making `workDir` the
// current directory when it is not empty. Descriptors other than standard
// input, output and error are not passed on. Returns only when that failed:
// the errno, with the current directory as it was.
int replaceProcess(const std::string& path, const std::vector<std::string>& argv,
                   const std::string& workDir = std::string());

} // namespace platform
