// CCD solving on a straight two-link arm, and the IK controller.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ksgCcdIk.h"
#include "ksgIkChain.h"
#include "ksgTransform.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::rotation;
using ksgtest::translation;

namespace {

// shoulder (top, at the origin) - elbow - tip, each link 2 long, pointing
// up the y axis; the chain runs from the tip to the shoulder.
struct Arm {
    ksgTransform shoulder;
    ksgTransform* elbow = new ksgTransform;
    ksgTransform* tip = new ksgTransform;
    ksgIkChain chain;

    Arm()
    {
        shoulder.setName("shoulder");
        elbow->setName("elbow");
        tip->setName("tip");
        shoulder.attachChild(elbow);
        elbow->attachChild(tip);
        elbow->setLocal(translation(0, 2, 0));
        tip->setLocal(translation(0, 2, 0));
        shoulder.update(0, false, true);
        chain.setEE(tip, 2);
    }

    float error(const kmlVec3& goal) const
    {
        kmlVec3 d(goal);
        d -= ksgtest::position(tip->getWorld());
        return d.norm2();
    }
};

float angleOf(const kmlMatrix4& m)
{
    float angle;
    kmlVec3 axis;
    m.toAxisAngle(angle, axis);
    return angle;
}

TEST(CcdIk, AGoalOutOfReachIsPulledOntoTheReachSphere)
{
    Arm arm;
    // The reach counts sqrt(2^2 + 1) per link: 4.47, while the tip is 4 from
    // the shoulder. A goal straight up at 10 becomes (0, 4.47, 0).
    ASSERT_NEAR(arm.chain.getMaxLength(), 2 * std::sqrt(5.0f), 1e-5f);
    const kmlVec3 far(0, 10, 0);
    EXPECT_TRUE(ksgCcdIk().solve(arm.chain, far, 5, 0.25f)) << "0.22 from the pulled goal";
    EXPECT_FALSE(ksgCcdIk().solve(arm.chain, far, 5, 0.2f)) << "the tip itself does not get there";
    EXPECT_TRUE(matrixNear(arm.tip->getWorld(), translation(0, 4, 0)));
}

TEST(CcdIk, AStepThatIncreasesTheErrorIsUndoneUnclamped)
{
    Arm arm;
    // The elbow is pinned at +30 degrees about z; the goal needs -30.
    arm.elbow->getLimits().setTwistAxis(arm.elbow, kmlVec3(0, 0, 1));
    arm.elbow->getLimits().setHalfAngle(0);
    arm.elbow->getLimits().setTwistRange(30, 30);
    arm.elbow->enableLimits(true);
    const kmlVec3 goal(1, 2 + std::sqrt(3.0f), 0);
    ksgCcdIk().solve(arm.chain, goal, 1, 0);
    EXPECT_TRUE(matrixNear(arm.elbow->getLocal(), translation(0, 2, 0)));
    EXPECT_TRUE(arm.elbow->areLimitsEnabled());
}

TEST(CcdIk, AGoalBehindTheChainGetsCloser)
{
    Arm arm;
    const kmlVec3 behind(0.5f, -3, 0);
    const float before = arm.error(behind);
    ksgCcdIk().solve(arm.chain, behind, 3, 0);
    EXPECT_LT(arm.error(behind), before / 4);
}

TEST(CcdIk, DampingScalesTheStep)
{
    for (float damp : {1.0f, 0.5f}) {
        SCOPED_TRACE(damp);
        // A one-link chain: the elbow is the top joint and the root.
        ksgTransform elbow;
        ksgTransform* tip = new ksgTransform;
        elbow.attachChild(tip);
        tip->setLocal(translation(0, 2, 0));
        elbow.setRDamp(damp);
        elbow.update(0, false, true);
        ksgIkChain chain(tip, 2);
        ASSERT_EQ(chain.getRoot(), &elbow);
        ksgCcdIk().solve(chain, kmlVec3(std::sqrt(2.0f), std::sqrt(2.0f), 0), 1, 0);
        EXPECT_NEAR(angleOf(elbow.getLocal()), 45 * damp, 1e-3f);
    }
}

TEST(CcdIk, ChainsWithoutJointsAreReported)
{
    ksgIkChain empty;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ksgCcdIk().solve(empty, kmlVec3(1, 0, 0), 1, 0));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No ee\n");
}

TEST(CcdIKController, ModesAndChainTypes)
{
    struct Case {
        int mode;
        int expected;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {7, 1}, {-1, 1}};
    ksgCcdIKController ik;
    for (const Case& c : cases) {
        ik.setMode(c.mode);
        EXPECT_EQ(ik.getMode(), c.expected) << c.mode;
    }

    Arm arm;
    ik.setReverseRoot(arm.tip);
    EXPECT_EQ(ik.getMode(), 3);
    EXPECT_EQ(ik.getReverseRoot(), arm.tip);
    ik.setReverseRoot(arm.tip);
    EXPECT_EQ(ik.getMode(), 1) << "the same root again clears it";
    ik.setReverseRoot(arm.tip);
    ik.clearReverseRoot();
    EXPECT_EQ(ik.getMode(), 1);
    EXPECT_EQ(ik.getReverseRoot(), nullptr);
}

TEST(CcdIKController, ASweepPerInput)
{
    Arm arm;
    ksgCcdIKController ik;
    ik.setTarget(arm.tip);
    ASSERT_EQ(ik.getTarget(), arm.tip);
    EXPECT_EQ(ik.getRoot(), &arm.shoulder);
    const kmlVec3 goal(2, 2, 0);
    const float before = arm.error(goal);
    EXPECT_TRUE(ik.update(goal, false));
    EXPECT_LT(arm.error(goal), before);
    ik.enable(false);
    EXPECT_FALSE(ik.update(goal, false));
}

TEST(CcdIKController, AParentlessTargetIsCarriedOntoTheGoal)
{
    ksgTransform lone;
    lone.setLocal(rotation(90, 0, 0, 1));
    lone.update(0, false, true);
    ksgCcdIKController ik;
    ik.setTarget(&lone);
    ASSERT_EQ(ik.getTarget(), &lone);
    EXPECT_EQ(ik.getRoot(), nullptr);
    EXPECT_TRUE(ik.update(kmlVec3(3, 4, 5), false));
    EXPECT_TRUE(ksgtest::vecNear(ksgtest::position(lone.getWorld()), kmlVec3(3, 4, 5)));
    EXPECT_TRUE(ik.update(kmlVec3(1, 0, 0), true)) << "a displacement";
    EXPECT_TRUE(ksgtest::vecNear(ksgtest::position(lone.getWorld()), kmlVec3(4, 4, 5)));
}

} // namespace
