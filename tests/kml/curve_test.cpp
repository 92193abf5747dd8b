#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "kmlBaseCurve.h"

namespace {
// A key with a payload, a record of the times it was given through setTime,
// and a count of tangent updates.
class TestKey : public kmlBaseKey {
public:
    explicit TestKey(float t, int v = 0) : kmlBaseKey(t), value(v), seenTime(t) {}
    void setTime(float t) override
    {
        kmlBaseKey::setTime(t);
        seenTime = t;
    }
    kmlBaseKey* clone() const override { return new TestKey(*this); }
    void copy(const kmlBaseKey* k) override
    {
        const TestKey* o = dynamic_cast<const TestKey*>(k);
        if (!o) return;
        kmlBaseKey::operator=(*o);
        value = o->value;
        seenTime = o->seenTime;
    }
    void update() override { ++updates; }

    int value;
    float seenTime;
    int updates = 0;
};

class TestCurve : public kmlBaseCurve {
public:
    explicit TestCurve(float step = 0.001f) : kmlBaseCurve(step) {}
    bool validKey(kmlBaseKey* k) const override { return dynamic_cast<TestKey*>(k) != nullptr; }
    kmlBaseKey* newKey() const override { return new TestKey(0); }
};

TestKey* key(const kmlBaseCurve& c, int i) { return static_cast<TestKey*>(c.getKey(i)); }

void fill(TestCurve& c, std::vector<float> times)
{
    int v = 0;
    for (float t : times) ASSERT_TRUE(c.insert(new TestKey(t, v++)));
}

std::vector<float> times(const kmlBaseCurve& c)
{
    std::vector<float> t;
    c.getKeysTime(t);
    return t;
}

std::vector<int> values(const kmlBaseCurve& c)
{
    std::vector<int> v;
    for (int i = 0; i < c.getNumKeys(); ++i) v.push_back(key(c, i)->value);
    return v;
}

// Strictly ascending, consistent links, range, times set through setTime.
::testing::AssertionResult consistent(const kmlBaseCurve& c)
{
    int n = c.getNumKeys();
    for (int i = 0; i < n; ++i) {
        kmlBaseKey* k = c.getKey(i);
        if (k->getPrev() != c.getKey(i - 1) || k->getNext() != c.getKey(i + 1))
            return ::testing::AssertionFailure() << "links broken at " << i;
        if (i > 0 && !(c.getKey(i - 1)->getTime() < k->getTime()))
            return ::testing::AssertionFailure() << "not ascending at " << i << ": " << c.getKey(i - 1)->getTime()
                                                 << " then " << k->getTime();
        if (static_cast<TestKey*>(k)->seenTime != k->getTime())
            return ::testing::AssertionFailure() << "time changed without setTime at " << i;
    }
    float lo = n ? c.getKey(0)->getTime() : 0, hi = n ? c.getKey(n - 1)->getTime() : 0;
    if (c.getMinTime() != lo || c.getMaxTime() != hi) return ::testing::AssertionFailure() << "range stale";
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(KmlCurve, IndexSearches)
{
    TestCurve c;
    fill(c, {0, 10, 20});
    struct Case { float t; int key, prev, next; } cases[] = {
        {-5, -1, -1, 0}, {0, 0, -1, 1}, {5, -1, 0, 1}, {10, 1, 0, 2},
        {20, 2, 1, 3},   {25, -1, 2, -1}, {std::nanf(""), -1, -1, -1},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(c.getKeyIndex(k.t), k.key) << k.t;
        EXPECT_EQ(c.getPrevKeyIndex(k.t), k.prev) << k.t;
        EXPECT_EQ(c.getNextKeyIndex(k.t), k.next) << k.t;
    }
    TestCurve empty;
    EXPECT_EQ(empty.getNextKeyIndex(0), -1);
    EXPECT_EQ(empty.getPrevKeyIndex(0), -1);
    EXPECT_EQ(empty.getKey(0), nullptr);
    EXPECT_EQ(c.getKey(3), nullptr);
    EXPECT_EQ(c.getKey(-1), nullptr);
}

TEST(KmlCurve, InsertOrdersReplacesAndRefuses)
{
    TestCurve c;
    fill(c, {20, 0, 10});
    EXPECT_EQ(times(c), (std::vector<float>{0, 10, 20}));
    EXPECT_EQ(c.getMinTime(), 0.0f);
    EXPECT_EQ(c.getMaxTime(), 20.0f);
    EXPECT_TRUE(c.insert(new TestKey(10, 99)));
    EXPECT_EQ(values(c), (std::vector<int>{1, 99, 0})); // the old key at 10 is gone

    kmlBaseKey* owned = c.getKey(1);
    EXPECT_FALSE(c.insert(owned)); // already in the curve: nothing happens
    EXPECT_FALSE(c.insert(nullptr));
    kmlBaseKey plain(5);
    EXPECT_FALSE(c.insert(&plain)); // wrong kind
    TestKey nan(std::nanf("")), inf(std::numeric_limits<float>::infinity());
    EXPECT_FALSE(c.insert(&nan));
    EXPECT_FALSE(c.insert(&inf));
    EXPECT_EQ(c.getNumKeys(), 3);
    EXPECT_TRUE(consistent(c));
}

TEST(KmlCurve, SmoothModeUpdatesNeighbours)
{
    TestCurve c;
    fill(c, {0, 10, 20, 30});
    for (int i = 0; i < 4; ++i) key(c, i)->updates = 0;
    c.insert(new TestKey(15));
    EXPECT_EQ(key(c, 1)->updates, 1);
    EXPECT_EQ(key(c, 2)->updates, 2); // its own update, then the neighbour pass
    EXPECT_EQ(key(c, 3)->updates, 1);
    EXPECT_EQ(key(c, 0)->updates, 0);

    c.smoothEdit(false);
    for (int i = 0; i < 5; ++i) key(c, i)->updates = 0;
    c.remove(15);
    EXPECT_EQ(key(c, 1)->updates + key(c, 2)->updates, 0);

    c.update(10, -1, 0);
    EXPECT_EQ(key(c, 0)->updates, 1);
    EXPECT_EQ(key(c, 1)->updates, 1);
    EXPECT_EQ(key(c, 2)->updates, 0);
    c.update(10, 0, -1);
    EXPECT_EQ(key(c, 3)->updates, 1);
    c.update(10, -2, 0); // refused
    c.update(11, 0, 0);  // no key
    EXPECT_EQ(key(c, 1)->updates, 2);
}

TEST(KmlCurve, RemoveRangeIsHalfOpen)
{
    struct Case { float t, dt; bool result; std::vector<float> left; } cases[] = {
        {10, 10, true, {0, 20, 30}},
        {5, 1, true, {0, 10, 20, 30}}, // empty range: true, nothing removed
        {5, 20, true, {0, 30}},
        {0, 100, true, {}},
        {31, 5, false, {0, 10, 20, 30}},
        {-10, 10, false, {0, 10, 20, 30}}, // the key at t + dt is key 0
        {0, std::numeric_limits<float>::infinity(), false, {0, 10, 20, 30}},
    };
    for (const Case& k : cases) {
        TestCurve c;
        fill(c, {0, 10, 20, 30});
        EXPECT_EQ(c.remove(k.t, k.dt), k.result) << k.t << "+" << k.dt;
        EXPECT_EQ(times(c), k.left) << k.t << "+" << k.dt;
        EXPECT_TRUE(consistent(c));
    }
}

TEST(KmlCurve, MoveAndDuplicate)
{
    TestCurve c;
    fill(c, {0, 10, 20});
    EXPECT_TRUE(c.move(10, 25));
    EXPECT_EQ(times(c), (std::vector<float>{0, 20, 25}));
    EXPECT_EQ(values(c), (std::vector<int>{0, 2, 1}));
    EXPECT_TRUE(c.move(25, 0)); // onto the key at 0: it takes the data, keeps its place
    EXPECT_EQ(times(c), (std::vector<float>{0, 20}));
    EXPECT_EQ(values(c), (std::vector<int>{1, 2}));
    EXPECT_TRUE(consistent(c));

    kmlBaseKey* k = c.getKey(1);
    EXPECT_TRUE(c.move(20, 20)); // own time: unchanged, same key
    EXPECT_EQ(c.getKey(1), k);
    EXPECT_FALSE(c.move(5, 7));
    EXPECT_FALSE(c.move(20, std::nanf("")));

    EXPECT_TRUE(c.duplicate(0, 10));
    EXPECT_EQ(values(c), (std::vector<int>{1, 1, 2}));
    EXPECT_TRUE(c.duplicate(20, 0)); // onto an existing key
    EXPECT_EQ(values(c), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(times(c), (std::vector<float>{0, 10, 20}));
    EXPECT_FALSE(c.duplicate(3, 4));
    EXPECT_TRUE(consistent(c));
}

TEST(KmlCurve, ShiftStopsATimeStepShortOfTheNeighbour)
{
    struct Case { float t, dt; kmlCurveShiftType type; std::vector<float> after; } cases[] = {
        {10, 15, KML_SHIFT_BEFORE, {9, 19, 20}},
        {10, -15, KML_SHIFT_AFTER, {0, 1, 11}},
        {10, -15, KML_SHIFT_BEFORE, {-15, -5, 20}}, // towards the free side: not clamped
        {10, 15, KML_SHIFT_AFTER, {0, 25, 35}},
        {10, 5, KML_SHIFT_BEFORE, {5, 15, 20}},
        {20, 7, KML_SHIFT_BEFORE, {7, 17, 27}},
    };
    for (const Case& k : cases) {
        TestCurve c(1.0f);
        fill(c, {0, 10, 20});
        EXPECT_TRUE(c.shift(k.t, k.dt, k.type));
        EXPECT_EQ(times(c), k.after) << k.dt << " type " << k.type;
        EXPECT_TRUE(consistent(c));
    }
    TestCurve c(1.0f);
    fill(c, {0, 10, 20});
    EXPECT_FALSE(c.shift(5, 1, KML_SHIFT_AFTER));
    EXPECT_FALSE(c.shift(10, 1, static_cast<kmlCurveShiftType>(2)));
    EXPECT_FALSE(c.shift(10, std::nanf(""), KML_SHIFT_AFTER));
}

TEST(KmlCurve, ShiftThatWouldRoundOntoANeighbourIsRefused)
{
    // Above 32768 a float step is 1/256, wider than the time step: the
    // clamped shift 1/256 - 0.001 rounds up onto the next key.
    const float a = 40000.0f, b = 40000.0f + 1.0f / 256;
    TestCurve c(0.001f);
    fill(c, {a, b});
    EXPECT_FALSE(c.shift(a, 1.0f, KML_SHIFT_BEFORE));
    EXPECT_FALSE(c.shift(b, -1.0f, KML_SHIFT_AFTER));
    EXPECT_EQ(times(c), (std::vector<float>{a, b}));
}

TEST(KmlCurve, DuplicateRangeCopiesTheHalfOpenRange)
{
    struct Case { float t, dt, dest; bool result; std::vector<float> after; std::vector<int> vals; } cases[] = {
        // The key at t + dt is not copied: it is the one moved to dest + dt.
        {0, 10, 20, true, {0, 10, 20, 30}, {0, 1, 0, 2}},
        {0, 11, 20, true, {0, 10, 20, 30, 31}, {0, 1, 0, 1, 2}},
        {10, 11, 5, true, {0, 5, 15, 21, 31}, {0, 1, 2, 1, 2}},
        {0, 30, 40, true, {0, 10, 20, 40, 50, 60}, {0, 1, 2, 0, 1, 2}},
        {5, 1, 40, false, {0, 10, 20}, {0, 1, 2}}, // nothing in [5, 6)
        {0, -1, 40, false, {0, 10, 20}, {0, 1, 2}},
        {25, 5, 0, false, {0, 10, 20}, {0, 1, 2}},
    };
    for (const Case& k : cases) {
        TestCurve c;
        fill(c, {0, 10, 20});
        EXPECT_EQ(c.duplicateRange(k.t, k.dt, k.dest), k.result);
        EXPECT_EQ(times(c), k.after) << k.t << "+" << k.dt << "->" << k.dest;
        EXPECT_EQ(values(c), k.vals) << k.t << "+" << k.dt << "->" << k.dest;
        EXPECT_TRUE(consistent(c));
    }
}

TEST(KmlCurve, SetKeysTimeNeedsAscendingResults)
{
    struct Case { std::vector<float> entries; bool result; std::vector<float> after; } cases[] = {
        {{5, 6}, false, {6, 20}},         // 6 stays (within one step), 20 -> 6: refused
        {{6.5f, 30}, true, {6, 30}},      // within the step: kept
        {{1, 2}, true, {1, 2}},
        {{1}, false, {6, 20}},            // wrong length
        {{1, std::nanf("")}, true, {1, 20}}, // NaN is never "different"
        {{1, std::numeric_limits<float>::infinity()}, false, {6, 20}},
        {{30, 40}, true, {30, 40}},
        {{30, 10}, false, {6, 20}},
    };
    for (const Case& k : cases) {
        TestCurve c(1.0f);
        fill(c, {6, 20});
        EXPECT_EQ(c.setKeysTime(k.entries), k.result);
        EXPECT_EQ(times(c), k.after);
        EXPECT_TRUE(consistent(c));
    }
}

TEST(KmlCurve, CopiesAreDeep)
{
    TestCurve c(2.0f);
    fill(c, {0, 10, 20});
    c.smoothEdit(false);
    kmlBaseCurve* d = c.clone();
    EXPECT_EQ(times(*d), times(c));
    EXPECT_EQ(d->getTimeStep(), 2.0f);
    EXPECT_FALSE(d->isSmoothEdit());
    EXPECT_NE(d->getKey(0), c.getKey(0));
    EXPECT_EQ(key(*d, 2)->value, 2);
    EXPECT_TRUE(consistent(*d));
    c.copy(&c); // onto itself: unchanged
    EXPECT_EQ(c.getNumKeys(), 3);
    c.copy(nullptr);
    EXPECT_EQ(c.getNumKeys(), 3);
    delete d;

    TestCurve e(c);
    e.remove(10);
    EXPECT_EQ(c.getNumKeys(), 3);
    e = c;
    EXPECT_EQ(e.getNumKeys(), 3);
    EXPECT_NE(e.getKey(1), c.getKey(1));
    c.clear();
    EXPECT_EQ(c.getMaxTime(), 0.0f);
    EXPECT_EQ(e.getMaxTime(), 20.0f);
}

TEST(KmlCurve, RandomEditsKeepTheInvariants)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> op(0, 8), pick(0, 40);
    std::uniform_real_distribution<float> span(-12, 12);
    for (int round = 0; round < 20; ++round) {
        TestCurve c(round % 2 ? 1.0f : 0.001f);
        c.smoothEdit(round % 3 != 0);
        for (int step = 0; step < 200; ++step) {
            // Times on a coarse grid so edits hit existing keys often.
            float t = static_cast<float>(pick(rng));
            float existing = c.getNumKeys() ? c.getKey(pick(rng) % c.getNumKeys())->getTime() : t;
            float dt = std::round(span(rng) * 2) / 2;
            int o = op(rng);
            switch (o) {
            case 0: case 1: c.insert(new TestKey(t, step)); break;
            case 2: c.remove(existing); break;
            case 3: c.remove(t, dt); break;
            case 4: c.move(existing, t); break;
            case 5: c.shift(existing, dt, dt > 0 ? KML_SHIFT_BEFORE : KML_SHIFT_AFTER); break;
            case 6: c.duplicate(existing, t); break;
            case 7: c.duplicateRange(existing, std::fabs(dt), t); break;
            case 8: {
                std::vector<float> ts = times(c);
                for (float& x : ts) x += dt * static_cast<float>(pick(rng) % 2);
                c.setKeysTime(ts);
                break;
            }
            }
            ASSERT_TRUE(consistent(c)) << "round " << round << " step " << step << " op " << o;
        }
    }
}
