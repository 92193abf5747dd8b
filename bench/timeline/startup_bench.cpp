// The staged program under the current X display (no window manager, as
// under Xvfb): each run starts Zodarovu0 in a freshly staged base directory
// and watches the screen until both windows show their first frame (the
// white time line, the 3D view's background), then ends it with SIGTERM.
// BM_StartUpToFirstFrames reports the median and mean of five starts.
// BM_IdleAndPlaybackCpu reports processor seconds per wall second over 10 s
// of nothing to do, then over 10 s of playback of a real motion (the bow
// five times over, 380 frames, made the factory project's motion in a base
// directory of its own; Ctrl+A on the time line sets the play range to its
// keys, Return in the 3D window plays), with the frames each window puts
// on the screen per second (counted from the program's image requests
// through the X record extension). BM_LessonWaitingCpu reports the share
// of a core of lesson 1 waiting at its first step (the Options button),
// with no robot connected. Every benchmark also reports the machine's load
// (the one-minute average from /proc/loadavg) at its start.
// Before the X headers, whose macros would take its names.
#include "kgiKmmFile.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/shmproto.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>
#include <benchmark/benchmark.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Where the windows open (see the main window and the 3D window): a point
// of the time-line canvas and one of the 3D view's background.
constexpr int TIMELINE_X = 500, TIMELINE_Y = 180;
constexpr int VIEW_X = 60, VIEW_Y = 285;

// The base directories this run staged, removed when it ends.
struct StagedDirs {
    std::vector<std::string> dirs;
    ~StagedDirs() {
        std::error_code ignored;
        for (const std::string& d : dirs) fs::remove_all(d, ignored);
    }
};
StagedDirs staged;

// A base directory staged by the build's staging script; empty on failure.
std::string stageInto(const std::string& name) {
    const std::string d = (fs::path(KGI_BENCH_TMP) / (name + "_" + std::to_string(getpid()))).string();
    std::error_code ignored;
    fs::remove_all(d, ignored);
    fs::create_directories(d);
    staged.dirs.push_back(d);
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
}

const std::string& stagedDir() {
    static const std::string dir = stageInto("base");
    return dir;
}

// The bow repeated `times` times as the factory project's motion of dir:
// every frame record of the sample, each repetition after the last, and its
// key frames likewise.
bool makeLongBow(const std::string& dir, int times) {
    const std::string motion = dir + "/DORUZAVO_1base/motion/";
    kgiKmmFile in;
    if (!in.open((motion + "1_Bow.kmm").c_str()) || !in.readHeader() || !in.readBody()) return false;
    in.close();
    const int frames = in.getFrameCount();
    const int keys = in.getKeyCount();
    kgiKmmFile out;
    if (frames < 1 || !out.create(in.getNodeCount(), frames * times, keys * times)) return false;
    for (int n = 0; n < in.getNodeCount(); ++n) {
        const kgiKmmNode* node = in.getNode(n);
        out.setNodeName(n, node->name.c_str());
        out.setNodeType(n, node->type);
        out.setNodeDepth(n, node->depth);
        for (int r = 0; r < times; ++r)
            for (int f = 0; f < frames; ++f)
                if (const kgiKmmKey* k = node->getKey(f)) out.setKey(n, r * frames + f, k->matrix);
    }
    for (int r = 0; r < times; ++r)
        for (int k = 0; k < keys; ++k) out.setKeyFrame(r * keys + k, r * frames + in.getKeyFrame(k));
    return out.writeMatrices((motion + "DORUZAVO_1.kmm").c_str());
}

// A base directory whose factory project holds the bow five times over.
const std::string& playbackDir() {
    static const std::string dir = [] {
        const std::string d = stageInto("play");
        return !d.empty() && makeLongBow(d, 5) ? d : std::string();
    }();
    return dir;
}

double loadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = 0.0;
    in >> load;
    return load;
}

// The program in dir, with one command-line argument when given.
pid_t startProgram(const std::string& dir, const char* argument = nullptr) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        // Quiet: the sound library's complaints about a missing card, the
        // lessons' speech texts.
        std::freopen("/dev/null", "w", stderr);
        const char* argv[] = {"./Zodarovu0", argument, nullptr};
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

// Sends one key (with Control when asked) to the top-level window titled
// title; false when there is no such window.
bool pressKey(Display* d, const char* title, KeySym key, bool control = false) {
    const Window w = findWindow(d, DefaultRootWindow(d), title);
    if (!w) return false;
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    const KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L);
    const KeyCode code = XKeysymToKeycode(d, key);
    if (control) XTestFakeKeyEvent(d, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (control) XTestFakeKeyEvent(d, ctrl, False, CurrentTime);
    XSync(d, False);
    return true;
}

// Every window below w, w included.
void windowTree(Display* d, Window w, std::vector<Window>& out) {
    out.push_back(w);
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return;
    for (unsigned i = 0; i < n; ++i) windowTree(d, children[i], out);
    if (children) XFree(children);
}

// Counts the images put into the windows of two top-level windows over a
// span: every frame a GL canvas shows with the software renderer reaches
// the server as one image request (plain or shared-memory), which the X
// record extension reports from the program's connection.
class FrameCounter {
public:
    FrameCounter(Display* control, const char* firstTitle, const char* secondTitle) : control(control) {
        windowTree(control, findWindow(control, DefaultRootWindow(control), firstTitle), first);
        windowTree(control, findWindow(control, DefaultRootWindow(control), secondTitle), second);
        data = XOpenDisplay(DisplayString(control));
        int major = 0, minor = 0;
        if (!data || !XRecordQueryVersion(control, &major, &minor)) return;
        int event = 0, error = 0;
        XQueryExtension(control, "MIT-SHM", &shmOpcode, &event, &error);
        XRecordRange* ranges[2] = {XRecordAllocRange(), XRecordAllocRange()};
        ranges[0]->core_requests.first = ranges[0]->core_requests.last = X_PutImage;
        ranges[1]->ext_requests.ext_major.first = ranges[1]->ext_requests.ext_major.last =
            static_cast<unsigned char>(shmOpcode);
        ranges[1]->ext_requests.ext_minor.first = ranges[1]->ext_requests.ext_minor.last = X_ShmPutImage;
        XRecordClientSpec clients = XRecordAllClients;
        context = XRecordCreateContext(control, 0, &clients, 1, ranges, shmOpcode > 0 ? 2 : 1);
        XFree(ranges[0]);
        XFree(ranges[1]);
        XSync(control, False);
        if (context) ok = XRecordEnableContextAsync(data, context, &FrameCounter::intercept, reinterpret_cast<XPointer>(this));
    }
    ~FrameCounter() {
        if (context) {
            XRecordDisableContext(control, context);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        if (data) XCloseDisplay(data);
    }
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;

    // Counts over `seconds`; false when recording is not available.
    bool count(double seconds) {
        if (!ok) return false;
        firstFrames = secondFrames = 0;
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            XRecordProcessReplies(data);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        XRecordProcessReplies(data);
        return true;
    }
    long firstFrames = 0;
    long secondFrames = 0;

private:
    static void intercept(XPointer closure, XRecordInterceptData* record) {
        auto* self = reinterpret_cast<FrameCounter*>(closure);
        if (record->category == XRecordFromClient && record->data_len >= 2) {
            const unsigned char* req = record->data;
            // The drawable follows the request header in both requests; a
            // big request (length field 0) has its length in 4 more bytes.
            Window drawable = 0;
            if (req[0] == X_PutImage || (self->shmOpcode > 0 && req[0] == self->shmOpcode && req[1] == X_ShmPutImage)) {
                const size_t at = req[2] == 0 && req[3] == 0 ? 8 : 4;
                uint32_t id = 0;
                if (size_t(record->data_len) * 4 >= at + sizeof id) std::memcpy(&id, req + at, sizeof id);
                drawable = id;
            }
            if (drawable) {
                if (std::find(self->first.begin(), self->first.end(), drawable) != self->first.end())
                    ++self->firstFrames;
                else if (std::find(self->second.begin(), self->second.end(), drawable) != self->second.end())
                    ++self->secondFrames;
            }
        }
        XRecordFreeData(record);
    }

    Display* control;
    Display* data = nullptr;
    XRecordContext context = 0;
    int shmOpcode = 0;
    bool ok = false;
    std::vector<Window> first, second;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : 0.5 * (v[m - 1] + v[m]);
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
    state.counters["load_1min"] = loadAverage();
    std::vector<double> timelineAt, viewAt, bothAt;
    for (auto _ : state) {
        waitUntil(d, nothingShown, 5.0);
        const auto t0 = Clock::now();
        const pid_t pid = startProgram(stagedDir());
        // Each window's first frame on its own, then both.
        double timeline = 0.0, view = 0.0;
        bool drawn = false;
        const auto end = t0 + std::chrono::seconds(30);
        while (!drawn && Clock::now() < end) {
            const double t = std::chrono::duration<double>(Clock::now() - t0).count();
            if (timeline == 0.0 && pixel(d, TIMELINE_X, TIMELINE_Y) == 0xffffff) timeline = t;
            if (view == 0.0 && pixel(d, VIEW_X, VIEW_Y) == 0xdedede) view = t;
            drawn = timeline > 0.0 && view > 0.0;
            if (!drawn) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        timelineAt.push_back(timeline);
        viewAt.push_back(view);
        bothAt.push_back(std::max(timeline, view));
        if (!drawn) {
            char what[160];
            std::snprintf(what, sizeof what,
                          "the windows did not show their first frames (time line pixel %06lx, view pixel %06lx)",
                          pixel(d, TIMELINE_X, TIMELINE_Y), pixel(d, VIEW_X, VIEW_Y));
            stopProgram(pid);
            state.SkipWithError(what);
            break;
        }
        stopProgram(pid);
    }
    if (!bothAt.empty()) {
        auto mean = [](const std::vector<double>& v) {
            double sum = 0.0;
            for (double x : v) sum += x;
            return sum / double(v.size());
        };
        state.counters["timeline_first_s"] = mean(timelineAt);
        state.counters["view_first_s"] = mean(viewAt);
        state.counters["both_median_s"] = median(bothAt);
        state.counters["timeline_median_s"] = median(timelineAt);
        state.counters["view_median_s"] = median(viewAt);
    }
}
BENCHMARK(BM_StartUpToFirstFrames)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdleAndPlaybackCpu(benchmark::State& state) {
    Display* d = openDisplay(state);
    if (!d) return;
    if (playbackDir().empty()) {
        state.SkipWithError("staging the playback directory failed");
        return;
    }
    state.counters["load_1min"] = loadAverage();
    for (auto _ : state) {
        waitUntil(d, nothingShown, 5.0);
        const pid_t pid = startProgram(playbackDir());
        if (!waitUntil(d, bothDrawn, 30.0)) {
            stopProgram(pid);
            state.SkipWithError("the windows did not show their first frames");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        state.counters["idle_cpu_per_s"] = cpuPerWallSecond(pid, 10.0);
        // The play range from the keys (0 .. 379), then play: 11.4 s at the
        // robot's 33.3 frames a second.
        if (!pressKey(d, "Time Line", XK_a, true) || !pressKey(d, "3DView", XK_Return)) {
            stopProgram(pid);
            state.SkipWithError("no windows to send the keys to");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        FrameCounter frames(d, "3DView", "Time Line");
        const double c0 = cpuSeconds(pid);
        const auto t0 = Clock::now();
        const bool counted = frames.count(10.0);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["play_cpu_per_s"] = (cpuSeconds(pid) - c0) / wall;
        if (counted) {
            state.counters["view_fps"] = double(frames.firstFrames) / wall;
            state.counters["timeline_fps"] = double(frames.secondFrames) / wall;
        }
        stopProgram(pid);
        if (counted && frames.firstFrames < 10) {
            state.SkipWithError("nothing played");
            break;
        }
    }
}
BENCHMARK(BM_IdleAndPlaybackCpu)->Unit(benchmark::kSecond)->Iterations(1);

// Lesson 1 at its first step, which waits for the Options button; no robot.
void BM_LessonWaitingCpu(benchmark::State& state) {
    Display* d = openDisplay(state);
    if (!d) return;
    state.counters["load_1min"] = loadAverage();
    for (auto _ : state) {
        waitUntil(d, nothingShown, 5.0);
        const pid_t pid = startProgram(stagedDir(), "1");
        if (!waitUntil(d, bothDrawn, 30.0)) {
            stopProgram(pid);
            state.SkipWithError("the windows did not show their first frames");
            break;
        }
        // The introduction (its text and speech) passes; the step waits.
        std::this_thread::sleep_for(std::chrono::seconds(6));
        state.counters["lesson_wait_cpu_per_s"] = cpuPerWallSecond(pid, 10.0);
        stopProgram(pid);
    }
}
BENCHMARK(BM_LessonWaitingCpu)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
