#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "kmlMath.h"
#include "kmlVec2.h"
#include "kmlVec3.h"
#include "kmlVec4.h"
#include "kmlTestUtil.h"

using namespace kml;

TEST(KmlScalar, DegreeFactorsHaveTheirExactBits)
{
    EXPECT_EQ(floatBits(DegToRad(1.0f)), 0x3C8EFA35u);
    EXPECT_EQ(floatBits(RadToDeg(1.0f)), 0x42652EE1u);
    // pi/2 in float converts to exactly 90, which the gimbal branches rely on.
    EXPECT_EQ(RadToDeg(1.5707964f), 90.0f);
}

TEST(KmlScalar, ClampTestsLowBoundFirst)
{
    struct Case { float x, lo, hi, expected; } cases[] = {
        {5, 0, 1, 1}, {-1, 0, 1, 0}, {0.5f, 0, 1, 0.5f},
        // Inverted bounds: below lo gives lo, everything else hi.
        {1.5f, 2, 1, 2}, {-3, 2, 1, 2}, {2, 2, 1, 1}, {7, 2, 1, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(Clamp(c.x, c.lo, c.hi), c.expected) << c.x;
}

TEST(KmlScalar, MinMaxTieRules)
{
    // Two arguments: equal values return the second (told apart by the sign of zero).
    EXPECT_EQ(floatBits(Min(0.0f, -0.0f)), floatBits(-0.0f));
    EXPECT_EQ(floatBits(Max(-0.0f, 0.0f)), floatBits(0.0f));
    // Arrays: the first of equal extremes wins.
    float zeros[] = {0.0f, -0.0f, 0.0f};
    EXPECT_EQ(floatBits(Min(zeros, 3)), floatBits(0.0f));
    EXPECT_EQ(floatBits(Max(zeros, 3)), floatBits(0.0f));
    float v[] = {3, -2, 7, -2, 7};
    EXPECT_EQ(Min(v, 5), -2.0f);
    EXPECT_EQ(Max(v, 5), 7.0f);
    EXPECT_EQ(Min(v, 1), 3.0f);
    EXPECT_EQ(Max(v + 1, 1), -2.0f);
}

TEST(KmlScalar, ArrayMinMaxOfNothingReadsNothing)
{
    EXPECT_EQ(Min(nullptr, 0), 0.0f);
    EXPECT_EQ(Max(nullptr, 0), 0.0f);
}

TEST(KmlScalar, IntConversionsSaturateInsteadOfOverflowing)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float x; int floor, ceil; } cases[] = {
        {2.5f, 2, 3}, {-2.5f, -3, -2}, {-0.0f, 0, 0},
        {1e20f, INT_MAX, INT_MAX}, {-1e20f, INT_MIN, INT_MIN},
        {inf, INT_MAX, INT_MAX}, {-inf, INT_MIN, INT_MIN},
        {std::nanf(""), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IFloor(c.x), c.floor) << c.x;
        EXPECT_EQ(ICeil(c.x), c.ceil) << c.x;
    }
}

TEST(KmlScalar, DegreeTrigonometry)
{
    EXPECT_EQ(Atan2d(1.0f, 0.0f), 90.0f);
    EXPECT_EQ(Atan2d(0.0f, -1.0f), 180.0f);
    EXPECT_TRUE(std::isnan(Acosd(1.0000001f)));
    EXPECT_NEAR(Sind(30.0f), 0.5f, 1e-7f);
    EXPECT_NEAR(Cosd(60.0f), 0.5f, 1e-7f);
    // The wrapper rounds the double result: it must agree with the double
    // function, not with the float variant.
    float x = 1e6f;
    EXPECT_EQ(Sin(x), static_cast<float>(std::sin(static_cast<double>(x))));
}

TEST(KmlVec, UnitThresholdIsOnTheSquaredLength)
{
    kmlVec3 tiny(0.0005f, 0.0f, 0.0f);
    EXPECT_FALSE(tiny.unit());
    EXPECT_EQ(tiny, kmlVec3(0.0005f, 0.0f, 0.0f));

    kmlVec3 small(0.002f, 0.0f, 0.0f);
    EXPECT_TRUE(small.unit());
    EXPECT_TRUE(vecNear<3>(small, kmlVec3(1, 0, 0), 1e-6f));

    kmlVec3 v(3, 0, 4);
    EXPECT_TRUE(v.unit());
    EXPECT_TRUE(vecNear<3>(v, kmlVec3(0.6f, 0, 0.8f), 1e-7f));

    kmlVec3 nan(std::nanf(""), 0, 0);
    EXPECT_FALSE(nan.unit());
}

TEST(KmlVec, IsUnitBoundsOnTheSquaredLength)
{
    EXPECT_TRUE(kmlVec3(1.0004f, 0, 0).isUnit());
    EXPECT_FALSE(kmlVec3(1.001f, 0, 0).isUnit());
    EXPECT_TRUE(kmlVec3(0.9996f, 0, 0).isUnit());
    EXPECT_FALSE(kmlVec3(0.999f, 0, 0).isUnit());
}

TEST(KmlVec, EqualityIsBitwise)
{
    EXPECT_NE(kmlVec3(), kmlVec3(-0.0f, 0, 0));
    float nan = std::nanf("");
    EXPECT_EQ(kmlVec3(nan, 1, 2), kmlVec3(nan, 1, 2));
    EXPECT_FALSE(kmlVec3(1, 2, 3) != kmlVec3(1, 2, 3));
}

TEST(KmlVec, ProductsAndInterpolation)
{
    EXPECT_EQ(kmlVec3(kmlVec3(1, 0, 0).cross(kmlVec3(0, 1, 0))), kmlVec3(0, 0, 1));
    EXPECT_EQ(kmlVec3(kmlVec3(0, 1, 0).cross(kmlVec3(1, 0, 0))), kmlVec3(0, 0, -1));
    EXPECT_EQ(kmlVec2(kmlVec2(1, 2).ortho()), kmlVec2(-2, 1));
    EXPECT_EQ(kmlVec3(1, 2, 3).dot(kmlVec3(4, -5, 6)), 12.0f);

    kmlVec3 a(1, 2, 3), b(2, 4, 8);
    EXPECT_EQ(kmlVec3(kmlVec<3>::lerp(a, b, 0)), a);
    EXPECT_EQ(kmlVec3(kmlVec<3>::lerp(a, b, 1)), b);
    EXPECT_EQ(kmlVec3(kmlVec<3>::lerp(a, b, 2)), kmlVec3(3, 6, 13)); // 2b - a
}

TEST(KmlVec, LayoutAndNamedAccess)
{
    kmlVec4 v(kmlVec3(1, 2, 3), 1);
    const float* p = v;
    EXPECT_EQ(p[0], 1.0f);
    EXPECT_EQ(p[3], 1.0f);
    float x, y, z, w;
    v.get(x, y, z, w);
    EXPECT_EQ(z, 3.0f);
    v[2] = 9;
    EXPECT_EQ(v.get(2), 9.0f);
    EXPECT_EQ(kmlVec4(-v), kmlVec4(-1, -2, -9, -1));
    EXPECT_EQ(v.getDim(), 4);
}
