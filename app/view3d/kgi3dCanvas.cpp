#include "kgi3dCanvas.h"

#include <GL/gl.h>

#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasToolBar.h"
#include "kgiCanvasDrawing.h"
#include "kgiCanvasMouse.h"
#include "kgiCanvasMouseHost.h"
#include "kgiCharacter.h"
#include "kgiGLTextPrinter.h"
#include "kgiGhost.h"
#include "kgiKinematicControllers.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgcAxisAlignedBox.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgStateParam.h"
#include "ksgTransformController.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "kutPath.h"

#include <algorithm>
#include <vector>

FXDEFMAP(kgi3dCanvas) kgi3dCanvasMap[] = {
    FXMAPFUNC(FX::SEL_PAINT, 0, kgi3dCanvas::onPaint),
    FXMAPFUNC(FX::SEL_MOTION, 0, kgi3dCanvas::onMotion),
    FXMAPFUNC(FX::SEL_MOUSEWHEEL, 0, kgi3dCanvas::onMouseWheel),
    FXMAPFUNC(FX::SEL_LEFTBUTTONPRESS, 0, kgi3dCanvas::onLeftBtnPress),
    FXMAPFUNC(FX::SEL_LEFTBUTTONRELEASE, 0, kgi3dCanvas::onLeftBtnRelease),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONPRESS, 0, kgi3dCanvas::onMiddleBtnPress),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONRELEASE, 0, kgi3dCanvas::onMiddleBtnRelease),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONPRESS, 0, kgi3dCanvas::onRightBtnPress),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONRELEASE, 0, kgi3dCanvas::onRightBtnRelease),
    FXMAPFUNC(FX::SEL_LEAVE, 0, kgi3dCanvas::onLeave),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_SUBTREE_MIRROR, kgi3dCanvas::onCmdSubtreeMirror),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_SET_REVERSE_ROOT, kgi3dCanvas::onCmdSetReverseRoot),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_FLIP_POSE, kgi3dCanvas::onCmdFlipPose),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_HAND_OPEN, kgi3dCanvas::onCmdHandOpen),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_HAND_CLOSE, kgi3dCanvas::onCmdHandClose),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_FOOT_LAND, kgi3dCanvas::onCmdFootLand),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_LEVEL_ANKLES, kgi3dCanvas::onCmdLevelAnkles),
    FXMAPFUNC(FX::SEL_COMMAND, kgi3dCanvas::ID_ADJUST_PREV_KEY, kgi3dCanvas::onCmdAdjustPrevKey),
};

FXIMPLEMENT(kgi3dCanvas, FX::FXGLCanvas, kgi3dCanvasMap, ARRAYNUMBER(kgi3dCanvasMap))

namespace {

std::string viewFontPath()
{
    kgiApp* app = kgiApp::instance();
    const std::string base = app != nullptr ? app->getBaseDir() : std::string();
    return kutAppendPath(kutAppendPath(base, "font"), "arial.ttf");
}

} // namespace

kgi3dCanvas::kgi3dCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target,
                         FX::FXSelector id, FX::FXint x, FX::FXint y, FX::FXint w, FX::FXint h)
    : FX::FXGLCanvas(parent, visual, target, id, FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, x, y, w, h)
{
    visualState.emplace();
    mouseHost = std::make_unique<MouseHost>(*this);
    mouse = std::make_unique<kgiCanvasMouse>(*mouseHost);
    kgi3dViewToolbar& shared = kgi3dViewToolbar::shared();
    if (shared.isEmpty()) {
        kgiApp* app = kgiApp::instance();
        shared.createButtons(kgi3dViewToolbar::imageFolderOf(app != nullptr ? app->getBaseDir() : std::string()));
    }
    // Buttons 32 pixels high, one pixel of spacing and of every margin.
    toolbar = shared.createBar(this, w, 32, 1, 1, 1, 1, 1, 1);
    toolbarHeight = toolbar->preferredHeight();
    sceneHeight = getHeight() - toolbarHeight;
    fullHeight = getHeight();
    if (kgiApp* app = kgiApp::instance()) {
        app->addCanvas(this);
        registered = true;
    }
}

kgi3dCanvas::~kgi3dCanvas()
{
    if (registered)
        if (kgiApp* app = kgiApp::instance())
            app->removeCanvas(this);
    kgiWorld* world = kgiWorld::instance();
    if (manipulator != nullptr)
        world->removeManipulator(manipulator);
    if (ownViewpoint != nullptr) {
        world->removeViewpoint(ownViewpoint);
        if (viewpoint == ownViewpoint && view != nullptr)
            view->setViewpoint(nullptr);
        kgiViewpointTable::instance()->remove(ownViewpoint);
        ownViewpoint = nullptr;
    }
    if (manipulator != nullptr) {
        // Off the model tree first: while attached the tree owns it.
        manipulator->setTarget(nullptr);
        delete manipulator;
        manipulator = nullptr;
    }
    releaseGL();
    // Before the controllers and the view it points to.
    mouse.reset();
    delete ikController;
    delete axisFkController;
    delete trackballFkController;
    delete animIkController;
    delete animFkController;
    delete bodyFkController;
    // Its states only: the shared buttons stay for the other canvases.
    delete toolbar;
    toolbar = nullptr;
    if (ghostAcquired)
        kgiGhost::release();
}

void kgi3dCanvas::releaseGL()
{
    // Texture fonts, the view's lights and the visual state's restore are GL
    // work for this canvas's context; with another context current they
    // would hit that one's objects.
    const bool current = id() != 0 && makeCurrent();
    delete hudPrinter;
    hudPrinter = nullptr;
    delete courseTimePrinter;
    courseTimePrinter = nullptr;
    if (current && view != nullptr)
        deleteGridList();
    delete view;
    view = nullptr;
    visualState.reset();
    if (current)
        makeNonCurrent();
}

void kgi3dCanvas::create()
{
    FX::FXGLCanvas::create();
    if (manipulator != nullptr)
        return;
    ghostAcquired = true;
    kgiGhost::acquire();
    manipulator = new ksgManipulator;
    ikController = new ksgCcdIKController;
    axisFkController = new ksgAxisFKController;
    trackballFkController = new ksgTrackballFKController;
    animIkController = new kgiAnimIKController;
    animFkController = new kgiAnimFKController;
    bodyFkController = new kgiBodyFKController;
    ikController->setMode(1);
    kgiWorld::instance()->addManipulator(manipulator);
    updateMouseParts();
    mouse->setMouseMode(2);
    mouse->setGroupEditMode(0);
    // IK, the grid and the perspective camera start pushed: their actions
    // run, and every switch writes its flag (grid on, the others off).
    if (toolbar != nullptr) {
        std::vector<int> values;
        toolbar->getStateValues(values);
        for (int entry : {kgi3dViewToolbar::IK, kgi3dViewToolbar::GRID, kgi3dViewToolbar::CAMERA_PERSPECTIVE})
            if (entry < static_cast<int>(values.size()))
                values[static_cast<size_t>(entry)] = kgiButtonState::PUSHED;
        toolbar->setStateValues(values);
    }
    initView();
}

void kgi3dCanvas::initView()
{
    kgiWorld* world = kgiWorld::instance();
    ownViewpoint = kgiViewpointTable::instance()->create();
    if (ownViewpoint != nullptr) {
        ownViewpoint->setUpAxis(world->getUpAxis());
        ownViewpoint->setMode(world->getViewpointMode());
        world->addViewpoint(ownViewpoint);
        if (kgiCharacter* c = world->getCurrentCharacter()) {
            ownViewpoint->center(c->getBounds());
        } else {
            ownViewpoint->setBase(kmlMatrix4());
            ownViewpoint->setDistanceToBase(10.0f);
        }
    }
    viewpoint = ownViewpoint;
    view = new ksgView(*visualState);
    updateMouseParts();
    ksgViewportState* vp = view->getViewport();
    view->setLight(0, kgiLightTable::instance()->find(0));
    view->setViewpoint(viewpoint);
    const float distance = viewpoint != nullptr ? viewpoint->getDistanceToBase() : 10.0f;
    const kgiCanvasDrawing::Projection p =
        kgiCanvasDrawing::initialProjection(distance, getWidth(), getHeight(), toolbarHeight);
    if (vp != nullptr) {
        vp->setPlanes(p.nearPlane, p.farPlane);
        vp->setFov(p.fov);
        if (p.hasBounds)
            vp->setBounds(p.left, p.right, p.bottom, p.top);
        vp->setWindow(p.x, p.y, p.width, p.height);
        vp->setProjMode(ksgViewportState::PERSPECTIVE);
    }

    if (!makeCurrent())
        return;
    ksgInitialState& initial = visualState->initialState();
    initial.clearDepth(1.0f);
    initial.clearColor(0.87f, 0.87f, 0.87f, 1.0f);
    initial.setClearBuffers(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    initial.setMode(GL_DEPTH_TEST, true);
    initial.setMode(GL_CULL_FACE, true);
    initial.setMode(GL_LIGHTING, true);
    initial.setMode(GL_LIGHT0, true);
    initial.addParam(new ksgFrontFaceParam(GL_CCW));
    initial.addParam(new ksgCullParam(GL_BACK));
    initial.addParam(new ksgPolygonModeParam(GL_FRONT, GL_FILL));
    initial.addParam(new ksgShadeModelParam(GL_SMOOTH));
    initial.addParam(new ksgDepthTestParam(GL_LEQUAL));
    visualState->init();

    const std::string font = viewFontPath();
    hudPrinter = new kgiGLTextPrinter(font, kgiGLTextPrinter::TEXTURE);
    hudPrinter->setFaceSize(kgiCanvasDrawing::HUD_FACE_SIZE);
    courseTimePrinter = new kgiGLTextPrinter(font, kgiGLTextPrinter::TEXTURE);
    courseTimePrinter->setFaceSize(kgiCanvasDrawing::HUD_FACE_SIZE);

    compileGridList();
    makeNonCurrent();
}

void kgi3dCanvas::compileGridList()
{
    kgiWorld* world = kgiWorld::instance();
    kgiScene* scene = world->getScene();
    if (scene == nullptr)
        return;
    const float level = world->getGridLevel();
    float colour[3] = {0.5f, 0.5f, 0.5f};
    if (kgiApp* app = kgiApp::instance())
        std::copy(app->getSettings().gridColor, app->getSettings().gridColor + 3, colour);

    glNewList(static_cast<GLuint>(scene->getListId()), GL_COMPILE);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glBegin(GL_LINES);
    glColor3fv(colour);
    for (const kgiCanvasDrawing::Line& l :
         kgiCanvasDrawing::gridLines(level, world->getGridSpacing(), world->getGridWidth(),
                                     world->getGridDepth())) {
        glVertex3f(l.from.get(0), l.from.get(1), l.from.get(2));
        glVertex3f(l.to.get(0), l.to.get(1), l.to.get(2));
    }
    glEnd();
    kmlVec3 corners[3];
    kgiCanvasDrawing::originMark(level, corners);
    glBegin(GL_TRIANGLES);
    glColor3fv(kgiCanvasDrawing::ORIGIN_MARK_COLOUR);
    for (const kmlVec3& c : corners)
        glVertex3f(c.get(0), c.get(1), c.get(2));
    glEnd();
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEndList();
}

void kgi3dCanvas::deleteGridList()
{
    if (kgiScene* scene = kgiWorld::instance()->getScene())
        glDeleteLists(static_cast<GLuint>(scene->getListId()), 1);
}

void kgi3dCanvas::layout()
{
    FX::FXWindow::layout();
    if (!makeCurrent())
        return;
    if (view != nullptr)
        view->reshape(0, toolbarHeight, getWidth(), std::max(0, getHeight() - toolbarHeight));
    if (toolbar != nullptr)
        toolbar->layoutButtons(getWidth(), toolbarHeight);
    sceneHeight = std::max(0, getHeight() - toolbarHeight);
    fullHeight = getHeight();
    makeNonCurrent();
}

long kgi3dCanvas::onPaint(FX::FXObject*, FX::FXSelector, void*)
{
    if (!makeCurrent())
        return 0;
    if (view == nullptr) {
        makeNonCurrent();
        return 1;
    }
    kgiWorld* world = kgiWorld::instance();
    kgiScene* scene = world->getScene();
    if (scene != nullptr) {
        scene->setDrawList(gridVisible);
        if (gridVisible) {
            const int upAxis = viewpoint != nullptr ? viewpoint->getUpAxis() : world->getUpAxis();
            scene->setMatrix(kgiCanvasDrawing::gridMatrix(upAxis, gridPlane));
        }
        scene->setDrawNodeExtras(ghostVisible);
        scene->setDrawSelection(centreOfGravityVisible);
    }
    view->render(scene);
    drawToolbar();
    drawHud();
    swapBuffers();
    makeNonCurrent();
    ++paintCount;
    return 1;
}

void kgi3dCanvas::drawToolbar()
{
    if (toolbar == nullptr)
        return;
    glViewport(0, 0, getWidth(), toolbarHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, getWidth(), 0, toolbarHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    toolbar->draw();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
}

void kgi3dCanvas::drawHud()
{
    const int width = getWidth();
    const int height = getHeight();
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glColor3f(1.0f, 1.0f, 1.0f);

    kgiWorld* world = kgiWorld::instance();
    kgiApp* app = kgiApp::instance();
    const int drawNo = app != nullptr ? app->getSettings().drawNo : 0;
    const std::string frame = kgiCanvasDrawing::frameText(world->getCurrentTime(), world->getFps(), drawNo);
    const float y = kgiCanvasDrawing::baselineY(height);
    if (hudPrinter != nullptr) {
        hudPrinter->begin();
        hudPrinter->print(kgiCanvasDrawing::rightAlignedX(width, hudPrinter->advance("%s", frame.c_str())), y,
                          "%s", frame.c_str());
        hudPrinter->end();
    }
    // Asked on every paint: the lesson's stopwatch runs from these calls.
    float seconds = 0.0f;
    if (courseTime(seconds)) {
        const std::string course = kgiCanvasDrawing::courseText(true, seconds);
        if (!course.empty() && courseTimePrinter != nullptr) {
            const kgiCanvasDrawing::Box box =
                kgiCanvasDrawing::courseBackingBox(5.0f, y, courseTimePrinter->advance("%s", course.c_str()));
            const GLboolean blendWasOn = glIsEnabled(GL_BLEND);
            GLint blendSrc = GL_ONE, blendDst = GL_ZERO;
            glGetIntegerv(GL_BLEND_SRC, &blendSrc);
            glGetIntegerv(GL_BLEND_DST, &blendDst);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glColor4f(0.0f, 0.0f, 0.0f, kgiCanvasDrawing::COURSE_BACKING_ALPHA);
            glRectf(box.x0, box.y0, box.x1, box.y1);
            glBlendFunc(static_cast<GLenum>(blendSrc), static_cast<GLenum>(blendDst));
            if (!blendWasOn)
                glDisable(GL_BLEND);
            glColor3f(1.0f, 1.0f, 1.0f);
            courseTimePrinter->begin();
            courseTimePrinter->print(5.0f, y, "%s", course.c_str());
            courseTimePrinter->end();
        }
    }

    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

bool kgi3dCanvas::courseTime(float& seconds) const
{
    kgiApp* app = kgiApp::instance();
    if (app == nullptr || !app->hasCourseTime())
        return false;
    seconds = app->getCourseTime();
    return true;
}

void kgi3dCanvas::setMouseMode(int mode)
{
    mouse->setMouseMode(mode);
}

void kgi3dCanvas::clearManipulatorTarget()
{
    if (manipulator == nullptr)
        return;
    manipulator->setTarget(nullptr);
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
}

void kgi3dCanvas::resetViewpoint()
{
    if (view == nullptr)
        return;
    if (ksgViewpoint* vp = view->getViewpoint()) {
        vp->setBase(kmlMatrix4());
        vp->setDistanceToBase(10.0f);
        vp->setPitch(0.0f);
        vp->setYaw(0.0f);
        vp->setRoll(0.0f);
    }
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
}

void kgi3dCanvas::fitView()
{
    ksgViewportState* vp = getViewport();
    if (vp != nullptr && viewpoint != nullptr) {
        if (ksgNode* picked = mouse->getPickedNode())
            viewpoint->center(picked->getRoot()->getBounds());
        else
            viewpoint->center(kgiWorld::instance()->getBounds());
        const float d = viewpoint->getDistanceToBase() * 0.66f;
        const float aspect = vp->getAspect();
        vp->setBounds(-d, d, -d / aspect, d / aspect);
    }
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
}

void kgi3dCanvas::setViewpoint(ksgViewpoint* vp)
{
    if (vp == nullptr)
        return;
    viewpoint = vp;
    if (view != nullptr)
        view->setViewpoint(vp);
}

ksgViewportState* kgi3dCanvas::getViewport() const
{
    return view != nullptr ? view->getViewport() : nullptr;
}
