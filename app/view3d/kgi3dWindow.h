#pragma once
// The window that shows one 3D canvas and owns the 3D view's keyboard
// shortcuts (kgi3dWindowKeys): they act while the window has the focus,
// and most of them once per key press however long the key is held.
//
// Closing the window outside a lesson deletes it (once its close handler
// has returned), so its canvas leaves the application's registry and takes
// its manipulator and viewpoint out of the world's lists; a lesson keeps
// it open.
#include <fx.h>
#include <fx3d.h>

#include <string>

#include "kgi3dWindowKeys.h"

class kgi3dCanvas;

class kgi3dWindow : public FX::FXDialogBox {
    FXDECLARE(kgi3dWindow)

public:
    enum {
        // The deletion that follows a close.
        ID_DELETE = FX::FXDialogBox::ID_LAST,
        ID_LAST
    };
    // The canvas's identifier towards its window.
    static constexpr FX::FXSelector CANVAS_ID = 62;

    // A dialog with every decoration at (x, y), w x h, whose canvas fills
    // it; the application's icon. Owned by a window (it stays above it) or,
    // with no owner, by the application.
    kgi3dWindow(FX::FXWindow* owner, const std::string& title, int x, int y, int w, int h);
    kgi3dWindow(FX::FXApp* app, const std::string& title, int x, int y, int w, int h);
    // The canvas goes first, then the GL visual it drew with.
    ~kgi3dWindow() override;

    // Creates the window and shows it.
    void create() override;

    kgi3dCanvas* getCanvas() const { return canvas; }
    bool isKeyLatched() const { return keyLatch.isSet(); }

    // In a lesson 1 and nothing; else hides the window and deletes it from
    // a chore. 1.
    long onCmdClose(FX::FXObject*, FX::FXSelector, void*);
    long onKeyPress(FX::FXObject*, FX::FXSelector, void* ptr);
    // Clears the latch; 1.
    long onKeyRelease(FX::FXObject*, FX::FXSelector, void* ptr);
    long onChoreDelete(FX::FXObject*, FX::FXSelector, void*);

    // Carries out what a key press means (the keys' table), as the press
    // handler does after the latch and the lock.
    void runKeyAction(kgi3dWindowKeys::Action action);

protected:
    // For the toolkit's class factory only.
    kgi3dWindow() {}

private:
    void build(int w, int h);

    kgi3dCanvas* canvas = nullptr;
    FX::FXGLVisual* visual = nullptr;
    kgi3dKeyLatch keyLatch;
    bool deletePending = false;
};
