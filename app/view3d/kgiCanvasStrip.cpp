// The pointer handlers of the 3D canvas. Rows 0..sceneHeight (window
// pixels, y downwards) are the scene; the rows below are the tool-bar
// strip, which gets the pointer with y counted from its own top edge.
#include "kgi3dCanvas.h"

#include <iostream>

#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "ksgView.h"

void kgi3dCanvas::requestRedraw()
{
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
}

long kgi3dCanvas::onMotion(FX::FXObject*, FX::FXSelector, void* ptr)
{
    auto* ev = static_cast<FX::FXEvent*>(ptr);
    if (view == nullptr || view->getViewport() == nullptr)
        return 0;
    // While a button is held the motion is a drag: the strip sees nothing.
    if (!buttonDown && toolbar != nullptr) {
        if (ev->win_y > sceneHeight) {
            if (toolbar->hover(ev->win_x, ev->win_y - sceneHeight))
                requestRedraw();
            lastX = ev->win_x;
            lastY = ev->win_y;
            return 1;
        }
        if (toolbar->leave())
            requestRedraw();
    }
    return sceneMotion(ev);
}

long kgi3dCanvas::onLeftBtnPress(FX::FXObject*, FX::FXSelector, void* ptr)
{
    auto* ev = static_cast<FX::FXEvent*>(ptr);
    buttonDown = true;
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && !app->isViewEditAllowed(false)) {
        std::cerr << "The command is locked." << std::endl;
        return 1;
    }
    grab();
    if (toolbar != nullptr && ev->win_y > sceneHeight) {
        stripPress = true;
        if (toolbar->press())
            requestRedraw();
        // A press on the strip never picks.
        clearManipulatorTarget();
        return 1;
    }
    sceneLeftPress(ev);
    lastX = ev->win_x;
    lastY = ev->win_y;
    return 1;
}

long kgi3dCanvas::onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr)
{
    auto* ev = static_cast<FX::FXEvent*>(ptr);
    buttonDown = false;
    ungrab();
    // The release ends the press where it began. A push button pressed in
    // the strip must see its release even over the scene, or it would stay
    // pushed and ignore the next press; a drag begun in the scene ends in
    // the scene even when released over the strip.
    if (stripPress) {
        stripPress = false;
        if (toolbar != nullptr && toolbar->release())
            requestRedraw();
        return 1;
    }
    sceneLeftRelease(ev);
    return 1;
}

long kgi3dCanvas::onLeave(FX::FXObject*, FX::FXSelector, void*)
{
    // A held strip button keeps its pointer state until the release.
    if (toolbar != nullptr && !stripPress && toolbar->leave())
        requestRedraw();
    sceneLeave();
    return 1;
}

// --- the scene's side ------------------------------------------------------
// Picking and dragging are not built yet: the scene only lets go of the
// grabbed joint when the left button comes up.

long kgi3dCanvas::sceneMotion(FX::FXEvent* ev)
{
    lastX = ev->win_x;
    lastY = ev->win_y;
    return 1;
}

void kgi3dCanvas::sceneLeftPress(FX::FXEvent*) {}

void kgi3dCanvas::sceneLeftRelease(FX::FXEvent*)
{
    clearManipulatorTarget();
}

void kgi3dCanvas::sceneLeave() {}
