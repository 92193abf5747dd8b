#include "ksgViewportState.h"

#include <GL/gl.h>

#include "kmlMath.h"
#include "ksgStateParam.h"

namespace {

// Aspect of a window; a window without height (hidden or minimised canvas)
// gets a fixed wide aspect instead of a division by zero.
float aspectOf(int width, int height) {
  return height <= 0 ? 180.0f : float(width) / float(height);
}

}  // namespace

ksgViewportState::ksgViewportState()
  : viewportParam(new ksgViewportParam()),
    perspective(new ksgPerspectiveParam()),
    frustum(new ksgFrustumParam()),
    ortho(new ksgOrthoParam()) {
  addParam(viewportParam);
  addParam(new ksgMatrixModeParam(GL_PROJECTION));
  addParam(perspective);
  addParam(new ksgMatrixModeParam(GL_MODELVIEW));
}

ksgViewportState::~ksgViewportState() {
  // An applied state refuses remParam; put OpenGL back first.
  restore();
  // Out of the list first, so that the base does not free it a second time.
  remParam(projection(projMode));
  delete perspective;
  delete frustum;
  delete ortho;
}

ksgStateParam* ksgViewportState::projection(ProjMode mode) const {
  switch (mode) {
    case FRUSTUM: return frustum;
    case ORTHO: return ortho;
    default: return perspective;
  }
}

void ksgViewportState::setProjMode(ProjMode mode) {
  if (isApplied() || mode == projMode) return;
  if (mode != PERSPECTIVE && mode != FRUSTUM && mode != ORTHO) return;
  replaceParam(projection(projMode), projection(mode));
  projMode = mode;
}

void ksgViewportState::setPlanes(float nearPlane, float farPlane) {
  perspective->setPlanes(nearPlane, farPlane);
  frustum->setPlanes(nearPlane, farPlane);
  ortho->setPlanes(nearPlane, farPlane);
}

void ksgViewportState::getPlanes(float& nearPlane, float& farPlane) const {
  perspective->getPlanes(nearPlane, farPlane);
}

void ksgViewportState::setBounds(float left, float right, float bottom, float top) {
  frustum->setBounds(left, right, bottom, top);
  ortho->setBounds(left, right, bottom, top);
}

void ksgViewportState::getBounds(float& left, float& right, float& bottom, float& top) const {
  frustum->getBounds(left, right, bottom, top);
}

void ksgViewportState::setFov(float degrees) { perspective->setFov(degrees); }

float ksgViewportState::getFov() const { return perspective->getFov(); }

void ksgViewportState::setWindow(int x, int y, int width, int height) {
  viewportParam->setWindow(x, y, width, height);
  perspective->setAspect(aspectOf(width, height));
}

void ksgViewportState::getWindow(int& x, int& y, int& width, int& height) const {
  viewportParam->getWindow(x, y, width, height);
}

float ksgViewportState::getAspect() const {
  int x, y, w, h;
  getWindow(x, y, w, h);
  return aspectOf(w, h);
}

void ksgViewportState::getNormalizedCoords(int px, int py, float& nx, float& ny) const {
  int x, y, w, h;
  getWindow(x, y, w, h);
  // Integers first, then the float halves; y is flipped because the mouse
  // counts from the top and OpenGL from the bottom.
  const float halfW = w / 2.0f, halfH = h / 2.0f;
  nx = w > 0 ? (float(px - x) - halfW) / halfW : 0.0f;
  ny = h > 0 ? (float(h - py - y) - halfH) / halfH : 0.0f;
}

kmlVec3 ksgViewportState::get3DPoint(float nx, float ny, float depth) const {
  if (depth <= 0.0f) {
    float farPlane;
    getPlanes(depth, farPlane);
  }
  switch (projMode) {
    case PERSPECTIVE: {
      const float t = kml::Tand(getFov() / 2.0f) * depth;
      return kmlVec3(nx * t * getAspect(), ny * t, -depth);
    }
    case ORTHO: {
      float l, r, b, t;
      ortho->getBounds(l, r, b, t);
      return kmlVec3((nx + 1.0f) * (r - l) / 2.0f + l, (ny + 1.0f) * (t - b) / 2.0f + b, -depth);
    }
    default:
      // The frustum's bounds are fixed at the near plane; no point is given.
      return kmlVec3();
  }
}
