// Lesson 1 on the screen as a user sees it at its first step: the real
// message plug-in's window (through the program's host, kgiMsgWindowHost,
// not the walk's recording stand-in) at its place in pale yellow with the
// step's text, and the main window's tool bar greyed but for the Option
// button. The picture of the whole screen is kept beside the test's output
// (lesson1_step1.png).
#include "lesson_walk_rig.h"

#include "kgiMsgWindowHost.h"
#include "kgiTimesheetWindow.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int MODE = 1;
constexpr int FINAL_STEP = 5;
constexpr int OPTION_FLAG = 8;
const kgiTestImage::Rgb PALE_YELLOW{255, 255, 204};

using Walk = kgiLessonWalk;

// Text, an outline or a coloured picture: what an enabled button draws and
// the toolkit's etched drawing of a disabled one does not.
bool ink(const kgiTestImage::Rgb& p) {
    const int lo = std::min({p[0], p[1], p[2]});
    const int hi = std::max({p[0], p[1], p[2]});
    return p[0] + p[1] + p[2] < 200 || hi - lo > 60;
}

// Where a widget is on the screen (no window manager: root coordinates).
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};
Rect onScreen(const FX::FXWindow* w) {
    Rect r;
    w->getParent()->translateCoordinatesTo(r.x, r.y, w->getApp()->getRootWindow(), w->getX(), w->getY());
    r.w = w->getWidth();
    r.h = w->getHeight();
    return r;
}

int inkIn(const kgiTestImage& shot, const Rect& r) {
    int n = 0;
    for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, shot.height); ++y)
        for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, shot.width); ++x) n += ink(shot.at(x, y));
    return n;
}

// The tool-bar buttons the main window's record governs, by flag.
std::vector<std::pair<int, Rect>> governedButtons(const kgiTimesheetWindow& main) {
    std::vector<std::pair<int, Rect>> out;
    for (int flag : Walk::allMainBytes())
        for (int b = 0; b < kgiTimesheetWindow::BUTTON_COUNT; ++b)
            if (main.getButton(b) && main.lockWidget(flag) == main.getButton(b))
                out.emplace_back(flag, onScreen(main.getButton(b)));
    return out;
}

// The whole screen once ready() holds of it, letting the program and the
// server draw in between; the last picture after a generous bound.
kgiTestImage screenWhen(Walk& walk, const std::function<bool(const kgiTestImage&)>& ready) {
    kgiTestImage shot;
    for (int i = 0; i < 200; ++i) {
        walk.idle(1);
        shot = kgiTestGrab(walk.app().getRootWindow());
        if (!shot.empty() && ready(shot)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return shot;
}

TEST(LessonWalkScreen, StepOneShowsThePaleYellowWindowAndOnlyTheOptionButton) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.writeStepFile(MODE, FINAL_STEP);
    kgiApp& app = walk.app();
    kgiTimesheetWindow& main = walk.mainWindow();

    // Outside a lesson every governed button draws its picture or caption,
    // so a button without any is a greyed one.
    const std::vector<std::pair<int, Rect>> buttons = governedButtons(main);
    ASSERT_EQ(buttons.size(), 9u) << "open, save, undo, redo, copy, cut, paste, zoom, option";
    const kgiTestImage unlocked = screenWhen(walk, [&](const kgiTestImage& s) {
        return std::all_of(buttons.begin(), buttons.end(), [&](const auto& b) { return inkIn(s, b.second) > 0; });
    });
    for (const auto& [flag, rect] : buttons) EXPECT_GT(inkIn(unlocked, rect), 0) << "button of flag " << flag;

    // The program's own host of the message plug-in, made at start-up.
    ASSERT_EQ(app.getMsgWindowHost(), nullptr);
    kgiAppMakers makers = app.getMakers();
    makers.msgWindowHost = []() -> kgiMessageHost* { return new kgiMsgWindowHost(); };
    app.setMakers(makers);
    ASSERT_TRUE(walk.start(MODE));
    auto* host = dynamic_cast<kgiMsgWindowHost*>(app.getMsgWindowHost());
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(host->isBound()) << "the plug-in beside the test program";

    // The introduction's two pages, each while it is spoken for real, then
    // step 1's set-up on the next pass.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!(walk.step() == 1 && walk.waiting()) && std::chrono::steady_clock::now() < deadline) {
        walk.idle(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(walk.step(), 1);
    ASSERT_TRUE(walk.waiting());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{OPTION_FLAG});

    // One line of text: 568 x 22 at (350, 40).
    const int x = kgiLessonManager::MESSAGE_X, y = kgiLessonManager::MESSAGE_Y_UPPER;
    const int width = kgiMsgWindowHost::WINDOW_WIDTH + 4;
    const int height = kgiMsgWindowHost::windowHeight((Walk::label(MODE, 1, 0) + "\n").c_str());
    ASSERT_EQ(height, kgiMsgWindowHost::LINE_HEIGHT + kgiMsgWindowHost::EXTRA_HEIGHT);
    const Rect message{x, y, width, height};
    const Rect line{x, y, width, kgiMsgWindowHost::LINE_HEIGHT};
    auto shown = [&](const kgiTestImage& s) {
        return s.at(x, y) == PALE_YELLOW && s.at(x + width - 1, y + height - 1) == PALE_YELLOW && inkIn(s, line) > 0;
    };
    const kgiTestImage shot = screenWhen(walk, shown);
    EXPECT_FALSE(shot.save("lesson1_step1").empty());
    ASSERT_FALSE(shot.empty());
    EXPECT_TRUE(shown(shot)) << "the message window at (" << x << ", " << y << ") with its text";
    // Exactly there: the pixels beyond its corners are the program's.
    EXPECT_NE(shot.at(x - 1, y), PALE_YELLOW);
    EXPECT_NE(shot.at(x + width, y + height - 1), PALE_YELLOW);
    EXPECT_NE(shot.at(x, y + height), PALE_YELLOW);
    // Its face is pale yellow but for the text.
    EXPECT_GE(shot.count(x, y, width, height, PALE_YELLOW) + inkIn(shot, message), width * height * 9 / 10);

    // The tool bar greyed but for the Option button.
    for (const auto& [flag, rect] : buttons) {
        if (flag == OPTION_FLAG)
            EXPECT_GT(inkIn(shot, rect), 0) << "the Option button";
        else
            EXPECT_EQ(inkIn(shot, rect), 0) << "button of flag " << flag;
    }

    // The window emptied and silent again before the process ends.
    app.resetMessageWindow();
}

} // namespace
