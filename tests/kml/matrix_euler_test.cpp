#include <gtest/gtest.h>

#include "kmlMatrix4.h"
#include "kmlQuat.h"
#include "kmlTestUtil.h"

using namespace kml;

namespace {
kmlVec4 apply(const kmlMatrix4& m, const kmlVec4& p)
{
    kmlVec4 r;
    for (int i = 0; i < 4; ++i) r[i] = m.getRow(i).dot(p);
    return r;
}
} // namespace

TEST(KmlMatrix, DefaultsAndStorageOrder)
{
    kmlMatrix<4, 4> zero;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(zero[i], 0.0f);
    kmlMatrix4 m;
    kmlMatrix3 m3;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(m(r, c), r == c ? 1.0f : 0.0f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(m3(r, c), r == c ? 1.0f : 0.0f);

    m.setTranslation(kmlVec3(1, 2, 3));
    EXPECT_EQ(kmlVec4(m.getColumn(3)), kmlVec4(1, 2, 3, 1));
    const float* p = m;
    EXPECT_EQ(p[12], 1.0f);
    EXPECT_EQ(p[13], 2.0f);
    EXPECT_EQ(p[14], 3.0f);
    m(2, 1) = 7;
    EXPECT_EQ(m[1 * 4 + 2], 7.0f);
    EXPECT_EQ(kmlVec4(m.getRow(2)), kmlVec4(0, 7, 1, 3));
}

TEST(KmlMatrix, RotateThenTranslateRotatesTheTranslation)
{
    kmlMatrix4 m;
    m.rotate(90, kmlVec3(0, 0, 1));
    EXPECT_TRUE(vecNear<4>(apply(m, kmlVec4(1, 0, 0, 1)), kmlVec4(0, 1, 0, 1), 1e-6f));
    m.translate(kmlVec3(1, 0, 0));
    // R * T: the point at the origin lands at R * (1, 0, 0).
    EXPECT_TRUE(vecNear<4>(m.getColumn(3), kmlVec4(0, 1, 0, 1), 1e-6f));

    kmlMatrix4 t;
    t.translate(kmlVec3(1, 0, 0));
    t.rotate(90, kmlVec3(0, 0, 1));
    EXPECT_TRUE(vecNear<4>(t.getColumn(3), kmlVec4(1, 0, 0, 1), 1e-6f));
}

TEST(KmlMatrix, SetRotationAxisHandling)
{
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(4, 5, 6));
    kmlMatrix4 before(m);
    m.setRotation(30, kmlVec3(0, 0, 0));
    EXPECT_TRUE(matNear<4>(m, before, 0));

    kmlMatrix4 a, b;
    a.setRotation(30, kmlVec3(0, 0, 2));
    b.setRotation(30, kmlVec3(0, 0, 1));
    EXPECT_TRUE(matNear<4>(a, b, 0));

    m.setRotation(30, kmlVec3(0, 0, 1));
    EXPECT_EQ(kmlVec4(m.getColumn(3)), kmlVec4(4, 5, 6, 1)); // translation kept
    kmlMatrix3 m3;
    m3.setRotation(30, kmlVec3(0, 0, 0));
    EXPECT_TRUE(matNear<3>(m3, kmlMatrix3(), 0));
}

TEST(KmlMatrix, ProductIsRowTimesColumnAndMaySelfMultiply)
{
    float a[16], b[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = float(i + 1);
        b[i] = float((i * 7) % 5 - 2);
    }
    kmlMatrix<4, 4> A(a), B(b), P(a);
    P *= B;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += A(r, k) * B(k, c);
            EXPECT_EQ(P(r, c), s);
        }
    kmlMatrix<4, 4> S(a), S2(a);
    S *= S;
    S2 *= A;
    EXPECT_TRUE(matNear<4>(S, S2, 0));
}

TEST(KmlMatrix, RigidInverseTimesMatrixIsIdentity)
{
    kmlMatrix4 m;
    m.rotate(37, kmlVec3(1, 2, 3));
    m.translate(kmlVec3(-4, 5, 0.5f));
    m.rotate(kmlEuler(10, -20, 30));
    kmlMatrix4 p = m.getInverse();
    p *= m;
    EXPECT_TRUE(matNear<4>(p, kmlMatrix4(), 2e-6f));
    kmlMatrix4 q(m);
    q *= m.getInverse();
    EXPECT_TRUE(matNear<4>(q, kmlMatrix4(), 2e-6f));
}

TEST(KmlEuler, ClosedFormMatchesAxisProductInEveryOrder)
{
    for (int order = 0; order <= 6; ++order) {
        kmlEuler e(25, -40, 130, order);
        kmlMatrix3 product = e.toMat3();
        kmlMatrix3 closed = e.toMat4().toMat3();
        EXPECT_TRUE(matNear<3>(product, closed, 1e-6f)) << "order " << order;
    }
    // Order ZYX is Rz * Ry * Rx.
    kmlMatrix3 zyx;
    zyx.rotate(30, kmlVec3(0, 0, 1));
    zyx.rotate(20, kmlVec3(0, 1, 0));
    zyx.rotate(10, kmlVec3(1, 0, 0));
    EXPECT_TRUE(matNear<3>(zyx, kmlEuler(10, 20, 30).toMat4().toMat3(), 1e-6f));
}

TEST(KmlEuler, RoundTripInEveryOrder)
{
    const float outer[] = {-179, -120, -45, 0, 10, 89, 150, 179};
    const float middle[] = {-89, -60, -5, 0, 20, 45, 89};
    for (int order = 0; order < 6; ++order)
        for (float a : outer)
            for (float b : middle)
                for (float c : outer) {
                    // The middle angle of the order is the asin one, limited
                    // to -90..90; the other two span -180..180.
                    float ang[3];
                    static const int mid[6] = {1, 2, 0, 2, 0, 1};
                    int m = mid[order];
                    ang[m] = b;
                    ang[(m + 1) % 3] = a;
                    ang[(m + 2) % 3] = c;
                    kmlEuler e(ang[0], ang[1], ang[2], order);
                    kmlEuler back = e.toMat4().toEuler(order);
                    EXPECT_EQ(back.getOrder(), order);
                    EXPECT_TRUE(vecNear<3>(back, e, 2e-3f)) << "order " << order;
                }
}

TEST(KmlEuler, GimbalLockRebuildsTheSameRotation)
{
    for (int order = 0; order < 6; ++order)
        for (float sign : {1.0f, -1.0f}) {
            static const int mid[6] = {1, 2, 0, 2, 0, 1};
            float ang[3] = {35, -70, 110};
            ang[mid[order]] = 90 * sign;
            kmlEuler e(ang[0], ang[1], ang[2], order);
            kmlMatrix4 m = e.toMat4();
            kmlEuler back = m.toEuler(order);
            EXPECT_EQ(Abs(back[mid[order]]), 90.0f) << "order " << order;
            EXPECT_TRUE(matNear<4>(back.toMat4(), m, 2e-6f)) << "order " << order << " sign " << sign;
        }
}

TEST(KmlEuler, ZyxExamplesAndUnknownOrder)
{
    kmlEuler e = kmlEuler(10, 20, 30).toMat4().toEuler(5);
    EXPECT_TRUE(vecNear<3>(e, kmlVec3(10, 20, 30), 1e-4f));
    EXPECT_EQ(e.getOrder(), 5);

    kmlEuler lock = kmlEuler(10, 90, 30).toMat4().toEuler(5);
    EXPECT_EQ(lock[0], 0.0f);
    EXPECT_EQ(lock[1], 90.0f);
    EXPECT_NEAR(lock[2], 20.0f, 1e-4f); // z - x

    kmlMatrix4 m = kmlEuler(10, 20, 30, 7).toMat4();
    kmlEuler seven = m.toEuler(7);
    EXPECT_EQ(seven.getOrder(), 5);
    EXPECT_EQ(seven, m.toEuler(5));

    kmlEuler o;
    o.setOrder(-3);
    EXPECT_EQ(o.getOrder(), 0);
    o.setOrder(9);
    EXPECT_EQ(o.getOrder(), 5);
}

TEST(KmlMatrix, AxisAngle)
{
    struct Case { float angle; kmlVec3 axis; } cases[] = {
        {90, {0, 1, 0}}, {30, {1, 0, 0}}, {120, {0.6f, 0, 0.8f}}, {179.9f, {0.6f, 0.8f, 0}},
        {180, {0.6f, 0.8f, 0}}, {178, {-0.48f, 0.6f, 0.64f}}, {180, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        kmlMatrix4 m;
        m.setRotation(c.angle, c.axis);
        float angle;
        kmlVec3 axis;
        m.toAxisAngle(angle, axis);
        EXPECT_NEAR(angle, c.angle, 2e-3f);
        if (c.angle == 180 && axis.dot(c.axis) < 0) axis = -axis; // either way round
        EXPECT_TRUE(vecNear<3>(axis, c.axis, 1e-4f)) << c.angle;
        kmlMatrix4 back;
        back.setRotation(angle, axis);
        EXPECT_TRUE(matNear<4>(back, m, 1e-5f)) << c.angle;
    }
    float angle;
    kmlVec3 axis;
    kmlMatrix3().toAxisAngle(angle, axis);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(axis, kmlVec3(1, 0, 0));
}

TEST(KmlMatrix, ToQuatInEveryBranch)
{
    struct Case { const char* branch; float angle; kmlVec3 axis; } cases[] = {
        {"trace", 0, {1, 0, 0}},
        {"trace", 60, {1, 2, 3}},
        {"x", 180, {1, 0, 0}},
        {"y", 180, {0, 1, 0}},
        {"z", 180, {0, 0, 1}},
        // Trace + 1 rounds to just above 0: the old trace branch broke here.
        {"half turn off-axis", 180, {0.6f, 0.8f, 0}},
        {"half turn off-axis", 180, {1, 1, 1}},
        {"between quarter and half turn", 120, {0.36f, 0.48f, 0.8f}},
        {"between quarter and half turn", 175, {-1, 2, 0.5f}},
    };
    for (const Case& c : cases) {
        kmlMatrix4 m;
        m.setRotation(c.angle, c.axis);
        kmlQuat q = m.toQuat();
        EXPECT_TRUE(q.isUnit()) << c.branch;
        EXPECT_TRUE(matNear<4>(q.toMat4(), m, 2e-6f)) << c.branch << " " << c.angle;
        if (c.angle < 180) {
            EXPECT_GE(q[3], 0.0f) << c.branch; // the sign the trace formula gave
        }
        EXPECT_TRUE(matNear<3>(m.toMat3().toQuat().toMat3(), m.toMat3(), 2e-6f));
    }
    kmlMatrix4 halfX;
    halfX.setRotation(180, kmlVec3(1, 0, 0));
    EXPECT_TRUE(vecNear<4>(halfX.toQuat(), kmlVec4(1, 0, 0, 0), 1e-6f));
}
