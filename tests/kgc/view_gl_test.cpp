// Camera projection and placement, and frustum culling, against the
// matrices OpenGL actually holds.
#include "kgcCamera.h"
#include "kgcFrustum.h"
#include "support/gl/kgiGLTest.h"

namespace {

kgcAxisAlignedBox box(kmlVec3 lo, kmlVec3 hi)
{
    kgcAxisAlignedBox b;
    b.fromMinMax(lo, hi);
    return b;
}

void currentMatrix(GLenum which, float* m)
{
    glGetFloatv(which, m);
}

} // namespace

using kgcFrustumGL = kgiGLTest;

TEST_F(kgcFrustumGL, ClassifiesBoxesAgainstAKnownProjection)
{
    // Looking down -z, visible from z = -1 to z = -10, x and y within |z|.
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    kgcFrustum frustum;
    frustum.calc();
    struct Case { const char* what; kgcAxisAlignedBox b; int result; };
    const Case cases[] = {
        {"small box in the middle", box({-0.1f, -0.1f, -5.1f}, {0.1f, 0.1f, -4.9f}), kgcFrustum::INSIDE},
        {"crossing the near plane", box({-0.1f, -0.1f, -2}, {0.1f, 0.1f, 0}), kgcFrustum::INTERSECTING},
        {"crossing the far plane", box({-0.1f, -0.1f, -12}, {0.1f, 0.1f, -8}), kgcFrustum::INTERSECTING},
        {"wholly beyond the far plane", box({-0.1f, -0.1f, -20}, {0.1f, 0.1f, -15}), kgcFrustum::OUTSIDE},
        {"behind the eye", box({-0.1f, -0.1f, 2}, {0.1f, 0.1f, 3}), kgcFrustum::OUTSIDE},
        {"left of the view", box({-9, -0.1f, -5.1f}, {-6, 0.1f, -4.9f}), kgcFrustum::OUTSIDE},
        {"across the top edge", box({-0.1f, 4, -5.1f}, {0.1f, 6, -4.9f}), kgcFrustum::INTERSECTING},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frustum.containsAABox(c.b), c.result) << c.what;

    // The planes follow the model-view: moved 20 along -z, the middle box
    // is beyond the far plane.
    glTranslatef(0, 0, -20);
    frustum.calc();
    EXPECT_EQ(frustum.containsAABox(cases[0].b), kgcFrustum::OUTSIDE);
    EXPECT_TRUE(glErrors().empty());
}

using kgcCameraGL = kgiGLTest;

TEST_F(kgcCameraGL, ProjectionPerModeAndPlacementMatchGetMatrix)
{
    kgcCamera camera;
    camera.setAim(1, 2, 3);
    camera.setDistToTarget(5);
    camera.setOrientation(10, 20, 30);
    camera.setProjection(7, 8);
    EXPECT_EQ(camera.getVPOriginx(), 7);
    camera.setProjection(-1, 5);
    EXPECT_EQ(camera.getVPOriginy(), 8) << "an origin with -1 is not stored";

    float m[16];
    currentMatrix(GL_PROJECTION_MATRIX, m);
    EXPECT_EQ(m[11], -1) << "perspective in the free view";
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    camera.place();
    currentMatrix(GL_MODELVIEW_MATRIX, m);
    const kmlMatrix4 expected = camera.getMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-5f) << i;

    camera.setProjectionMode(kgcCamera::TOP);
    currentMatrix(GL_PROJECTION_MATRIX, m);
    // glOrtho(-h, h, -h, h, 0, far) with h = 0.66 x distance.
    EXPECT_NEAR(m[0], 1 / (0.66f * 5), 1e-6f);
    EXPECT_NEAR(m[5], 1 / (0.66f * 5), 1e-6f);
    EXPECT_EQ(m[11], 0) << "orthographic";
    EXPECT_EQ(camera.getOrientation(), kmlVec3(-90, 0, 0));
    EXPECT_TRUE(glErrors().empty());
}
