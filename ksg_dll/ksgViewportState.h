// The viewport and projection of one drawing area, as a render state.
//
// Its parameters, in order: the viewport, GL_PROJECTION selected, the
// projection of the current mode (pushed and multiplied onto the projection
// matrix), GL_MODELVIEW selected. Parameters added later (a view's lights)
// therefore apply with the model-view matrix selected, before the camera
// matrix goes on. Restoring undoes all of it in reverse.
//
// Change the projection mode and the lights only while the state is not
// applied; the state refuses changes while it is.
#pragma once

#include "kmlVec3.h"
#include "ksgState.h"

class ksgFrustumParam;
class ksgOrthoParam;
class ksgPerspectiveParam;
class ksgViewportParam;

class ksgViewportState : public ksgState {
public:
  // Fixed to int: a mode read from elsewhere may hold any value, and
  // setProjMode ignores the ones that are not a projection.
  enum ProjMode : int { PERSPECTIVE = 0, FRUSTUM = 1, ORTHO = 2 };

  ksgViewportState();
  // Frees the three projection parameters once each, whichever is in force.
  ~ksgViewportState() override;

  // Owns parameters outside the list: no copies.
  ksgViewportState(const ksgViewportState&) = delete;
  ksgViewportState& operator=(const ksgViewportState&) = delete;

  // Puts the new mode's projection in place of the current one (same list
  // position). Ignored while applied and for values other than the three.
  void setProjMode(ProjMode mode);
  ProjMode getProjMode() const { return projMode; }

  // Near and far planes of all three projections.
  void setPlanes(float nearPlane, float farPlane);
  void getPlanes(float& nearPlane, float& farPlane) const;
  // Bounds of the frustum and ortho projections (at the near plane for the
  // frustum).
  void setBounds(float left, float right, float bottom, float top);
  void getBounds(float& left, float& right, float& bottom, float& top) const;
  // Field of view of the perspective projection, in degrees (vertical).
  void setFov(float degrees);
  float getFov() const;
  // The viewport in pixels, and the perspective aspect width / height
  // (180 when height <= 0, e.g. for a hidden canvas).
  void setWindow(int x, int y, int width, int height);
  void getWindow(int& x, int& y, int& width, int& height) const;
  // Width / height of the window, 180 when height <= 0.
  float getAspect() const;

  // Normalised device coordinates (-1..1, y up) of a mouse position measured
  // in pixels from the window's top-left corner. An axis whose size is <= 0
  // gives 0.
  void getNormalizedCoords(int px, int py, float& nx, float& ny) const;
  // The eye-space point at normalised (nx, ny) and distance depth in front
  // of the eye (the near plane when depth <= 0). Zero in frustum mode.
  kmlVec3 get3DPoint(float nx, float ny, float depth) const;

private:
  ksgStateParam* projection(ProjMode mode) const;

  ProjMode projMode = PERSPECTIVE;
  ksgViewportParam* viewportParam;
  ksgPerspectiveParam* perspective;
  ksgFrustumParam* frustum;
  ksgOrthoParam* ortho;
};
