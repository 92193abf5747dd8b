#pragma once
// What the application object asks of a 3D canvas. The core links no 3D
// view code, so the canvas derives from this class and registers itself
// (kgiApp::addCanvas) for its lifetime; the application keeps one redraw
// bit per registered canvas and runs the canvases' drag steps from the idle
// pass.

namespace FX {
class FXWindow;
} // namespace FX

class kgiCharacter;
class ksgNode;
class ksgViewpoint;

class kgiViewCanvas {
public:
    virtual ~kgiViewCanvas() = default;

    // The canvas's toolkit window (repainted by FXWindow::update).
    virtual FX::FXWindow* window() = 0;

    // A drag step waits for the idle pass; the pass then runs it.
    virtual bool isIkDragPending() const = 0;
    virtual void stepIkDrag() = 0;
    // 0 none, 1 and 2 inverse kinematics, 3 to 7 the other drag modes.
    virtual void setMouseMode(int mode) = 0;
    // The viewpoint back to its start (distance 10, no turn), redrawn.
    virtual void resetViewpoint() = 0;
    // Centres the view on the picked model or on the whole world, redrawn.
    virtual void fitView() = 0;
    // The manipulator lets go of its joint, redrawn.
    virtual void clearManipulatorTarget() = 0;
    // The viewpoint the canvas's view uses; null before the view exists.
    virtual ksgViewpoint* getViewpoint() const = 0;
    // A mouse button went down in the canvas and has not come up.
    virtual bool isButtonDown() const = 0;
    // The character's tree below root is about to be freed: the canvas
    // drops every pointer into it (nothing to drop by default).
    virtual void forgetTree(kgiCharacter*, ksgNode*) {}
};
