#include "kgcMesh.h"

#include <gtest/gtest.h>

namespace {

// One triangle in the plane z = 0, counter-clockwise seen from +z.
kgcMesh triangle()
{
    kgcMesh m;
    m.begin(3, 1, 1);
    m.addVertex(0, 0, 0);
    m.addVertex(1, 0, 0);
    m.addVertex(0, 1, 0);
    m.addNormal(0, 0, 1);
    m.addFace(0, 1, 2, 0);
    m.end();
    return m;
}

} // namespace

TEST(kgcMesh, AddRefusedOutsideAFillOrPastTheCount)
{
    kgcMesh m;
    EXPECT_FALSE(m.addVertex(0, 0, 0)) << "before begin";
    EXPECT_FALSE(m.end()) << "nothing was being built";
    ASSERT_TRUE(m.begin(3, 0, 1));
    EXPECT_TRUE(m.isBuilding());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m.addVertex(float(i), 0, 0));
    EXPECT_FALSE(m.addVertex(9, 9, 9)) << "fourth vertex of three";
    EXPECT_FALSE(m.addNormal(0, 0, 1)) << "no normals were asked for";
    EXPECT_FALSE(m.end()) << "the face is missing";
    EXPECT_FALSE(m.isBuilding());
    EXPECT_FALSE(m.addFace(0, 1, 2, -1)) << "after end";
    EXPECT_EQ(m.getVertex(2).x, 2.0f) << "an incomplete fill keeps what was added";
}

TEST(kgcMesh, AddFaceRefusesIndicesOutsideTheArrays)
{
    kgcMesh m;
    m.begin(3, 2, 1);
    struct Case { int a, b, c, n; bool ok; };
    const Case cases[] = {
        {-1, 1, 2, 0, false}, {0, 3, 2, 0, false}, {0, 1, 3, 0, false}, // vertex out of range
        {0, 1, 2, -2, false}, {0, 1, 2, 2, false},                      // normal out of range
        {0, 1, 2, -1, true},                                            // no stored normal
    };
    for (const Case& c : cases)
        EXPECT_EQ(m.addFace(c.a, c.b, c.c, c.n), c.ok) << c.a << c.b << c.c << " n " << c.n;
    EXPECT_EQ(m.getFace(0).n, -1);
    EXPECT_FALSE(m.addFace(0, 1, 2, 1)) << "the one face is stored";
}

TEST(kgcMesh, BeginRefusesBadCountsAndKeepsTheMesh)
{
    const kgcMesh good = triangle();
    const int counts[][3] = {{-1, 1, 1}, {3, -1, 1}, {3, 1, -5}, {kgcMesh::MAX_COUNT + 1, 1, 1}};
    for (const auto& c : counts) {
        kgcMesh m = triangle();
        ASSERT_TRUE(m.begin(3, 1, 1)); // a fill in progress is abandoned too
        m.addVertex(7, 7, 7);
        EXPECT_FALSE(m.begin(c[0], c[1], c[2])) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_FALSE(m.isBuilding());
        EXPECT_FALSE(m.addVertex(0, 0, 0));
        EXPECT_FALSE(m.end()) << "a refused begin must not read as a finished mesh";
        EXPECT_EQ(m.getNumVertices(), 3);
        EXPECT_EQ(m.getNumFaces(), 1);
    }
}

TEST(kgcMesh, BeginReusesArraysOfTheSameCount)
{
    kgcMesh m = triangle();
    m.begin(3, 1, 1);
    EXPECT_FALSE(m.end());
    EXPECT_EQ(m, triangle()) << "same counts keep the contents";
    m.begin(4, 1, 1);
    EXPECT_EQ(m.getNumVertices(), 4);
    EXPECT_NE(m, triangle());
}

TEST(kgcMesh, CopyAndAssignmentTakeTheFillStateAndStopBuilding)
{
    const kgcMesh source = triangle();
    kgcMesh target;
    target.begin(10, 0, 0); // a fill in progress with other counts
    target.addVertex(5, 5, 5);
    target = source;
    EXPECT_EQ(target, source);
    EXPECT_FALSE(target.isBuilding());
    EXPECT_FALSE(target.addVertex(1, 1, 1)) << "would write past the source's arrays";

    kgcMesh partial;
    partial.begin(2, 0, 0);
    partial.addVertex(1, 2, 3);
    kgcMesh copy(partial);
    EXPECT_FALSE(copy.isBuilding());
    EXPECT_FALSE(copy.end()) << "copied as incomplete";
    kgcMesh assigned;
    assigned = partial;
    EXPECT_FALSE(assigned.end());

    kgcMesh self = triangle();
    self = *&self;
    EXPECT_EQ(self, source);
}

TEST(kgcMesh, EqualityComparesContentNotFillState)
{
    kgcMesh a = triangle();
    kgcMesh b = triangle();
    b.begin(3, 1, 1); // counters reset, contents kept
    b.end();
    EXPECT_EQ(a, b);
    kgcMesh c;
    c.begin(3, 1, 1);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}})
        c.addVertex(float(x), float(y), 0);
    c.addNormal(0, 0, -1);
    c.addFace(0, 1, 2, 0);
    c.end();
    EXPECT_NE(a, c) << "normal differs";
}

TEST(kgcMesh, DumpWritesCountsAndElements)
{
    kgcMesh m;
    m.begin(3, 1, 1);
    m.addVertex(0, 0, 1);
    m.addVertex(1.5f, 0, 1);
    m.addVertex(0, -2, 1);
    m.addNormal(0, 0, 1);
    m.addFace(0, 1, 2, 0);
    m.end();
    testing::internal::CaptureStderr();
    m.dump();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kgcMesh(nverts:3,nnorms:1,nfaces:1)\n"
              "Vertices:\n"
              "\t0\t:(0,0,1)\n"
              "\t1\t:(1.5,0,1)\n"
              "\t2\t:(0,-2,1)\n"
              "Normals:\n"
              "\t0\t:(0,0,1)\n"
              "Faces:\n"
              "\t0\t:[0,1,2], n: 0\n"
              "\n");
}

TEST(RayTriIntersec, FrontFacingInclusiveAndInFrontOnly)
{
    // Triangle P, Q, R in the plane z = 0; counter-clockwise seen from +z.
    const kmlVec3 P(0, 0, 0), Q(1, 0, 0), R(0, 1, 0);
    const kmlVec3 down(0, 0, -1);
    struct Case { const char* what; kmlVec3 origin, direction; bool swap; bool hit; };
    const Case cases[] = {
        {"inside, from the front", {0.25f, 0.25f, 5}, down, false, true},
        {"long direction", {0.25f, 0.25f, 5}, {0, 0, -10}, false, true},
        {"back winding", {0.25f, 0.25f, 5}, down, true, false},
        {"corner P (u = v = 0)", {0, 0, 5}, down, false, true},
        {"corner Q (u = det)", {1, 0, 5}, down, false, true},
        {"hypotenuse (u + v = det)", {0.5f, 0.5f, 5}, down, false, true},
        {"just outside the hypotenuse", {0.51f, 0.5f, 5}, down, false, false},
        {"beside the triangle", {-0.1f, 0.5f, 5}, down, false, false},
        {"parallel to the plane", {-1, 0.25f, 0}, {1, 0, 0}, false, false},
        {"triangle behind the origin", {0.25f, 0.25f, -5}, down, false, false},
        {"origin on the triangle", {0.25f, 0.25f, 0}, down, false, true},
    };
    for (const Case& c : cases) {
        kmlVec3 hit(9, 9, 9);
        const bool got = c.swap ? RayTriIntersec(c.origin, c.direction, P, R, Q, hit)
                                : RayTriIntersec(c.origin, c.direction, P, Q, R, hit);
        EXPECT_EQ(got, c.hit) << c.what;
        if (c.hit) {
            EXPECT_FLOAT_EQ(hit[0], c.origin[0]) << c.what;
            EXPECT_FLOAT_EQ(hit[1], c.origin[1]) << c.what;
            EXPECT_NEAR(hit[2], 0.0f, 1e-6f) << c.what;
        } else {
            EXPECT_EQ(hit, kmlVec3(9, 9, 9)) << c.what << ": written on a miss";
        }
    }
}

TEST(kgcMesh, IntersectAppendsOneHitPerFaceAndReportsOnlyItsOwn)
{
    // Two front-facing triangles sharing the diagonal of the unit square.
    kgcMesh m;
    m.begin(4, 0, 2);
    m.addVertex(0, 0, 0);
    m.addVertex(1, 0, 0);
    m.addVertex(1, 1, 0);
    m.addVertex(0, 1, 0);
    m.addFace(0, 1, 2, -1);
    m.addFace(0, 2, 3, -1);
    m.end();

    std::vector<kmlVec4> hits;
    EXPECT_TRUE(m.intersect(kmlVec3(0.5f, 0.5f, 3), kmlVec3(0, 0, -1), hits));
    ASSERT_EQ(hits.size(), 2u) << "the shared edge belongs to both faces";
    EXPECT_EQ(hits[0], kmlVec4(0.5f, 0.5f, 0, 1));

    EXPECT_FALSE(m.intersect(kmlVec3(5, 5, 3), kmlVec3(0, 0, -1), hits))
        << "earlier hits in the vector are not this call's";
    EXPECT_EQ(hits.size(), 2u);
    EXPECT_TRUE(m.intersect(kmlVec3(0.75f, 0.25f, 3), kmlVec3(0, 0, -1), hits));
    EXPECT_EQ(hits.size(), 3u);
    EXPECT_FALSE(m.intersect(kmlVec3(0.5f, 0.5f, -3), kmlVec3(0, 0, -1), hits)) << "behind the eye";
}
