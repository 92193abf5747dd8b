#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "kmlIntegration.h"
#include "kmlPlane.h"
#include "kmlPolynomial.h"
#include "kmlTestUtil.h"

namespace {
kmlPolynomial poly(std::vector<float> c)
{
    kmlPolynomial p(static_cast<int>(c.size()) - 1);
    for (size_t i = 0; i < c.size(); ++i) p[static_cast<int>(i)] = c[i];
    return p;
}
} // namespace

TEST(KmlPlane, SidesAndConstruction)
{
    kmlPlane p(kmlVec3(0, 0, 0), kmlVec3(1, 0, 0), kmlVec3(0, 1, 0));
    EXPECT_EQ(p.getNormal(), kmlVec3(0, 0, 1));
    EXPECT_EQ(p.getDistance(), 0.0f);
    EXPECT_EQ(p.sideOf(kmlVec3(3, 4, 0)), kmlPlane::ON);
    EXPECT_EQ(p.sideOf(kmlVec3(0, 0, 1e-7f)), kmlPlane::FRONT);
    EXPECT_EQ(p.sideOf(kmlVec3(0, 0, -1e-7f)), kmlPlane::BEHIND);

    kmlPlane q(kmlVec3(0, 0, 2), kmlVec3(0, 1, 2), kmlVec3(1, 0, 2)); // clockwise seen from +z
    EXPECT_TRUE(vecNear<3>(q.getNormal(), kmlVec3(0, 0, -1), 0));
    EXPECT_EQ(q.distanceTo(kmlVec3(0, 0, 5)), -3.0f);
    q.flip();
    EXPECT_EQ(q.distanceTo(kmlVec3(0, 0, 5)), 3.0f);

    kmlPlane s;
    EXPECT_EQ(s.getNormal(), kmlVec3(0, 1, 0));
    s.setNormal(kmlVec3(0, 2, 0));
    s.setDistance(4);
    s.normalize();
    EXPECT_EQ(s.getNormal(), kmlVec3(0, 1, 0));
    EXPECT_EQ(s.getDistance(), 2.0f);
    s.setNormal(kmlVec3(0, 0, 0));
    s.normalize(); // zero normal: unchanged, no NaN
    EXPECT_EQ(s.getDistance(), 2.0f);
}

TEST(KmlPolynomial, ConstructionArithmeticAndEval)
{
    EXPECT_EQ(kmlPolynomial().getDegree(), -1);
    EXPECT_EQ(kmlPolynomial().eval(3), 0.0f);
    kmlPolynomial z(3);
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(z[i], 0.0f); // coefficients start at 0
    EXPECT_EQ(poly({2, 3})(2), 8.0f);

    kmlPolynomial a = poly({1, 2, 3}), b = poly({5, -1});
    kmlPolynomial sum = a + b, diff = b - a, prod = a * b;
    EXPECT_EQ(sum.getDegree(), 2);
    EXPECT_EQ(sum[0], 6.0f);
    EXPECT_EQ(sum[2], 3.0f);
    EXPECT_EQ(diff[1], -3.0f);
    EXPECT_EQ(diff[2], -3.0f); // taken from the right operand, negated
    EXPECT_EQ(prod.getDegree(), 3);
    EXPECT_EQ(prod(2.0f), a(2.0f) * b(2.0f));
    kmlPolynomial d = a.getDerivative();
    EXPECT_EQ(d.getDegree(), 1);
    EXPECT_EQ(d[0], 2.0f);
    EXPECT_EQ(d[1], 6.0f);
    EXPECT_EQ(poly({4}).getDerivative().getDegree(), -1);
    EXPECT_EQ(a.getInversion()[0], 3.0f);
    EXPECT_EQ((a * 2.0f)[2], 6.0f);
    EXPECT_EQ((-a)[1], -2.0f);

    kmlPolynomial c(a);
    c[0] = 9;
    EXPECT_EQ(a[0], 1.0f); // deep copy
    c = c;
    EXPECT_EQ(c[0], 9.0f);
}

TEST(KmlPolynomial, RootsOnInterval)
{
    struct Case {
        const char* what;
        std::vector<float> c;
        float a, b;
        std::vector<float> roots;
    } cases[] = {
        {"two roots", {-1, 0, 1}, -2, 2, {-1, 1}},
        {"one root", {-1, 0, 1}, 0.5f, 2, {1}},
        {"none", {1, 0, 1}, -2, 2, {}},
        {"double root once", {0.25f, -1, 1}, 0, 1, {0.5f}},
        {"linear on an empty interval", {0, 1}, 0, 0, {0}},
        {"linear on an empty interval, no root", {1, 1}, 0, 0, {}},
        {"linear, root outside", {-2, 1}, 0, 1, {}},
        {"cubic", {0, -1, 0, 1}, -2, 2, {-1, 0, 1}},
        // (x - 0.9995)^2 + 1 never vanishes; with the interval split at
        // 0.9995 the right piece is shorter than one bisection round.
        {"short piece without a root", {1.0f + 0.9995f * 0.9995f, -2 * 0.9995f, 1}, 0, 1, {}},
        {"short interval with a root", {-0.5f, 1}, 0.4999f, 0.5002f, {0.5f}},
        {"constant", {0}, 0, 1, {}},
    };
    for (const Case& c : cases) {
        kmlPolynomial p = poly(c.c);
        float roots[8];
        int count = -1;
        p.rootsOn(c.a, c.b, count, roots);
        ASSERT_EQ(count, static_cast<int>(c.roots.size())) << c.what;
        for (int i = 0; i < count; ++i) EXPECT_NEAR(roots[i], c.roots[i], 1e-3f) << c.what;
    }
}

TEST(KmlPolynomial, AllRootsWithinTheBound)
{
    kmlPolynomial p = poly({-6, 11, -6, 1}); // (x-1)(x-2)(x-3)
    EXPECT_EQ(p.getRootsBound(), 12.0f);
    float roots[3];
    int count;
    p.allRoots(count, roots);
    ASSERT_EQ(count, 3);
    EXPECT_NEAR(roots[2], 3.0f, 1e-4f);
    kmlPolynomial q = poly({-100, 0, 1}); // |c0| > |c2|: roots +-10 still inside
    q.allRoots(count, roots);
    ASSERT_EQ(count, 2);
    EXPECT_NEAR(roots[0], -10.0f, 1e-3f);
}

TEST(KmlPolynomial, Degree2Roots)
{
    struct Case {
        std::vector<float> c;
        bool result;
        int count;
        float r0, r1;
    } cases[] = {
        {{1, -2, 1}, true, 1, 1, 1},
        {{-1, 0, 1}, true, 2, 1, -1},
        {{1, 0, 1}, true, 0, 0, 0},
        {{3, -6, 0}, true, 1, 0.5f, 0}, // linear
        {{3, 0, 0}, true, 0, 0, 0},     // constant
        {{1, 2, 3, 4}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        float roots[2] = {0, 0};
        int count = -1;
        EXPECT_EQ(poly(c.c).degree2Roots(count, roots), c.result);
        EXPECT_EQ(count, c.count);
        if (c.count >= 1) {
            EXPECT_EQ(roots[0], c.r0);
        }
        if (c.count == 2 || (c.count == 1 && c.c[2] != 0)) {
            EXPECT_EQ(roots[1], c.r1); // both written for a double root
        }
    }
}

namespace {
float square(float x, void* calls)
{
    ++*static_cast<int*>(calls);
    return x * x;
}
} // namespace

TEST(KmlIntegration, RombergOrders)
{
    int calls = 0;
    EXPECT_EQ(kmlIntegration::getOrder(), 5);
    EXPECT_NEAR(kmlIntegration::romberg(0, 1, square, &calls), 1.0f / 3, 1e-6f);
    EXPECT_EQ(calls, 2 + 1 + 2 + 4 + 8);
    kmlIntegration::setOrder(1);
    EXPECT_EQ(kmlIntegration::romberg(0, 1, square, &calls), 0.5f);
    kmlIntegration::setOrder(0); // refused
    EXPECT_EQ(kmlIntegration::getOrder(), 1);
    // Beyond 4^15 an int power would overflow; the float one stays exact.
    kmlIntegration::setOrder(18);
    EXPECT_NEAR(kmlIntegration::romberg(0, 3, square, &calls), 9.0f, 1e-4f);
    kmlIntegration::setOrder(5);
}
