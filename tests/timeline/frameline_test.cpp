// The frame line's mouse on the factory robot, without a display: key
// drags with their undo entries, the trash, copies, scrubbing, panning,
// and the lesson's narrower variant.
#include "frameline_robot.h"
#include "recording_host.h"

#include "kgiGLFrameline.h"
#include "kgiGLScroller.h"
#include "kgiGLTsMgr.h"
#include "kgiKmdData.h"
#include "ksgMotionController.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace kgiTestFrameline;

namespace {

// The lower line as the manager lays it out on a canvas 1024 wide.
constexpr int LEFT = 5;
constexpr int TOP = 94;
constexpr int KEY_ROW = TOP + 10;   // y inside the key row
constexpr int TIME_AREA = TOP + 30; // y inside the time area
constexpr int TRASH = TOP - 30;     // more than 21 pixels above the line
constexpr int SHIFT = kgiGLWidget::MOD_SHIFT;
constexpr int CONTROL = kgiGLWidget::MOD_CONTROL;
constexpr int NONE = kgiGLWidget::MOD_NONE;
constexpr int L = kgiGLWidget::BUTTON_LEFT;
constexpr int M = kgiGLWidget::BUTTON_MIDDLE;
constexpr int R = kgiGLWidget::BUTTON_RIGHT;

class FramelineRobot : public ::testing::Test {
protected:
    void SetUp() override {
        world->setFps(kgiWorld::ROBOT_FPS);
        world->setCurrentTime(0.0f);
        robot = loadCurrentRobot();
        ASSERT_NE(robot, nullptr);
        line = std::make_unique<kgiGLFrameline>(LEFT, TOP, 1014, 40, &host);
        line->setEditable(true);
        line->setKeyRowHeight(20);
        line->setPixelsPerFrame(8);
        line->enableTrash(21);
    }
    void TearDown() override {
        world->removeAllCharacters();
        world->setCurrentTime(0.0f);
    }
    // A column inside frame f's cell.
    int at(int f) const { return line->columnOf(f) + 3; }
    void press(int button, int mod, int f, int py = KEY_ROW) {
        ASSERT_TRUE(line->onMouse(button, 0, mod, at(f), py)) << "press at frame " << f;
    }
    void moveTo(int f, int py = KEY_ROW) { line->onMotion(at(f), py); }
    void release(int button, int f, int py = KEY_ROW) { EXPECT_FALSE(line->onMouse(button, 1, NONE, at(f), py)); }
    // A whole drag: press at `from`, motions along the path, release at
    // the path's end.
    void dragKey(int button, int mod, int from, const std::vector<int>& path, int py = KEY_ROW) {
        press(button, mod, from);
        for (int f : path) moveTo(f, py);
        release(button, path.empty() ? from : path.back(), py);
    }

    kgiWorld* world = kgiWorld::instance();
    kgiRecordingHost host;
    kgiCharacter* robot = nullptr;
    std::unique_ptr<kgiGLFrameline> line;
};

TEST_F(FramelineRobot, DragsEditTheListLiveAndTheReleaseRecordsOneEntry) {
    struct Case {
        const char* name;
        int button, mod;
        Times keys;
        int from;
        std::vector<int> path;
        Times expected;
        std::string entry;
    } cases[] = {
        {"move right stops before the next key", L, NONE, {0, 10, 20, 30}, 20, {26, 35}, {0, 10, 29, 30},
         "kgiMoveKeyUndo(2, 20, 29)"},
        {"move left stops after the key before", L, NONE, {0, 10, 20, 30}, 20, {5}, {0, 10, 11, 30},
         "kgiMoveKeyUndo(2, 20, 11)"},
        {"move of the last key stops at the window's end", L, NONE, {0, 10}, 10, {200}, {0, 125},
         "kgiMoveKeyUndo(1, 10, 125)"},
        {"push left brings the first key to 0", R, NONE, {2, 10, 20}, 10, {7}, {0, 8, 20},
         "kgiPushKeysUndo(1, 10, 8)"},
        {"push right takes the later keys", R, NONE, {2, 10, 20}, 10, {13}, {2, 13, 23},
         "kgiPushKeysUndo(1, 10, 13)"},
        {"pull right stops before the next key", R, SHIFT, {0, 10, 20}, 10, {25}, {9, 19, 20},
         "kgiPullKeysUndo(1, 10, 19)"},
        {"push there and back records nothing", R, NONE, {2, 10, 20}, 10, {7, 10}, {2, 10, 20}, "none"},
        {"move there and back records nothing", L, NONE, {0, 10, 20, 30}, 20, {25, 20}, {0, 10, 20, 30}, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keysAt(robot, c.keys);
        press(c.button, c.mod, c.from);
        for (int f : c.path) moveTo(f);
        EXPECT_EQ(robot->getKeyTimes(), c.expected) << "live, after the motions";
        EXPECT_EQ(nodeKeys(robot), c.keys) << "the nodes wait for the release";
        release(c.button, c.path.back());
        EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_NONE);
        EXPECT_EQ(nodeKeys(robot), c.expected) << "written to the nodes";
        EXPECT_EQ(lastEntry(robot), c.entry);
        if (c.entry == "none") continue;
        // One entry; its undo and redo replay the drag.
        ASSERT_TRUE(robot->undoKeys());
        EXPECT_EQ(robot->getKeyTimes(), c.keys) << "undone";
        EXPECT_FALSE(robot->undoKeys()) << "one entry only";
        ASSERT_TRUE(robot->redoKeys());
        EXPECT_EQ(robot->getKeyTimes(), c.expected) << "redone";
    }
}

TEST_F(FramelineRobot, MovedKeyKeepsItsPoseAtItsNewFrame) {
    keysAt(robot, {0, 10, 20, 30});
    ksgNode* arm = robot->findNode("RArm");
    ASSERT_NE(arm, nullptr);
    const kmlMatrix4 before = kgiTestRobot::evaluated(getMotionController(arm), 20.0f);
    dragKey(L, NONE, 20, {24});
    EXPECT_LT(kgiTestRobot::maxDiff(kgiTestRobot::evaluated(getMotionController(arm), 24.0f), before), 1e-5f);
}

TEST_F(FramelineRobot, DropOnTheTrashDeletesTheKeyEverywhereWithOneEntry) {
    keysAt(robot, {0, 10, 20, 30});
    ksgNode* arm = robot->findNode("RArm");
    ASSERT_NE(arm, nullptr);
    press(L, NONE, 20);
    moveTo(24, TOP - 21);
    EXPECT_FALSE(line->isOverTrash()) << "21 pixels above is not yet the trash";
    moveTo(24, TRASH);
    EXPECT_TRUE(line->isOverTrash());
    release(L, 24, TRASH);
    EXPECT_FALSE(line->isOverTrash());
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 30}));
    Times armKeys;
    getMotionController(arm)->getKeysTime(armKeys, -1);
    EXPECT_EQ(armKeys, (Times{0, 10, 30})) << "gone from every node";
    EXPECT_EQ(lastEntry(robot), "kgiRemKeyUndo");

    ASSERT_TRUE(robot->undoKeys());
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30}));
    EXPECT_FALSE(robot->undoKeys()) << "one entry only";
}

TEST_F(FramelineRobot, ControlDragCopiesTheKeyAndAControlClickCopiesNothing) {
    keysAt(robot, {0, 10, 20, 30});
    ksgNode* arm = robot->findNode("RArm");
    ASSERT_NE(arm, nullptr);
    const kmlMatrix4 key10 = kgiTestRobot::evaluated(getMotionController(arm), 10.0f);

    dragKey(L, CONTROL, 10, {});
    EXPECT_EQ(lastEntry(robot), "none") << "a click without motion";
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30}));

    press(L, CONTROL, 10);
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_COPY);
    // The target stays inside 0 .. last.
    line->onMotion(LEFT - 30, KEY_ROW);
    EXPECT_EQ(line->getKeyDrag().toFrame, 0);
    line->onMotion(LEFT + 1014 + 40, KEY_ROW);
    EXPECT_EQ(line->getKeyDrag().toFrame, 125);
    moveTo(40);
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30})) << "a copy is made on release";
    release(L, 40);
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30, 40}));
    EXPECT_EQ(lastEntry(robot), "kgiDupKeyUndo");
    EXPECT_LT(kgiTestRobot::maxDiff(kgiTestRobot::evaluated(getMotionController(arm), 40.0f), key10), 1e-5f);
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30}));
}

TEST_F(FramelineRobot, TimeAreaSetsTheTimeScrubsAndScrollsAFramePerMotion) {
    keysAt(robot, {0, 10});
    press(L, NONE, 12, TIME_AREA);
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_SCRUB);
    EXPECT_EQ(world->getCurrentTime(), 12.0f);
    moveTo(40, TIME_AREA);
    EXPECT_EQ(world->getCurrentTime(), 40.0f);
    for (int i = 1; i <= 3; ++i) {
        line->onMotion(LEFT + 1014 + 20, TIME_AREA);
        EXPECT_EQ(line->getFirst(), i);
        EXPECT_EQ(line->getLast(), 125 + i);
        EXPECT_EQ(world->getCurrentTime(), float(125 + i));
    }
    line->onMotion(LEFT - 20, TIME_AREA);
    EXPECT_EQ(line->getFirst(), 2) << "and back at the left end";
    EXPECT_EQ(world->getCurrentTime(), 2.0f);
    release(L, 0, TIME_AREA);
    EXPECT_EQ(lastEntry(robot), "none");

    press(R, NONE, 30, TIME_AREA);
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_MENU);
    EXPECT_EQ(world->getCurrentTime(), 2.0f) << "the right button leaves the time";
    release(R, 30, TIME_AREA);
}

TEST_F(FramelineRobot, PanKeepsThePressedFrameUnderThePointer) {
    keysAt(robot, {0});
    struct Case {
        int d, first;
    } cases[] = {{-9, 52}, {-8, 51}, {-1, 51}, {0, 50}, {7, 50}, {8, 49}, {9, 49}};
    for (const Case& c : cases) {
        line->moveWindowTo(50);
        // A press on frame 61's left column, no hover motion before it.
        const int px = line->columnOf(61);
        ASSERT_TRUE(line->onMouse(L, 0, NONE, px, KEY_ROW));
        ASSERT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_PAN);
        line->onMotion(px + c.d, KEY_ROW);
        EXPECT_EQ(line->getFirst(), c.first) << "d = " << c.d;
        EXPECT_EQ(line->frameAt(px + c.d), 61) << "d = " << c.d;
        line->onMouse(L, 1, NONE, px + c.d, KEY_ROW);
    }
    // A middle press on a key pans too.
    line->moveWindowTo(0);
    press(M, NONE, 0);
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_PAN);
}

TEST_F(FramelineRobot, HoverMarksTheKeyRowCellOnlyWhileNoButtonIsDown) {
    keysAt(robot, {0});
    moveTo(7);
    EXPECT_EQ(line->getHoverFrame(), 7);
    moveTo(7, TIME_AREA);
    EXPECT_EQ(line->getHoverFrame(), -1);
    press(L, NONE, 0);
    moveTo(9);
    EXPECT_EQ(line->getHoverFrame(), -1) << "a move drag has no hover cell";
    release(L, 9);
    line->onMotion(LEFT + 50, TOP - 5);
    EXPECT_EQ(line->getHoverFrame(), -1) << "outside the line";
}

TEST_F(FramelineRobot, WithoutACharacterPressesAreRefused) {
    world->removeAllCharacters();
    EXPECT_FALSE(line->onMouse(L, 0, NONE, at(3), TIME_AREA));
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_NONE);
    EXPECT_EQ(world->getCurrentTime(), 0.0f);
}

TEST_F(FramelineRobot, OverviewPanMovesTheLowerLineThroughTheManager) {
    keysAt(robot, {0});
    kgiGLTsMgr m(0, 0, 1024, 150, &host);
    m.setSize(1024, 150);
    kgiGLFrameline* overview = m.getOverviewLine();
    kgiGLFrameline* lower = m.getFrameLine();
    m.pageForward();  // the overview starts at 1014
    const int first = overview->getFirst();
    ASSERT_GT(first, 100);
    const int y = overview->getY() + 10;
    ASSERT_TRUE(m.onMouse(L, 0, NONE, 300, y));
    ASSERT_EQ(m.getCaptured(), overview);
    m.onMotion(200, y);
    EXPECT_EQ(overview->getFirst(), first + 100) << "the pointer went 100 frames left";
    EXPECT_EQ(m.getScroller()->getFirst(), first + 100);
    EXPECT_EQ(lower->getFirst(), m.getScroller()->getValue()) << "the lower line follows";
    m.onMouse(L, 1, NONE, 200, y);
    EXPECT_EQ(m.getCaptured(), nullptr);
}

// --- lessons ---

class FramelineLesson : public FramelineRobot {
protected:
    void SetUp() override {
        FramelineRobot::SetUp();
        host.lesson = true;
        if (robot) keysAt(robot, {0, 10, 20, 30});
    }
};

TEST_F(FramelineLesson, PressWritesItsLineAndTheTimeAreaAsksTheLesson) {
    testing::internal::CaptureStderr();
    press(L, NONE, 12, TIME_AREA);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("mouseClickTTR \n"), std::string::npos) << err;
    EXPECT_EQ(world->getCurrentTime(), 12.0f);
    EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_NONE) << "no scrub in a lesson";
    moveTo(40, TIME_AREA);
    EXPECT_EQ(world->getCurrentTime(), 12.0f);
    release(L, 40, TIME_AREA);

    host.lessonAccepts = false;
    press(L, NONE, 15, TIME_AREA);
    EXPECT_EQ(world->getCurrentTime(), 12.0f) << "refused";
    release(L, 15, TIME_AREA);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"checkLessonKeyEdit(12,-2,0)", "checkLessonKeyEdit(15,-2,0)"}));
}

TEST_F(FramelineLesson, AcceptedLeftDragMovesTheKeyAndReportsTheDrag) {
    dragKey(L, NONE, 20, {24});
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 24, 30}));
    EXPECT_EQ(nodeKeys(robot), (Times{0, 10, 24, 30}));
    EXPECT_EQ(lastEntry(robot), "kgiMoveKeyUndo(2, 20, 24)");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"checkLessonKeyEdit(-2,2,0)", "checkLessonKeyTime(exact)"}));

    host.calls.clear();
    dragKey(R, NONE, 24, {26});
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 26, 32}));
    EXPECT_EQ(lastEntry(robot), "kgiPushKeysUndo(2, 24, 26)");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"checkLessonKeyEdit(-2,2,2)", "checkLessonKeyTime"}));
}

TEST_F(FramelineLesson, PullCopyPanAndRefusedPressesStartNothing) {
    struct Case {
        const char* name;
        int button, mod, frame;
        bool accepts;
    } cases[] = {
        {"Shift with the right button", R, SHIFT, 20, true},
        {"Control with the left button", L, CONTROL, 20, true},
        {"the middle button", M, NONE, 20, true},
        {"no key under the pointer", L, NONE, 15, true},
        {"a move the lesson refuses", L, NONE, 20, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.lessonAccepts = c.accepts;
        press(c.button, c.mod, c.frame);
        EXPECT_EQ(line->getDragMode(), kgiGLFrameline::DRAG_NONE);
        moveTo(25);
        EXPECT_EQ(line->getFirst(), 0) << "no pan";
        release(c.button, 25);
        EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30}));
        EXPECT_EQ(lastEntry(robot), "none");
        EXPECT_EQ(host.count("checkLessonKeyTime(exact)") + host.count("checkLessonKeyTime"), 0);
    }
}

TEST_F(FramelineLesson, DropOnTheTrashDeletesNothingAndTheListMatchesTheNodes) {
    press(L, NONE, 20);
    moveTo(26, TRASH);
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 26, 30})) << "the drag moved it live";
    release(L, 26, TRASH);
    EXPECT_FALSE(line->isOverTrash());
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 10, 20, 30}));
    EXPECT_EQ(nodeKeys(robot), robot->getKeyTimes());
    EXPECT_EQ(lastEntry(robot), "none");
}

} // namespace
