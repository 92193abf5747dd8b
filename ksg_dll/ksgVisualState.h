// The render context of one 3D view: the frame's initial state, the stack of
// applied states and the OpenGL matrix stack that every render call goes
// through.
//
// Per frame: clearBuffers(), then states and matrices are pushed and popped
// in pairs while the scene is drawn. init() applies the initial state once,
// before the first frame, with the view's context current.
//
// It also owns the viewport states of the views drawn through it, under
// integer ids; each view registers its own and removes it when destroyed.
#pragma once

#include <map>
#include <vector>

#include "kutIdManager.h"
#include "ksgState.h"

class kmlMatrix4;
class ksgViewportState;

class ksgVisualState {
public:
  ksgVisualState() = default;
  // Pops every state still pushed, restores the initial state, reports the
  // viewport states still registered ("Remaining ViewportStates: n" on
  // stderr) and deletes them. Destroy it with its context current and after
  // its views.
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

  // Creates a viewport state and returns its new id.
  int addViewport();
  // Deletes the viewport state and frees its id; unknown ids are ignored.
  void removeViewport(int id);
  // pushState of the viewport state; unknown ids are ignored.
  void setViewport(int id);
  // popState (of whatever is on top) when the id is known.
  void restoreViewport(int id);
  // Null for an unknown id.
  ksgViewportState* getViewport(int id) const;

private:
  ksgInitialState initial;
  std::vector<ksgState*> states;
  kutIdManager viewportIds;
  std::map<int, ksgViewportState*> viewports;
};
