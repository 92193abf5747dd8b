// The application's redraw requests, the registry of 3D canvases and the
// secondary windows it shows and hides.
#include "kgiApp.h"

#include "kgiCollisionCheck.h"
#include "kgiCommandWindow.h"
#include "kgiCurveView.h"
#include "kgiRobotOptions.h"
#include "kgiViewCanvas.h"
#include "kgiWorld.h"

#include "kmlVec2.h"
#include "ksgViewpoint.h"

#include <algorithm>

void kgiApp::addCanvas(kgiViewCanvas* canvas) {
    if (!canvas) return;
    canvases.push_back(canvas);
    canvasDirty.push_back(true);
}

void kgiApp::removeCanvas(kgiViewCanvas* canvas) {
    auto it = std::find(canvases.begin(), canvases.end(), canvas);
    if (!canvas || it == canvases.end()) return;
    // The bit goes with its canvas, so the later canvases keep theirs.
    canvasDirty.erase(canvasDirty.begin() + (it - canvases.begin()));
    canvases.erase(it);
}

void kgiApp::CanvasTreeListener::treeFreed(kgiCharacter* character, ksgNode* root) {
    for (kgiViewCanvas* c : app.canvases) c->forgetTree(character, root);
}

bool kgiApp::isCanvasDirty(int index) const {
    return index >= 0 && index < static_cast<int>(canvasDirty.size()) && canvasDirty[static_cast<size_t>(index)];
}

void kgiApp::redrawCanvas(kgiViewCanvas* canvas) {
    for (size_t i = 0; i < canvases.size(); ++i)
        if (canvases[i] == canvas) canvasDirty[i] = true;
    markOptionsDirty();
    wakeIdle();
}

void kgiApp::redrawViews() {
    collisionHit = kgiCollisionCheck::instance()->check();
    std::fill(canvasDirty.begin(), canvasDirty.end(), true);
    markOptionsDirty();
    wakeIdle();
}

void kgiApp::redrawTimeline() {
    if (!timelineCanvas) return;
    timelineDirty = true;
    wakeIdle();
}

void kgiApp::redrawCurves() {
    if (curveWindows.empty()) return;
    curvesDirty = true;
    wakeIdle();
}

void kgiApp::redrawAll() {
    redrawViews();
    redrawTimeline();
    redrawCurves();
}

void kgiApp::markOptionsDirty() {
    if (!optionsDialog) return;
    optionsDirty = true;
    optionsDialog->refreshJointValues();
}

void kgiApp::flushRedraws() {
    flushOptionsRedraw();
    flushCanvasRedraws();
    flushTimelineRedraw();
    flushCurvesRedraw();
}

void kgiApp::flushOptionsRedraw() {
    if (!optionsDialog || !optionsDirty) return;
    if (FX::FXTopWindow* w = optionsDialog->window()) w->update();
    optionsDirty = false;
}

void kgiApp::flushCanvasRedraws() {
    for (size_t i = 0; i < canvases.size(); ++i) {
        if (!canvasDirty[i]) continue;
        if (FX::FXWindow* w = canvases[i]->window()) w->update();
        canvasDirty[i] = false;
    }
}

void kgiApp::flushTimelineRedraw() {
    if (!timelineCanvas || !timelineDirty) return;
    timelineCanvas->update();
    timelineDirty = false;
    kgiWorld* world = kgiWorld::instance();
    // Only a host already made can hold tracks: the first redraw (the first
    // frame) does not load the media plug-in and its pipeline for nothing.
    if (!world->isPlaying())
        if (kgiMediaTracks* media = world->getRegisteredMediaTracks()) media->syncToCurrentTime();
}

void kgiApp::flushCurvesRedraw() {
    if (!curvesDirty || !isCurveWindowShown()) return;
    for (kgiCurveView* w : curveWindows)
        if (w->shown())
            if (FX::FXWindow* c = w->canvas()) c->update();
    curvesDirty = false;
}

bool kgiApp::isCurveWindowShown() const {
    return std::any_of(curveWindows.begin(), curveWindows.end(), [](kgiCurveView* w) { return w->shown(); });
}

void kgiApp::addCurveWindow(kgiCurveView* w) {
    if (!w) return;
    removeCurveWindow(w);
    curveWindows.push_back(w);
}

void kgiApp::removeCurveWindow(kgiCurveView* w) {
    curveWindows.erase(std::remove(curveWindows.begin(), curveWindows.end(), w), curveWindows.end());
}

void kgiApp::clearCurveLists() {
    for (kgiCurveView* w : curveWindows) w->clearCurveList();
}

bool kgiApp::stepCanvasDrags() {
    bool stepped = false;
    for (kgiViewCanvas* c : canvases) {
        if (!c->isIkDragPending()) continue;
        c->stepIkDrag();
        stepped = true;
    }
    return stepped;
}

bool kgiApp::isCanvasDragPending() const {
    return std::any_of(canvases.begin(), canvases.end(), [](kgiViewCanvas* c) { return c->isIkDragPending(); });
}

bool kgiApp::isQuietPass() const {
    if (isLessonMode() || robotCom || closeRequested) return false;
    if (kgiWorld::instance()->isPlaying() || isCanvasDragPending() || isCourseRunning()) return false;
    return !isRedrawPending();
}

bool kgiApp::isRedrawPending() const {
    // The requests flushRedraws would carry out now (a hidden curve window
    // keeps its request without drawing).
    return std::find(canvasDirty.begin(), canvasDirty.end(), true) != canvasDirty.end() ||
           (timelineCanvas && timelineDirty) || (curvesDirty && isCurveWindowShown()) ||
           (optionsDirty && optionsDialog);
}

void kgiApp::resetCanvasMouseModes() {
    for (kgiViewCanvas* c : canvases) c->setMouseMode(0);
    canvases.clear();
    canvasDirty.clear();
}

void kgiApp::resetCanvasViews(bool resetViewpoint) {
    for (kgiViewCanvas* c : canvases) {
        if (resetViewpoint) c->resetViewpoint();
        c->fitView();
    }
}

void kgiApp::moveCanvasView(int index, float yaw, float pitch, float zoom, float dx, float dy) {
    if (index < 0 || index >= static_cast<int>(canvases.size())) return;
    ksgViewpoint* vp = canvases[static_cast<size_t>(index)]->getViewpoint();
    if (!vp) return;
    vp->incrYaw(yaw);
    vp->incrPitch(pitch);
    vp->zoom(zoom);
    vp->translate(kmlVec2(-dx, -dy));
}

bool kgiApp::isAnyCanvasPressed() const {
    return std::any_of(canvases.begin(), canvases.end(), [](kgiViewCanvas* c) { return c->isButtonDown(); });
}

void kgiApp::clearCanvasTargets() {
    for (kgiViewCanvas* c : canvases) c->clearManipulatorTarget();
}

void kgiApp::showCurveWindow(bool show) {
    kgiCurveView* w = getCurveWindow();
    if (!w) return;
    if (show)
        w->show();
    else
        w->hide();
}

void kgiApp::showAuxWindow(bool show) {
    if (!auxWindow) return;
    if (show)
        auxWindow->show();
    else
        auxWindow->hide();
}

void kgiApp::showOptionsDialog(bool show) {
    if (!optionsDialog) createOptionsDialog();
    if (!optionsDialog) return;
    FX::FXTopWindow* w = optionsDialog->window();
    if (show) {
        optionsDialog->refreshAll();
        if (w) w->show();
    } else if (w) {
        w->hide();
    }
}

void kgiApp::relabelOptionsDialog() {
    if (optionsDialog) optionsDialog->applyLanguage();
}

std::string kgiApp::queryOptionsText(const std::string& jointName) {
    return optionsDialog ? optionsDialog->getJointFieldText(jointName) : std::string();
}

bool kgiApp::isCollisionStop() const {
    return optionsDialog && optionsDialog->isCollisionSafetyOn() && collisionHit;
}

void kgiApp::updateTimeline(bool lessonCheck) {
    if (mainWindow) mainWindow->refreshTimeline(lessonCheck);
}

void kgiApp::appendToTitle(const std::string& text) {
    FX::FXMainWindow* w = mainWindow ? mainWindow->window() : nullptr;
    if (w) w->setTitle(w->getTitle() + "     " + text.c_str());
}

FX::FXID kgiApp::getMainWindowHandle() const {
    FX::FXMainWindow* w = mainWindow ? mainWindow->window() : nullptr;
    return w ? w->id() : 0;
}

void kgiApp::showVersionDialog(bool show) {
    if (!versionDialog) {
        if (!versionDialogMaker) return;
        FX::FXWindow* owner = mainWindow ? mainWindow->window() : nullptr;
        versionDialog = versionDialogMaker(owner, appIcon);
        if (!versionDialog) return;
        versionDialog->create();
    }
    if (show)
        versionDialog->show();
    else
        versionDialog->hide();
}
