// The four pointer handlers of a canvas without a tool-bar strip, where
// the whole canvas is the scene: the button-down flag, the lesson lock
// (only the left press asks for it) and the pointer grab, then the scene.
// A canvas with a strip routes the rows below the scene to its bar in these
// same handlers and hands the rest to the same scene functions.
#include "kgi3dCanvas.h"

#include "kgiApp.h"

#include <iostream>

long kgi3dCanvas::onMotion(FX::FXObject*, FX::FXSelector, void* ptr)
{
    return sceneMotion(static_cast<FX::FXEvent*>(ptr));
}

long kgi3dCanvas::onLeftBtnPress(FX::FXObject*, FX::FXSelector, void* ptr)
{
    buttonDown = true;
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && !app->isViewEditAllowed(false)) {
        std::cerr << "The command is locked.\n";
        return 1;
    }
    grab();
    sceneLeftPress(static_cast<FX::FXEvent*>(ptr));
    return 1;
}

long kgi3dCanvas::onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr)
{
    buttonDown = false;
    ungrab();
    sceneLeftRelease(static_cast<FX::FXEvent*>(ptr));
    return 1;
}

long kgi3dCanvas::onLeave(FX::FXObject*, FX::FXSelector, void*)
{
    sceneLeave();
    return 1;
}
