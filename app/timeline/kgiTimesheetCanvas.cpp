// The time-line canvas.
#include "kgiTimesheetCanvas.h"

#include "kgiApp.h"
#include "kgiGLTsMgr.h"
#include "kgiMainCommandTable.h"
#include "kgiTimelineHost.h"
#include "kgiWorld.h"

#include <GL/gl.h>

FXDEFMAP(kgiTimesheetCanvas) kgiTimesheetCanvasMap[] = {
    FXMAPFUNC(FX::SEL_PAINT, 0, kgiTimesheetCanvas::onPaint),
    FXMAPFUNC(FX::SEL_MOTION, 0, kgiTimesheetCanvas::onMotion),
    FXMAPFUNC(FX::SEL_MOUSEWHEEL, 0, kgiTimesheetCanvas::onMouseWheel),
    FXMAPFUNC(FX::SEL_LEFTBUTTONPRESS, 0, kgiTimesheetCanvas::onLeftBtnPress),
    FXMAPFUNC(FX::SEL_LEFTBUTTONRELEASE, 0, kgiTimesheetCanvas::onLeftBtnRelease),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONPRESS, 0, kgiTimesheetCanvas::onMiddleBtnPress),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONRELEASE, 0, kgiTimesheetCanvas::onMiddleBtnRelease),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONPRESS, 0, kgiTimesheetCanvas::onRightBtnPress),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONRELEASE, 0, kgiTimesheetCanvas::onRightBtnRelease),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_FRAME_COPY, kgiTimesheetCanvas::onCmdFrameCopy),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_FRAME_CUT, kgiTimesheetCanvas::onCmdFrameCut),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_FRAME_PASTE, kgiTimesheetCanvas::onCmdFramePaste),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_SPARE_A, kgiTimesheetCanvas::onCmdSpare),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_SPARE_B, kgiTimesheetCanvas::onCmdSpare),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_MEDIA_IMPORT, kgiTimesheetCanvas::onCmdMediaImport),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetCanvas::ID_MEDIA_REMOVE, kgiTimesheetCanvas::onCmdMediaRemove),
};

FXIMPLEMENT(kgiTimesheetCanvas, FX::FXGLCanvas, kgiTimesheetCanvasMap, ARRAYNUMBER(kgiTimesheetCanvasMap))

namespace {

// Widget-set buttons and actions.
constexpr int LEFT = 0;
constexpr int MIDDLE = 1;
constexpr int RIGHT = 2;
constexpr int PRESS = 0;
constexpr int RELEASE = 1;

// The grey-blue between the rows.
constexpr float MARGIN_COLOR[3] = {0.5f, 0.5f, 0.7f};

FX::FXString text(const char* key) {
    kgiApp* app = kgiApp::instance();
    return app ? app->languageText(key) : FX::FXString(key);
}

} // namespace

kgiTimesheetCanvas::kgiTimesheetCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target,
                                       FX::FXSelector sel, FX::FXuint opts, FX::FXint x, FX::FXint y,
                                       FX::FXint w, FX::FXint h)
    : FX::FXGLCanvas(parent, visual, target, sel, opts, x, y, w, h) {
    manager = new kgiGLTsMgr(0, 0, w, h);
    manager->setColor(MARGIN_COLOR[0], MARGIN_COLOR[1], MARGIN_COLOR[2]);
    popup = new FX::FXMenuPane(this);
    buildPopupMenu();
}

kgiTimesheetCanvas::~kgiTimesheetCanvas() {
    delete popup;
    popup = nullptr;
    delete manager;
    manager = nullptr;
}

void kgiTimesheetCanvas::setManager(kgiGLTsMgr* m) {
    if (m == manager) return;
    delete manager;
    manager = m;
    if (manager) manager->setSize(getWidth(), getHeight());
}

kgiTimelineHost* kgiTimesheetCanvas::host() const {
    return manager ? manager->getHost() : kgiTimelineHost::application();
}

void kgiTimesheetCanvas::buildPopupMenu() {
    new FX::FXMenuCommand(popup, text("Frame_Copy"), nullptr, this, ID_FRAME_COPY);
    new FX::FXMenuCommand(popup, text("Frame_Cut"), nullptr, this, ID_FRAME_CUT);
    new FX::FXMenuCommand(popup, text("Frame_Paste"), nullptr, this, ID_FRAME_PASTE);
}

void kgiTimesheetCanvas::rebuildPopupMenu() {
    delete popup;
    popup = new FX::FXMenuPane(this);
    buildPopupMenu();
    // Before the canvas exists its create() realises the pop-up.
    if (id()) popup->create();
}

void kgiTimesheetCanvas::create() {
    FX::FXGLCanvas::create();
    popup->create();
}

// The context is first made current by the first paint, once the window is
// on the screen at the size its layout and the window manager gave it: made
// current at creation, before the main window's layout, it kept the size the
// canvas was built with for the first frame (a black strip on the right, the
// lower ruler cut off) until something painted again.
void kgiTimesheetCanvas::prepareGL() {
    const int w = getWidth();
    const int h = getHeight();
    if (!glReady) {
        glShadeModel(GL_FLAT);
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glReady = true;
    }
    if (w == glWidth && h == glHeight) return;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // One unit a pixel, y downwards: (0, 0) is the top-left corner.
    glOrtho(0.0, w, h, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glWidth = w;
    glHeight = h;
}

void kgiTimesheetCanvas::layout() {
    // The rows need no context to be laid out; the viewport follows at the
    // next paint.
    if (manager) manager->setSize(getWidth(), getHeight());
    // What the toolkit's own layout would have done: the canvas is laid out.
    flags &= ~FX::FXWindow::FLAG_DIRTY;
    // A frame drawn before the window took this size can stay on screen
    // (the software renderer draws it at the size it had): the whole canvas
    // is drawn again at the new one. About one start in twenty showed the
    // time line shifted and cut until something else redrew it.
    update();
}

long kgiTimesheetCanvas::onPaint(FX::FXObject*, FX::FXSelector, void*) {
    if (!makeCurrent()) return 0;
    prepareGL();
    glClear(GL_COLOR_BUFFER_BIT);
    if (manager) manager->draw();
    swapBuffers();
    makeNonCurrent();
    ++paintCount;
    return 1;
}

int kgiTimesheetCanvas::modifierCode(const FX::FXEvent* event) {
    if (!event) return -1;
    if (event->state & FX::SHIFTMASK) return 0;
    if (event->state & FX::CONTROLMASK) return 1;
    if (event->state & FX::ALTMASK) return 2;
    if (event->click_count > 1) return 3;
    return -1;
}

long kgiTimesheetCanvas::buttonPress(int button, const FX::FXEvent* event) {
    grab();
    const int mod = modifierCode(event);
    const int px = event ? event->win_x : 0;
    const int py = event ? event->win_y : 0;
    if (manager) {
        manager->onMouse(button, PRESS, mod, px, py);
        if (button == RIGHT && manager->isKeyMenuPending()) {
            // The pop-up takes the pointer, so the right release goes to it
            // and never here: the press ends now, or the frame line would
            // keep the capture and the time line would ignore every later
            // press. Before the pop-up grabs, since our ungrab would end its
            // grab too.
            manager->onMouse(button, RELEASE, mod, px, py);
            if (!manager->getCaptured()) ungrab();
            popup->popup(nullptr, event ? event->root_x : 0, event ? event->root_y : 0);
        }
    }
    host()->redrawTimeline();
    return 1;
}

long kgiTimesheetCanvas::buttonRelease(int button, const FX::FXEvent* event) {
    const int mod = modifierCode(event);
    if (manager) manager->onMouse(button, RELEASE, mod, event ? event->win_x : 0, event ? event->win_y : 0);
    // The grab lasts as long as the capture: a release of another button
    // than the one that began it keeps it.
    if (!manager || !manager->getCaptured()) ungrab();
    // The release may have changed keys: the 3D views too.
    host()->redrawAll();
    return 1;
}

long kgiTimesheetCanvas::onLeftBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonPress(LEFT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonRelease(LEFT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonPress(MIDDLE, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonRelease(MIDDLE, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onRightBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonPress(RIGHT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onRightBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return buttonRelease(RIGHT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiTimesheetCanvas::onMotion(FX::FXObject*, FX::FXSelector, void* ptr) {
    const FX::FXEvent* event = static_cast<const FX::FXEvent*>(ptr);
    kgiWorld* world = kgiWorld::instance();
    const float before = world->getCurrentTime();
    if (manager && event) manager->onMotion(event->win_x, event->win_y);
    const float after = world->getCurrentTime();
    // A NaN on either side compares unequal: counted as changed.
    if (!(before == after))
        host()->redrawAll();  // the pose follows the time
    else
        host()->redrawTimeline();
    return 1;
}

long kgiTimesheetCanvas::onMouseWheel(FX::FXObject*, FX::FXSelector, void* ptr) {
    const FX::FXEvent* event = static_cast<const FX::FXEvent*>(ptr);
    // Towards the user (a negative amount) is one frame on.
    const float step = event && event->code < 0 ? 1.0f : -1.0f;
    kgiWorld* world = kgiWorld::instance();
    world->setCurrentTime(world->getCurrentTime() + step);  // not below 0
    host()->redrawAll();
    return 1;
}

void kgiTimesheetCanvas::sendToTarget(FX::FXSelector id) {
    if (target) target->tryHandle(this, FXSEL(FX::SEL_COMMAND, id), nullptr);
}

long kgiTimesheetCanvas::onCmdFrameCopy(FX::FXObject*, FX::FXSelector, void*) {
    sendToTarget(kgiMainCommandIds::ID_KEYS_COPY);
    return 1;
}

long kgiTimesheetCanvas::onCmdFrameCut(FX::FXObject*, FX::FXSelector, void*) {
    sendToTarget(kgiMainCommandIds::ID_KEYS_CUT);
    return 1;
}

long kgiTimesheetCanvas::onCmdFramePaste(FX::FXObject*, FX::FXSelector, void*) {
    sendToTarget(kgiMainCommandIds::ID_KEYS_PASTE);
    return 1;
}

long kgiTimesheetCanvas::onCmdSpare(FX::FXObject*, FX::FXSelector, void*) {
    return 1;
}

long kgiTimesheetCanvas::onCmdMediaImport(FX::FXObject*, FX::FXSelector, void*) {
    kgiMediaTracks* media = kgiWorld::instance()->getMediaTracks();
    const int added = media ? media->importMediaFile() : -1;
    return added >= 0 ? 1 : 0;
}

long kgiTimesheetCanvas::onCmdMediaRemove(FX::FXObject*, FX::FXSelector, void*) {
    kgiMediaTracks* media = kgiWorld::instance()->getMediaTracks();
    if (media && media->getTrackCount() > 0) media->removeTrack(0);
    return 1;
}

void kgiTimesheetCanvas::updateWidgets() {
    if (manager) manager->update();
}

void kgiTimesheetCanvas::pageForward() {
    if (!manager) return;
    manager->pageForward();
    host()->redrawTimeline();
}

void kgiTimesheetCanvas::pageBack() {
    if (!manager) return;
    manager->pageBack();
    host()->redrawTimeline();
}

void kgiTimesheetCanvas::goToStart() {
    if (!manager) return;
    manager->goToStart();
    host()->redrawTimeline();
}

void kgiTimesheetCanvas::goToEnd() {
    if (!manager) return;
    manager->goToEnd();
    host()->redrawTimeline();
}

void kgiTimesheetCanvas::zoom() {
    if (manager) manager->zoom();
}

void kgiTimesheetCanvas::addMediaBar(int track) {
    if (manager) manager->addMediaBar(track);
}

void kgiTimesheetCanvas::removeMediaBar() {
    if (manager) manager->removeMediaBar();
}
