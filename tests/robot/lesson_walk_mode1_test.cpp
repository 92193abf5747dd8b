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
// its page 2 (which lets the go-to-start button be used) is there.
void writeSteps(Walk& walk) { walk.writeStepFile(MODE, FINAL_STEP, {{FINAL_STEP, 3}}); }

TEST(LessonWalkRig, TheFixtureStepFileReadsAsTheWalkNamesItsPages) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    writeSteps(walk);
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

} // namespace
