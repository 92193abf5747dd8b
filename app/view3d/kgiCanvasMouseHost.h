#pragma once
// What a 3D canvas does for its mouse (kgiCanvasMouse::Host): redraws
// through the application, the camera fit, the grid plane and the mirror
// switch. Only the canvas's own files include it.
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCanvasMouse.h"

class kgi3dCanvas::MouseHost : public kgiCanvasMouse::Host {
public:
    explicit MouseHost(kgi3dCanvas& canvas) : canvas(canvas) {}
    void redraw() override
    {
        if (kgiApp* app = kgiApp::instance())
            app->redrawCanvas(&canvas);
    }
    void fitView() override { canvas.fitView(); }
    void setGridPlane(int plane) override { canvas.setGridPlane(plane); }
    bool isMirrorMode() const override { return canvas.mirrorMode; }

private:
    kgi3dCanvas& canvas;
};
