#include "ksgState.h"

#include <GL/gl.h>

#include "ksgStateParam.h"

const kutRtti ksgState::RTTI("ksgState", &kutObject::RTTI);
const kutRtti ksgInitialState::RTTI("ksgInitialState", &ksgState::RTTI);

const kutRtti* ksgState::getRtti() const { return &RTTI; }
const kutRtti* ksgInitialState::getRtti() const { return &RTTI; }

ksgState::ksgState(const ksgState& other) : kutObject(other) { *this = other; }

ksgState& ksgState::operator=(const ksgState& other) {
  if (this == &other || applied) return *this;
  deleteParams();
  modes = other.modes;
  params.reserve(other.params.size());
  for (const ParamEntry& e : other.params) {
    ksgStateParam* copy = e.param ? e.param->clone() : nullptr;
    if (copy) params.push_back({e.inheritance, copy});
  }
  return *this;
}

ksgState::~ksgState() { deleteParams(); }

void ksgState::deleteParams() {
  for (ParamEntry& e : params) delete e.param;
  params.clear();
}

int ksgState::find(const ksgStateParam* param) const {
  for (size_t i = 0; i < params.size(); ++i)
    if (params[i].param == param) return int(i);
  return -1;
}

// --- modes ------------------------------------------------------------------

void ksgState::setMode(unsigned cap, bool enabled) {
  if (applied) return;
  ModeEntry& e = modes[cap];
  e.inheritance = OVERRIDE;
  e.enabled = enabled;
}

void ksgState::inheritMode(unsigned cap) {
  if (!applied) modes[cap].inheritance = INHERIT;
}

void ksgState::overrideMode(unsigned cap) {
  if (!applied) modes[cap].inheritance = OVERRIDE;
}

void ksgState::remMode(unsigned cap) {
  if (!applied) modes.erase(cap);
}

// --- parameters -------------------------------------------------------------

int ksgState::addParam(ksgStateParam* param) {
  // A parameter held twice would be applied twice over its own saved values
  // and deleted twice.
  if (applied || !param || find(param) >= 0) return -1;
  params.push_back({OVERRIDE, param});
  return int(params.size()) - 1;
}

void ksgState::remParam(ksgStateParam* param) { remParam(find(param)); }

void ksgState::remParam(int index) {
  if (applied || !validIndex(index)) return;
  params.erase(params.begin() + index);
}

void ksgState::replaceParam(ksgStateParam* oldParam, ksgStateParam* newParam) {
  replaceParam(find(oldParam), newParam);
}

void ksgState::replaceParam(int index, ksgStateParam* newParam) {
  if (applied || !validIndex(index) || !newParam) return;
  if (params[index].param != newParam && find(newParam) >= 0) return;
  params[index] = {OVERRIDE, newParam};
}

void ksgState::inheritParam(ksgStateParam* param) {
  if (param) inheritParam(find(param));
}

void ksgState::inheritParam(int index) {
  if (!applied && validIndex(index)) params[index].inheritance = INHERIT;
}

void ksgState::overrideParam(ksgStateParam* param) {
  if (param) overrideParam(find(param));
}

void ksgState::overrideParam(int index) {
  if (!applied && validIndex(index)) params[index].inheritance = OVERRIDE;
}

ksgStateParam* ksgState::getParam(int index) const {
  return validIndex(index) ? params[index].param : nullptr;
}

// --- apply and restore ------------------------------------------------------

void ksgState::apply() const {
  if (applied) return;
  applyModes();
  applyParams();
  applied = true;
}

void ksgState::restore() const {
  if (!applied) return;
  restoreParams();
  restoreModes();
  applied = false;
}

static void setCapability(unsigned cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

void ksgState::applyModes() const {
  // Inherit entries are queried too, so that their saved value is current.
  for (const auto& [cap, e] : modes) {
    e.previous = glIsEnabled(cap) == GL_TRUE;
    if (e.inheritance == OVERRIDE && e.enabled != e.previous) setCapability(cap, e.enabled);
  }
}

void ksgState::applyParams() const {
  for (const ParamEntry& e : params)
    if (e.inheritance == OVERRIDE) e.param->apply();
}

void ksgState::restoreParams() const {
  for (auto it = params.rbegin(); it != params.rend(); ++it)
    if (it->inheritance == OVERRIDE) it->param->restore();
}

void ksgState::restoreModes() const {
  for (auto it = modes.rbegin(); it != modes.rend(); ++it) {
    const ModeEntry& e = it->second;
    if (e.inheritance == OVERRIDE && e.enabled != e.previous) setCapability(it->first, e.previous);
  }
}

// --- initial state ----------------------------------------------------------

void ksgInitialState::clearColor(float r, float g, float b, float a) const { glClearColor(r, g, b, a); }

void ksgInitialState::clearDepth(float depth) const { glClearDepth(depth); }

void ksgInitialState::clearStencil(int s) const { glClearStencil(s); }

void ksgInitialState::clearAccum(float r, float g, float b, float a) const { glClearAccum(r, g, b, a); }
