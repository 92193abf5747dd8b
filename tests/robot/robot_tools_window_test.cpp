// The robot's parts and hand tools as a user sees them in the 3D window,
// with the program's joint table over the factory robot: the part under the
// pointer drawn inverted, the left hand closed and opened from the joint
// pop-up, the hit colour of two parts that touch, and the centre-of-gravity
// cone on the floor. Every picture is read back from the screen.
#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasToolBar.h"
#include "kgiCharacter.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgManipulator.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/window_3d_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A box of canvas pixels, inclusive; empty while x1 < x0.
struct Box {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    bool empty() const { return x1 < x0; }
    void add(int x, int y)
    {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    void add(std::pair<int, int> p) { add(p.first, p.second); }
    Box grown(int margin) const
    {
        Box b = *this;
        b.x0 -= margin, b.y0 -= margin, b.x1 += margin, b.y1 += margin;
        return b;
    }
    bool contains(const Box& b) const { return b.x0 >= x0 && b.y0 >= y0 && b.x1 <= x1 && b.y1 <= y1; }
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.x0 << "," << b.y0 << ")-(" << b.x1 << "," << b.y1 << ")";
}

// The box of the pixels, in the rows above `rows`, where two pictures differ.
Box diffBox(const kgiTestImage& a, const kgiTestImage& b, int rows)
{
    Box box;
    for (int y = 0; y < std::min(rows, a.height); ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) != b.at(x, y))
                box.add(x, y);
    return box;
}

// Pixels of the box in the hit colour's orange (lit or in shadow).
int hitPixels(const kgiTestImage& image, const Box& box)
{
    int n = 0;
    for (int y = std::max(box.y0, 0); y <= std::min(box.y1, image.height - 1); ++y)
        for (int x = std::max(box.x0, 0); x <= std::min(box.x1, image.width - 1); ++x) {
            const kgiTestImage::Rgb c = image.at(x, y);
            n += c[0] >= 120 && c[0] - c[1] >= 70 && c[1] - c[2] >= 30 && c[2] <= 60;
        }
    return n;
}

// The factory robot as start-up leaves it, under the program's joint table,
// in a 3D window with the input focus and the pointer away from the robot.
class RobotToolsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        table = kgiRobotJointTable::instance();
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        kgiWorld::instance()->setCurrentTime(0.0f);
        robot = kgiWorld::instance()->getCurrentCharacter();
        ASSERT_NE(robot, nullptr);
        win.reset(new kgiTest3dWindow);
        canvas = win->window->getCanvas();
        kgiTestFocus(win->window);
        pointAway();
    }
    void TearDown() override
    {
        win.reset();
        if (kgiApp* app = kgiTestApp())
            app->getSettings().collisionDetail = false;
        kgiTestRemoveCharacters();
    }

    int sceneRows() const { return canvas->getSceneHeight(); }

    std::pair<int, int> pixelOf(const char* joint) const
    {
        return kgiTestPixelOf(canvas, kgiTestJointPosition(robot, joint));
    }
    std::pair<int, int> between(const char* a, const char* b) const
    {
        const kmlVec3 p = kgiTestJointPosition(robot, a);
        const kmlVec3 q = kgiTestJointPosition(robot, b);
        return kgiTestPixelOf(canvas, kmlVec3((p.get(0) + q.get(0)) / 2, (p.get(1) + q.get(1)) / 2,
                                              (p.get(2) + q.get(2)) / 2));
    }
    // The box around the joints' pixels.
    Box around(std::initializer_list<const char*> joints) const
    {
        Box b;
        for (const char* j : joints)
            b.add(pixelOf(j));
        return b;
    }

    // The pointer to a canvas pixel, as a user moves it; until the canvas
    // has handled the motion.
    void pointAt(std::pair<int, int> at)
    {
        kgiTestMovePointer(canvas, at.first, at.second);
        int rounds = 0;
        kgiTest3dWindow::run([&rounds] { return ++rounds > 20; });
    }
    // Into the empty top-left corner of the scene: nothing picked.
    void pointAway()
    {
        pointAt({8, 8});
        EXPECT_EQ(canvas->getPickedNode(), nullptr);
    }

    kgiTestImage shot()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        EXPECT_TRUE(kgiTest3dWindow::run([&] { return canvas->getPaintCount() > before; }));
        return kgiTestGrab(canvas);
    }

    // A right click where the pointer is; from a toolkit timeout the menu
    // item with that language key's text is clicked (a later timeout closes
    // a menu still open). The menu's texts.
    std::vector<std::string> choose(const char* key)
    {
        kgiApp* app = kgiTestApp();
        const std::string wanted = app->languageText(key).text();
        std::vector<std::string> labels;
        kgiTimeoutAction pick;
        kgiTimeoutAction rescue;
        pick.action = [&] {
            FX::FXPopup* pane = app->getPopupWindow();
            if (pane == nullptr)
                return;
            FX::FXMenuCommand* chosen = nullptr;
            for (FX::FXWindow* item = pane->getFirst(); item != nullptr; item = item->getNext())
                if (auto* command = dynamic_cast<FX::FXMenuCommand*>(item)) {
                    labels.push_back(command->getText().text());
                    if (labels.back() == wanted)
                        chosen = command;
                }
            if (chosen != nullptr) {
                kgiTestMovePointer(chosen, chosen->getWidth() / 2, chosen->getHeight() / 2);
                kgiTestPressButton(1);
                kgiTestReleaseButton(1);
            }
        };
        rescue.action = [&] {
            if (FX::FXPopup* pane = app->getPopupWindow())
                pane->popdown();
        };
        app->addTimeout(&pick, kgiTimeoutAction::ID_FIRE, 300);
        app->addTimeout(&rescue, kgiTimeoutAction::ID_FIRE, 5000);
        kgiTestPressButton(3);
        kgiTestReleaseButton(3);
        app->removeTimeout(&pick, kgiTimeoutAction::ID_FIRE);
        app->removeTimeout(&rescue, kgiTimeoutAction::ID_FIRE);
        return labels;
    }

    kgiRobotJointTable* table = nullptr;
    kgiCharacter* robot = nullptr;
    std::unique_ptr<kgiTest3dWindow> win;
    kgi3dCanvas* canvas = nullptr;
};

TEST_F(RobotToolsWindow, ThePartUnderThePointerShowsInvertedUntilThePointerLeaves)
{
    const kgiTestImage first = shot();
    first.save("robot_tools_first");
    pointAt(between("LElbow", "L_WR1"));
    ksgNode* picked = canvas->getPickedNode();
    ASSERT_NE(picked, nullptr);
    EXPECT_TRUE(kgiTestIsBelow(picked, "LElbow"));
    EXPECT_FALSE(kgiTestIsBelow(picked, "L_WR1")) << "the forearm, not the hand";
    const kgiTestImage over = shot();
    over.save("robot_tools_forearm_inverted");

    const Box changed = diffBox(first, over, sceneRows());
    ASSERT_FALSE(changed.empty()) << "the forearm looks as before";
    const Box forearm = around({"LElbow", "L_WR1"}).grown(20);
    EXPECT_TRUE(forearm.contains(changed)) << changed << " outside the forearm's " << forearm;

    pointAway();
    const kgiTestImage left = shot();
    EXPECT_TRUE(left.rgb == first.rgb) << "differs in " << diffBox(first, left, left.height);
}

TEST_F(RobotToolsWindow, HandCloseFromThePopUpClosesTheLeftGripsAndHandOpenOpensThem)
{
    const kgiTestImage open = shot();
    const std::pair<int, int> hand = between("L_WR1", "L_GR1");
    auto fromThePopUp = [&](const char* key) {
        pointAt(hand);
        ASSERT_TRUE(kgiTestIsBelow(canvas->getPickedNode(), "L_WR1")) << "the pointer is not on the left hand";
        const std::vector<std::string> labels = choose(key);
        EXPECT_EQ(labels.size(), 4u) << "the hand's menu";
        EXPECT_EQ(kgiTestApp()->getPopupWindow(), nullptr);
        // Off the robot, so the hand is drawn in its own colours.
        pointAway();
    };
    fromThePopUp("Hand_Close");
    const kgiTestImage closed = shot();
    closed.save("robot_tools_left_hand_closed");
    const Box changed = diffBox(open, closed, sceneRows());
    ASSERT_FALSE(changed.empty()) << "the grips did not move";
    // The grips turn about their joints, no farther out than the hand is long.
    const Box grips = around({"L_WR1", "L_GR1", "L_GR2"});
    const int reach = std::max(grips.x1 - grips.x0, grips.y1 - grips.y0) + 12;
    const Box near = grips.grown(reach);
    EXPECT_TRUE(near.contains(changed)) << changed << " outside the hand's " << near;
    const Box right = around({"RElbow", "R_WR1", "R_GR1", "R_GR2"}).grown(8);
    EXPECT_TRUE(changed.x1 < right.x0 || changed.x0 > right.x1) << changed << " reaches the right hand";

    fromThePopUp("Hand_Open");
    const kgiTestImage reopened = shot();
    EXPECT_TRUE(reopened.rgb == open.rgb) << "differs in " << diffBox(open, reopened, reopened.height);
}

TEST_F(RobotToolsWindow, TheLeftArmTurnedIntoTheBodyShowsTheHitColourOnBothParts)
{
    kgiApp* app = kgiTestApp();
    // The joint file keeps the upper arm out of the body (its range ends at
    // the arm hanging straight down): with that limit off it turns in across
    // the chest, as a model without limits would let it.
    ksgTransform* arm = robot->findNode("LArm")->asTransform();
    ASSERT_NE(arm, nullptr);
    arm->enableLimits(false);
    kmlMatrix4 m = arm->getLocal();
    m.rotate(70.0f, kmlVec3(0.0f, 1.0f, 0.0f));
    arm->setLocal(m);
    robot->getRoot()->update(0.0f, false, true);
    app->redrawViews();
    const kgiTestImage plain = shot();
    plain.save("robot_tools_arm_in_body");

    const Box chest = around({"LShoulder", "RShoulder"});
    const std::pair<int, int> wrist = pixelOf("L_WR1");
    const Box hand = Box{wrist.first, wrist.second, wrist.first, wrist.second}.grown(6);
    const Box middle = Box{(chest.x0 + chest.x1) / 2, chest.y1, (chest.x0 + chest.x1) / 2, chest.y1}.grown(6);
    EXPECT_EQ(hitPixels(plain, Box{0, 0, plain.width - 1, sceneRows() - 1}), 0) << "hit colour without the setting";

    app->getSettings().collisionDetail = true;
    testing::internal::CaptureStderr();
    app->redrawViews();
    const std::string lines = testing::internal::GetCapturedStderr();
    EXPECT_NE(lines.find("Collision Hit: LElbow & Body"), std::string::npos) << lines;
    const kgiTestImage hit = shot();
    hit.save("robot_tools_arm_in_body_hit");
    EXPECT_GT(hitPixels(hit, hand), 40) << "the arm is not in the hit colour";
    EXPECT_GT(hitPixels(hit, middle), 40) << "the body is not in the hit colour";

    // With the setting off again the colours go.
    app->getSettings().collisionDetail = false;
    app->redrawViews();
    EXPECT_TRUE(shot().rgb == plain.rgb);
}

TEST_F(RobotToolsWindow, TheCentreOfGravityConeStandsOnTheFloorBetweenTheFeet)
{
    const kgiTestImage without = shot();
    kgiButtonState* button = canvas->getToolbar()->getState(kgi3dViewToolbar::CENTRE_OF_GRAVITY);
    ASSERT_NE(button, nullptr);
    ASSERT_FALSE(canvas->isCentreOfGravityVisible());
    const std::pair<int, int> at{button->getX() + button->getWidth() / 2,
                                 sceneRows() + button->getY() + button->getHeight() / 2};
    pointAt(at);
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
    pointAway();
    EXPECT_TRUE(canvas->isCentreOfGravityVisible()) << "the switch did not turn on";
    const kgiTestImage with = shot();
    with.save("robot_tools_centre_of_gravity");
    const Box cone = diffBox(without, with, sceneRows());
    ASSERT_FALSE(cone.empty()) << "no cone";

    // Between the feet, and across the floor under them.
    const kmlVec3 left = kgiTestJointPosition(robot, "LAnkle2");
    const kmlVec3 right = kgiTestJointPosition(robot, "RAnkle2");
    const std::pair<int, int> l = kgiTestPixelOf(canvas, kmlVec3(left.get(0), 0.0f, left.get(2)));
    const std::pair<int, int> r = kgiTestPixelOf(canvas, kmlVec3(right.get(0), 0.0f, right.get(2)));
    EXPECT_GT(cone.x0, std::min(l.first, r.first)) << cone;
    EXPECT_LT(cone.x1, std::max(l.first, r.first)) << cone;
    EXPECT_LE(cone.y0, std::max(l.second, r.second) + 2) << cone;
    EXPECT_GE(cone.y1, std::min(l.second, r.second) - 2) << cone;
}

// A left drag that starts on a finger grabs the finger's grip joint: the
// camera stays where it was (no pan), and the arm follows from the shoulder
// (the grips hang below the hand helper, so the wrist does not branch and
// the grip's chain is the wrist's) while the fingers keep their angles.
TEST_F(RobotToolsWindow, ALeftDragFromAFingerGrabsItsGripLeavesTheCameraAndPullsTheArm)
{
    const kgiTestImage before = shot();
    const kmlMatrix4 eye = canvas->getViewpoint()->getMatrix();
    const kmlVec3 wrist = kgiTestJointPosition(robot, "L_WR1");
    const Box hand = around({"L_WR1", "L_GR1", "L_GR2"});
    const float grips[] = {table->getJointAngleByName(robot, "L_GR1"), table->getJointAngleByName(robot, "L_GR2")};
    const std::pair<int, int> grip = pixelOf("L_GR1");
    const std::pair<int, int> start{grip.first, grip.second + 10};
    pointAt(start);
    ASSERT_TRUE(kgiTestIsBelow(canvas->getPickedNode(), "L_GR1")) << "the pointer is not on the finger";
    kgiTestPressButton(1);
    ksgTransform* target = canvas->getManipulator()->getTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->getName(), "L_GR1");
    for (int i = 1; i <= 3; ++i)
        pointAt({start.first + 10 * i, start.second - 20 * i});
    kgiTestReleaseButton(1);
    pointAway();

    const kmlMatrix4 after = canvas->getViewpoint()->getMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], eye[i]) << "the camera moved";
    kmlVec3 moved = kgiTestJointPosition(robot, "L_WR1");
    moved -= wrist;
    EXPECT_GT(moved.norm(), 1.0f) << "the arm stayed";
    EXPECT_NEAR(table->getJointAngleByName(robot, "L_GR1"), grips[0], 0.5f);
    EXPECT_NEAR(table->getJointAngleByName(robot, "L_GR2"), grips[1], 0.5f);
    const Box changed = diffBox(before, shot(), sceneRows());
    EXPECT_FALSE(hand.grown(std::max(hand.x1 - hand.x0, hand.y1 - hand.y0) + 12).contains(changed))
        << changed << " only around the hand";
}

} // namespace
