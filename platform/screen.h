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

// Makes the top-level `window` a note that floats above the program's
// windows without ever taking the keyboard: the window manager is told
// never to give it the input focus (it takes no input and does not ask for
// the focus), to keep it above the other windows and to leave it out of
// task bars and pagers. Best called before the window is first mapped,
// when the manager reads these; on a mapped window the manager is also
// asked through its protocol. Without a window manager nothing else
// changes.
void floatWithoutFocus(void* display, unsigned long window);

} // namespace platform
