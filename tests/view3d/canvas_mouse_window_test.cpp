// The canvas's mouse in a real window with the application: a user's drag
// on the factory robot, the lesson rules, and canvases that outlive a
// character's tree.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasToolBar.h"
#include "kgiCanvasMouse.h"
#include "kgiCharacter.h"
#include "kgiKinematicControllers.h"
#include "kgiSceneNodeGroup.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"

#include <X11/Xlib.h>

namespace {

// The window pixel a world point shows at in the canvas's perspective view.
std::pair<int, int> pixelOf(kgi3dCanvas* canvas, ksgNode* node)
{
    const kmlVec4 c = node->getWorld().getColumn(3);
    const kmlVec4 e = canvas->getViewpoint()->getMatrix().getInverse() * kmlVec4(c.get(0), c.get(1), c.get(2), 1.0f);
    ksgViewportState* port = canvas->getViewport();
    int x = 0, y = 0, w = 0, h = 0;
    port->getWindow(x, y, w, h);
    const float t = std::tan(port->getFov() / 2.0f * 3.14159265f / 180.0f) * -e.get(2);
    const float nx = e.get(0) / (t * port->getAspect());
    const float ny = e.get(1) / t;
    // The viewport counts rows upwards from the canvas's bottom edge (below
    // the scene lies the tool-bar strip); window rows count down from the top.
    return {int(std::lround(x + (nx + 1.0f) * w / 2.0f)),
            int(std::lround(canvas->getHeight() - (y + (ny + 1.0f) * h / 2.0f)))};
}

struct RobotCanvas {
    kgiTestWindow window;
    kgi3dCanvas* canvas;
    kgiCharacter* robot;

    RobotCanvas() : window(640, 450), canvas(nullptr), robot(nullptr)
    {
        EXPECT_TRUE(kgiTestLoadFactoryRobot());
        robot = kgiWorld::instance()->getCurrentCharacter();
        canvas = new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual());
        window.show();
        EXPECT_TRUE(window.runUntil([this] { return canvas->getPaintCount() > 0; }));
        canvas->fitView();
        window.settle();
    }
    ~RobotCanvas() { kgiTestRemoveCharacters(); }

    kgiTestImage repaint()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        window.runUntil([&] { return canvas->getPaintCount() > before; });
        return window.grab();
    }
};

// Long enough that the next press is no double click.
void pauseClicks() { std::this_thread::sleep_for(std::chrono::milliseconds(600)); }

// The box around the pixels where two pictures differ; false when none do.
bool diffBox(const kgiTestImage& a, const kgiTestImage& b, int& x0, int& y0, int& x1, int& y1)
{
    bool any = false;
    x0 = a.width, y0 = a.height, x1 = -1, y1 = -1;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) != b.at(x, y)) {
                any = true;
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    return any;
}

TEST(CanvasMouseWindow, ADragOnTheRightHandRaisesTheArmAndPoseUndoBringsThePictureBack)
{
    KGI_REQUIRE_TEST_APP();
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    ASSERT_EQ(c->getMouseMode(), 2);
    const std::pair<int, int> hand = pixelOf(c, w.robot->findNode("R_WR1"));
    const std::pair<int, int> shoulder = pixelOf(c, w.robot->findNode("RShoulder"));
    w.window.movePointer(hand.first, hand.second);
    const kgiTestImage before = w.repaint();
    pauseClicks();
    before.save("canvas_drag_before");

    w.window.pressButton(1);
    ASSERT_NE(c->getManipulator()->getTarget(), nullptr) << "the press grabbed the hand";
    for (int i = 1; i <= 3; ++i) {
        w.window.movePointer(hand.first + 4 * i, hand.second - 25 * i);
        w.window.settle();
    }
    w.window.releaseButton(1);
    w.window.settle();
    EXPECT_EQ(c->getManipulator()->getTarget(), nullptr);
    EXPECT_FALSE(c->isIkDragPending());
    const kgiTestImage after = w.repaint();
    after.save("canvas_drag_after");

    int x0, y0, x1, y1;
    ASSERT_TRUE(diffBox(before, after, x0, y0, x1, y1)) << "the arm moved";
    // Only around the right arm: between the shoulder and the hand's way up,
    // with some room for the forearm swinging out.
    const int margin = 60;
    EXPECT_GE(x0, std::min(shoulder.first, hand.first) - margin);
    EXPECT_LE(x1, std::max(shoulder.first, hand.first + 12) + margin);
    EXPECT_GE(y0, hand.second - 75 - margin);
    EXPECT_LE(y1, std::max(shoulder.second, hand.second) + margin);

    ASSERT_TRUE(w.robot->undoPose());
    const kgiTestImage undone = w.repaint();
    EXPECT_FALSE(diffBox(before, undone, x0, y0, x1, y1)) << "differs in " << x0 << "," << y0 << " .. " << x1
                                                          << "," << y1;
}

TEST(CanvasMouseWindow, IkFkTogglesAndTheMotionModeLeaveNoControllerHoldingTheJoint)
{
    KGI_REQUIRE_TEST_APP();
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    kgiButtonBar* bar = c->getToolbar();
    ASSERT_NE(bar, nullptr);
    kgiCanvasMouse& mouse = c->getMouse();
    const std::pair<int, int> hand = pixelOf(c, w.robot->findNode("R_WR1"));
    w.window.movePointer(hand.first, hand.second);
    ASSERT_NE(c->getPickedNode(), nullptr);
    mouse.leftPress(hand.first, hand.second, 0, 1);
    ASSERT_NE(c->getIkController()->getTarget(), nullptr);

    c->toggleIkFk();
    EXPECT_EQ(c->getMouseMode(), 3);
    EXPECT_EQ(bar->getStateValue(kgi3dViewToolbar::FK), kgiButtonState::PUSHED);
    EXPECT_EQ(bar->getStateValue(kgi3dViewToolbar::IK), kgiButtonState::NORMAL);
    c->toggleIkFk();
    EXPECT_EQ(c->getMouseMode(), 2);
    EXPECT_EQ(bar->getStateValue(kgi3dViewToolbar::IK), kgiButtonState::PUSHED);
    EXPECT_EQ(bar->getStateValue(kgi3dViewToolbar::FK), kgiButtonState::NORMAL);
    // The motion-mode switch turned on, then its command.
    bar->setStateValue(kgi3dViewToolbar::MOTION_MODE, kgiButtonState::PUSHED);
    ASSERT_TRUE(c->isMotionMode());
    c->applyMotionMode();
    EXPECT_EQ(c->getMouseMode(), 7);
    const std::vector<ksgTransformController*> all = {
        c->getIkController(),     c->getAxisFkController(), c->getTrackballFkController(),
        c->getBodyFkController(), c->getAnimFkController(), c->getAnimIkController()};
    for (ksgTransformController* ctl : all)
        EXPECT_EQ(ctl->getTarget(), nullptr);

    // Mode 7 grabs the root and hands the world's range to its controller.
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(40.0f);
    world->setStartFrame(5.0f);
    w.window.movePointer(hand.first + 1, hand.second);
    ASSERT_NE(c->getPickedNode(), nullptr);
    mouse.leftPress(hand.first + 1, hand.second, 0, 1);
    EXPECT_EQ(c->getManipulator()->getTarget(), w.robot->getRoot());
    EXPECT_EQ(c->getAnimIkController()->getRangeStart(), 5);
    EXPECT_EQ(c->getAnimIkController()->getRangeEnd(), 40);
    mouse.leftRelease();
    world->setStartFrame(0.0f);
    bar->setStateValue(kgi3dViewToolbar::MOTION_MODE, kgiButtonState::NORMAL);
    c->applyMotionMode();
}

TEST(CanvasMouseWindow, ALessonLockOnlyReportsAndAnswersDependOnTheRightShoulder)
{
    KGI_REQUIRE_TEST_APP();
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    kgiApp* app = kgiTestApp();
    static kgiAppStandIns fakes;  // the player made from it lives with the application
    static kgiStandInLesson lesson;
    lesson = kgiStandInLesson();
    lesson.mode = 1;
    // Out of the lesson however the test ends.
    struct Installed {
        kgiApp* app;
        ~Installed() { app->setLessonManager(nullptr); }
    } installed{app};
    app->setLessonManager(&lesson);
    // The sounds are heard only when this test's stand-in makes the player
    // (an earlier test of the same process may have made one).
    const bool recorded = app->getSoundPlayer() == nullptr;
    if (recorded) {
        kgiAppMakers makers = app->getMakers();
        makers.soundPlayer = fakes.makers().soundPlayer;
        app->setMakers(makers);
    }

    // Under the lock a press only says so.
    lesson.permissions[1] = false;
    const std::pair<int, int> hand = pixelOf(c, w.robot->findNode("R_WR1"));
    w.window.movePointer(hand.first, hand.second);
    ASSERT_NE(c->getPickedNode(), nullptr);
    pauseClicks();
    testing::internal::CaptureStderr();
    w.window.pressButton(1);
    const std::string err = testing::internal::GetCapturedStderr();
    w.window.releaseButton(1);
    EXPECT_NE(err.find("The command is locked."), std::string::npos) << err;
    EXPECT_EQ(c->getManipulator()->getTarget(), nullptr);
    lesson.permissions[1] = true;

    // Unlocked: a leg gets the not-good answer and nothing; the right arm
    // the good answer and the grab.
    struct Case {
        const char* joint;
        bool good;
    };
    for (const Case& k : {Case{"LKnee", false}, Case{"R_WR1", true}}) {
        SCOPED_TRACE(k.joint);
        const size_t played = fakes.sound.played.size();
        const std::pair<int, int> at = pixelOf(c, w.robot->findNode(k.joint));
        w.window.movePointer(at.first, at.second);
        ASSERT_NE(c->getPickedNode(), nullptr);
        pauseClicks();
        w.window.pressButton(1);
        EXPECT_EQ(c->getManipulator()->getTarget() != nullptr, k.good);
        if (recorded) {
            ASSERT_EQ(fakes.sound.played.size(), played + 1);
            EXPECT_EQ(fakes.sound.played.back().first, k.good ? kgiApp::GOOD_SOUND : kgiApp::NOT_GOOD_SOUND);
        }
        w.window.releaseButton(1);
    }

    // The wheel does nothing in a lesson.
    kgiWorld::instance()->setCurrentTime(3.0f);
    c->getMouse().wheel(-120);
    EXPECT_EQ(kgiWorld::instance()->getCurrentTime(), 3.0f);
    kgiWorld::instance()->setCurrentTime(0.0f);
}

// A window manager that raises or focuses a window on a click takes the
// pointer for a moment as the button goes down: the canvas sees a leave and
// an enter though the pointer never moved. The part under it stays picked,
// and the press grabs it.
TEST(CanvasMouseWindow, AWindowManagersGrabAtThePressKeepsThePartUnderThePointer)
{
    KGI_REQUIRE_TEST_APP();
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    const std::pair<int, int> hand = pixelOf(c, w.robot->findNode("R_WR1"));
    pauseClicks();
    w.window.movePointer(hand.first, hand.second);
    w.window.settle();
    ASSERT_NE(c->getPickedNode(), nullptr);

    Display* manager = XOpenDisplay(DisplayString(static_cast<Display*>(kgiTestApp()->getDisplay())));
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(XGrabPointer(manager, DefaultRootWindow(manager), False, ButtonPressMask | ButtonReleaseMask,
                           GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
              GrabSuccess);
    XSync(manager, False);
    w.window.settle();
    XUngrabPointer(manager, CurrentTime);
    XCloseDisplay(manager);
    w.window.settle();
    EXPECT_NE(c->getPickedNode(), nullptr);

    w.window.pressButton(1);
    EXPECT_NE(c->getManipulator()->getTarget(), nullptr) << "the press grabbed the hand";
    w.window.releaseButton(1);
    w.window.settle();
}

TEST(CanvasMouseWindow, CanvasesForgetAFreedTree)
{
    KGI_REQUIRE_TEST_APP();
    for (bool reload : {false, true}) {
        SCOPED_TRACE(reload ? "reload" : "removal");
        RobotCanvas w;
        ASSERT_NE(w.robot, nullptr);
        kgi3dCanvas* c = w.canvas;
        const std::pair<int, int> hand = pixelOf(c, w.robot->findNode("R_WR1"));
        c->setGroupEditMode(2);
        pauseClicks();
        w.window.movePointer(hand.first, hand.second);
        w.window.click(hand.first, hand.second);
        ASSERT_EQ(kgiNodeGroup::ccdGroup().getNumNodes(), 1u);
        c->setGroupEditMode(0);
        pauseClicks();
        w.window.pressButton(1);
        ASSERT_NE(c->getManipulator()->getTarget(), nullptr);

        if (reload) {
            // As a project load does: the old root out of the scene, the new in.
            ksgScene* scene = kgiWorldLinks::sceneBase(kgiWorld::instance()->getScene());
            ASSERT_NE(scene, nullptr);
            scene->remRoot(w.robot->getRoot()->asTransform());
            ASSERT_TRUE(w.robot->load(kgiTestRobot::projectPath()));
            scene->addRoot(w.robot->getRoot()->asTransform());
        } else {
            kgiTestRemoveCharacters();
        }
        EXPECT_EQ(c->getPickedNode(), nullptr);
        EXPECT_EQ(c->getManipulator()->getTarget(), nullptr);
        EXPECT_EQ(kgiNodeGroup::ccdGroup().getNumNodes(), 0u);

        // Hover, a right click (the pop-up request) and 'r' reach no freed node.
        w.window.releaseButton(1);
        w.window.movePointer(hand.first + 3, hand.second + 3);
        // The click may open the joint menu on the tree loaded again: a
        // toolkit timeout closes it.
        kgiTimeoutAction closeMenu;
        closeMenu.action = [] {
            if (FX::FXPopup* pane = kgiTestApp()->getPopupWindow())
                pane->popdown();
        };
        kgiTestApp()->addTimeout(&closeMenu, kgiTimeoutAction::ID_FIRE, 300);
        w.window.click(hand.first + 3, hand.second + 3, 3);
        kgiTestApp()->removeTimeout(&closeMenu, kgiTimeoutAction::ID_FIRE);
        c->clearIkGroup();
        w.window.settle();
    }
}

} // namespace
