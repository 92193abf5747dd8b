#pragma once
// The two timed courses walked through: what their walks share. Each walk
// (lesson_walk_mode6_test.cpp, lesson_walk_mode7_test.cpp) gives its own
// table of steps (kgiWalkRow, run by kgiLessonWalk::walkRows); this holds the
// rows of the step kinds the tables name and the course's checks: the scene loaded beside
// the robot once, canvas 0 turned to it, the start-signal sounds
// registered, and the run after play (the stopwatch and the goal sound).
#include "lesson_walk_rig.h"

#include "kgi3dCanvas.h"
#include "kgiCharacter.h"
#include "kgiGLFrameButtons.h"
#include "kgiMainCommandTable.h"
#include "kgiOptionsDialog.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace course_walk {

using Walk = kgiLessonWalk;
using Action = std::function<void(Walk&)>;
// The start-signal sounds' ids: ready, set, go, goal.
using Signal = std::array<int, 4>;

constexpr int UPPER = 40;
constexpr int OK = Walk::OK;
constexpr int NG = Walk::NG;

inline Action pressFrameButton(int button) {
    return [button](Walk& w) { w.pressFrameButton(button); };
}

// A press that did nothing: no playback, the time where it was.
inline Action stayed(float frame) {
    return [frame](Walk& w) {
        EXPECT_FALSE(w.world().isPlaying());
        EXPECT_EQ(w.world().getCurrentTime(), frame);
    };
}

// Sample n (1-based, as the lesson's text names it) chosen in the list.
inline Action sample(int n) {
    return [n](Walk& w) { ASSERT_TRUE(w.chooseSample(n - 1)); };
}

// The rows of one step of the lessons' table, in the words of its kinds: the
// wrong action first where the step has one (NG, the step kept), then the
// one that ends it (OK, the next step's text).
using Rows = std::vector<kgiWalkRow>;
using Shown = kgiWalkRow::Shown;
inline const std::set<int> NONE;

// Only the tool bar's Option button: the play button is locked, the Option
// button brings up the options window.
inline Rows optionsButton(int step) {
    return {
        {"play while locked", step, {8}, NONE, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {NG}, step, false,
         {}, stayed(0)},
        {"Option button", step, {8}, NONE, [](Walk& w) { w.mainCommand(kgiMainCommandIds::ID_OPTIONS); }, {OK},
         step + 1, false, {Shown{step + 1, UPPER}},
         [](Walk& w) {
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_TRUE(w.optionsDialog()->shown());
         }},
    };
}

// Sample n expected: another row chosen first sounds NG and shows the text
// again.
inline Rows answer(int step, int n, int wrong) {
    const std::set<int> list{0, 10};
    return {
        {"a wrong sample", step, NONE, list, sample(wrong), {NG}, step, false, {Shown{step, UPPER}}},
        {"the sample asked for", step, NONE, list, sample(n), {OK}, step + 1, false, {Shown{step + 1, UPPER}}},
    };
}

// The sample tab's Read (the sample's keys replace the motion) or Add (its
// keys after the motion's).
inline Rows sampleCommand(int step, bool read) {
    return {
        {read ? "Read" : "Add", step, {53}, {0, read ? 7 : 8},
         [read](Walk& w) {
             const float before = read ? 0.0f : w.world().getLastKeyTime();
             w.optionsCommand(read ? kgiOptionsDialog::ID_SAMPLE_READ : kgiOptionsDialog::ID_SAMPLE_ADD);
             EXPECT_GT(w.world().getLastKeyTime(), before) << "the sample's keys";
         },
         {OK}, step + 1, false, {Shown{step + 1, UPPER}}},
    };
}

// Only the go-to-start button.
inline Rows toStart(int step) {
    return {
        {"play while locked", step, NONE, NONE, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {NG}, step},
        {"to the start", step, NONE, NONE, pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN), {OK}, step + 1, false,
         {Shown{step + 1, UPPER}}, stayed(0)},
    };
}

// Only the play button: from frame 0 the OK, then the start signal (ready,
// set, go), then playback; the stopwatch at 0 while the robot has not left
// frame 0. The final step shows nothing while playback runs.
inline Rows play(int step, const Signal& signal) {
    return {
        {"to the start while locked", step, NONE, NONE, pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN), {NG},
         step},
        {"play", step, NONE, NONE, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY),
         {OK, signal[0], signal[1], signal[2]}, step + 1, false, {},
         [](Walk& w) {
             EXPECT_TRUE(w.world().isPlaying());
             EXPECT_EQ(w.app().getCourseTime(), 0.0f);
         }},
    };
}

// The steps' rows in one table.
inline Rows steps(const std::vector<Rows>& all) {
    Rows rows;
    for (const Rows& r : all) rows.insert(rows.end(), r.begin(), r.end());
    return rows;
}

// The introduction, from the start-up to step 1: the title, the first page
// after two seconds of the clock, each further one once the one before was
// spoken.
inline void walkIntroduction(Walk& walk, const std::string& suffix, float startedAt) {
    EXPECT_EQ(walk.titleSuffix(), "     " + suffix);
    EXPECT_EQ(walk.step(), 0);
    EXPECT_TRUE(walk.waiting());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_EQ(walk.shown().size(), 1u);
    EXPECT_GE(walk.shown()[0].clock - startedAt, 2.0f);
    EXPECT_TRUE(walk.walkIntroduction());
}

// The course scene loaded once beside the robot, its model in the scene.
inline void expectCourseLoaded(Walk& walk) {
    std::vector<kgiCharacter*> all;
    walk.world().getCharacters()->listAll(all);
    ASSERT_EQ(all.size(), 2u) << "the robot and one course";
    kgiCharacter* robot = walk.world().getCurrentCharacter();
    kgiCharacter* course = all[0] == robot ? all[1] : all[0];
    ASSERT_NE(course, robot);
    ASSERT_NE(course->getRoot(), nullptr);
    const std::vector<ksgTransform*> roots = kgiWorldLinks::sceneBase(walk.world().getScene())->getRoots();
    EXPECT_EQ(std::count(roots.begin(), roots.end(), course->getRoot()->asTransform()), 1);
}

// Canvas 0 turned to the course once: its orientation turned from the
// centred view's by yaw 60 and pitch -25, one turn of 64.6 degrees (twice
// would be more).
inline void expectViewTurned(Walk& walk) {
    const std::vector<float> view = walk.viewMatrix();
    const std::vector<float>& centred = walk.centredView();
    ASSERT_EQ(view.size(), 16u);
    ASSERT_EQ(centred.size(), 16u);
    // Trace of the relative turn centredᵀ·view, from the 3x3 parts.
    float trace = 0.0f;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) trace += centred[4 * i + k] * view[4 * i + k];
    const float degrees = std::acos(std::clamp((trace - 1.0f) / 2.0f, -1.0f, 1.0f)) * 180.0f / 3.14159265f;
    EXPECT_NEAR(degrees, 64.55f, 0.5f);
}

// The four start-signal sounds registered once each, in the order ready,
// set, go, goal, with the English file names; their ids.
inline Signal expectCourseSounds(Walk& walk) {
    const Signal ids = walk.manager().getCourseSounds();
    const std::vector<std::string>& loaded = walk.soundRecord().loaded;
    const auto endsWith = [](const std::string& path, const std::string& name) {
        return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
    };
    const char* const names[4] = {"ready.wav", "set.wav", "go.wav", "goal.wav"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = std::string("se/") + names[i];
        EXPECT_EQ(std::count_if(loaded.begin(), loaded.end(), [&](const std::string& p) { return endsWith(p, name); }),
                  1)
            << name << " once";
        if (ids[i] < 0 || static_cast<std::size_t>(ids[i]) >= loaded.size()) {
            ADD_FAILURE() << name << ": no sound " << ids[i];
            continue;
        }
        const std::string& path = loaded[static_cast<std::size_t>(ids[i])];
        EXPECT_TRUE(endsWith(path, name)) << path;
    }
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    return ids;
}

// Canvas 0 painted once more (the stopwatch is read as the view paints).
inline bool paintView(Walk& walk) {
    const std::vector<kgiViewCanvas*>& canvases = walk.app().getCanvases();
    auto* canvas = canvases.empty() ? nullptr : dynamic_cast<kgi3dCanvas*>(canvases[0]);
    if (!canvas) return false;
    const long before = canvas->getPaintCount();
    canvas->update();
    return walk.idleUntil([&] { return canvas->getPaintCount() > before; }, 20000);
}

// The run after play: the stopwatch counts the walk's clock while the robot
// walks, the goal sound is asked for once when the robot's whole body has
// crossed the goal line, and the stopwatch stands from then on. The clock
// moves on by half as much as playback, so that the final step, which waits
// 4 s from the press on play, still has its time to come when playback ends.
inline void expectCourseRun(Walk& walk) {
    constexpr float PLAYBACK_STEP = 0.1f, CLOCK_STEP = 0.05f;
    kgiWorld& world = walk.world();
    kgiLessonManager& m = walk.manager();
    const int goalSound = m.getCourseSounds()[3];
    const std::size_t mark = walk.soundMark();
    ASSERT_TRUE(world.isPlaying());
    std::vector<float> readings;
    float goalAt = -1.0f;
    for (int i = 0; i < 3000 && world.isPlaying() && goalAt < 0.0f; ++i) {
        walk.advance(CLOCK_STEP);
        world.advancePlaybackBy(PLAYBACK_STEP, false);
        ASSERT_TRUE(paintView(walk)) << "the 3D view was not painted";
        readings.push_back(m.getCourseTimeValue());
        if (m.getCourseState() == 2) goalAt = walk.now();
    }
    ASSERT_GT(goalAt, 0.0f) << "the robot did not cross the goal line (frame " << world.getCurrentTime() << " of "
                            << world.getLastKeyTime() << ")";
    kgiCharacter* robot = world.getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    EXPECT_GT(robot->getRoot()->getBounds().getMin()[2], kgiLessonManager::GOAL_LINE_Z);
    ASSERT_GE(readings.size(), 3u);
    EXPECT_TRUE(std::is_sorted(readings.begin(), readings.end()));
    // It counted from the first paint past frame 0 to the last reading
    // before the goal: in the goal's step or the one before.
    const float frozen = m.getCourseTimeValue();
    const float startedAt = m.getCourseStartTime();
    EXPECT_GT(frozen, 0.0f) << "it counted while the robot walked";
    EXPECT_GE(frozen, goalAt - CLOCK_STEP - startedAt - 1e-3f);
    EXPECT_LE(frozen, goalAt - startedAt + 1e-3f);
    EXPECT_EQ(walk.soundsSince(mark), std::vector<int>{goalSound});

    // It stands at the goal while the clock and playback go on; no second
    // goal sound.
    for (int i = 0; i < 3 && world.isPlaying(); ++i) {
        walk.advance(0.1f);
        world.advancePlaybackBy(CLOCK_STEP, false);
        ASSERT_TRUE(paintView(walk));
    }
    EXPECT_EQ(m.getCourseTimeValue(), frozen);
    EXPECT_EQ(m.getCourseState(), 2);
    EXPECT_EQ(walk.soundsSince(mark), std::vector<int>{goalSound});
}

// A course lesson walked from its start-up to its end: the introduction with
// the course, the rows of the table (made once the start-signal sounds are
// known), the run after the last row's play, and the final step.
inline void walkCourse(int mode, const std::string& suffix, int finalStep,
                       const std::function<Rows(const Signal&)>& table) {
    Walk& walk = Walk::get();
    walk.useStepFile(mode, finalStep);
    const float startedAt = walk.now();
    ASSERT_TRUE(walk.start(mode));
    expectCourseLoaded(walk);
    expectViewTurned(walk);
    const Signal signal = expectCourseSounds(walk);
    walkIntroduction(walk, suffix, startedAt);
    if (::testing::Test::HasFatalFailure()) return;

    ASSERT_TRUE(walk.walkRows(finalStep, table(signal)));
    expectCourseRun(walk);
    if (::testing::Test::HasFatalFailure()) return;

    EXPECT_TRUE(walk.walkToEnd(finalStep));
    EXPECT_EQ(walk.titleSuffix(), "     " + suffix) << "the suffix once";
    expectCourseLoaded(walk);
}

} // namespace course_walk
