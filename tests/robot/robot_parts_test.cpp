// The robot's parts on the joint table: joined pairs, the collision test
// of the others, part selection and marks, and the centre of gravity, on a
// small tree laid out like the factory robot (joints whose mesh children
// carry the model as their first child).
#include "robot/joint_fixture_test.h"

#include "kgcBoxMesh.h"
#include "kgiCollisionCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

kmlMatrix4 at(float x, float y, float z)
{
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(x, y, z));
    return m;
}

ksgTransform* node(ksgNode* parent, const char* name, float x, float y, float z)
{
    ksgTransform* t = new ksgTransform;
    t->setName(name);
    t->setLocal(at(x, y, z));
    if (parent)
        parent->attachChild(t);
    return t;
}

// A mesh child of a joint: a transform whose first child is the model of a
// cube of that edge, centred on the child.
ksgTransform* mesh(ksgNode* joint, const char* name, float edge = 1.0f, float x = 0, float y = 0, float z = 0)
{
    ksgTransform* t = node(joint, name, x, y, z);
    ksgModel* model = new ksgModel;
    model->setMesh(new kgcBoxMesh(edge));
    kgiKmdData* data = new kgiKmdData;
    model->setData(data);
    data->setType(kgiKmdData::PART);
    t->attachChild(model);
    return t;
}

kgiKmdData* meshData(ksgNode* meshChild)
{
    return kgiKmdData::of(kgiCollisionCheck::partModel(meshChild));
}

// Root (entry 0) carries the hips; Waist hangs below it with no servo
// joint between; the arms hang from Waist, the left hand from the left arm
// through a wrist without an axis. Ghost is a joint line the model lacks,
// before the arms. Meshes (unit cubes) in the world:
//   hips (0,0,0), chest (0,2,0), left arm (2,2,0), left hand (2,-2,0),
//   right arm (-2,2,0): no two touch.
class SmallRobot : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        hips = mesh(root, "HipsMesh");
        waist = node(root, "Waist", 0, 2, 0);
        chest = mesh(waist, "ChestMesh");
        lArm = node(waist, "LArm", 2, 0, 0);
        lArmMesh = mesh(lArm, "LArmMesh");
        lWrist = node(lArm, "LWrist", 0, -3, 0);
        lHand = node(lWrist, "LHand", 0, -1, 0);
        lHandMesh = mesh(lHand, "LHandMesh");
        rArm = node(waist, "RArm", -2, 0, 0);
        rArmMesh = mesh(rArm, "RArmMesh");
        root->update(0.0f, false, true);
        character.attachRoot(root);
        folder.write("character/model.ini", "0 : Waist = 0 :0,-90,90,1 :0,1.0,100.0;\n"
                                            "1 : Ghost = 0 :2,-90,90,1 :1,1.0,100.0;\n"
                                            "2 : LArm = 0 :2,-90,90,1 :2,1.0,100.0;\n"
                                            "3 : LWrist = 0 :3,-90,90,1 :3,1.0,100.0;\n"
                                            "4 : LHand = 0 :2,-90,90,1 :4,1.0,100.0;\n"
                                            "5 : RArm = 0 :2,-90,90,1 :5,1.0,100.0;\n");
        ASSERT_TRUE(table.loadModelIni(folder.path + "/model.ts", &character));
        ASSERT_EQ(table.getNodeCount(), 7);
        ASSERT_EQ(table.getNode(2), nullptr);
    }
    void TearDown() override { kgiCharacterServices::install(nullptr); }

    void place(ksgTransform* t, float x, float y, float z)
    {
        t->setLocal(at(x, y, z));
        root->update(0.0f, false, true);
    }
    // Collision test with the collision lines kept off the output.
    bool collide()
    {
        flags.assign(kgiPartTable::FLAG_COUNT, 0);
        ::testing::internal::CaptureStderr();
        const bool hit = table.checkPartCollisions(&character, flags.data());
        lines = ::testing::internal::GetCapturedStderr();
        return hit;
    }
    // The colour state of the meshes: hips, chest, left arm, left hand,
    // right arm; '-' plain, 'S' selected, 'M' marked, 'B' both.
    std::string colours() const
    {
        std::string s;
        for (ksgNode* m : {hips, chest, lArmMesh, lHandMesh, rArmMesh}) {
            const kgiKmdData* d = meshData(m);
            s += d->isSelected() ? (d->isMarked() ? 'B' : 'S') : (d->isMarked() ? 'M' : '-');
        }
        return s;
    }
    std::string hits() const
    {
        std::string s;
        for (ksgNode* m : {hips, chest, lArmMesh, lHandMesh, rArmMesh})
            s += meshData(m)->isHit() ? 'H' : '-';
        return s;
    }

    kgiTestJoints::QuietServices services;
    kgiTestJoints::TempDir folder;
    std::unique_ptr<ksgTransform> tree{node(nullptr, "Root", 0, 0, 0)};
    ksgTransform* root = tree.get();
    ksgTransform *hips, *waist, *chest, *lArm, *lArmMesh, *lWrist, *lHand, *lHandMesh, *rArm, *rArmMesh;
    kgiCharacter character; // after the tree: dropped while the tree stands
    kgiRobotJointTable table;
    std::vector<unsigned char> flags;
    std::string lines;
};

TEST_F(SmallRobot, PartsAreJoinedThroughTheirNearestServoJoint)
{
    struct Case {
        const char* what;
        ksgNode* a;
        ksgNode* b;
        bool joined;
    };
    const Case cases[] = {
        {"servo joint and the part below it", waist, lArm, true},
        {"the same the other way round", lArm, waist, true},
        {"a part hung below the root with no servo joint between", root, waist, true},
        {"the root and a part two servo joints down", root, lArm, false},
        {"sibling parts", lArm, rArm, false},
        {"a servo joint between", waist, lHand, false},
        {"a joint without axis between is passed over", lArm, lHand, true},
        {"a joint without axis and its servo joint", lWrist, lArm, true},
        {"no part", lArm, nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.arePartsJoined(c.a, c.b), c.joined) << c.what;
}

TEST_F(SmallRobot, OnlyUnjoinedOverlappingPartsCollide)
{
    // Nothing overlaps: false, and hit colours of an earlier test go.
    kgiCollisionCheck::setSubtreeHit(lArm, true);
    kgiCollisionCheck::setSubtreeHit(root, true);
    EXPECT_FALSE(collide());
    EXPECT_EQ(hits(), "-----");

    // The arms meet, behind the joint line the model lacks.
    place(rArm, 2, 0, 0);
    EXPECT_TRUE(collide());
    EXPECT_EQ(hits(), "--H-H");
    ASSERT_LT(rArm->getId(), kgiPartTable::FLAG_COUNT);
    ASSERT_LT(lArm->getId(), kgiPartTable::FLAG_COUNT);
    EXPECT_EQ(flags[std::size_t(lArm->getId())], 1);
    EXPECT_EQ(flags[std::size_t(rArm->getId())], 1);
    EXPECT_EQ(std::count(flags.begin(), flags.end(), 1), 2);
    EXPECT_EQ(lines, "Collision Hit: LArm & RArm\n");

    // The left arm in the chest: joined parts are never tested.
    place(rArm, -2, 0, 0);
    place(lArm, 0.5f, 0, 0);
    EXPECT_FALSE(collide());
    EXPECT_EQ(hits(), "-----");
    EXPECT_EQ(lines, "");

    // The seam's forms: the character is only checked for null.
    place(lArm, 2, 0, 0);
    place(rArm, 2, 0, 0);
    EXPECT_FALSE(table.checkPartCollisions(nullptr, flags.data()));
    EXPECT_TRUE(collide());
    table.clearCollisionHits(nullptr);
    EXPECT_EQ(hits(), "--H-H");
    table.clearCollisionHits(&character);
    EXPECT_EQ(hits(), "-----");
}

TEST_F(SmallRobot, SelectionAndMarksFollowTheToggledPart)
{
    ksgNode* outside = new ksgNode; // in no part's tree
    std::unique_ptr<ksgNode> keep(outside);
    ksgNode* deepInLeftHand = kgiCollisionCheck::partModel(lHandMesh);
    enum Op { TOGGLE, SELECT, CLEAR, CLEAR_ALL };
    struct Step {
        Op op;
        ksgNode* node;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        const char* colours; // hips, chest, left arm, left hand, right arm
        int selected;
        ksgNode* base;
    };
    const Case cases[] = {
        {"one toggle marks the part (not what hangs below it)", {{TOGGLE, lArmMesh}}, "--M--", 3, lArm},
        {"toggling twice leaves none", {{TOGGLE, lArm}, {TOGGLE, lArmMesh}}, "-----", -1, lArm},
        {"a second part takes the mark and the base",
         {{TOGGLE, lArm}, {TOGGLE, rArm}},
         "----M",
         6,
         rArm},
        {"a node outside every part only unmarks",
         {{TOGGLE, lArm}, {TOGGLE, outside}},
         "-----",
         3,
         lArm},
        {"hover on a node deep inside a part selects the part", {{SELECT, deepInLeftHand}}, "---S-", -1, nullptr},
        {"and leaving it clears it", {{SELECT, deepInLeftHand}, {CLEAR, deepInLeftHand}}, "-----", -1, nullptr},
        {"the root's part is only its own meshes", {{SELECT, hips}}, "S----", -1, nullptr},
        {"marking clears the selection colour", {{SELECT, lArm}, {TOGGLE, lArm}}, "--M--", 3, lArm},
        {"all selections cleared", {{SELECT, lArm}, {SELECT, waist}, {CLEAR_ALL, nullptr}}, "-----", -1, nullptr},
        {"nothing for no node", {{SELECT, nullptr}, {TOGGLE, nullptr}}, "-----", -1, nullptr},
    };
    for (const Case& c : cases) {
        kgiRobotJointTable fresh = table; // selection and base start empty
        for (const Step& s : c.steps) {
            switch (s.op) {
            case TOGGLE: fresh.toggleSelectedPart(s.node); break;
            case SELECT: fresh.selectPart(s.node); break;
            case CLEAR: fresh.clearPartMark(s.node); break;
            case CLEAR_ALL: fresh.clearAllPartSelections(); break;
            }
        }
        EXPECT_EQ(colours(), c.colours) << c.what;
        EXPECT_EQ(fresh.getSelectedPart(), c.selected) << c.what;
        EXPECT_EQ(fresh.getBaseNode(), c.base) << c.what;
        EXPECT_EQ(fresh.isInSelectedPart(lArmMesh), c.selected == 3) << c.what;
        // Back to plain for the next case.
        for (int i = 0; i < fresh.getNodeCount(); ++i)
            fresh.setPartMarked(fresh.getNode(i), false);
    }
    EXPECT_FALSE(table.isInSelectedPart(nullptr));
    EXPECT_FALSE(table.isInSelectedPart(outside)) << "no part and no selection are not the same part";
}

TEST_F(SmallRobot, TheSecondMarkIsClearedOnEveryPart)
{
    kgiCollisionCheck::setSubtreeMark(root, true);
    kgiCollisionCheck::setSubtreeMark(lHand, true);
    table.clearAllPartMarks();
    for (ksgNode* m : {hips, chest, lArmMesh, lHandMesh, rArmMesh})
        EXPECT_FALSE(meshData(m)->isHit2()) << m->getName();
}

// A root holding mesh children of the given edges at the given places.
struct Boxes {
    std::unique_ptr<ksgTransform> root{node(nullptr, "Root", 0, 0, 0)};
    kgiCharacter character;
    kgiRobotJointTable table;
    explicit Boxes(const std::vector<std::pair<float, kmlVec3>>& boxes = {})
    {
        int n = 0;
        for (const auto& b : boxes) {
            const std::string name = "Box" + std::to_string(n++);
            mesh(root.get(), name.c_str(), b.first, b.second[0], b.second[1], b.second[2]);
        }
        root->update(0.0f, false, true);
        character.attachRoot(root.get());
        table.readJointFile(&character); // no file: the root alone
    }
};

TEST(RobotCentreOfGravity, TheMeshBoxesWeighTheirVolumes)
{
    // Volumes 1 and 3: a quarter of the way from the larger to the smaller.
    Boxes two({{1.0f, kmlVec3(4, 0, 0)}, {std::cbrt(3.0f), kmlVec3(0, 8, 0)}});
    kmlVec3 c;
    ASSERT_TRUE(two.table.computeCenterOfGravity(&two.character, c));
    EXPECT_NEAR(c[0], 1.0f, 1e-4);
    EXPECT_NEAR(c[1], 6.0f, 1e-4);
    EXPECT_NEAR(c[2], 0.0f, 1e-4);

    // Moving the only box moves the point by as much, turned or not.
    Boxes one({{2.0f, kmlVec3(1, 2, 3)}});
    ASSERT_TRUE(one.table.computeCenterOfGravity(&one.character, c));
    EXPECT_NEAR(c[0], 1.0f, 1e-5);
    kmlMatrix4 moved = at(-5, 7, 0.5f);
    moved.rotate(30.0f, kmlVec3(0, 1, 0));
    one.root->getChild(0)->asTransform()->setLocal(moved);
    one.root->update(0.0f, false, true);
    c = one.table.computeCenterOfGravity();
    EXPECT_NEAR(c[0], -5.0f, 1e-5);
    EXPECT_NEAR(c[1], 7.0f, 1e-5);
    EXPECT_NEAR(c[2], 0.5f, 1e-5);
}

TEST(RobotCentreOfGravity, WithoutAMeshThereIsNoCentre)
{
    Boxes none;
    node(none.root.get(), "Empty", 1, 1, 1); // a child drawing nothing
    kmlVec3 c(9, 9, 9);
    EXPECT_FALSE(none.table.computeCenterOfGravity(&none.character, c));
    EXPECT_EQ(c, kmlVec3(9, 9, 9)) << "the marker keeps its place";
    const kmlVec3 plain = none.table.computeCenterOfGravity();
    EXPECT_EQ(plain, kmlVec3(0, 0, 0)) << "never NaN";
    Boxes one({{1.0f, kmlVec3(1, 2, 3)}});
    EXPECT_FALSE(one.table.computeCenterOfGravity(nullptr, c));
}

TEST(RobotPartVectors, MatrixTimesVectorAndScale)
{
    kmlMatrix4 m;
    m.setRotation(90.0f, kmlVec3(0, 0, 1));
    kmlVec<3> v;
    v[0] = 1;
    v[1] = 2;
    v[2] = 3;
    const kmlVec<3> r = kgiRobotJointTable::mulMatrix3Vec3(m.toMat3(), v);
    EXPECT_NEAR(r[0], -2.0f, 1e-6);
    EXPECT_NEAR(r[1], 1.0f, 1e-6);
    EXPECT_NEAR(r[2], 3.0f, 1e-6);
    const kmlVec<3> s = kgiRobotJointTable::scaleVec3(v, -0.5f);
    EXPECT_EQ(s[0], -0.5f);
    EXPECT_EQ(s[2], -1.5f);
    EXPECT_EQ(v[0], 1.0f) << "the argument is left as it was";
}

} // namespace
