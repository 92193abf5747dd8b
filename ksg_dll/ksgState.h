// Render states: bundles of OpenGL capability switches ("modes") and
// render-state parameters applied before something is drawn and restored,
// as one unit, afterwards.
//
// Every entry is either override (this state sets it) or inherit (this
// state leaves it as the enclosing state left it). States nest the way the
// node tree nests; nesting the apply() calls is the merge with the parent.
//
// Order that matters: apply() sets the modes (ascending capability) and then
// the parameters (insertion order); restore() undoes the parameters (last to
// first) and then the modes (descending capability). A state refuses every
// change while it is applied, so restore() visits exactly what apply() did.
#pragma once

#include <map>
#include <vector>

#include "kutObject.h"

class ksgStateParam;

class ksgState : public kutObject {
public:
  static const kutRtti RTTI;

  enum Inheritance { INHERIT = 0, OVERRIDE = 1 };

  ksgState() = default;
  // Copies own clones of the parameters (never the same objects) and start
  // out not applied. Assigning to an applied state does nothing.
  ksgState(const ksgState& other);
  ksgState& operator=(const ksgState& other);
  // Deletes every parameter the state still holds.
  ~ksgState() override;

  const kutRtti* getRtti() const override;

  // Mode entry for cap (created when absent) becomes override with that value.
  void setMode(unsigned cap, bool enabled);
  // The entry (created when absent, value false) is only queried on apply.
  void inheritMode(unsigned cap);
  // The entry (created when absent, value false) is set on apply.
  void overrideMode(unsigned cap);
  void remMode(unsigned cap);

  // Appends the parameter as override and takes ownership; returns its
  // index. Returns -1 and keeps nothing (the caller still owns param) for a
  // null parameter, one the state already holds, or while applied.
  int addParam(ksgStateParam* param);
  // Takes the entry out; the parameter is not deleted but returns to the
  // caller's care. Later indices shift down by one.
  void remParam(ksgStateParam* param);
  void remParam(int index);
  // Puts newParam (taking ownership) where oldParam was, as override; the
  // old parameter returns to the caller. Nothing for a null or already held
  // newParam or an absent oldParam.
  void replaceParam(ksgStateParam* oldParam, ksgStateParam* newParam);
  void replaceParam(int index, ksgStateParam* newParam);
  void inheritParam(ksgStateParam* param);
  void inheritParam(int index);
  void overrideParam(ksgStateParam* param);
  void overrideParam(int index);
  // Null when index is out of range. Allowed while applied.
  ksgStateParam* getParam(int index) const;

  // Does nothing when already applied.
  void apply() const;
  // Does nothing when not applied.
  void restore() const;
  bool isApplied() const { return applied; }

protected:
  void applyModes() const;
  void applyParams() const;
  void restoreParams() const;
  void restoreModes() const;

private:
  struct ModeEntry {
    int inheritance = INHERIT;
    bool enabled = false;
    mutable bool previous = false;  // found by the last apply()
  };
  struct ParamEntry {
    int inheritance;
    ksgStateParam* param;
  };

  int find(const ksgStateParam* param) const;
  bool validIndex(int index) const { return index >= 0 && index < int(params.size()); }
  void deleteParams();

  std::map<unsigned, ModeEntry> modes;
  std::vector<ParamEntry> params;
  mutable bool applied = false;
};

// The state in force for a whole frame, plus the buffers a frame clears.
class ksgInitialState : public ksgState {
public:
  static const kutRtti RTTI;

  ksgInitialState() = default;

  const kutRtti* getRtti() const override;

  // Bits for glClear; colour and depth (0x4100) by default.
  void setClearBuffers(unsigned mask) { clearBuffers = mask; }
  unsigned getClearBuffers() const { return clearBuffers; }

  // Set OpenGL's clear values at once; nothing is stored, so call them with
  // the context current and again for a new context.
  void clearColor(float r, float g, float b, float a) const;
  void clearDepth(float depth) const;
  void clearStencil(int s) const;
  void clearAccum(float r, float g, float b, float a) const;

private:
  unsigned clearBuffers = 0x4100;  // GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
};
