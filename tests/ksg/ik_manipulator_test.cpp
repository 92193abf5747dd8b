// Forward-kinematics controllers and the manipulator.

#include <gtest/gtest.h>

#include "ksgManipulator.h"
#include "ksgModel.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;

namespace {

struct Limb {
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    ksgTransform* child = new ksgTransform;

    Limb()
    {
        root.attachChild(joint);
        joint->attachChild(child);
        child->setLocal(translation(0, 1, 0));
        root.update(0, false, true);
    }
};

TEST(AxisFK, TheLargerComponentTurnsTiesTakeY)
{
    struct Case {
        kmlVec3 input;
        float degrees;
    };
    const Case cases[] = {{kmlVec3(3, -4, 0), -4}, {kmlVec3(4, -4, 0), -4}, {kmlVec3(5, -4, 0), 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        Limb limb;
        ksgAxisFKController fk;
        fk.setAxis(kmlVec3(0, 0, 1));
        fk.setTarget(limb.joint);
        EXPECT_TRUE(fk.update(c.input, true));
        EXPECT_TRUE(matrixNear(limb.joint->getLocal(), rotation(c.degrees, 0, 0, 1)));
        EXPECT_TRUE(matrixNear(limb.child->getWorld(),
                               product(rotation(c.degrees, 0, 0, 1), translation(0, 1, 0))))
            << "the tree below follows";
    }
}

TEST(AxisFK, HingesTurnAboutTheirTwistAxisAndIgnoredJointsPassOn)
{
    Limb limb;
    limb.joint->getLimits().setTwistAxis(limb.joint, kmlVec3(1, 0, 0));
    limb.joint->getLimits().setHalfAngle(0);
    ksgAxisFKController fk;
    fk.setAxis(kmlVec3(0, 0, 1));
    fk.setTarget(limb.child);
    limb.child->ignoreFk(true);
    EXPECT_TRUE(fk.update(kmlVec3(10, 0, 0), true));
    EXPECT_TRUE(matrixNear(limb.joint->getLocal(), rotation(10, 1, 0, 0))) << "the parent turns";
    EXPECT_TRUE(matrixNear(limb.child->getLocal(), translation(0, 1, 0)));

    EXPECT_FALSE(fk.update(kmlVec3(10, 0, 0), false));
    EXPECT_TRUE(matrixNear(limb.joint->getLocal(), rotation(10, 1, 0, 0)));

    // With every joint above ignored there is nothing to turn.
    limb.joint->ignoreFk(true);
    limb.root.ignoreFk(true);
    fk.setTarget(limb.child);
    EXPECT_EQ(fk.getTarget(), nullptr);
}

TEST(TrackballFK, TurnsAboutInputCrossLever)
{
    Limb limb;
    ksgTrackballFKController ball;
    ball.setTarget(limb.joint);
    ball.setOrigin(kmlVec3(0, -1, 0)); // lever (0, 1, 0)
    EXPECT_TRUE(ball.update(kmlVec3(3, 0, 0), true));
    EXPECT_TRUE(matrixNear(limb.joint->getLocal(), rotation(3, 0, 0, 1)));

    // Input along the lever: no axis, nothing turns, the tree is updated.
    limb.joint->setLocal(translation(0, 0, 2));
    EXPECT_TRUE(ball.update(kmlVec3(0, 5, 0), true));
    EXPECT_TRUE(matrixNear(limb.joint->getLocal(), translation(0, 0, 2)));
    EXPECT_TRUE(matrixNear(limb.child->getWorld(), translation(0, 1, 2)));
}

TEST(Manipulator, SetTarget)
{
    Limb limb;
    ksgModel* skin = new ksgModel;
    limb.child->attachChild(skin);
    ksgManipulator* grip = new ksgManipulator;
    ksgNode* handle = new ksgNode;
    grip->attachChild(handle);
    ksgAxisFKController fk;
    grip->setController(&fk);

    grip->setTarget(limb.joint);
    EXPECT_EQ(grip->getParent(), limb.joint);
    EXPECT_EQ(grip->getTarget(), limb.joint);
    EXPECT_EQ(fk.getTarget(), limb.joint);
    EXPECT_EQ(limb.joint->getChild(1), grip) << "appended as the last child";

    // A child attached after the manipulator is not the manipulator's.
    ksgTransform* later = new ksgTransform;
    limb.joint->attachChild(later);
    EXPECT_FALSE(grip->owns(later));
    EXPECT_TRUE(grip->owns(handle));

    struct Case {
        const char* name;
        ksgNode* pick;
        ksgNode* parent;
    };
    const Case cases[] = {
        {"the joint it hangs under", limb.joint, limb.joint},
        {"one of its own nodes", handle, limb.joint},
        {"a model: its joint", skin, limb.child},
        {"a later sibling", later, later},
        {"nothing: detached", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grip->setTarget(c.pick);
        EXPECT_EQ(grip->getParent(), c.parent);
        EXPECT_EQ(grip->getTarget(), c.parent);
        EXPECT_EQ(fk.getTarget(), c.parent);
    }

    // A new controller gets the target; the old one keeps its own.
    grip->setTarget(limb.joint);
    ksgTrackballFKController ball;
    grip->setController(&ball);
    EXPECT_EQ(ball.getTarget(), limb.joint);
    EXPECT_EQ(fk.getTarget(), limb.joint);
    EXPECT_TRUE(grip->update(kmlVec3(0, 1, 0), true));
    grip->setController(nullptr);
    EXPECT_FALSE(grip->update(kmlVec3(0, 1, 0), true));
    grip->setTarget(nullptr);
    delete grip;
}

} // namespace
