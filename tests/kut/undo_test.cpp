#include "kutUndoMgr.h"

#include <gtest/gtest.h>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// What the records did, in order.
struct journal {
    std::vector<std::string> events;
    std::string take()
    {
        std::string s;
        for (const std::string& e : events)
            s += (s.empty() ? "" : " ") + e;
        events.clear();
        return s;
    }
};

struct edit : kutUndoEntry {
    edit(journal& j, std::string name) : j(&j), name(std::move(name)) {}
    ~edit() override { j->events.push_back("free " + name); }
    void undo() override { j->events.push_back("undo " + name); }
    void redo() override { j->events.push_back("redo " + name); }
    journal* j;
    std::string name;
};

edit* newEdit(journal& j, int n)
{
    return new edit(j, "e" + std::to_string(n));
}

// Every undo or redo until one fails; the number that succeeded.
int undoAll(kutUndoMgr& m)
{
    int n = 0;
    while (m.undo())
        ++n;
    return n;
}

} // namespace

TEST(KutUndoMgr, KeepsAtMostCapacityRecords)
{
    journal j;
    kutUndoMgr m(kutUndoMgr::FUNCTION, 32);
    for (int i = 0; i < 40; ++i)
        m.add(newEdit(j, i));
    EXPECT_EQ(j.take(), "free e0 free e1 free e2 free e3 free e4 free e5 free e6 free e7");
    EXPECT_EQ(static_cast<edit*>(m.getLast())->name, "e39");
    EXPECT_EQ(undoAll(m), 32);
    EXPECT_EQ(static_cast<edit*>(m.getCurrent())->name, "e8");
}

TEST(KutUndoMgr, AddAfterUndoDropsTheRedoBranch)
{
    journal j;
    {
        kutUndoMgr m(kutUndoMgr::FUNCTION, 4);
        for (int i = 0; i < 3; ++i)
            m.add(newEdit(j, i));
        ASSERT_TRUE(m.undo());
        ASSERT_TRUE(m.undo());
        EXPECT_EQ(static_cast<edit*>(m.getLast())->name, "e0");
        j.take();
        m.add(newEdit(j, 3)); // overwrites e1's slot: e1 goes at once
        EXPECT_EQ(j.take(), "free e1");
        EXPECT_FALSE(m.redo());
        m.add(newEdit(j, 4)); // e2's slot is reused
        EXPECT_EQ(j.take(), "free e2");
        EXPECT_EQ(undoAll(m), 3);
        EXPECT_EQ(j.take(), "undo e4 undo e3 undo e0");
        m.add(newEdit(j, 5));
        EXPECT_EQ(j.take(), "free e0");
        m.clear(); // releases e3, e4 and e5, which were still in their slots
        EXPECT_EQ(j.events.size(), 3u);
        j.take();
        EXPECT_FALSE(m.undo());
        m.add(newEdit(j, 6));
    }
    EXPECT_EQ(j.take(), "free e6"); // at destruction
}

TEST(KutUndoMgr, FunctionModeRunsTheRecordsOwnSteps)
{
    journal j;
    kutUndoMgr m;
    EXPECT_FALSE(m.undo());
    EXPECT_FALSE(m.redo());
    EXPECT_EQ(m.getLast(), nullptr);
    m.add(newEdit(j, 0));
    m.add(newEdit(j, 1));
    EXPECT_TRUE(m.undo());
    EXPECT_TRUE(m.redo());
    EXPECT_FALSE(m.redo());
    EXPECT_TRUE(m.undo());
    EXPECT_TRUE(m.undo());
    EXPECT_FALSE(m.undo());
    EXPECT_TRUE(m.redo());
    EXPECT_EQ(j.take(), "undo e1 redo e1 undo e1 undo e0 redo e0");
    m.add(nullptr); // ignored: nothing to run later
    EXPECT_EQ(static_cast<edit*>(m.getLast())->name, "e0");
}

TEST(KutUndoMgr, CapacityBelowOneIsOne)
{
    journal j;
    kutUndoMgr m(kutUndoMgr::FUNCTION, 0);
    m.add(newEdit(j, 0));
    m.add(newEdit(j, 1));
    EXPECT_EQ(j.take(), "free e0");
    EXPECT_EQ(undoAll(m), 1);
    m.resize(-5); // still one slot: keeps the history
    EXPECT_TRUE(m.redo());
    m.resize(2); // another capacity empties it
    EXPECT_EQ(j.take(), "undo e1 redo e1 free e1");
    EXPECT_FALSE(m.undo());
    m.add(newEdit(j, 2));
    m.add(newEdit(j, 3));
    EXPECT_EQ(undoAll(m), 2);
    static_assert(!std::is_copy_constructible<kutUndoMgr>::value, "a copy would release records twice");
    static_assert(!std::is_copy_assignable<kutUndoMgr>::value, "a copy would release records twice");
}

namespace {

// State mode over one int: each record keeps the value from before an edit.
struct snapshot : kutStateUndo {
    explicit snapshot(int& state) : state(&state), value(state) {}
    void undo() override { *state = value; }
    void capture() override
    {
        value = *state;
        ++captures;
    }
    int* state;
    int value;
    int captures = 0;
};

struct stateMgr : kutUndoMgr {
    explicit stateMgr(int& state, ManageType mode = STATE) : kutUndoMgr(mode, 32), state(&state) {}
    void allocateInitialState() override
    {
        ++allocations;
        setInitial(new snapshot(*state));
    }
    int* state;
    int allocations = 0;
};

} // namespace

TEST(KutUndoMgr, StateModeRedoesTheLastUndoFromTheInitialRecord)
{
    int state = 0;
    stateMgr m(state);
    for (int edit = 0; edit < 3; ++edit) {
        m.add(new snapshot(state)); // the state before the edit
        state = 10 * (edit + 1);
    }
    const int expected[] = {20, 10, 20, 30};
    ASSERT_TRUE(m.undo());
    EXPECT_EQ(state, expected[0]);
    ASSERT_TRUE(m.undo());
    EXPECT_EQ(state, expected[1]);
    ASSERT_TRUE(m.redo());
    EXPECT_EQ(state, expected[2]);
    ASSERT_TRUE(m.redo());
    EXPECT_EQ(state, expected[3]);
    EXPECT_FALSE(m.redo());
    EXPECT_EQ(m.allocations, 1);
    EXPECT_EQ(static_cast<snapshot*>(m.getInitial())->captures, 1);

    // The first undo after a new edit captures the present state again.
    m.add(new snapshot(state));
    state = 40;
    EXPECT_EQ(undoAll(m), 4);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(m.allocations, 1);
    EXPECT_EQ(static_cast<snapshot*>(m.getInitial())->captures, 2);
    while (m.redo()) {
    }
    EXPECT_EQ(state, 40);
}

TEST(KutUndoMgr, EveryModeButFunctionIsStateMode)
{
    // The stored history may name any mode value; only 1 means function mode.
    int state = 0;
    stateMgr m(state, static_cast<kutUndoMgr::ManageType>(7));
    m.add(new snapshot(state));
    state = 1;
    ASSERT_TRUE(m.undo());
    EXPECT_EQ(state, 0);
    EXPECT_EQ(m.allocations, 1);
    ASSERT_TRUE(m.redo());
    EXPECT_EQ(state, 1);
}

TEST(KutUndoMgr, StateModeWithoutInitialRecordCannotUndo)
{
    int state = 1;
    kutUndoMgr m(kutUndoMgr::STATE);
    m.add(new snapshot(state));
    state = 2;
    EXPECT_FALSE(m.undo());
    EXPECT_EQ(state, 2);
    EXPECT_EQ(m.getInitial(), nullptr);
}
