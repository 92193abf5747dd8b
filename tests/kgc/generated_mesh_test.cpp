#include "kgcBoxMesh.h"
#include "kgcCylinderMesh.h"
#include "kgcEllipseMesh.h"
#include "kgcGridMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

struct Counts { int verts, norms, faces; };

void expectCounts(const kgcMesh& m, Counts c, const std::string& what)
{
    EXPECT_EQ(m.getNumVertices(), c.verts) << what;
    EXPECT_EQ(m.getNumNormals(), c.norms) << what;
    EXPECT_EQ(m.getNumFaces(), c.faces) << what;
}

void expectVertex(const kgcMesh& m, int i, kmlVec3 want, const std::string& what)
{
    ASSERT_LT(i, m.getNumVertices()) << what;
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(m.vertexAt(i)[k], want[k], 1e-5f) << what << " vertex " << i;
}

// Every face turns its front ((b - a) x (c - a)) away from `inside`, and a
// stored face normal agrees with it.
void expectWoundOutward(const kgcMesh& m, kmlVec3 inside, const std::string& what)
{
    for (int f = 0; f < m.getNumFaces(); ++f) {
        const kgcMesh::Face& face = m.getFace(f);
        const kmlVec3 a = m.vertexAt(face.a), b = m.vertexAt(face.b), c = m.vertexAt(face.c);
        const kmlVec3 n = kmlVec3(b - a).cross(c - a);
        const kmlVec3 out = kmlVec3(1.0f / 3 * (a + b + c)) - inside;
        ASSERT_GT(n.dot(out), 0) << what << " face " << f;
        if (!m.hasVertexNormals() && face.n >= 0) {
            ASSERT_GT(n.dot(m.normalAt(face.n)), 0) << what << " normal of face " << f;
        }
    }
}

} // namespace

TEST(kgcGeneratedMesh, CountsNamedVerticesAndOutwardFaces)
{
    {
        kgcBoxMesh box(1, 1);
        expectCounts(box, {8, 6, 12}, "box 1");
        expectVertex(box, 0, {-0.5f, -0.5f, -0.5f}, "box 1");
        expectVertex(box, 1, {-0.5f, -0.5f, 0.5f}, "box 1");
        expectVertex(box, 7, {0.5f, 0.5f, 0.5f}, "box 1");
        expectWoundOutward(box, {}, "box 1");
        kgcBoxMesh box2(2, 2);
        expectCounts(box2, {26, 6, 48}, "box 2");
        expectWoundOutward(box2, {}, "box 2");
        kgcBoxMesh box3(3, 3);
        expectWoundOutward(box3, {}, "box 3");
    }
    {
        kgcCylinderMesh cylinder(1, 1, 2, 1, 4);
        expectCounts(cylinder, {10, 6, 16}, "cylinder");
        expectVertex(cylinder, 4, {1, 2, 0}, "cylinder upper ring");
        expectVertex(cylinder, 9, {0, 2, 0}, "cylinder top centre");
        expectWoundOutward(cylinder, {0, 1, 0}, "cylinder");

        kgcCylinderMesh cone(0.2f, 0, 0.3f, 8, 8);
        expectCounts(cone, {66, 10, 128}, "cone");
        expectVertex(cone, 56, {0.025f, 0.2625f, 0}, "cone last ring");
        expectVertex(cone, 65, {0, 0.3f, 0}, "cone apex");
        EXPECT_EQ(cone.getFace(127).n, 7) << "the apex fan takes the side normals";
        expectWoundOutward(cone, {0, 0.1f, 0}, "cone");

        kgcCylinderMesh gravity(0, 0.5f, 0.5f, 1, 32); // stacks, then slices
        expectCounts(gravity, {34, 34, 64}, "centre-of-gravity cone");
        EXPECT_TRUE(gravity.hasVertexNormals());
        expectVertex(gravity, 0, {0.5f, 0.5f, 0}, "one ring at the top");
        expectWoundOutward(gravity, {0, 0.4f, 0}, "centre-of-gravity cone");
    }
    {
        kgcEllipseMesh sphere(0.5f, 0.5f, 0.5f, 8, 8);
        expectCounts(sphere, {58, 58, 112}, "ellipsoid");
        expectVertex(sphere, 0, {0, -0.5f, 0}, "south pole");
        expectVertex(sphere, 57, {0, 0.5f, 0}, "north pole");
        expectWoundOutward(sphere, {}, "ellipsoid");
        kgcEllipseMesh unit(1, 1, 1, 6, 10);
        EXPECT_EQ(unit.getStack(), 6);
        EXPECT_EQ(unit.getSlice(), 10);
        for (int i = 0; i < unit.getNumVertices(); ++i)
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(unit.normalAt(i)[k], unit.vertexAt(i)[k], 1e-6f) << i;
        kgcEllipseMesh flat(2, 0.5f, 1, 5, 7);
        expectWoundOutward(flat, {}, "flattened ellipsoid");
    }
    {
        kgcGridMesh grid(10, 10, 1);
        expectCounts(grid, {121, 1, 200}, "grid");
        expectVertex(grid, 0, {-5, 0, -5}, "grid");
        expectVertex(grid, 1, {-5, 0, -4}, "grid");
        expectVertex(grid, 120, {5, 0, 5}, "grid");
        expectWoundOutward(grid, {0, -1, 0}, "grid");
    }
}

TEST(kgcGeneratedMesh, ConeSideNormalsFollowTheSlope)
{
    // A side widening upwards faces down, a narrowing one faces up, by the
    // slope of the side: dr / dy = +-1 gives 45 degrees.
    for (float dr : {1.0f, -1.0f}) {
        kgcCylinderMesh frustum(dr > 0 ? 1 : 2, dr > 0 ? 2 : 1, 1, 1, 16);
        for (int s = 0; s < 16; ++s) {
            const kmlVec3 n = frustum.normalAt(s);
            EXPECT_NEAR(n.norm(), 1, 1e-6f);
            EXPECT_NEAR(n[1], -dr * std::sqrt(0.5f), 1e-6f) << "slice " << s;
        }
    }
    kgcCylinderMesh straight(1, 1, 1, 2, 8);
    EXPECT_EQ(straight.normalAt(3)[1], 0);
}

TEST(kgcGeneratedMesh, GridKeepsWholeCellsAndStepChangesReadBack)
{
    kgcGridMesh grid(10, 10, 3);
    EXPECT_EQ(grid.getWidth(), 9);
    grid.setStep(2);
    EXPECT_EQ(grid.getWidth(), 6) << "cells are not recounted";
    grid.setWidth(10);
    EXPECT_EQ(grid.getWidth(), 10);

    kgcGridMesh thin(0.5f, 10, 1);
    EXPECT_EQ(thin.getNumVertices(), 0) << "no whole cell along x";
    EXPECT_FALSE(thin.compute());
}

TEST(kgcGeneratedMesh, RefusedParametersKeepThePreviousMesh)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();

    kgcBoxMesh box(1, 2);
    const kgcMesh boxBefore = box;
    box.setSize(0);
    box.setSize(-1);
    box.setSubDiv(0);
    box.setSubDiv(-3);
    EXPECT_EQ(box.getSize(), 1);
    EXPECT_EQ(box.getSubDiv(), 2);
    EXPECT_TRUE(box.compute());
    EXPECT_EQ(static_cast<const kgcMesh&>(box), boxBefore);

    kgcCylinderMesh cylinder(1, 1, 2, 1, 4);
    const kgcMesh cylinderBefore = cylinder;
    cylinder.setSlice(-5);
    EXPECT_EQ(cylinder.getSlice(), 4);
    struct Bad { const char* what; float base, top, height; int stacks, slices; };
    const Bad bad[] = {{"both radii 0", 0, 0, 1, 1, 4}, {"height 0", 1, 1, 0, 1, 4},
                       {"2 slices", 1, 1, 1, 1, 2}, {"0 stacks", 1, 1, 1, 0, 4}};
    for (const Bad& b : bad) {
        kgcCylinderMesh c = cylinder;
        c.setBaseRadius(b.base);
        c.setTopRadius(b.top);
        c.setHeight(b.height);
        c.setStack(b.stacks);
        c.setSlice(b.slices);
        EXPECT_FALSE(c.compute()) << b.what;
        EXPECT_EQ(static_cast<const kgcMesh&>(c), cylinderBefore) << b.what;
    }

    kgcEllipseMesh sphere(1, 1, 1, 4, 6);
    const kgcMesh sphereBefore = sphere;
    sphere.setStack(0);
    sphere.setStack(-2);
    sphere.setSlice(-1);
    EXPECT_EQ(sphere.getStack(), 4);
    EXPECT_EQ(sphere.getSlice(), 6);
    sphere.setStack(1);
    EXPECT_FALSE(sphere.compute()) << "one stack has no ring";
    sphere.setStack(4);
    sphere.setSlice(2);
    EXPECT_FALSE(sphere.compute());
    EXPECT_EQ(static_cast<const kgcMesh&>(sphere), sphereBefore);

    kgcGridMesh grid(4, 4, 1);
    const kgcMesh gridBefore = grid;
    for (float s : {0.0f, -1.0f, inf, nan})
        grid.setStep(s);
    grid.setWidth(-3);
    grid.setDepth(nan);
    EXPECT_EQ(grid.getStep(), 1);
    EXPECT_EQ(grid.getWidth(), 4);
    EXPECT_EQ(grid.getDepth(), 4);
    grid.setWidth(1e30f); // far more cells than a mesh may hold
    EXPECT_FALSE(grid.compute());
    EXPECT_EQ(static_cast<const kgcMesh&>(grid), gridBefore);
}

TEST(kgcGeneratedMesh, RefusedConstructorArgumentsLeaveAnEmptyMesh)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::unique_ptr<kgcMesh> meshes[] = {
        std::make_unique<kgcBoxMesh>(1.0f, 0),
        std::make_unique<kgcCylinderMesh>(1.0f, 1.0f, 1.0f, 2, -8),
        std::make_unique<kgcEllipseMesh>(1.0f, 1.0f, 1.0f, 0, 8),
        std::make_unique<kgcEllipseMesh>(1.0f, 1.0f, 1.0f, 8, -1),
        std::make_unique<kgcGridMesh>(10.0f, 10.0f, 0.0f),
        std::make_unique<kgcGridMesh>(10.0f, 10.0f, nan),
        std::make_unique<kgcGridMesh>(-10.0f, 10.0f, 1.0f),
        std::make_unique<kgcGridMesh>(1e30f, 1e30f, 1e-30f),
    };
    for (size_t i = 0; i < std::size(meshes); ++i) {
        EXPECT_EQ(meshes[i]->getNumVertices(), 0) << i;
        EXPECT_EQ(meshes[i]->getNumFaces(), 0) << i;
    }
}

TEST(kgcGeneratedMesh, CopiesOwnTheirTables)
{
    auto cylinder = std::make_unique<kgcCylinderMesh>(1.0f, 0.5f, 2.0f, 2, 6);
    auto sphere = std::make_unique<kgcEllipseMesh>(1.0f, 2.0f, 1.0f, 5, 7);
    kgcCylinderMesh cylinderCopy(*cylinder);
    kgcEllipseMesh sphereCopy(1, 1, 1, 3, 3);
    sphereCopy = *sphere;
    const kgcMesh cylinderShape = *cylinder, sphereShape = *sphere;
    cylinder.reset();
    sphere.reset();
    EXPECT_TRUE(cylinderCopy.compute());
    EXPECT_TRUE(sphereCopy.compute());
    EXPECT_EQ(static_cast<const kgcMesh&>(cylinderCopy), cylinderShape);
    EXPECT_EQ(static_cast<const kgcMesh&>(sphereCopy), sphereShape);
}
