// The motion mirroring engine on the factory robot's skeleton (read from its
// motion-key file, whose key 0 is the ready pose) and on small skeletons.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "kgiKmmFile.h"
#include "kgiMotionFlip.h"

using kgiTestRobot::maxDiff;
using kgiTestRobot::mirroredRotation;
using kgiTestRobot::rotationDiff;

namespace {

class MotionFlipRobot : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiKmmFile file;
        ASSERT_TRUE(file.open(kgiTestRobot::motionPath().c_str()) && file.readHeader() && file.readBody())
            << kgiTestRobot::motionPath() << " status " << file.getStatus();
        file.close();
        for (int i = 0; i < file.getNodeCount(); ++i) {
            const kgiKmmNode* n = file.getNode(i);
            names.push_back(n->name);
            depths.push_back(n->depth);
            types.push_back(n->type);
            rest.push_back(*n->getKey(0));
        }
    }

    int indexOf(const std::string& name) const
    {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return int(i);
        return -1;
    }

    bool setupEngine(kgiMotionFlip& flip) const
    {
        return flip.setup(int(names.size()), depths.data(), types.data(), rest.data(), 30.0f, 36.0f, 15.0f);
    }

    // One frame of the ready pose with some joints turned (degrees).
    void fillPose(kgiMotionFlip& flip, const std::vector<std::pair<std::string, float>>& bends) const
    {
        ASSERT_TRUE(flip.createMotion(int(names.size()), 1, 1));
        for (size_t i = 0; i < names.size(); ++i) {
            kmlMatrix4 m(rest[i].matrix);
            for (const auto& b : bends)
                if (b.first == names[i])
                    m.rotate(b.second, kmlVec3(0.3f, 0.5f, 0.8f));
            ASSERT_TRUE(flip.getMotion().setKey(int(i), 0, m));
        }
    }

    kmlMatrix4 keyOf(kgiMotionFlip& flip, const std::string& name) const
    {
        return kmlMatrix4(flip.getMotion().getNode(indexOf(name))->getKey(0)->matrix);
    }

    std::vector<std::string> names;
    std::vector<int> depths, types;
    std::vector<kgiKmmKey> rest;
};

TEST_F(MotionFlipRobot, EveryRightJointPairsWithItsLeftTwinAndCentreJointsStayAlone)
{
    kgiMotionFlip flip;
    ASSERT_TRUE(setupEngine(flip)) << "error node " << flip.getErrorNode();
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        const int partner = flip.getPartner(int(i));
        std::string twin;
        if (n[0] == 'R' && n != "Robot")
            twin = "L" + n.substr(1);
        else if (n[0] == 'L')
            twin = "R" + n.substr(1);
        if (twin.empty())
            EXPECT_EQ(partner, -1) << n;
        else
            EXPECT_EQ(partner, indexOf(twin)) << n;
    }
}

TEST_F(MotionFlipRobot, MirroringAPoseSwapsTheLimbsAsMirrorImagesAndTwiceGivesItBack)
{
    for (int kind : {kgiMotionFlip::LOCAL_POSE, kgiMotionFlip::WORLD_POSE, kgiMotionFlip::KEY_RANGE}) {
        SCOPED_TRACE(kind);
        kgiMotionFlip flip;
        ASSERT_TRUE(setupEngine(flip));
        fillPose(flip, {{"RArm", 40.0f}, {"RKnee", -30.0f}, {"Body", 20.0f}, {"Robot", 25.0f}});
        flip.getMotion().getNode(indexOf("Robot"))->getKey(0)->matrix[12] = 3.0f; // off the centre
        const kmlMatrix4 rArm = keyOf(flip, "RArm"), lArm = keyOf(flip, "LArm");
        const kmlMatrix4 rKnee = keyOf(flip, "RKnee"), robot = keyOf(flip, "Robot");
        std::vector<kmlMatrix4> before;
        for (const std::string& n : names)
            before.push_back(keyOf(flip, n));

        ASSERT_TRUE(flip.compute(kind, -1));
        EXPECT_LT(rotationDiff(keyOf(flip, "LArm"), mirroredRotation(rArm)), 1e-4f);
        EXPECT_LT(rotationDiff(keyOf(flip, "RArm"), mirroredRotation(lArm)), 1e-4f);
        EXPECT_LT(rotationDiff(keyOf(flip, "LKnee"), mirroredRotation(rKnee)), 1e-4f);
        // Bones keep their own offsets.
        EXPECT_EQ(keyOf(flip, "LArm")[13], lArm[13]);
        if (kind == kgiMotionFlip::LOCAL_POSE) {
            EXPECT_LT(maxDiff(keyOf(flip, "Robot"), robot), 1e-6f);
        } else {
            EXPECT_GT(rotationDiff(keyOf(flip, "Robot"), robot), 0.05f);
        }
        if (kind == kgiMotionFlip::KEY_RANGE) {
            EXPECT_EQ(keyOf(flip, "Robot")[12], -3.0f);
        } else {
            EXPECT_EQ(keyOf(flip, "Robot")[12], 3.0f);
        }

        ASSERT_TRUE(flip.compute(kind, -1));
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_LT(maxDiff(keyOf(flip, names[i]), before[i]), 1e-4f) << names[i];
    }
}

TEST_F(MotionFlipRobot, TheReadyPoseIsItsOwnMirrorImage)
{
    kgiMotionFlip flip;
    ASSERT_TRUE(setupEngine(flip));
    fillPose(flip, {});
    ASSERT_TRUE(flip.compute(kgiMotionFlip::WORLD_POSE, -1));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_LT(maxDiff(keyOf(flip, names[i]), kmlMatrix4(rest[i].matrix)), 1e-4f) << names[i];
}

TEST_F(MotionFlipRobot, FromAJointOnlyTheTwinLimbTakesTheImage)
{
    kgiMotionFlip flip;
    ASSERT_TRUE(setupEngine(flip));
    fillPose(flip, {{"RShoulder", 30.0f}, {"RElbow", 50.0f}, {"LElbow", -20.0f}, {"LThigh", 30.0f}});
    const kmlMatrix4 rShoulder = keyOf(flip, "RShoulder"), rElbow = keyOf(flip, "RElbow");
    const kmlMatrix4 lThigh = keyOf(flip, "LThigh");

    ASSERT_TRUE(flip.compute(kgiMotionFlip::FROM_JOINT, indexOf("RShoulder")));
    EXPECT_LT(rotationDiff(keyOf(flip, "LShoulder"), mirroredRotation(rShoulder)), 1e-4f);
    EXPECT_LT(rotationDiff(keyOf(flip, "LElbow"), mirroredRotation(rElbow)), 1e-4f);
    EXPECT_EQ(maxDiff(keyOf(flip, "RShoulder"), rShoulder), 0.0f);
    EXPECT_EQ(maxDiff(keyOf(flip, "RElbow"), rElbow), 0.0f);
    EXPECT_EQ(maxDiff(keyOf(flip, "LThigh"), lThigh), 0.0f);
}

TEST_F(MotionFlipRobot, FromAJointWithoutTwinIsRefusedAndNamesTheJoint)
{
    kgiMotionFlip flip;
    ASSERT_TRUE(setupEngine(flip));
    fillPose(flip, {{"RArm", 40.0f}});
    const kmlMatrix4 lArm = keyOf(flip, "LArm");
    for (int start : {indexOf("Head"), -1, int(names.size())}) {
        EXPECT_FALSE(flip.compute(kgiMotionFlip::FROM_JOINT, start));
        EXPECT_EQ(flip.getErrorCode(), kgiMotionFlip::BAD_START_JOINT);
        EXPECT_EQ(flip.getErrorNode(), start);
    }
    EXPECT_EQ(maxDiff(keyOf(flip, "LArm"), lArm), 0.0f);
}

TEST_F(MotionFlipRobot, ABufferThatDoesNotFitTheSkeletonIsRefused)
{
    kgiMotionFlip flip;
    ASSERT_TRUE(setupEngine(flip));
    ASSERT_TRUE(flip.createMotion(3, 1, 1));
    EXPECT_FALSE(flip.compute(kgiMotionFlip::WORLD_POSE, -1));
    EXPECT_EQ(flip.getErrorCode(), kgiMotionFlip::BAD_MOTION);
}

TEST(MotionFlipSimilar, TenPercentBoundsAreInclusiveAndTinyValuesAlwaysMatch)
{
    struct Case {
        float a, b;
        bool similar;
    };
    const Case cases[] = {
        {1.1f, 1.0f, true},     {1.0f, 1.1f, true},   {0.9f, 1.0f, true},
        {1.0f, 0.9f, false}, // a within 10 % of b: 1.0 is 11 % above 0.9
        {1.12f, 1.0f, false},   {1.0f, 0.85f, false}, {0.0001f, 0.0004f, true},
        {0.0004f, 0.01f, false}, {0.0f, 0.0f, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kgiMotionFlip::similar(c.a, c.b), c.similar) << c.a << " " << c.b;
}

// A root, a centre joint and one joint off to the side: the side joint
// needs a twin unless the mirror passes over it.
TEST(MotionFlipSetup, AnOffCentreJointWithoutTwinFailsUnlessItIsPassedOver)
{
    kgiKmmKey keys[3];
    for (kgiKmmKey& k : keys) {
        const kmlMatrix4 identity;
        std::copy(static_cast<const float*>(identity), static_cast<const float*>(identity) + 16, k.matrix);
    }
    keys[1].matrix[13] = 10.0f; // up the centre line
    keys[2].matrix[12] = 5.0f;  // 5 to the side of a model 10 wide
    const int depths[3] = {0, 1, 1};
    struct Case {
        int sideType;
        bool ok;
    };
    for (const Case& c : {Case{3, false}, Case{6, true}}) {
        const int types[3] = {1, 3, c.sideType};
        kgiMotionFlip flip;
        EXPECT_EQ(flip.setup(3, depths, types, keys, 10.0f, 10.0f, 10.0f), c.ok) << c.sideType;
        EXPECT_EQ(flip.getErrorNode(), c.ok ? -1 : 2);
        EXPECT_EQ(flip.getErrorCode(), c.ok ? 0 : int(kgiMotionFlip::NO_PARTNER));
    }
    // Within 1 % of the size (here 0.17) the joint counts as centred.
    keys[2].matrix[12] = 0.1f;
    const int types[3] = {1, 3, 3};
    kgiMotionFlip flip;
    EXPECT_TRUE(flip.setup(3, depths, types, keys, 10.0f, 10.0f, 10.0f));
}

// Depths that leave a joint without a parent: it would be mirrored as a
// root of its own (its translation negated like the root's).
TEST(MotionFlipSetup, AJointTheDepthsLinkToNoParentFailsWithItsIndex)
{
    kgiKmmKey keys[4];
    for (kgiKmmKey& k : keys) {
        const kmlMatrix4 identity;
        std::copy(static_cast<const float*>(identity), static_cast<const float*>(identity) + 16, k.matrix);
    }
    struct Case {
        const char* what;
        int depths[4];
        int errorNode;
    };
    const Case cases[] = {
        {"second top-level joint", {0, 1, 0, 1}, 2},
        {"depth jump", {0, 1, 3, 1}, 2},
        {"first joint deeper", {1, 0, 1, 1}, 1},
        {"linked", {0, 1, 2, 1}, -1},
    };
    const int types[4] = {1, 3, 3, 3};
    for (const Case& c : cases) {
        kgiMotionFlip flip;
        EXPECT_EQ(flip.setup(4, c.depths, types, keys, 10.0f, 10.0f, 10.0f), c.errorNode < 0) << c.what;
        EXPECT_EQ(flip.getErrorNode(), c.errorNode) << c.what;
        EXPECT_EQ(flip.getErrorCode(), c.errorNode < 0 ? 0 : int(kgiMotionFlip::NO_PARTNER)) << c.what;
    }
}

TEST(MotionFlipInverse, UndoesARigidTransformAndStaysFiniteOnASingularOne)
{
    kmlMatrix4 m;
    m.rotate(0.7f, kmlVec3(0.2f, -0.6f, 0.4f));
    m.setTranslation(kmlVec3(3.0f, -2.0f, 7.5f));
    EXPECT_LT(maxDiff(kgiMotionFlip::affineInverse(m) * m, kmlMatrix4()), 1e-5f);

    kmlMatrix4 singular;
    singular(1, 1) = 0.0f;
    const kmlMatrix4 inv = kgiMotionFlip::affineInverse(singular);
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(std::isfinite(inv[i]));
    EXPECT_FLOAT_EQ(inv(1, 1), 1e6f);
    EXPECT_FLOAT_EQ(inv(3, 3), 1.0f);
}

} // namespace
