// The joint pop-up and the canvas's joint commands on the factory robot in
// a 3D window: commands sent to the canvas with a hovered joint, the menu
// a right click on the left hand opens (looked at and answered from a
// toolkit timeout while it runs modally), and the lock that keeps it shut.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCanvasMouse.h"
#include "kgiCanvasPopup.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"
#include "ksgCcdIk.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/canvas_commands_fixture.h"
#include "view3d/window_3d_fixture.h"

namespace {

using TimeoutAction = kgiTimeoutAction;

// The factory robot in a 3D window with a recording joint table.
struct RobotWindow {
    kgiRecordingJointTable table;
    kgiCharacter* robot = nullptr;
    kgiTest3dWindow w;
    kgi3dCanvas* canvas;

    RobotWindow() : robot(loadRobot()), canvas(w.window->getCanvas()) {}

    static kgiCharacter* loadRobot()
    {
        EXPECT_TRUE(kgiTestLoadFactoryRobot());
        kgiWorld::instance()->setCurrentTime(0.0f);
        return kgiWorld::instance()->getCurrentCharacter();
    }

    // The pixel halfway between two joints' origins.
    std::pair<int, int> between(const char* a, const char* b) const
    {
        const kmlVec3 p = kgiTestJointPosition(robot, a);
        const kmlVec3 q = kgiTestJointPosition(robot, b);
        return kgiTestPixelOf(canvas, kmlVec3((p.get(0) + q.get(0)) / 2, (p.get(1) + q.get(1)) / 2,
                                              (p.get(2) + q.get(2)) / 2));
    }

    // Hovers over the point between two joints; the node picked.
    ksgNode* hover(const char* a, const char* b)
    {
        const std::pair<int, int> at = between(a, b);
        // The mouse takes the rows the canvas hands it: the window's row
        // less the strip's height.
        canvas->getMouse().hover(at.first, at.second - canvas->getToolbarHeight());
        return canvas->getPickedNode();
    }

    long send(int id) { return canvas->handle(kgiTestApp(), FXSEL(FX::SEL_COMMAND, id), nullptr); }
};

TEST(CanvasPopupWindow, JointTableCommandsGetThePickedNodeAndMotionMode)
{
    KGI_REQUIRE_TEST_APP();
    RobotWindow r;
    ksgNode* hand = r.hover("L_WR1", "L_GR1");
    ASSERT_NE(hand, nullptr);
    ASSERT_TRUE(kgiTestIsBelow(hand, "L_WR1"));
    ASSERT_FALSE(r.canvas->isMotionMode());

    for (int id : {57, 58, 59, 60, 61})
        EXPECT_EQ(r.send(id), 1) << id;
    struct Expected {
        const char* name;
        bool flag;
    };
    const Expected expected[] = {{"setHand", false},
                                 {"setHand", true},
                                 {"levelFootOverKeys", false},
                                 {"levelAnkles", false},
                                 {"alignBasePart", false}};
    ASSERT_EQ(r.table.calls.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.table.calls[i].name, expected[i].name);
        EXPECT_EQ(r.table.calls[i].node, hand);
        EXPECT_EQ(r.table.calls[i].flag, expected[i].flag);
    }

    // The reverse root: the joint above the picked mesh, and its part
    // toggled in the table.
    r.table.calls.clear();
    EXPECT_EQ(r.send(55), 1);
    ksgTransform* joint = kgiCanvasPopup::reverseRootJoint(hand);
    ASSERT_NE(joint, nullptr);
    EXPECT_EQ(r.canvas->getIkController()->getReverseRoot(), joint);
    ASSERT_EQ(r.table.calls.size(), 1u);
    EXPECT_EQ(r.table.calls[0].name, "toggleSelectedPart");
    EXPECT_EQ(r.table.calls[0].node, hand);
}

TEST(CanvasPopupWindow, MirrorAndFlipActOnThePickedCharacter)
{
    KGI_REQUIRE_TEST_APP();
    RobotWindow r;
    kgiCharacter* c = r.robot;
    ASSERT_TRUE(kgiTestTurnJoint(c, "LElbow", -40.0f));
    const std::vector<kmlMatrix4> bent = kgiTestPose(c->getRoot());

    ksgNode* forearm = r.hover("LElbow", "L_WR1");
    ASSERT_NE(forearm, nullptr);
    ASSERT_TRUE(kgiTestIsBelow(forearm, "LElbow"));
    EXPECT_EQ(r.send(54), 1);
    const std::vector<kmlMatrix4> mirrored = kgiTestPose(c->getRoot());
    EXPECT_GT(kgiTestPoseDiff(mirrored, bent), 0.1f) << "the right arm takes the bent elbow";
    // The same as the character's own limb mirror from the forearm's joint.
    ASSERT_TRUE(c->undoPose());
    ASSERT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), bent), 0.0f);
    ASSERT_TRUE(c->mirrorPose(kgiCanvasPopup::mirrorJoint(forearm)));
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), mirrored), 1e-5f);

    // The whole pose flips, and flips back.
    ASSERT_TRUE(c->undoPose());
    EXPECT_EQ(r.send(56), 1);
    EXPECT_GT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), bent), 0.1f);
    EXPECT_EQ(r.send(56), 1);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), bent), 1e-4f);

    // Nothing picked: both answer 0 and change nothing.
    r.canvas->getMouse().hover(2, 2);
    ASSERT_EQ(r.canvas->getPickedNode(), nullptr);
    const std::vector<kmlMatrix4> before = kgiTestPose(c->getRoot());
    EXPECT_EQ(r.send(54), 0);
    EXPECT_EQ(r.send(56), 0);
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), before), 0.0f);
}

TEST(CanvasPopupWindow, RightClickOnTheLeftHandOffersFourItemsAndClosesTheHand)
{
    KGI_REQUIRE_TEST_APP();
    RobotWindow r;
    kgiApp* app = kgiTestApp();
    const std::pair<int, int> at = r.between("L_WR1", "L_GR1");
    kgiTestFocus(r.w.window);
    kgiTestMovePointer(r.canvas, at.first, at.second);
    ksgNode* hand = r.canvas->getPickedNode();
    ASSERT_NE(hand, nullptr) << "nothing under the pointer at " << at.first << ", " << at.second;
    ASSERT_TRUE(kgiTestIsBelow(hand, "L_WR1"));

    // While the menu runs modally: its items read, a screenshot, then a
    // click on the last item; a later timeout closes a menu still open.
    std::vector<std::string> labels;
    TimeoutAction look;
    TimeoutAction rescue;
    look.action = [&] {
        FX::FXPopup* pane = app->getPopupWindow();
        if (pane == nullptr)
            return;
        for (FX::FXWindow* item = pane->getFirst(); item != nullptr; item = item->getNext())
            if (auto* command = dynamic_cast<FX::FXMenuCommand*>(item))
                labels.push_back(command->getText().text());
        kgiTestGrab(app->getRootWindow()).save("canvas_popup_menu");
        FX::FXWindow* last = pane->getLast();
        kgiTestMovePointer(last, last->getWidth() / 2, last->getHeight() / 2);
        kgiTestPressButton(1);
        kgiTestReleaseButton(1);
    };
    rescue.action = [&] {
        if (FX::FXPopup* pane = app->getPopupWindow())
            pane->popdown();
    };
    app->addTimeout(&look, TimeoutAction::ID_FIRE, 300);
    app->addTimeout(&rescue, TimeoutAction::ID_FIRE, 3000);
    kgiTestPressButton(3);
    kgiTestReleaseButton(3);
    app->removeTimeout(&look, TimeoutAction::ID_FIRE);
    app->removeTimeout(&rescue, TimeoutAction::ID_FIRE);

    // The language table's texts of the keys (the keys themselves until a
    // table is loaded).
    std::vector<std::string> expected;
    for (const char* key : {"Adjust_Prev_Key", "Subtree_mirror", "Hand_Open", "Hand_Close"})
        expected.push_back(app->languageText(key).text());
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(app->getPopupWindow(), nullptr);
    EXPECT_FALSE(r.canvas->isButtonDown());
    std::vector<std::string> names;
    for (const kgiRecordingJointTable::Call& call : r.table.calls)
        if (call.name != "isInFoot")
            names.push_back(call.name);
    ASSERT_EQ(names, std::vector<std::string>{"setHand"}) << "Hand_Close chosen";
    const kgiRecordingJointTable::Call& close = r.table.calls.back();
    EXPECT_EQ(close.node, hand);
    EXPECT_TRUE(close.flag);
}

TEST(CanvasPopupWindow, NoMenuUnderALockOrWithoutANode)
{
    KGI_REQUIRE_TEST_APP();
    RobotWindow r;
    kgiApp* app = kgiTestApp();
    ksgNode* head = r.robot->findNode("Head");
    ASSERT_NE(head, nullptr);
    FX::FXEvent ev;
    ev.root_x = 100;
    ev.root_y = 100;

    kgiStandInLesson lesson;
    lesson.mode = 1;
    lesson.permissions[1] = false;
    app->setLessonManager(&lesson);
    testing::internal::CaptureStderr();
    r.canvas->showPopup(head, &ev);
    const std::string err = testing::internal::GetCapturedStderr();
    app->setLessonManager(nullptr);
    EXPECT_NE(err.find("The command is locked."), std::string::npos);
    EXPECT_TRUE(r.table.calls.empty()) << "no menu was built";

    r.canvas->showPopup(nullptr, &ev);
    EXPECT_TRUE(r.table.calls.empty());
    EXPECT_EQ(app->getPopupWindow(), nullptr);
}

} // namespace
