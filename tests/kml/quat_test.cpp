#include <cmath>

#include <gtest/gtest.h>

#include "kmlQuat.h"
#include "kmlTestUtil.h"

using namespace kml;

namespace {
const float S45 = std::sqrt(0.5f);

kmlVec3 rotate(const kmlQuat& q, const kmlVec3& v)
{
    kmlMatrix3 m = q.toMat3();
    kmlVec3 r;
    for (int i = 0; i < 3; ++i) r[i] = m.getRow(i).dot(v);
    return r;
}
} // namespace

TEST(KmlQuat, ConstantsAndConstruction)
{
    EXPECT_EQ(kmlQuat(), kmlQuat::IDENTITY);
    EXPECT_EQ(kmlQuat::IDENTITY, kmlQuat(0, 0, 0, 1));
    EXPECT_EQ(kmlQuat::ZERO, kmlQuat(0, 0, 0, 0));
    EXPECT_EQ(kmlQuat(1, 2, 3), kmlQuat(1, 2, 3, 0));
    kmlQuat q(90, kmlVec3(0, 0, 1));
    EXPECT_TRUE(vecNear<4>(q, kmlVec4(0, 0, S45, S45), 1e-7f));
    EXPECT_TRUE(vecNear<3>(rotate(q, kmlVec3(1, 0, 0)), kmlVec3(0, 1, 0), 1e-6f));
}

TEST(KmlQuat, HamiltonProductAppliesRightOperandFirst)
{
    kmlQuat a(90, kmlVec3(0, 0, 1)), b(90, kmlVec3(1, 0, 0));
    kmlMatrix3 ma = a.toMat3(), mb = b.toMat3();
    kmlMatrix3 mab(ma);
    mab *= mb;
    EXPECT_TRUE(matNear<3>((a * b).toMat3(), mab, 1e-6f));
    // b first: y goes to z under b, z stays under a.
    EXPECT_TRUE(vecNear<3>(rotate(a * b, kmlVec3(0, 1, 0)), kmlVec3(0, 0, 1), 1e-6f));
    EXPECT_TRUE(vecNear<3>(rotate(b * a, kmlVec3(0, 1, 0)), kmlVec3(-1, 0, 0), 1e-6f));

    kmlQuat id(kmlQuat::IDENTITY);
    kmlQuat q(37, kmlVec3(0.6f, 0, 0.8f));
    id *= q;
    EXPECT_EQ(id, q);
    EXPECT_TRUE(vecNear<4>(q * q.getConjugate(), kmlQuat::IDENTITY, 1e-7f));
    EXPECT_TRUE(vecNear<4>(q * q.getInverse(), kmlQuat::IDENTITY, 1e-7f));
}

TEST(KmlQuat, InverseOfScaledAndDegenerate)
{
    kmlQuat q(0, 0, 2 * S45, 2 * S45);
    EXPECT_TRUE(vecNear<4>(q.getInverse(), kmlVec4(0, 0, -S45, S45), 1e-7f));
    kmlQuat tiny(0.0005f, 0, 0, 0);
    EXPECT_EQ(tiny.getInverse(), tiny);
}

TEST(KmlQuat, SlerpClampsAndTakesTheShortPath)
{
    kmlQuat q0(kmlQuat::IDENTITY), q1(90, kmlVec3(0, 0, 1));
    EXPECT_TRUE(vecNear<4>(kmlQuat::slerp(q0, q1, -0.5f), q0, 1e-7f));
    EXPECT_TRUE(vecNear<4>(kmlQuat::slerp(q0, q1, 1.5f), q1, 1e-7f));
    EXPECT_TRUE(vecNear<4>(kmlQuat::slerp(q0, q1, 1.0f), q1, 1e-7f));

    kmlQuat half = kmlQuat::slerp(q0, q1, 0.5f);
    EXPECT_TRUE(vecNear<4>(half, kmlQuat(45, kmlVec3(0, 0, 1)), 1e-6f));
    EXPECT_NEAR(half.norm(), 1.0f, 1e-6f);

    // Opposite hemispheres: q1 is negated, giving the same rotation the short way.
    EXPECT_EQ(kmlQuat::slerp(kmlQuat(0, 0, 0, 1), kmlQuat(0, 0, 0, -1), 0.5f), kmlQuat(0, 0, 0, 1));
    kmlQuat far = q1.getAntipodal();
    EXPECT_TRUE(vecNear<4>(kmlQuat::slerp(q0, far, 0.5f), half, 1e-6f));
}

TEST(KmlQuat, SlerpOfNearlyParallelInputsIsLinear)
{
    // dot = 0.9995: the linear blend, slightly shorter than unit length.
    float w = 0.9995f, x = std::sqrt(1 - w * w);
    kmlQuat q0(kmlQuat::IDENTITY), q1(x, 0, 0, w);
    kmlQuat r = kmlQuat::slerp(q0, q1, 0.5f);
    EXPECT_EQ(r, kmlQuat(0.5f * x, 0, 0, 0.5f * 1 + 0.5f * w));
    EXPECT_LT(r.norm(), 1.0f);
}

TEST(KmlQuat, SplineOfEqualControlsIsConstant)
{
    kmlQuat q(33, kmlVec3(0, 0.6f, 0.8f));
    for (float t : {0.0f, 0.3f, 0.5f, 1.0f}) EXPECT_TRUE(vecNear<4>(kmlQuat::spline(q, q, q, q, t), q, 1e-6f));
    kmlQuat a(0, kmlVec3(1, 0, 0)), b(90, kmlVec3(1, 0, 0));
    kmlQuat o = kmlQuat::intermediateOut(a, a, b, 0.25f), i = kmlQuat::intermediateIn(a, b, b, 0.25f);
    EXPECT_TRUE(vecNear<4>(kmlQuat::spline(a, o, i, b, 0), a, 1e-7f));
    EXPECT_TRUE(vecNear<4>(kmlQuat::spline(a, o, i, b, 1), b, 1e-6f));
}

TEST(KmlQuat, IntermediateControlsAreMirrorImages)
{
    kmlQuat prev(0, kmlVec3(0, 0, 1)), cur(40, kmlVec3(0, 0, 1)), next(100, kmlVec3(0, 0, 1));
    kmlQuat out = kmlQuat::intermediateOut(prev, cur, next, 0.25f);
    kmlQuat in = kmlQuat::intermediateIn(prev, cur, next, 0.25f);
    // About one axis: out = cur + 0.25 * 100 degrees, in = cur - 25 degrees.
    EXPECT_TRUE(vecNear<4>(out, kmlQuat(65, kmlVec3(0, 0, 1)), 1e-6f));
    EXPECT_TRUE(vecNear<4>(in, kmlQuat(15, kmlVec3(0, 0, 1)), 1e-6f));
}

TEST(KmlQuat, AxisAngleOfQuaternion)
{
    struct Case { kmlQuat q; float angle; kmlVec3 axis; } cases[] = {
        {kmlQuat(0, 0, 0, 1), 0, {1, 0, 0}},
        {kmlQuat(0, S45, 0, S45), 90, {0, 1, 0}},
        {kmlQuat(0, 0, 0, -1), 0, {1, 0, 0}},
        {kmlQuat(0, 0, 0.5f, -std::sqrt(0.75f)), 300, {0, 0, 1}},
        {kmlQuat::ZERO, 0, {1, 0, 0}}, // no vector part to divide out
    };
    for (const Case& c : cases) {
        float angle;
        kmlVec3 axis;
        c.q.toAxisAngle(angle, axis);
        EXPECT_NEAR(angle, c.angle, 1e-4f);
        EXPECT_TRUE(vecNear<3>(axis, c.axis, 1e-6f));
    }
}

TEST(KmlQuat, ToEulerIsZyx)
{
    kmlEuler e(10, 20, 30);
    kmlEuler back = e.toQuat().toEuler();
    EXPECT_EQ(back.getOrder(), 5);
    EXPECT_TRUE(vecNear<3>(back, e, 1e-4f));
}

TEST(KmlQuat, AlignTakesUToV)
{
    const float r3 = 1 / std::sqrt(3.0f);
    struct Case { kmlVec3 u, v; } cases[] = {
        {{1, 0, 0}, {0, 1, 0}},
        {{0, 0, 1}, {0.6f, 0, 0.8f}},
        {{1, 0, 0}, {1, 0, 0}},
        {{1, 0, 0}, {-1, 0, 0}},
        {{0, 1, 0}, {0, -1, 0}},
        {{r3, r3, r3}, {-r3, -r3, -r3}}, // a permutation of v is parallel to u
        {{0.6f, 0.8f, 0}, {-0.6f, -0.8f, 0}},
    };
    for (const Case& c : cases) {
        kmlQuat q = kmlQuat().align(c.u, c.v);
        EXPECT_TRUE(q.isUnit()) << c.u[0] << "," << c.u[1] << "," << c.u[2];
        EXPECT_TRUE(vecNear<3>(rotate(q, c.u), c.v, 2e-6f));
    }
    EXPECT_TRUE(vecNear<4>(kmlQuat().align(kmlVec3(1, 0, 0), kmlVec3(0, 1, 0)), kmlVec4(0, 0, S45, S45), 1e-7f));
    kmlQuat half = kmlQuat().align(kmlVec3(1, 0, 0), kmlVec3(-1, 0, 0));
    EXPECT_EQ(half[3], 0.0f);
    EXPECT_EQ(half[0], 0.0f);
}

TEST(KmlQuat, TwistDecompositionsRecompose)
{
    kmlQuat q = kmlEuler(30, -50, 70).toQuat();
    kmlVec3 axis(0, 0, 1);
    kmlQuat twist, noTwist;
    q.decompTwistNoTwist(axis, twist, noTwist);
    EXPECT_TRUE(vecNear<4>(twist * noTwist, q, 1e-6f));
    // The twist turns about the rotated axis.
    kmlVec3 ra = rotate(q, axis);
    EXPECT_TRUE(vecNear<3>(rotate(twist, ra), ra, 1e-6f));

    q.decompNoTwistTwist(axis, noTwist, twist);
    EXPECT_TRUE(vecNear<4>(noTwist * twist, q, 1e-6f));
    EXPECT_TRUE(vecNear<3>(rotate(twist, axis), axis, 1e-6f));
}

TEST(KmlQuat, LogExpAndPow)
{
    kmlQuat q(120, kmlVec3(0, 1, 0));
    kmlQuat l = q.getLog();
    EXPECT_EQ(l[3], 0.0f);
    EXPECT_NEAR(l[1], DegToRad(60), 1e-6f);
    EXPECT_TRUE(vecNear<4>(l.getExp(), q, 1e-6f));
    EXPECT_TRUE(vecNear<4>(q.pow(0.5f), kmlQuat(60, kmlVec3(0, 1, 0)), 1e-6f));
    EXPECT_EQ(kmlQuat::IDENTITY.getLog(), kmlQuat(0, 0, 0, 0));
    EXPECT_EQ(kmlQuat(0, 0, 0, 0).getExp(), kmlQuat::IDENTITY);
}
