#include "kit_support.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kit {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

fs::path freshDir(const std::string& name) {
    const fs::path dir = fs::path(KGI_TEST_TMP) / (name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

pid_t spawn(const std::vector<std::string>& argv, const fs::path& workDir,
            const std::vector<std::string>& env) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) std::_Exit(127);
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    ::execv(args[0], args.data());
    std::_Exit(127);
}

int waitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0 || std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int run(const std::vector<std::string>& argv, const fs::path& workDir) {
    const pid_t pid = spawn(argv, workDir);
    if (pid < 0) return -1;
    const int status = waitFor(pid, std::chrono::minutes(1));
    if (status < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool stage(const fs::path& dest) {
    return run({KGI_CMAKE_COMMAND, "-DKGI_STAGE_DEST=" + dest.string(), "-P", KGI_STAGE_SCRIPT}) ==
           0;
}

std::vector<std::string> filesBelow(const fs::path& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.push_back(fs::relative(e.path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

PrivateDisplay::PrivateDisplay() {
    // Xvfb picks a free display number and writes it to the descriptor
    // given with -displayfd once it accepts connections. -noreset: by
    // default the server resets whenever its last client leaves and drops
    // any connection made meanwhile, so the program connecting just as a
    // look at the window list ends would fail to open the display.
    int fds[2];
    if (::pipe(fds) != 0) return;
    server = ::fork();
    if (server == 0) {
        ::close(fds[0]);
        if (fds[1] != 3) {
            ::dup2(fds[1], 3);
            ::close(fds[1]);
        }
        const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24",
                              "-nolisten", "tcp", "-noreset", nullptr};
        ::execvp(argv[0], const_cast<char**>(argv));
        std::_Exit(127);
    }
    ::close(fds[1]);
    if (server < 0) {
        ::close(fds[0]);
        return;
    }
    std::string number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (!number.empty()) display = ":" + number;
}

PrivateDisplay::~PrivateDisplay() {
    if (server > 0) {
        ::kill(server, SIGTERM);
        ::waitpid(server, nullptr, 0);
    }
}

namespace {

void collectTitles(::Display* d, ::Window w, std::vector<std::string>& out) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        out.push_back(name);
        XFree(name);
    }
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) collectTitles(d, children[i], out);
    if (children) XFree(children);
}

} // namespace

std::vector<std::string> PrivateDisplay::windowTitles() const {
    std::vector<std::string> out;
    if (display.empty()) return out;
    ::Display* d = XOpenDisplay(display.c_str());
    if (!d) return out;
    collectTitles(d, DefaultRootWindow(d), out);
    XCloseDisplay(d);
    return out;
}

} // namespace kit
