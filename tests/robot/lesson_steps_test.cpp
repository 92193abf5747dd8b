// The step engine's timing on the manager's own clock, with the recording
// stand-ins: the introduction's wait and pages, a step that sets itself up
// only once playback has stopped, and the final step's rules.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiWorld.h"

#include "lesson_rig_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int UPPER = kgiLessonManager::MESSAGE_Y_UPPER;

// Two introduction pages, one for step 3 of lesson 2, and a final step
// (10 in lesson 2, 5 in lesson 1) of two pages.
const char* const STEPS =
    "[0]\n:0,0,0\nintro one\n:0,0,1\nintro two\n"
    "[3]\n:0,0,0\nthree\n"
    "[5]\n:0,0,0\nbye\n:0,0,1\nbye two\n:0,0,2\nbye three\n"
    "[10]\n:0,0,0\nbye\n:0,0,1\nbye two\n";

void introduction() {
    LessonRig r;
    r.texts(STEPS);
    kgiLessonManager& m = r.manager;
    m.setMode(2);
    m.setStep(0);

    // Its text shows only once the manager's clock has passed 2 s since it
    // began: read a few times, the stepping clock ends the wait (a wait on
    // real time would not end at all, or not before 2 s).
    int reads = 0;
    m.setClock([&] { ++reads; return r.clock += 0.75f; });
    m.runStep();
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("intro one", UPPER)});
    CHILD_CHECK(m.isWaiting() && m.getStep() == 0 && reads <= 6);
    CHILD_CHECK(r.clock - m.getStepTimer() > 2.0f);

    // While it speaks nothing moves, however long; then the second page,
    // and after that step 1 (no repeat of page 0).
    m.setClock([&] { return r.clock; });
    r.clearRecords();
    r.rig.fakes.message.speaking = true;
    r.clock += 100.0f;
    m.runStep();
    CHILD_CHECK(r.shown().empty() && m.getStep() == 0 && m.getPage() == 0);
    r.rig.fakes.message.speaking = false;
    m.runStep();
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("intro two", UPPER)});
    CHILD_CHECK(m.getStep() == 0 && m.getPage() == 1 && m.isWaiting());
    m.runStep();
    CHILD_CHECK(m.getStep() == 1 && !m.isWaiting() && m.getPage() == 0);
    CHILD_CHECK(r.shown().size() == 1 && m.getRepeatDelay() == kgiLessonManager::REPEAT_DELAY);
}

TEST(LessonSteps, TheIntroductionWaitsTwoSecondsOfItsClockAndEndsAfterItsLastPage) {
    EXPECT_IN_CHILD(introduction);
}

void untilStopped() {
    LessonRig r;
    r.texts(STEPS);
    r.app().createOptionsDialog();
    kgiLessonManager& m = r.manager;
    kgiWorld* world = kgiWorld::instance();
    m.setMode(2);
    m.setStep(3);

    // Lesson 2's step 3 shows nothing while the world plays...
    world->setPlaying(true);
    for (int i = 0; i < 3; ++i) m.runStep();
    CHILD_CHECK(r.shown().empty() && !m.isWaiting() && m.getRestartStep() == 0);
    // ...and sets itself up on the first run after playback stopped: the
    // robot tab and the COM port box only, its text, the restart step.
    world->setPlaying(false);
    m.runStep();
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("three", UPPER)});
    CHILD_CHECK(m.isWaiting() && m.getRestartStep() == 3);
    CHILD_CHECK(r.rig.fakes.options.applied.size() == 1);
    kgiOptionsCommandFlags expected;
    expected[4] = expected[16] = 1;
    CHILD_CHECK(r.rig.fakes.options.applied.back() == expected);

    // Lesson 4's step 9 keeps its timer fresh on every run until it is set
    // up, playing or not.
    m.setMode(4);
    m.setStep(9);
    world->setPlaying(true);
    r.clock = 30.0f;
    m.runStep();
    CHILD_CHECK(m.getStepTimer() == 30.0f && !m.isWaiting() && !m.getShowNextAtLower());
    world->setPlaying(false);
    r.clock = 31.0f;
    m.runStep();
    CHILD_CHECK(m.getStepTimer() == 31.0f && m.isWaiting() && m.getShowNextAtLower());
}

TEST(LessonSteps, AStepThatWaitsForPlaybackToStopShowsNothingUntilThen) {
    EXPECT_IN_CHILD(untilStopped);
}

void finalStep() {
    LessonRig r;
    r.texts(STEPS);
    kgiLessonManager& m = r.manager;
    kgiWorld* world = kgiWorld::instance();
    m.setMode(2);
    m.setStep(10);
    m.setAnswersActive(true);
    m.setStepTimer(0.0f);

    // Not before 4 s, nor while the world plays.
    r.clock = 4.0f;
    m.runStep();
    world->setPlaying(true);
    r.clock = 9.0f;
    m.runStep();
    CHILD_CHECK(r.shown().empty() && !m.isWaiting());
    world->setPlaying(false);
    m.runStep();
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("bye", UPPER)});
    CHILD_CHECK(m.isWaiting() && !m.getAnswersActive() && m.getStepTimer() == 9.0f);

    // In silence its second page at once; the end not before 4 s after
    // the final text first showed, and never while it speaks.
    r.clearRecords();
    r.clock = 10.0f;
    m.runStep();
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("bye two", UPPER)} && m.getPage() == 1);
    r.clearRecords();
    r.clock = 12.9f;
    m.runStep();
    CHILD_CHECK(m.getMode() == 2 && !r.rig.fakes.message.record.has("hideWindow"));
    r.rig.fakes.message.speaking = true;
    r.clock = 20.0f;
    m.runStep();
    CHILD_CHECK(m.getMode() == 2 && m.getStepTimer() == 9.0f);
    r.rig.fakes.message.speaking = false;
    m.runStep();
    CHILD_CHECK(m.getMode() == 0 && !r.app().isLessonMode());
    CHILD_CHECK(r.rig.fakes.message.record.has("hideWindow"));
    for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i) CHILD_CHECK(m.getPermission(i));

    // Lesson 1 counts any step past its last as step 5, and lets the user
    // go to the start while its third page stands.
    m.setMode(1);
    m.setStep(9);
    m.setWaiting(true);
    m.setPage(1);
    m.setPermission(3, false);
    r.rig.fakes.message.speaking = true;
    m.runStep();
    CHILD_CHECK(m.getStep() == 5 && !m.getPermission(3));
    m.setPage(2);
    m.runStep();
    CHILD_CHECK(m.getStep() == 5 && m.getPermission(3));
}

TEST(LessonSteps, TheFinalStepEndsTheLessonOnlyInSilenceAndFourSecondsAfterItsText) {
    EXPECT_IN_CHILD(finalStep);
}

} // namespace
