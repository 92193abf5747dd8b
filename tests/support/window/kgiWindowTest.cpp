#include "support/window/kgiWindowTest.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include "kgiApp.h"
#include "support/xserver/kgiTestXServer.h"
#include "kgiWorld.h"

#include <FXPNGImage.h>

namespace fs = std::filesystem;

namespace {

std::string stagedDir;
pid_t privateServer = -1;
// The display of privateServer; empty when the tests run on the display
// they were given.
std::string privateDisplay;
std::function<void()> beforeDisplayOpens;

void stopPrivateServer()
{
    kgiTestX::end(privateServer);
}

// An X server of this process's own: tests running side by side on one
// display would cover each other's windows (XGetImage then reads the
// window on top) and share the pointer and the focus. Empty when it did
// not start.
std::string startPrivateServer()
{
    const std::string display = kgiTestX::startServer(privateServer);
    if (!display.empty())
        std::atexit(stopPrivateServer);
    return display;
}

bool runStaging(const std::string& dest)
{
    const std::string destArg = "-DKGI_STAGE_DEST=" + dest;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const char* argv[] = {KGI_CMAKE_COMMAND, destArg.c_str(), "-P", KGI_STAGE_SCRIPT, nullptr};
        execv(KGI_CMAKE_COMMAND, const_cast<char* const*>(argv));
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void removeStagedDir()
{
    std::error_code ignored;
    if (!stagedDir.empty())
        fs::remove_all(stagedDir, ignored);
}

kgiApp* makeApp()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0' || FX::FXApp::instance() != nullptr)
        return nullptr;
    const std::string own = startPrivateServer();
    if (!own.empty()) {
        setenv("DISPLAY", own.c_str(), 1);
        privateDisplay = own;
    }
    stagedDir = (fs::path(KGI_WINDOW_TEST_TMP) / ("base_" + std::to_string(getpid()))).string();
    std::error_code ignored;
    fs::remove_all(stagedDir, ignored);
    fs::create_directories(stagedDir);
    std::atexit(removeStagedDir);
    if (!runStaging(stagedDir)) {
        ADD_FAILURE() << "staging the base directory failed: " << stagedDir;
        return nullptr;
    }
    if (beforeDisplayOpens)
        beforeDisplayOpens();
    kgiWorld::instance();  // the world outlives the application
    static int argc = 1;
    static char name[] = "kgi_window_tests";
    static char* argv[] = {name, nullptr};
    auto* app = new kgiApp(stagedDir);
    app->init(argc, argv, false);
    if (!kgiOpenDisplayRetrying([app] { return app->openDisplay(); })) {
        delete app;
        return nullptr;
    }
    app->create();
    return app;
}

Display* xDisplay() { return static_cast<Display*>(kgiTestApp()->getDisplay()); }

// One round of pending events, an idle pass and the repaints.
void runOnePass()
{
    kgiApp* app = kgiTestApp();
    // The idle task keeps itself queued as a chore, so there is always
    // something to run: take a bounded number of turns.
    for (int turn = 0; turn < 50 && app->peekEvent(); ++turn)
        app->runOneEvent(false);
    app->idleTick();
    app->repaint();
    app->flush(true);
}

// Lets the toolkit take in what the server sent.
void settleEvents(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        runOnePass();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

// --- window managers ---

namespace {

pid_t windowManager = -1;
kgiTestWm runningWm = kgiTestWm::NONE;
// The window manager's home for its settings and cache: empty, so that it
// runs with the distribution's settings (not those of the user running the
// tests) and writes nothing outside the build.
std::string wmHome;

// Passes (5 ms apart, 20 s and more) a window manager is waited for to
// come up or to leave: generous, since a loaded machine may take seconds
// to start a program.
const int WM_WAIT_PASSES = 4000;

bool wmSelectionOwned()
{
    Display* dpy = xDisplay();
    const Atom selection = XInternAtom(dpy, ("WM_S" + std::to_string(DefaultScreen(dpy))).c_str(), False);
    return XGetSelectionOwner(dpy, selection) != None;
}

Window parentOf(Display* dpy, Window w)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent;
}

// Every mapped top-level window of the application is framed (framed
// true) or back on the root window (false).
bool shellsFramed(bool framed)
{
    Display* dpy = xDisplay();
    const Window root = DefaultRootWindow(dpy);
    for (FX::FXWindow* w = kgiTestApp()->getRootWindow()->getFirst(); w; w = w->getNext()) {
        if (!w->id() || !w->shown())
            continue;
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, w->id(), &a) || a.override_redirect)
            continue;
        if ((parentOf(dpy, w->id()) != root) != framed)
            return false;
    }
    return true;
}

void stopWindowManager()
{
    if (windowManager <= 0)
        return;
    kgiTestX::end(windowManager);
    runningWm = kgiTestWm::NONE;
}

void stopWindowManagerAtExit()
{
    stopWindowManager();
    std::error_code ignored;
    if (!wmHome.empty())
        fs::remove_all(wmHome, ignored);
}

// The window manager's program on the private display, at home in wmHome.
// It ends with the test process however that ends.
pid_t spawnWindowManager(kgiTestWm wm)
{
    switch (wm) {
    case kgiTestWm::OPENBOX:
        return kgiTestX::startOpenbox(privateDisplay, wmHome);
    case kgiTestWm::NONE:
        break;
    }
    return -1;
}

} // namespace

std::string kgiTestWmName(kgiTestWm wm)
{
    switch (wm) {
    case kgiTestWm::OPENBOX:
        return "Openbox";
    case kgiTestWm::NONE:
        break;
    }
    return "NoWindowManager";
}

bool kgiTestUseWindowManager(kgiTestWm wm)
{
    if (kgiTestApp() == nullptr)
        return false;
    if (wm == runningWm)
        return wm == kgiTestWm::NONE || windowManager > 0;
    if (windowManager > 0) {
        stopWindowManager();
        // The windows come back onto the root window as the manager leaves.
        kgiTestRunUntil([] { return !wmSelectionOwned() && shellsFramed(false); }, WM_WAIT_PASSES);
    }
    if (wm == kgiTestWm::NONE)
        return !wmSelectionOwned();
    // Never on a display other tests share.
    if (privateDisplay.empty())
        return false;
    if (wmHome.empty()) {
        wmHome = (fs::path(KGI_WINDOW_TEST_TMP) / ("wm_" + std::to_string(getpid()))).string();
        std::error_code ignored;
        fs::remove_all(wmHome, ignored);
        fs::create_directories(wmHome, ignored);
        std::atexit(stopWindowManagerAtExit);
    }
    windowManager = spawnWindowManager(wm);
    if (windowManager < 0) {
        windowManager = -1;
        return false;
    }
    runningWm = wm;
    bool gone = false;
    const bool up = kgiTestRunUntil(
        [&] {
            if (waitpid(windowManager, nullptr, WNOHANG) == windowManager)
                gone = true;
            return gone || (wmSelectionOwned() && shellsFramed(true));
        },
        WM_WAIT_PASSES);
    if (gone) {
        windowManager = -1;
        runningWm = kgiTestWm::NONE;
        return false;
    }
    if (!up) {
        stopWindowManager();
        return false;
    }
    settleEvents(10);
    return true;
}

unsigned long kgiTestScreenWindow(const FX::FXWindow* window)
{
    if (window == nullptr || !window->id() || kgiTestApp() == nullptr)
        return 0;
    Display* dpy = xDisplay();
    const Window root = DefaultRootWindow(dpy);
    Window w = window->getShell()->id();
    for (Window parent = parentOf(dpy, w); parent != 0 && parent != root; parent = parentOf(dpy, w))
        w = parent;
    return w;
}

bool kgiTestStackedAbove(const FX::FXWindow* upper, const FX::FXWindow* lower)
{
    const Window a = kgiTestScreenWindow(upper), b = kgiTestScreenWindow(lower);
    if (a == 0 || b == 0 || a == b)
        return false;
    Display* dpy = xDisplay();
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return false;
    // Bottom to top.
    int ia = -1, ib = -1;
    for (unsigned i = 0; i < count; ++i) {
        if (children[i] == a)
            ia = static_cast<int>(i);
        if (children[i] == b)
            ib = static_cast<int>(i);
    }
    if (children)
        XFree(children);
    return ia >= 0 && ib >= 0 && ia > ib;
}

unsigned long kgiTestFocusWindow()
{
    if (kgiTestApp() == nullptr)
        return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(xDisplay(), &focus, &revert);
    return focus;
}

void kgiTestBeforeDisplayOpens(std::function<void()> action) { beforeDisplayOpens = std::move(action); }

kgiApp* kgiTestApp()
{
    static kgiApp* app = makeApp();
    return app;
}

const std::string& kgiTestBaseDir()
{
    kgiTestApp();
    return stagedDir;
}

bool kgiTestLoadFactoryRobot()
{
    kgiApp* app = kgiTestApp();
    if (app == nullptr)
        return false;
    static int argc = 1;
    static char name[] = "kgi_window_tests";
    static char* argv[] = {name, nullptr};
    kgiTestRemoveCharacters();
    app->startUp(argc, argv);
    return kgiWorld::instance()->getCurrentCharacter() != nullptr;
}

void kgiTestRemoveCharacters() { kgiWorld::instance()->removeAllCharacters(); }

kgiTestImage::Rgb kgiTestImage::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {-1, -1, -1};
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

int kgiTestImage::count(const Rgb& c, int tolerance) const { return count(0, 0, width, height, c, tolerance); }

int kgiTestImage::count(int x0, int y0, int w, int h, const Rgb& c, int tolerance) const
{
    int n = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const Rgb p = at(x, y);
            if (p[0] < 0)
                continue;
            if (std::abs(p[0] - c[0]) <= tolerance && std::abs(p[1] - c[1]) <= tolerance &&
                std::abs(p[2] - c[2]) <= tolerance)
                ++n;
        }
    }
    return n;
}

std::string kgiTestImage::save(const std::string& name) const
{
    if (empty())
        return std::string();
    std::vector<FX::FXColor> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = FXRGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    const std::string path = (fs::current_path() / (name + ".png")).string();
    FX::FXFileStream out;
    if (!out.open(path.c_str(), FX::FXStreamSave))
        return std::string();
    const bool ok = FX::fxsavePNG(out, pixels.data(), width, height);
    out.close();
    return ok ? path : std::string();
}

kgiTestWindow::kgiTestWindow(int width, int height, const char* title)
{
    if (kgiTestApp() == nullptr)
        return;
    window = new FX::FXMainWindow(kgiTestApp(), title, nullptr, nullptr, FX::DECOR_ALL, 0, 0, width, height, 0,
                                  0, 0, 0, 0, 0);
}

kgiTestWindow::~kgiTestWindow()
{
    delete window;
    if (kgiTestApp() != nullptr)
        kgiTestApp()->flush(true);
}

FX::FXGLVisual* kgiTestWindow::glVisual()
{
    static FX::FXGLVisual* visual = [] {
        auto* v = new FX::FXGLVisual(kgiTestApp(), FX::VISUAL_DOUBLEBUFFER);
        v->create();
        return v;
    }();
    return visual;
}

void kgiTestWindow::show()
{
    if (window == nullptr)
        return;
    window->create();
    window->show(FX::PLACEMENT_DEFAULT);
    window->move(0, 0);
    runUntil([this] {
        XWindowAttributes a;
        return XGetWindowAttributes(xDisplay(), window->id(), &a) && a.map_state == IsViewable;
    });
    focus();
    settle();
}

bool kgiTestWindow::runUntil(const std::function<bool()>& done, int maxPasses)
{
    return kgiTestRunUntil(done, maxPasses);
}

bool kgiTestRunUntil(const std::function<bool()>& done, int maxPasses)
{
    for (int i = 0; i < maxPasses; ++i) {
        runOnePass();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void kgiTestWindow::settle(int rounds)
{
    int n = 0;
    runUntil([&] { return ++n >= rounds; }, rounds);
}

kgiTestImage kgiTestWindow::grab() const
{
    return kgiTestGrab(window);
}

kgiTestImage kgiTestGrab(const FX::FXWindow* window)
{
    kgiTestImage img;
    if (window == nullptr || kgiTestApp() == nullptr || !window->id())
        return img;
    Display* dpy = xDisplay();
    XSync(dpy, False);
    const int w = window->getWidth(), h = window->getHeight();
    XImage* x = XGetImage(dpy, window->id(), 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                          ZPixmap);
    if (x == nullptr)
        return img;
    img.width = w;
    img.height = h;
    img.rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    for (int y = 0; y < h; ++y) {
        for (int xx = 0; xx < w; ++xx) {
            const unsigned long p = XGetPixel(x, xx, y);
            const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(xx)) * 3;
            img.rgb[i] = static_cast<unsigned char>((p & x->red_mask) >> 16);
            img.rgb[i + 1] = static_cast<unsigned char>((p & x->green_mask) >> 8);
            img.rgb[i + 2] = static_cast<unsigned char>(p & x->blue_mask);
        }
    }
    XDestroyImage(x);
    return img;
}

void kgiTestWindow::movePointer(int x, int y) { kgiTestMovePointer(window, x, y); }

void kgiTestWindow::pressButton(int button) { kgiTestPressButton(button); }

void kgiTestWindow::releaseButton(int button) { kgiTestReleaseButton(button); }

void kgiTestMovePointer(const FX::FXWindow* window, int x, int y)
{
    Display* dpy = xDisplay();
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(dpy, window->id(), DefaultRootWindow(dpy), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
    XSync(dpy, False);
    settleEvents(3);
}

void kgiTestPressButton(int button)
{
    XTestFakeButtonEvent(xDisplay(), static_cast<unsigned>(button), True, CurrentTime);
    XSync(xDisplay(), False);
    settleEvents(3);
}

void kgiTestReleaseButton(int button)
{
    XTestFakeButtonEvent(xDisplay(), static_cast<unsigned>(button), False, CurrentTime);
    XSync(xDisplay(), False);
    settleEvents(3);
}

namespace {

// Presses (down) or releases a key by its keysym name; false when the
// keyboard has no such key.
bool fakeKey(const char* keysym, bool down)
{
    Display* dpy = xDisplay();
    const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(keysym));
    if (code == 0)
        return false;
    XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
    return true;
}

void flushKeys()
{
    XSync(xDisplay(), False);
    settleEvents(3);
}

} // namespace

void kgiTestKey(const char* keysym)
{
    if (fakeKey(keysym, true))
        fakeKey(keysym, false);
    flushKeys();
}

void kgiTestKeyDown(const char* keysym)
{
    fakeKey(keysym, true);
    flushKeys();
}

void kgiTestKeyUp(const char* keysym)
{
    fakeKey(keysym, false);
    flushKeys();
}

void kgiTestFocus(const FX::FXWindow* window)
{
    if (window == nullptr || !window->id())
        return;
    XSetInputFocus(xDisplay(), window->id(), RevertToParent, CurrentTime);
    XSync(xDisplay(), False);
    settleEvents(2);
}

void kgiTestWindow::click(int x, int y, int button)
{
    movePointer(x, y);
    pressButton(button);
    releaseButton(button);
}

void kgiTestWindow::key(const char* keysym) { kgiTestKey(keysym); }

void kgiTestWindow::focus() { kgiTestFocus(window); }
