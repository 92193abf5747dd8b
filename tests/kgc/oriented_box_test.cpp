#include "kgcAxisAlignedBox.h"
#include "kgcMesh.h"
#include "kgcOrientedBox.h"

#include "expect_near.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

kgcOrientedBox cube(float half = 1)
{
    kgcOrientedBox b;
    b.fromMinMax(kmlVec3(-half, -half, -half), kmlVec3(half, half, half));
    return b;
}

kmlMatrix4 rotation(float degrees, kmlVec3 axis)
{
    kmlMatrix4 m;
    m.rotate(degrees, axis);
    return m;
}

kmlMatrix4 translation(kmlVec3 t)
{
    kmlMatrix4 m;
    m.translate(t);
    return m;
}

} // namespace

TEST(kgcOrientedBox, FromMinMaxCornersAndBounds)
{
    kgcOrientedBox b;
    b.fromMinMax(kmlVec3(0, 0, 0), kmlVec3(2, 4, 6));
    EXPECT_EQ(b.getCenter(), kmlVec3(1, 2, 3));
    float e[3];
    b.getExtents(e);
    EXPECT_EQ(kmlVec3(e[0], e[1], e[2]), kmlVec3(1, 2, 3));
    EXPECT_EQ(b.getCorner(0), kmlVec3(2, 4, 6));
    EXPECT_EQ(b.getCorner(6), kmlVec3(0, 0, 0));
    EXPECT_EQ(b.getMin(), kmlVec3(0, 0, 0));
    EXPECT_EQ(b.getMax(), kmlVec3(2, 4, 6));
    // The same corners as an axis-aligned box of the same bounds.
    kgcAxisAlignedBox aab;
    aab.fromMinMax(kmlVec3(0, 0, 0), kmlVec3(2, 4, 6));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.getCorner(i), aab.getCorner(i)) << i;
        EXPECT_EQ(b.getCorner(kgcBoundingBox::CORNER_CODES[i]), aab.getCorner(i)) << i;
    }
    EXPECT_EQ(b.getCorner(8), kmlVec3());
    EXPECT_EQ(b.getCorner(static_cast<unsigned char>(0)), kmlVec3());
    EXPECT_EQ(b.getDelta(-1), kmlVec3());
}

TEST(kgcOrientedBox, TouchingCollidesAnyGapSeparates)
{
    for (int axis = 0; axis < 3; ++axis) {
        for (float gap : {0.0f, 0.001f}) {
            kmlVec3 offset;
            offset[axis] = 2 + gap;
            kgcOrientedBox a = cube(), b = cube();
            b.transformBy(translation(offset));
            EXPECT_EQ(a.collide(&b), gap == 0) << "axis " << axis << " gap " << gap;
            EXPECT_EQ(b.collide(&a), gap == 0) << "axis " << axis << " gap " << gap;
        }
    }
    kgcOrientedBox a = cube();
    EXPECT_FALSE(a.collide(static_cast<kgcBoundingBox*>(nullptr)));
    kgcAxisAlignedBox aab; // any box kind works through the interface
    aab.fromMinMax(kmlVec3(0.5f, 0.5f, 0.5f), kmlVec3(3, 3, 3));
    EXPECT_TRUE(a.collide(&aab));
}

TEST(kgcOrientedBox, SeparatedOnlyOnAnEdgeCrossAxis)
{
    // A's edge along z at x = sqrt 2 faces B's edge along y at x = c - sqrt 2:
    // crossed edges, whose only separating axis is z x y.
    const float r2 = std::sqrt(2.0f);
    for (float gap : {-0.01f, 0.01f}) {
        kgcOrientedBox a = cube(), b = cube();
        a.transformBy(rotation(45, kmlVec3(0, 0, 1)));
        kmlMatrix4 m = translation(kmlVec3(2 * r2 + gap, 0, 0));
        m.rotate(45, kmlVec3(0, 1, 0));
        b.transformBy(m);
        EXPECT_EQ(a.collide(&b), gap < 0) << gap;
    }
    // Parallel axes give zero cross products, which must not separate.
    kgcOrientedBox a = cube(), b = cube();
    b.transformBy(translation(kmlVec3(1, 1, 1)));
    EXPECT_TRUE(a.collide(&b));
}

TEST(kgcOrientedBox, IsInsideMeasuresAlongTheAxes)
{
    kgcOrientedBox reset;
    EXPECT_TRUE(reset.isInside(kmlVec3(0, 0, 0)));
    EXPECT_FALSE(reset.isInside(kmlVec3(0.1f, 0, 0))) << "a reset box holds only its centre";

    kgcOrientedBox b = cube();
    b.transformBy(rotation(45, kmlVec3(0, 0, 1)));
    EXPECT_TRUE(b.isInside(kmlVec3(1.4f, 0, 0))) << "towards a rotated corner";
    EXPECT_FALSE(b.isInside(kmlVec3(1, 1, 0)));
    EXPECT_TRUE(b.isInside(kmlVec3(0.5f, 0.5f, 1))) << "on a face";
    EXPECT_FALSE(b.isInside(kmlVec3(0, 0, 1.001f)));

    kgcOrientedBox scaled = cube();
    kmlMatrix4 twice;
    twice.setDiag(2);
    twice(3, 3) = 1;
    scaled.transformBy(twice); // axes of length 2, extents still 1
    EXPECT_TRUE(scaled.isInside(kmlVec3(1.9f, 0, 0)));
    EXPECT_FALSE(scaled.isInside(kmlVec3(2.1f, 0, 0)));
}

TEST(kgcOrientedBox, RayEntryExitAndParallelSlabs)
{
    const kmlVec3 x(1, 0, 0);
    struct Case { const char* what; kmlVec3 origin, direction; bool hit; kmlVec3 point; };
    const Case cases[] = {
        {"entry from outside", {-5, 0.5f, 0.5f}, x, true, {-1, 0.5f, 0.5f}},
        {"exit from inside", {0, 0, 0}, x, true, {1, 0, 0}},
        {"box behind", {5, 0, 0}, x, false, {}},
        {"parallel, outside the y slab", {-5, 3, 0}, x, false, {}},
        {"parallel, inside the slabs", {-5, 1, 0}, x, true, {-1, 1, 0}},
    };
    for (const Case& c : cases) {
        kgcOrientedBox b = cube();
        EXPECT_EQ(b.intersect(c.origin, c.direction), c.hit) << c.what;
        const kmlVec4& p = b.getIntersection();
        if (c.hit)
            expectNear(kmlVec3(p[0], p[1], p[2]), c.point, c.what);
        else
            EXPECT_EQ(p, kmlVec4()) << c.what;
    }
}

TEST(kgcOrientedBox, MeshCollidesWhenAnyFaceOverlaps)
{
    auto mesh = [](std::initializer_list<kmlVec3> corners) {
        kgcMesh m;
        const int n = int(corners.size());
        m.begin(n, 0, n / 3);
        for (const kmlVec3& v : corners)
            m.addVertex(v[0], v[1], v[2]);
        for (int i = 0; i + 2 < n; i += 3)
            m.addFace(i, i + 1, i + 2, -1);
        EXPECT_TRUE(m.end());
        return m;
    };
    kgcOrientedBox b = cube();
    b.transformBy(rotation(30, kmlVec3(1, 1, 0)));
    struct Case { const char* what; kgcMesh m; bool hit; };
    const Case cases[] = {
        {"one face far, one inside", mesh({{10, 10, 10}, {11, 10, 10}, {10, 11, 10},
                                           {-0.2f, -0.2f, 0}, {0.2f, -0.2f, 0}, {0, 0.2f, 0}}), true},
        {"far face only", mesh({{10, 10, 10}, {11, 10, 10}, {10, 11, 10}}), false},
        // A huge face whose plane x + y + z = -6 lies behind it (its normal
        // points towards the box): only the back side of the face-normal
        // axis separates.
        {"plane behind the face", mesh({{14, -10, -10}, {-10, 14, -10}, {-10, -10, 14}}), false},
        {"the same plane through the box", mesh({{20, -10, -10}, {-10, 20, -10}, {-10, -10, 20}}), true},
        {"no faces", mesh({}), false},
    };
    for (const Case& c : cases) {
        kgcMesh m = c.m;
        EXPECT_EQ(b.collide(&m), c.hit) << c.what;
    }
}

TEST(kgcOrientedBox, MergeHoldsBothBoxes)
{
    kgcOrientedBox a = cube(), b = cube(0.5f);
    b.transformBy(translation(kmlVec3(4, 0, 0)));
    kgcOrientedBox merged = a;
    merged.merge(&b);
    expectNear(merged.getCenter(), kmlVec3(2, 0, 0), "centre");
    for (const kgcOrientedBox* box : {&a, &b})
        for (int k = 0; k < 8; ++k)
            EXPECT_TRUE(merged.isInside(kmlVec3(
                merged.getCenter() + 0.9999f * (box->getCorner(k) - merged.getCenter()))))
                << k;
    float e[3];
    merged.getExtents(e);
    EXPECT_FLOAT_EQ(e[0], 3);

    // Orientation halfway between the two boxes.
    kgcOrientedBox turned = cube();
    turned.transformBy(rotation(90, kmlVec3(0, 0, 1)));
    kgcOrientedBox half = cube();
    half.merge(&turned);
    expectNear(half.getXAxis(), kmlVec3(std::sqrt(0.5f), std::sqrt(0.5f), 0), "x axis");
}

TEST(kgcOrientedBox, FromMeshOfNoVerticesKeepsTheBox)
{
    kgcOrientedBox b = cube(2);
    kgcMesh empty;
    b.fromMesh(&empty);
    EXPECT_EQ(b.getMax(), kmlVec3(2, 2, 2));
}
