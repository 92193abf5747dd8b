// Viewport states: projection switching, window arithmetic, applying in a
// real context, and the visual state's registry of them.
#include "support/gl/kgiGLTest.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "kmlMath.h"
#include "ksgStateParam.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"

namespace {

const kutRtti* recordAt(const ksgViewportState& v, int index) {
  ksgStateParam* p = v.getParam(index);
  return p ? p->getRtti() : nullptr;
}

unsigned matrixModeAt(const ksgViewportState& v, int index) {
  return static_cast<ksgMatrixModeParam*>(v.getParam(index))->getMode();
}

TEST(ViewportState, BuildsViewportProjectionAndMatrixModesInOrder) {
  ksgViewportState v;
  EXPECT_EQ(v.getRtti(), &ksgState::RTTI);
  EXPECT_EQ(v.getProjMode(), ksgViewportState::PERSPECTIVE);
  EXPECT_EQ(recordAt(v, 0), &ksgViewportParam::RTTI);
  EXPECT_EQ(recordAt(v, 1), &ksgMatrixModeParam::RTTI);
  EXPECT_EQ(matrixModeAt(v, 1), unsigned(GL_PROJECTION));
  EXPECT_EQ(recordAt(v, 2), &ksgPerspectiveParam::RTTI);
  EXPECT_EQ(recordAt(v, 3), &ksgMatrixModeParam::RTTI);
  EXPECT_EQ(matrixModeAt(v, 3), unsigned(GL_MODELVIEW));
  EXPECT_EQ(v.getParam(4), nullptr);
}

TEST(ViewportState, ProjectionModeSwapsTheParameterInPlace) {
  struct Case {
    ksgViewportState::ProjMode mode;
    const kutRtti* record;
  } cases[] = {
    {ksgViewportState::ORTHO, &ksgOrthoParam::RTTI},
    {ksgViewportState::PERSPECTIVE, &ksgPerspectiveParam::RTTI},
    {ksgViewportState::FRUSTUM, &ksgFrustumParam::RTTI},
    {ksgViewportState::FRUSTUM, &ksgFrustumParam::RTTI},
    {ksgViewportState::ProjMode(7), &ksgFrustumParam::RTTI},  // not a mode: ignored
    {ksgViewportState::PERSPECTIVE, &ksgPerspectiveParam::RTTI},
  };
  ksgViewportState v;
  for (const Case& c : cases) {
    v.setProjMode(c.mode);
    EXPECT_EQ(recordAt(v, 2), c.record) << c.mode;
    EXPECT_EQ(recordAt(v, 3), &ksgMatrixModeParam::RTTI);
    EXPECT_EQ(v.getParam(4), nullptr);
  }
  EXPECT_EQ(v.getProjMode(), ksgViewportState::PERSPECTIVE);
}

// Every parameter is freed exactly once, whichever projection is in force;
// the sanitizer build sees a double free, the object count a leak.
TEST(ViewportState, DestructionFreesEveryParameterOnceInEachMode) {
  for (auto mode : {ksgViewportState::PERSPECTIVE, ksgViewportState::FRUSTUM,
                    ksgViewportState::ORTHO}) {
    const unsigned before = kutObject::getTotalObjectCount();
    auto* v = new ksgViewportState();
    v->setProjMode(ksgViewportState::ORTHO);
    v->setProjMode(mode);
    v->addParam(new ksgShadeModelParam(GL_FLAT));
    delete v;
    EXPECT_EQ(kutObject::getTotalObjectCount(), before) << mode;
  }
}

TEST(ViewportState, SettersReachEveryProjection) {
  ksgViewportState v;
  v.setPlanes(0.5f, 20.0f);
  v.setBounds(-2, 2, -1, 1);
  v.setFov(40.0f);
  v.setWindow(0, 0, 640, 480);
  float n, f, l, r, b, t;
  v.getPlanes(n, f);
  EXPECT_EQ(n, 0.5f);
  EXPECT_EQ(f, 20.0f);
  v.getBounds(l, r, b, t);
  EXPECT_EQ(std::vector<float>({l, r, b, t}), std::vector<float>({-2, 2, -1, 1}));
  EXPECT_EQ(v.getFov(), 40.0f);
  EXPECT_EQ(v.getAspect(), 640.0f / 480.0f);
  EXPECT_TRUE(*static_cast<ksgPerspectiveParam*>(v.getParam(2)) ==
              ksgPerspectiveParam(40.0f, 640.0f / 480.0f, 0.5f, 20.0f));
  v.setProjMode(ksgViewportState::ORTHO);
  EXPECT_TRUE(*static_cast<ksgOrthoParam*>(v.getParam(2)) == ksgOrthoParam(-2, 2, -1, 1, 0.5f, 20));
  v.setProjMode(ksgViewportState::FRUSTUM);
  EXPECT_TRUE(*static_cast<ksgFrustumParam*>(v.getParam(2)) ==
              ksgFrustumParam(-2, 2, -1, 1, 0.5f, 20));
}

// A hidden or minimised canvas has no height (or width): nothing may divide
// by zero.
TEST(ViewportState, EmptyWindowsGiveTheFixedAspectAndZeroCoordinates) {
  ksgViewportState v;
  v.setWindow(0, 0, 100, 0);
  EXPECT_EQ(v.getAspect(), 180.0f);
  EXPECT_EQ(static_cast<ksgPerspectiveParam*>(v.getParam(2))->getAspect(), 180.0f);
  float nx = -5, ny = -5;
  v.getNormalizedCoords(50, 10, nx, ny);
  EXPECT_EQ(nx, 0.0f);
  EXPECT_EQ(ny, 0.0f);
  const kmlVec3 p = v.get3DPoint(1, 1, 1);
  EXPECT_TRUE(std::isfinite(p[0]) && std::isfinite(p[1]));
  v.setWindow(0, 0, 0, 0);
  v.getNormalizedCoords(3, 4, nx, ny);
  EXPECT_EQ(nx, 0.0f);
  EXPECT_EQ(ny, 0.0f);
}

TEST(ViewportState, NormalizedCoordsCountFromTheTopLeftPixel) {
  struct Case {
    int x, y, w, h, px, py;
    float nx, ny;
  } cases[] = {
    {0, 0, 640, 480, 320, 240, 0, 0},
    {0, 0, 640, 480, 0, 0, -1, 1},
    {0, 0, 640, 480, 640, 480, 1, -1},
    {0, 0, 640, 480, 480, 120, 0.5f, 0.5f},
    {10, 20, 100, 50, 10, 0, -1, 0.2f},  // the window's own offset is subtracted
    {0, 0, 101, 51, 50, 25, -1.0f / 101, 1.0f / 51},  // odd sizes: float halves
  };
  ksgViewportState v;
  for (const Case& c : cases) {
    v.setWindow(c.x, c.y, c.w, c.h);
    float nx, ny;
    v.getNormalizedCoords(c.px, c.py, nx, ny);
    EXPECT_NEAR(nx, c.nx, 1e-6) << c.px << "," << c.py;
    EXPECT_NEAR(ny, c.ny, 1e-6) << c.px << "," << c.py;
  }
}

TEST(ViewportState, Get3DPointGivesEyeSpacePointsPerProjection) {
  struct Case {
    ksgViewportState::ProjMode mode;
    float nx, ny, depth;
    kmlVec3 expected;
  } cases[] = {
    {ksgViewportState::PERSPECTIVE, 0, 0, 0, kmlVec3(0, 0, -0.5f)},  // depth <= 0: near plane
    {ksgViewportState::PERSPECTIVE, 1, 1, 2, kmlVec3(4, 2, -2)},     // fov 90, aspect 2
    {ksgViewportState::PERSPECTIVE, -1, 0.5f, -3, kmlVec3(-1, 0.25f, -0.5f)},
    {ksgViewportState::ORTHO, 0, 0, 5, kmlVec3(0, 0, -5)},
    {ksgViewportState::ORTHO, -1, 1, 0, kmlVec3(-4, 1, -0.5f)},
    {ksgViewportState::ORTHO, 1, -1, 1, kmlVec3(4, -1, -1)},
    {ksgViewportState::FRUSTUM, 1, 1, 2, kmlVec3(0, 0, 0)},
  };
  ksgViewportState v;
  v.setWindow(0, 0, 200, 100);
  v.setFov(90);
  v.setPlanes(0.5f, 50);
  v.setBounds(-4, 4, -1, 1);
  for (const Case& c : cases) {
    v.setProjMode(c.mode);
    const kmlVec3 p = v.get3DPoint(c.nx, c.ny, c.depth);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(p[i], c.expected[i], 1e-5) << "mode " << c.mode << " (" << c.nx << ", " << c.ny
                                             << ", " << c.depth << ") [" << i << "]";
  }
}

using ViewportStateGLTest = kgiGLTest;

std::vector<GLint> ints(GLenum name, int count = 1) {
  std::vector<GLint> v(count);
  glGetIntegerv(name, v.data());
  return v;
}

TEST_F(ViewportStateGLTest, ApplySetsViewportAndProjectionAndRestorePutsThemBack) {
  glMatrixMode(GL_TEXTURE);
  ksgViewportState v;
  v.setWindow(1, 2, 30, 40);
  v.setProjMode(ksgViewportState::ORTHO);
  v.setBounds(-2, 2, -4, 4);
  v.setPlanes(-1, 1);
  const auto depth = ints(GL_PROJECTION_STACK_DEPTH);

  v.apply();
  EXPECT_EQ(ints(GL_VIEWPORT, 4), (std::vector<GLint>{1, 2, 30, 40}));
  EXPECT_EQ(ints(GL_MATRIX_MODE)[0], GL_MODELVIEW);
  EXPECT_EQ(ints(GL_PROJECTION_STACK_DEPTH)[0], depth[0] + 1);
  float m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 0.5f);
  EXPECT_FLOAT_EQ(m[5], 0.25f);
  // Changes are refused while applied.
  v.setProjMode(ksgViewportState::PERSPECTIVE);
  EXPECT_EQ(v.getProjMode(), ksgViewportState::ORTHO);

  v.restore();
  EXPECT_EQ(ints(GL_VIEWPORT, 4), (std::vector<GLint>{0, 0, WIDTH, HEIGHT}));
  EXPECT_EQ(ints(GL_MATRIX_MODE)[0], GL_TEXTURE);
  EXPECT_EQ(ints(GL_PROJECTION_STACK_DEPTH), depth);
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  EXPECT_FLOAT_EQ(m[0], 1.0f);
  EXPECT_TRUE(glErrors().empty());
}

TEST_F(ViewportStateGLTest, RegistryHandsOutIdsAndIgnoresUnknownOnes) {
  ksgVisualState vs;
  const int a = vs.addViewport();
  const int b = vs.addViewport();
  EXPECT_NE(a, b);
  ASSERT_NE(vs.getViewport(a), nullptr);
  EXPECT_NE(vs.getViewport(a), vs.getViewport(b));
  EXPECT_EQ(vs.getViewport(99), nullptr);

  vs.getViewport(b)->setWindow(3, 4, 20, 10);
  vs.setViewport(b);
  EXPECT_TRUE(vs.getViewport(b)->isApplied());
  EXPECT_EQ(ints(GL_VIEWPORT, 4), (std::vector<GLint>{3, 4, 20, 10}));
  vs.restoreViewport(99);  // unknown: pops nothing
  EXPECT_TRUE(vs.getViewport(b)->isApplied());
  vs.setViewport(99);
  vs.restoreViewport(b);
  EXPECT_FALSE(vs.getViewport(b)->isApplied());
  EXPECT_EQ(ints(GL_VIEWPORT, 4), (std::vector<GLint>{0, 0, WIDTH, HEIGHT}));
  EXPECT_FALSE(vs.popState());

  vs.removeViewport(a);
  vs.removeViewport(a);  // already gone: nothing
  EXPECT_EQ(vs.getViewport(a), nullptr);
  EXPECT_EQ(vs.addViewport(), a);  // the freed id comes back first
  vs.removeViewport(a);
  vs.removeViewport(b);
}

// The visual state owns its viewport states: those still registered when it
// goes are reported and deleted, not leaked.
TEST_F(ViewportStateGLTest, DestructionReportsAndDeletesRemainingViewports) {
  const unsigned before = kutObject::getTotalObjectCount();
  testing::internal::CaptureStderr();
  {
    ksgVisualState vs;
    vs.addViewport();
    vs.setViewport(vs.addViewport());
    vs.removeViewport(0);
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Remaining ViewportStates: 1\n"), std::string::npos) << err;
  EXPECT_EQ(kutObject::getTotalObjectCount(), before);
  EXPECT_EQ(ints(GL_PROJECTION_STACK_DEPTH)[0], 2);
}

}  // namespace
