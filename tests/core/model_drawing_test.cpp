// A scene file's model drawn straight from its records, and the set-up of
// a scene file camera.
#include "kgiModelData.h"
#include "kgiModelDrawing.h"

#include "support/gl/kgiGLTest.h"

#include <GL/gl.h>

#include <cmath>
#include <memory>

namespace {

class ModelDrawingGL : public kgiGLTest {
protected:
    void SetUp() override
    {
        kgiGLTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-4, 4, -4, 4, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Red value of the window pixel of a point of the x-y plane.
    static int redAt(float x, float y) { return readPixel(int(32 + x * 8), int(32 + y * 8))[0]; }
};

// A unit square in the x-y plane from (0, 0) to (1, 1).
const float SQUARE[4 * 6] = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
const uint16_t FACES[2 * 3] = {0, 1, 2, 0, 2, 3};

} // namespace

TEST_F(ModelDrawingGL, RecordsArePlacedByTheirFrameOrTheirTransformData)
{
    // Translation (1, 0, 0), no turn: the layout of separate values.
    const float transform[6] = {1, 0, 0, 0, 0, 0};
    kgiModelData data;
    data.models.resize(1);
    kgiModelEntry& e = data.models[0];
    e.frameLayout = kgiModelEntry::TR;
    e.records.resize(1);
    kgiMeshRecord& r = e.records[0];
    r.nodeData = transform;
    r.vertexCount = 4;
    r.vertices = SQUARE;
    r.polygonCount = 2;
    r.polygons = FACES;
    r.polygonKind = 2;

    kgiDrawModelData(&data, -1, true);
    EXPECT_NEAR(redAt(1.5f, 0.5f), 230, 2); // light grey
    EXPECT_EQ(redAt(0.5f, 0.5f), 0);

    // Frame 0 moves it to (-2, 0, 0); frame 1 is not held: transform data.
    std::unique_ptr<float[]> frame(new float[16]());
    frame[0] = frame[5] = frame[10] = frame[15] = 1.0f;
    frame[12] = -2.0f;
    r.setFrames(std::move(frame), 1);
    glClear(GL_COLOR_BUFFER_BIT);
    kgiDrawModelData(&data, 0, false);
    EXPECT_NEAR(redAt(-1.5f, 0.5f), 230, 2);
    EXPECT_EQ(redAt(1.5f, 0.5f), 0);
    glClear(GL_COLOR_BUFFER_BIT);
    kgiDrawModelData(&data, 1, false);
    EXPECT_NEAR(redAt(1.5f, 0.5f), 230, 2);
    kgiDrawModelData(nullptr, 0, true);
}

TEST_F(ModelDrawingGL, SceneCameraSetsAPerspectiveAndItsPlace)
{
    const float motion[7] = {0, 0, 10, 0, 0, 0, 0};
    const float fov[1] = {90.0f};
    kgiCameraRecord camera;
    EXPECT_FALSE(kgiSetUpSceneCamera(camera, 0, 1.0f)); // no motion
    camera.mode = 1;
    camera.motionFrames = motion;
    camera.angles = {0.0f, 0.0f};
    camera.fovFrames = fov;
    ASSERT_TRUE(kgiSetUpSceneCamera(camera, 5, 2.0f)); // past its one frame: frame 0
    float p[16], m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(p[5], 1.0f, 1e-5);  // 90 degrees up and down
    EXPECT_NEAR(p[0], 0.5f, 1e-5);  // twice as wide
    EXPECT_NEAR(p[10], -10001.0f / 9999.0f, 1e-5);
    EXPECT_NEAR(p[14], -20000.0f / 9999.0f, 1e-4);
    EXPECT_NEAR(m[14], -10.0f, 1e-5);
}
