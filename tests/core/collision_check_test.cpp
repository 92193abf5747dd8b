#include "kgiCollisionCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "kgcBoxMesh.h"
#include "kgiCharacter.h"
#include "kgiKmdData.h"
#include "kgiWorld.h"
#include "ksgModel.h"
#include "ksgTransform.h"

namespace {

kmlMatrix4 translation(float x, float y, float z)
{
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(x, y, z));
    return m;
}

ksgModel* meshModel(float size)
{
    ksgModel* model = new ksgModel;
    model->setMesh(new kgcBoxMesh(size));
    kgiKmdData* data = new kgiKmdData;
    model->setData(data);
    data->setType(kgiKmdData::PART);
    return model;
}

// A part child as the model builder makes them: a transform whose first
// child is the model drawing a unit cube.
ksgTransform* partChild(float x, float y, float z)
{
    ksgTransform* t = new ksgTransform;
    t->setLocal(translation(x, y, z));
    t->attachChild(meshModel(1.0f));
    return t;
}

// A part without a mesh of its own, its meshes on children at the offsets.
std::unique_ptr<ksgTransform> part(const char* name, const std::vector<kmlVec3>& children,
                                   float dx = 0.0f)
{
    std::unique_ptr<ksgTransform> p(new ksgTransform);
    p->setName(name);
    p->setLocal(translation(dx, 0, 0));
    for (const kmlVec3& c : children)
        p->attachChild(partChild(c[0], c[1], c[2]));
    p->update(0.0f, false, true);
    return p;
}

bool childHit(ksgNode* p, int i)
{
    return kgiKmdData::of(kgiCollisionCheck::partModel(p->getChild(i)))->isHit();
}

TEST(CollisionPair, CoarseThenFineBoxes)
{
    struct Case {
        const char* what;
        std::vector<kmlVec3> a, b;
        bool hit;
    };
    const Case cases[] = {
        {"meshes overlap", {{0, 0, 0}}, {{0.5f, 0.2f, 0}}, true},
        {"coarse boxes overlap, no mesh does", {{0, 0, 0}, {4, 0, 0}}, {{2, 0, 0}}, false},
        {"apart", {{0, 0, 0}}, {{3, 0, 0}}, false},
        {"touching faces count", {{0, 0, 0}}, {{1, 0, 0}}, true},
    };
    for (const Case& c : cases) {
        auto a = part("A", c.a);
        auto b = part("B", c.b);
        std::vector<unsigned char> flags(kgiPartTable::FLAG_COUNT, 0);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(kgiCollisionCheck::instance()->checkPair(a.get(), b.get(), flags.data()), c.hit)
            << c.what;
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(flags[size_t(a->getId())], c.hit ? 1 : 0) << c.what;
        EXPECT_EQ(flags[size_t(b->getId())], c.hit ? 1 : 0) << c.what;
        EXPECT_EQ(childHit(a.get(), 0), c.hit) << c.what;
        EXPECT_EQ(childHit(b.get(), 0), c.hit) << c.what;
        EXPECT_EQ(err, c.hit ? "Collision Hit: A & B\n" : "") << c.what;
    }
}

TEST(CollisionPair, PartsWithTheirOwnMesh)
{
    // Each part's first child is its own model, whose box is the coarse
    // test; the children (the own model among them) are the fine test.
    auto build = [](float ownX) {
        std::unique_ptr<ksgTransform> p(new ksgTransform);
        ksgModel* own = meshModel(1.0f);
        p->attachChild(own);
        p->attachChild(partChild(0, 0, 0));
        p->setLocal(translation(ownX, 0, 0));
        p->update(0.0f, false, true);
        return p;
    };
    auto a = build(0);
    auto b = build(0.5f);
    std::vector<unsigned char> flags(kgiPartTable::FLAG_COUNT, 0);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(kgiCollisionCheck::instance()->checkPair(a.get(), b.get(), flags.data()));
    auto c = build(5);
    EXPECT_FALSE(kgiCollisionCheck::instance()->checkPair(a.get(), c.get(), flags.data()));
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(kgiCollisionCheck::instance()->checkPair(a.get(), nullptr, flags.data()));
    EXPECT_FALSE(kgiCollisionCheck::instance()->checkPair(a.get(), b.get(), nullptr));
}

TEST(CollisionPair, ChildPartBoxInTheWorldOrInTheChildsOwnFrame)
{
    // The part at x = 2, its mesh child 3 further along.
    auto a = part("A", {{3, 0, 0}}, 2.0f);
    ASSERT_TRUE(a->getChild(0)->getChild()->asModel());
    struct Case {
        bool toWorld;
        float centreX;
    };
    for (const Case& c : {Case{true, 5.0f}, Case{false, 0.0f}}) {
        kgcOrientedBox box;
        ASSERT_TRUE(kgiCollisionCheck::childPartBox(a.get(), 0, c.toWorld, box)) << c.toWorld;
        EXPECT_NEAR(box.getCenter()[0], c.centreX, 1e-5f) << c.toWorld;
        EXPECT_NEAR(box.getMax()[0] - box.getMin()[0], 1.0f, 1e-5f) << c.toWorld;
    }
    kgcOrientedBox box;
    EXPECT_FALSE(kgiCollisionCheck::childPartBox(a.get(), 1, true, box)) << "no such child";
    EXPECT_FALSE(kgiCollisionCheck::childPartBox(a->getChild(0), 0, false, box))
        << "the model itself draws no part below it";
}

TEST(CollisionPair, PartIdsBeyondTheTableAreNotWrittenOutside)
{
    // Node ids grow with every node alive in the process; parts made after
    // a thousand other nodes must not write past the 1000-byte table.
    std::vector<std::unique_ptr<ksgNode>> filler;
    for (int i = 0; i < kgiPartTable::FLAG_COUNT; ++i)
        filler.emplace_back(new ksgNode);
    auto a = part("A", {{0, 0, 0}});
    auto b = part("B", {{0.5f, 0, 0}});
    ASSERT_GE(a->getId(), kgiPartTable::FLAG_COUNT);
    std::vector<unsigned char> flags(kgiPartTable::FLAG_COUNT, 0);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(kgiCollisionCheck::instance()->checkPair(a.get(), b.get(), flags.data()));
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(childHit(a.get(), 0));
}

TEST(CollisionMarks, SubtreeWalkStopsAtChildrenWithoutModel)
{
    // root -> c1 (model) -> g (model); root -> c2 (no model) -> c3 (model)
    auto root = part("root", {{0, 0, 0}});
    ksgNode* c1 = root->getChild(0);
    ksgTransform* g = partChild(0, 1, 0);
    c1->attachChild(g);
    ksgTransform* c2 = new ksgTransform;
    root->attachChild(c2);
    ksgTransform* c3 = partChild(0, 2, 0);
    c2->attachChild(c3);
    auto data = [](ksgNode* n) { return kgiKmdData::of(kgiCollisionCheck::partModel(n)); };

    kgiCollisionCheck::setSubtreeHit(root.get(), true);
    EXPECT_TRUE(data(c1)->isHit());
    EXPECT_TRUE(data(g)->isHit());
    EXPECT_FALSE(data(c3)->isHit());
    EXPECT_FALSE(data(c1)->isHit2());

    kgiCollisionCheck::setSubtreeMark(root.get(), true);
    EXPECT_TRUE(data(g)->isHit2());
    EXPECT_FALSE(data(c3)->isHit2());
    kgiCollisionCheck::setSubtreeHit(root.get(), false);
    EXPECT_FALSE(data(g)->isHit());
    EXPECT_TRUE(data(g)->isHit2());
    kgiCollisionCheck::setSubtreeHit(nullptr, true);
}

TEST(CollisionMarks, RelatedMeansAncestorByLowerId)
{
    auto root = part("root", {{0, 0, 0}});
    ksgNode* child = root->getChild(0);
    auto other = part("other", {{0, 0, 0}});
    EXPECT_TRUE(kgiCollisionCheck::isRelated(root.get(), child));
    EXPECT_TRUE(kgiCollisionCheck::isRelated(child, root.get()));
    EXPECT_FALSE(kgiCollisionCheck::isRelated(root.get(), root.get()));
    EXPECT_FALSE(kgiCollisionCheck::isRelated(child, other.get()));
    EXPECT_FALSE(kgiCollisionCheck::isRelated(nullptr, child));
}

// Stands in for the robot joint table.
struct FakeParts : kgiPartTable {
    bool collide = false;
    int checks = 0;
    int clears = 0;
    bool checkPartCollisions(kgiCharacter*, unsigned char flags[FLAG_COUNT]) override
    {
        ++checks;
        if (collide)
            flags[7] = 1;
        return collide;
    }
    void clearCollisionHits(kgiCharacter*) override { ++clears; }
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }
};

class CollisionCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = kgiWorld::instance();
        id = world->createCharacter();
        ASSERT_GE(id, 0);
        world->setCurrentCharacter(id);
        kgiPartTable::install(&parts);
        check()->clearHits();
    }
    void TearDown() override
    {
        kgiPartTable::install(nullptr);
        world->removeCharacter(id);
        world->setCurrentTime(0);
        check()->clearHits();
    }
    static kgiCollisionCheck* check() { return kgiCollisionCheck::instance(); }
    // Collides or not at a time, with the detail setting on.
    bool at(float t, bool collide)
    {
        world->setCurrentTime(t);
        parts.collide = collide;
        return check()->check(true);
    }
    std::vector<float> times() const
    {
        std::vector<float> out;
        for (const auto& r : check()->getHits())
            out.push_back(r.time);
        return out;
    }

    kgiWorld* world = nullptr;
    int id = -1;
    FakeParts parts;
};

TEST_F(CollisionCheck, OneRecordPerTimeKeptInPlace)
{
    EXPECT_TRUE(at(3, true));
    EXPECT_TRUE(at(3, true));
    EXPECT_EQ(times(), std::vector<float>{3});
    EXPECT_EQ(check()->getHits()[0].parts, std::vector<int>{7});
    EXPECT_TRUE(at(5, true));
    EXPECT_TRUE(at(3, true));
    EXPECT_EQ(times(), (std::vector<float>{3, 5}));
    EXPECT_FALSE(at(3, false));
    EXPECT_EQ(times(), std::vector<float>{5});
    EXPECT_TRUE(at(1, true));
    EXPECT_EQ(times(), (std::vector<float>{5, 1})) << "new times go to the end";
}

TEST_F(CollisionCheck, WithoutDetailOnlyColoursAreCleared)
{
    EXPECT_TRUE(at(2, true));
    world->setCurrentTime(2);
    parts.collide = true;
    EXPECT_FALSE(check()->check(false));
    EXPECT_EQ(parts.clears, 1);
    EXPECT_EQ(parts.checks, 1);
    EXPECT_TRUE(times().empty()) << "the time's record is dropped, none added";
}

TEST_F(CollisionCheck, WithoutCurrentCharacterNothingChanges)
{
    EXPECT_TRUE(at(4, true));
    world->setCurrentCharacter(-1);
    world->setCurrentTime(4);
    parts.collide = false;
    EXPECT_FALSE(check()->check(true));
    EXPECT_EQ(times(), std::vector<float>{4});
    EXPECT_EQ(parts.checks, 1);

    kgiPartTable::install(nullptr);
    world->setCurrentCharacter(id);
    EXPECT_FALSE(check()->check(true)) << "no part table: nothing can collide";
    EXPECT_TRUE(times().empty());
}

TEST(CollisionReport, FrameRangeLines)
{
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(40);
    world->setStartFrame(12);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(kgiCollisionCheck::instance()->printFrameRange());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "startframe: 12\n  endframe: 40\n");
    world->setStartFrame(0);
}

} // namespace
