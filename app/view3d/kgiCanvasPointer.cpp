// The four pointer handlers that the tool-bar strip shares with the scene.
// Rows 0..sceneHeight (window pixels, y downwards) are the scene; the rows
// below are the strip, which gets the pointer with y counted from its own
// top edge. Here: the button-down flag, the lesson lock (only the left
// press asks for it), the pointer grab and the strip; the scene functions
// do the rest.
#include "kgi3dCanvas.h"

#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "ksgView.h"

#include <iostream>

void kgi3dCanvas::requestRedraw()
{
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
}

long kgi3dCanvas::onMotion(FX::FXObject*, FX::FXSelector, void* ptr)
{
    auto* ev = static_cast<FX::FXEvent*>(ptr);
    // While a button is held the motion is a drag: the strip sees nothing.
    if (!buttonDown && toolbar != nullptr && view != nullptr && view->getViewport() != nullptr) {
        if (ev->win_y > sceneHeight) {
            if (toolbar->hover(ev->win_x, ev->win_y - sceneHeight))
                requestRedraw();
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
        std::cerr << "The command is locked.\n";
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
    return 1;
}

long kgi3dCanvas::onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr)
{
    buttonDown = false;
    ungrab();
    // The release ends the press where it began. A push button pressed in
    // the strip must see its release even over the scene, or it would stay
    // pushed and take the next press as a repeat that does nothing; a drag
    // begun in the scene ends in the scene even over the strip.
    if (stripPress) {
        stripPress = false;
        if (toolbar != nullptr && toolbar->release())
            requestRedraw();
        return 1;
    }
    sceneLeftRelease(static_cast<FX::FXEvent*>(ptr));
    return 1;
}

long kgi3dCanvas::onLeave(FX::FXObject*, FX::FXSelector, void* ptr)
{
    // A window manager that takes the pointer for a moment as a button goes
    // down (to raise or focus the window) sends a leave before the press,
    // though the pointer never moved: the part or strip button under it
    // stays picked, or the press would find nothing to grab.
    if (ptr != nullptr && static_cast<FX::FXEvent*>(ptr)->code == FX::CROSSINGGRAB)
        return 1;
    // A held strip button keeps its pointer state until the release.
    if (toolbar != nullptr && !stripPress && toolbar->leave())
        requestRedraw();
    sceneLeave();
    return 1;
}
