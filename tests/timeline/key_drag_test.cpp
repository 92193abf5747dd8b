// The key-time list edits of a key drag and the pan step, on their own:
// a table of drags, the agreement of every drag with the undo entries'
// replay of it, and the pan count.
#include "kgiGLWidget.h"
#include "kgiKeyDrag.h"
#include "kgiKeyUndo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

typedef std::vector<float> Times;

enum Kind { MOVE, PUSH, PULL };
const char* const KIND_NAMES[] = {"move", "push", "pull"};

// The drag of key k of times along the pointer frames; the list as the
// last motion left it.
Times dragAlong(Kind kind, Times times, int k, const std::vector<int>& path, int last, kgiKeyDrag& drag) {
    EXPECT_TRUE(drag.start(times, k));
    for (int f : path) {
        bool ok = false;
        if (kind == MOVE) ok = kgiMoveDrag(times, drag, f, last);
        if (kind == PUSH) ok = kgiPushDrag(times, drag, f);
        if (kind == PULL) ok = kgiPullDrag(times, drag, f);
        EXPECT_TRUE(ok);
    }
    return times;
}

std::string show(const Times& t) {
    std::string s = "[";
    for (float v : t) s += std::to_string(int(v)) + " ";
    return s + "]";
}

TEST(KeyDrag, TableOfDrags) {
    struct Case {
        Kind kind;
        Times times;
        int key;
        std::vector<int> path;
        Times expected;
        int to;
    } cases[] = {
        // Move stops a frame short of either neighbour.
        {MOVE, {0, 10, 20, 30}, 2, {35}, {0, 10, 29, 30}, 29},
        {MOVE, {0, 10, 20, 30}, 2, {5}, {0, 10, 11, 30}, 11},
        {MOVE, {0, 10, 20, 30}, 2, {35, 24}, {0, 10, 24, 30}, 24},
        // The last key stops at the window's end, the first at frame 0.
        {MOVE, {0, 10}, 1, {400}, {0, 125}, 125},
        {MOVE, {5, 10}, 0, {-3}, {0, 10}, 0},
        // Push: the keys ahead go along; below 0 they stop with the first
        // key on 0, and going back undoes it.
        {PUSH, {2, 10, 20}, 1, {7}, {0, 8, 20}, 8},
        {PUSH, {2, 10, 20}, 1, {7, 10}, {2, 10, 20}, 10},
        {PUSH, {2, 10, 20}, 1, {9}, {1, 9, 20}, 9},
        {PUSH, {2, 10, 20}, 1, {25}, {2, 25, 35}, 25},
        {PUSH, {2, 10, 20}, 1, {25, 7}, {0, 8, 20}, 8},
        {PUSH, {2, 10, 20}, 1, {7, 25}, {2, 25, 35}, 25},
        {PUSH, {4, 10}, 0, {-6}, {0, 10}, 0},
        // Pull: the keys behind follow; the key stops before its neighbour
        // or frame 0.
        {PULL, {0, 10, 20}, 1, {25}, {9, 19, 20}, 19},
        {PULL, {0, 10, 20}, 1, {15}, {5, 15, 20}, 15},
        {PULL, {0, 10, 20}, 1, {3}, {0, 3, 13}, 3},
        {PULL, {0, 10, 20}, 1, {-5}, {0, 1, 11}, 1},
        {PULL, {0, 10, 20}, 1, {25, 3}, {0, 3, 13}, 3},
        {PULL, {4, 10}, 0, {-3}, {0, 6}, 0},
        {PULL, {4, 10}, 1, {400}, {394, 400}, 400},
    };
    for (const Case& c : cases) {
        kgiKeyDrag drag;
        const Times got = dragAlong(c.kind, c.times, c.key, c.path, 125, drag);
        const std::string what = std::string(KIND_NAMES[c.kind]) + " key " + std::to_string(c.key) + " of " +
                                 show(c.times) + " to " + std::to_string(c.path.back());
        EXPECT_EQ(got, c.expected) << what << " gave " << show(got);
        EXPECT_EQ(drag.toFrame, c.to) << what;
        EXPECT_EQ(drag.fromFrame, int(c.times[size_t(c.key)])) << what;
    }
}

TEST(KeyDrag, NeighboursAreTakenAtTheStartAndAMissingKeyIsRefused) {
    kgiKeyDrag drag;
    ASSERT_TRUE(drag.start({0, 10, 20}, 0));
    EXPECT_EQ(drag.prevKeyFrame, -1);
    EXPECT_EQ(drag.nextKeyFrame, 10);
    ASSERT_TRUE(drag.start({0, 10, 20}, 2));
    EXPECT_EQ(drag.prevKeyFrame, 10);
    EXPECT_EQ(drag.nextKeyFrame, -1);
    EXPECT_FALSE(drag.start({0, 10}, 2));
    EXPECT_FALSE(drag.start({0, 10}, -1));

    // The list lost the key under the drag (another character became
    // current, say): every edit refuses and writes nothing.
    Times shorter{0, 10};
    EXPECT_FALSE(kgiMoveDrag(shorter, drag, 5, 125));
    EXPECT_FALSE(kgiPushDrag(shorter, drag, 5));
    EXPECT_FALSE(kgiPullDrag(shorter, drag, 5));
    EXPECT_EQ(shorter, (Times{0, 10}));
}

// The replay an undo entry runs for the drag: its redo from the original
// list, its undo from the edited one.
bool redo(Kind kind, Times& t, int k, float from, float to) {
    if (kind == MOVE) return kgiPreservativeKeysUndo::moveKey(t, k, from, to);
    if (kind == PUSH) return kgiPreservativeKeysUndo::pushKeys(t, k, from, to);
    return kgiPreservativeKeysUndo::pullKeys(t, k, from, to);
}

bool undo(Kind kind, Times& t, int k, float from, float to) {
    if (kind == MOVE) return kgiPreservativeKeysUndo::moveKey(t, k, to, from);
    if (kind == PUSH) return kgiPreservativeKeysUndo::pullKeys(t, k, to, from);
    return kgiPreservativeKeysUndo::pushKeys(t, k, to, from);
}

TEST(KeyDrag, EveryDragIsWhatItsEntryReplaysAndUndoes) {
    std::mt19937 rng(20261211u);
    auto uniform = [&rng](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    for (int round = 0; round < 3000; ++round) {
        Times times;
        int t = uniform(0, 6);
        const int n = uniform(1, 8);
        for (int i = 0; i < n; ++i, t += uniform(1, 12)) times.push_back(float(t));
        const int k = uniform(0, n - 1);
        const int last = std::max(int(times.back()), uniform(20, 120));
        std::vector<int> path(size_t(uniform(1, 6)));
        for (int& f : path) f = uniform(-15, last + 20);

        for (Kind kind : {MOVE, PUSH, PULL}) {
            kgiKeyDrag drag;
            const Times live = dragAlong(kind, times, k, path, last, drag);
            std::string what = std::string(KIND_NAMES[kind]) + " key " + std::to_string(k) + " of " + show(times) +
                               " along";
            for (int f : path) what += " " + std::to_string(f);
            ASSERT_EQ(float(drag.toFrame), live[size_t(k)]) << what;
            for (size_t i = 0; i < live.size(); ++i) {
                ASSERT_GE(live[i], 0.0f) << what << " gave " << show(live);
                if (i > 0) {
                    ASSERT_LT(live[i - 1], live[i]) << what << " gave " << show(live);
                }
            }
            if (drag.toFrame == drag.fromFrame) {
                // Nothing is recorded: the drag must have left nothing.
                ASSERT_EQ(live, times) << what << " gave " << show(live);
                continue;
            }
            Times replayed = times;
            ASSERT_TRUE(redo(kind, replayed, k, float(drag.fromFrame), float(drag.toFrame))) << what;
            ASSERT_EQ(replayed, live) << what << ": the drag gave " << show(live);
            Times back = live;
            ASSERT_TRUE(undo(kind, back, k, float(drag.fromFrame), float(drag.toFrame))) << what;
            ASSERT_EQ(back, times) << what << ": undo gave " << show(back);
        }
    }
}

TEST(KeyDrag, PanCountsWholeFramesTowardsMinusInfinity) {
    // 8 pixels a frame; the frame under the pointer stays put.
    struct Case {
        int d, n;
    } cases[] = {{-9, -2}, {-8, -1}, {-1, -1}, {0, 0}, {7, 0}, {8, 1}, {9, 1}, {-16, -2}, {17, 2}};
    const int left = 5;
    for (const Case& c : cases) {
        EXPECT_EQ(kgiPanFrames(c.d, 8), c.n) << "d = " << c.d;
        kgiPanWindow w{50, 175, -1, 0};
        w.anchor = left + 11 * 8;  // the column of frame 61
        const int px = w.anchor + c.d;
        EXPECT_EQ(kgiPanStep(w, px, 8), c.n) << "d = " << c.d;
        EXPECT_EQ(w.first, 50 - c.n) << "d = " << c.d;
        EXPECT_EQ(w.last - w.first, 125) << "d = " << c.d;
        EXPECT_EQ(w.anchor, left + 11 * 8 + 8 * c.n) << "d = " << c.d;
        EXPECT_EQ(w.hoverFrame, -1) << "no hover cell appears";
        EXPECT_EQ(kgiGLWidget::frameAt(px, left, w.first, 8), 61) << "d = " << c.d;
    }
}

TEST(KeyDrag, PanStopsAtFrameZeroAndTheHoverCellGoesOnWithThePointer) {
    kgiPanWindow w{2, 127, 30, 100};
    EXPECT_EQ(kgiPanStep(w, 100 + 5 * 8, 8), 5);
    EXPECT_EQ(w.first, 0);
    EXPECT_EQ(w.last, 125);
    EXPECT_EQ(w.hoverFrame, 33) << "the window moved 2 of the pointer's 5 frames";
    EXPECT_EQ(w.anchor, 140);
    // Later frames come in when the pointer goes back left.
    EXPECT_EQ(kgiPanStep(w, 140 - 3 * 8, 8), -3);
    EXPECT_EQ(w.first, 3);
    EXPECT_EQ(w.hoverFrame, 33);
}

} // namespace
