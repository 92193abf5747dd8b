#pragma once
// A 3D window for window tests, and where the factory robot's joints show
// in its canvas.
#include <cmath>
#include <functional>
#include <utility>

#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiCharacter.h"
#include "kmlVec3.h"
#include "kmlVec4.h"
#include "ksgNode.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "support/window/kgiWindowTest.h"

// A 3D window made, shown and painted, deleted at the end unless the test
// let it go.
struct kgiTest3dWindow {
    kgi3dWindow* window;

    explicit kgiTest3dWindow(int x = 0, int y = 0, int w = 640, int h = 450)
        : window(new kgi3dWindow(kgiTestApp(), "3DView", x, y, w, h))
    {
        window->create();
        kgi3dCanvas* canvas = window->getCanvas();
        EXPECT_TRUE(run([canvas] { return canvas->getPaintCount() > 0; })) << "never painted";
    }
    ~kgiTest3dWindow() { delete window; }

    static bool run(const std::function<bool()>& done)
    {
        kgiTestWindow idle(1, 1);  // only for its event loop
        return idle.runUntil(done);
    }

    // A key press or release as the toolkit hands it to the window.
    long press(unsigned code, unsigned state = 0, unsigned time = 0)
    {
        FX::FXEvent e;
        e.type = FX::SEL_KEYPRESS;
        e.code = static_cast<FX::FXint>(code);
        e.state = state;
        e.time = time;
        return window->handle(kgiTestApp(), FXSEL(FX::SEL_KEYPRESS, 0), &e);
    }
    long release(unsigned code, unsigned time = 0)
    {
        FX::FXEvent e;
        e.type = FX::SEL_KEYRELEASE;
        e.code = static_cast<FX::FXint>(code);
        e.time = time;
        return window->handle(kgiTestApp(), FXSEL(FX::SEL_KEYRELEASE, 0), &e);
    }
    long close() { return window->handle(kgiTestApp(), FXSEL(FX::SEL_CLOSE, 0), nullptr); }
};

// The canvas pixel (from its top-left corner) at which a world point
// shows in the canvas's perspective view.
inline std::pair<int, int> kgiTestPixelOf(const kgi3dCanvas* canvas, const kmlVec3& p)
{
    const ksgViewportState* port = canvas->getViewport();
    const kmlVec4 e = canvas->getViewpoint()->getMatrix().getInverse() * kmlVec4(p, 1.0f);
    const float t = std::tan(port->getFov() / 2.0f * 3.14159265f / 180.0f) * -e.get(2);
    const float nx = e.get(0) / (t * port->getAspect());
    const float ny = e.get(1) / t;
    const int w = canvas->getWidth();
    const int h = canvas->getSceneHeight();
    return {int(std::lround((nx + 1.0f) * w / 2.0f)), int(std::lround(h - (ny + 1.0f) * h / 2.0f))};
}

// A joint's origin in world coordinates.
inline kmlVec3 kgiTestJointPosition(kgiCharacter* c, const char* name)
{
    const kmlVec4 o = c->findNode(name)->getWorld().getColumn(3);
    return kmlVec3(o.get(0), o.get(1), o.get(2));
}

// Whether node is name or lies below it.
inline bool kgiTestIsBelow(ksgNode* node, const char* name)
{
    for (; node != nullptr; node = node->getParent())
        if (node->getName() == name)
            return true;
    return false;
}
