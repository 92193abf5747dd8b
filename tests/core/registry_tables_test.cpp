#include "kgiObjectTable.h"
#include "kgiTables.h"

#include "kgcMaterial.h"
#include "ksgViewpoint.h"

#include <gtest/gtest.h>

namespace {

// Counts live objects so the tests see what the table deletes.
struct Tracked {
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() { --alive; }
};
int Tracked::alive = 0;

class TrackedTable : public kgiObjectTable<Tracked> {
public:
    int create() {
        int id = -1;
        createEntry(id);
        return id;
    }
    bool remove(int id) { return removeId(id); }
    bool remove(const Tracked* t) { return removeObject(t); }
};

TEST(ObjectTable, ReleasedIdIsReusedFirst) {
    TrackedTable table;
    const int a = table.create(), b = table.create(), c = table.create();
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, c);
    ASSERT_TRUE(table.remove(b));
    EXPECT_EQ(table.find(b), nullptr);
    EXPECT_EQ(table.create(), b);
}

TEST(ObjectTable, UnknownIdOrPointerChangesNothing) {
    TrackedTable table;
    const int a = table.create();
    Tracked outsider;
    EXPECT_FALSE(table.remove(a + 7));
    EXPECT_FALSE(table.remove(&outsider));
    EXPECT_FALSE(table.remove(static_cast<const Tracked*>(nullptr)));
    EXPECT_EQ(table.size(), 1);
    EXPECT_NE(table.find(a), nullptr);
    EXPECT_EQ(table.idOf(nullptr), -1);
    EXPECT_EQ(table.idOf(&outsider), -1);
}

TEST(ObjectTable, RemoveAndClearDeleteTheObjects) {
    const int before = Tracked::alive;
    {
        TrackedTable table;
        const int a = table.create();
        table.create();
        table.create();
        EXPECT_EQ(Tracked::alive, before + 3);
        ASSERT_TRUE(table.remove(table.find(a)));
        EXPECT_EQ(Tracked::alive, before + 2);
        table.clear();
        EXPECT_EQ(Tracked::alive, before);
        EXPECT_EQ(table.size(), 0);
        table.create();
    }
    EXPECT_EQ(Tracked::alive, before) << "the destructor frees what is left";
}

TEST(ObjectTable, ListAllIsInAscendingIdOrderAfterRemovals) {
    TrackedTable table;
    int ids[5];
    for (int& id : ids) id = table.create();
    table.remove(ids[1]);
    table.remove(ids[3]);
    std::vector<Tracked*> out{nullptr, nullptr};  // listAll empties it first
    table.listAll(out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], table.find(ids[0]));
    EXPECT_EQ(out[1], table.find(ids[2]));
    EXPECT_EQ(out[2], table.find(ids[4]));
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(table.idOf(out[i]), ids[2 * i]);
}

TEST(ProgramTables, ViewpointsAndMaterialsAreOwnedAndRemovedByPointer) {
    kgiViewpointTable* views = kgiViewpointTable::instance();
    EXPECT_EQ(views, kgiViewpointTable::instance());
    ksgViewpoint* v = views->create();
    ASSERT_NE(v, nullptr);
    const int id = views->idOf(v);
    EXPECT_EQ(views->find(id), v);
    EXPECT_TRUE(views->remove(v));
    EXPECT_FALSE(views->remove(v));

    kgiMaterialTable* materials = kgiMaterialTable::instance();
    kgcMaterial* m = materials->create();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(materials->remove(m));
}

} // namespace
