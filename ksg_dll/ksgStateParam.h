// Render-state parameters: one piece of fixed-function OpenGL state each,
// packaged so that it can set itself and later put back exactly what it
// replaced.
//
// A parameter is applied and restored in pairs, normally by the ksgState
// that owns it. apply() first saves the OpenGL values it is about to change
// (or pushes the attribute group / matrix), then sets its own values;
// restore() puts back the saved values (or pops). The value fields may be
// changed between apply() and restore(): the change takes effect at the next
// apply(), restore() still undoes what was applied.
//
// Copies (copy constructor, assignment, clone) copy the value fields; what a
// copy has saved is meaningless until its own next apply().
#pragma once

#include <GL/gl.h>

#include "kutObject.h"

class kgcFog;
class kgcLight;
class kgcMaterial;

// Base of every parameter kind. Its apply() and restore() do nothing.
class ksgStateParam : public kutObject {
public:
  static const kutRtti RTTI;

  ksgStateParam() = default;
  ksgStateParam(const ksgStateParam& other) : kutObject(other) {}
  // The reference count belongs to the object and its holders: assignment
  // copies nothing of the base.
  ksgStateParam& operator=(const ksgStateParam&) { return *this; }
  ~ksgStateParam() override = default;

  const kutRtti* getRtti() const override;

  // Saves the OpenGL state about to change, then sets this parameter's values.
  virtual void apply() const {}
  // Puts back what the last apply() changed.
  virtual void restore() const {}
  // A new parameter of the same kind with the same values; the caller owns
  // it. Null when memory runs out.
  virtual ksgStateParam* clone() const;

  // Two plain base parameters are always alike.
  bool operator==(const ksgStateParam&) const { return true; }
  bool operator!=(const ksgStateParam&) const { return false; }
};

// glAlphaFunc(comparison, reference).
class ksgAlphaParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgAlphaParam() = default;
  ksgAlphaParam(unsigned comp, float ref) : comp(comp), ref(ref) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setComp(unsigned c) { comp = c; }
  unsigned getComp() const { return comp; }
  void setRef(float r) { ref = r; }
  float getRef() const { return ref; }

  bool operator==(const ksgAlphaParam& o) const { return comp == o.comp && ref == o.ref; }
  bool operator!=(const ksgAlphaParam& o) const { return !(*this == o); }

private:
  unsigned comp = GL_ALWAYS;
  float ref = 1.0f;
  mutable GLint previousComp = GL_ALWAYS;
  mutable GLfloat previousRef = 0.0f;
};

// glBlendFunc(source, dest).
class ksgBlendParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgBlendParam() = default;
  ksgBlendParam(unsigned source, unsigned dest) : source(source), dest(dest) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setSource(unsigned s) { source = s; }
  unsigned getSource() const { return source; }
  void setDest(unsigned d) { dest = d; }
  unsigned getDest() const { return dest; }

  bool operator==(const ksgBlendParam& o) const { return source == o.source && dest == o.dest; }
  bool operator!=(const ksgBlendParam& o) const { return !(*this == o); }

private:
  unsigned source = GL_ONE;
  unsigned dest = GL_ZERO;
  mutable GLint previousSource = GL_ONE;
  mutable GLint previousDest = GL_ZERO;
};

// The current colour. With the alpha flag false only red, green and blue
// take part in setColor, getColor, copying and comparison, and apply sets
// the colour from those three, which makes the current alpha 1; restore
// always puts back all four saved components, the previous alpha included.
class ksgColorParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgColorParam() = default;
  // Reads 4 floats from colour when withAlpha, else 3.
  ksgColorParam(const float* colour, bool withAlpha);
  ksgColorParam(const ksgColorParam& other);
  ksgColorParam& operator=(const ksgColorParam& other);

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  // Copies 4 floats in or out with alpha, 3 without: size the array for 4.
  void setColor(const float* c);
  void getColor(float* c) const;

  // Compares as many components as this parameter's flag says, bytewise.
  bool operator==(const ksgColorParam& o) const;
  bool operator!=(const ksgColorParam& o) const { return !(*this == o); }

private:
  int components() const { return withAlpha ? 4 : 3; }

  bool withAlpha = true;
  float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  mutable GLfloat previous[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// glColorMaterial(face, component).
class ksgColorMaterialParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgColorMaterialParam() = default;
  ksgColorMaterialParam(unsigned face, unsigned comp) : face(face), comp(comp) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFace(unsigned f) { face = f; }
  unsigned getFace() const { return face; }
  void setComp(unsigned c) { comp = c; }
  unsigned getComp() const { return comp; }

  bool operator==(const ksgColorMaterialParam& o) const { return face == o.face && comp == o.comp; }
  bool operator!=(const ksgColorMaterialParam& o) const { return !(*this == o); }

private:
  unsigned face = GL_FRONT_AND_BACK;
  unsigned comp = GL_AMBIENT_AND_DIFFUSE;
  mutable GLint previousFace = GL_FRONT_AND_BACK;
  mutable GLint previousComp = GL_AMBIENT_AND_DIFFUSE;
};

// glFrontFace(winding).
class ksgFrontFaceParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgFrontFaceParam() = default;
  explicit ksgFrontFaceParam(unsigned face) : face(face) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFace(unsigned f) { face = f; }
  unsigned getFace() const { return face; }

  bool operator==(const ksgFrontFaceParam& o) const { return face == o.face; }
  bool operator!=(const ksgFrontFaceParam& o) const { return !(*this == o); }

private:
  unsigned face = GL_CCW;
  mutable GLint previous = GL_CCW;
};

// glCullFace(face): which faces culling removes (the switch is the state's
// GL_CULL_FACE mode).
class ksgCullParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgCullParam() = default;
  explicit ksgCullParam(unsigned mode) : mode(mode) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setMode(unsigned m) { mode = m; }
  unsigned getMode() const { return mode; }

  bool operator==(const ksgCullParam& o) const { return mode == o.mode; }
  bool operator!=(const ksgCullParam& o) const { return !(*this == o); }

private:
  unsigned mode = GL_BACK;
  mutable GLint previous = GL_BACK;
};

// glDepthFunc(op).
class ksgDepthTestParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgDepthTestParam() = default;
  explicit ksgDepthTestParam(unsigned op) : op(op) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setOp(unsigned o) { op = o; }
  unsigned getOp() const { return op; }

  bool operator==(const ksgDepthTestParam& o) const { return op == o.op; }
  bool operator!=(const ksgDepthTestParam& o) const { return !(*this == o); }

private:
  unsigned op = GL_ALWAYS;
  mutable GLint previous = GL_LESS;
};

// glDepthRange(near, far). Kept as doubles, the precision OpenGL takes;
// set and read as floats.
class ksgDepthRangeParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgDepthRangeParam() = default;
  ksgDepthRangeParam(float nearValue, float farValue) : nearValue(nearValue), farValue(farValue) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setRange(float n, float f) { nearValue = n; farValue = f; }
  void getRange(float& n, float& f) const { n = float(nearValue); f = float(farValue); }

  bool operator==(const ksgDepthRangeParam& o) const {
    return nearValue == o.nearValue && farValue == o.farValue;
  }
  bool operator!=(const ksgDepthRangeParam& o) const { return !(*this == o); }

private:
  double nearValue = 0.0;
  double farValue = 1.0;
  mutable GLdouble previous[2] = {0.0, 1.0};
};

// A fog (not owned). Applying pushes GL_FOG_BIT and lets the fog issue its
// calls; restoring pops. Without a fog neither happens. Fog itself is
// switched on by the state's GL_FOG mode.
class ksgFogParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgFogParam() = default;
  explicit ksgFogParam(kgcFog* fog) : fog(fog) {}
  ksgFogParam(const ksgFogParam& o) : ksgStateParam(o), fog(o.fog) {}
  ksgFogParam& operator=(const ksgFogParam& o) { fog = o.fog; return *this; }

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFog(kgcFog* f) { fog = f; }
  kgcFog* getFog() const { return fog; }

  bool operator==(const ksgFogParam& o) const { return fog == o.fog; }
  bool operator!=(const ksgFogParam& o) const { return !(*this == o); }

private:
  kgcFog* fog = nullptr;
  // Whether the last apply() pushed, so that restore() pops exactly that
  // even when the fog was set or cleared in between.
  mutable bool pushed = false;
};

// glHint(target, mode). There is no default: a hint needs its target, which
// is also the query that reads the previous mode.
class ksgHintParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgHintParam(unsigned target, unsigned mode) : target(target), mode(mode) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setTarget(unsigned t) { target = t; }
  unsigned getTarget() const { return target; }
  void setMode(unsigned m) { mode = m; }
  unsigned getMode() const { return mode; }

  bool operator==(const ksgHintParam& o) const { return target == o.target && mode == o.mode; }
  bool operator!=(const ksgHintParam& o) const { return !(*this == o); }

private:
  unsigned target;
  unsigned mode;
  // The target applied, so that a target changed before restore() does not
  // send the saved mode to the wrong hint.
  mutable unsigned appliedTarget = 0;
  mutable GLint previous = GL_DONT_CARE;
};

// The light model: two-sided lighting, local viewer and the global ambient
// colour, set in that order.
class ksgLightModelParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgLightModelParam() = default;

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setTwoSided(bool on) { twoSided = on; }
  void setLocalViewer(bool on) { localViewer = on; }
  // Reads 4 floats.
  void setAmbient(const float* c);

  bool operator==(const ksgLightModelParam& o) const;
  bool operator!=(const ksgLightModelParam& o) const { return !(*this == o); }

private:
  bool twoSided = false;
  bool localViewer = false;
  // The alpha 0.1 is the library's default, not OpenGL's 1.0.
  float ambient[4] = {0.2f, 0.2f, 0.2f, 0.1f};
  mutable bool previousTwoSided = false;
  mutable bool previousLocalViewer = false;
  mutable GLfloat previousAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
};

// A light (not owned) placed as OpenGL light `id`. Applying pushes
// GL_LIGHTING_BIT and lets the light issue its calls (which enable the
// light); restoring pops. Without a light neither happens. The light's
// position is transformed by the model-view matrix current at apply().
class ksgLightParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgLightParam() = default;
  ksgLightParam(unsigned id, kgcLight* light) : id(id), light(light) {}
  ksgLightParam(const ksgLightParam& o) : ksgStateParam(o), id(o.id), light(o.light) {}
  ksgLightParam& operator=(const ksgLightParam& o) { id = o.id; light = o.light; return *this; }

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setId(unsigned i) { id = i; }
  unsigned getId() const { return id; }
  void setLight(kgcLight* l) { light = l; }
  kgcLight* getLight() const { return light; }

  bool operator==(const ksgLightParam& o) const { return id == o.id && light == o.light; }
  bool operator!=(const ksgLightParam& o) const { return !(*this == o); }

private:
  unsigned id = GL_LIGHT0;
  kgcLight* light = nullptr;
  mutable bool pushed = false;
};

// A material (not owned). Applying pushes GL_LIGHTING_BIT and lets the
// material issue its calls; restoring pops. Without a material neither
// happens.
class ksgMaterialParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgMaterialParam() = default;
  explicit ksgMaterialParam(kgcMaterial* material) : material(material) {}
  ksgMaterialParam(const ksgMaterialParam& o) : ksgStateParam(o), material(o.material) {}
  ksgMaterialParam& operator=(const ksgMaterialParam& o) { material = o.material; return *this; }

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setMaterial(kgcMaterial* m) { material = m; }
  kgcMaterial* getMaterial() const { return material; }

  bool operator==(const ksgMaterialParam& o) const { return material == o.material; }
  bool operator!=(const ksgMaterialParam& o) const { return !(*this == o); }

private:
  kgcMaterial* material = nullptr;
  mutable bool pushed = false;
};

// glMatrixMode(mode).
class ksgMatrixModeParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgMatrixModeParam() = default;
  explicit ksgMatrixModeParam(unsigned mode) : mode(mode) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setMode(unsigned m) { mode = m; }
  unsigned getMode() const { return mode; }

  bool operator==(const ksgMatrixModeParam& o) const { return mode == o.mode; }
  bool operator!=(const ksgMatrixModeParam& o) const { return !(*this == o); }

private:
  unsigned mode = GL_MODELVIEW;
  mutable GLint previous = GL_MODELVIEW;
};

// glShadeModel(mode).
class ksgShadeModelParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgShadeModelParam() = default;
  explicit ksgShadeModelParam(unsigned mode) : mode(mode) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setMode(unsigned m) { mode = m; }
  unsigned getMode() const { return mode; }

  bool operator==(const ksgShadeModelParam& o) const { return mode == o.mode; }
  bool operator!=(const ksgShadeModelParam& o) const { return !(*this == o); }

private:
  unsigned mode = GL_SMOOTH;
  mutable GLint previous = GL_SMOOTH;
};

// glPolygonOffset(factor, units). Offsetting itself is switched on by the
// state's GL_POLYGON_OFFSET_FILL (or _LINE, _POINT) mode. This kind has no
// comparison operators: compare its fields.
class ksgPolygonOffsetParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgPolygonOffsetParam() = default;
  ksgPolygonOffsetParam(float factor, float units) : factor(factor), units(units) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFactor(float f) { factor = f; }
  float getFactor() const { return factor; }
  void setUnits(float u) { units = u; }
  float getUnits() const { return units; }

private:
  float factor = 0.0f;
  float units = 0.0f;
  mutable GLfloat previousFactor = 0.0f;
  mutable GLfloat previousUnits = 0.0f;
};

// glPolygonMode(face, mode), saved by pushing GL_POLYGON_BIT.
class ksgPolygonModeParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgPolygonModeParam() = default;
  ksgPolygonModeParam(unsigned face, unsigned mode) : face(face), mode(mode) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFace(unsigned f) { face = f; }
  unsigned getFace() const { return face; }
  void setMode(unsigned m) { mode = m; }
  unsigned getMode() const { return mode; }

  bool operator==(const ksgPolygonModeParam& o) const { return face == o.face && mode == o.mode; }
  bool operator!=(const ksgPolygonModeParam& o) const { return !(*this == o); }

private:
  unsigned face = GL_FRONT;
  unsigned mode = GL_FILL;
};

// The projection kinds push the current matrix of the current matrix mode
// and multiply their projection onto it; restore pops. They neither load the
// identity nor choose the matrix mode: the state holding them selects
// GL_PROJECTION before them and GL_MODELVIEW after them.

// gluPerspective(fov in degrees, aspect, near, far).
class ksgPerspectiveParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgPerspectiveParam() = default;
  ksgPerspectiveParam(float fov, float aspect, float nearPlane, float farPlane)
    : fov(fov), aspect(aspect), nearPlane(nearPlane), farPlane(farPlane) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFov(float degrees) { fov = degrees; }
  float getFov() const { return fov; }
  void setAspect(float a) { aspect = a; }
  float getAspect() const { return aspect; }
  void setPlanes(float n, float f) { nearPlane = n; farPlane = f; }
  void getPlanes(float& n, float& f) const { n = nearPlane; f = farPlane; }

  bool operator==(const ksgPerspectiveParam& o) const {
    return fov == o.fov && aspect == o.aspect && nearPlane == o.nearPlane && farPlane == o.farPlane;
  }
  bool operator!=(const ksgPerspectiveParam& o) const { return !(*this == o); }

private:
  float fov = 56.0f;
  float aspect = 1.33f;
  float nearPlane = 1.0f;
  float farPlane = 100.0f;
};

// Shared values of the two box projections.
class ksgBoxProjection {
public:
  ksgBoxProjection(float l, float r, float b, float t, float n, float f)
    : left(l), right(r), bottom(b), top(t), nearPlane(n), farPlane(f) {}

  void setBounds(float l, float r, float b, float t) { left = l; right = r; bottom = b; top = t; }
  void getBounds(float& l, float& r, float& b, float& t) const { l = left; r = right; b = bottom; t = top; }
  void setPlanes(float n, float f) { nearPlane = n; farPlane = f; }
  void getPlanes(float& n, float& f) const { n = nearPlane; f = farPlane; }

protected:
  bool sameBox(const ksgBoxProjection& o) const {
    return left == o.left && right == o.right && bottom == o.bottom && top == o.top &&
           nearPlane == o.nearPlane && farPlane == o.farPlane;
  }

  float left, right, bottom, top, nearPlane, farPlane;
};

// glFrustum(left, right, bottom, top, near, far).
class ksgFrustumParam : public ksgStateParam, public ksgBoxProjection {
public:
  static const kutRtti RTTI;
  ksgFrustumParam() : ksgBoxProjection(-1.0f, 1.0f, -1.0f, 1.0f, 1.0f, 100.0f) {}
  ksgFrustumParam(float l, float r, float b, float t, float n, float f)
    : ksgBoxProjection(l, r, b, t, n, f) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  bool operator==(const ksgFrustumParam& o) const { return sameBox(o); }
  bool operator!=(const ksgFrustumParam& o) const { return !(*this == o); }
};

// glOrtho(left, right, bottom, top, near, far).
class ksgOrthoParam : public ksgStateParam, public ksgBoxProjection {
public:
  static const kutRtti RTTI;
  ksgOrthoParam() : ksgBoxProjection(-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f) {}
  ksgOrthoParam(float l, float r, float b, float t, float n, float f)
    : ksgBoxProjection(l, r, b, t, n, f) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  bool operator==(const ksgOrthoParam& o) const { return sameBox(o); }
  bool operator!=(const ksgOrthoParam& o) const { return !(*this == o); }
};

// Shared values of the two window rectangles, in pixels from the bottom-left
// corner of the drawable.
class ksgWindowRect {
public:
  ksgWindowRect() = default;
  ksgWindowRect(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}

  void setWindow(int wx, int wy, int w, int h) { x = wx; y = wy; width = w; height = h; }
  void getWindow(int& wx, int& wy, int& w, int& h) const { wx = x; wy = y; w = width; h = height; }

protected:
  bool sameRect(const ksgWindowRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }

  int x = 0, y = 0, width = 0, height = 0;
  mutable GLint previous[4] = {0, 0, 0, 0};
};

// glScissor(x, y, width, height). The test itself is the state's
// GL_SCISSOR_TEST mode.
class ksgScissorParam : public ksgStateParam, public ksgWindowRect {
public:
  static const kutRtti RTTI;
  ksgScissorParam() = default;
  ksgScissorParam(int x, int y, int width, int height) : ksgWindowRect(x, y, width, height) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  bool operator==(const ksgScissorParam& o) const { return sameRect(o); }
  bool operator!=(const ksgScissorParam& o) const { return !(*this == o); }
};

// glStencilOp(fail, depth-fail, depth-pass).
class ksgStencilOpParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgStencilOpParam() = default;
  ksgStencilOpParam(unsigned fail, unsigned depthFail, unsigned depthPass)
    : fail(fail), depthFail(depthFail), depthPass(depthPass) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setOperations(unsigned f, unsigned df, unsigned dp) { fail = f; depthFail = df; depthPass = dp; }
  void getOperations(unsigned& f, unsigned& df, unsigned& dp) const { f = fail; df = depthFail; dp = depthPass; }

  bool operator==(const ksgStencilOpParam& o) const {
    return fail == o.fail && depthFail == o.depthFail && depthPass == o.depthPass;
  }
  bool operator!=(const ksgStencilOpParam& o) const { return !(*this == o); }

private:
  unsigned fail = GL_KEEP;
  unsigned depthFail = GL_KEEP;
  unsigned depthPass = GL_KEEP;
  mutable GLint previous[3] = {GL_KEEP, GL_KEEP, GL_KEEP};
};

// glStencilFunc(func, ref, mask). The default mask is 0, not all ones: a
// default parameter compares nothing.
class ksgStencilFuncParam : public ksgStateParam {
public:
  static const kutRtti RTTI;
  ksgStencilFuncParam() = default;
  ksgStencilFuncParam(unsigned func, int ref, unsigned mask) : func(func), ref(ref), mask(mask) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  void setFunc(unsigned f) { func = f; }
  unsigned getFunc() const { return func; }
  void setRef(int r) { ref = r; }
  int getRef() const { return ref; }
  void setMask(unsigned m) { mask = m; }
  unsigned getMask() const { return mask; }

  bool operator==(const ksgStencilFuncParam& o) const {
    return func == o.func && ref == o.ref && mask == o.mask;
  }
  bool operator!=(const ksgStencilFuncParam& o) const { return !(*this == o); }

private:
  unsigned func = GL_ALWAYS;
  int ref = 0;
  unsigned mask = 0;
  mutable GLint previous[3] = {GL_ALWAYS, 0, -1};
};

// glViewport(x, y, width, height).
class ksgViewportParam : public ksgStateParam, public ksgWindowRect {
public:
  static const kutRtti RTTI;
  ksgViewportParam() = default;
  ksgViewportParam(int x, int y, int width, int height) : ksgWindowRect(x, y, width, height) {}

  const kutRtti* getRtti() const override;
  void apply() const override;
  void restore() const override;
  ksgStateParam* clone() const override;

  bool operator==(const ksgViewportParam& o) const { return sameRect(o); }
  bool operator!=(const ksgViewportParam& o) const { return !(*this == o); }
};
