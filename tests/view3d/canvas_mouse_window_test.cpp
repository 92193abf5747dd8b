// The canvas's mouse in a real window with the application: a user's drag
// on the factory robot, from whichever part of the hand it starts, in IK,
// FK and mirror mode; the lesson rules; and canvases that outlive a
// character's tree.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
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
#include "kgiRobotJointTable.h"
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
#include "view3d/window_3d_fixture.h"

#include <X11/Xlib.h>

namespace {

// A point fixed to a joint: `along` centimetres down the limb from its
// origin (a joint frame's x runs down the limb in the standing pose).
kmlVec3 pointOn(ksgNode* joint, float along)
{
    const kmlVec4 p = joint->getWorld() * kmlVec4(along, 0.0f, 0.0f, 1.0f);
    return kmlVec3(p.get(0), p.get(1), p.get(2));
}

// The window pixel a world point shows at in the canvas's perspective view.
std::pair<int, int> pixelOfPoint(kgi3dCanvas* canvas, const kmlVec3& p)
{
    const kmlVec4 e = canvas->getViewpoint()->getMatrix().getInverse() * kmlVec4(p, 1.0f);
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

// The window pixel of a joint's origin.
std::pair<int, int> pixelOf(kgi3dCanvas* canvas, ksgNode* node) { return pixelOfPoint(canvas, pointOn(node, 0.0f)); }

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

// The program's joint table (limits, joint values) installed as its entry
// point installs it, for the robot to load as a user has it; out again at
// the end, for later tests of the same process.
struct JointTableInstalled {
    JointTableInstalled() { kgiPartTable::install(kgiRobotJointTable::instance()); }
    ~JointTableInstalled() { kgiPartTable::install(nullptr); }
};

// Every joint value of the table, by joint name.
std::map<std::string, float> jointValues(kgiCharacter* robot)
{
    std::map<std::string, float> values;
    const kgiRobotJointTable* table = kgiRobotJointTable::instance();
    for (const auto& j : table->getJoints())
        values[j.first] = table->getJointAngleByName(robot, j.first);
    return values;
}

// One left drag with the real pointer: pressed at `start`, moved by
// `by` in 20 steps (each an idle pass of the canvas, as a hand moves the
// mouse), released.
struct Drag {
    ksgNode* target = nullptr;
    ksgNode* chainRoot = nullptr;
    std::map<std::string, float> before, after;
    // Where the point pressed on ends when it moves with the grabbed
    // joint's origin, and where the pointer ends.
    std::pair<int, int> grabbedEnd, pointerEnd;

    float change(const char* joint) const { return std::fabs(after.at(joint) - before.at(joint)); }
    double miss() const
    {
        return std::hypot(grabbedEnd.first - pointerEnd.first, grabbedEnd.second - pointerEnd.second);
    }
};

Drag dragBy(RobotCanvas& w, std::pair<int, int> start, std::pair<int, int> by)
{
    Drag d;
    kgi3dCanvas* c = w.canvas;
    d.before = jointValues(w.robot);
    w.window.movePointer(start.first, start.second);
    w.window.settle();
    pauseClicks();
    w.window.pressButton(1);
    d.target = c->getManipulator()->getTarget();
    if (d.target == nullptr) {
        w.window.releaseButton(1);
        return d;
    }
    const std::pair<int, int> origin = pixelOfPoint(c, pointOn(d.target, 0.0f));
    const int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        w.window.movePointer(start.first + by.first * i / steps, start.second + by.second * i / steps);
        w.window.settle();
    }
    d.chainRoot = c->getIkController()->getRoot();
    const std::pair<int, int> moved = pixelOfPoint(c, pointOn(d.target, 0.0f));
    d.grabbedEnd = {start.first + moved.first - origin.first, start.second + moved.second - origin.second};
    d.pointerEnd = {start.first + by.first, start.second + by.second};
    w.window.releaseButton(1);
    w.window.settle();
    d.after = jointValues(w.robot);
    return d;
}

// The hand as a user grabs it: by the wrist, the palm or either finger,
// in IK mode (mode 2, the canvas's start) and in FK mode (3). Each IK drag
// pulls the arm from the shoulder, the chain a drag on the wrist uses,
// and leaves the fingers as they were; in FK a finger turns alone.
TEST(CanvasMouseWindow, AHandGrabbedAnywherePullsTheArmInIkAndAFingerTurnsAloneInFk)
{
    KGI_REQUIRE_TEST_APP();
    JointTableInstalled installed;
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    const kgiRobotJointTable* table = kgiRobotJointTable::instance();
    ASSERT_EQ(table->getJoints().size(), 24u);
    const std::vector<const char*> grips = {"R_GR1", "R_GR2", "L_GR1", "L_GR2"};

    // `along`: how far down the hand from the joint's origin the press is:
    // the palm's middle, or the tip of a finger (2.4 long).
    struct Row {
        const char* what;
        const char* joint;
        float along;
        int mode;
        const char* grabbed;
    };
    const int IK = 2, FK = 3;
    const Row rows[] = {
        {"wrist in IK", "R_WR1", 0.0f, IK, "R_WR1"},
        {"palm in IK", "R_WR1", 1.2f, IK, "R_WR1"},
        {"first fingertip in IK", "R_GR1", 2.1f, IK, "R_GR1"},
        {"second fingertip in IK", "R_GR2", 2.1f, IK, "R_GR2"},
        {"first fingertip in FK", "R_GR1", 2.1f, FK, "R_GR1"},
        {"second fingertip in FK", "R_GR2", 2.1f, FK, "R_GR2"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        c->setMouseMode(r.mode);
        const std::pair<int, int> start = pixelOfPoint(c, pointOn(w.robot->findNode(r.joint), r.along));

        // Straight up by 100 pixels.
        const Drag up = dragBy(w, start, {0, -100});
        ASSERT_NE(up.target, nullptr);
        EXPECT_EQ(up.target->getName(), r.grabbed);
        if (r.mode == IK) {
            ASSERT_NE(up.chainRoot, nullptr);
            EXPECT_EQ(up.chainRoot->getName(), "RShoulder") << "the chain of a drag on the wrist";
            EXPECT_GT(up.change("RShoulder"), 10.0f);
            EXPECT_GT(up.change("RElbow"), 10.0f);
            for (const char* g : grips)
                EXPECT_LT(up.change(g), 0.5f) << g;
            // Within the joint limits.
            for (const auto& j : table->getJoints()) {
                const float raw = float(j.second.direction) * up.after.at(j.first);
                EXPECT_GE(raw, j.second.minAngle - 0.01f) << j.first;
                EXPECT_LE(raw, j.second.maxAngle + 0.01f) << j.first;
            }
        } else {
            EXPECT_GT(up.change(r.grabbed), 10.0f);
            for (const auto& v : up.after) {
                if (v.first != r.grabbed) {
                    EXPECT_LT(up.change(v.first.c_str()), 0.01f) << v.first;
                }
            }
        }
        // One undo step brings the whole drag back.
        ASSERT_TRUE(w.robot->undoPose());
        for (const auto& v : jointValues(w.robot))
            EXPECT_NEAR(v.second, up.before.at(v.first), 0.01f) << v.first;
        if (r.mode == FK)
            continue;

        // Up and out, as an arm is raised sideways: a way the arm can
        // follow, so the point pressed on stays with the pointer, whichever
        // part of the hand it is on.
        const Drag out = dragBy(w, start, {-55, -45});
        ASSERT_NE(out.target, nullptr);
        EXPECT_LE(out.miss(), 8.0) << "ends at " << out.grabbedEnd.first << "," << out.grabbedEnd.second
                                   << ", the pointer at " << out.pointerEnd.first << "," << out.pointerEnd.second;
        for (const char* g : grips)
            EXPECT_LT(out.change(g), 0.5f) << g;
        ASSERT_TRUE(w.robot->undoPose());
    }
}

// Mirror mode on (the tool bar's mirror switch): while the right hand is
// dragged, every step gives the left arm the mirror image of the right.
TEST(CanvasMouseWindow, InMirrorModeDraggingTheRightHandMovesTheLeftArmToTheMirroredAngles)
{
    KGI_REQUIRE_TEST_APP();
    JointTableInstalled installed;
    RobotCanvas w;
    ASSERT_NE(w.robot, nullptr);
    kgi3dCanvas* c = w.canvas;
    kgiButtonBar* bar = c->getToolbar();
    ASSERT_NE(bar, nullptr);
    bar->setStateValue(kgi3dViewToolbar::MIRROR, kgiButtonState::PUSHED);
    c->applyMirrorMode();
    ASSERT_TRUE(c->isMirrorMode());
    struct Off {
        kgi3dCanvas* c;
        ~Off()
        {
            c->getToolbar()->setStateValue(kgi3dViewToolbar::MIRROR, kgiButtonState::NORMAL);
            c->applyMirrorMode();
        }
    } off{c};

    const std::pair<int, int> tip = pixelOfPoint(c, pointOn(w.robot->findNode("R_GR1"), 2.1f));
    const Drag d = dragBy(w, tip, {-55, -45});
    ASSERT_NE(d.target, nullptr);
    EXPECT_GT(d.change("LArm"), 10.0f) << "the left arm moved";
    // A left joint's value means the same movement on its side as the
    // right twin's value.
    const char* const twins[][2] = {{"RShoulder", "LShoulder"}, {"RArm", "LArm"}, {"RElbow", "LElbow"},
                                    {"R_WR1", "L_WR1"},         {"R_GR1", "L_GR1"}, {"R_GR2", "L_GR2"}};
    for (const auto& t : twins)
        EXPECT_NEAR(d.after.at(t[1]), d.after.at(t[0]), 0.5f) << t[0] << " and " << t[1];
}

// The 3D window made smaller, then larger, as a user drags its corner: the
// picture and the pick follow the new size, so a press where the head shows
// grabs the head joint each time.
TEST(CanvasMouseWindow, APressOnTheHeadPicksTheHeadJointAfterTheWindowIsResized)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    ksgNode* head = robot->findNode("Head");
    ASSERT_NE(head, nullptr);
    kgiTest3dWindow w;
    kgi3dCanvas* c = w.window->getCanvas();
    struct Size {
        int width, height;
    };
    for (const Size& size : {Size{400, 300}, Size{1000, 800}}) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        const long painted = c->getPaintCount();
        w.window->resize(size.width, size.height);
        ASSERT_TRUE(kgiTest3dWindow::run([&] {
            return c->getWidth() == size.width && c->getHeight() == size.height && c->getPaintCount() > painted;
        }));
        // Where the middle of the head shell (3.6 above the neck joint)
        // shows in a scene of the canvas's width and its height less the
        // tool bar's: worked out from the window's size, not from what the
        // view has stored.
        const kmlVec4 e = c->getViewpoint()->getMatrix().getInverse() * kmlVec4(pointOn(head, -3.6f), 1.0f);
        const int width = c->getWidth(), scene = c->getHeight() - c->getToolbarHeight();
        const float t = std::tan(c->getViewport()->getFov() / 2.0f * 3.14159265f / 180.0f) * -e.get(2);
        const float nx = e.get(0) / (t * float(width) / float(scene)), ny = e.get(1) / t;
        const std::pair<int, int> at{int(std::lround((nx + 1.0f) * width / 2.0f)),
                                     int(std::lround(scene - (ny + 1.0f) * scene / 2.0f))};
        const kgiTestImage shot = kgiTestGrab(w.window);
        shot.save(size.width == 400 ? "canvas_resized_small" : "canvas_resized_large");
        EXPECT_NE(shot.at(at.first, at.second), (kgiTestImage::Rgb{222, 222, 222})) << "the head is drawn there";

        kgiTestMovePointer(c, at.first, at.second);
        EXPECT_TRUE(kgiTest3dWindow::run([&] { return c->getPickedNode() != nullptr; }));
        pauseClicks();
        kgiTestPressButton(1);
        EXPECT_TRUE(kgiTest3dWindow::run([&] { return c->getManipulator()->getTarget() != nullptr; }));
        EXPECT_EQ(c->getManipulator()->getTarget(), head);
        kgiTestReleaseButton(1);
        kgiTest3dWindow::run([&] { return c->getManipulator()->getTarget() == nullptr; });
    }
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
