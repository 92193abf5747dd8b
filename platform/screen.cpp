#include "platform/screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <thread>
#include <vector>

namespace platform {

namespace {

// The root window's CARDINAL property `name` as longs (how Xlib hands out
// format-32 data, whatever their width); empty when it is not there.
std::vector<long> cardinals(Display* display, const char* name)
{
    std::vector<long> values;
    Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // 1024 longs: 256 desktops' four values each, far beyond any desktop.
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 1024, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) != Success)
        return values;
    if (data && type == XA_CARDINAL && format == 32) {
        const long* v = reinterpret_cast<const long*>(data);
        values.assign(v, v + count);
    }
    if (data)
        XFree(data);
    return values;
}

} // namespace

ScreenRect rootArea(void* display)
{
    Display* d = static_cast<Display*>(display);
    ScreenRect r;
    r.width = DisplayWidth(d, DefaultScreen(d));
    r.height = DisplayHeight(d, DefaultScreen(d));
    return r;
}

ScreenRect workArea(void* display)
{
    Display* d = static_cast<Display*>(display);
    std::vector<long> areas = cardinals(d, "_NET_WORKAREA");
    std::vector<long> current = cardinals(d, "_NET_CURRENT_DESKTOP");
    unsigned long desktop = current.empty() ? 0 : static_cast<unsigned long>(current[0]);
    if (desktop < areas.size() / 4) {
        const long* v = &areas[desktop * 4];
        if (v[2] > 0 && v[3] > 0) {
            ScreenRect r;
            r.x = int(v[0]);
            r.y = int(v[1]);
            r.width = int(v[2]);
            r.height = int(v[3]);
            return r;
        }
    }
    return rootArea(display);
}

std::vector<ScreenRect> monitors(void* display)
{
    Display* d = static_cast<Display*>(display);
    std::vector<ScreenRect> found;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    // Monitor lists came with RandR 1.5.
    if (!XRRQueryExtension(d, &eventBase, &errorBase) || !XRRQueryVersion(d, &major, &minor) ||
        major * 100 + minor < 105)
        return found;
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
    for (int i = 0; list && i < count; ++i) {
        ScreenRect r;
        r.x = list[i].x;
        r.y = list[i].y;
        r.width = list[i].width;
        r.height = list[i].height;
        found.push_back(r);
    }
    if (list)
        XRRFreeMonitors(list);
    return found;
}

ScreenRect monitorAt(const std::vector<ScreenRect>& monitors, const ScreenRect& root, int x,
                     int y)
{
    for (const ScreenRect& m : monitors)
        if (x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height)
            return m;
    return root;
}

namespace {

// The window manager's protocol: a client message to the root window about
// up to two states; action 1 adds them, 0 removes them; source 1 is an
// application.
void changeState(Display* d, Window window, bool add, const char* first, const char* second)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? 1 : 0;
    event.xclient.data.l[1] = long(XInternAtom(d, first, False));
    event.xclient.data.l[2] = second ? long(XInternAtom(d, second, False)) : 0;
    event.xclient.data.l[3] = 1;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

// The window property `name` of type `type` (format 32) as longs; empty when
// it is not there.
std::vector<long> windowLongs(Display* d, Window window, const char* name, Atom type)
{
    std::vector<long> values;
    Atom atom = XInternAtom(d, name, True);
    if (atom == None)
        return values;
    Atom got = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, atom, 0, 64, False, type, &got, &format, &count, &after,
                           &data) != Success)
        return values;
    if (data && got == type && format == 32) {
        const long* v = reinterpret_cast<const long*>(data);
        values.assign(v, v + count);
    }
    if (data)
        XFree(data);
    return values;
}

// The window the root's _NET_SUPPORTING_WM_CHECK names, when it names itself
// in turn (a window manager that has ended leaves a stale one behind).
bool supportingWindow(Display* d)
{
    const std::vector<long> root =
        windowLongs(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (root.empty() || root[0] == 0)
        return false;
    // A window that has gone away must not end the program with an X error.
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const std::vector<long> self =
        windowLongs(d, Window(root[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    XSync(d, False);
    XSetErrorHandler(previous);
    return !self.empty() && self[0] == root[0];
}

} // namespace

void keepAbove(void* display, unsigned long window, bool above)
{
    Display* d = static_cast<Display*>(display);
    changeState(d, window, above, "_NET_WM_STATE_ABOVE", nullptr);
    if (above)
        XRaiseWindow(d, window);
    XFlush(d);
}

bool hasWindowManager(void* display)
{
    return supportingWindow(static_cast<Display*>(display));
}

bool isMaximized(void* display, unsigned long window)
{
    Display* d = static_cast<Display*>(display);
    const long vert = long(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_VERT", True));
    const long horz = long(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_HORZ", True));
    if (vert == None || horz == None)
        return false;
    bool v = false, h = false;
    for (long atom : windowLongs(d, window, "_NET_WM_STATE", XA_ATOM)) {
        v = v || atom == vert;
        h = h || atom == horz;
    }
    return v && h;
}

bool isFullScreen(void* display, unsigned long window, int width, int height)
{
    Display* d = static_cast<Display*>(display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, window, &attributes) || attributes.width != width ||
        attributes.height != height)
        return false;
    if (!supportingWindow(d))
        return attributes.override_redirect;
    const long full = long(XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", True));
    for (long atom : windowLongs(d, window, "_NET_WM_STATE", XA_ATOM))
        if (full != None && atom == full)
            return true;
    return false;
}

bool waitFullScreen(void* display, unsigned long window, int width, int height, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!isFullScreen(display, window, width, height)) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void setFullScreen(void* display, unsigned long window, bool on)
{
    Display* d = static_cast<Display*>(display);
    if (supportingWindow(d)) {
        if (on)
            changeState(d, window, false, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        changeState(d, window, on, "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_ABOVE");
    } else {
        // No one to keep it above: nothing but a raise does, and
        // override-redirect keeps a manager started later away from it.
        XSetWindowAttributes attributes{};
        attributes.override_redirect = on ? True : False;
        XChangeWindowAttributes(d, window, CWOverrideRedirect, &attributes);
    }
    if (on)
        XRaiseWindow(d, window);
    XFlush(d);
}

} // namespace platform
