#include "kgcAxisAlignedBox.h"
#include "kgcMesh.h"

#include "expect_near.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

kgcAxisAlignedBox box(kmlVec3 lo, kmlVec3 hi)
{
    kgcAxisAlignedBox b;
    b.fromMinMax(lo, hi);
    return b;
}

// A mesh of the given triangles, flat per-face normals computed by the box.
kgcMesh mesh(std::initializer_list<std::array<kmlVec3, 3>> triangles)
{
    kgcMesh m;
    const int n = int(triangles.size());
    m.begin(3 * n, 0, n);
    int i = 0;
    for (const auto& t : triangles) {
        for (const kmlVec3& v : t)
            m.addVertex(v[0], v[1], v[2]);
        m.addFace(i, i + 1, i + 2, -1);
        i += 3;
    }
    EXPECT_TRUE(m.end());
    return m;
}

} // namespace

TEST(kgcAxisAlignedBox, MergeTreatsAPointBoxAsEmpty)
{
    const kgcAxisAlignedBox unit = box({0, 0, 0}, {1, 1, 1});
    struct Case { const char* what; kgcAxisAlignedBox target; kgcAxisAlignedBox other; kmlVec3 lo, hi; };
    kgcAxisAlignedBox reset = box({3, 3, 3}, {4, 4, 4});
    reset.reset();
    const Case cases[] = {
        {"new box takes the other", kgcAxisAlignedBox(), box({1, 2, 3}, {4, 5, 6}), {1, 2, 3}, {4, 5, 6}},
        {"reset box takes the other", reset, box({1, 2, 3}, {4, 5, 6}), {1, 2, 3}, {4, 5, 6}},
        {"empty other changes nothing", unit, box({7, 7, 7}, {7, 7, 7}), {0, 0, 0}, {1, 1, 1}},
        {"grows per axis", unit, box({2, -1, 0}, {3, 0.5f, 4}), {0, -1, 0}, {3, 1, 4}},
    };
    for (Case c : cases) {
        c.target.merge(&c.other);
        EXPECT_EQ(c.target.getMin(), c.lo) << c.what;
        EXPECT_EQ(c.target.getMax(), c.hi) << c.what;
    }
    kgcAxisAlignedBox self = unit;
    self.merge(&self);
    self.merge(nullptr);
    EXPECT_EQ(self, unit);
}

TEST(kgcAxisAlignedBox, TransformByEnclosesTheMovedCorners)
{
    kgcAxisAlignedBox b = box({-1, -1, -1}, {1, 1, 1});
    kmlMatrix4 rotation;
    rotation.rotate(45, kmlVec3(0, 0, 1));
    b.transformBy(rotation);
    const float r = std::sqrt(2.0f);
    expectNear(b.getMin(), {-r, -r, -1}, "rotated min");
    expectNear(b.getMax(), {r, r, 1}, "rotated max");

    kgcAxisAlignedBox t = box({-1, -1, -1}, {1, 1, 1});
    kmlMatrix4 translation;
    translation.translate(kmlVec3(5, 0, 0));
    t.transformBy(translation);
    EXPECT_EQ(t.getMin(), kmlVec3(4, -1, -1));
    EXPECT_EQ(t.getMax(), kmlVec3(6, 1, 1));
}

TEST(kgcAxisAlignedBox, CornerIndicesAndCodesAgree)
{
    const kgcAxisAlignedBox b = box({0, 0, 0}, {1, 2, 3});
    const kmlVec3 byIndex[8] = {{1, 2, 3}, {0, 2, 3}, {0, 0, 3}, {1, 0, 3},
                                {1, 2, 0}, {0, 2, 0}, {0, 0, 0}, {1, 0, 0}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.getCorner(i), byIndex[i]) << i;
        EXPECT_EQ(b.getCorner(kgcBoundingBox::CORNER_CODES[i]), byIndex[i]) << i;
        expectNear(b.getDelta(i), byIndex[i] - b.getCenter(), "delta");
    }
    for (int bad : {-1, 8})
        EXPECT_EQ(b.getCorner(bad), kmlVec3()) << bad;
    for (unsigned char bad : {0, 23, 63, 85, 255})
        EXPECT_EQ(b.getCorner(bad), kmlVec3()) << int(bad);
    EXPECT_EQ(b.getDelta(8), kmlVec3(-0.5f, -1, -1.5f));
}

TEST(kgcAxisAlignedBox, IsInsideIncludesTheBoundary)
{
    const kgcAxisAlignedBox b = box({0, 0, 0}, {1, 1, 1});
    EXPECT_TRUE(b.isInside({1, 1, 1}));
    EXPECT_TRUE(b.isInside({0.5f, 0, 1}));
    EXPECT_FALSE(b.isInside({0.5f, 1.0001f, 0.5f}));
    EXPECT_FALSE(b.isInside({std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.5f}));
}

TEST(kgcAxisAlignedBox, RayEntersFromOutsideOrStartsInside)
{
    const kgcAxisAlignedBox b = box({0, 0, 0}, {1, 1, 1});
    const kmlVec3 x(1, 0, 0);
    struct Case { const char* what; kmlVec3 origin, direction; bool hit; kmlVec3 point; };
    const Case cases[] = {
        {"entry point", {-5, 0.5f, 0.5f}, x, true, {0, 0.5f, 0.5f}},
        {"oblique entry", {-1, -1, 0.5f}, {1, 1, 0}, true, {0, 0, 0.5f}},
        {"origin inside", {0.5f, 0.5f, 0.5f}, x, true, {0.5f, 0.5f, 0.5f}},
        {"box behind", {5, 0.5f, 0.5f}, x, false, {}},
        {"parallel, outside the y slab", {-5, 5, 0.5f}, x, false, {}},
        {"parallel, outside the z slab", {-5, 0.5f, -0.1f}, x, false, {}},
        {"parallel, inside both slabs", {-5, 1, 0}, x, true, {0, 1, 0}},
        {"passes beside", {-5, 0.5f, 0.5f}, {1, 2, 0}, false, {}},
    };
    for (const Case& c : cases) {
        kgcAxisAlignedBox probe = b;
        probe.fromMinMax({0, 0, 0}, {1, 1, 1});
        EXPECT_EQ(probe.intersect(c.origin, c.direction), c.hit) << c.what;
        if (c.hit)
            expectNear(kmlVec3(probe.getIntersection()[0], probe.getIntersection()[1],
                               probe.getIntersection()[2]),
                       c.point, c.what);
        else
            EXPECT_EQ(probe.getIntersection(), kmlVec4()) << c.what << ": written on a miss";
    }
}

TEST(kgcAxisAlignedBox, BoxesCollideWhenIntervalsOverlapOrTouch)
{
    kgcAxisAlignedBox a = box({0, 0, 0}, {1, 1, 1});
    kgcAxisAlignedBox touching = box({1, 0, 0}, {2, 1, 1});
    kgcAxisAlignedBox apart = box({1.0001f, 0, 0}, {2, 1, 1});
    EXPECT_TRUE(a.collide(&touching));
    EXPECT_FALSE(a.collide(&apart));
    EXPECT_FALSE(a.collide(static_cast<kgcBoundingBox*>(nullptr)));
}

TEST(kgcAxisAlignedBox, MeshCollidesWhenAnyFaceOverlaps)
{
    kgcAxisAlignedBox b = box({-1, -1, -1}, {1, 1, 1});
    const std::array<kmlVec3, 3> inside = {{{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}, {0, 0.5f, 0}}};
    const std::array<kmlVec3, 3> far = {{{10, 10, 10}, {11, 10, 10}, {10, 11, 10}}};
    // Larger than the box and cutting through it: no vertex inside.
    const std::array<kmlVec3, 3> through = {{{-5, -5, 0.5f}, {5, -5, 0.5f}, {0, 5, 0.5f}}};
    // Its plane z = 0 cuts the box and no edge direction separates it; only
    // the box's own x face does (the triangle starts at x = 1.5).
    const std::array<kmlVec3, 3> besideX = {{{1.5f, 0, 0}, {10, -1, 0}, {12, 1, 0}}};
    // Passing a box edge without touching it: only an edge cross axis
    // separates it, not its plane nor a box face.
    const std::array<kmlVec3, 3> pastCorner = {{{3, 0.5f, -4}, {2.5f, -2.5f, -1.5f}, {0.5f, -2.5f, 1}}};

    struct Case { const char* what; kgcMesh m; bool hit; };
    const Case cases[] = {
        {"only face inside", mesh({inside}), true},
        {"one face inside, one far", mesh({far, inside}), true},
        {"far face only", mesh({far}), false},
        {"face through the box", mesh({through}), true},
        {"beside a box face", mesh({besideX}), false},
        {"past a box edge", mesh({pastCorner}), false},
        {"no faces", mesh({}), false},
    };
    for (const Case& c : cases) {
        kgcMesh m = c.m;
        EXPECT_EQ(b.collide(&m), c.hit) << c.what;
    }
    EXPECT_FALSE(b.collide(static_cast<kgcMesh*>(nullptr)));
}

TEST(kgcAxisAlignedBox, FromMeshEnclosesTheVertices)
{
    kgcAxisAlignedBox b = box({1, 1, 1}, {2, 2, 2});
    kgcMesh empty;
    b.fromMesh(&empty);
    EXPECT_EQ(b.getMin(), kmlVec3(1, 1, 1)) << "no vertices: unchanged";
    kgcMesh m = mesh({{{{-1, 0, 3}, {2, -4, 0}, {0, 5, 1}}}});
    b.fromMesh(&m);
    EXPECT_EQ(b.getMin(), kmlVec3(-1, -4, 0));
    EXPECT_EQ(b.getMax(), kmlVec3(2, 5, 3));
}

TEST(kgcAxisAlignedBox, AssignmentKeepsTheTargetsColourCopyTakesIt)
{
    kgcAxisAlignedBox red = box({0, 0, 0}, {1, 1, 1});
    red.setColor(1, 0, 0);
    red.intersect({-5, 0.5f, 0.5f}, {1, 0, 0});
    kgcAxisAlignedBox target = box({5, 5, 5}, {6, 6, 6});
    target = red;
    EXPECT_EQ(target, red);
    EXPECT_EQ(target.getIntersection(), kmlVec4()) << "assignment copies only the corners";
    kgcAxisAlignedBox copy(red);
    EXPECT_EQ(copy.getIntersection(), red.getIntersection());
}
