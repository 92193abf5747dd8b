#include "kgi3dWindow.h"

#include <cstdio>

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCanvasCommands.h"
#include "kgiCharacter.h"
#include "kgiPoseFlip.h"
#include "kgiWorld.h"

using namespace FX;

FXDEFMAP(kgi3dWindow) kgi3dWindowMap[] = {
    FXMAPFUNC(SEL_CLOSE, 0, kgi3dWindow::onCmdClose),
    FXMAPFUNC(SEL_KEYPRESS, 0, kgi3dWindow::onKeyPress),
    FXMAPFUNC(SEL_KEYRELEASE, 0, kgi3dWindow::onKeyRelease),
    FXMAPFUNC(SEL_CHORE, kgi3dWindow::ID_DELETE, kgi3dWindow::onChoreDelete),
};

FXIMPLEMENT(kgi3dWindow, FXDialogBox, kgi3dWindowMap, ARRAYNUMBER(kgi3dWindowMap))

kgi3dWindow::kgi3dWindow(FXWindow* owner, const std::string& title, int x, int y, int w, int h)
    : FXDialogBox(owner, title.c_str(), DECOR_ALL, x, y, w, h, 0, 0, 0, 0, 0, 0)
{
    build(w, h);
}

kgi3dWindow::kgi3dWindow(FXApp* app, const std::string& title, int x, int y, int w, int h)
    : FXDialogBox(app, title.c_str(), DECOR_ALL, x, y, w, h, 0, 0, 0, 0, 0, 0)
{
    build(w, h);
}

void kgi3dWindow::build(int w, int h)
{
    if (kgiApp* app = kgiApp::instance())
        setIcon(app->getAppIcon());
    visual = new FXGLVisual(getApp(), VISUAL_DOUBLEBUFFER);
    canvas = new kgi3dCanvas(this, visual, this, CANVAS_ID, 0, 0, w, h);
}

kgi3dWindow::~kgi3dWindow()
{
    getApp()->removeChore(this, ID_DELETE);
    // The toolkit would delete the canvas after this body, and it does not
    // free a visual it was handed: the canvas (and its GL context) must go
    // before the visual.
    delete canvas;
    canvas = nullptr;
    delete visual;
    visual = nullptr;
}

void kgi3dWindow::create()
{
    FXTopWindow::create();
    show();
}

long kgi3dWindow::onCmdClose(FXObject*, FXSelector, void*)
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && app->isLessonMode())
        return 1;
    // The dialog's own close only hides: the canvas would stay registered
    // and its manipulator and viewpoint in the world's lists for good. The
    // window goes once this handler has returned.
    hide();
    if (!deletePending) {
        deletePending = true;
        getApp()->addChore(this, ID_DELETE);
    }
    return 1;
}

long kgi3dWindow::onChoreDelete(FXObject*, FXSelector, void*)
{
    delete this;
    return 1;
}

long kgi3dWindow::onKeyRelease(FXObject*, FXSelector, void* ptr)
{
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    keyLatch.release(event != nullptr ? event->code : 0, event != nullptr ? event->time : 0);
    return 1;
}

long kgi3dWindow::onKeyPress(FXObject*, FXSelector, void* ptr)
{
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    if (event == nullptr)
        return 0;
    const bool latched = keyLatch.press(event->code, event->time);
    kgiApp* app = kgiApp::instance();
    // Asked only when it matters: in a lesson the question plays nothing,
    // but the answer is the lesson manager's.
    const bool locked = !latched && app != nullptr && !app->isViewEditAllowed(false);
    const kgi3dWindowKeys::Result r =
        kgi3dWindowKeys::dispatch(static_cast<unsigned>(event->code), event->state, latched, locked);
    keyLatch.set(r.latch);
    runKeyAction(r.action);
    return r.handled;
}

void kgi3dWindow::runKeyAction(kgi3dWindowKeys::Action action)
{
    kgiApp* app = kgiApp::instance();
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* character = world->getCurrentCharacter();
    switch (action) {
    case kgi3dWindowKeys::NONE:
        break;
    case kgi3dWindowKeys::LOCKED:
        std::fputs("The command is locked.\n", stderr);
        break;
    case kgi3dWindowKeys::REFRESH_TIMELINE:
        if (app != nullptr)
            app->updateTimeline(true);
        break;
    case kgi3dWindowKeys::UNDO_POSE:
    case kgi3dWindowKeys::REDO_POSE:
        if (character == nullptr)
            break;
        if (action == kgi3dWindowKeys::UNDO_POSE)
            character->undoPose();
        else
            character->redoPose();
        if (app != nullptr)
            app->redrawViews();
        break;
    case kgi3dWindowKeys::CLEAR_IK_GROUP:
        if (canvas != nullptr)
            canvas->clearIkGroup();
        break;
    case kgi3dWindowKeys::ADD_KEY:
        kgiCanvasCommands::addKeyAtCurrentTime();
        break;
    case kgi3dWindowKeys::TOGGLE_PLAY:
        world->setPlaying(!world->isPlaying());
        if (app != nullptr)
            app->redrawTimeline();
        break;
    case kgi3dWindowKeys::FLIP_WORLD:
    case kgi3dWindowKeys::FLIP_LOCAL:
        if (character == nullptr || character->getRoot() == nullptr)
            break;
        {
            kgiPoseFlipper flipper;
            flipper.flipPose(character->getRoot(), kgiPoseFlipper::POSE,
                             action == kgi3dWindowKeys::FLIP_WORLD ? 1 : 0);
        }
        if (app != nullptr)
            app->redrawViews();
        break;
    case kgi3dWindowKeys::PUT_ON_FLOOR:
        kgiCanvasCommands::putOnFloor(canvas != nullptr && canvas->isMotionMode());
        break;
    case kgi3dWindowKeys::RESET_POSE:
        kgiCanvasCommands::resetPose();
        break;
    case kgi3dWindowKeys::TOGGLE_IK_FK:
        if (canvas != nullptr)
            canvas->toggleIkFk();
        break;
    case kgi3dWindowKeys::NEXT_FRAME:
    case kgi3dWindowKeys::PREV_FRAME:
        // The world keeps frame 0 as the floor.
        world->setCurrentTime(world->getCurrentTime() + (action == kgi3dWindowKeys::NEXT_FRAME ? 1.0f : -1.0f));
        if (app != nullptr)
            app->redrawAll();
        break;
    }
}
