#include "support/xserver/kgiTestXServer.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In the child: end with the parent, output to /dev/null, `keep` moved to
// descriptor 3 (when given).
void prepareChild(pid_t parent, int keep)
{
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
        _exit(127);
    kgiTestX::quietStandardStreams();
    if (keep >= 0 && keep != 3) {
        dup2(keep, 3);
        close(keep);
    }
}

} // namespace

namespace kgiTestX {

std::string startServer(pid_t& pid)
{
    // Xvfb writes the display number it took to descriptor 3 once it
    // accepts connections.
    int fds[2];
    pid = -1;
    if (pipe(fds) != 0)
        return std::string();
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        prepareChild(parent, fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr};
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        end(pid);
        pid = -1;
        return std::string();
    }
    return ":" + number;
}

pid_t startOpenbox(const std::string& display, const std::string& home)
{
    std::error_code ignored;
    for (const char* sub : {"/config", "/cache", "/data"})
        std::filesystem::create_directories(home + sub, ignored);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid < 0 ? -1 : pid;
    prepareChild(parent, -1);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    const char* argv[] = {"openbox", "--sm-disable", nullptr};
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
}

void quietStandardStreams()
{
    const int quiet = open("/dev/null", O_RDWR);
    if (quiet < 0)
        return;
    dup2(quiet, 0);
    dup2(quiet, 1);
    dup2(quiet, 2);
    if (quiet > 2)
        close(quiet);
}

void end(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace kgiTestX
