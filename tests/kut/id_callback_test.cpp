#include "kutCallback.h"
#include "kutIdManager.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

TEST(KutIdManager, ReusesTheLastRemovedIdFirst)
{
    // Each case hands out `handed` ids, removes `removed` in order, then
    // takes `expected.size()` new ids.
    struct Case {
        int handed;
        std::vector<int> removed;
        std::vector<int> expected;
        int countAfterRemoval;
    };
    const Case cases[] = {
        {3, {1}, {1, 3}, 2},
        {3, {2}, {2}, 2},             // the highest id lowers the next id instead
        {5, {3, 1}, {1, 3, 5}, 3},
        {5, {1, 4}, {1, 4, 5}, 3},    // next id falls by one only; 1 stays free
        {5, {1, 3, 4}, {3, 1, 4}, 2},
        {2, {-1, 2, 7}, {2}, 2},      // not handed out: ignored
        {3, {1, 1}, {1, 3}, 2},       // removed twice: ignored the second time
        {3, {2, 2}, {2, 3}, 2},
    };
    for (const Case& c : cases) {
        kutIdManager ids;
        for (int i = 0; i < c.handed; ++i)
            ASSERT_EQ(ids.newId(), i);
        for (int id : c.removed)
            ids.removeId(id);
        EXPECT_EQ(ids.count(), c.countAfterRemoval) << "case with " << c.handed << " ids";
        std::vector<int> got;
        for (size_t i = 0; i < c.expected.size(); ++i)
            got.push_back(ids.newId());
        EXPECT_EQ(got, c.expected) << "case with " << c.handed << " ids";
    }
}

TEST(KutIdManager, CopiesAreIndependent)
{
    kutIdManager a;
    a.newId();
    a.newId();
    a.removeId(0);
    kutIdManager b = a;
    EXPECT_EQ(a.newId(), 0);
    EXPECT_EQ(b.newId(), 0);
    EXPECT_EQ(b.newId(), 2);
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(b.count(), 3);
}

namespace {

std::vector<std::string> calls;

struct button {
    virtual ~button() = default;
    virtual void press() { calls.push_back("button"); }
    int padding = 0;
};

struct toggle : button {
    void press() override { calls.push_back("toggle " + std::to_string(id)); }
    int id = 7;
};

// The second base sits at a non-zero offset in canvas, so a call through
// one of its members must adjust `this`.
struct listener {
    virtual ~listener() = default;
    void fire() { calls.push_back("listener " + name); }
    std::string name = "L";
};

struct canvas : button, listener {
    void reset() { calls.push_back("canvas reset " + name); }
};

} // namespace

TEST(KutCallback, CallsVirtualAndMultipleInheritanceMembers)
{
    calls.clear();
    toggle t;
    canvas c;
    c.name = "main";
    button* asButton = &t;
    listener* asListener = &c;

    const kutCallback0 cbs[] = {
        kutMakeCallback0(asButton, &button::press),  // virtual: dispatches to toggle
        kutMakeCallback0(&c, &listener::fire),       // member of the second base
        kutMakeCallback0(&c, &canvas::fire),
        kutMakeCallback0(asListener, &listener::fire),
        kutMakeCallback0(&c, &canvas::reset),
        kutMakeCallback0(&c, &canvas::press),        // the first base's virtual
    };
    for (const kutCallback0& cb : cbs) {
        ASSERT_TRUE(cb);
        kutCallback0 copy;
        copy = cb;
        copy();
    }
    const std::vector<std::string> expected = {
        "toggle 7", "listener main", "listener main", "listener main", "canvas reset main", "button",
    };
    EXPECT_EQ(calls, expected);
}

TEST(KutCallback, EmptyUnlessSomethingFitsTheSlot)
{
    EXPECT_FALSE(kutCallback0());
    EXPECT_FALSE(kutCallback());

    int callee = 0;
    unsigned char big[kutCallback::FUNCTION_SIZE + 1] = {1};
    EXPECT_FALSE(kutCallback(&callee, big, sizeof big)); // would overflow the slot
    EXPECT_TRUE(kutCallback(&callee, big, sizeof big - 1));

    // Without a callee the pointer itself is kept.
    EXPECT_TRUE(kutCallback(nullptr, &callee, 0));
    EXPECT_FALSE(kutCallback(nullptr, nullptr, 0));

    kutCallback cb;
    cb.setCallee(&callee);
    EXPECT_TRUE(cb);
}
