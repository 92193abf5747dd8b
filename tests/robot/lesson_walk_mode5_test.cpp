// Lesson 5, posing, walked through as a user walks it on the bow (keys at
// frames 0, 15, 45 and 75): the bow played, the time line clicked at the
// last key's frame (a click elsewhere first), the pose keyed with Space in
// the 3D window (refused before posing is offered), back to the start, the
// bow played from frame 0, and the closing text until the editor is
// unlocked again.
#include "lesson_walk_rig.h"

#include "kgi3dCanvas.h"
#include "kgiCharacter.h"
#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiWorld.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

constexpr int MODE = 5;
constexpr int FINAL_STEP = 6;
constexpr int UPPER = 40;
constexpr int LAST_KEY = 75;
// The X keysym of the space bar.
constexpr int SPACE = 0x20;

using Walk = kgiLessonWalk;
using Keys = std::vector<float>;
using Action = std::function<void(Walk&)>;
constexpr int OK = Walk::OK;
constexpr int NG = Walk::NG;
constexpr int KEYSET = kgiApp::KEYSET_SOUND;

kgiCharacter& bow(Walk& walk) { return *walk.world().getCurrentCharacter(); }

Action pressFrameButton(int button) {
    return [button](Walk& w) { w.pressFrameButton(button); };
}

// A left click in the time area of the time line's frame line.
Action clickTime(int frame) {
    return [frame](Walk& w) {
        const Walk::Point p = w.timePoint(frame);
        w.timelinePress(kgiGLWidget::BUTTON_LEFT, p.x, p.y);
        w.timelineRelease(kgiGLWidget::BUTTON_LEFT, p.x, p.y);
    };
}

// Space pressed and let go in the 3D window of canvas 0, as the toolkit
// hands the keys to it.
void spaceIn3dWindow(Walk& walk) {
    static unsigned time = 1000;
    auto* canvas = dynamic_cast<kgi3dCanvas*>(walk.app().getCanvases().at(0));
    ASSERT_NE(canvas, nullptr);
    FX::FXWindow* window = canvas->getShell();
    FX::FXEvent e{};
    e.type = FX::SEL_KEYPRESS;
    e.code = SPACE;
    e.time = ++time;
    window->handle(window, FXSEL(FX::SEL_KEYPRESS, 0), &e);
    e.type = FX::SEL_KEYRELEASE;
    e.time = ++time;
    window->handle(window, FXSEL(FX::SEL_KEYRELEASE, 0), &e);
}

Action timeIs(float frame) {
    return [frame](Walk& w) { EXPECT_EQ(w.world().getCurrentTime(), frame); };
}

TEST(KGI_WALK_SUITE(LessonWalkMode5), TheLastKeyClickedOnTheTimeLineThenKeyedFromThe3dView) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.useStepFile(MODE, FINAL_STEP);

    // The introduction: the bow imported, two pages spoken, then step 1.
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step5");
    EXPECT_EQ(bow(walk).getKeyTimes(), (Keys{0, 15, 45, LAST_KEY}));
    ASSERT_TRUE(walk.walkIntroduction());

    using Shown = kgiWalkRow::Shown;
    const std::set<int> none;
    const Shown at2{2, UPPER}, at3{3, UPPER}, at4{4, UPPER}, at5{5, UPPER};
    const std::vector<kgiWalkRow> rows = {
        {"play", 1, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {OK}, 2, true, {at2}},
        // Posing is not offered yet: the key is refused without a sound.
        {"Space before posing", 2, none, none, spaceIn3dWindow, {}, 2, false, {},
         [](Walk& w) { EXPECT_FALSE(w.app().isViewEditAllowed(false)); }},
        {"click at frame 40", 2, none, none, clickTime(40), {NG}, 2, false, {},
         [](Walk& w) { EXPECT_NE(w.world().getCurrentTime(), 40.0f); }},
        {"click on the last key's frame", 2, none, none, clickTime(LAST_KEY), {OK}, 3, false, {at3},
         [](Walk& w) {
             EXPECT_EQ(w.world().getCurrentTime(), float(LAST_KEY));
             EXPECT_TRUE(w.app().isViewEditAllowed(false));
         }},
        {"Space keys the pose", 3, none, none, spaceIn3dWindow, {OK, KEYSET}, 4, false, {at4},
         [](Walk& w) { EXPECT_EQ(bow(w).getKeyTimes(), (Keys{0, 15, 45, LAST_KEY})); }},
        // The time moves on before step 5 sets itself up: it plays from 0.
        {"to the start", 4, none, none,
         [](Walk& w) {
             w.pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN);
             w.world().setCurrentTime(30.0f);
         },
         {OK}, 5, false, {at5}, timeIs(0.0f)},
        {"play", 5, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {OK}, FINAL_STEP, true},
    };
    ASSERT_TRUE(walk.walkRows(FINAL_STEP, rows));

    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Step5") << "the suffix once";
}

} // namespace
