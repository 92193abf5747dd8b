// Lesson 7, the obstacle course, walked through as a user walks it: the
// course scene beside the robot and the view turned to it, the tool bar's
// Option button, sample No.39 read and No.35, No.10, No.36 and No.10 added
// (a wrong row first each time), the time line's go-to-start and play
// buttons, the start signal, the stopwatch and the goal, and the closing
// text until the editor is unlocked again.
#include "lesson_walk_course.h"

#include <gtest/gtest.h>

namespace {

using namespace course_walk;

TEST(KGI_WALK_SUITE(LessonWalk), Mode7ObstacleCourse) {
    KGI_REQUIRE_TEST_APP();
    walkCourse(7, "Scene2", 14, [](const Signal& signal) {
        return steps({
            optionsButton(1),
            answer(2, 39, 38),
            sampleCommand(3, true),
            answer(4, 35, 34),
            sampleCommand(5, false),
            answer(6, 10, 35),
            sampleCommand(7, false),
            answer(8, 36, 10),
            sampleCommand(9, false),
            answer(10, 10, 36),
            sampleCommand(11, false),
            toStart(12),
            play(13, signal),
        });
    });
}

} // namespace
