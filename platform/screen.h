#pragma once
// Screen geometry as the X server and the window manager announce it, for
// windows that place themselves (the plug-ins' message and video windows).
// Calls with a display take an open X display: Xlib's Display*, as the toolkit's
// FXApp::getDisplay() hands it out.

#include <vector>

namespace platform {

// A rectangle in root-window pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The part of the screen that windows may use: the current desktop's entry
// of the window manager's work area (_NET_WORKAREA indexed by
// _NET_CURRENT_DESKTOP, the first entry when no desktop is announced as
// current), else the whole root window when the window manager announces
// none or an empty one.
ScreenRect workArea(void* display);

// The root window's own rectangle.
ScreenRect rootArea(void* display);

// The monitors of the X screen as the RandR extension lists them, in its
// order; empty when the server has no RandR.
std::vector<ScreenRect> monitors(void* display);

// The first of `monitors` that contains the point (x, y), else `root`.
ScreenRect monitorAt(const std::vector<ScreenRect>& monitors, const ScreenRect& root, int x,
                     int y);

// Asks the window manager to keep the top-level `window` (an X window id)
// above the others, or no longer (_NET_WM_STATE_ABOVE), and raises it when
// `above`. Nothing happens without a window manager, which is harmless.
void keepAbove(void* display, unsigned long window, bool above);

// Whether a window manager runs: one announces itself with a window that
// _NET_SUPPORTING_WM_CHECK on the root window names and that names itself.
bool hasWindowManager(void* display);

// Whether the window manager shows the top-level `window` maximized both ways
// (_NET_WM_STATE), as its maximize box leaves it.
bool isMaximized(void* display, unsigned long window);

// Whether the top-level `window` is full screen as setFullScreen makes it
// (the window manager's full-screen state, or override-redirect without a
// manager) and, as the X server has it now, width x height large.
bool isFullScreen(void* display, unsigned long window, int width, int height);

// Waits, at most timeoutMs, until isFullScreen holds (a window manager
// takes a moment to carry out setFullScreen); whether it does.
bool waitFullScreen(void* display, unsigned long window, int width, int height, int timeoutMs);

// Makes the top-level `window` borderless over the whole monitor and above
// the other windows, or takes that back. With a window manager this asks for
// its full-screen and above states (the maximized state first taken away, so
// that the manager keeps the window's own rectangle to go back to) and the
// manager places the window; without one it sets override-redirect and
// raises the window, and the caller places it.
void setFullScreen(void* display, unsigned long window, bool on);

} // namespace platform
