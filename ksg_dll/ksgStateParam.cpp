#include "ksgStateParam.h"

#include <GL/glu.h>

#include <cstring>
#include <new>

#include "kgcFog.h"
#include "kgcLight.h"
#include "kgcMaterial.h"

const kutRtti ksgStateParam::RTTI("ksgStateParam", &kutObject::RTTI);

const kutRtti* ksgStateParam::getRtti() const { return &RTTI; }

ksgStateParam* ksgStateParam::clone() const { return new (std::nothrow) ksgStateParam(*this); }

// Class record, getRtti and clone of one parameter kind.
#define KSG_STATE_PARAM_KIND(cls)                                                      \
  const kutRtti cls::RTTI(#cls, &ksgStateParam::RTTI);                                 \
  const kutRtti* cls::getRtti() const { return &RTTI; }                                \
  ksgStateParam* cls::clone() const { return new (std::nothrow) cls(*this); }

KSG_STATE_PARAM_KIND(ksgAlphaParam)
KSG_STATE_PARAM_KIND(ksgBlendParam)
KSG_STATE_PARAM_KIND(ksgColorParam)
KSG_STATE_PARAM_KIND(ksgColorMaterialParam)
KSG_STATE_PARAM_KIND(ksgFrontFaceParam)
KSG_STATE_PARAM_KIND(ksgCullParam)
KSG_STATE_PARAM_KIND(ksgDepthTestParam)
KSG_STATE_PARAM_KIND(ksgDepthRangeParam)
KSG_STATE_PARAM_KIND(ksgFogParam)
KSG_STATE_PARAM_KIND(ksgHintParam)
KSG_STATE_PARAM_KIND(ksgLightModelParam)
KSG_STATE_PARAM_KIND(ksgLightParam)
KSG_STATE_PARAM_KIND(ksgMaterialParam)
KSG_STATE_PARAM_KIND(ksgMatrixModeParam)
KSG_STATE_PARAM_KIND(ksgShadeModelParam)
KSG_STATE_PARAM_KIND(ksgPolygonOffsetParam)
KSG_STATE_PARAM_KIND(ksgPolygonModeParam)
KSG_STATE_PARAM_KIND(ksgPerspectiveParam)
KSG_STATE_PARAM_KIND(ksgFrustumParam)
KSG_STATE_PARAM_KIND(ksgOrthoParam)
KSG_STATE_PARAM_KIND(ksgScissorParam)
KSG_STATE_PARAM_KIND(ksgStencilOpParam)
KSG_STATE_PARAM_KIND(ksgStencilFuncParam)
KSG_STATE_PARAM_KIND(ksgViewportParam)

#undef KSG_STATE_PARAM_KIND

// The fog, light and material kinds push their attribute group only when
// they have an object to set: pop it only if apply() pushed it.
static void popPushedAttrib(bool& pushed) {
  if (pushed) glPopAttrib();
  pushed = false;
}

// --- alpha, blend -----------------------------------------------------------

void ksgAlphaParam::apply() const {
  glGetIntegerv(GL_ALPHA_TEST_FUNC, &previousComp);
  glGetFloatv(GL_ALPHA_TEST_REF, &previousRef);
  glAlphaFunc(comp, ref);
}

void ksgAlphaParam::restore() const { glAlphaFunc(GLenum(previousComp), previousRef); }

void ksgBlendParam::apply() const {
  glGetIntegerv(GL_BLEND_SRC, &previousSource);
  glGetIntegerv(GL_BLEND_DST, &previousDest);
  glBlendFunc(source, dest);
}

void ksgBlendParam::restore() const { glBlendFunc(GLenum(previousSource), GLenum(previousDest)); }

// --- colour -----------------------------------------------------------------

ksgColorParam::ksgColorParam(const float* colour, bool withAlpha) : withAlpha(withAlpha) {
  setColor(colour);
}

ksgColorParam::ksgColorParam(const ksgColorParam& other) : ksgStateParam(other) {
  *this = other;
}

ksgColorParam& ksgColorParam::operator=(const ksgColorParam& other) {
  // The other's flag first: it decides how many components are copied.
  withAlpha = other.withAlpha;
  std::memcpy(color, other.color, sizeof(float) * components());
  return *this;
}

void ksgColorParam::setColor(const float* c) { std::memcpy(color, c, sizeof(float) * components()); }

void ksgColorParam::getColor(float* c) const { std::memcpy(c, color, sizeof(float) * components()); }

bool ksgColorParam::operator==(const ksgColorParam& o) const {
  return std::memcmp(color, o.color, sizeof(float) * components()) == 0;
}

void ksgColorParam::apply() const {
  glGetFloatv(GL_CURRENT_COLOR, previous);
  if (withAlpha)
    glColor4fv(color);
  else
    glColor3fv(color);
}

// All four saved components go back: glColor3fv would set alpha to 1 and
// lose the alpha that was current before apply().
void ksgColorParam::restore() const { glColor4fv(previous); }

void ksgColorMaterialParam::apply() const {
  glGetIntegerv(GL_COLOR_MATERIAL_FACE, &previousFace);
  glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &previousComp);
  glColorMaterial(face, comp);
}

void ksgColorMaterialParam::restore() const {
  glColorMaterial(GLenum(previousFace), GLenum(previousComp));
}

// --- faces, depth -----------------------------------------------------------

void ksgFrontFaceParam::apply() const {
  glGetIntegerv(GL_FRONT_FACE, &previous);
  glFrontFace(face);
}

void ksgFrontFaceParam::restore() const { glFrontFace(GLenum(previous)); }

void ksgCullParam::apply() const {
  glGetIntegerv(GL_CULL_FACE_MODE, &previous);
  glCullFace(mode);
}

void ksgCullParam::restore() const { glCullFace(GLenum(previous)); }

void ksgDepthTestParam::apply() const {
  glGetIntegerv(GL_DEPTH_FUNC, &previous);
  glDepthFunc(op);
}

void ksgDepthTestParam::restore() const { glDepthFunc(GLenum(previous)); }

void ksgDepthRangeParam::apply() const {
  glGetDoublev(GL_DEPTH_RANGE, previous);
  glDepthRange(nearValue, farValue);
}

void ksgDepthRangeParam::restore() const { glDepthRange(previous[0], previous[1]); }

// --- fog, hint, lighting ----------------------------------------------------

void ksgFogParam::apply() const {
  pushed = fog != nullptr;
  if (!pushed) return;
  glPushAttrib(GL_FOG_BIT);
  fog->set();
}

void ksgFogParam::restore() const { popPushedAttrib(pushed); }

void ksgHintParam::apply() const {
  appliedTarget = target;
  glGetIntegerv(appliedTarget, &previous);
  glHint(appliedTarget, mode);
}

void ksgHintParam::restore() const { glHint(appliedTarget, GLenum(previous)); }

void ksgLightModelParam::setAmbient(const float* c) { std::memcpy(ambient, c, sizeof ambient); }

bool ksgLightModelParam::operator==(const ksgLightModelParam& o) const {
  return twoSided == o.twoSided && localViewer == o.localViewer &&
         std::memcmp(ambient, o.ambient, sizeof ambient) == 0;
}

void ksgLightModelParam::apply() const {
  GLint value = 0;
  glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &value);
  previousTwoSided = value != 0;
  glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &value);
  previousLocalViewer = value != 0;
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, previousAmbient);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? 1 : 0);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer ? 1 : 0);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

void ksgLightModelParam::restore() const {
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, previousTwoSided ? 1 : 0);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, previousLocalViewer ? 1 : 0);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, previousAmbient);
}

void ksgLightParam::apply() const {
  pushed = light != nullptr;
  if (!pushed) return;
  glPushAttrib(GL_LIGHTING_BIT);
  light->set(id);
}

void ksgLightParam::restore() const { popPushedAttrib(pushed); }

void ksgMaterialParam::apply() const {
  pushed = material != nullptr;
  if (!pushed) return;
  glPushAttrib(GL_LIGHTING_BIT);
  material->set();
}

void ksgMaterialParam::restore() const { popPushedAttrib(pushed); }

// --- matrix mode, shading, polygons -----------------------------------------

void ksgMatrixModeParam::apply() const {
  glGetIntegerv(GL_MATRIX_MODE, &previous);
  glMatrixMode(mode);
}

void ksgMatrixModeParam::restore() const { glMatrixMode(GLenum(previous)); }

void ksgShadeModelParam::apply() const {
  glGetIntegerv(GL_SHADE_MODEL, &previous);
  glShadeModel(mode);
}

void ksgShadeModelParam::restore() const { glShadeModel(GLenum(previous)); }

void ksgPolygonOffsetParam::apply() const {
  glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &previousFactor);
  glGetFloatv(GL_POLYGON_OFFSET_UNITS, &previousUnits);
  glPolygonOffset(factor, units);
}

void ksgPolygonOffsetParam::restore() const { glPolygonOffset(previousFactor, previousUnits); }

void ksgPolygonModeParam::apply() const {
  glPushAttrib(GL_POLYGON_BIT);
  glPolygonMode(face, mode);
}

void ksgPolygonModeParam::restore() const { glPopAttrib(); }

// --- projections ------------------------------------------------------------

void ksgPerspectiveParam::apply() const {
  glPushMatrix();
  gluPerspective(fov, aspect, nearPlane, farPlane);
}

void ksgPerspectiveParam::restore() const { glPopMatrix(); }

void ksgFrustumParam::apply() const {
  glPushMatrix();
  glFrustum(left, right, bottom, top, nearPlane, farPlane);
}

void ksgFrustumParam::restore() const { glPopMatrix(); }

void ksgOrthoParam::apply() const {
  glPushMatrix();
  glOrtho(left, right, bottom, top, nearPlane, farPlane);
}

void ksgOrthoParam::restore() const { glPopMatrix(); }

// --- scissor, stencil, viewport ---------------------------------------------

void ksgScissorParam::apply() const {
  glGetIntegerv(GL_SCISSOR_BOX, previous);
  glScissor(x, y, width, height);
}

void ksgScissorParam::restore() const { glScissor(previous[0], previous[1], previous[2], previous[3]); }

void ksgStencilOpParam::apply() const {
  glGetIntegerv(GL_STENCIL_FAIL, &previous[0]);
  glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &previous[1]);
  glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &previous[2]);
  glStencilOp(fail, depthFail, depthPass);
}

void ksgStencilOpParam::restore() const {
  glStencilOp(GLenum(previous[0]), GLenum(previous[1]), GLenum(previous[2]));
}

void ksgStencilFuncParam::apply() const {
  glGetIntegerv(GL_STENCIL_FUNC, &previous[0]);
  glGetIntegerv(GL_STENCIL_REF, &previous[1]);
  glGetIntegerv(GL_STENCIL_VALUE_MASK, &previous[2]);
  glStencilFunc(func, ref, mask);
}

void ksgStencilFuncParam::restore() const {
  glStencilFunc(GLenum(previous[0]), previous[1], GLuint(previous[2]));
}

void ksgViewportParam::apply() const {
  glGetIntegerv(GL_VIEWPORT, previous);
  glViewport(x, y, width, height);
}

void ksgViewportParam::restore() const { glViewport(previous[0], previous[1], previous[2], previous[3]); }
