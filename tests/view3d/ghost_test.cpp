// The onion skin's choice of ghost times, acceptance and opacity.

#include <gtest/gtest.h>

#include "kgiGhost.h"

namespace {

TEST(Ghost, GhostTimes)
{
    const std::vector<float> keys = {0, 5, 10, 20};
    struct Case {
        int mode;
        float t;
        int k;
        float expected;
    };
    const Case cases[] = {
        {2, 10, -1, 10},  // on a key: -1 is that key
        {2, 10, -2, 5},  {2, 10, 1, 20},   {2, 10, 2, kgiGhost::NO_KEY},
        {2, 7, -1, 5},   // between keys
        {2, 7, 1, 10},   {2, 7, -3, kgiGhost::NO_KEY},
        {2, 25, 1, kgiGhost::NO_KEY},  // no key after t
        {2, 25, -1, 20},
        {1, 3, -2, 5},   {1, 3, -1, 4},    {1, 3, 1, 2},  {1, 3, 2, 1},
        {0, 3, 2, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kgiGhost::ghostTime(keys, c.mode, c.t, c.k), c.expected)
            << "mode " << c.mode << " t " << c.t << " k " << c.k;
    EXPECT_EQ(kgiGhost::ghostTime({}, 2, 0, -1), kgiGhost::NO_KEY);
}

TEST(Ghost, AcceptanceAndOpacityStep)
{
    kgiGhost ghost;
    EXPECT_EQ(ghost.getCountBefore(), 1);
    EXPECT_EQ(ghost.getCountAfter(), 1);
    EXPECT_EQ(ghost.getMode(), 2);
    EXPECT_EQ(ghost.getRange(), 20);
    EXPECT_FLOAT_EQ(ghost.getAlphaStep(), 0.03f);

    EXPECT_TRUE(ghost.accepts(0, 20, 100));
    EXPECT_FALSE(ghost.accepts(0, 21, 100));
    EXPECT_FALSE(ghost.accepts(5, -1, 100));
    EXPECT_FALSE(ghost.accepts(95, 100, 100)) << "at the frame count";
    EXPECT_TRUE(ghost.accepts(95, 99, 100));
    EXPECT_FALSE(ghost.accepts(0, kgiGhost::NO_KEY, 100));

    ghost.setRange(-0.5f);
    EXPECT_EQ(ghost.getRange(), 0);
    EXPECT_FLOAT_EQ(ghost.getAlphaStep(), ghost.getAlpha());
    EXPECT_TRUE(ghost.accepts(4, 4, 100));
    EXPECT_FALSE(ghost.accepts(4, 5, 100));

    ghost.setAlpha(3.0f);
    EXPECT_FLOAT_EQ(ghost.getAlpha(), 1.0f);
    ghost.setMode(7);
    EXPECT_EQ(ghost.getMode(), 2);
    ghost.setGhostCounts(-2, -3);
    EXPECT_EQ(ghost.getCountBefore(), 2);
    EXPECT_EQ(ghost.getCountAfter(), 3);
}

TEST(Ghost, NothingIsPreparedWithoutACharacter)
{
    kgiGhost ghost;
    EXPECT_FALSE(ghost.prepareGhost(nullptr, 0, 1));
}

} // namespace
