// Models, bounds, picking, scenes and node groups.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "kgcMesh.h"
#include "ksgModel.h"
#include "ksgNodeGroup.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "tree_test_util.h"

using ksgtest::translation;
using ksgtest::vecNear;

namespace {

// One triangle in the z = 0 plane, facing +z, around the origin.
kgcMesh* triangle()
{
    kgcMesh* m = new kgcMesh;
    m->begin(3, 1, 1);
    m->addVertex(-1, -1, 0);
    m->addVertex(1, -1, 0);
    m->addVertex(0, 1, 0);
    m->addNormal(0, 0, 1);
    m->addFace(0, 1, 2, 0);
    m->end();
    return m;
}

struct PickScene {
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    ksgModel* model = new ksgModel;

    PickScene()
    {
        root.attachChild(joint);
        joint->attachChild(model);
        model->setMesh(triangle());
        joint->setLocal(translation(10, 0, 0));
        root.update(0, false, true);
    }
};

TEST(ModelBounds, MeshBoxMovesWithTheParentAndPropagatesOnlyWhenAsked)
{
    PickScene s;
    EXPECT_TRUE(vecNear(s.root.getBounds().getMin(), kmlVec3(9, -1, 0)));
    EXPECT_TRUE(vecNear(s.root.getBounds().getMax(), kmlVec3(11, 1, 0)));

    s.joint->setLocal(translation(20, 0, 0));
    s.joint->update(0, false, false);
    EXPECT_TRUE(vecNear(s.joint->getBounds().getMin(), kmlVec3(19, -1, 0)));
    EXPECT_TRUE(vecNear(s.root.getBounds().getMin(), kmlVec3(9, -1, 0))) << "not propagated";
    s.joint->update(0, false, true);
    EXPECT_TRUE(vecNear(s.root.getBounds().getMin(), kmlVec3(19, -1, 0)));
}

TEST(ModelMesh, SettingTheHeldMeshOrNullKeepsIt)
{
    ksgModel model;
    kgcMesh* m = triangle();
    model.setMesh(m);
    model.setMesh(m);
    model.setMesh(nullptr);
    EXPECT_EQ(model.getMesh(), m);
    EXPECT_TRUE(vecNear(model.getMeshBox().getMax(), kmlVec3(1, 1, 0)));

    ksgModel copy(model);
    ASSERT_NE(copy.getMesh(), nullptr);
    EXPECT_NE(copy.getMesh(), m) << "the copy owns its own mesh";
    EXPECT_TRUE(*copy.getMesh() == *m);
}

TEST(Picking, HitsComeBackInWorldCoordinates)
{
    PickScene s;
    std::vector<ksgNode::Hit> hits;
    s.root.pick(kmlVec4(10, 0, 5, 1), kmlVec4(0, 0, -1, 0), hits);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].second, s.model);
    const kmlVec4& p = hits[0].first;
    EXPECT_TRUE(vecNear(kmlVec3(p.get(0), p.get(1), p.get(2)), kmlVec3(10, 0, 0)));
    EXPECT_EQ(hits[0].first.get(3), 1.0f);
}

TEST(Picking, ARayMissingTheBoundsAddsNothing)
{
    PickScene s;
    // A second model below the first, placed by the same joint.
    ksgModel* inner = new ksgModel;
    s.model->attachChild(inner);
    inner->setMesh(triangle());
    s.root.update(0, false, true);

    std::vector<ksgNode::Hit> hits;
    s.root.pick(kmlVec4(0, 0, 5, 1), kmlVec4(0, 0, -1, 0), hits);
    EXPECT_TRUE(hits.empty());
    s.model->pick(kmlVec4(0, 0, 5, 1), kmlVec4(0, 0, -1, 0), hits);
    EXPECT_TRUE(hits.empty());
    // Both meshes sit at x = 10 and are hit from there, the outer first.
    s.root.pick(kmlVec4(10, 0, 5, 1), kmlVec4(0, 0, -1, 0), hits);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].second, s.model);
    EXPECT_EQ(hits[1].second, inner);
}

TEST(Scene, RootsGoInAscendingIdAndAreNotOwned)
{
    // Ids are reused, so which of two new nodes gets the lower one depends
    // on what was freed before: sort them out first.
    ksgTransform* late = new ksgTransform;
    ksgTransform* early = new ksgTransform;
    if (early->getId() < late->getId())
        std::swap(early, late);
    {
        ksgScene scene;
        scene.addRoot(early);
        scene.addRoot(late);
        scene.addRoot(nullptr);
        std::vector<ksgTransform*> roots = scene.getRoots();
        ASSERT_EQ(roots.size(), 2u);
        EXPECT_EQ(roots[0], late);
        EXPECT_EQ(roots[1], early);

        early->setLocal(translation(1, 0, 0));
        scene.update(0, true);
        EXPECT_TRUE(vecNear(ksgtest::position(early->getWorld()), kmlVec3(1, 0, 0)));

        scene.remRoot(late);
        EXPECT_EQ(scene.getRoots(), std::vector<ksgTransform*>{early});
    }
    delete late;
    delete early;
}

// A node group that takes transforms only.
class JointGroup : public ksgNodeGroup {
public:
    bool accept(ksgNode* n) const override { return n != nullptr && n->asTransform() != nullptr; }
};

struct GroupTree {
    ksgTransform root;
    ksgTransform* a = new ksgTransform;
    ksgNode* b = new ksgNode;
    ksgTransform* a1 = new ksgTransform;
    ksgTransform* b1 = new ksgTransform;

    GroupTree()
    {
        root.attachChild(a);
        root.attachChild(b);
        a->attachChild(a1);
        b->attachChild(b1);
    }
};

TEST(NodeGroup, ModesAndFilters)
{
    GroupTree t;
    ksgNodeGroup single;
    EXPECT_EQ(single.getName(), "unnamed");
    single.addNode(t.a);
    single.addNode(t.a);
    single.addNode(nullptr);
    EXPECT_EQ(single.getNumNodes(), 1u);

    ksgNodeGroup subtree("arm");
    subtree.setMode(ksgNodeGroup::SUBTREE);
    subtree.addNode(&t.root);
    EXPECT_EQ(subtree.getNumNodes(), 5u);
    EXPECT_EQ(subtree[0], &t.root);
    EXPECT_EQ(subtree[1], t.a);
    EXPECT_EQ(subtree[2], t.a1);
    EXPECT_EQ(subtree[3], t.b);
    EXPECT_EQ(subtree[5], nullptr);
    subtree.remNode(t.b);
    EXPECT_FALSE(subtree.hasNode(t.b));
    EXPECT_FALSE(subtree.hasNode(t.b1));
    EXPECT_TRUE(subtree.hasNode(t.a1));

    // A refused node still lets its subtree in.
    JointGroup joints;
    joints.setMode(ksgNodeGroup::SUBTREE);
    joints.addNode(t.b);
    EXPECT_EQ(joints.getNumNodes(), 1u);
    EXPECT_EQ(joints[0], t.b1);

    joints.setMode(static_cast<ksgNodeGroup::Mode>(5));
    EXPECT_EQ(joints.getMode(), ksgNodeGroup::SINGLE);
    joints.reset();
    EXPECT_EQ(joints.getNumNodes(), 0u);
}

TEST(NodeGroup, EqualityComparesTheNodeSequenceOnly)
{
    GroupTree t;
    ksgNodeGroup first("first");
    ksgNodeGroup second("second");
    second.setMode(ksgNodeGroup::SUBTREE);
    first.addNode(t.a);
    first.addNode(t.b);
    second.addNode(t.a);
    EXPECT_TRUE(first != second);
    second.remNode(t.a);
    second.setMode(ksgNodeGroup::SINGLE);
    second.addNode(t.a);
    second.addNode(t.b);
    EXPECT_TRUE(first == second);
    second.reset();
    second.addNode(t.b);
    second.addNode(t.a);
    EXPECT_TRUE(first != second) << "order counts";

    ksgNodeGroup copy;
    copy = second;
    EXPECT_EQ(copy.getName(), "second");
    EXPECT_TRUE(copy.hasNode(t.a));
}

} // namespace
