#pragma once
// A window that shows the serial link's developer page: it feeds the keys it
// receives to the link, calls the page once per frame and draws its log.
// Nothing else is decided here; the page's logic lives in kgiRobotLink.
#include <fx.h>
#include <fxkeys.h>

class kgiRobotLink;

class kgiLinkDebugWindow : public FX::FXMainWindow {
    FXDECLARE(kgiLinkDebugWindow)
public:
    enum { ID_CANVAS = FX::FXMainWindow::ID_LAST, ID_FRAME, ID_LAST };

    // The link is not owned and must outlive the window.
    kgiLinkDebugWindow(FX::FXApp* app, kgiRobotLink* link);
    void create() override;

    long onPaint(FX::FXObject*, FX::FXSelector, void*);
    long onKeyPress(FX::FXObject*, FX::FXSelector, void*);
    long onKeyRelease(FX::FXObject*, FX::FXSelector, void*);
    long onFrame(FX::FXObject*, FX::FXSelector, void*);

    // The link's key code for a FOX key symbol, 0 when the page has no use for it.
    static unsigned char keyCode(FX::FXuint keysym);

protected:
    kgiLinkDebugWindow() : link(nullptr), canvas(nullptr) {}

private:
    kgiRobotLink* link;
    FX::FXCanvas* canvas;
};
