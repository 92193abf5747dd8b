// Render-state parameters in a real OpenGL context: each kind sets its
// values and puts back exactly what it found, read back with glGet*.
#include "support/gl/kgiGLTest.h"

#include <GL/glu.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kgcFog.h"
#include "kgcLight.h"
#include "kgcMaterial.h"
#include "ksgStateParam.h"

namespace {

using Values = std::vector<double>;

// An expected value that is not checked.
const double ANY = std::nan("");

Values ints(GLenum name, int count = 1) {
  std::vector<GLint> v(count);
  glGetIntegerv(name, v.data());
  return Values(v.begin(), v.end());
}

Values floats(GLenum name, int count = 1) {
  std::vector<GLfloat> v(count);
  glGetFloatv(name, v.data());
  return Values(v.begin(), v.end());
}

Values operator+(Values a, const Values& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Column-major 4x4 products, to predict what a projection kind multiplies on.
using Mat = std::vector<double>;

Mat multiply(const Mat& a, const Mat& b) {
  Mat r(16, 0.0);
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
  return r;
}

const Mat SCALE2 = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};

Mat perspective(double fov, double aspect, double n, double f) {
  double t = 1.0 / std::tan(fov * M_PI / 360.0);
  return {t / aspect, 0, 0, 0, 0, t, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
}

Mat frustum(double l, double r, double b, double t, double n, double f) {
  return {2 * n / (r - l), 0, 0, 0, 0, 2 * n / (t - b), 0, 0,
          (r + l) / (r - l), (t + b) / (t - b), -(f + n) / (f - n), -1,
          0, 0, -2 * f * n / (f - n), 0};
}

Mat ortho(double l, double r, double b, double t, double n, double f) {
  return {2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, -2 / (f - n), 0,
          -(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n), 1};
}

// The projection matrix starts scaled by 2, so a kind that loaded the
// identity instead of multiplying would be seen.
void scaledProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScalef(2, 2, 2);
}

Values projectionState() { return ints(GL_MATRIX_MODE) + floats(GL_PROJECTION_MATRIX, 16); }

template <class T>
bool equalAs(const ksgStateParam& a, const ksgStateParam& b) {
  return static_cast<const T&>(a) == static_cast<const T&>(b);
}

struct Case {
  std::string kind;                                    // class record name
  std::function<void()> setup;                         // a known state, unlike the parameter's
  std::function<std::unique_ptr<ksgStateParam>()> make;
  std::function<Values()> read;                        // the state the kind touches
  Values applied;                                      // what read() gives while applied
  std::function<bool(const ksgStateParam&, const ksgStateParam&)> same;
};

// Objects the pointer kinds refer to; they outlive every case.
kgcFog& testFog() {
  static const float colour[4] = {0.1f, 0.2f, 0.3f, 0.4f};
  static kgcFog fog(1.0f, 5.0f, 2.0f, colour, GL_EXP2);
  return fog;
}

kgcLight& testLight() {
  static kgcLight light = [] {
    kgcLight l(kgcLight::POINT);
    const float diffuse[4] = {0.9f, 0.8f, 0.7f, 1.0f};
    l.setDiffuse(diffuse);
    return l;
  }();
  return light;
}

kgcMaterial& testMaterial() {
  static kgcMaterial material = [] {
    kgcMaterial m;
    m.setDiffuse(0.9f, 0.1f, 0.2f, 1.0f);
    m.setShininess(7.0f);
    return m;
  }();
  return material;
}

std::vector<Case> cases() {
  static const float colour4[4] = {0.5f, 0.6f, 0.7f, 0.8f};
  static const float colour3[3] = {0.5f, 0.6f, 0.7f};
  const float f01 = 0.1f, f09 = 0.9f;
  return {
    {"ksgAlphaParam", [] { glAlphaFunc(GL_LESS, 0.25f); },
     [] { return std::make_unique<ksgAlphaParam>(GL_GREATER, 0.75f); },
     [] { return ints(GL_ALPHA_TEST_FUNC) + floats(GL_ALPHA_TEST_REF); },
     {GL_GREATER, 0.75}, equalAs<ksgAlphaParam>},
    {"ksgBlendParam", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); },
     [] { return std::make_unique<ksgBlendParam>(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA); },
     [] { return ints(GL_BLEND_SRC) + ints(GL_BLEND_DST); },
     {GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA}, equalAs<ksgBlendParam>},
    {"ksgColorParam", [] { glColor4f(0.1f, 0.2f, 0.3f, 0.4f); },
     [] { return std::make_unique<ksgColorParam>(colour4, true); },
     [] { return floats(GL_CURRENT_COLOR, 4); },
     {0.5, 0.6, 0.7, 0.8}, equalAs<ksgColorParam>},
    // Without alpha, apply leaves alpha to glColor3fv (1 by the book; the
    // software renderer sometimes keeps the old one), and restore must bring
    // back the 0.4 that was current.
    {"ksgColorParam", [] { glColor4f(0.1f, 0.2f, 0.3f, 0.4f); },
     [] { return std::make_unique<ksgColorParam>(colour3, false); },
     [] { return floats(GL_CURRENT_COLOR, 4); },
     {0.5, 0.6, 0.7, ANY}, equalAs<ksgColorParam>},
    {"ksgColorMaterialParam", [] { glColorMaterial(GL_BACK, GL_SPECULAR); },
     [] { return std::make_unique<ksgColorMaterialParam>(GL_FRONT, GL_DIFFUSE); },
     [] { return ints(GL_COLOR_MATERIAL_FACE) + ints(GL_COLOR_MATERIAL_PARAMETER); },
     {GL_FRONT, GL_DIFFUSE}, equalAs<ksgColorMaterialParam>},
    {"ksgFrontFaceParam", [] { glFrontFace(GL_CW); },
     [] { return std::make_unique<ksgFrontFaceParam>(GL_CCW); },
     [] { return ints(GL_FRONT_FACE); }, {GL_CCW}, equalAs<ksgFrontFaceParam>},
    {"ksgCullParam", [] { glCullFace(GL_FRONT); },
     [] { return std::make_unique<ksgCullParam>(GL_FRONT_AND_BACK); },
     [] { return ints(GL_CULL_FACE_MODE); }, {GL_FRONT_AND_BACK}, equalAs<ksgCullParam>},
    {"ksgDepthTestParam", [] { glDepthFunc(GL_LEQUAL); },
     [] { return std::make_unique<ksgDepthTestParam>(GL_GREATER); },
     [] { return ints(GL_DEPTH_FUNC); }, {GL_GREATER}, equalAs<ksgDepthTestParam>},
    {"ksgDepthRangeParam", [] { glDepthRange(0.25, 0.75); },
     [] { return std::make_unique<ksgDepthRangeParam>(0.1f, 0.9f); },
     [] { return floats(GL_DEPTH_RANGE, 2); }, {f01, f09}, equalAs<ksgDepthRangeParam>},
    {"ksgFogParam",
     [] {
       const float c[4] = {0.9f, 0.9f, 0.9f, 1.0f};
       glFogi(GL_FOG_MODE, GL_LINEAR);
       glFogf(GL_FOG_START, 2.0f);
       glFogf(GL_FOG_END, 20.0f);
       glFogf(GL_FOG_DENSITY, 0.5f);
       glFogfv(GL_FOG_COLOR, c);
     },
     [] { return std::make_unique<ksgFogParam>(&testFog()); },
     [] {
       return ints(GL_FOG_MODE) + floats(GL_FOG_START) + floats(GL_FOG_END) +
              floats(GL_FOG_DENSITY) + floats(GL_FOG_COLOR, 4);
     },
     {GL_EXP2, 1, 5, 2, 0.1, 0.2, 0.3, 0.4}, equalAs<ksgFogParam>},
    {"ksgHintParam", [] { glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST); },
     [] { return std::make_unique<ksgHintParam>(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST); },
     [] { return ints(GL_PERSPECTIVE_CORRECTION_HINT); }, {GL_NICEST}, equalAs<ksgHintParam>},
    // The default light model: one-sided, infinite viewer, ambient alpha 0.1.
    {"ksgLightModelParam",
     [] {
       const float a[4] = {0.4f, 0.5f, 0.6f, 0.9f};
       glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
       glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
       glLightModelfv(GL_LIGHT_MODEL_AMBIENT, a);
     },
     [] { return std::make_unique<ksgLightModelParam>(); },
     [] {
       return ints(GL_LIGHT_MODEL_TWO_SIDE) + ints(GL_LIGHT_MODEL_LOCAL_VIEWER) +
              floats(GL_LIGHT_MODEL_AMBIENT, 4);
     },
     {0, 0, 0.2, 0.2, 0.2, 0.1}, equalAs<ksgLightModelParam>},
    {"ksgLightParam",
     [] {
       const float d[4] = {0.1f, 0.2f, 0.3f, 1.0f};
       glLightfv(GL_LIGHT1, GL_DIFFUSE, d);
     },
     [] { return std::make_unique<ksgLightParam>(GL_LIGHT1, &testLight()); },
     [] {
       GLfloat d[4];
       glGetLightfv(GL_LIGHT1, GL_DIFFUSE, d);
       return Values{double(glIsEnabled(GL_LIGHT1)), d[0], d[1], d[2], d[3]};
     },
     {GL_TRUE, 0.9, 0.8, 0.7, 1.0}, equalAs<ksgLightParam>},
    {"ksgMaterialParam",
     [] {
       const float d[4] = {0.3f, 0.3f, 0.3f, 1.0f};
       glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, d);
       glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 1.0f);
     },
     [] { return std::make_unique<ksgMaterialParam>(&testMaterial()); },
     [] {
       GLfloat d[4], s;
       glGetMaterialfv(GL_BACK, GL_DIFFUSE, d);
       glGetMaterialfv(GL_FRONT, GL_SHININESS, &s);
       return Values{d[0], d[1], d[2], d[3], s};
     },
     {0.9, 0.1, 0.2, 1.0, 7.0}, equalAs<ksgMaterialParam>},
    {"ksgMatrixModeParam", [] { glMatrixMode(GL_TEXTURE); },
     [] { return std::make_unique<ksgMatrixModeParam>(GL_PROJECTION); },
     [] { return ints(GL_MATRIX_MODE); }, {GL_PROJECTION}, equalAs<ksgMatrixModeParam>},
    {"ksgShadeModelParam", [] { glShadeModel(GL_FLAT); },
     [] { return std::make_unique<ksgShadeModelParam>(GL_SMOOTH); },
     [] { return ints(GL_SHADE_MODEL); }, {GL_SMOOTH}, equalAs<ksgShadeModelParam>},
    {"ksgPolygonOffsetParam", [] { glPolygonOffset(1.0f, 2.0f); },
     [] { return std::make_unique<ksgPolygonOffsetParam>(3.5f, -4.0f); },
     [] { return floats(GL_POLYGON_OFFSET_FACTOR) + floats(GL_POLYGON_OFFSET_UNITS); },
     {3.5, -4.0},
     [](const ksgStateParam& a, const ksgStateParam& b) {
       auto& x = static_cast<const ksgPolygonOffsetParam&>(a);
       auto& y = static_cast<const ksgPolygonOffsetParam&>(b);
       return x.getFactor() == y.getFactor() && x.getUnits() == y.getUnits();
     }},
    {"ksgPolygonModeParam", [] { glPolygonMode(GL_FRONT_AND_BACK, GL_POINT); },
     [] { return std::make_unique<ksgPolygonModeParam>(GL_FRONT, GL_LINE); },
     [] { return ints(GL_POLYGON_MODE, 2); }, {GL_LINE, GL_POINT}, equalAs<ksgPolygonModeParam>},
    {"ksgPerspectiveParam", scaledProjection,
     [] { return std::make_unique<ksgPerspectiveParam>(45.0f, 2.0f, 1.0f, 10.0f); },
     projectionState, Values{GL_PROJECTION} + multiply(SCALE2, perspective(45, 2, 1, 10)),
     equalAs<ksgPerspectiveParam>},
    {"ksgFrustumParam", scaledProjection,
     [] { return std::make_unique<ksgFrustumParam>(-2.0f, 1.0f, -1.0f, 3.0f, 0.5f, 50.0f); },
     projectionState, Values{GL_PROJECTION} + multiply(SCALE2, frustum(-2, 1, -1, 3, 0.5, 50)),
     equalAs<ksgFrustumParam>},
    {"ksgOrthoParam", scaledProjection,
     [] { return std::make_unique<ksgOrthoParam>(-2.0f, 1.0f, -1.0f, 3.0f, -5.0f, 5.0f); },
     projectionState, Values{GL_PROJECTION} + multiply(SCALE2, ortho(-2, 1, -1, 3, -5, 5)),
     equalAs<ksgOrthoParam>},
    {"ksgScissorParam", [] { glScissor(1, 2, 3, 4); },
     [] { return std::make_unique<ksgScissorParam>(5, 6, 7, 8); },
     [] { return ints(GL_SCISSOR_BOX, 4); }, {5, 6, 7, 8}, equalAs<ksgScissorParam>},
    {"ksgStencilOpParam", [] { glStencilOp(GL_ZERO, GL_REPLACE, GL_INCR); },
     [] { return std::make_unique<ksgStencilOpParam>(GL_INVERT, GL_DECR, GL_KEEP); },
     [] {
       return ints(GL_STENCIL_FAIL) + ints(GL_STENCIL_PASS_DEPTH_FAIL) +
              ints(GL_STENCIL_PASS_DEPTH_PASS);
     },
     {GL_INVERT, GL_DECR, GL_KEEP}, equalAs<ksgStencilOpParam>},
    // The test drawable has no stencil bits, so the reference reads back
    // clamped to 0 and only the function and mask are seen.
    {"ksgStencilFuncParam", [] { glStencilFunc(GL_LESS, 0, 0x0F); },
     [] { return std::make_unique<ksgStencilFuncParam>(GL_EQUAL, 1, 0x3u); },
     [] { return ints(GL_STENCIL_FUNC) + ints(GL_STENCIL_VALUE_MASK); },
     {GL_EQUAL, 0x3}, equalAs<ksgStencilFuncParam>},
    {"ksgViewportParam", [] { glViewport(1, 2, 30, 40); },
     [] { return std::make_unique<ksgViewportParam>(3, 4, 50, 60); },
     [] { return ints(GL_VIEWPORT, 4); }, {3, 4, 50, 60}, equalAs<ksgViewportParam>},
  };
}

void expectNear(const Values& actual, const Values& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (std::isnan(expected[i])) continue;
    EXPECT_NEAR(actual[i], expected[i], 1e-5) << what << " [" << i << "]";
  }
}

// The stacks that pushing kinds use; every kind leaves them as it found them.
Values stackDepths() {
  return ints(GL_ATTRIB_STACK_DEPTH) + ints(GL_PROJECTION_STACK_DEPTH) +
         ints(GL_MODELVIEW_STACK_DEPTH) + ints(GL_TEXTURE_STACK_DEPTH);
}

using StateParamTest = kgiGLTest;

TEST_F(StateParamTest, EveryKindAppliesItsValuesAndRestoresWhatItFound) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.kind);
    c.setup();
    const Values before = c.read();
    const Values depths = stackDepths();
    std::unique_ptr<ksgStateParam> p = c.make();
    EXPECT_EQ(p->getRtti()->getName(), c.kind);
    EXPECT_EQ(p->getRtti()->getBase(), &ksgStateParam::RTTI);

    p->apply();
    expectNear(c.read(), c.applied, "applied");
    p->restore();
    expectNear(c.read(), before, "restored");
    EXPECT_EQ(stackDepths(), depths);
    EXPECT_TRUE(glErrors().empty());

    // A clone is an equal parameter of the same class that works on its own.
    std::unique_ptr<ksgStateParam> copy(p->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getRtti(), p->getRtti());
    EXPECT_NE(copy.get(), p.get());
    EXPECT_TRUE(c.same(*p, *copy));
    copy->apply();
    expectNear(c.read(), c.applied, "clone applied");
    copy->restore();
    expectNear(c.read(), before, "clone restored");
    EXPECT_TRUE(glErrors().empty());
  }
}

// Changing the object between apply and restore must not unbalance the
// attribute stack: restore pops exactly what apply pushed.
TEST_F(StateParamTest, PointerKindsPushOnlyWithTheirObjectAndPopOnlyWhatTheyPushed) {
  ksgFogParam fog;
  ksgLightParam light;
  ksgMaterialParam material;
  struct Swap {
    ksgStateParam* param;
    std::function<void(bool)> attach;
  } swaps[] = {
    {&fog, [&](bool on) { fog.setFog(on ? &testFog() : nullptr); }},
    {&light, [&](bool on) { light.setLight(on ? &testLight() : nullptr); }},
    {&material, [&](bool on) { material.setMaterial(on ? &testMaterial() : nullptr); }},
  };
  const Values depth = ints(GL_ATTRIB_STACK_DEPTH);
  for (Swap& s : swaps) {
    SCOPED_TRACE(s.param->getRtti()->getName());
    s.attach(false);
    s.param->apply();
    EXPECT_EQ(ints(GL_ATTRIB_STACK_DEPTH), depth);
    s.attach(true);
    s.param->restore();
    EXPECT_EQ(ints(GL_ATTRIB_STACK_DEPTH), depth);

    s.param->apply();
    EXPECT_EQ(ints(GL_ATTRIB_STACK_DEPTH)[0], depth[0] + 1);
    s.attach(false);
    s.param->restore();
    EXPECT_EQ(ints(GL_ATTRIB_STACK_DEPTH), depth);
    EXPECT_TRUE(glErrors().empty());
  }
}

// The hint's target is also its query: a target changed before restore must
// not receive the mode saved from the other one.
TEST_F(StateParamTest, HintRestoresTheTargetItApplied) {
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
  ksgHintParam hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  hint.apply();
  hint.setTarget(GL_FOG_HINT);
  hint.restore();
  EXPECT_EQ(ints(GL_PERSPECTIVE_CORRECTION_HINT), Values{GL_FASTEST});
  EXPECT_EQ(ints(GL_FOG_HINT), Values{GL_DONT_CARE});
}

TEST(StateParamValues, DefaultsAreTheLibrarysNotOpenGLs) {
  EXPECT_EQ(ksgStencilFuncParam().getMask(), 0u);
  EXPECT_TRUE(ksgStencilFuncParam() == ksgStencilFuncParam(GL_ALWAYS, 0, 0));
  ksgLightModelParam model;
  const float openGLAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  ksgLightModelParam withOpaqueAmbient;
  withOpaqueAmbient.setAmbient(openGLAmbient);
  EXPECT_TRUE(model != withOpaqueAmbient);
  EXPECT_TRUE(ksgPerspectiveParam() == ksgPerspectiveParam(56.0f, 1.33f, 1.0f, 100.0f));
  EXPECT_TRUE(ksgFrustumParam() == ksgFrustumParam(-1, 1, -1, 1, 1, 100));
  EXPECT_TRUE(ksgOrthoParam() == ksgOrthoParam(-1, 1, -1, 1, -1, 1));
}

TEST(StateParamValues, ComparisonLooksAtEveryValueField) {
  ksgBlendParam blend(GL_ONE, GL_ZERO);
  blend.setSource(GL_SRC_ALPHA);
  blend.setDest(GL_DST_ALPHA);
  EXPECT_EQ(blend.getSource(), unsigned(GL_SRC_ALPHA));
  EXPECT_EQ(blend.getDest(), unsigned(GL_DST_ALPHA));
  EXPECT_TRUE(blend != ksgBlendParam(GL_SRC_ALPHA, GL_ONE));
  EXPECT_FALSE(blend == ksgBlendParam(GL_SRC_ALPHA, GL_ONE));

  ksgFrustumParam frustum;
  frustum.setPlanes(1.0f, 99.0f);
  EXPECT_TRUE(frustum != ksgFrustumParam());
  float l, r, b, t;
  frustum.setBounds(-3, 3, -2, 2);
  frustum.getBounds(l, r, b, t);
  EXPECT_EQ(Values({l, r, b, t}), Values({-3, 3, -2, 2}));

  // Two plain base parameters are always alike.
  EXPECT_TRUE(ksgStateParam() == ksgStateParam());
  EXPECT_FALSE(ksgStateParam() != ksgStateParam());
}

TEST(StateParamValues, ColorWithoutAlphaCopiesAndComparesThreeComponents) {
  const float rgb[4] = {0.1f, 0.2f, 0.3f, 0.9f};
  ksgColorParam colour(rgb, false);
  float out[4] = {-1, -1, -1, -1};
  colour.getColor(out);
  EXPECT_EQ(Values(out, out + 4), Values({0.1f, 0.2f, 0.3f, -1}));

  // The copy takes the flag first, then three components.
  ksgColorParam copy;
  copy = colour;
  EXPECT_TRUE(copy == colour);
  const float other[4] = {0.1f, 0.2f, 0.3f, 0.5f};
  EXPECT_TRUE(colour == ksgColorParam(other, false));
  EXPECT_TRUE(ksgColorParam(rgb, true) != ksgColorParam(other, true));
}

TEST(StateParamValues, DepthRangeKeepsFloatsAsDoublesAndReturnsFloats) {
  ksgDepthRangeParam range(0.1f, 0.7f);
  float n = 0, f = 0;
  range.getRange(n, f);
  EXPECT_EQ(n, 0.1f);
  EXPECT_EQ(f, 0.7f);
  range.setRange(0.3f, 0.4f);
  EXPECT_TRUE(range == ksgDepthRangeParam(0.3f, 0.4f));
}

}  // namespace
