// Views: defaults, lights, resizing, rendering a scene in a real context and
// picking nodes under the mouse.
#include "support/gl/kgiGLTest.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kgcBoxMesh.h"
#include "kgcLight.h"
#include "ksgModel.h"
#include "ksgScene.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"
#include "tree_test_util.h"

namespace {

using ksgtest::translation;

using ViewGLTest = kgiGLTest;

std::unique_ptr<ksgViewpoint> quietViewpoint() {
  testing::internal::CaptureStderr();
  auto vp = std::make_unique<ksgViewpoint>();
  testing::internal::GetCapturedStderr();
  return vp;
}

// A visual state and a view on it, torn down view first, without the
// registry's line on stderr.
struct ViewFixture {
  std::unique_ptr<ksgVisualState> vs = std::make_unique<ksgVisualState>();
  std::unique_ptr<ksgView> view = std::make_unique<ksgView>(*vs);
  std::unique_ptr<ksgViewpoint> viewpoint = quietViewpoint();

  ViewFixture() { view->setViewpoint(viewpoint.get()); }
  ~ViewFixture() {
    view.reset();
    testing::internal::CaptureStderr();
    vs.reset();
    testing::internal::GetCapturedStderr();
  }
  ksgViewportState& viewport() { return *view->getViewport(); }
};

// Unit boxes under one root; the scene does not own the root, this does.
struct BoxScene {
  ksgScene scene;
  std::unique_ptr<ksgTransform> root = std::make_unique<ksgTransform>();
  std::vector<ksgModel*> boxes;

  explicit BoxScene(std::initializer_list<kmlVec3> centres) {
    for (const kmlVec3& c : centres) {
      auto* at = new ksgTransform();
      at->setLocal(translation(c[0], c[1], c[2]));
      auto* box = new ksgModel();
      box->setMesh(new kgcBoxMesh(1.0f, 1));
      at->attachChild(box);
      root->attachChild(at);
      boxes.push_back(box);
    }
    root->update(0, false, true);
    scene.addRoot(root.get());
  }
};

TEST(View, NewViewHasTheDefaultViewport) {
  ViewFixture f;
  ksgViewportState& v = f.viewport();
  int x, y, w, h;
  v.getWindow(x, y, w, h);
  EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({0, 0, 640, 480}));
  EXPECT_EQ(v.getAspect(), 640.0f / 480.0f);
  EXPECT_EQ(v.getFov(), 56.0f);
  float n, fa, l, r, b, t;
  v.getPlanes(n, fa);
  EXPECT_EQ(n, 0.1f);
  EXPECT_EQ(fa, 100.0f);
  v.getBounds(l, r, b, t);
  EXPECT_EQ(std::vector<float>({l, r, b, t}), std::vector<float>({-1, 1, -1, 1}));
  EXPECT_EQ(v.getProjMode(), ksgViewportState::PERSPECTIVE);
  EXPECT_EQ(f.view->getViewpoint(), f.viewpoint.get());
}

TEST(View, DestroyingTheViewRemovesItsViewportAndLights) {
  auto vs = std::make_unique<ksgVisualState>();
  kgcLight light;
  const unsigned before = kutObject::getTotalObjectCount();
  auto view = std::make_unique<ksgView>(*vs);
  view->setLight(0, &light);
  view->setLight(5, &light);
  const int id = 0;  // the first viewport of a fresh visual state
  EXPECT_EQ(vs->getViewport(id), view->getViewport());
  view.reset();
  EXPECT_EQ(vs->getViewport(id), nullptr);
  EXPECT_EQ(kutObject::getTotalObjectCount(), before);
  testing::internal::CaptureStderr();
  vs.reset();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("Remaining ViewportStates: 0\n", 0), 0u) << err;
}

TEST(View, LightsTakeOneParameterPerSlot) {
  ViewFixture f;
  kgcLight a, b;
  ksgViewportState& v = f.viewport();
  f.view->setLight(2, &a);
  f.view->setLight(2, &b);  // same slot: only the light changes
  ASSERT_NE(v.getParam(4), nullptr);
  EXPECT_EQ(v.getParam(5), nullptr);
  auto* param = static_cast<ksgLightParam*>(v.getParam(4));
  EXPECT_EQ(param->getLight(), &b);
  EXPECT_EQ(param->getId(), unsigned(GL_LIGHT2));

  f.view->setLight(8, &a);
  f.view->setLight(-1, &a);
  f.view->removeLight(3);  // empty slot
  f.view->removeLight(9);
  EXPECT_EQ(v.getParam(5), nullptr);
  EXPECT_EQ(v.getParam(4), param);

  f.view->removeLight(2);
  EXPECT_EQ(v.getParam(4), nullptr);
  f.view->setLight(2, &a);  // the slot is free again
  EXPECT_NE(v.getParam(4), nullptr);
}

// The viewport state refuses changes while applied: a light added or removed
// then would be half added, or deleted while still in the list.
TEST_F(ViewGLTest, LightsAreLeftAloneWhileTheViewportIsApplied) {
  ViewFixture f;
  kgcLight light;
  f.view->setLight(0, &light);
  ksgLightParam* held = static_cast<ksgLightParam*>(f.viewport().getParam(4));
  f.viewport().apply();
  f.view->setLight(1, &light);
  f.view->removeLight(0);
  f.viewport().restore();
  EXPECT_EQ(f.viewport().getParam(4), held);
  EXPECT_EQ(f.viewport().getParam(5), nullptr);
  f.view->setLight(1, &light);
  EXPECT_NE(f.viewport().getParam(5), nullptr);
  EXPECT_TRUE(glErrors().empty());
}

TEST(View, ReshapeSizesTheOrthographicBoundsToTheCameraDistance) {
  struct Case {
    int w, h;
    float l, r, b, t;
  } cases[] = {
    {200, 100, -6.6f, 6.6f, -3.3f, 3.3f},
    {100, 200, -6.6f, 6.6f, -13.2f, 13.2f},
    {0, 100, -6.6f, 6.6f, -13.2f, 13.2f},  // no width: bounds kept
    {100, 0, -6.6f, 6.6f, -6.6f / 180, 6.6f / 180},  // no height: aspect 180
  };
  ViewFixture f;
  f.viewpoint->setDistanceToBase(10);
  for (const Case& c : cases) {
    f.view->reshape(0, 0, c.w, c.h);
    int x, y, w, h;
    f.viewport().getWindow(x, y, w, h);
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
    float l, r, b, t;
    f.viewport().getBounds(l, r, b, t);
    EXPECT_NEAR(l, c.l, 1e-5) << c.w << "x" << c.h;
    EXPECT_NEAR(r, c.r, 1e-5) << c.w << "x" << c.h;
    EXPECT_NEAR(b, c.b, 1e-5) << c.w << "x" << c.h;
    EXPECT_NEAR(t, c.t, 1e-5) << c.w << "x" << c.h;
  }
  // Without a viewpoint only the window follows.
  f.view->setViewpoint(nullptr);
  f.view->reshape(0, 0, 50, 50);
  float l, r, b, t;
  f.viewport().getBounds(l, r, b, t);
  EXPECT_NEAR(t, 6.6f / 180, 1e-5);
}

std::vector<float> matrix(GLenum which) {
  std::vector<float> m(16);
  glGetFloatv(which, m.data());
  return m;
}

std::vector<GLint> ints(GLenum name, int count = 1) {
  std::vector<GLint> v(count);
  glGetIntegerv(name, v.data());
  return v;
}

TEST_F(ViewGLTest, RenderWithoutViewpointStillClears) {
  ViewFixture f;
  f.vs->getInitialState().clearColor(0.0f, 0.0f, 1.0f, 1.0f);
  f.view->setViewpoint(nullptr);
  BoxScene boxes({kmlVec3(0, 0, 0)});
  f.view->render(&boxes.scene);
  EXPECT_EQ(readPixel(WIDTH / 2, HEIGHT / 2)[2], 255);
  f.view->setViewpoint(f.viewpoint.get());
  f.view->render(nullptr);
  EXPECT_EQ(readPixel(WIDTH / 2, HEIGHT / 2)[2], 255);
  EXPECT_TRUE(glErrors().empty());
}

TEST_F(ViewGLTest, RenderDrawsTheSceneAndLeavesTheMatricesAsTheyWere) {
  ViewFixture f;
  f.vs->getInitialState().clearColor(0.0f, 0.0f, 0.0f, 1.0f);
  kgcLight light;
  f.view->setLight(0, &light);
  f.view->reshape(0, 0, WIDTH, HEIGHT);
  f.viewpoint->setDistanceToBase(5);
  BoxScene boxes({kmlVec3(0, 0, 0)});

  glMatrixMode(GL_MODELVIEW);
  glTranslatef(0.25f, 0, 0);  // a model-view matrix the view must keep
  const auto projection = matrix(GL_PROJECTION_MATRIX);
  const auto modelview = matrix(GL_MODELVIEW_MATRIX);
  const auto depths = ints(GL_PROJECTION_STACK_DEPTH)[0] * 100 + ints(GL_MODELVIEW_STACK_DEPTH)[0];
  const auto viewport = ints(GL_VIEWPORT, 4);

  glLoadIdentity();  // the view draws from an identity model-view
  f.view->render(&boxes.scene);
  const auto centre = readPixel(WIDTH / 2, HEIGHT / 2);
  const auto corner = readPixel(1, 1);
  EXPECT_GT(int(centre[0]) + centre[1] + centre[2], 0) << "the box was not drawn";
  EXPECT_EQ(int(corner[0]) + corner[1] + corner[2], 0) << "the box fills the view";
  glTranslatef(0.25f, 0, 0);

  EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
  EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
  EXPECT_EQ(ints(GL_PROJECTION_STACK_DEPTH)[0] * 100 + ints(GL_MODELVIEW_STACK_DEPTH)[0], depths);
  EXPECT_EQ(ints(GL_MATRIX_MODE)[0], GL_MODELVIEW);
  EXPECT_EQ(ints(GL_VIEWPORT, 4), viewport);
  EXPECT_EQ(glIsEnabled(GL_LIGHT0), GL_FALSE);
  EXPECT_FALSE(f.viewport().isApplied());
  EXPECT_TRUE(glErrors().empty());
}

// Reports hits at fixed world points, to drive the selection.
class FixedHits : public ksgTransform {
public:
  std::vector<kmlVec4> points;
  void pick(const kmlVec4&, const kmlVec4&, std::vector<Hit>& hits) override {
    for (const kmlVec4& p : points) hits.push_back({p, this});
  }
};

TEST(View, PickSelectionKeepsNearestFarthestOrAll) {
  // Squared distances from the eye at the origin: 4, 1, 1.
  const kmlVec4 a(0, 0, -2, 1), b(0, 0, -1, 1), c(0, -1, 0, 1), early(0, 0, -0.5f, 1);
  struct Case {
    const char* what;
    int selection;
    std::vector<kmlVec4> before, after;
  } cases[] = {
    {"all", ksgView::ALL, {}, {a, b, c}},
    {"nearest: first of equals", ksgView::NEAREST, {}, {b}},
    {"farthest", ksgView::FARTHEST, {}, {a}},
    {"any other value is nearest", 7, {}, {b}},
    {"all, after earlier hits", ksgView::ALL, {early}, {early, a, b, c}},
    {"nearest counts earlier hits", ksgView::NEAREST, {early}, {early}},
    {"farthest counts earlier hits", ksgView::FARTHEST, {early}, {a}},
  };
  ViewFixture f;
  ksgScene scene;
  FixedHits root;
  root.points = {a, b, c};
  scene.addRoot(&root);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ksgView::HitList hits;
    for (const kmlVec4& p : k.before) hits.push_back({p, nullptr});
    f.view->pick(&scene, 320, 240, hits, k.selection);
    ASSERT_EQ(hits.size(), k.after.size());
    for (size_t i = 0; i < hits.size(); ++i) EXPECT_TRUE(hits[i].first == k.after[i]) << i;
  }
}

TEST(View, PickCastsTheRayThroughTheMouseFromTheCamera) {
  struct Case {
    const char* what;
    ksgViewportState::ProjMode mode;
    float yaw;
    kmlVec3 box;
    int px, py;
    bool hit;
    kmlVec3 point;  // the nearest hit
  } cases[] = {
    {"straight ahead", ksgViewportState::PERSPECTIVE, 0, kmlVec3(0, 0, -5), 320, 240, true,
     kmlVec3(0, 0, -4.5f)},
    {"behind the eye", ksgViewportState::PERSPECTIVE, 0, kmlVec3(0, 0, 5), 320, 240, false, {}},
    {"off-centre ray", ksgViewportState::PERSPECTIVE, 0, kmlVec3(2, 0, -5), 500, 240, true, {}},
    {"off-centre box missed at the centre", ksgViewportState::PERSPECTIVE, 0, kmlVec3(2, 0, -5),
     320, 240, false, {}},
    {"turned camera", ksgViewportState::PERSPECTIVE, 90, kmlVec3(-5, 0, 0), 320, 240, true,
     kmlVec3(-4.5f, 0, 0)},
    {"ortho, straight ahead", ksgViewportState::ORTHO, 0, kmlVec3(0, 0, -5), 320, 240, true,
     kmlVec3(0, 0, -4.5f)},
    {"ortho, offset by the bounds", ksgViewportState::ORTHO, 0, kmlVec3(0.75f, 0, -5), 560, 240,
     true, kmlVec3(0.75f, 0, -4.5f)},
    {"ortho, behind the eye", ksgViewportState::ORTHO, 0, kmlVec3(0, 0, 5), 320, 240, false, {}},
    {"frustum gives no ray", ksgViewportState::FRUSTUM, 0, kmlVec3(0, 0, -5), 320, 240, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewFixture f;
    f.viewport().setProjMode(c.mode);
    f.viewpoint->incrYaw(c.yaw);
    BoxScene boxes({c.box});
    ksgView::HitList hits;
    f.view->pick(&boxes.scene, c.px, c.py, hits, ksgView::NEAREST);
    ASSERT_EQ(hits.size(), c.hit ? 1u : 0u);
    if (!c.hit) continue;
    EXPECT_EQ(hits[0].second, boxes.boxes[0]);
    if (c.point.norm2() > 0) {
      EXPECT_TRUE(ksgtest::vecNear(kmlVec3(hits[0].first[0], hits[0].first[1], hits[0].first[2]),
                                   c.point));
    }
  }
}

TEST(View, PickNeedsViewpointAndScene) {
  ViewFixture f;
  BoxScene boxes({kmlVec3(0, 0, -5)});
  ksgView::HitList hits;
  f.view->pick(nullptr, 320, 240, hits, ksgView::ALL);
  f.view->setViewpoint(nullptr);
  f.view->pick(&boxes.scene, 320, 240, hits, ksgView::ALL);
  EXPECT_TRUE(hits.empty());
}

}  // namespace
