// Lesson 1's instructions on a desktop, with and without a window manager:
// the real message plug-in's window (through the program's host) stays
// above "Time Line", "3DView" and the options window while the user clicks
// in them, as the lesson asks, and never takes the keyboard focus from
// them, not even when it is clicked itself.
#include "lesson_walk_rig.h"

#include "kgiLessonManager.h"
#include "kgiMsgWindowHost.h"
#include "kgiOptionsDialog.h"
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int MODE = 1;
constexpr int FINAL_STEP = 5;
constexpr int OPTION_BUTTON = 8;
const kgiTestImage::Rgb PALE_YELLOW{255, 255, 204};

using Walk = kgiLessonWalk;

class LessonMessageUnderWm : public ::testing::TestWithParam<kgiTestWm> {};

// A top-level window of the application by its toolkit class.
FX::FXWindow* shellOfClass(kgiApp& app, const char* className) {
    for (FX::FXWindow* w = app.getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->shown() && std::strcmp(w->getClassName(), className) == 0) return w;
    return nullptr;
}

// A click where a user makes it: pointer there, button down and up.
void click(const FX::FXWindow* w, int x, int y) {
    kgiTestMovePointer(w, x, y);
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
}

// Idle passes of the walk for about a second of real time, as a user
// looks at the screen.
void look(Walk& walk) {
    for (int i = 0; i < 50; ++i) {
        walk.idle(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST_P(LessonMessageUnderWm, TheInstructionsStayAboveTheProgramsWindowsAndNeverTakeTheFocus) {
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    const std::string way = kgiTestWmName(GetParam());
    Walk& walk = Walk::get();
    walk.writeStepFile(MODE, FINAL_STEP);
    kgiApp& app = walk.app();
    kgiTimesheetWindow& main = walk.mainWindow();
    kgiAppMakers makers = app.getMakers();
    makers.msgWindowHost = []() -> kgiMessageHost* { return new kgiMsgWindowHost(); };
    app.setMakers(makers);
    ASSERT_TRUE(walk.start(MODE));
    ASSERT_NE(dynamic_cast<kgiMsgWindowHost*>(app.getMsgWindowHost()), nullptr);
    // The introduction's pages, each spoken for real, then step 1.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!(walk.step() == 1 && walk.waiting()) && std::chrono::steady_clock::now() < deadline) {
        walk.idle(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(walk.step(), 1);
    ASSERT_TRUE(walk.waiting());

    FX::FXWindow* message = shellOfClass(app, "kgiMsgDlg");
    ASSERT_NE(message, nullptr) << "the plug-in's window";
    FX::FXWindow* view = shellOfClass(app, "kgi3dWindow");
    ASSERT_NE(view, nullptr);
    // The user works in the main window; the focus is there.
    kgiTestFocus(&main);
    const unsigned long mainFocus = kgiTestFocusWindow();
    ASSERT_NE(mainFocus, message->id());

    auto above = [&](const FX::FXWindow* other) { return kgiTestStackedAbove(message, other); };
    auto notFocused = [&] {
        const unsigned long focus = kgiTestFocusWindow();
        return focus != message->id() && focus != kgiTestScreenWindow(message);
    };
    EXPECT_TRUE(above(&main));
    EXPECT_TRUE(above(view));
    EXPECT_TRUE(notFocused());

    // Step 1 asks for the Options button: the window opens and step 2's
    // instruction replaces step 1's.
    FX::FXButton* option = main.getButton(OPTION_BUTTON);
    ASSERT_NE(option, nullptr);
    click(option, option->getWidth() / 2, option->getHeight() / 2);
    ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == 2 && walk.waiting(); })) << "the Options button";
    kgiOptionsDialog* options = walk.optionsDialog();
    ASSERT_NE(options, nullptr);
    look(walk);
    EXPECT_TRUE(above(&main)) << "after the Options button";
    EXPECT_TRUE(above(view)) << "after the Options button";
    EXPECT_TRUE(above(options)) << "over the options window it opened";
    EXPECT_TRUE(notFocused()) << "after the Options button";

    // Clicks in each of the program's windows, and on the instructions.
    struct Click {
        const char* where;
        FX::FXWindow* window;
        int x, y;
    };
    kgiTimesheetCanvas* timeline = main.getCanvas();
    const Click clicks[] = {
        {"the time line", timeline, timeline->getWidth() - 40, 10},
        {"the 3D view", view, 30, 30},
        {"the options window", options, options->getWidth() / 2, options->getHeight() - 4},
        {"the main window's menu bar", &main, main.getWidth() - 100, 4},
        {"the instructions", message, message->getWidth() - 20, message->getHeight() / 2},
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.where);
        const unsigned long focusBefore = kgiTestFocusWindow();
        click(c.window, c.x, c.y);
        look(walk);
        EXPECT_TRUE(above(&main));
        EXPECT_TRUE(above(view));
        EXPECT_TRUE(above(options));
        EXPECT_TRUE(notFocused());
        if (c.window == message) {
            EXPECT_EQ(kgiTestFocusWindow(), focusBefore) << "the focus stayed where it was";
        }
    }

    // What the user sees: the instruction on top of the main window.
    const kgiTestImage shot = kgiTestGrab(app.getRootWindow());
    shot.save("lesson1_instructions_" + way);
    const int x = kgiLessonManager::MESSAGE_X, y = kgiLessonManager::MESSAGE_Y_UPPER;
    EXPECT_EQ(shot.at(x + 2, y + 2), PALE_YELLOW);
    EXPECT_EQ(shot.at(x + message->getWidth() - 3, y + message->getHeight() - 3), PALE_YELLOW);
    EXPECT_EQ(walk.step(), 2) << "no click was taken for an answer";

    // The window emptied and silent again; the lesson's options window
    // goes with the lesson.
    app.resetMessageWindow();
    app.deleteOptionsDialog();
}

KGI_BOTH_WAYS(LessonMessageUnderWm);

} // namespace
