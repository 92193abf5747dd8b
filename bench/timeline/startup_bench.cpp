// The staged program under the current X display (no window manager, as
// under Xvfb): each run starts Zodarovu0 in a freshly staged base directory
// and watches the screen until both windows show their first frame (the
// white time line, the 3D view's background), then ends it with SIGTERM.
// The idle run also reports processor seconds per wall second over 10 s of
// nothing to do, then over 10 s of playback (Return in the 3D window).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <benchmark/benchmark.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Where the windows open (see the main window and the 3D window): a point
// of the time-line canvas and one of the 3D view's background.
constexpr int TIMELINE_X = 500, TIMELINE_Y = 180;
constexpr int VIEW_X = 60, VIEW_Y = 285;

const std::string& stagedDir() {
    static const std::string dir = [] {
        const std::string d = (fs::path(KGI_BENCH_TMP) / ("base_" + std::to_string(getpid()))).string();
        std::error_code ignored;
        fs::remove_all(d, ignored);
        fs::create_directories(d);
        const std::string destArg = "-DKGI_STAGE_DEST=" + d;
        const pid_t pid = fork();
        if (pid == 0) {
            const char* argv[] = {KGI_CMAKE_COMMAND, destArg.c_str(), "-P", KGI_STAGE_SCRIPT, nullptr};
            execv(KGI_CMAKE_COMMAND, const_cast<char* const*>(argv));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? d : std::string();
    }();
    return dir;
}

pid_t startProgram(const std::string& dir) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        // Quiet: the sound library's complaints about a missing card.
        std::freopen("/dev/null", "w", stderr);
        const char* argv[] = {"./Zodarovu0", nullptr};
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    return pid;
}

void stopProgram(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

unsigned long pixel(Display* d, int x, int y) {
    XImage* img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0;
    const unsigned long p = XGetPixel(img, 0, 0) & 0xffffff;
    XDestroyImage(img);
    return p;
}

bool bothDrawn(Display* d) {
    return pixel(d, TIMELINE_X, TIMELINE_Y) == 0xffffff && pixel(d, VIEW_X, VIEW_Y) == 0xdedede;
}

bool waitUntil(Display* d, bool (*cond)(Display*), double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (cond(d)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool nothingShown(Display* d) { return pixel(d, TIMELINE_X, TIMELINE_Y) != 0xffffff && pixel(d, VIEW_X, VIEW_Y) != 0xdedede; }

double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = s.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

double cpuPerWallSecond(pid_t pid, double seconds) {
    const double c0 = cpuSeconds(pid);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    return (cpuSeconds(pid) - c0) / wall;
}

Window findWindow(Display* d, Window w, const char* name) {
    char* title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        const bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i) found = findWindow(d, children[i], name);
    if (children) XFree(children);
    return found;
}

// One connection for the whole run, opened before any program is started.
Display* openDisplay(benchmark::State& state) {
    static Display* const display = XOpenDisplay(nullptr);
    Display* d = display;
    if (!d) state.SkipWithError("no X display");
    else if (stagedDir().empty()) state.SkipWithError("staging the base directory failed");
    return d;
}

void BM_StartUpToFirstFrames(benchmark::State& state) {
    Display* d = openDisplay(state);
    if (!d) return;
    double timelineSum = 0.0, viewSum = 0.0;
    for (auto _ : state) {
        waitUntil(d, nothingShown, 5.0);
        const auto t0 = Clock::now();
        const pid_t pid = startProgram(stagedDir());
        // Each window's first frame on its own, then both.
        double timelineAt = 0.0, viewAt = 0.0;
        bool drawn = false;
        const auto end = t0 + std::chrono::seconds(30);
        while (!drawn && Clock::now() < end) {
            const double t = std::chrono::duration<double>(Clock::now() - t0).count();
            if (timelineAt == 0.0 && pixel(d, TIMELINE_X, TIMELINE_Y) == 0xffffff) timelineAt = t;
            if (viewAt == 0.0 && pixel(d, VIEW_X, VIEW_Y) == 0xdedede) viewAt = t;
            drawn = timelineAt > 0.0 && viewAt > 0.0;
            if (!drawn) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        timelineSum += timelineAt;
        viewSum += viewAt;
        stopProgram(pid);
        if (!drawn) {
            state.SkipWithError("the windows did not show their first frames");
            break;
        }
    }
    if (state.iterations() > 0) {
        state.counters["timeline_first_s"] = timelineSum / double(state.iterations());
        state.counters["view_first_s"] = viewSum / double(state.iterations());
    }
}
BENCHMARK(BM_StartUpToFirstFrames)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdleAndPlaybackCpu(benchmark::State& state) {
    Display* d = openDisplay(state);
    if (!d) return;
    for (auto _ : state) {
        waitUntil(d, nothingShown, 5.0);
        const pid_t pid = startProgram(stagedDir());
        if (!waitUntil(d, bothDrawn, 30.0)) {
            stopProgram(pid);
            state.SkipWithError("the windows did not show their first frames");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        state.counters["idle_cpu_per_s"] = cpuPerWallSecond(pid, 10.0);
        const Window view = findWindow(d, DefaultRootWindow(d), "3DView");
        if (view) {
            XSetInputFocus(d, view, RevertToParent, CurrentTime);
            const KeyCode ret = XKeysymToKeycode(d, XK_Return);
            XTestFakeKeyEvent(d, ret, True, CurrentTime);
            XTestFakeKeyEvent(d, ret, False, CurrentTime);
            XSync(d, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            state.counters["play_cpu_per_s"] = cpuPerWallSecond(pid, 10.0);
        }
        stopProgram(pid);
    }
}
BENCHMARK(BM_IdleAndPlaybackCpu)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
