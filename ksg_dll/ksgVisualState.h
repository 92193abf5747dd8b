// The render context of one 3D view: the frame's initial state, the stack of
// applied states and the OpenGL matrix stack that every render call goes
// through.
//
// Per frame: clearBuffers(), then states and matrices are pushed and popped
// in pairs while the scene is drawn. init() applies the initial state once,
// before the first frame, with the view's context current.
#pragma once

#include <vector>

#include "ksgState.h"

class kmlMatrix4;

class ksgVisualState {
public:
  ksgVisualState() = default;
  // Pops every state still pushed and restores the initial state: destroy a
  // visual state with its context current.
  ~ksgVisualState();

  // The stack holds pointers into the caller's states: no copies.
  ksgVisualState(const ksgVisualState&) = delete;
  ksgVisualState& operator=(const ksgVisualState&) = delete;

  ksgInitialState& initialState() { return initial; }
  const ksgInitialState& getInitialState() const { return initial; }

  // Applies the initial state.
  void init();
  // glClear with the initial state's clear-buffer mask.
  void clearBuffers() const;

  // On the current matrix mode.
  void pushMatrix();
  void popMatrix();
  // Multiplies the 16 floats in their stored (column-major) order.
  void multMatrix(const kmlMatrix4& m);

  // Applies the state and pushes it; false for null. The state is not owned
  // and must outlive its place on the stack.
  bool pushState(ksgState* state);
  // Restores and pops the top state; false when the stack is empty.
  bool popState();
  // Pops in reverse order of pushing until the stack is empty.
  void popAllStates();

private:
  ksgInitialState initial;
  std::vector<ksgState*> states;
};
