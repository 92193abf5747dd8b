// Lesson 3, robot motions, walked through against the simulated board: the
// options window opened anew on its robot tab, a connection on a port
// without a robot (the program would start over in lesson 2), the
// connection to the board, row 1 of the robot motion list, its name box
// cancelled, refused and answered, the write with its warning, the
// transfer, the remote-control play, and the closing text until the editor
// is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiOptionsDialog.h"
#include "kgiSimBoard.h"
#include "kgiWorld.h"
#include "platform/process.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int MODE = 3;
constexpr int FINAL_STEP = 9;
constexpr int UPPER = 40;
// The board answers on COM1; nothing is on COM3.
constexpr int BOARD_PORT = 1;
constexpr int EMPTY_PORT = 3;

using Walk = kgiLessonWalk;
using Action = std::function<void(Walk&)>;
using Widgets = kgiOptionsDialog::Widgets;
using Dialog = kgiOptionsDialog;
constexpr int OK = Walk::OK;
constexpr int NG = Walk::NG;

kgiOptionsDialog& options(Walk& w) { return *w.optionsDialog(); }

Action command(int id) {
    return [id](Walk& w) { w.optionsCommand(id); };
}

// The robot tab's name box answered (nullopt: cancelled) for row 1.
Action addToList(std::optional<std::string> name) {
    return [name](Walk& w) {
        w.services().clear();
        w.services().texts = {name};
        w.optionsCommand(Dialog::ID_RENAME_ENTRY);
        EXPECT_EQ(w.services().inputs.size(), 1u) << "the name box";
    };
}

std::string languageText(Walk& w, const char* key) { return w.app().languageText(key).text(); }

// What the process replacement was asked to start.
struct Replacement {
    int calls = 0;
    std::string path;
    std::vector<std::string> argv;
    std::string workDir;
};

TEST(KGI_WALK_SUITE(LessonWalkMode3), TheConnectionRow1ItsNameTheWriteTheTransferAndTheRemoteControlPlay) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.useStepFile(MODE, FINAL_STEP);
    kgiApp& app = walk.app();
    kgiSimBoard board;
    ASSERT_TRUE(board.ok());
    board.start();
    walk.useBoard(board, BOARD_PORT);
    walk.setPassesWhileAsked(3);
    // The port remembered from before has no robot.
    app.getSettings().robotComId = EMPTY_PORT;
    Replacement replaced;
    walk.manager().setProcessReplacer(
        [&](const std::string& path, const std::vector<std::string>& argv, const std::string& workDir) {
            ++replaced.calls;
            replaced.path = path;
            replaced.argv = argv;
            replaced.workDir = workDir;
            return ENOENT;
        });
    // An options window from before, on its sample tab and hidden.
    app.showOptionsDialog(true);
    ASSERT_NE(walk.optionsDialog(), nullptr);
    options(walk).widgets().tabBook->setCurrent(0);
    app.showOptionsDialog(false);

    // The introduction: the bow imported, the options window made again and
    // shown on its robot tab (start-up locks every command again after the
    // lesson's first run), two pages, then step 1.
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step3");
    EXPECT_GT(walk.world().getLastKeyTime(), 0.0f) << "the bow's keys";
    ASSERT_NE(walk.optionsDialog(), nullptr);
    EXPECT_TRUE(walk.optionsDialog()->shown());
    const Widgets& tabs = options(walk).widgets();
    EXPECT_EQ(tabs.tabBook->getCurrent(), tabs.tabBook->indexOfChild(tabs.robotTab) / 2) << "the robot tab";
    EXPECT_EQ(walk.optionsEnabled(), std::set<int>{});
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_TRUE(walk.walkIntroduction());

    using Shown = kgiWalkRow::Shown;
    const std::set<int> none;
    const Shown at2{2, UPPER}, at3{3, UPPER}, at4{4, UPPER}, at5{5, UPPER}, at6{6, UPPER}, at7{7, UPPER},
        at8{8, UPPER};
    const Action connect = [](Walk& w) {
        w.clickOptionsCheck(options(w).widgets().robotCom, Dialog::ID_ROBOT_COM);
    };
    const std::vector<kgiWalkRow> rows = {
        // No robot there: the notice and its box, and the program would
        // start over in lesson 2; here it goes on, with the board's port
        // (the one lesson 2 has the user choose).
        {"communication on, COM3", 1, none, {4, 15}, connect, {}, 1, false, {{Walk::NOTICE, UPPER, 1}},
         [&](Walk& w) {
             EXPECT_EQ(replaced.calls, 1);
             EXPECT_EQ(replaced.path, platform::ownProgramPath());
             ASSERT_EQ(replaced.argv.size(), 2u);
             EXPECT_EQ(replaced.argv[1], "2");
             EXPECT_EQ(replaced.workDir, w.app().getBaseDir());
             EXPECT_FALSE(w.app().isRobotCom());
             ASSERT_FALSE(w.services().boxes.empty());
             EXPECT_EQ(w.services().boxes.back().rfind("Warning - 101|", 0), 0u) << w.services().boxes.back();
             w.app().getSettings().robotComId = BOARD_PORT;
         }},
        // The port box stays as the step has it, though the failed link
        // enabled it as it closed.
        {"communication on, COM1", 1, none, {4, 15}, connect, {OK}, 2, false, {at2},
         [&](Walk& w) {
             EXPECT_TRUE(w.app().isRobotCom());
             EXPECT_EQ(replaced.calls, 1);
             EXPECT_TRUE(w.settleLink()) << "the robot's information read";
         }},
        {"row 2 of the robot motions", 2, none, {4, 18}, [](Walk& w) { EXPECT_TRUE(w.chooseRobotMotion(1)); },
         {NG}, 2, false, {at2}},
        {"row 1 of the robot motions", 2, none, {4, 18}, [](Walk& w) { EXPECT_TRUE(w.chooseRobotMotion(0)); },
         {OK}, 3, false, {at3}},
        // The press moves on to the name step; a cancel or a refused name
        // goes back, showing the name step's text as it goes.
        {"add to the list, cancelled", 3, none, {19}, addToList(std::nullopt), {OK, NG}, 3, false, {at4, at4, at3}},
        {"add to the list, a refused name", 3, none, {19}, addToList(std::string("bow/1")), {OK, NG}, 3, false,
         {at4, at4, at3},
         [](Walk& w) {
             ASSERT_EQ(w.services().boxes.size(), 1u);
             EXPECT_EQ(w.services().boxes[0].rfind(languageText(w, "ROBOT_COM_Wr_ViolationCharacter") + "|", 0), 0u)
                 << w.services().boxes[0];
         }},
        {"add to the list as bow", 3, none, {19}, addToList(std::string("bow")), {OK, OK}, 5, false, {at4, at5},
         [](Walk& w) { EXPECT_EQ(std::string(options(w).widgets().remoconList->getItemText(0).text()), "1:bow"); }},
        // The press shows the next step at once; the warning's OK moves on
        // again, and the motion is asked to go to the board.
        // The warning is a message box, answered with OK (as step 6 says):
        // no question takes the answer the test holds ready.
        {"write", 5, none, {22},
         [](Walk& w) {
             w.services().clear();
             w.services().answers = {false};
             w.optionsCommand(Dialog::ID_WRITE_IRC);
         },
         {OK, OK}, 7, false, {at6, at7},
         [](Walk& w) {
             EXPECT_EQ(w.services().answers.size(), 1u) << "a question was asked";
             w.services().answers.clear();
             ASSERT_EQ(w.services().boxes.size(), 1u);
             EXPECT_EQ(w.services().boxes[0], languageText(w, "ROBOT_COM_Wr_FallDown") + "|" +
                                                   languageText(w, "ROBOT_COM_Wr_HoldRobot"));
         }},
        // Idle passes carry the transfer; its end moves on.
        {"the transfer", 7, none, none,
         [](Walk& w) {
             w.services().clear();
             for (int pass = 0; pass < 20000 && w.step() == 7; ++pass) w.app().idleTick();
         },
         {OK}, 8, false, {at8},
         [&](Walk& w) {
             EXPECT_FALSE(board.image().empty()) << "the motion reached the board";
             const std::string finish = languageText(w, "ROBOT_COM_Me_TransferFinish");
             EXPECT_EQ(w.services().boxes, std::vector<std::string>{finish + "|" + finish});
         }},
        {"remote-control play", 8, none, {23}, command(Dialog::ID_PLAY_REMOCON), {OK}, FINAL_STEP, false, {},
         [&](Walk& w) {
             EXPECT_TRUE(w.idleUntil([&] { return Walk::boardGotPlay(board, 1); }, 2000)) << "entry 1 played";
         }},
    };
    ASSERT_TRUE(walk.walkRows(FINAL_STEP, rows));

    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Step3") << "the suffix once";

    // Outside the lesson the link may be closed again.
    walk.setPassesWhileAsked(0);
    walk.clickOptionsCheck(options(walk).widgets().robotCom, Dialog::ID_ROBOT_COM);
    EXPECT_TRUE(walk.idleUntil([&] { return app.getRobotSession() == nullptr; }));
    board.stop();
    walk.manager().setProcessReplacer(nullptr);
}

} // namespace
