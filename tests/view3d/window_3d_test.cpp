// The 3D window on the factory robot: what it shows, its keys through the
// X server and through its handlers (latch, lock, frames, pose undo), and
// what closing it does in and outside a lesson.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "ksgManipulator.h"
#include "ksgViewpoint.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/canvas_commands_fixture.h"
#include "view3d/window_3d_fixture.h"

namespace {

using Rgb = kgiTestImage::Rgb;
const Rgb BACKGROUND = {222, 222, 222};

constexpr unsigned CTRL = 0x4;
constexpr unsigned NUM_LOCK = 0x10;
constexpr unsigned SPACE = 0x20;
constexpr unsigned LEFT = 0xff51;
constexpr unsigned RIGHT = 0xff53;
constexpr unsigned ESCAPE = 0xff1b;

bool hasKeyAt(kgiCharacter* c, float frame)
{
    const std::vector<float>& t = c->getKeyTimes();
    return std::find(t.begin(), t.end(), frame) != t.end();
}

float frameWithoutKey(kgiCharacter* c, float from)
{
    while (hasKeyAt(c, from))
        from += 1.0f;
    return from;
}

bool inCanvasList(const kgi3dCanvas* canvas)
{
    const std::vector<kgiViewCanvas*>& list = kgiTestApp()->getCanvases();
    return std::find(list.begin(), list.end(), static_cast<const kgiViewCanvas*>(canvas)) != list.end();
}

// A lesson whose step forbids view editing, installed for a test.
struct LockedLesson {
    kgiStandInLesson lesson;
    LockedLesson()
    {
        lesson.mode = 1;
        lesson.permissions[1] = false;
        kgiTestApp()->setLessonManager(&lesson);
    }
    ~LockedLesson() { kgiTestApp()->setLessonManager(nullptr); }
};

TEST(Window3d, ShowsItsCanvasFillingItWithTheRobot)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiTest3dWindow w;
    kgi3dWindow* win = w.window;
    kgi3dCanvas* canvas = win->getCanvas();

    EXPECT_EQ(std::string(win->getTitle().text()), "3DView");
    EXPECT_EQ(win->getWidth(), 640);
    EXPECT_EQ(win->getHeight(), 450);
    EXPECT_EQ(win->getIcon(), kgiTestApp()->getAppIcon());
    EXPECT_TRUE(win->shown());
    EXPECT_FALSE(win->isKeyLatched());
    EXPECT_EQ(canvas->getParent(), win);
    EXPECT_EQ(canvas->getTarget(), win);
    EXPECT_EQ(canvas->getSelector(), kgi3dWindow::CANVAS_ID);
    EXPECT_EQ(canvas->getX(), 0);
    EXPECT_EQ(canvas->getY(), 0);
    EXPECT_EQ(canvas->getWidth(), 640);
    EXPECT_EQ(canvas->getHeight(), 450);
    EXPECT_TRUE(inCanvasList(canvas));

    kgiTestImage shot = kgiTestGrab(win);
    shot.save("window_3d");
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 450);
    // The floor colour at the corners, the robot in the middle.
    EXPECT_EQ(shot.at(2, 2), BACKGROUND);
    EXPECT_GT(shot.count(220, 100, 200, 250, BACKGROUND, 3), 0);
    EXPECT_LT(shot.count(220, 100, 200, 250, BACKGROUND, 3), 200 * 250 - 500) << "no robot in the middle";
}

TEST(Window3d, SpaceThroughTheServerAddsAKeyAndArrowsStep)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();
    kgiTest3dWindow w;
    kgiTestFocus(w.window);

    const float frame = frameWithoutKey(c, 5.0f);
    world->setCurrentTime(frame);
    const int keys = c->getKeyCount();
    kgiTestKey("space");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return c->getKeyCount() == keys + 1; }));
    EXPECT_TRUE(hasKeyAt(c, frame));

    kgiTestKey("Right");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return world->getCurrentTime() == frame + 1.0f; }));
    kgiTestKey("Left");
    kgiTestKey("Left");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return world->getCurrentTime() == frame - 1.0f; }));
    EXPECT_FALSE(w.window->isKeyLatched());

    // 'k' switches the canvas between IK and FK and back.
    const int ikMode = w.window->getCanvas()->getMouseMode();
    kgiTestKey("k");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return w.window->getCanvas()->getMouseMode() != ikMode; }));
    kgiTestKey("k");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return w.window->getCanvas()->getMouseMode() == ikMode; }));
}

TEST(Window3d, HeldSpaceAddsOneKeyAndTheArrowsClampAtZero)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();
    kgiTest3dWindow w;

    const float first = frameWithoutKey(c, 21.0f);
    world->setCurrentTime(first);
    const int keys = c->getKeyCount();
    // Held: X11 repeats as a release and a press with one time stamp.
    EXPECT_EQ(w.press(SPACE, 0, 100), 1);
    EXPECT_TRUE(w.window->isKeyLatched());
    for (unsigned t : {600u, 630u, 660u}) {
        w.release(SPACE, t);
        EXPECT_EQ(w.press(SPACE, NUM_LOCK, t), 0) << "a repeat goes on unhandled";
    }
    EXPECT_EQ(c->getKeyCount(), keys + 1);
    w.release(SPACE, 700);
    EXPECT_FALSE(w.window->isKeyLatched());
    const float second = frameWithoutKey(c, first + 2.0f);
    world->setCurrentTime(second);
    EXPECT_EQ(w.press(SPACE, 0, 900), 1);
    w.release(SPACE, 950);
    EXPECT_EQ(c->getKeyCount(), keys + 2);
    EXPECT_TRUE(hasKeyAt(c, first));
    EXPECT_TRUE(hasKeyAt(c, second));

    world->setCurrentTime(0.0f);
    EXPECT_EQ(w.press(LEFT, 0, 1000), 1);
    EXPECT_EQ(world->getCurrentTime(), 0.0f);
    EXPECT_EQ(w.press(RIGHT, 0, 1010), 1);
    EXPECT_EQ(w.press(RIGHT, 0, 1040), 1) << "arrows are not latched";
    EXPECT_EQ(world->getCurrentTime(), 2.0f);

    // Escape is handled and the window stays.
    EXPECT_EQ(w.press(ESCAPE, 0, 1100), 1);
    w.release(ESCAPE, 1150);
    EXPECT_TRUE(w.window->shown());
}

TEST(Window3d, PoseUndoRedoKeysAndTheLessonLock)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    kgiTest3dWindow w;

    const std::vector<kmlMatrix4> before = kgiTestPose(c->getRoot());
    c->addPoseUndo();
    ASSERT_TRUE(kgiTestTurnJoint(c, "LShoulder", 35.0f));
    const std::vector<kmlMatrix4> edited = kgiTestPose(c->getRoot());
    ASSERT_GT(kgiTestPoseDiff(edited, before), 0.1f);

    {
        LockedLesson lock;
        testing::internal::CaptureStderr();
        EXPECT_EQ(w.press('z', CTRL, 10), 1);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("The command is locked."), std::string::npos);
        EXPECT_FALSE(w.window->isKeyLatched());
        EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), edited), 0.0f);
        // Ctrl+a (the time-line refresh) works under the lock, and the
        // modifiers pass it silently.
        EXPECT_EQ(w.press(0xffe3, 0, 20), 1);
        EXPECT_EQ(w.press('a', CTRL, 30), 1);
        EXPECT_TRUE(w.window->isKeyLatched());
        w.release('a', 40);
        // Closing is swallowed while the lesson runs.
        EXPECT_EQ(w.close(), 1);
        EXPECT_TRUE(w.window->shown());
        EXPECT_TRUE(inCanvasList(w.window->getCanvas()));
    }

    EXPECT_EQ(w.press('z', CTRL | NUM_LOCK, 50), 1);
    EXPECT_TRUE(w.window->isKeyLatched());
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), before), 0.0f);
    w.release('z', 60);
    EXPECT_EQ(w.press('r', CTRL, 70), 1);
    w.release('r', 80);
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), edited), 0.0f);
}

TEST(Window3d, ClosingDeletesOnlyThatWindowAndItsEntries)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiApp* app = kgiTestApp();
    kgiWorld* world = kgiWorld::instance();
    auto* first = new kgi3dWindow(app, "3DView", 0, 0, 320, 240);
    auto* second = new kgi3dWindow(app, "3DView", 330, 0, 320, 240);
    first->create();
    second->create();
    kgi3dCanvas* c1 = first->getCanvas();
    kgi3dCanvas* c2 = second->getCanvas();
    ASSERT_TRUE(kgiTest3dWindow::run([&] { return c1->getPaintCount() > 0 && c2->getPaintCount() > 0; }));
    const ksgManipulator* m1 = c1->getManipulator();
    const ksgViewpoint* v1 = c1->getOwnViewpoint();
    const ksgManipulator* m2 = c2->getManipulator();
    const ksgViewpoint* v2 = c2->getOwnViewpoint();
    auto has = [](const auto& list, const auto* p) { return std::count(list.begin(), list.end(), p) == 1; };

    // The close hides at once and deletes from a chore; the second canvas
    // has a redraw waiting meanwhile.
    EXPECT_EQ(first->handle(app, FXSEL(FX::SEL_CLOSE, 0), nullptr), 1);
    EXPECT_FALSE(first->shown());
    app->redrawCanvas(c2);
    first->handle(app, FXSEL(FX::SEL_CHORE, kgi3dWindow::ID_DELETE), nullptr);

    EXPECT_FALSE(inCanvasList(c1));
    EXPECT_FALSE(has(world->getManipulators(), m1));
    EXPECT_FALSE(has(world->getViewpoints(), v1));
    EXPECT_LT(kgiViewpointTable::instance()->idOf(v1), 0);
    ASSERT_TRUE(inCanvasList(c2));
    EXPECT_TRUE(has(world->getManipulators(), m2));
    EXPECT_TRUE(has(world->getViewpoints(), v2));
    const auto& list = app->getCanvases();
    const int index = int(std::find(list.begin(), list.end(), static_cast<kgiViewCanvas*>(c2)) - list.begin());
    EXPECT_TRUE(app->isCanvasDirty(index)) << "the second canvas keeps its redraw";

    // Left to the event loop, the chore deletes the window by itself.
    EXPECT_EQ(second->handle(app, FXSEL(FX::SEL_CLOSE, 0), nullptr), 1);
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return !inCanvasList(c2); }));
    EXPECT_FALSE(has(world->getManipulators(), m2));
}

} // namespace
