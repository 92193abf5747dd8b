#include "kgiTables.h"
#include "kgiWorld.h"

#include "core/child_process_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// The records of a table by id; ids are small, so the first few hundred
// cover everything the world registers.
template <class Table>
std::vector<const void*> records(const Table* table) {
    std::vector<const void*> found;
    for (int id = 0; id < 256; ++id) found.push_back(table->find(id));
    return found;
}

// In a child: the world and its tables are one per process.
void runInitTwice() {
    kgiWorld* w = kgiWorld::instance();
    w->init();
    const auto lights = records(kgiLightTable::instance());
    const auto materials = records(kgiMaterialTable::instance());
    kgiScene* scene = w->getScene();
    kgcMaterial* ghost = w->getGhostSetup().material;
    CHILD_CHECK(kgiLightTable::instance()->size() == 2);
    CHILD_CHECK(kgiMaterialTable::instance()->size() == 8);

    w->init();
    CHILD_CHECK(kgiLightTable::instance()->size() == 2);
    CHILD_CHECK(kgiMaterialTable::instance()->size() == 8);
    CHILD_CHECK(records(kgiLightTable::instance()) == lights);
    CHILD_CHECK(records(kgiMaterialTable::instance()) == materials);
    CHILD_CHECK(w->getScene() == scene);
    CHILD_CHECK(w->getGhostSetup().material == ghost);
    std::_Exit(0);
}

TEST(WorldInit, ASecondCallChangesNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runInitTwice(), ::testing::ExitedWithCode(0), "");
}

} // namespace
