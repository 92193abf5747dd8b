// Transforms: world and local matrices, defaults, damping, tracking and
// joint limits.

#include <gtest/gtest.h>

#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgTransformLimits.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;
using ksgtest::vecNear;

namespace {

TEST(Transform, WorldIsParentWorldTimesOffsetTimesLocalThroughPlainNodes)
{
    const kmlMatrix4 o1 = translation(1, 2, 3);
    const kmlMatrix4 l1 = rotation(30, 0, 0, 1);
    const kmlMatrix4 o2 = product(translation(0, 4, 0), rotation(90, 1, 0, 0));
    const kmlMatrix4 l2 = product(rotation(-45, 0, 1, 0), translation(2, 0, 0));

    ksgTransform root;
    root.setOffset(o1);
    root.setLocal(l1);
    ksgNode* plain = new ksgNode;
    ksgTransform* joint = new ksgTransform;
    ksgTransform* later = new ksgTransform;
    root.attachChild(plain);
    plain->attachChild(joint);
    plain->attachChild(later);
    joint->setOffset(o2);
    joint->setLocal(l2);
    later->setLocal(l2);
    root.update(0, false, true);

    const kmlMatrix4 rootWorld = product(o1, l1);
    EXPECT_TRUE(matrixNear(root.getWorld(), rootWorld));
    EXPECT_TRUE(matrixNear(plain->getWorld(), rootWorld)) << "a plain node passes it through";
    EXPECT_TRUE(matrixNear(joint->getWorld(), product(product(rootWorld, o2), l2)));
    EXPECT_TRUE(matrixNear(later->getWorld(), product(rootWorld, l2))) << "later sibling";

    // updateLocal inverts updateWorld.
    kmlMatrix4 world = joint->getWorld();
    joint->setLocal(kmlMatrix4());
    joint->setWorld(world);
    joint->updateLocal();
    EXPECT_TRUE(matrixNear(joint->getLocal(), l2));

    // Changing a joint and updating it also updates its later siblings.
    joint->setLocal(kmlMatrix4());
    later->setLocal(kmlMatrix4());
    joint->update(0, false, false);
    EXPECT_TRUE(matrixNear(later->getWorld(), rootWorld));
}

TEST(Transform, AttachTakesTheLocalMatrixAsDefault)
{
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    joint->setLocal(rotation(20, 0, 0, 1));
    root.attachChild(joint);
    joint->setLocal(rotation(70, 0, 0, 1));
    joint->setDefault();
    EXPECT_TRUE(matrixNear(joint->getLocal(), rotation(20, 0, 0, 1)));
    joint->setLocal(translation(1, 0, 0));
    joint->setLocalAsDefault();
    joint->setLocal(kmlMatrix4());
    joint->setDefault();
    EXPECT_TRUE(matrixNear(joint->getLocal(), translation(1, 0, 0)));
}

TEST(Transform, DampingIsKeptInZeroToOne)
{
    ksgTransform t;
    EXPECT_EQ(t.getRDamp(), 1.0f);
    t.setRDamp(1.5f);
    t.setTDamp(-1.0f);
    EXPECT_EQ(t.getRDamp(), 1.0f);
    EXPECT_EQ(t.getTDamp(), 0.0f);
    t.setRDamp(0.25f);
    EXPECT_EQ(t.getRDamp(), 0.25f);
}

TEST(Transform, TrackAimsTheReferenceAxisAtTheTrackedNode)
{
    ksgTransform root;
    ksgTransform* aimer = new ksgTransform;
    ksgTransform* target = new ksgTransform;
    root.attachChild(aimer);
    root.attachChild(target);
    aimer->setLocal(translation(1, 0, 0));
    aimer->trackReferenceAxis(kmlVec3(2, 0, 0));

    // Straight along the reference axis: nothing to turn.
    target->setLocal(translation(5, 0, 0));
    root.update(0, false, true);
    aimer->setTrackNode(target, ksgTransform::TRACK_AIM);
    aimer->track();
    EXPECT_TRUE(matrixNear(aimer->getLocal(), translation(1, 0, 0)));

    target->setLocal(translation(1, 3, 0));
    root.update(0, false, true);
    aimer->track();
    kmlVec3 axis = ksgtest::position(product(aimer->getWorld(), translation(1, 0, 0)));
    EXPECT_TRUE(vecNear(axis, kmlVec3(1, 1, 0))) << "the x axis now points at the target";
    EXPECT_TRUE(vecNear(ksgtest::position(aimer->getWorld()), kmlVec3(1, 0, 0)));

    // Copy modes keep the tracker's own translation.
    target->setLocal(product(translation(7, 7, 7), rotation(40, 0, 1, 0)));
    root.update(0, false, true);
    aimer->setTrackNode(target, ksgTransform::TRACK_LOCAL);
    aimer->track();
    EXPECT_TRUE(matrixNear(aimer->getLocal(), product(translation(1, 0, 0), rotation(40, 0, 1, 0))));
    aimer->setLocal(translation(1, 0, 0));
    root.setLocal(translation(0, 0, 2));
    root.update(0, false, true);
    aimer->setTrackNode(target, ksgTransform::TRACK_WORLD);
    aimer->track();
    EXPECT_TRUE(matrixNear(aimer->getWorld(), product(translation(1, 0, 2), rotation(40, 0, 1, 0))));
    EXPECT_TRUE(matrixNear(aimer->getLocal(), product(translation(1, 0, 0), rotation(40, 0, 1, 0))));
}

// Angle of the local matrix's rotation about the given unit axis, signed,
// and how far the twist axis swung from where it was.
float signedAngleAbout(const kmlMatrix4& m, const kmlVec3& axis)
{
    float angle;
    kmlVec3 a;
    m.toAxisAngle(angle, a);
    if (angle == 0.0f)
        return 0.0f;
    EXPECT_TRUE(vecNear(kmlVec3(a.cross(axis)), kmlVec3(0, 0, 0), 1e-3f))
        << "rotation about another axis";
    return a.dot(axis) < 0 ? -angle : angle;
}

float swingOf(const kmlMatrix4& m, const kmlVec3& axis)
{
    kmlVec3 now(m.get(0, 0) * axis.get(0) + m.get(0, 1) * axis.get(1) + m.get(0, 2) * axis.get(2),
                m.get(1, 0) * axis.get(0) + m.get(1, 1) * axis.get(1) + m.get(1, 2) * axis.get(2),
                m.get(2, 0) * axis.get(0) + m.get(2, 1) * axis.get(1) + m.get(2, 2) * axis.get(2));
    float c = now.dot(axis);
    c = c > 1 ? 1 : (c < -1 ? -1 : c);
    return kml::Acosd(c);
}

TEST(TransformLimits, HalfAngleIsClampedAndTheRangeStoredAsGiven)
{
    ksgTransformLimits limits;
    limits.setHalfAngle(200);
    EXPECT_EQ(limits.getHalfAngle(), 180.0f);
    limits.setHalfAngle(-5);
    EXPECT_EQ(limits.getHalfAngle(), 0.0f);
    limits.setTwistRange(10, -10);
    float lo, hi;
    limits.getTwistRange(lo, hi);
    EXPECT_EQ(lo, 10.0f);
    EXPECT_EQ(hi, -10.0f);
}

TEST(TransformLimits, HingeKeepsOnlyTheClampedTwist)
{
    struct Case {
        const char* name;
        kmlMatrix4 local;
        float min, max;
        float expected; // degrees about the twist axis (1, 0, 0)
    };
    const Case cases[] = {
        {"within", rotation(20, 1, 0, 0), -30, 45, 20},
        {"above", rotation(60, 1, 0, 0), -30, 45, 45},
        {"negated axis", rotation(60, -1, 0, 0), -30, 45, -30},
        {"perpendicular axis", rotation(40, 0, 1, 0), -90, 90, 40},
        {"translation dropped", product(translation(3, 0, 0), rotation(10, 1, 0, 0)), -90, 90, 10},
        {"range upside down", rotation(5, 1, 0, 0), 10, -10, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ksgTransform joint;
        joint.getLimits().setTwistAxis(&joint, kmlVec3(1, 0, 0));
        joint.getLimits().setHalfAngle(0);
        joint.getLimits().setTwistRange(c.min, c.max);
        joint.enableLimits(true);
        joint.setLocal(c.local);
        EXPECT_TRUE(matrixNear(joint.getLocal(), rotation(c.expected, 1, 0, 0)));
        EXPECT_TRUE(joint.areLimitsEnabled());
    }
}

TEST(TransformLimits, HingeWorksRelativeToTheCapturedBase)
{
    ksgTransform joint;
    const kmlMatrix4 base = product(translation(0, 1, 0), rotation(90, 0, 0, 1));
    joint.setLocal(base);
    joint.getLimits().setTwistAxis(&joint, kmlVec3(0, 0, 3));
    joint.getLimits().setHalfAngle(0);
    joint.getLimits().setTwistRange(-10, 10);
    joint.enableLimits(true);
    joint.setLocal(product(base, rotation(25, 0, 0, 1)));
    EXPECT_TRUE(matrixNear(joint.getLocal(), product(base, rotation(10, 0, 0, 1))));
    EXPECT_TRUE(vecNear(joint.getLimits().getTwistAxis(), kmlVec3(0, 0, 1)));
}

TEST(TransformLimits, ConeClampsTheSwingAndTheTwistSeparately)
{
    const kmlVec3 x(1, 0, 0);
    struct Case {
        const char* name;
        float half, min, max;
        kmlMatrix4 swing; // applied after the twist about x
        float twist;
        float expectedSwing;
        float expectedTwist;
    };
    const Case cases[] = {
        {"inside", 60, -90, 90, rotation(40, 0, 1, 0), 20, 40, 20},
        {"swing clamped", 30, -90, 90, rotation(50, 0, 0, 1), 15, 30, 15},
        {"twist clamped", 90, -10, 10, rotation(20, 0, 1, 0), 35, 20, 10},
        {"almost no swing", 30, -90, 90, rotation(0.05f, 0, 1, 0), 0, 0, 0},
        // Past 90 degrees of swing the twist range keeps its sense.
        {"wide swing, twist inside", 180, 0, 30, rotation(120, 0, 1, 0), 20, 120, 20},
        {"wide swing, twist clamped", 180, 0, 30, rotation(120, 0, 1, 0), 40, 120, 30},
        // Turned right round counts as full swing.
        {"flipped", 30, -90, 90, rotation(180, 0, 1, 0), 0, 30, 0},
        {"flipped other way", 45, -90, 90, rotation(180, 0, 0, 1), 0, 45, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ksgTransform joint;
        joint.getLimits().setTwistAxis(&joint, x);
        joint.getLimits().setHalfAngle(c.half);
        joint.getLimits().setTwistRange(c.min, c.max);
        joint.enableLimits(true);
        joint.setLocal(product(c.swing, rotation(c.twist, 1, 0, 0)));
        kmlMatrix4 m = joint.getLocal();
        EXPECT_NEAR(swingOf(m, x), c.expectedSwing, 0.05f);
        // Undo the swing (about the axis that takes x to where it is now)
        // to read the twist.
        kmlVec3 now(m.get(0, 0), m.get(1, 0), m.get(2, 0));
        kmlMatrix4 back;
        if (c.expectedSwing > 0.01f) {
            kmlVec3 swingAxis(x.cross(now));
            back.setRotation(-c.expectedSwing, swingAxis);
        }
        EXPECT_NEAR(signedAngleAbout(product(back, m), x), c.expectedTwist, 0.05f);
    }
}

TEST(TransformLimits, ConeKeepsTheSwingAxis)
{
    ksgTransform joint;
    joint.getLimits().setTwistAxis(&joint, kmlVec3(1, 0, 0));
    joint.getLimits().setHalfAngle(30);
    joint.enableLimits(true);
    joint.setLocal(rotation(50, 0, 1, 1));
    EXPECT_TRUE(matrixNear(joint.getLocal(), rotation(30, 0, 1, 1), 1e-3f));
}

} // namespace
