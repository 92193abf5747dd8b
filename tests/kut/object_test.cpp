#include "kutObject.h"
#include "kutUndoMgr.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// A small hierarchy: animal <- dog <- puppy (no record of its own), and the
// sibling branch animal <- cat.
struct animal : kutObject {
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
};
struct dog : animal {
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
};
struct puppy : dog {};
struct cat : animal {
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
};
const kutRtti animal::RTTI("animal", &kutObject::RTTI);
const kutRtti dog::RTTI("dog", &animal::RTTI);
const kutRtti cat::RTTI("cat", &animal::RTTI);

// Counts its own destruction.
struct counted : kutObject {
    explicit counted(int& deaths) : deaths(&deaths) {}
    ~counted() override { ++*deaths; }
    int* deaths;
};

} // namespace

TEST(KutObject, KindTestsWalkTheRecords)
{
    const kutObject plain;
    const dog d;
    const puppy p;
    const cat c;
    const kutRtti sameNameAsDog("dog", &animal::RTTI);
    struct Case {
        const kutObject* obj;
        const kutRtti* rtti;
        bool isA, isKind;
    };
    const Case cases[] = {
        {&plain, &kutObject::RTTI, true, true},
        {&d, &kutObject::RTTI, false, true},
        {&d, &animal::RTTI, false, true},
        {&d, &dog::RTTI, true, true},
        {&d, &cat::RTTI, false, false},          // sibling branch
        {&c, &dog::RTTI, false, false},
        {&p, &dog::RTTI, true, true},            // reported as its nearest recorded ancestor
        {&d, &sameNameAsDog, false, false},      // records compare by address
        {&d, nullptr, false, false},
        {&plain, &animal::RTTI, false, false},   // a base is not of its subclass's kind
    };
    for (const Case& k : cases) {
        const std::string what = k.obj->getRtti()->getName() + " vs " +
                                 (k.rtti ? k.rtti->getName() : std::string("null"));
        EXPECT_EQ(k.obj->isA(k.rtti), k.isA) << what;
        EXPECT_EQ(k.obj->isKind(k.rtti), k.isKind) << what;
        EXPECT_EQ(k.obj->cast(k.rtti), k.isKind ? static_cast<const void*>(k.obj) : nullptr) << what;
    }
    EXPECT_EQ(kutObject::className(), "kutObject");
    EXPECT_EQ(kutObject::RTTI.getBase(), nullptr);
    EXPECT_EQ(kutStateUndo::RTTI.getBase(), &kutUndoEntry::RTTI);
    EXPECT_EQ(kutUndoEntry::RTTI.getBase(), &kutObject::RTTI);
    EXPECT_EQ(kutUndoMgr::RTTI.getBase(), &kutObject::RTTI);
}

TEST(KutObject, LastReleaseDeletesOnce)
{
    int deaths = 0;
    counted* o = new counted(deaths);
    o->incRef();
    o->incRef();
    o->decRef();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(o->getRefCount(), 1u);
    o->decRef();
    EXPECT_EQ(deaths, 1);

    // Releasing an object nobody holds wraps the count and deletes nothing.
    counted local(deaths);
    local.decRef();
    EXPECT_EQ(local.getRefCount(), UINT_MAX);
    EXPECT_EQ(deaths, 1);
}

TEST(KutObject, CopiesAndAssignmentKeepTheirOwnCount)
{
    int deaths = 0;
    counted* a = new counted(deaths);
    a->incRef();
    a->incRef();
    const unsigned live = kutObject::getTotalObjectCount();
    {
        counted copy(*a);
        EXPECT_EQ(copy.getRefCount(), 0u);
        EXPECT_EQ(kutObject::getTotalObjectCount(), live + 1);
        copy.incRef();
        *a = copy; // a keeps the count of its two holders
        EXPECT_EQ(a->getRefCount(), 2u);
        copy = *a;
        EXPECT_EQ(copy.getRefCount(), 1u);
    }
    EXPECT_EQ(deaths, 1); // the copy, by its scope
    a->decRef();
    a->decRef();
    EXPECT_EQ(deaths, 2);
}

TEST(KutObject, ReportsAllCleanedEachTimeTheLiveCountReturnsToZero)
{
    ASSERT_EQ(kutObject::getTotalObjectCount(), 0u);
    testing::internal::CaptureStderr();
    auto* a = new kutObject;
    auto* b = new kutObject;
    delete a;
    const std::string afterFirst = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    delete b;
    { kutObject c; }
    const std::string afterAll = testing::internal::GetCapturedStderr();
    EXPECT_EQ(afterFirst, "");
    EXPECT_EQ(afterAll, "All object cleaned\nAll object cleaned\n");
}
