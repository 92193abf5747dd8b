#pragma once
// The two timed courses walked through: what their walks share. Each walk
// (lesson_walk_mode6_test.cpp, lesson_walk_mode7_test.cpp) gives its own
// table of steps; this holds the row kinds, the loop that walks a table,
// and the course's checks: the scene loaded beside the robot once, canvas 0
// turned to it, the start-signal sounds registered, and the run itself (the
// start signal, the stopwatch, the goal sound).
#include "lesson_walk_rig.h"

#include "kgi3dCanvas.h"
#include "kgiCharacter.h"
#include "kgiGLFrameButtons.h"
#include "kgiMainCommandTable.h"
#include "kgiOptionsDialog.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace course_walk {

using Walk = kgiLessonWalk;

// One ordinary step: what its set-up shows, a wrong action (when the row has
// one) that keeps the step, and the action that ends it.
struct Row {
    std::string name;
    int step = 0;
    std::set<int> main;     // main-window bytes enabled
    std::set<int> options;  // options-window bytes enabled (while it exists)
    std::function<void(Walk&)> wrong;
    bool wrongShowsText = false;  // the wrong action shows the step's text again
    std::function<void(Walk&)> act;
    // Sounds the action asks for after its OK.
    std::vector<int> thenSounds;
    std::function<void(Walk&)> after;  // what the action left besides the step
};

// A locked frame button: the NG sound, and it does nothing.
inline void pressLocked(Walk& w, int button) {
    const float at = w.world().getCurrentTime();
    EXPECT_FALSE(w.pressFrameButton(button)) << "button " << button;
    EXPECT_FALSE(w.world().isPlaying());
    EXPECT_EQ(w.world().getCurrentTime(), at);
}

inline Row optionsButton(int step) {
    Row r;
    r.name = "Options button";
    r.step = step;
    r.main = {8};
    r.wrong = [](Walk& w) { pressLocked(w, kgiGLFrameButtons::BUTTON_PLAY); };
    r.act = [](Walk& w) { w.mainCommand(kgiMainCommandIds::ID_OPTIONS); };
    r.after = [](Walk& w) {
        ASSERT_NE(w.optionsDialog(), nullptr);
        EXPECT_TRUE(w.optionsDialog()->shown());
    };
    return r;
}

// Sample n (1-based, as the text names it) chosen; the row before it first.
inline Row answer(int step, int n) {
    Row r;
    r.name = "Answer " + std::to_string(n);
    r.step = step;
    r.options = {0, 10};
    r.wrong = [n](Walk& w) { ASSERT_TRUE(w.chooseSample(n - 2)); };
    r.wrongShowsText = true;
    r.act = [n](Walk& w) { ASSERT_TRUE(w.chooseSample(n - 1)); };
    return r;
}

// The sample tab's Read or Add: the motion's end moves out.
inline Row sampleCommand(int step, bool read) {
    Row r;
    r.name = read ? "Read sample" : "Add sample";
    r.step = step;
    r.main = {53};
    r.options = {0, read ? 7 : 8};
    auto lastKey = std::make_shared<float>(0.0f);
    r.act = [read, lastKey](Walk& w) {
        *lastKey = w.world().getLastKeyTime();
        w.optionsCommand(read ? kgiOptionsDialog::ID_SAMPLE_READ : kgiOptionsDialog::ID_SAMPLE_ADD);
    };
    r.after = [read, lastKey](Walk& w) {
        if (read) {
            EXPECT_GT(w.world().getLastKeyTime(), 0.0f) << "the sample's keys";
        } else {
            EXPECT_GT(w.world().getLastKeyTime(), *lastKey) << "the sample added after the motion";
        }
    };
    return r;
}

// The go-to-start button unlocked (the play button is not).
inline Row toStart(int step) {
    Row r;
    r.name = "To start";
    r.step = step;
    r.wrong = [](Walk& w) { pressLocked(w, kgiGLFrameButtons::BUTTON_PLAY); };
    r.act = [](Walk& w) { EXPECT_TRUE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN)); };
    r.after = [](Walk& w) { EXPECT_EQ(w.world().getCurrentTime(), 0.0f); };
    return r;
}

// Play from frame 0: after the OK the start signal, ready, set and go.
inline Row play(int step, const kgiLessonManager& m) {
    Row r;
    r.name = "Play";
    r.step = step;
    r.wrong = [](Walk& w) { pressLocked(w, kgiGLFrameButtons::BUTTON_BEGIN); };
    r.act = [](Walk& w) { EXPECT_TRUE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY)); };
    const std::array<int, 4>& ids = m.getCourseSounds();
    r.thenSounds = {ids[0], ids[1], ids[2]};
    r.after = [](Walk& w) {
        EXPECT_TRUE(w.world().isPlaying());
        EXPECT_EQ(w.manager().getCourseState(), 1) << "the run has begun";
    };
    return r;
}

// The introduction, from the start-up to step 1: the title, the first page
// after two seconds of the clock, the second once the first was spoken.
inline void walkIntroduction(Walk& walk, int mode, const std::string& suffix, float startedAt) {
    EXPECT_EQ(walk.titleSuffix(), "     " + suffix);
    EXPECT_EQ(walk.step(), 0);
    EXPECT_TRUE(walk.waiting());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_EQ(walk.shown().size(), 1u);
    const kgiWalkText intro = walk.shown()[0];
    EXPECT_EQ(intro.line(), Walk::label(mode, 0, 0));
    EXPECT_EQ(intro.x, 350);
    EXPECT_EQ(intro.y, 40);
    EXPECT_EQ(intro.colour, 0);
    EXPECT_GE(intro.clock - startedAt, 2.0f);

    walk.idle(3);
    EXPECT_EQ(walk.shown().size(), 1u) << "nothing new while the window speaks";
    walk.setSpeaking(false);
    ASSERT_TRUE(walk.idleUntil([&] { return walk.shown().size() == 2; }));
    EXPECT_EQ(walk.lastShown().line(), Walk::label(mode, 0, 1));
    walk.setSpeaking(false);
    ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == 1 && walk.waiting(); }));
}

// The course character: the one beside the current (the robot); null when
// there is not exactly one.
inline kgiCharacter* courseCharacter(Walk& walk) {
    std::vector<kgiCharacter*> all;
    walk.world().getCharacters()->listAll(all);
    kgiCharacter* robot = walk.world().getCurrentCharacter();
    if (all.size() != 2) return nullptr;
    return all[0] == robot ? all[1] : all[0];
}

// The course scene loaded once beside the robot, its model in the scene.
inline void expectCourseLoaded(Walk& walk) {
    EXPECT_EQ(walk.world().getCharacters()->size(), 2) << "the robot and one course";
    kgiCharacter* course = courseCharacter(walk);
    ASSERT_NE(course, nullptr);
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
// set, go, goal, with the English file names.
inline void expectCourseSounds(Walk& walk) {
    const std::array<int, 4>& ids = walk.manager().getCourseSounds();
    const std::vector<std::string>& loaded = walk.soundRecord().loaded;
    const auto endsWith = [](const std::string& path, const std::string& name) {
        return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
    };
    const char* const names[4] = {"ready.wav", "set.wav", "go.wav", "goal.wav"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = std::string("se/") + names[i];
        ASSERT_GE(ids[i], 0) << name;
        ASSERT_LT(static_cast<std::size_t>(ids[i]), loaded.size()) << name;
        const std::string& path = loaded[static_cast<std::size_t>(ids[i])];
        EXPECT_TRUE(endsWith(path, name)) << path;
        EXPECT_EQ(std::count_if(loaded.begin(), loaded.end(), [&](const std::string& p) { return endsWith(p, name); }),
                  1)
            << name << " once";
    }
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
}

// Walks the table's rows in turn.
inline void walkRows(Walk& walk, int mode, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " (step " + std::to_string(row.step) + ")");
        ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == row.step && walk.waiting(); }));
        walk.idle(2);
        ASSERT_EQ(walk.step(), row.step) << "the step moved on by itself";
        const kgiWalkText text = walk.lastShown();
        EXPECT_EQ(text.line(), Walk::label(mode, row.step, 0));
        EXPECT_EQ(text.x, 350);
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
                EXPECT_EQ(again[0].line(), Walk::label(mode, row.step, 0));
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
        std::vector<int> expected{Walk::OK};
        expected.insert(expected.end(), row.thenSounds.begin(), row.thenSounds.end());
        EXPECT_EQ(walk.soundsSince(sounds), expected);
        if (row.after) row.after(walk);
    }
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

} // namespace course_walk
