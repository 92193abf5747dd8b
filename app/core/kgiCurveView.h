#pragma once
// What the application object asks of the curve editor window, which is
// built above the core: it derives from this class and hands itself to
// kgiApp::setCurveWindow while it is open.

namespace FX {
class FXWindow;
} // namespace FX

class ksgNode;

class kgiCurveView {
public:
    virtual ~kgiCurveView() = default;

    virtual bool shown() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // The canvas the curves are drawn in (repainted by FXWindow::update);
    // null when there is none.
    virtual FX::FXWindow* canvas() = 0;
    // Lists the joint's curves (not owned: clear the list before the
    // joint's tree goes).
    virtual void fillCurveList(ksgNode* joint) = 0;
    virtual void clearCurveList() = 0;
};
