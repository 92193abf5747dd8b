#include "ksgView.h"

#include <GL/gl.h>

#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"
#include "ksgTransformMath.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"

ksgView::ksgView(ksgVisualState& vs) : visualState(&vs) { ksgView::init(); }

ksgView::~ksgView() {
  if (!viewport) return;
  // Lights cannot leave an applied state; put OpenGL back first.
  viewport->restore();
  for (ksgLightParam*& light : lights) {
    if (!light) continue;
    viewport->remParam(light);
    delete light;
    light = nullptr;
  }
  visualState->removeViewport(viewportId);
}

void ksgView::init() {
  // A second init keeps the registration (and the lights in it).
  if (!viewport) {
    viewportId = visualState->addViewport();
    viewport = visualState->getViewport(viewportId);
  }
  viewport->setPlanes(0.1f, 100.0f);
  viewport->setFov(56.0f);
  viewport->setBounds(-1.0f, 1.0f, -1.0f, 1.0f);
  viewport->setWindow(0, 0, 640, 480);
  viewport->setProjMode(ksgViewportState::PERSPECTIVE);
}

void ksgView::render(ksgScene* scene) {
  visualState->clearBuffers();
  if (!viewport || !viewpoint || !scene) return;
  visualState->setViewport(viewportId);
  viewpoint->render(*visualState, scene);
  visualState->restoreViewport(viewportId);
}

void ksgView::reshape(int x, int y, int width, int height) {
  if (!viewport) return;
  viewport->setWindow(x, y, width, height);
  updateOrtho();
}

void ksgView::updateOrtho() {
  if (!viewport || !viewpoint) return;
  const float aspect = viewport->getAspect();
  // A window without width has no aspect to size the bounds by.
  if (!(aspect > 0.0f)) return;
  // Half-width 0.66 of the camera distance; the height follows the aspect.
  const float a = viewpoint->getDistanceToBase() * 0.66f;
  const float k = 1.0f / aspect;
  viewport->setBounds(-a, a, -a * k, a * k);
}

void ksgView::pick(ksgScene* scene, int x, int y, HitList& hits, int selection) {
  if (!viewport || !scene || !viewpoint) return;
  float nx, ny;
  viewport->getNormalizedCoords(x, y, nx, ny);
  const kmlMatrix4 m = viewpoint->getMatrix();
  kmlVec4 origin, direction;
  switch (viewport->getProjMode()) {
    case ksgViewportState::ORTHO:
      origin = m * kmlVec4(viewport->get3DPoint(nx, ny, 0.0f), 1.0f);
      direction = kmlVec4(0.0f, 0.0f, -1.0f, 0.0f);
      break;
    case ksgViewportState::PERSPECTIVE:
      origin = kmlVec4(m.getColumn(3));
      direction = kmlVec4(viewport->get3DPoint(nx, ny, -1.0f), 0.0f);
      break;
    default:
      // No ray in frustum mode.
      return;
  }
  direction = m * direction;

  for (ksgTransform* root : scene->getRoots()) root->pick(origin, direction, hits);
  if (hits.empty() || selection == ALL) return;

  // Squared distances over all four components; the first of equals wins.
  const bool farthest = selection == FARTHEST;
  float best = farthest ? 1.17549435e-38f : 3.40282347e+38f;
  const HitList::value_type* kept = nullptr;
  for (const auto& hit : hits) {
    const float d = (hit.first - origin).norm2();
    if (farthest ? d > best : d < best) {
      best = d;
      kept = &hit;
    }
  }
  if (!kept) {
    hits.clear();
    return;
  }
  const HitList::value_type keep = *kept;
  hits.clear();
  hits.push_back(keep);
}

bool ksgView::lightsEditable(int index) const {
  return viewport && index >= 0 && index < MAX_LIGHTS && !viewport->isApplied();
}

void ksgView::setLight(int index, kgcLight* light) {
  if (!lightsEditable(index)) return;
  if (lights[index]) {
    lights[index]->setLight(light);
    return;
  }
  const unsigned id = GL_LIGHT0 + unsigned(index);
  lights[index] = new ksgLightParam(id, light);
  viewport->setMode(id, true);
  viewport->addParam(lights[index]);
}

void ksgView::removeLight(int index) {
  if (!lightsEditable(index) || !lights[index]) return;
  const unsigned id = GL_LIGHT0 + unsigned(index);
  viewport->setMode(id, false);
  viewport->remParam(lights[index]);
  delete lights[index];
  lights[index] = nullptr;
}
