// Lesson 6, the normal course, walked through as a user walks it: the
// course scene beside the robot and the view turned to it, the tool bar's
// Option button, sample No.34 read and No.10 added twice (a wrong row first
// each time), the time line's go-to-start and play buttons, the start
// signal, the stopwatch and the goal, and the closing text until the editor
// is unlocked again.
#include "lesson_walk_course.h"

#include <gtest/gtest.h>

namespace {

using namespace course_walk;

TEST(KGI_WALK_SUITE(LessonWalk), Mode6NormalCourse) {
    KGI_REQUIRE_TEST_APP();
    walkCourse(6, "Scene1", 10, [](const Signal& signal) {
        return steps({
            optionsButton(1),
            answer(2, 34, 33),
            sampleCommand(3, true),
            answer(4, 10, 9),
            sampleCommand(5, false),
            answer(6, 10, 11),
            sampleCommand(7, false),
            toStart(8),
            play(9, signal),
        });
    });
}

} // namespace
