#include "medialib/privateDisplay.h"

#include "platform/screen.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs argv with DISPLAY set (when given) and output to /dev/null but for
// descriptor `keep`; the child ends with the calling process.
pid_t spawn(const char* const* argv, const std::string& display, int keep)
{
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
        _exit(127);
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) {
        dup2(quiet, 1);
        dup2(quiet, 2);
    }
    if (keep >= 0 && keep != 3) {
        dup2(keep, 3);
        close(keep);
    }
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
}

void end(pid_t& pid)
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

} // namespace

kgiPrivateDisplay::kgiPrivateDisplay(bool windowManager)
{
    // Xvfb picks a free display number and writes it to descriptor 3 once it
    // takes connections.
    int fds[2];
    if (pipe(fds) != 0) {
        failure = "no pipe";
        return;
    }
    const char* xvfb[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr};
    server = spawn(xvfb, std::string(), fds[1]);
    close(fds[1]);
    std::string number;
    char c = 0;
    while (server > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        failure = "Xvfb did not start";
        end(server);
        return;
    }
    const std::string name = ":" + number;
    if (windowManager) {
        const char* openbox[] = {"openbox", "--sm-disable", nullptr};
        manager = spawn(openbox, name, -1);
        // Up once it frames a window: one mapped while it still starts up
        // may be left unmapped for good, so each probe gets half a second.
        Display* d = XOpenDisplay(name.c_str());
        bool up = false;
        Window probe = 0;
        int probeAge = 0;
        for (int waited = 0; d && !up && waited < 30000; waited += 20) {
            if (probe && probeAge >= 500) {
                XDestroyWindow(d, probe);
                probe = 0;
            }
            if (!probe && platform::hasWindowManager(d)) {
                probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
                XMapWindow(d, probe);
                probeAge = 0;
            }
            if (probe) {
                Window root = 0, parent = 0, *children = nullptr;
                unsigned n = 0;
                if (XQueryTree(d, probe, &root, &parent, &children, &n)) {
                    if (children) XFree(children);
                    up = parent != root;
                }
            }
            if (!up) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                probeAge += 20;
            }
        }
        if (d) {
            if (probe) XDestroyWindow(d, probe);
            XCloseDisplay(d);
        }
        if (!up) {
            failure = "openbox did not start (is it installed?)";
            end(manager);
            end(server);
            return;
        }
    }
    display = name;
}

kgiPrivateDisplay::~kgiPrivateDisplay()
{
    end(manager);
    end(server);
}
