// Lesson 2, the robot connection, walked through against the simulated
// board: the bow played, the options window opened, a COM port without a
// robot chosen (the notice, and back to choosing), the board's port, the
// connection, pose reflection, the go-to-start button, and play with the
// robot: the motion goes to the board, the robot starts, and the closing
// text until the editor is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiGLFrameButtons.h"
#include "kgiMainCommandTable.h"
#include "kgiOptionsDialog.h"
#include "kgiSimBoard.h"
#include "kgiWorld.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int MODE = 2;
constexpr int FINAL_STEP = 10;
constexpr int UPPER = 40;
// The board answers on COM1; nothing is on COM3.
constexpr int BOARD_PORT = 1;
constexpr int EMPTY_PORT = 3;
// The motion slot the robot plays after a download.
constexpr int DOWNLOADED_MOTION = 32;

using Walk = kgiLessonWalk;
using Action = std::function<void(Walk&)>;
using Widgets = kgiOptionsDialog::Widgets;
constexpr int OK = Walk::OK;
constexpr int NG = Walk::NG;
constexpr int BEGIN = kgiGLFrameButtons::BUTTON_BEGIN;
constexpr int PLAY = kgiGLFrameButtons::BUTTON_PLAY;

kgiOptionsDialog& options(Walk& w) { return *w.optionsDialog(); }

Action pressFrameButton(int button) {
    return [button](Walk& w) { w.pressFrameButton(button); };
}

Action choosePort(int port) {
    return [port](Walk& w) { EXPECT_TRUE(w.chooseComPort(port)); };
}

Action click(FX::FXMenuCheck* Widgets::*check, int id) {
    return [check, id](Walk& w) { w.clickOptionsCheck(options(w).widgets().*check, id); };
}

std::string languageText(Walk& w, const char* key) { return w.app().languageText(key).text(); }

TEST(KGI_WALK_SUITE(LessonWalkMode2), ThePortTheConnectionPoseReflectionAndPlayWithTheRobot) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.useStepFile(MODE, FINAL_STEP);
    kgiApp& app = walk.app();
    kgiSimBoard board;
    ASSERT_TRUE(board.ok());
    board.start();
    walk.useBoard(board, BOARD_PORT);
    // A box stays open for a few idle passes while the user reads it.
    walk.setPassesWhileAsked(3);
    app.getSettings().robotComId = BOARD_PORT;

    // The introduction: the bow imported, two pages spoken, then step 1.
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step2");
    EXPECT_GT(walk.world().getLastKeyTime(), 0.0f) << "the bow's keys";
    EXPECT_EQ(walk.world().getEndFrame(), walk.world().getLastKeyTime());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_TRUE(walk.walkIntroduction());

    using Shown = kgiWalkRow::Shown;
    const std::set<int> none;
    const Shown at2{2, UPPER}, at3{3, UPPER}, at4{4, UPPER}, at5{5, UPPER}, at6{6, UPPER}, at7{7, UPPER};
    const Shown notice{Walk::NOTICE, UPPER, 1};
    const Action connect = click(&Widgets::robotCom, kgiOptionsDialog::ID_ROBOT_COM);
    const std::vector<kgiWalkRow> rows = {
        {"to the start while locked", 1, none, none, pressFrameButton(BEGIN), {NG}, 1},
        // Step 2 waits for the bow to stop before it shows its text.
        {"play", 1, none, none, pressFrameButton(PLAY), {OK}, 2, true, {at2}},
        {"play while locked", 2, {8}, none, pressFrameButton(PLAY), {NG}, 2, false, {},
         [](Walk& w) { EXPECT_FALSE(w.world().isPlaying()); }},
        {"Option button", 2, {8}, none, [](Walk& w) { w.mainCommand(kgiMainCommandIds::ID_OPTIONS); }, {OK}, 3,
         false, {at3},
         [](Walk& w) {
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_TRUE(w.optionsDialog()->shown());
         }},
        {"COM3 chosen", 3, none, {4, 16}, choosePort(EMPTY_PORT), {OK}, 4, false, {at4},
         [](Walk& w) { EXPECT_EQ(w.app().getSettings().robotComId, EMPTY_PORT); }},
        // No device there: the notice, its box, and the port chosen again.
        {"communication on, COM3", 4, none, {4, 15}, connect, {}, 3, false, {notice, at3},
         [](Walk& w) {
             EXPECT_FALSE(w.app().isRobotCom());
             EXPECT_FALSE(options(w).widgets().robotCom->getCheck());
             EXPECT_EQ(w.app().getRobotSession(), nullptr);
             ASSERT_FALSE(w.services().boxes.empty());
             EXPECT_EQ(w.services().boxes.back().rfind("Warning - 101|", 0), 0u) << w.services().boxes.back();
         }},
        {"COM1 chosen", 3, none, {4, 16}, choosePort(BOARD_PORT), {OK}, 4, false, {at4}},
        {"communication on, COM1", 4, none, {4, 15}, connect, {OK}, 5, false, {at5},
         [&](Walk& w) {
             EXPECT_TRUE(w.app().isRobotCom());
             EXPECT_TRUE(w.settleLink()) << "the robot's information read";
             EXPECT_GT(board.bytesIn(), 0u);
         }},
        {"pose reflection", 5, none, {4, 31}, click(&Widgets::poseReflection, kgiOptionsDialog::ID_POSE_REFLECTION),
         {OK}, 6, false, {at6},
         [](Walk& w) {
             EXPECT_TRUE(w.app().getRobotSyncFlag());
             EXPECT_TRUE(w.settleLink()) << "the model's pose sent";
         }},
        {"play while locked", 6, none, none, pressFrameButton(PLAY), {NG}, 6},
        {"to the start", 6, none, none, pressFrameButton(BEGIN), {OK}, 7, false, {at7},
         [](Walk& w) {
             EXPECT_EQ(w.world().getCurrentTime(), w.world().getStartFrame());
             EXPECT_TRUE(w.settleLink()) << "the pose at the start sent";
         }},
        {"to the start while locked", 7, none, none, pressFrameButton(BEGIN), {NG}, 7},
        // The robot question answered Yes: the motion goes to the board and
        // the robot is started (the box saying so), while steps 8 and 9
        // pass. The lesson waits while a box is open, so each shows its
        // text once, from the advance; the closing text comes with the
        // final step's wait.
        {"play with the robot", 7, none, none,
         [](Walk& w) {
             w.services().answers = {true};
             w.services().clear();
             EXPECT_TRUE(w.pressFrameButton(PLAY));
             EXPECT_TRUE(w.services().answers.empty()) << "a question, answered Yes as step 8 says";
         },
         {OK, OK, OK}, FINAL_STEP, false, {{8, UPPER}, {9, UPPER}},
         [&](Walk& w) {
             EXPECT_TRUE(w.world().isPlaying());
             const std::vector<std::string>& boxes = w.services().boxes;
             ASSERT_EQ(boxes.size(), 2u);
             EXPECT_EQ(boxes[0].rfind(languageText(w, "ROBOT_COM_Wr_FallDown") + "|", 0), 0u) << boxes[0];
             EXPECT_EQ(boxes[1], languageText(w, "ROBOT_COM_Me_TransferFinish") + "|" +
                                     languageText(w, "ROBOT_COM_Me_PlayStart"));
             EXPECT_FALSE(board.image().empty()) << "the motion reached the board";
             EXPECT_TRUE(w.idleUntil([&] { return Walk::boardGotPlay(board, DOWNLOADED_MOTION); }))
                 << "the robot was started";
         }},
    };
    ASSERT_TRUE(walk.walkRows(FINAL_STEP, rows));

    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Step2") << "the suffix once";

    // Outside the lesson the link may be closed again.
    walk.setPassesWhileAsked(0);
    walk.clickOptionsCheck(options(walk).widgets().robotCom, kgiOptionsDialog::ID_ROBOT_COM);
    EXPECT_TRUE(walk.idleUntil([&] { return app.getRobotSession() == nullptr; }));
    EXPECT_FALSE(app.isRobotCom());
    board.stop();
}

} // namespace
