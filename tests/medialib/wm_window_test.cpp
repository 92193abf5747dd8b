// The video window's maximize to borderless on a display of the test's own,
// with a window manager (openbox: its maximize box, its full-screen and
// above states, its frame) and without one (override-redirect): the window
// covers the monitor without a frame and above the others, and a double
// click, or any other size change, makes it a window again. Each case runs
// in a child process, which holds the toolkit application of that display.
#include "kgiMediaLib.h"
#include "kgiMediaWindowImpl.h"
#include "kgiMovieDlg.h"
#include "medialib/privateDisplay.h"

#include "core/child_process_test.h"

#include <fx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

// After the test framework, which has names of its own that Xlib's macros
// would replace.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace kgi;

namespace {

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// Where the window's client area is on the screen.
Rect onScreen(Display* d, Window w)
{
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

std::vector<long> longs(Display* d, Window w, const char* name, Atom type)
{
    std::vector<long> v;
    Atom got = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 64, False, type, &got, &format, &n, &after,
                           &data) == Success &&
        data && format == 32)
        v.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
    if (data) XFree(data);
    return v;
}

bool hasState(Display* d, Window w, const char* state)
{
    const std::vector<long> s = longs(d, w, "_NET_WM_STATE", XA_ATOM);
    return std::find(s.begin(), s.end(), long(XInternAtom(d, state, False))) != s.end();
}

// The frame the manager draws around the window: left, right, top, bottom.
std::vector<long> frame(Display* d, Window w)
{
    return longs(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
}

bool overrideRedirect(Display* d, Window w)
{
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    return a.override_redirect;
}

// The child of the root window that holds w (w itself, or the manager's frame).
Window topLevel(Display* d, Window w)
{
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d, w, &root, &parent, &children, &n)) return w;
        if (children) XFree(children);
        if (parent == root) return w;
        w = parent;
    }
}

// Whether a is stacked above b.
bool above(Display* d, Window a, Window b)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n);
    const std::vector<Window> order(children, children + n);
    if (children) XFree(children);
    const auto ia = std::find(order.begin(), order.end(), topLevel(d, a));
    const auto ib = std::find(order.begin(), order.end(), topLevel(d, b));
    return ia != order.end() && ib != order.end() && ia > ib;
}

// What another client (a pager, the manager's own keys) asks of the manager.
void askState(Display* d, Window w, bool add, const char* first, const char* second)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = add ? 1 : 0;
    e.xclient.data.l[1] = long(XInternAtom(d, first, False));
    e.xclient.data.l[2] = second ? long(XInternAtom(d, second, False)) : 0;
    e.xclient.data.l[3] = 2;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(d);
}

// Runs the toolkit's events and its timers until done() holds; false after
// thirty seconds without (a loaded machine starts a window manager slowly).
bool pumpUntil(FX::FXApp& app, const std::function<bool()>& done)
{
    Display* d = static_cast<Display*>(app.getDisplay());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        XSync(d, False);
        for (int i = 0; i < 100 && app.runOneEvent(false); ++i) {
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void maximizeAndBack(bool manager)
{
    kgiPrivateDisplay screen(manager);
    if (screen.name().empty()) std::fprintf(stderr, "%s\n", screen.why().c_str());
    CHILD_CHECK(!screen.name().empty());
    setenv("DISPLAY", screen.name().c_str(), 1);
    FX::FXApp app("medialib_wm_tests", "kgi");
    static int argc = 1;
    static char name[] = "medialib_wm_tests";
    static char* argv[] = {name, nullptr};
    app.init(argc, argv, false);
    CHILD_CHECK(app.openDisplay());
    app.create();
    Display* d = static_cast<Display*>(app.getDisplay());
    const Rect full{0, 0, kgiPrivateDisplay::WIDTH, kgiPrivateDisplay::HEIGHT};

    CHILD_CHECK(CreateMediaWindow(nullptr, 200, 150, 320, 240) != nullptr);
    kgiMovieDlg* dlg = kgiMediaWindowImpl::current()->dialog();
    CHILD_CHECK(dlg);
    dlg->show();
    const Window video = dlg->id();
    const auto framed = [&] { return !manager || (frame(d, video).size() == 4 && frame(d, video)[2] > 0); };
    if (!pumpUntil(app, [&] { return dlg->shown() && framed(); })) {
        XWindowAttributes a{};
        XGetWindowAttributes(d, video, &a);
        std::fprintf(stderr, "not framed: shown %d, frame values %zu, map state %d\n", dlg->shown(),
                     frame(d, video).size(), a.map_state);
        CHILD_CHECK(false);
    }
    // An ordinary window that comes later, on top of it.
    FX::FXMainWindow other(&app, "other", nullptr, nullptr, FX::DECOR_ALL, 0, 0, 400, 300);
    other.create();
    other.show();
    CHILD_CHECK(pumpUntil(app, [&] { return above(d, other.id(), video); }));
    const Rect windowed = onScreen(d, video);
    const FX::FXuint decorations = dlg->getDecorations();

    // The server's view, and the window's own: it has seen its new size
    // (as a user sees the full screen before doing anything else).
    const auto borderlessOverAll = [&] {
        if (!dlg->isBorderless() || !(onScreen(d, video) == full) || !above(d, video, other.id())) return false;
        if (dlg->getWidth() != full.w || dlg->getHeight() != full.h) return false;
        if (manager)
            return hasState(d, video, "_NET_WM_STATE_FULLSCREEN") && hasState(d, video, "_NET_WM_STATE_ABOVE") &&
                   frame(d, video) == std::vector<long>(4, 0);
        return overrideRedirect(d, video);
    };
    const auto windowedAgain = [&] {
        if (dlg->isBorderless() || overrideRedirect(d, video)) return false;
        if (manager)
            return framed() && !hasState(d, video, "_NET_WM_STATE_FULLSCREEN") &&
                   !hasState(d, video, "_NET_WM_STATE_ABOVE");
        return dlg->getDecorations() == decorations;
    };
    // The maximize box is the manager's; without one the toolkit's maximize
    // stands for it.
    const auto maximizeBox = [&] {
        if (manager)
            askState(d, video, true, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        else
            dlg->maximize();
    };

    const auto reachBorderless = [&] {
        if (pumpUntil(app, borderlessOverAll)) return true;
        const Rect r = onScreen(d, video);
        std::fprintf(stderr,
                     "not borderless: flag %d, at %d,%d %dx%d (window's own %dx%d), above %d, "
                     "full-screen %d, above state %d, maximized %d\n",
                     dlg->isBorderless(), r.x, r.y, r.w, r.h, dlg->getWidth(), dlg->getHeight(),
                     above(d, video, other.id()), hasState(d, video, "_NET_WM_STATE_FULLSCREEN"),
                     hasState(d, video, "_NET_WM_STATE_ABOVE"), hasState(d, video, "_NET_WM_STATE_MAXIMIZED_VERT"));
        return false;
    };
    maximizeBox();
    CHILD_CHECK(reachBorderless());

    // A double click: the window it was, where it was.
    FX::FXEvent click;
    click.root_x = click.root_y = 50;
    click.click_count = 2;
    dlg->onLeftBtnPress(nullptr, 0, &click);
    CHILD_CHECK(pumpUntil(app, [&] { return windowedAgain() && onScreen(d, video) == windowed; }));

    // Any other size change also ends it, and keeps its size: the manager
    // leaving full screen by its own keys, or another client resizing it.
    maximizeBox();
    CHILD_CHECK(reachBorderless());
    if (manager) {
        askState(d, video, false, "_NET_WM_STATE_FULLSCREEN", nullptr);
        CHILD_CHECK(pumpUntil(app, windowedAgain));
    } else {
        Display* another = XOpenDisplay(screen.name().c_str());
        CHILD_CHECK(another);
        XResizeWindow(another, video, 500, 400);
        XCloseDisplay(another);
        CHILD_CHECK(pumpUntil(app, [&] {
            const Rect r = onScreen(d, video);
            return windowedAgain() && r.w == 500 && r.h == 400;
        }));
    }
    DestroyMediaWindow();
    screen.close();
    std::_Exit(0);
}

TEST(VideoWindowMaximize, BorderlessOverTheScreenAndBackWithAWindowManager)
{
    EXPECT_IN_CHILD([] { maximizeAndBack(true); });
}

TEST(VideoWindowMaximize, BorderlessOverTheScreenAndBackWithoutAWindowManager)
{
    EXPECT_IN_CHILD([] { maximizeAndBack(false); });
}

} // namespace
