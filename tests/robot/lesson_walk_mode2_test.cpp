// Lesson 2, the robot connection, walked through against the simulated
// board: the bow played, the options window opened, a COM port without a
// robot chosen (the notice, and back to choosing), the board's port, the
// connection, pose reflection, the go-to-start button, and play with the
// robot: the motion goes to the board, the robot starts, and the closing
// text until the editor is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiGLFrameButtons.h"
#include "kgiOptionsDialog.h"
#include "kgiSimBoard.h"
#include "kgiTimesheetWindow.h"
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
// The board answers on COM1; nothing is on COM3.
constexpr int BOARD_PORT = 1;
constexpr int EMPTY_PORT = 3;
// The motion slot the robot plays after a download.
constexpr int DOWNLOADED_MOTION = 32;

using Walk = kgiLessonWalk;

kgiWalkShown step(int s) { return {Walk::label(MODE, s, 0), 0}; }

kgiOptionsDialog& options(Walk& w) { return *w.optionsDialog(); }

TEST(LessonWalk, Mode2RobotConnection) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.writeStepFile(MODE, FINAL_STEP);
    kgiApp& app = walk.app();
    kgiWorld& world = walk.world();
    kgiSimBoard board;
    ASSERT_TRUE(board.ok());
    board.start();
    walk.useBoard(board, BOARD_PORT);
    // A box stays open for a few idle passes, as the lesson's step runs
    // on while the user reads it.
    walk.setPassesWhileAsked(3);
    app.getSettings().robotComId = BOARD_PORT;

    // The introduction: the bow imported, the first page after two seconds.
    const float startedAt = walk.now();
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step2");
    EXPECT_GT(world.getLastKeyTime(), 0.0f) << "the bow's keys";
    EXPECT_EQ(world.getEndFrame(), world.getLastKeyTime());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_EQ(walk.shown().size(), 1u);
    EXPECT_EQ(walk.lastShown().line(), Walk::label(MODE, 0, 0));
    EXPECT_GE(walk.lastShown().clock - startedAt, 2.0f);
    walk.setSpeaking(false);
    ASSERT_TRUE(walk.idleUntil([&] { return walk.shown().size() == 2; }));
    EXPECT_EQ(walk.lastShown().line(), Walk::label(MODE, 0, 1));
    walk.setSpeaking(false);

    const auto press = [](int button) { return [button](Walk& w) { w.pressFrameButton(button); }; };
    const auto locked = [](int button) {
        return [button](Walk& w) { EXPECT_FALSE(w.pressFrameButton(button)); };
    };
    const auto click = [](FX::FXMenuCheck* kgiOptionsDialog::Widgets::*check, int id) {
        return [check, id](Walk& w) { w.clickOptionsCheck(options(w).widgets().*check, id); };
    };
    const auto connect = click(&kgiOptionsDialog::Widgets::robotCom, kgiOptionsDialog::ID_ROBOT_COM);
    const auto port = [](int n) { return [n](Walk& w) { ASSERT_TRUE(w.chooseComPort(n)); }; };
    const std::vector<int> OK = {Walk::OK};
    constexpr int BEGIN = kgiGLFrameButtons::BUTTON_BEGIN, PLAY = kgiGLFrameButtons::BUTTON_PLAY;

    const std::vector<kgiWalkRow> rows = {
        {"Play", 1, {}, {}, locked(BEGIN), {}, press(PLAY), 2, OK, {},
         [](Walk& w) {
             ASSERT_TRUE(w.world().isPlaying());
             // Step 2 waits for playback to stop: nothing while the bow
             // plays (a pass runs the step before it moves playback on).
             const std::size_t texts = w.textMark();
             for (int pass = 0; pass < 3 && w.world().isPlaying(); ++pass) w.idle(1);
             EXPECT_FALSE(w.waiting());
             EXPECT_EQ(w.textMark(), texts);
             w.playToEnd();
         }},
        {"Options button", 2, {8}, {}, locked(PLAY), {},
         [](Walk& w) { w.mainCommand(kgiTimesheetWindow::ID_OPTIONS); }, 3, OK, {},
         [](Walk& w) {
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_TRUE(w.optionsDialog()->shown());
         }},
        {"COM port without a robot", 3, {}, {4, 16}, nullptr, {}, port(EMPTY_PORT), 4, OK, {},
         [](Walk& w) { EXPECT_EQ(w.app().getSettings().robotComId, EMPTY_PORT); }},
        // It opens no device: the notice, the box, and the port chosen again.
        {"Connection that fails", 4, {}, {4, 15}, nullptr, {}, connect, 3, {},
         {{Walk::noticeLabel(MODE, Walk::NOTICE, 0), 1}},
         [](Walk& w) {
             EXPECT_FALSE(w.app().isRobotCom());
             EXPECT_FALSE(options(w).widgets().robotCom->getCheck());
             ASSERT_FALSE(w.services().boxes.empty());
             EXPECT_EQ(w.services().boxes.back().rfind("Warning - 101|", 0), 0u) << w.services().boxes.back();
             w.idle(2);
             EXPECT_EQ(w.app().getRobotSession(), nullptr);
         }},
        {"COM port of the board", 3, {}, {4, 16}, nullptr, {}, port(BOARD_PORT), 4, OK, {}, nullptr},
        {"Connection", 4, {}, {4, 15}, nullptr, {}, connect, 5, OK, {},
         [&](Walk& w) {
             EXPECT_TRUE(w.app().isRobotCom());
             EXPECT_TRUE(w.settleLink()) << "the robot's information read";
             EXPECT_GT(board.bytesIn(), 0u);
         }},
        {"Pose reflection", 5, {}, {4, 31}, nullptr, {},
         click(&kgiOptionsDialog::Widgets::poseReflection, kgiOptionsDialog::ID_POSE_REFLECTION), 6, OK, {},
         [](Walk& w) {
             EXPECT_TRUE(w.app().getRobotSyncFlag());
             EXPECT_TRUE(w.settleLink()) << "the model's pose sent";
         }},
        {"Go to the start", 6, {}, {}, locked(PLAY), {}, press(BEGIN), 7, OK, {},
         [](Walk& w) {
             EXPECT_EQ(w.world().getCurrentTime(), w.world().getStartFrame());
             EXPECT_TRUE(w.settleLink()) << "the pose at the start sent";
         }},
        // The robot question answered Yes: steps 8 and 9 pass while the
        // motion goes to the board and the robot is started; each shows its
        // text from the advance and again from its set-up while a box is
        // open, and so does the closing text, entered at once.
        {"Play with the robot", 7, {}, {}, locked(BEGIN), {},
         [](Walk& w) {
             w.services().answers = {true};
             w.services().clear();
             EXPECT_TRUE(w.pressFrameButton(PLAY));
         },
         FINAL_STEP, {Walk::OK, Walk::OK, Walk::OK}, {step(8), step(8), step(9), step(9), step(FINAL_STEP)},
         [&](Walk& w) {
             EXPECT_TRUE(w.world().isPlaying());
             const std::vector<std::string>& boxes = w.services().boxes;
             ASSERT_EQ(boxes.size(), 2u);
             const auto text = [&](const char* key) { return std::string(w.app().languageText(key).text()); };
             EXPECT_EQ(boxes[0].rfind(text("ROBOT_COM_Wr_FallDown") + "|", 0), 0u) << boxes[0];
             EXPECT_EQ(boxes[1], text("ROBOT_COM_Me_TransferFinish") + "|" + text("ROBOT_COM_Me_PlayStart"));
             EXPECT_FALSE(board.image().empty()) << "the motion reached the board";
             EXPECT_TRUE(w.idleUntil([&] { return Walk::boardGotPlay(board, DOWNLOADED_MOTION); }))
                 << "the robot was started";
         }},
    };
    walk.walkRows(rows);

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
