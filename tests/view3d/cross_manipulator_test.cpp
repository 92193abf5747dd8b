#include "kgiCrossManipulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "kgcCylinderMesh.h"
#include "ksgModel.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"

namespace {

// Records what the manipulator hands on, whether or not it has a target.
class Recorder : public ksgTransformController {
public:
    bool update(const kmlVec3& input, bool flag) override
    {
        last = input;
        isDelta = flag;
        ++calls;
        return true;
    }
    kmlVec3 last;
    bool isDelta = false;
    int calls = 0;
};

kmlVec3 position(const kmlMatrix4& m)
{
    return kmlVec3(m(0, 3), m(1, 3), m(2, 3));
}

void expectNear(const kmlVec3& a, const kmlVec3& b, const char* what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-4f) << what << " component " << i;
}

// A joint turned 30 degrees about z at (1, 2, 3) below a parent scaled by
// `scale`, with a cross manipulator on it that feeds a recorder. The tree
// owns the manipulator; the recorder outlives the tree.
struct Rig {
    Recorder recorder;
    std::unique_ptr<ksgTransform> parent{new ksgTransform};
    ksgTransform* joint = new ksgTransform;
    kgiCrossManipulator* cross = new kgiCrossManipulator;

    explicit Rig(float scale)
    {
        kmlMatrix4 s;
        s.setDiag(scale);
        s.set(3, 3, 1.0f);
        parent->setLocal(s);
        kmlMatrix4 local;
        local.setRotation(30.0f, kmlVec3(0, 0, 1));
        local.setTranslation(kmlVec3(1, 2, 3));
        joint->setLocal(local);
        parent->attachChild(joint);
        cross->init();
        cross->setController(&recorder);
        cross->setTarget(joint);
        parent->update(0.0f, false, true);
    }
    // The manipulator's x axis in the world, unit length.
    static kmlVec3 xAxis() { return kmlVec3(0.8660254f, 0.5f, 0.0f); }
};

TEST(CrossManipulator, ArmRestrictsGoalAndDeltaToItsAxisUnderAnyScale)
{
    const kmlVec3 move(3.0f, 5.0f, -2.0f);
    for (float scale : {1.0f, 2.0f}) {
        SCOPED_TRACE(scale);
        Rig rig(scale);
        rig.cross->select(rig.cross->getArmModel(kgiCrossManipulator::ARM_X));
        ASSERT_EQ(rig.cross->getSelected(), kgiCrossManipulator::ARM_X);

        const kmlVec3 p = position(rig.joint->getWorld());
        expectNear(p, kmlVec3(scale * 1, scale * 2, scale * 3), "target");
        const kmlVec3 x = Rig::xAxis();
        const kmlVec3 along = move.dot(x) * x;

        EXPECT_TRUE(rig.cross->update(p + move, false));
        EXPECT_FALSE(rig.recorder.isDelta);
        expectNear(rig.recorder.last, p + along, "goal");

        EXPECT_TRUE(rig.cross->update(move, true));
        EXPECT_TRUE(rig.recorder.isDelta);
        expectNear(rig.recorder.last, along, "delta");
    }
}

TEST(CrossManipulator, CentreOrNothingKeepsGoalAtTargetAndPassesDelta)
{
    Rig rig(1.0f);
    const kmlVec3 p = position(rig.joint->getWorld());
    const kmlVec3 move(3.0f, 5.0f, -2.0f);
    for (ksgNode* picked : {static_cast<ksgNode*>(rig.cross->getCentreModel()), static_cast<ksgNode*>(nullptr)}) {
        rig.cross->select(picked);
        SCOPED_TRACE(rig.cross->getSelected());
        rig.cross->update(p + move, false);
        expectNear(rig.recorder.last, p, "goal");
        rig.cross->update(move, true);
        EXPECT_EQ(rig.recorder.last, move);
    }
}

TEST(CrossManipulator, GoalWithoutTargetDoesNothing)
{
    Recorder recorder;
    kgiCrossManipulator cross;
    cross.init();
    cross.setController(&recorder);
    cross.select(cross.getArmModel(0));
    EXPECT_FALSE(cross.update(kmlVec3(1, 2, 3), false));
    EXPECT_EQ(recorder.calls, 0);
}

// The models a world-space ray meets, each once, in the order of the hits.
std::vector<ksgNode*> picked(kgiCrossManipulator& cross, const kmlVec3& from, const kmlVec3& dir)
{
    std::vector<ksgNode::Hit> hits;
    cross.pick(kmlVec4(from[0], from[1], from[2], 1.0f), kmlVec4(dir[0], dir[1], dir[2], 0.0f), hits);
    std::vector<ksgNode*> models;
    for (const ksgNode::Hit& h : hits) {
        if (std::find(models.begin(), models.end(), h.second) == models.end())
            models.push_back(h.second);
    }
    return models;
}

using Models = std::vector<ksgNode*>;

TEST(CrossManipulator, PickedTipSelectsItsArmAlongItsAxis)
{
    kgiCrossManipulator cross;
    cross.init();
    // Rays that pass just beyond the end of one arm (inside its cone only).
    struct Case {
        kmlVec3 from, dir;
        int arm;
    };
    const Case cases[] = {
        {kmlVec3(1.1f, 5, 0), kmlVec3(0, -1, 0), kgiCrossManipulator::ARM_X},
        {kmlVec3(5, 1.1f, 0), kmlVec3(-1, 0, 0), kgiCrossManipulator::ARM_Y},
        {kmlVec3(0, 5, 1.1f), kmlVec3(0, -1, 0), kgiCrossManipulator::ARM_Z},
    };
    for (const Case& c : cases) {
        const Models hit = picked(cross, c.from, c.dir);
        ASSERT_EQ(hit, Models{cross.getTipModel(c.arm)}) << "arm " << c.arm;
        cross.select(hit.front());
        EXPECT_EQ(cross.getSelected(), c.arm);
    }
}

TEST(CrossManipulator, NodeOfAnotherManipulatorSelectsNothing)
{
    kgiCrossManipulator cross, other;
    cross.init();
    other.init();
    cross.select(cross.getTipModel(kgiCrossManipulator::ARM_Z));
    ASSERT_EQ(cross.getSelected(), kgiCrossManipulator::ARM_Z);
    cross.select(other.getArmModel(kgiCrossManipulator::ARM_Z));
    EXPECT_EQ(cross.getSelected(), kgiCrossManipulator::NONE);
}

TEST(CrossManipulator, InitBuildsOnceAlsoWhenAttached)
{
    kgiCrossManipulator* cross = new kgiCrossManipulator;
    cross->init();
    const int children = cross->getNumChildren();
    EXPECT_EQ(children, 4); // the centre and three arms
    std::unique_ptr<ksgTransform> joint(new ksgTransform);
    cross->setTarget(joint.get());
    EXPECT_EQ(cross->getNumChildren(), children);
}

TEST(CrossManipulator, ArmLengthMovesTipsAndRebuildsArms)
{
    kgiCrossManipulator cross;
    cross.init();
    cross.setArmLength(2.0f);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        expectNear(position(cross.getTipTransform(i)->getLocal()), kmlVec3(0, 2, 0), "tip");
        kgcCylinderMesh* mesh = cross.getArmMesh(i);
        EXPECT_EQ(mesh->getHeight(), 2.0f);
        float top = 0.0f;
        for (int v = 0; v < mesh->getNumVertices(); ++v)
            top = std::max(top, mesh->vertexAt(v)[1]);
        EXPECT_FLOAT_EQ(top, 2.0f) << "the mesh was rebuilt";
    }
    // The tips are picked where they now stand.
    EXPECT_EQ(picked(cross, kmlVec3(5, 2.1f, 0), kmlVec3(-1, 0, 0)), Models{cross.getTipModel(1)});
    EXPECT_EQ(picked(cross, kmlVec3(5, 1.1f, 0), kmlVec3(-1, 0, 0)), Models{cross.getArmModel(1)});
}

TEST(CrossManipulator, RadiusAndCentreSettersRebuildTheirMeshes)
{
    kgiCrossManipulator before, after;
    before.init();
    after.init();
    after.setArmRadius(0.05f);
    after.setTipRadius(0.4f);
    after.setCentreSize(0.5f);
    // Rays that meet only the part a setter changed: a larger ball, a wider
    // cone, and a thinner arm that a ray 0.07 beside its axis now misses.
    struct Case {
        kmlVec3 from, dir;
        Models before, after;
    };
    const Case cases[] = {
        {kmlVec3(0.3f, 0.3f, 5), kmlVec3(0, 0, -1), {}, {after.getCentreModel()}},
        {kmlVec3(5, 1.05f, 0.3f), kmlVec3(-1, 0, 0), {}, {after.getTipModel(1)}},
        {kmlVec3(0.07f, 0.6f, 5), kmlVec3(0, 0, -1), {before.getArmModel(1)}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(picked(before, c.from, c.dir), c.before) << c.from[0] << "," << c.from[1];
        EXPECT_EQ(picked(after, c.from, c.dir), c.after) << c.from[0] << "," << c.from[1];
    }
}

} // namespace
