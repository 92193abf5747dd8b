#pragma once
// Screen geometry as the X server and the window manager announce it, for
// windows that place themselves (the plug-ins' message and video windows).
// Every call takes an open X display: Xlib's Display*, as the toolkit's
// FXApp::getDisplay() hands it out.

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

} // namespace platform
