#pragma once
// The about box: names the program, the robot it serves and its version,
// with one OK button that hides it. The application makes it on first use
// and shows or hides the same box after that (kgiApp::showVersionDialog).
#include <fx.h>

class kgiVersionDialog : public FX::FXDialogBox {
    FXDECLARE(kgiVersionDialog)

public:
    enum {
        // The OK button (62).
        ID_OK = FX::FXDialogBox::ID_LAST,
        ID_LAST
    };

    // Builds the box ("Version", 680 x 220) with the given window icon,
    // owned by a window (it stays above it) or, while the program has no
    // main window, by the application.
    kgiVersionDialog(FX::FXWindow* owner, FX::FXIcon* icon);
    kgiVersionDialog(FX::FXApp* app, FX::FXIcon* icon);
    // The application's maker of its about box: owned by `owner`, or by the
    // toolkit's application when there is no owner.
    static FX::FXTopWindow* make(FX::FXWindow* owner, FX::FXIcon* icon);

    // Hides the box; 1.
    long onCmdOK(FX::FXObject* sender, FX::FXSelector sel, void* data);

protected:
    // For the toolkit's class factory only.
    kgiVersionDialog() {}

private:
    void build(FX::FXIcon* icon);
};
