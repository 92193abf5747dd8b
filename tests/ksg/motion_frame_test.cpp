// Motion frames: key flags, copies between kinds, times and nodes.

#include <gtest/gtest.h>

#include <memory>

#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;
using ksgtest::vecNear;

namespace {

kmlTCKey<3> positionKey(float t, float x, float y, float z)
{
    kmlTCKey<3> k(t);
    k.setValue(kmlVec3(x, y, z));
    return k;
}

kmlQuatKey rotationKey(float t, float degrees)
{
    kmlQuatKey k(t);
    k.setValue(kmlQuat(degrees, kmlVec3(0, 0, 1)));
    return k;
}

TEST(MotionFrame, TwoChannelFrameIsAKeyOnlyWhenBothChannelsAre)
{
    ksgPQFrame f;
    kmlTCKey<3> p = positionKey(4, 1, 2, 3);
    kmlQuatKey q = rotationKey(4, 30);

    f.positionFromKey(&p);
    EXPECT_FALSE(f.isKey());
    EXPECT_EQ(f.getTime(), 4.0f);
    f.rotationFromKey(&q);
    EXPECT_TRUE(f.isKey());
    f.positionFromData(kmlVec3(0, 0, 0));
    EXPECT_FALSE(f.isKey());
    EXPECT_EQ(f.getKeyBits(), ksgPQFrame::ROTATION_KEY);

    // Null keys change nothing.
    f.positionFromKey(nullptr);
    f.rotationFromKey(nullptr);
    EXPECT_EQ(f.getKeyBits(), ksgPQFrame::ROTATION_KEY);
    EXPECT_TRUE(vecNear(f.positionToData(), kmlVec3(0, 0, 0)));

    ksgPFrame one;
    one.fromKey(&p);
    EXPECT_TRUE(one.isKey());
    one.fromData(kmlVec3(1, 1, 1));
    EXPECT_FALSE(one.isKey());
}

TEST(MotionFrame, SetTimeMovesTheKeysAndCopyNeedsTheSameKind)
{
    ksgPQFrame f;
    kmlTCKey<3> p = positionKey(4, 1, 2, 3);
    f.positionFromKey(&p);
    f.setTime(9);
    std::unique_ptr<kmlTCKey<3>> key(f.positionToKey());
    EXPECT_EQ(key->getTime(), 9.0f);
    EXPECT_TRUE(vecNear(key->getValue(), kmlVec3(1, 2, 3)));

    ksgPFrame other;
    other.fromData(kmlVec3(7, 7, 7));
    other.setTime(1);
    f.copy(&other);
    EXPECT_EQ(f.getTime(), 9.0f) << "a frame of another kind is not copied";
    EXPECT_TRUE(vecNear(f.positionToData(), kmlVec3(1, 2, 3)));

    std::unique_ptr<ksgMotionFrame> twin(f.clone());
    ASSERT_TRUE(twin->isA(&ksgPQFrame::RTTI));
    ksgPQFrame blank;
    blank.copy(twin.get());
    EXPECT_EQ(blank.getTime(), 9.0f);
    EXPECT_EQ(blank.getKeyBits(), ksgPQFrame::POSITION_KEY);
}

TEST(MotionFrame, MatrixAndNodeWriteOnlyTheChannelsTheFrameHas)
{
    const kmlMatrix4 pose = product(translation(1, 2, 3), rotation(40, 0, 1, 0));
    ksgTransform joint;
    joint.setLocal(pose);

    // A position frame moves the joint without turning it.
    ksgPFrame moveOnly;
    moveOnly.fromData(kmlVec3(5, 0, 0));
    moveOnly.toNode(&joint);
    EXPECT_TRUE(matrixNear(joint.getLocal(), product(translation(5, 0, 0), rotation(40, 0, 1, 0))));

    // A rotation frame turns it in place.
    ksgEFrame turnOnly;
    turnOnly.fromMatrix(rotation(-20, 0, 0, 1));
    turnOnly.toNode(&joint);
    EXPECT_TRUE(matrixNear(joint.getLocal(), product(translation(5, 0, 0), rotation(-20, 0, 0, 1))));

    ksgPQFrame both;
    both.asOffset(true);
    both.fromNode(&joint);
    EXPECT_FALSE(both.isOffset());
    kmlMatrix4 m;
    both.toMatrix(m);
    EXPECT_TRUE(matrixNear(m, joint.getLocal()));

    ksgNode plain;
    both.toNode(&plain); // not a transform: nothing to write, no crash
    both.toNode(nullptr);
}

} // namespace
