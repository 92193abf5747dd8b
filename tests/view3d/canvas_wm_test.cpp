// The 3D window's pointer actions as a user makes them on a desktop, with
// and without a window manager: the manager grabs the button around every
// press for its click-to-focus, which sends the canvas crossing events of
// its own, and none of that may change what a press does.

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasToolBar.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"
#include "ksgManipulator.h"
#include "ksgViewpoint.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/window_3d_fixture.h"

namespace {

class CanvasUnderWm : public ::testing::TestWithParam<kgiTestWm> {};

// The factory robot in a 3D window where the program opens its first one.
struct RobotWindow {
    kgiCharacter* robot;
    kgiTest3dWindow w;
    kgi3dCanvas* canvas;

    RobotWindow() : robot(loadRobot()), w(20, 250), canvas(w.window->getCanvas())
    {
        EXPECT_TRUE(kgiTestRunUntil([this] { return viewable(); })) << "never on the screen";
    }
    ~RobotWindow() { kgiTestRemoveCharacters(); }

    static kgiCharacter* loadRobot()
    {
        EXPECT_TRUE(kgiTestLoadFactoryRobot());
        kgiWorld::instance()->setCurrentTime(0.0f);
        return kgiWorld::instance()->getCurrentCharacter();
    }
    bool viewable() const { return !kgiTestGrab(canvas).empty(); }
    std::vector<float> camera() const
    {
        const kmlMatrix4 m = canvas->getViewpoint()->getMatrix();
        return std::vector<float>(static_cast<const float*>(m), static_cast<const float*>(m) + 16);
    }
    void point(int x, int y) { kgiTestMovePointer(canvas, x, y); }
    bool run(const std::function<bool()>& done) { return kgiTestRunUntil(done); }
};

TEST_P(CanvasUnderWm, ADragOnTheRightWristPosesTheArmAndLeavesTheCamera)
{
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    RobotWindow r;
    ASSERT_NE(r.robot, nullptr);
    kgi3dCanvas* c = r.canvas;
    const std::pair<int, int> wrist = kgiTestPixelOf(c, kgiTestJointPosition(r.robot, "R_WR1"));

    r.point(wrist.first, wrist.second);
    ASSERT_TRUE(r.run([c] { return c->getPickedNode() != nullptr; })) << "the hover lights the arm";
    ksgNode* lit = c->getPickedNode();
    ASSERT_TRUE(kgiTestIsBelow(lit, "RShoulder"));
    const std::vector<float> camera = r.camera();

    kgiTestPressButton(1);
    ASSERT_TRUE(r.run([c] { return c->isButtonDown(); }));
    EXPECT_EQ(c->getPickedNode(), lit) << "the joint under the pointer stays picked";
    ASSERT_NE(c->getManipulator()->getTarget(), nullptr) << "the press grabbed the arm";
    for (int i = 1; i <= 3; ++i) {
        r.point(wrist.first + 4 * i, wrist.second - 25 * i);
        r.run([c] { return !c->isIkDragPending(); });
    }
    kgiTestReleaseButton(1);
    ASSERT_TRUE(r.run([c] { return !c->isButtonDown() && c->getManipulator()->getTarget() == nullptr; }));

    EXPECT_EQ(r.camera(), camera) << "the camera did not pan";
    const std::pair<int, int> raised = kgiTestPixelOf(c, kgiTestJointPosition(r.robot, "R_WR1"));
    EXPECT_LT(raised.second, wrist.second - 20) << "the wrist went up with the pointer";

    // A real leave still puts the light out.
    r.point(c->getWidth() + 60, wrist.second);
    EXPECT_TRUE(r.run([c] { return c->getPickedNode() == nullptr; })) << "the light went out";
}

TEST_P(CanvasUnderWm, AClickOnTheStripsFkButtonSwitchesToForwardKinematics)
{
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    RobotWindow r;
    kgi3dCanvas* c = r.canvas;
    kgiButtonBar* bar = c->getToolbar();
    ASSERT_NE(bar, nullptr);
    const kgiButtonState* fk = bar->getState(kgi3dViewToolbar::FK);
    ASSERT_NE(fk, nullptr);
    ASSERT_EQ(bar->getStateValue(kgi3dViewToolbar::FK), kgiButtonState::NORMAL);
    // The strip's rows count down from its top edge, below the scene.
    const int x = fk->getX() + fk->getWidth() / 2;
    const int y = c->getSceneHeight() + c->getToolbarHeight() / 2;

    r.point(x, y);
    ASSERT_TRUE(r.run([bar, fk] { return bar->getCurrent() == fk; })) << "the hover found the button";
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
    EXPECT_TRUE(r.run([bar] { return bar->getStateValue(kgi3dViewToolbar::FK) == kgiButtonState::PUSHED; }));
    EXPECT_EQ(c->getMouseMode(), 3) << "forward kinematics about the viewing axis";
}

KGI_BOTH_WAYS(CanvasUnderWm);

} // namespace
