// The key-time list edits of a dragged key, on plain lists.
#include <gtest/gtest.h>

#include <vector>

#include "kgiKeyUndo.h"

namespace {

typedef std::vector<float> Times;
typedef bool (*Edit)(Times&, int, float, float);

struct Case {
    const char* what;
    Edit edit;
    Times before;
    int index;
    float from, to;
    Times after;
};

TEST(KeyTimeEdits, MovePushAndPullKeepTheListInOrderAndAtOrAboveZero)
{
    const Edit move = kgiPreservativeKeysUndo::moveKey;
    const Edit push = kgiPreservativeKeysUndo::pushKeys;
    const Edit pull = kgiPreservativeKeysUndo::pullKeys;
    const Case cases[] = {
        {"move between neighbours", move, {0, 10, 20, 30}, 2, 20, 25, {0, 10, 25, 30}},
        {"move stops before the next key", move, {0, 10, 20, 30}, 2, 20, 35, {0, 10, 29, 30}},
        {"move stops after the previous key", move, {0, 10, 20, 30}, 2, 20, 3, {0, 10, 11, 30}},
        {"move of the last key is free", move, {0, 10}, 1, 10, 50, {0, 50}},
        {"push earlier below zero shifts back", push, {0, 10, 20}, 1, 10, 4, {0, 10, 20}},
        {"push earlier to minus one", push, {2, 10, 20}, 1, 10, 7, {0, 8, 20}},
        {"push earlier", push, {5, 10, 20}, 1, 10, 8, {3, 8, 20}},
        {"push later moves the later keys", push, {0, 10, 20}, 1, 10, 15, {0, 15, 25}},
        {"pull later past the next key", pull, {0, 10, 20}, 1, 10, 25, {9, 19, 20}},
        {"pull later", pull, {0, 10, 20}, 1, 10, 12, {2, 12, 20}},
        {"pull earlier past the previous key", pull, {0, 10, 20}, 1, 10, -5, {0, 1, 11}},
        {"pull earlier below zero", pull, {3, 20}, 0, 3, -4, {0, 17}},
        {"pull earlier", pull, {0, 10, 20}, 1, 10, 6, {0, 6, 16}},
    };
    for (const Case& c : cases) {
        Times t = c.before;
        EXPECT_TRUE(c.edit(t, c.index, c.from, c.to)) << c.what;
        EXPECT_EQ(t, c.after) << c.what;
    }
}

TEST(KeyTimeEdits, AKeyNoLongerAtItsTimeLeavesTheListAlone)
{
    for (Edit e : {kgiPreservativeKeysUndo::moveKey, kgiPreservativeKeysUndo::pushKeys,
                   kgiPreservativeKeysUndo::pullKeys}) {
        Times t{0, 10, 20};
        EXPECT_FALSE(e(t, 1, 11, 15));
        EXPECT_FALSE(e(t, 3, 20, 25));
        EXPECT_FALSE(e(t, -1, 0, 5));
        EXPECT_EQ(t, (Times{0, 10, 20}));
        Times empty;
        EXPECT_FALSE(e(empty, 0, 0, 5));
    }
}

// Undo runs the opposite edit with the times exchanged.
TEST(KeyTimeEdits, UndoStepsGiveTheListBack)
{
    const Case cases[] = {
        {"move", kgiPreservativeKeysUndo::moveKey, {0, 10, 20, 30}, 2, 20, 25, {}},
        {"push later, then pull", kgiPreservativeKeysUndo::pushKeys, {0, 10, 20}, 1, 10, 15, {}},
        {"pull earlier, then push", kgiPreservativeKeysUndo::pullKeys, {0, 10, 20}, 1, 10, 6, {}},
    };
    for (const Case& c : cases) {
        Times t = c.before;
        ASSERT_TRUE(c.edit(t, c.index, c.from, c.to)) << c.what;
        Edit back = c.edit == kgiPreservativeKeysUndo::moveKey   ? kgiPreservativeKeysUndo::moveKey
                    : c.edit == kgiPreservativeKeysUndo::pushKeys ? kgiPreservativeKeysUndo::pullKeys
                                                                  : kgiPreservativeKeysUndo::pushKeys;
        ASSERT_TRUE(back(t, c.index, c.to, c.from)) << c.what;
        EXPECT_EQ(t, c.before) << c.what;
    }
}

} // namespace
