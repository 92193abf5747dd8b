// Lesson 1, samples and playback, walked through as a user walks it: the
// introduction (the view turned, two pages spoken), the tool bar's Option
// button, sample No.13 chosen in the sample list (a wrong row first), read,
// played, and the closing text until the editor is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiGLFrameButtons.h"
#include "kgiOptionsDialog.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <vector>

namespace {

constexpr int MODE = 1;
constexpr int FINAL_STEP = 5;
// The sample the lesson asks for, 1-based as the text names it.
constexpr int ANSWER = 13;

using Walk = kgiLessonWalk;

// The walk's fixture step file: the closing text has three pages, so that
// its page 2 (which lets the go-to-start button be used) is there, as in
// the shipped file.
void useSteps(Walk& walk) { walk.useStepFile(MODE, FINAL_STEP, {{FINAL_STEP, 3}}); }

#ifndef KGI_WALK_SHIPPED
TEST(LessonWalkRig, TheFixtureStepFileReadsAsTheWalkNamesItsPages) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    useSteps(walk);
    kgiApp& app = walk.app();
    kgiLessonTexts t;
    ASSERT_TRUE(t.readFile(kgiLessonManager::stepFilePath(app.getBaseDir(), app.getModelId(), 0, MODE), true));
    struct Slot {
        int bank, page, step;
        std::string line;  // empty: no text there
    };
    const Slot slots[] = {
        {0, 0, 0, Walk::label(MODE, 0, 0)},  {0, 1, 0, Walk::label(MODE, 0, 1)},
        {0, 2, 0, ""},                       {0, 0, 1, Walk::label(MODE, 1, 0)},
        {0, 1, 1, ""},                       {0, 2, FINAL_STEP, Walk::label(MODE, FINAL_STEP, 2)},
        {0, 0, FINAL_STEP + 1, ""},          {1, 0, Walk::NOTICE, Walk::noticeLabel(MODE, Walk::NOTICE, 0)},
        {0, 0, Walk::NOTICE, ""},
    };
    for (const Slot& s : slots) {
        const std::string expected = s.line.empty() ? "" : s.line + "\n";
        EXPECT_EQ(t.get(s.bank, 0, s.page, s.step), expected) << s.bank << "," << s.page << "," << s.step;
        EXPECT_EQ(t.get(s.bank, 1, s.page, s.step), expected) << "speech " << s.bank << "," << s.page << "," << s.step;
    }
    // Outside a lesson the windows show every command enabled.
    app.showOptionsDialog(true);
    ASSERT_NE(walk.optionsDialog(), nullptr);
    walk.idle(2);
    EXPECT_FALSE(app.isLessonMode());
    EXPECT_EQ(walk.mainEnabled(), Walk::allMainBytes());
    EXPECT_EQ(walk.optionsEnabled(), walk.allOptionsBytes());
    EXPECT_TRUE(walk.allMainBytes().count(8)) << "the Option button";
    EXPECT_TRUE(walk.allOptionsBytes().count(10)) << "the sample list";
    app.showOptionsDialog(false);
}
#endif

// One ordinary step: what its set-up shows, a wrong action (when the row
// has one) that keeps the step, and the action that ends it.
struct Row {
    const char* name;
    int step;
    std::set<int> main;     // main-window bytes enabled
    std::set<int> options;  // options-window bytes enabled (while it exists)
    std::function<void(Walk&)> wrong;
    bool wrongShowsText;    // the wrong action shows the step's text again
    std::function<void(Walk&)> act;
    std::function<void(Walk&)> after;  // what the action left besides the step
};

TEST(KGI_WALK_SUITE(LessonWalk), Mode1SamplesAndPlayback) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    useSteps(walk);
    kgiWorld& world = walk.world();

    // The introduction: the editor locked, canvas 0 turned, and the first
    // page only after two seconds of the clock.
    const float startedAt = walk.now();
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step1");
    EXPECT_EQ(walk.step(), 0);
    EXPECT_TRUE(walk.waiting());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_EQ(walk.shown().size(), 1u);
    const kgiWalkText intro = walk.shown()[0];
    EXPECT_EQ(intro.line(), walk.pageLine(0, 0));
    EXPECT_EQ(intro.speech, intro.text);
    EXPECT_EQ(intro.x, 350);
    EXPECT_EQ(intro.y, 40);
    EXPECT_EQ(intro.colour, 0);
    EXPECT_GE(intro.clock - startedAt, 2.0f);
    // Canvas 0 stepped back 4 from where start-up centred it, not turned.
    const std::vector<float> view = walk.viewMatrix();
    const std::vector<float>& centred = walk.centredView();
    ASSERT_EQ(view.size(), 16u);
    ASSERT_EQ(centred.size(), 16u);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_NEAR(view[i], centred[i], 1e-4f) << "rotation " << i;
    const float moved = std::hypot(view[12] - centred[12], view[13] - centred[13], view[14] - centred[14]);
    EXPECT_NEAR(moved, 4.0f, 1e-3f);

    // Page 1 once page 0 has been spoken, then step 1.
    ASSERT_TRUE(walk.walkIntroduction());
    EXPECT_EQ(walk.shown().size(), 3u) << "two pages, then step 1";

    const std::vector<Row> rows = {
        {"Options button", 1, {8}, {},
         // The play button is locked: the wrong answer, and nothing plays.
         [](Walk& w) {
             EXPECT_FALSE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY));
             EXPECT_FALSE(w.world().isPlaying());
         },
         false, [](Walk& w) { w.mainCommand(kgiTimesheetWindow::ID_OPTIONS); },
         [](Walk& w) {
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_TRUE(w.optionsDialog()->shown());
         }},
        {"Answer 13", 2, {}, {0, 10}, [](Walk& w) { ASSERT_TRUE(w.chooseSample(ANSWER - 2)); }, true,
         [](Walk& w) { ASSERT_TRUE(w.chooseSample(ANSWER - 1)); }, nullptr},
        {"Read sample", 3, {53}, {0, 7}, nullptr, false,
         [](Walk& w) { w.optionsCommand(kgiOptionsDialog::ID_SAMPLE_READ); },
         [](Walk& w) { EXPECT_GT(w.world().getLastKeyTime(), 0.0f) << "the sample's keys"; }},
        {"Play", 4, {}, {},
         // The go-to-start button is still locked.
         [](Walk& w) { EXPECT_FALSE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN)); }, false,
         [](Walk& w) { EXPECT_TRUE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY)); },
         [](Walk& w) { EXPECT_TRUE(w.world().isPlaying()); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == row.step && walk.waiting(); }));
        walk.idle(2);
        const kgiWalkText text = walk.lastShown();
        EXPECT_EQ(text.line(), walk.pageLine(row.step, 0));
        EXPECT_EQ(text.y, 40);
        EXPECT_EQ(text.colour, 0);
        EXPECT_EQ(walk.mainEnabled(), row.main);
        if (walk.optionsDialog()) {
            EXPECT_EQ(walk.optionsEnabled(), row.options);
        }
        walk.setSpeaking(false);

        if (row.wrong) {
            const std::size_t sounds = walk.soundMark();
            const std::size_t texts = walk.textMark();
            row.wrong(walk);
            walk.idle(2);
            EXPECT_EQ(walk.step(), row.step);
            EXPECT_TRUE(walk.waiting());
            EXPECT_EQ(walk.soundsSince(sounds), std::vector<int>{Walk::NG});
            const std::vector<kgiWalkText> again = walk.textsSince(texts);
            if (row.wrongShowsText) {
                ASSERT_EQ(again.size(), 1u);
                EXPECT_EQ(again[0].line(), walk.pageLine(row.step, 0));
                EXPECT_EQ(again[0].y, 40);
            } else {
                EXPECT_TRUE(again.empty());
            }
            walk.setSpeaking(false);
        }

        const std::size_t sounds = walk.soundMark();
        row.act(walk);
        EXPECT_EQ(walk.step(), row.step + 1);
        EXPECT_FALSE(walk.waiting());
        EXPECT_EQ(walk.soundsSince(sounds), std::vector<int>{Walk::OK});
        if (row.after) row.after(walk);
    }

    // The closing text, whatever step it is asked for at.
    walk.app().setLessonStep(FINAL_STEP + 3);
    walk.idle(2);
    EXPECT_EQ(walk.step(), FINAL_STEP);
    ASSERT_TRUE(world.isPlaying());
    // Going to the start is allowed only once the third page shows.
    const auto toStartOnPage2 = [&](int page) {
        EXPECT_EQ(walk.manager().getPermission(3), page == 2) << "page " << page;
    };
    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP, toStartOnPage2));
    EXPECT_EQ(walk.titleSuffix(), "     Step1") << "the suffix once";
    EXPECT_EQ(walk.services().boxes, std::vector<std::string>{}) << "no box on the way";
}

} // namespace
