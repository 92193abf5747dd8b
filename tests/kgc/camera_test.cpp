#include "kgcCamera.h"

#include "expect_near.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(kgcCamera, DefaultsAndConstants)
{
    kgcCamera c;
    EXPECT_EQ(c.getProjectionMode(), kgcCamera::FREE);
    EXPECT_EQ(c.getOrientation(), kmlVec3(0, 0, 0));
    EXPECT_EQ(c.getDistToTarget(), 10);
    int x, y, w, h;
    c.getViewPort(x, y, w, h);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(h, -1);
    unsigned bits;
    std::memcpy(&bits, &kgcCamera::DEF_ASPECT, sizeof bits);
    EXPECT_EQ(bits, 0x3FAAAAA8u);
    EXPECT_EQ(c.getVVAspect(), kgcCamera::DEF_ASPECT);
    kmlMatrix4 expected;
    expected.translate(kmlVec3(0, 0, -10));
    const kmlMatrix4 got = c.getMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(got[i], expected[i]) << i;
}

TEST(kgcCamera, ConstructorsDeriveAimDistanceAndAngles)
{
    float eye[3] = {0, 0, 5}, aim[3] = {0, 0, 0};
    kgcCamera fromPoints(eye, aim, 15, 1.5f, 40, 0.5f, 100);
    EXPECT_EQ(fromPoints.getDistToTarget(), 5);
    expectNear(fromPoints.getOrientation(), {0, 0, 15}, "looking down -z", 1e-4f);
    EXPECT_EQ(fromPoints.getVVFovy(), 40);

    float high[3] = {0, 10, 10};
    kgcCamera above(high, aim, 0, 1, 56, 1, 100);
    EXPECT_NEAR(above.getOrientation()[0], 45, 1e-4f) << "pitch from the view direction";
    EXPECT_NEAR(above.getOrientation()[1], 0, 0.05f) << "acos near 1 is coarse in float";

    float dir[3] = {0, 0, -2};
    kgcCamera fromDirection(eye, dir, 4, 0, 1, 56, 1, 100);
    expectNear(fromDirection.getAim(), {0, 0, 1}, "aim along the view direction", 1e-4f);
}

TEST(kgcCamera, FixedViewsKeepTheFreeViewForItsReturn)
{
    kgcCamera c;
    c.setAim(1, 2, 3);
    c.setDistToTarget(5);
    c.setOrientation(10, 20, 0);
    struct Case { kgcCamera::_PROJECTION_MODE mode; kmlVec3 orientation; };
    const Case cases[] = {{kgcCamera::FRONT, {0, 0, 0}}, {kgcCamera::BACK, {0, 180, 0}},
                          {kgcCamera::RIGHT, {0, 90, 0}}, {kgcCamera::LEFT, {0, -90, 0}},
                          {kgcCamera::TOP, {-90, 0, 0}}, {kgcCamera::BOTTOM, {90, 0, 0}}};
    for (const Case& k : cases) {
        c.setProjectionMode(k.mode);
        EXPECT_EQ(c.getOrientation(), k.orientation) << k.mode;
        EXPECT_EQ(c.getAim(), kmlVec3(1, 2, 3)) << "a fixed view looks at the same target";
    }
    c.setAim(0, 0, 0);
    c.setDistToTarget(50);
    c.setProjectionMode(kgcCamera::FREE);
    EXPECT_EQ(c.getAim(), kmlVec3(1, 2, 3));
    EXPECT_EQ(c.getDistToTarget(), 5);
    EXPECT_EQ(c.getOrientation(), kmlVec3(10, 20, 0));
}

TEST(kgcCamera, CopyKeepsTheSavedFreeView)
{
    kgcCamera c;
    c.setAim(1, 2, 3);
    c.setDistToTarget(5);
    c.setOrientation(10, 20, 0);
    c.setProjectionMode(kgcCamera::TOP);
    kgcCamera copy(c);
    copy.setProjectionMode(kgcCamera::FREE);
    EXPECT_EQ(copy.getAim(), kmlVec3(1, 2, 3));
    EXPECT_EQ(copy.getDistToTarget(), 5);
    EXPECT_EQ(copy.getOrientation(), kmlVec3(10, 20, 0));
}

TEST(kgcCamera, AssignmentAndEqualityIgnoreTheAim)
{
    kgcCamera a, b;
    a.setAim(5, 5, 5);
    EXPECT_EQ(a, b);
    b.setOrientation(0, 45, 0);
    b.setDistToTarget(3);
    a = b;
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.getAim(), kmlVec3(5, 5, 5));
    a.setOrientation(-0.0f, 45, 0);
    EXPECT_NE(a, b) << "orientations compare bit for bit";
}

TEST(kgcCamera, ViewportUpdates)
{
    kgcCamera c;
    c.updateAspect(800, 0);
    EXPECT_EQ(c.getVVAspect(), kgcCamera::DEF_ASPECT);
    c.updateFovy(40);
    EXPECT_EQ(c.getVVFovy(), 40) << "-1 x -1 is not a zero viewport";
    c.updateAspect(800, 600);
    EXPECT_EQ(c.getVVAspect(), 800.0f / 600.0f);
    EXPECT_EQ(c.getVPWidth(), 800);
    c.updateFovx(80);
    EXPECT_EQ(c.getVVFovy(), 80 / (800.0f / 600.0f));
    c.setVPWidth(0);
    c.updateFovy(10);
    EXPECT_NE(c.getVVFovy(), 10);
}
