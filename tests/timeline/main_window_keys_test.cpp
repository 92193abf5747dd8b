// The main window's keyboard: the shortcut table as plain logic, key events
// handed to the real window, a held key through the X server (whose
// auto-repeat sends a release and a press per repeat), and what Space and
// Ctrl+A leave on the time line.
#include "main_window_fixture.h"

#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiTimesheetKeys.h"

#include <chrono>
#include <string>
#include <vector>

using namespace kgiMainWindowTesting;
using W = kgiTimesheetWindow;
using Keys = kgiTimesheetKeys;

namespace {

constexpr unsigned SHIFT = 0x1;
constexpr unsigned CTRL = 0x4;
constexpr unsigned NUM_LOCK = 0x10;

constexpr unsigned SPACE = 0x20;
constexpr unsigned RETURN = 0xff0d;
constexpr unsigned HOME = 0xff50;
constexpr unsigned LEFT = 0xff51;
constexpr unsigned RIGHT = 0xff53;
constexpr unsigned PAGE_UP = 0xff55;
constexpr unsigned PAGE_DOWN = 0xff56;
constexpr unsigned END = 0xff57;
constexpr unsigned KP_HOME = 0xff95;
constexpr unsigned KP_PAGE_UP = 0xff9a;
constexpr unsigned KP_PAGE_DOWN = 0xff9b;
constexpr unsigned KP_END = 0xff9c;
constexpr unsigned SHIFT_L = 0xffe1;
constexpr unsigned CONTROL_R = 0xffe4;
constexpr unsigned ALT_L = 0xffe9;

TEST(MainWindowKeyTable, EveryRowWithAndWithoutCtrl) {
    struct Row {
        unsigned code;
        unsigned state;
        Keys::Action action;
        int command;
        bool latch;
    } rows[] = {
        {'d', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_DELETE_RANGE, true},
        {'y', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_COPY_RANGE, true},
        {'z', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_UNDO, true},
        {'r', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_REDO, true},
        {'c', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_COPY, true},
        {'x', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_CUT, true},
        {'v', CTRL, Keys::SEND_COMMAND, W::ID_KEYS_PASTE, true},
        {'a', CTRL, Keys::REFRESH_TIMELINE, 0, true},
        // A letter without Ctrl, and the upper case Shift gives: nothing.
        {'z', 0, Keys::NONE, 0, false},
        {'a', 0, Keys::NONE, 0, false},
        {'Z', CTRL | SHIFT, Keys::NONE, 0, false},
        {'q', CTRL, Keys::NONE, 0, false},
        {SPACE, 0, Keys::ADD_KEY, 0, true},
        {SPACE, CTRL, Keys::ADD_KEY, 0, true},
        {RETURN, 0, Keys::TOGGLE_PLAY, 0, true},
        {PAGE_UP, 0, Keys::PAGE_FORWARD, 0, false},
        {KP_PAGE_UP, 0, Keys::PAGE_FORWARD, 0, false},
        {PAGE_DOWN, 0, Keys::PAGE_BACK, 0, false},
        {KP_PAGE_DOWN, 0, Keys::PAGE_BACK, 0, false},
        {HOME, 0, Keys::GO_TO_START, 0, false},
        {KP_HOME, 0, Keys::GO_TO_START, 0, false},
        {END, 0, Keys::GO_TO_END, 0, false},
        {KP_END, 0, Keys::GO_TO_END, 0, false},
        {RIGHT, CTRL, Keys::NEXT_FRAME, 0, false},
        {LEFT, 0, Keys::PREV_FRAME, 0, false},
    };
    for (const Row& row : rows)
        for (unsigned extra : {0u, NUM_LOCK}) {
            SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << row.code << " state 0x" << (row.state | extra));
            const Keys::Result r = Keys::dispatch(row.code, row.state | extra, false, true);
            EXPECT_EQ(r.action, row.action);
            EXPECT_EQ(r.command, row.command);
            EXPECT_EQ(r.latch, row.latch);
            // Latched, every key is skipped and the latch stays.
            const Keys::Result skipped = Keys::dispatch(row.code, row.state | extra, true, true);
            EXPECT_EQ(skipped.action, Keys::SKIPPED);
            EXPECT_TRUE(skipped.latch);
        }
}

TEST(MainWindowKeyTable, LockedKeyboardRefusesAllButModifiersAndCtrlA) {
    for (unsigned code : {SHIFT_L, CONTROL_R, ALT_L}) EXPECT_EQ(Keys::dispatch(code, 0, false, false).action, Keys::NONE);
    for (unsigned code : {unsigned('z'), SPACE, RIGHT, PAGE_UP, unsigned('q')})
        EXPECT_EQ(Keys::dispatch(code, CTRL, false, false).action, Keys::LOCKED) << code;
    EXPECT_EQ(Keys::dispatch('a', CTRL, false, false).action, Keys::REFRESH_TIMELINE);
}

class MainWindowKeys : public kgiMainWindowTest {
protected:
    void TearDown() override {
        if (world) {
            world->setPlaying(false);
            world->setFrameRange(0.0f, 0.0f);
            world->setCurrentTime(0.0f);
        }
        if (app) app->getSettings().keysMax = keysMax;
        kgiMainWindowTest::TearDown();
    }

    long key(bool press, unsigned code, unsigned state, unsigned time) {
        FX::FXEvent e{};
        e.type = press ? FX::SEL_KEYPRESS : FX::SEL_KEYRELEASE;
        e.code = static_cast<FX::FXint>(code);
        e.state = static_cast<FX::FXint>(state);
        e.time = time;
        return window->handle(nullptr, FXSEL(press ? FX::SEL_KEYPRESS : FX::SEL_KEYRELEASE, 0), &e);
    }
    // A press and its release, at a time of their own.
    long tap(unsigned code, unsigned state = 0) {
        clock += 100;
        const long handled = key(true, code, state, clock);
        EXPECT_EQ(key(false, code, state, clock + 50), 0) << "a release goes on to the toolkit";
        return handled;
    }
    long press(unsigned code, unsigned state = 0) { return key(true, code, state, clock += 30); }
    void release(unsigned code, unsigned state = 0) { key(false, code, state, clock += 30); }

    // Keys 0, 10 and 20 with one step to undo (20 deleted, then 10 deleted and
    // undone) and one to redo: the state the history keys act on.
    void historyWithBothSteps() {
        robot->deleteKeys(0, 1000);
        keyAt({0, 10, 20});
        robot->getKeyUndo().clear();
        world->setCurrentTime(20);
        send(W::ID_KEYS_DELETE);
        world->setCurrentTime(10);
        send(W::ID_KEYS_DELETE);
        send(W::ID_KEYS_UNDO);
        world->setFrameRange(10.0f, 10.0f);
        ASSERT_EQ(keys(), (Times{0, 10}));
    }
    // What a user sees of the keys and the history.
    std::string outcome() {
        std::string s;
        for (float t : keys()) s += std::to_string(static_cast<int>(t)) + " ";
        const kutUndoEntry* last = robot->getKeyUndo().getLast();
        const kutUndoEntry* next = robot->getKeyUndo().getCurrent();
        s += std::string("| ") + (last ? last->getRtti()->getName() : "none");
        s += std::string(" | ") + (next ? next->getRtti()->getName() : "none");
        return s;
    }
    std::vector<std::pair<int, bool>>& sounds() { return fakes().sound.played; }
    static int lines(const std::string& text, const std::string& line) {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    }
    void lockKeyboard(bool refresh) {
        kgiMainCommandLocks locks;
        window->unlockAllCommands(locks);
        locks[52] = 0;
        locks[53] = refresh ? 1 : 0;
        window->updateCommandStates(locks);
    }

    unsigned clock = 1000;
    int keysMax = kgiTestApp() ? kgiTestApp()->getSettings().keysMax : 150;
};

TEST_F(MainWindowKeys, CtrlLettersActAsTheirCommands) {
    const struct {
        unsigned letter;
        int command;
    } rows[] = {
        {'c', W::ID_KEYS_COPY},       {'x', W::ID_KEYS_CUT},         {'v', W::ID_KEYS_PASTE},
        {'z', W::ID_KEYS_UNDO},       {'r', W::ID_KEYS_REDO},        {'y', W::ID_KEYS_COPY_RANGE},
        {'d', W::ID_KEYS_DELETE_RANGE},
    };
    historyWithBothSteps();
    const std::string untouched = outcome();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("Ctrl+") + static_cast<char>(row.letter));
        historyWithBothSteps();
        world->setCurrentTime(10);
        send(row.command);
        const std::string byCommand = outcome();
        if (row.command != W::ID_KEYS_COPY) {
            EXPECT_NE(byCommand, untouched) << "the command changes something";
        }
        historyWithBothSteps();
        world->setCurrentTime(10);
        EXPECT_EQ(tap(row.letter, CTRL), 1);
        EXPECT_EQ(outcome(), byCommand);
    }
    // Ctrl+Shift+Z gives the upper-case symbol: nothing.
    historyWithBothSteps();
    tap('Z', CTRL | SHIFT);
    EXPECT_EQ(outcome(), untouched);
}

TEST_F(MainWindowKeys, EditingKeysActOncePerPressArrowsOnEveryRepeat) {
    historyWithBothSteps();
    keyAt({30, 40});
    for (int i = 0; i < 2; ++i) {
        world->setCurrentTime(static_cast<float>(30 + 10 * i));
        send(W::ID_KEYS_DELETE);
    }
    ASSERT_EQ(keys(), (Times{0, 10}));

    // Repeated presses before one release (auto-repeat that reports no
    // releases): one undo, and a line for each press skipped.
    testing::internal::CaptureStderr();
    press('z', CTRL);
    press('z', CTRL);
    press('z', CTRL);
    release('z', CTRL);
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr(), "Skipping ky down event\n"), 2);
    EXPECT_EQ(keys(), (Times{0, 10, 40}));

    // X11's plain auto-repeat: each repeat is a release and a press at the
    // same instant. Still one undo until the real release.
    FX::FXuint t = clock += 100;
    key(true, 'z', CTRL, t);
    for (int i = 0; i < 3; ++i) {
        t += 33;
        key(false, 'z', CTRL, t);
        key(true, 'z', CTRL, t);
    }
    key(false, 'z', CTRL, t + 40);
    EXPECT_EQ(keys(), (Times{0, 10, 30, 40}));
    EXPECT_FALSE(window->isKeyLatched());

    // The arrows step on every press, either way; Left stops at frame 0.
    world->setCurrentTime(0);
    press(RIGHT);
    press(RIGHT);
    t = clock += 100;
    key(false, RIGHT, 0, t);
    key(true, RIGHT, 0, t);
    EXPECT_EQ(world->getCurrentTime(), 3.0f);
    for (int i = 0; i < 5; ++i) press(LEFT);
    release(LEFT);
    EXPECT_EQ(world->getCurrentTime(), 0.0f);
}

TEST_F(MainWindowKeys, HeldCtrlZThroughTheServerUndoesOnceAndHeldRightSteps) {
    keyAt({0, 10, 20});
    robot->getKeyUndo().clear();
    for (float f : {20.0f, 10.0f}) {
        world->setCurrentTime(f);
        send(W::ID_KEYS_DELETE);
    }
    ASSERT_EQ(keys(), (Times{0}));
    kgiTestFocus(window.get());
    // Held for longer than the server waits before it repeats.
    const auto hold = [](const char* keysym, int ms) {
        kgiTestKeyDown(keysym);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        kgiTestRunUntil([&] { return std::chrono::steady_clock::now() >= until; }, 1000000);
        kgiTestKeyUp(keysym);
    };
    testing::internal::CaptureStderr();
    kgiTestKeyDown("Control_L");
    hold("z", 1500);
    kgiTestKeyUp("Control_L");
    kgiTestRunUntil([&] { return !window->isKeyLatched(); });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_GT(lines(err, "Skipping ky down event\n"), 0) << "the server repeated the key";
    EXPECT_EQ(keys(), (Times{0, 10})) << "one undo";
    kgiTestKeyDown("Control_L");
    kgiTestKey("z");
    kgiTestKeyUp("Control_L");
    EXPECT_TRUE(kgiTestRunUntil([&] { return keys().size() == 3; })) << "the next press undoes the next step";

    world->setCurrentTime(0);
    hold("Right", 1500);
    EXPECT_GT(world->getCurrentTime(), 2.0f) << "a step per repeat";
}

TEST_F(MainWindowKeys, SpaceAddsAKeyWithItsSoundAndFrameRange) {
    world->setFrameRange(0.0f, 10.0f);
    world->setCurrentTime(7);
    sounds().clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(tap(SPACE), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(keys(), (Times{7}));
    EXPECT_EQ(std::string(robot->getKeyUndo().getLast()->getRtti()->getName()), "kgiAddKeyUndo");
    EXPECT_EQ(sounds(), (std::vector<std::pair<int, bool>>{{kgiApp::KEYSET_SOUND, false}}));
    EXPECT_NE(err.find("startframe: 0\n  endframe: 10\n"), std::string::npos) << err;
    EXPECT_TRUE(lesson().calls.empty()) << "the main window's Space reports no lesson action";
    send(W::ID_KEYS_UNDO);
    EXPECT_TRUE(keys().empty());

    // At the key limit: the box, no key, no sound and no entry to undo.
    keyAt({0, 3});
    robot->getKeyUndo().clear();
    app->getSettings().keysMax = 2;
    sounds().clear();
    services->boxes.clear();
    tap(SPACE);
    EXPECT_EQ(keys(), (Times{0, 3}));
    EXPECT_EQ(services->boxes, std::vector<std::string>{"Warning - 153|" + text(kgiLangKey::Wr_Keys_Max)});
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(robot->getKeyUndo().getLast(), nullptr);

    // Without a character nothing is added, but the press still latches.
    send(W::ID_UNLOAD);
    robot = nullptr;
    press(SPACE);
    EXPECT_TRUE(window->isKeyLatched());
    release(SPACE);
}

TEST_F(MainWindowKeys, LockedKeyboardPlaysTheNotGoodSoundButCtrlARefreshes) {
    keyAt({4, 9});
    world->setFrameRange(0.0f, 20.0f);
    lockKeyboard(true);
    sounds().clear();
    testing::internal::CaptureStderr();
    tap(SHIFT_L);
    tap(CONTROL_R);
    EXPECT_TRUE(sounds().empty()) << "modifiers alone";
    tap('z', CTRL);
    tap(RIGHT);
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr(), "The command is locked.\n"), 2);
    EXPECT_EQ(sounds().size(), 2u);
    EXPECT_EQ(world->getCurrentTime(), 0.0f);

    sounds().clear();
    tap('a', CTRL);
    EXPECT_EQ(range(), (Times{4, 9}));
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(lesson().count("nextStep"), 1);

    lockKeyboard(false);
    world->setFrameRange(0.0f, 20.0f);
    tap('a', CTRL);
    EXPECT_EQ(range(), (Times{0, 20}));
    EXPECT_EQ(sounds(), (std::vector<std::pair<int, bool>>{{kgiApp::NOT_GOOD_SOUND, false}}));
}

TEST_F(MainWindowKeys, ReturnPlaysAndStopsAndThePageKeysMoveTheOverview) {
    tap(RETURN);
    EXPECT_TRUE(world->isPlaying());
    tap(RETURN);
    EXPECT_FALSE(world->isPlaying());

    const kgiGLFrameline* overview = window->getCanvas()->getManager()->getOverviewLine();
    ASSERT_NE(overview, nullptr);
    ASSERT_EQ(overview->getFirst(), 0);
    tap(PAGE_UP);
    const int page = overview->getFirst();
    EXPECT_GT(page, 0) << "one page on";
    tap(KP_PAGE_UP);
    EXPECT_EQ(overview->getFirst(), 2 * page);
    tap(PAGE_DOWN);
    EXPECT_EQ(overview->getFirst(), page);
    tap(HOME);
    EXPECT_EQ(overview->getFirst(), 0);
    tap(PAGE_DOWN);
    EXPECT_EQ(overview->getFirst(), 0) << "not before frame 0";
}

TEST_F(MainWindowKeys, SpaceAtTwoFramesAndCtrlAShowTheRangeAndTheKeys) {
    ASSERT_EQ(send(W::ID_NEW), 1);
    robot = world->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    kgiTestFocus(window.get());
    // Each key is waited for: the server's events arrive when they do.
    kgiTestKey("space");
    ASSERT_TRUE(kgiTestRunUntil([&] { return keys().size() == 1; }));
    world->setCurrentTime(20);
    kgiTestKey("space");
    ASSERT_TRUE(kgiTestRunUntil([&] { return keys().size() == 2; }));
    kgiTestKeyDown("Control_L");
    kgiTestKey("a");
    kgiTestKeyUp("Control_L");
    ASSERT_TRUE(kgiTestRunUntil([&] { return world->getEndFrame() == 20.0f; }));
    ASSERT_EQ(keys(), (Times{0, 20}));
    ASSERT_EQ(range(), (Times{0, 20}));

    // Tall enough for every row of the time line.
    kgiTimesheetCanvas* canvas = window->getCanvas();
    window->resize(1024, 400);
    ASSERT_TRUE(kgiTestRunUntil([&] { return canvas->getHeight() >= 140; }));
    const long before = canvas->getPaintCount();
    canvas->update();
    kgiTestRunUntil([&] { return canvas->getPaintCount() > before; });
    const kgiTestImage shot = kgiTestGrab(canvas);
    shot.save("main_window_keys_range");

    // The playback row: frames 0 to 20 at 8 columns each, green above the
    // end triangles (rows 74 and 75).
    const kgiTestImage::Rgb GREEN{132, 199, 44};
    const kgiTestImage::Rgb RED{255, 0, 0};
    EXPECT_EQ(shot.count(0, 74, shot.width, 2, GREEN, 1), 21 * 8 * 2);
    EXPECT_EQ(shot.count(5, 74, 21 * 8, 2, GREEN, 1), 21 * 8 * 2) << "from frame 0's column";
    // The key cells of the lower line (rows 95 to 113) at both frames.
    const kgiGLFrameline* line = canvas->getManager()->getFrameLine();
    for (int f : {0, 20}) {
        const int c = line->columnOf(f);
        EXPECT_GE(shot.count(c, 95, 8, 19, RED), 7 * 19) << "key " << f;
    }
    EXPECT_EQ(shot.count(line->columnOf(1), 95, 19 * 8, 19, RED), 0) << "no key between";
}

} // namespace
