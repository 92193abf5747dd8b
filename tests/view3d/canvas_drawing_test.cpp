// The 3D canvas's drawing numbers, without a display: head-up texts and
// their place, the floor grid, and the first projection.

#include <gtest/gtest.h>

#include "kgiCanvasDrawing.h"
#include "ksg/tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::vecNear;

namespace {

TEST(CanvasDrawing, HeadUpTexts)
{
    struct Case {
        float time, fps;
        int drawNo;
        const char* text;
    };
    const Case frames[] = {{0.0f, 33.333f, 0, "1"},
                           {41.6f, 33.333f, 0, "42"},
                           {33.333f, 33.333f, 1, "1.00"},
                           {0.0f, 33.333f, 1, "0.00"}};
    for (const Case& c : frames)
        EXPECT_EQ(kgiCanvasDrawing::frameText(c.time, c.fps, c.drawNo), c.text)
            << "time " << c.time << " drawNo " << c.drawNo;

    struct Course {
        bool has;
        float seconds;
        const char* text;
    };
    const Course courses[] = {{true, 1234.5f, "999.99"}, {true, 999.99f, "999.99"}, {true, -1.0f, ""},
                              {true, -3.0f, ""},         {true, 0.0f, "0.00"},      {false, 12.0f, ""}};
    for (const Course& c : courses)
        EXPECT_EQ(kgiCanvasDrawing::courseText(c.has, c.seconds), c.text) << c.seconds;

    EXPECT_FLOAT_EQ(kgiCanvasDrawing::rightAlignedX(640, 17.5f), 640 - 17.5f - 5);
    EXPECT_FLOAT_EQ(kgiCanvasDrawing::baselineY(450), 420);
}

TEST(CanvasDrawing, GridLinesCoverTheFloorBothWays)
{
    const std::vector<kgiCanvasDrawing::Line> lines = kgiCanvasDrawing::gridLines(0.0f, 5, 200, 200);
    ASSERT_EQ(lines.size(), 82u);
    // Lines along z first, from x = -100 to 100, then along x.
    EXPECT_TRUE(vecNear(lines[0].from, kmlVec3(-100, 0, -100)));
    EXPECT_TRUE(vecNear(lines[0].to, kmlVec3(-100, 0, 100)));
    EXPECT_TRUE(vecNear(lines[40].from, kmlVec3(100, 0, -100)));
    EXPECT_TRUE(vecNear(lines[40].to, kmlVec3(100, 0, 100)));
    EXPECT_TRUE(vecNear(lines[41].from, kmlVec3(-100, 0, -100)));
    EXPECT_TRUE(vecNear(lines[41].to, kmlVec3(100, 0, -100)));
    EXPECT_TRUE(vecNear(lines[81].from, kmlVec3(-100, 0, 100)));
    EXPECT_TRUE(vecNear(lines[81].to, kmlVec3(100, 0, 100)));

    // The level lifts every line; a spacing of 0 draws none rather than
    // dividing by it.
    for (const auto& l : kgiCanvasDrawing::gridLines(2.5f, 5, 20, 10)) {
        EXPECT_FLOAT_EQ(l.from.get(1), 2.5f);
        EXPECT_FLOAT_EQ(l.to.get(1), 2.5f);
    }
    EXPECT_EQ(kgiCanvasDrawing::gridLines(2.5f, 5, 20, 10).size(), 5u + 3u);
    EXPECT_TRUE(kgiCanvasDrawing::gridLines(0.0f, 0, 200, 200).empty());
}

TEST(CanvasDrawing, GridMatrixTurnsForUpAxisAndPlane)
{
    const kmlMatrix4 none;
    const kmlMatrix4 upZ = rotation(-90, 1, 0, 0);
    struct Case {
        int upAxis, plane;
        kmlMatrix4 expected;
    };
    const Case cases[] = {{1, 2, none},
                          {1, 0, rotation(90, 0, 0, 1)},
                          {1, 1, rotation(90, 1, 0, 0)},
                          {0, 2, upZ},
                          {0, 0, product(upZ, rotation(90, 0, 0, 1))},
                          {0, 1, product(upZ, rotation(90, 1, 0, 0))}};
    for (const Case& c : cases)
        EXPECT_TRUE(matrixNear(kgiCanvasDrawing::gridMatrix(c.upAxis, c.plane), c.expected))
            << "up axis " << c.upAxis << " plane " << c.plane;
}

TEST(CanvasDrawing, InitialProjectionUsesAFloatAspect)
{
    const kgiCanvasDrawing::Projection p = kgiCanvasDrawing::initialProjection(10.0f, 640, 450, 0);
    EXPECT_FLOAT_EQ(p.nearPlane, 0.1f);
    EXPECT_FLOAT_EQ(p.farPlane, 1000.0f);
    EXPECT_FLOAT_EQ(p.fov, 56.0f);
    ASSERT_TRUE(p.hasBounds);
    EXPECT_FLOAT_EQ(p.right, 6.6f);
    EXPECT_FLOAT_EQ(p.left, -6.6f);
    EXPECT_FLOAT_EQ(p.top, 6.6f * 450.0f / 640.0f) << "an integer quotient would flatten the box";
    EXPECT_FLOAT_EQ(p.bottom, -p.top);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 450);

    const kgiCanvasDrawing::Projection strip = kgiCanvasDrawing::initialProjection(10.0f, 640, 450, 40);
    EXPECT_EQ(strip.y, 40);
    EXPECT_EQ(strip.height, 410);
    EXPECT_FLOAT_EQ(strip.top, 6.6f * 410.0f / 640.0f);

    EXPECT_FALSE(kgiCanvasDrawing::initialProjection(10.0f, 0, 450, 0).hasBounds);
}

} // namespace
