// The viewpoint camera rig: naming and ids, joint angles, the two modes and
// the switch between them, mouse gestures, centring, up axis, placement.
#include "support/gl/kgiGLTest.h"

#include <functional>
#include <memory>
#include <string>

#include "kgcAxisAlignedBox.h"
#include "kmlVec2.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"
#include "ksgVisualState.h"
#include "tree_test_util.h"

namespace {

using ksgtest::matrixNear;
using ksgtest::position;
using ksgtest::translation;
using ksgtest::vecNear;

// Opens the rig to the tests.
class Rig : public ksgViewpoint {
public:
  int rigId() const { return id; }
  ksgTransform* node(int i) const {
    ksgTransform* nodes[] = {base, distanceNode, yawNode, pitchNode, rollNode};
    return nodes[i];
  }
};

kmlVec3 eyeAxis(const ksgViewpoint& vp, int c) {
  const kmlMatrix4 m = vp.getMatrix();
  return kmlVec3(m.get(0, c), m.get(1, c), m.get(2, c));
}

kmlVec3 eyePosition(const ksgViewpoint& vp) { return position(vp.getMatrix()); }

// The world point the camera looks at: the base distance in front of the eye.
kmlVec3 lookedAt(const ksgViewpoint& vp) {
  return eyePosition(vp) - vp.getDistanceToBase() * eyeAxis(vp, 2);
}

// A viewpoint at (1, 2, 3), 5 from its target, in the given up axis and mode.
std::unique_ptr<ksgViewpoint> placedViewpoint(int upAxis, int mode) {
  testing::internal::CaptureStderr();
  auto vp = std::make_unique<ksgViewpoint>();
  testing::internal::GetCapturedStderr();
  vp->setUpAxis(upAxis);
  vp->setBase(translation(1, 2, 3));
  vp->setDistanceToBase(5);
  vp->setMode(mode);
  return vp;
}

TEST(Viewpoint, NewRigIsNamedByItsIdAndStartsAtRest) {
  testing::internal::CaptureStderr();
  auto a = std::make_unique<Rig>();
  auto b = std::make_unique<Rig>();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "ksgViewpoint::ksgViewpoint()\nksgViewpoint::ksgViewpoint()\n");
  EXPECT_NE(a->rigId(), b->rigId());
  const std::string prefix = "Camera" + std::to_string(a->rigId());
  const char* suffixes[] = {"_Base", "_Dtb", "_Yaw", "_Pitch", "_Roll"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a->node(i)->getName(), prefix + suffixes[i]);
  EXPECT_EQ(a->getMode(), 1);
  EXPECT_EQ(a->getUpAxis(), 1);
  EXPECT_EQ(a->getDistanceToBase(), 0.0f);
  EXPECT_EQ(a->getYaw(), 0.0f);
  EXPECT_EQ(a->getPitch(), 0.0f);
  EXPECT_EQ(a->getRoll(), 0.0f);
  EXPECT_TRUE(matrixNear(a->getMatrix(), kmlMatrix4()));

  // The id of a destroyed viewpoint is handed out again.
  const int freed = b->rigId();
  b.reset();
  testing::internal::CaptureStderr();
  Rig c;
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(c.rigId(), freed);
}

TEST(Viewpoint, JointAnglesAndDistanceReadBackSigned) {
  auto vp = placedViewpoint(1, 1);
  struct Case {
    std::function<void(ksgViewpoint&)> set;
    std::function<float(const ksgViewpoint&)> get;
    float expected;
  } cases[] = {
    {[](ksgViewpoint& v) { v.setYaw(30); }, [](const ksgViewpoint& v) { return v.getYaw(); }, 30},
    {[](ksgViewpoint& v) { v.setYaw(-30); }, [](const ksgViewpoint& v) { return v.getYaw(); }, -30},
    {[](ksgViewpoint& v) { v.setPitch(-45); }, [](const ksgViewpoint& v) { return v.getPitch(); }, -45},
    {[](ksgViewpoint& v) { v.setRoll(170); }, [](const ksgViewpoint& v) { return v.getRoll(); }, 170},
    {[](ksgViewpoint& v) { v.setDistanceToBase(10); },
     [](const ksgViewpoint& v) { return v.getDistanceToBase(); }, 10},
    {[](ksgViewpoint& v) { v.zoom(2); }, [](const ksgViewpoint& v) { return v.getDistanceToBase(); }, 8},
  };
  for (const Case& c : cases) {
    c.set(*vp);
    EXPECT_NEAR(c.get(*vp), c.expected, 1e-4);
  }
}

// Switching 1 -> 0 -> 1 leaves the eye where it is and as it is turned.
TEST(Viewpoint, ModeSwitchKeepsTheEyeInBothUpAxes) {
  struct Case {
    const char* what;
    std::function<void(ksgViewpoint&)> pose;
  } poses[] = {
    {"incrYaw/incrPitch", [](ksgViewpoint& v) { v.incrYaw(30); v.incrPitch(-20); }},
    {"setBaseOrientation", [](ksgViewpoint& v) { v.setBaseOrientation(15, -40, 0); }},
  };
  for (int up : {1, 0}) {
    for (const Case& c : poses) {
      SCOPED_TRACE(std::string(c.what) + (up ? " y up" : " z up"));
      auto vp = placedViewpoint(up, 1);
      c.pose(*vp);
      const kmlMatrix4 eye = vp->getMatrix();
      const kmlVec3 target = lookedAt(*vp);
      vp->setMode(0);
      EXPECT_EQ(vp->getMode(), 0);
      EXPECT_TRUE(matrixNear(vp->getMatrix(), eye));
      EXPECT_TRUE(vecNear(lookedAt(*vp), target));
      vp->setMode(1);
      EXPECT_EQ(vp->getMode(), 1);
      EXPECT_TRUE(matrixNear(vp->getMatrix(), eye));
      EXPECT_EQ(vp->getYaw(), 0.0f);  // the turn is back in the base
    }
  }
}

TEST(Viewpoint, GesturesMoveAndTurnTheEye) {
  const float s = 0.8660254f;  // sin 60
  struct Case {
    const char* what;
    int upAxis, mode;
    std::function<void(ksgViewpoint&)> prepare, gesture;
    kmlVec3 moved;    // world displacement of the eye
    kmlVec3 looking;  // world z axis of the eye afterwards (it looks along -z)
  } cases[] = {
    {"orbit yaw", 1, 1, [](ksgViewpoint&) {}, [](ksgViewpoint& v) { v.incrYaw(90); },
     kmlVec3(5, 0, -5), kmlVec3(1, 0, 0)},
    {"turn in place", 1, 0, [](ksgViewpoint&) {}, [](ksgViewpoint& v) { v.incrYaw(90); },
     kmlVec3(0, 0, 0), kmlVec3(1, 0, 0)},
    {"orbit pitch", 1, 1, [](ksgViewpoint&) {}, [](ksgViewpoint& v) { v.incrPitch(-90); },
     kmlVec3(0, 5, -5), kmlVec3(0, 1, 0)},
    {"roll keeps position and view", 1, 1, [](ksgViewpoint&) {},
     [](ksgViewpoint& v) { v.incrRoll(90); }, kmlVec3(0, 0, 0), kmlVec3(0, 0, 1)},
    {"zoom in", 1, 1, [](ksgViewpoint&) {}, [](ksgViewpoint& v) { v.zoom(2); },
     kmlVec3(0, 0, -2), kmlVec3(0, 0, 1)},
    // The base turned by 90 and the yaw joint by 30: zoom must move the eye
    // along its own z once, not turned by the base a second time.
    {"zoom back with a turned base", 1, 0,
     [](ksgViewpoint& v) { v.setBaseOrientation(0, 90, 0); v.setYaw(30); },
     [](ksgViewpoint& v) { v.zoom(2); }, kmlVec3(2 * s, 0, -1), kmlVec3(s, 0, -0.5f)},
    {"pan along the base's x", 1, 1, [](ksgViewpoint& v) { v.setBaseOrientation(0, 90, 0); },
     [](ksgViewpoint& v) { v.translate(kmlVec2(1, 0)); }, kmlVec3(0, 0, -1), kmlVec3(1, 0, 0)},
    {"pan along the camera's y", 1, 0, [](ksgViewpoint& v) { v.setPitch(90); },
     [](ksgViewpoint& v) { v.translate(kmlVec2(0, 1)); }, kmlVec3(0, 0, 1), kmlVec3(0, -1, 0)},
    {"move in world axes, z up", 0, 1, [](ksgViewpoint&) {},
     [](ksgViewpoint& v) { v.translate(kmlVec3(0, 0, 1)); }, kmlVec3(0, 0, 1), kmlVec3(0, -1, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto vp = placedViewpoint(c.upAxis, c.mode);
    c.prepare(*vp);
    const kmlVec3 before = eyePosition(*vp);
    c.gesture(*vp);
    EXPECT_TRUE(vecNear(eyePosition(*vp) - before, c.moved));
    EXPECT_TRUE(vecNear(eyeAxis(*vp, 2), c.looking));
  }
}

TEST(Viewpoint, CenterAimsAtTheBoxCentreFromItsLargestSize) {
  kgcAxisAlignedBox box;
  box.fromMinMax(kmlVec3(-1, -1, -1), kmlVec3(1, 1, 3));
  struct Case {
    int upAxis, mode;
    std::function<void(ksgViewpoint&)> prepare;
  } cases[] = {
    {1, 1, [](ksgViewpoint&) {}},
    {1, 1, [](ksgViewpoint& v) { v.incrYaw(40); }},
    {1, 0, [](ksgViewpoint& v) { v.setYaw(25); v.setPitch(-10); }},
    {0, 1, [](ksgViewpoint&) {}},
    {0, 0, [](ksgViewpoint& v) { v.setYaw(-60); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "up " << c.upAxis << " mode " << c.mode);
    auto vp = placedViewpoint(c.upAxis, c.mode);
    c.prepare(*vp);
    const kmlVec3 looking = eyeAxis(*vp, 2);
    vp->center(box);
    EXPECT_FLOAT_EQ(vp->getDistanceToBase(), 6.0f);  // half the depth, 2, plus the largest size, 4
    EXPECT_TRUE(vecNear(lookedAt(*vp), kmlVec3(0, 0, 1)));
    EXPECT_TRUE(vecNear(eyeAxis(*vp, 2), looking));
  }
  auto plain = placedViewpoint(1, 1);
  plain->center(box);
  EXPECT_TRUE(vecNear(position(plain->getBase()), kmlVec3(0, 0, 1)));
}

TEST(Viewpoint, UpAxisTurnsTheRigOnceAndIgnoresOtherValues) {
  auto vp = placedViewpoint(1, 1);
  EXPECT_TRUE(vecNear(eyePosition(*vp), kmlVec3(1, 2, 8)));
  vp->setUpAxis(0);
  vp->setUpAxis(0);
  EXPECT_EQ(vp->getUpAxis(), 0);
  EXPECT_TRUE(vecNear(eyePosition(*vp), kmlVec3(1, -8, 2)));  // y up became z up
  vp->setUpAxis(5);
  EXPECT_EQ(vp->getUpAxis(), 0);
  EXPECT_TRUE(vecNear(eyePosition(*vp), kmlVec3(1, -8, 2)));
  vp->setUpAxis(1);
  EXPECT_TRUE(vecNear(eyePosition(*vp), kmlVec3(1, 2, 8)));
}

TEST(Viewpoint, TrackingAimsTheEyeAtTheTarget) {
  auto vp = placedViewpoint(1, 0);
  vp->setDistanceToBase(0);
  ksgTransform target;
  target.setLocal(translation(11, 2, 3));  // straight along +x from the eye
  target.update(0, false, true);
  vp->setTrackNode(&target);
  vp->track();
  EXPECT_TRUE(vecNear(eyeAxis(*vp, 2), kmlVec3(-1, 0, 0)));
  EXPECT_TRUE(vecNear(eyePosition(*vp), kmlVec3(1, 2, 3)));
  vp->setTrackNode(nullptr);
}

using ViewpointGLTest = kgiGLTest;

TEST_F(ViewpointGLTest, PlaceMultipliesTheInverseCameraAndResetPopsIt) {
  auto vp = placedViewpoint(1, 1);
  vp->incrYaw(35);
  ksgVisualState vs;
  glMatrixMode(GL_MODELVIEW);
  GLint depth = 0, after = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  vp->place(vs);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // The eye's own position lands on the origin of eye space.
  const kmlVec3 eye = eyePosition(*vp);
  for (int r = 0; r < 3; ++r)
    EXPECT_NEAR(m[r] * eye[0] + m[4 + r] * eye[1] + m[8 + r] * eye[2] + m[12 + r], 0.0f, 1e-4);
  vp->reset(vs);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
  EXPECT_EQ(after, depth);

  vp->render(vs, nullptr);  // no scene: nothing happens
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
  EXPECT_EQ(after, depth);
  EXPECT_TRUE(glErrors().empty());
}

TEST_F(ViewpointGLTest, RenderDrawsTheRedTargetMarkerWithItsOwnState) {
  auto vp = placedViewpoint(1, 1);
  vp->setBase(kmlMatrix4());
  glColor4f(0.0f, 0.0f, 1.0f, 0.5f);
  ksgVisualState vs;
  vp->render(vs);
  const auto centre = readPixel(WIDTH / 2, HEIGHT / 2);
  EXPECT_EQ(centre[0], 255);
  EXPECT_EQ(centre[1], 0);
  EXPECT_EQ(centre[2], 0);
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[2], 1.0f);
  EXPECT_EQ(colour[3], 0.5f);
  EXPECT_TRUE(glErrors().empty());
}

}  // namespace
