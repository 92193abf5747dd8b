#include "platform/screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

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

} // namespace platform
