#include "ksgVisualState.h"

#include <GL/gl.h>

#include <iostream>

#include "kmlMatrix4.h"
#include "ksgViewportState.h"

ksgVisualState::~ksgVisualState() {
  popAllStates();
  initial.restore();
  std::cerr << "Remaining ViewportStates: " << viewports.size() << std::endl;
  // The visual state owns them: those whose view did not remove them would
  // otherwise leak.
  for (auto& [id, viewport] : viewports) delete viewport;
}

void ksgVisualState::init() { initial.apply(); }

void ksgVisualState::clearBuffers() const { glClear(initial.getClearBuffers()); }

void ksgVisualState::pushMatrix() { glPushMatrix(); }

void ksgVisualState::popMatrix() { glPopMatrix(); }

void ksgVisualState::multMatrix(const kmlMatrix4& m) {
  const float* entries = m;
  glMultMatrixf(entries);
}

bool ksgVisualState::pushState(ksgState* state) {
  if (!state) return false;
  state->apply();
  states.push_back(state);
  return true;
}

bool ksgVisualState::popState() {
  if (states.empty()) return false;
  states.back()->restore();
  states.pop_back();
  return true;
}

void ksgVisualState::popAllStates() {
  while (popState()) {
  }
}

int ksgVisualState::addViewport() {
  const int id = viewportIds.newId();
  viewports[id] = new ksgViewportState();
  return id;
}

void ksgVisualState::removeViewport(int id) {
  auto it = viewports.find(id);
  if (it == viewports.end()) return;
  // A viewport state still on the stack would be restored after deletion.
  for (size_t i = 0; i < states.size(); ++i)
    if (states[i] == it->second) states.erase(states.begin() + i--);
  delete it->second;
  viewports.erase(it);
  viewportIds.removeId(id);
}

void ksgVisualState::setViewport(int id) {
  if (ksgViewportState* viewport = getViewport(id)) pushState(viewport);
}

void ksgVisualState::restoreViewport(int id) {
  if (getViewport(id)) popState();
}

ksgViewportState* ksgVisualState::getViewport(int id) const {
  auto it = viewports.find(id);
  return it == viewports.end() ? nullptr : it->second;
}
