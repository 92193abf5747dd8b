// Lesson 6, the normal course, walked through as a user walks it: the
// course scene beside the robot and the view turned to it, the tool bar's
// Option button, sample No.34 read and No.10 added twice (a wrong row first
// each time), the time line's go-to-start and play buttons, the start
// signal, the stopwatch and the goal, and the closing text until the editor
// is unlocked again.
#include "lesson_walk_course.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int MODE = 6;
constexpr int FINAL_STEP = 10;

using Walk = kgiLessonWalk;
namespace cw = course_walk;

TEST(LessonWalk, Mode6NormalCourse) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.writeStepFile(MODE, FINAL_STEP);

    const float startedAt = walk.now();
    ASSERT_TRUE(walk.start(MODE));
    cw::expectCourseLoaded(walk);
    cw::expectViewTurned(walk);
    cw::expectCourseSounds(walk);
    cw::walkIntroduction(walk, MODE, "Scene1", startedAt);

    const std::vector<cw::Row> rows = {
        cw::optionsButton(1),
        cw::answer(2, 34),
        cw::sampleCommand(3, true),
        cw::answer(4, 10),
        cw::sampleCommand(5, false),
        cw::answer(6, 10),
        cw::sampleCommand(7, false),
        cw::toStart(8),
        cw::play(9, walk.manager()),
    };
    cw::walkRows(walk, MODE, rows);
    ASSERT_FALSE(HasFatalFailure());
    cw::expectCourseRun(walk);

    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Scene1") << "the suffix once";
    cw::expectCourseLoaded(walk);
}

} // namespace
