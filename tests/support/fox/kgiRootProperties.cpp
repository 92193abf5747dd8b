#include "support/fox/kgiRootProperties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

kgiRootProperties::kgiRootProperties(FX::FXApp* app) : display(app->getDisplay()) {}

kgiRootProperties::~kgiRootProperties()
{
    Display* d = static_cast<Display*>(display);
    for (unsigned long a : set)
        XDeleteProperty(d, DefaultRootWindow(d), a);
    XSync(d, False);
}

void kgiRootProperties::cardinals(const char* name, const std::vector<long>& values)
{
    Display* d = static_cast<Display*>(display);
    Atom a = XInternAtom(d, name, False);
    // Format-32 data goes to Xlib as longs, whatever their width.
    XChangeProperty(d, DefaultRootWindow(d), a, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), int(values.size()));
    XSync(d, False);
    set.push_back(a);
}
