// The 3D canvas's commands that its tool-bar buttons call.
#include "kgi3dCanvas.h"

#include "kgiApp.h"
#include "kgiCanvasCommands.h"
#include "kgiCanvasToolBar.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"

void kgi3dCanvas::selectIkMode()
{
    setMouseMode(motionMode ? 7 : 2);
}

void kgi3dCanvas::selectFkMode()
{
    setMouseMode(motionMode ? 6 : 3);
}

void kgi3dCanvas::applyMotionMode()
{
    // Pose IK and FK (2, 3) and their animation forms (7, 6) follow the
    // switch; the modes no button selects stay as they are.
    const int mode = getMouseMode();
    if (motionMode) {
        if (mode == 2)
            setMouseMode(7);
        else if (mode == 3)
            setMouseMode(6);
    } else {
        if (mode == 7)
            setMouseMode(2);
        else if (mode == 6)
            setMouseMode(3);
    }
}

void kgi3dCanvas::applyMirrorMode()
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && app->isLessonMode())
        return;
    kgiWorld::instance()->setMirrorMode(mirrorMode);
}

void kgi3dCanvas::cameraOrtho(float pitch, float yaw, float roll, int plane)
{
    if (view == nullptr)
        return;
    if (ksgViewportState* vp = view->getViewport())
        vp->setProjMode(ksgViewportState::ORTHO);
    if (ksgViewpoint* v = view->getViewpoint())
        v->setBaseOrientation(pitch, yaw, roll);
    view->updateOrtho();
    gridPlane = plane;
    requestRedraw();
}

// Grid planes: 2 the ground, 0 turned to face the side cameras, 1 turned
// to face the front cameras.
void kgi3dCanvas::cameraTop() { cameraOrtho(-90.0f, 0.0f, 0.0f, 2); }
void kgi3dCanvas::cameraBottom() { cameraOrtho(90.0f, 0.0f, 0.0f, 2); }
void kgi3dCanvas::cameraSideA() { cameraOrtho(0.0f, 90.0f, 0.0f, 0); }
void kgi3dCanvas::cameraSideB() { cameraOrtho(0.0f, -90.0f, 0.0f, 0); }
void kgi3dCanvas::cameraFront() { cameraOrtho(0.0f, 0.0f, 0.0f, 1); }
void kgi3dCanvas::cameraBack() { cameraOrtho(0.0f, 180.0f, 0.0f, 1); }

void kgi3dCanvas::cameraPerspective()
{
    if (view == nullptr)
        return;
    if (ksgViewportState* vp = view->getViewport())
        vp->setProjMode(ksgViewportState::PERSPECTIVE);
    gridPlane = 2;
}

bool kgi3dCanvas::onUndoPose()
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && app->isLessonMode())
        return true;
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    return c != nullptr && c->undoPose();
}

bool kgi3dCanvas::onRedoPose()
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && app->isLessonMode())
        return true;
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    return c != nullptr && c->redoPose();
}

void kgi3dCanvas::loadCameraButtonImages()
{
    kgiApp* app = kgiApp::instance();
    if (app == nullptr)
        return;
    kgi3dViewToolbar::shared().loadCameraButtonImages(kgi3dViewToolbar::imageFolderOf(app->getBaseDir()),
                                                      app->getSettings().language);
}

// The key, landing and initial-pose buttons: the world's editing commands.

void kgi3dCanvas::addKeyAtCurrentTime()
{
    kgiCanvasCommands::addKeyAtCurrentTime();
}

void kgi3dCanvas::putOnFloor()
{
    kgiCanvasCommands::putOnFloor(motionMode);
}

void kgi3dCanvas::resetPose()
{
    kgiCanvasCommands::resetPose();
}
