// The 3D canvas in a real window: what create sets up, mouse modes, several
// canvases with the application's registry and redraw bits, and what a user
// sees (floor grid, head-up text, ghosts).

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <vector>

#include "kgcMaterial.h"
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiGhost.h"
#include "kgiKinematicControllers.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "ksg/tree_test_util.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"

namespace {

using Rgb = kgiTestImage::Rgb;
const Rgb BACKGROUND = {222, 222, 222};
const Rgb WHITE = {255, 255, 255};

// A window of the given size holding one created canvas that has painted.
struct CanvasWindow {
    kgiTestWindow window;
    kgi3dCanvas* canvas;

    explicit CanvasWindow(int width = 640, int height = 450)
        : window(width, height), canvas(new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual()))
    {
        window.show();
        EXPECT_TRUE(window.runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
    }

    // A fresh picture after the canvas painted again.
    kgiTestImage repaint()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        window.runUntil([&] { return canvas->getPaintCount() > before; });
        return window.grab();
    }
};

int count(const std::vector<ksgViewpoint*>& list, const ksgViewpoint* v)
{
    return static_cast<int>(std::count(list.begin(), list.end(), v));
}

int count(const std::vector<ksgManipulator*>& list, const ksgManipulator* m)
{
    return static_cast<int>(std::count(list.begin(), list.end(), m));
}

// The columns of the picture's top band that hold white (the head-up text).
int whiteColumns(const kgiTestImage& img, int x0, int x1)
{
    int n = 0;
    for (int x = x0; x < x1; ++x)
        if (img.count(x, 0, 1, 40, WHITE, 30) > 0)
            ++n;
    return n;
}

Rgb gridColour()
{
    const float* c = kgiTestApp()->getSettings().gridColor;
    return {int(c[0] * 255 + 0.5f), int(c[1] * 255 + 0.5f), int(c[2] * 255 + 0.5f)};
}

TEST(Canvas, CreateSetsUpModesListsViewAndGLState)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    CanvasWindow w;
    kgi3dCanvas* c = w.canvas;
    kgiWorld* world = kgiWorld::instance();

    EXPECT_EQ(c->getMouseMode(), 2);
    EXPECT_EQ(c->getIkController()->getMode(), 1);
    EXPECT_EQ(c->getManipulator()->getController(), c->getIkController());
    EXPECT_EQ(count(world->getManipulators(), c->getManipulator()), 1);
    ksgViewpoint* vp = c->getOwnViewpoint();
    ASSERT_NE(vp, nullptr);
    EXPECT_EQ(c->getViewpoint(), vp);
    EXPECT_GE(kgiViewpointTable::instance()->idOf(vp), 0);
    EXPECT_EQ(count(world->getViewpoints(), vp), 1);
    EXPECT_FLOAT_EQ(vp->getDistanceToBase(), 10.0f) << "no character: the origin from 10";
    EXPECT_TRUE(ksgtest::matrixNear(vp->getBase(), kmlMatrix4()));
    // 32-pixel buttons with a pixel above and below.
    EXPECT_EQ(c->getToolbarHeight(), 34);

    ksgViewportState* port = c->getViewport();
    ASSERT_NE(port, nullptr);
    float n = 0, f = 0, l = 0, r = 0, b = 0, t = 0;
    port->getPlanes(n, f);
    EXPECT_FLOAT_EQ(n, 0.1f);
    EXPECT_FLOAT_EQ(f, 1000.0f);
    EXPECT_FLOAT_EQ(port->getFov(), 56.0f);
    EXPECT_EQ(port->getProjMode(), ksgViewportState::PERSPECTIVE);
    int x = -1, y = -1, width = 0, height = 0;
    port->getWindow(x, y, width, height);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 34) << "the scene sits above the tool-bar strip";
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 450 - 34);
    port->getBounds(l, r, b, t);
    EXPECT_FLOAT_EQ(r, 6.6f);
    EXPECT_NEAR(t, 6.6f * (450 - 34) / 640, 1e-4f);

    ASSERT_TRUE(c->makeCurrent());
    GLfloat clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_NEAR(clear[0], 0.87f, 1e-3f);
    EXPECT_NEAR(clear[3], 1.0f, 1e-3f);
    GLfloat depth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_LIGHT0})
        EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
    GLint value = 0;
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    c->makeNonCurrent();
}

TEST(Canvas, ModeChangesLeaveNoControllerHoldingAJoint)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestWindow window(200, 150);
    auto* idle = new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual());
    idle->setMouseMode(3);
    EXPECT_EQ(idle->getMouseMode(), 1) << "before create nothing changes";

    CanvasWindow w(200, 150);
    kgi3dCanvas* c = w.canvas;
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    ksgTransform* hand = new ksgTransform;
    root.attachChild(joint);
    joint->attachChild(hand);
    hand->setLocal(ksgtest::translation(0, 1, 0));
    root.update(0, false, true);

    const std::vector<ksgTransformController*> all = {
        c->getIkController(),      c->getAxisFkController(), c->getTrackballFkController(),
        c->getBodyFkController(), c->getAnimFkController(),  c->getAnimIkController()};
    auto holders = [&] {
        int n = 0;
        for (ksgTransformController* ctl : all)
            n += ctl->getTarget() != nullptr;
        return n;
    };

    c->getManipulator()->setTarget(hand);
    ASSERT_EQ(c->getIkController()->getTarget(), hand);
    c->setMouseMode(7);
    EXPECT_EQ(holders(), 0) << "the CCD controller let go";
    EXPECT_EQ(c->getManipulator()->getController(), c->getAnimIkController());
    c->getManipulator()->setTarget(&root);
    c->setMouseMode(3);
    EXPECT_EQ(holders(), 0);
    EXPECT_EQ(c->getManipulator()->getController(), c->getAxisFkController());
    EXPECT_EQ(c->getManipulator()->getTarget(), nullptr);

    c->setMouseMode(0);
    EXPECT_EQ(c->getManipulator()->getController(), nullptr);
    c->setMouseMode(2);
    c->setMouseMode(9);
    EXPECT_EQ(c->getMouseMode(), 9);
    EXPECT_EQ(c->getManipulator()->getController(), c->getIkController()) << "unknown: only the field";
}

TEST(Canvas, TwoCanvasesKeepTheirOwnEntriesAndRedrawBits)
{
    KGI_REQUIRE_TEST_APP();
    kgiApp* app = kgiTestApp();
    kgiWorld* world = kgiWorld::instance();
    const size_t manipulators = world->getManipulators().size();
    const size_t viewpoints = world->getViewpoints().size();

    auto first = std::make_unique<CanvasWindow>(200, 150);
    CanvasWindow second(200, 150);
    ksgViewpoint* firstView = first->canvas->getOwnViewpoint();
    ASSERT_EQ(app->getCanvases().size(), 2u);
    EXPECT_EQ(world->getManipulators().size(), manipulators + 2);
    first->repaint();
    const kgiTestImage hud = second.repaint();
    // The first canvas's fonts and view go with its own context, even with
    // the second's current: the second keeps its glyph textures.
    ASSERT_TRUE(second.canvas->makeCurrent());
    first.reset();
    second.canvas->makeNonCurrent();
    EXPECT_TRUE(second.repaint().rgb == hud.rgb) << "the second canvas's text changed";

    ASSERT_EQ(app->getCanvases().size(), 1u);
    EXPECT_EQ(app->getCanvases()[0], second.canvas);
    EXPECT_EQ(world->getManipulators().size(), manipulators + 1);
    EXPECT_EQ(count(world->getManipulators(), second.canvas->getManipulator()), 1);
    EXPECT_EQ(world->getViewpoints().size(), viewpoints + 1);
    EXPECT_EQ(count(world->getViewpoints(), second.canvas->getOwnViewpoint()), 1);
    EXPECT_EQ(kgiViewpointTable::instance()->idOf(firstView), -1);
    EXPECT_GE(kgiViewpointTable::instance()->idOf(second.canvas->getOwnViewpoint()), 0);

    second.window.settle();
    ASSERT_FALSE(app->isCanvasDirty(0));
    app->redrawCanvas(first.get() ? first->canvas : nullptr);
    EXPECT_FALSE(app->isCanvasDirty(0)) << "an unregistered canvas marks nothing";
    app->redrawCanvas(second.canvas);
    EXPECT_TRUE(app->isCanvasDirty(0));

    const long before = second.canvas->getPaintCount();
    app->flushCanvasRedraws();
    EXPECT_FALSE(app->isCanvasDirty(0));
    second.window.runUntil([&] { return second.canvas->getPaintCount() > before; });
    second.window.settle();
    EXPECT_EQ(second.canvas->getPaintCount(), before + 1) << "one repaint per request";

    // The lessons' camera moves: the index equal to the count is out of range.
    const kmlMatrix4 eye = second.canvas->getViewpoint()->getMatrix();
    app->moveCanvasView(1, 30, 10, 2, 1, 1);
    EXPECT_TRUE(ksgtest::matrixNear(second.canvas->getViewpoint()->getMatrix(), eye, 0.0f));
    app->moveCanvasView(0, 30, 0, 0, 0, 0);
    EXPECT_FALSE(ksgtest::matrixNear(second.canvas->getViewpoint()->getMatrix(), eye, 1e-3f));
}

TEST(Canvas, FactoryRobotOnTheGridWithTheFrameNumber)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld::instance()->setCurrentTime(0);
    CanvasWindow w;
    const kgiTestImage shot = w.repaint();
    shot.save("canvas_factory_robot");

    // Grey at the top corners, the robot (not grey) in the middle.
    EXPECT_EQ(shot.at(5, 5), BACKGROUND);
    EXPECT_EQ(shot.at(5, 120), BACKGROUND);
    EXPECT_LT(shot.count(270, 100, 100, 200, BACKGROUND, 2), 100 * 200 / 2) << "no robot in the middle";
    const Rgb grid = gridColour();
    const int gridPixels = shot.count(0, 300, 640, 150, grid, 2);
    EXPECT_GT(gridPixels, 500) << "no floor grid below the robot";
    // The frame number "1" in white at the top right, nothing white at the left.
    const int digitColumns = whiteColumns(shot, 560, 640);
    EXPECT_GT(digitColumns, 0);
    EXPECT_EQ(whiteColumns(shot, 0, 200), 0);

    w.canvas->setGridVisible(false);
    const kgiTestImage bare = w.repaint();
    bare.save("canvas_without_grid");
    EXPECT_LT(bare.count(0, 300, 640, 150, grid, 2), gridPixels / 20);

    w.canvas->setGridVisible(true);
    kgiTestApp()->getSettings().drawNo = 1;
    const kgiTestImage seconds = w.repaint();
    kgiTestApp()->getSettings().drawNo = 0;
    seconds.save("canvas_seconds");
    EXPECT_GT(whiteColumns(seconds, 480, 640), digitColumns + 20) << "\"0.00\" is wider than \"1\"";
    kgiTestRemoveCharacters();
}

TEST(Canvas, CourseTimeAtTheTopLeftWhileACourseRuns)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    CanvasWindow w;
    kgiStandInLesson lesson;
    lesson.courseMode = true;
    lesson.courseTime = 1234.5f;  // shown as 999.99
    kgiTestApp()->setLessonManager(&lesson);
    const kgiTestImage course = w.repaint();
    lesson.courseTime = -1.0f;
    const kgiTestImage stopped = w.repaint();
    kgiTestApp()->setLessonManager(nullptr);
    course.save("canvas_course_time");

    EXPECT_GT(whiteColumns(course, 0, 200), 40) << "\"999.99\" at the top left";
    EXPECT_EQ(whiteColumns(stopped, 0, 200), 0) << "-1.0 shows nothing";
    EXPECT_GT(whiteColumns(stopped, 560, 640), 0) << "the frame number stays";
}

// The current pose with the right arm down at 0 and raised at 10.
kgiCharacter* armKeyedRobot()
{
    if (!kgiTestLoadFactoryRobot())
        return nullptr;
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();
    ksgNode* shoulder = c->findNode("RShoulder");
    if (shoulder == nullptr || shoulder->asTransform() == nullptr)
        return nullptr;
    c->setTime(0);
    c->addKey(0);
    ksgTransform* joint = shoulder->asTransform();
    joint->setLocal(joint->getLocal() * ksgtest::rotation(-100, 0, 0, 1));
    c->getRoot()->update(0, false, true);
    c->addKey(10);
    world->setCurrentTime(0);
    c->setTime(0);
    return c;
}

// Every transform's local matrix, depth first.
void collectLocals(ksgNode* n, std::vector<kmlMatrix4>& out)
{
    if (ksgTransform* t = n->asTransform())
        out.push_back(t->getLocal());
    for (ksgNode* c = n->getChild(); c != nullptr; c = c->getSibling())
        collectLocals(c, out);
}

TEST(Canvas, GhostsBlendWhereTheRaisedArmWillBeAndChangeNothing)
{
    KGI_REQUIRE_TEST_APP();
    kgiCharacter* robot = armKeyedRobot();
    ASSERT_NE(robot, nullptr);
    ASSERT_EQ(robot->getKeyTimes().size(), 2u);
    CanvasWindow w;
    const kgiTestImage plain = w.repaint();

    kgcMaterial* picked = kgiWorld::instance()->getGhostSetup().material;
    ASSERT_NE(picked, nullptr);
    float r, g, b, alpha;
    picked->getDiffuse(r, g, b, alpha);
    std::vector<kmlMatrix4> locals;
    collectLocals(robot->getRoot(), locals);

    w.canvas->setGhostVisible(true);
    const kgiTestImage ghosts = w.repaint();
    ghosts.save("canvas_ghosts");
    int blended = 0, opaque = 0;
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            if (plain.at(x, y) != BACKGROUND || ghosts.at(x, y) == BACKGROUND)
                continue;
            // Only the ghost falls here: background showing through.
            const Rgb p = ghosts.at(x, y);
            const bool isBlend = std::abs(p[0] - BACKGROUND[0]) < 120 && std::abs(p[1] - BACKGROUND[1]) < 120 &&
                                 std::abs(p[2] - BACKGROUND[2]) < 120;
            (isBlend ? blended : opaque)++;
        }
    }
    EXPECT_GT(blended, 100) << "no ghost of the raised arm";
    EXPECT_LT(opaque, blended / 10) << "ghost pixels drawn opaque";

    std::vector<kmlMatrix4> after;
    collectLocals(robot->getRoot(), after);
    ASSERT_EQ(after.size(), locals.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE(ksgtest::matrixNear(after[i], locals[i], 0.0f)) << "joint " << i;
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 10}));
    float alphaAfter = -1;
    picked->getDiffuse(r, g, b, alphaAfter);
    EXPECT_EQ(alphaAfter, alpha) << "the picked material keeps its opacity";

    w.canvas->setGhostVisible(false);
    const kgiTestImage again = w.repaint();
    EXPECT_TRUE(again.rgb == plain.rgb) << "ghosts off gives the first picture back";
    kgiTestRemoveCharacters();
}

TEST(Canvas, FarthestGhostIsDrawnAtOpacityZeroNeverBelow)
{
    KGI_REQUIRE_TEST_APP();
    kgiCharacter* robot = armKeyedRobot();
    ASSERT_NE(robot, nullptr);
    kgiGhost ghost;  // range 20, alpha 0.6: step 0.03
    ghost.setMode(1);
    ASSERT_TRUE(ghost.prepareGhost(robot, 20, 20)) << "g = 0, 20 frames away";
    EXPECT_GE(ghost.getGhostAlpha(), 0.0f);
    EXPECT_NEAR(ghost.getGhostAlpha(), 0.0f, 1e-5f);
    EXPECT_FALSE(ghost.prepareGhost(robot, 21, 21)) << "21 frames away";
    EXPECT_FALSE(ghost.prepareGhost(robot, 5, -6)) << "g = 11, at the frame count";
    ghost.setMode(2);
    ASSERT_TRUE(ghost.prepareGhost(robot, 0, -1)) << "on the key at 0";
    EXPECT_FLOAT_EQ(ghost.getGhostAlpha(), ghost.getAlpha());
    EXPECT_FALSE(ghost.prepareGhost(robot, 10, 1)) << "no key after 10";
    kgiTestRemoveCharacters();
}

} // namespace
