#include "ksgVisualState.h"

#include <GL/gl.h>

#include "kmlMatrix4.h"

ksgVisualState::~ksgVisualState() {
  popAllStates();
  initial.restore();
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
