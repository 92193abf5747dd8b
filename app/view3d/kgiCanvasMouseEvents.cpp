// The canvas's pointer handlers: the button-down flag, the lesson lock and
// the pointer grab here, the scene's picking and dragging in its mouse
// (kgiCanvasMouse), and the operations that reach the mouse.
#include "kgi3dCanvas.h"

#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasMouse.h"
#include "kgiCanvasMouseHost.h"
#include "kgiCanvasToolBar.h"
#include "kgiKinematicControllers.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgTransformController.h"
#include "ksgView.h"

#include <vector>


kgi3dCanvas::kgi3dCanvas()
    : mouseHost(std::make_unique<MouseHost>(*this)), mouse(std::make_unique<kgiCanvasMouse>(*mouseHost))
{
}

void kgi3dCanvas::updateMouseParts()
{
    kgiCanvasMouse::Parts p;
    p.view = view;
    p.manipulator = manipulator;
    p.ik = ikController;
    p.axisFk = axisFkController;
    p.trackballFk = trackballFkController;
    p.bodyFk = bodyFkController;
    p.animFk = animFkController;
    p.animIk = animIkController;
    mouse->setParts(p);
}

bool kgi3dCanvas::isIkDragPending() const { return mouse->isStepPending(); }

void kgi3dCanvas::stepIkDrag() { mouse->step(); }

void kgi3dCanvas::forgetTree(kgiCharacter* character, ksgNode* root) { mouse->forgetTree(character, root); }

int kgi3dCanvas::getMouseMode() const { return mouse->getMouseMode(); }

ksgNode* kgi3dCanvas::getPickedNode() const { return mouse->getPickedNode(); }

void kgi3dCanvas::selectIkMode2() { setMouseMode(2); }

void kgi3dCanvas::selectTrackballMode() { setMouseMode(4); }

void kgi3dCanvas::selectBodyFkMode() { setMouseMode(5); }

void kgi3dCanvas::toggleIkFk()
{
    const int mode = getMouseMode();
    const bool toFk = mode == 7 || mode == 1 || mode == 2;
    const bool toIk = mode == 6 || mode == 3;
    if (toFk)
        selectFkMode();
    else if (toIk)
        selectIkMode();
    if (toolbar == nullptr)
        return;
    std::vector<int> values;
    toolbar->getStateValues(values);
    auto set = [&values](int entry, int value) {
        if (entry < static_cast<int>(values.size()))
            values[static_cast<size_t>(entry)] = value;
    };
    // Value 4 returns a button to normal without running its action.
    if (toFk) {
        set(kgi3dViewToolbar::FK, kgiButtonState::PUSHED);
        set(kgi3dViewToolbar::IK, kgiButtonState::SPACER);
    } else if (toIk) {
        set(kgi3dViewToolbar::IK, kgiButtonState::PUSHED);
        set(kgi3dViewToolbar::FK, kgiButtonState::SPACER);
    }
    toolbar->setStateValues(values);
    requestRedraw();
}

void kgi3dCanvas::setGroupEditMode(int m) { mouse->setGroupEditMode(m); }

void kgi3dCanvas::applyGroupEditToggle() { mouse->applyGroupEditToggle(); }

void kgi3dCanvas::setGroupEditToggle(bool on) { mouse->setGroupEditToggle(on); }

void kgi3dCanvas::clearIkGroup() { mouse->clearIkGroup(); }

// The viewport's normalisation takes its own offset from the canvas's
// bottom edge (the tool-bar strip) off the row it is given, so a window row
// reaches the view that much higher; without a strip nothing changes.
int kgi3dCanvas::viewRow(int winY) const { return winY - toolbarHeight; }

long kgi3dCanvas::sceneMotion(FX::FXEvent* ev)
{
    if (!buttonDown)
        return mouse->hover(ev->win_x, viewRow(ev->win_y)) ? 1 : 0;
    return mouse->drag(ev->win_x, viewRow(ev->win_y), ev->state, ev->click_button) ? 1 : 0;
}

void kgi3dCanvas::sceneLeftPress(FX::FXEvent* ev)
{
    mouse->leftPress(ev->win_x, viewRow(ev->win_y), ev->state, ev->click_count);
}

// A drag begun in the scene ends there wherever the button comes up.
void kgi3dCanvas::sceneLeftRelease(FX::FXEvent*) { mouse->leftRelease(); }

void kgi3dCanvas::sceneLeave()
{
    if (!buttonDown)
        mouse->leave();
}

long kgi3dCanvas::onMouseWheel(FX::FXObject*, FX::FXSelector, void* ptr)
{
    mouse->wheel(static_cast<FX::FXEvent*>(ptr)->code);
    return 1;
}

long kgi3dCanvas::onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void* ptr)
{
    const FX::FXEvent* ev = static_cast<FX::FXEvent*>(ptr);
    buttonDown = true;
    grab();
    mouse->setLastPosition(ev->win_x, viewRow(ev->win_y));
    return 1;
}

long kgi3dCanvas::onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void*)
{
    buttonDown = false;
    ungrab();
    return 1;
}

long kgi3dCanvas::onRightBtnPress(FX::FXObject* sender, FX::FXSelector sel, void* ptr)
{
    return onMiddleBtnPress(sender, sel, ptr);
}

long kgi3dCanvas::onRightBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr)
{
    // The joint hovered before the press, also after an orbit.
    showPopup(mouse->getPickedNode(), static_cast<FX::FXEvent*>(ptr));
    buttonDown = false;
    ungrab();
    return 1;
}
