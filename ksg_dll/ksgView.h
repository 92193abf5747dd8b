// One drawing area: a viewport state registered with a visual state, a
// camera (viewpoint) and up to eight lights.
//
// Per frame render(); on resize reshape(). Attach the viewpoint and lights
// between frames, never while the viewport state is applied (they are then
// ignored). Destroy views before their visual state: a view removes its
// viewport from it.
#pragma once

#include <utility>
#include <vector>

#include "kmlVec4.h"

class kgcLight;
class ksgLightParam;
class ksgNode;
class ksgScene;
class ksgViewpoint;
class ksgViewportState;
class ksgVisualState;

class ksgView {
public:
  // World-space hit points and the nodes they lie on.
  typedef std::vector<std::pair<kmlVec4, ksgNode*>> HitList;

  // Which hit pick keeps: all of them, the nearest to the eye, the farthest.
  enum Selection { ALL = 0, NEAREST = 1, FARTHEST = 2 };

  static const int MAX_LIGHTS = 8;

  // Registers a viewport with the visual state at once (init).
  explicit ksgView(ksgVisualState& vs);
  // Deletes its lights and removes its viewport from the visual state.
  virtual ~ksgView();

  // The lights and the viewport registration are owned: no copies.
  ksgView(const ksgView&) = delete;
  ksgView& operator=(const ksgView&) = delete;

  // Registers the viewport (once) and sets the defaults: planes 0.1 and 100,
  // field of view 56, bounds -1..1, window 0, 0, 640, 480, perspective.
  virtual void init();
  // Clears the buffers, then draws the scene through the viewpoint in the
  // viewport; without a viewpoint or scene only clears.
  virtual void render(ksgScene* scene);
  // The new window of the drawable, then updateOrtho().
  virtual void reshape(int x, int y, int width, int height);
  // Sizes the orthographic bounds to the camera distance and the aspect;
  // keeps them while the window has no size.
  virtual void updateOrtho();
  // Appends the hits of the ray through mouse position (x, y) (pixels from
  // the top-left corner) to hits, in the order the nodes report them; with
  // NEAREST or FARTHEST the whole list (earlier entries included) is then
  // reduced to one entry. Nothing in frustum mode. Only what lies in front
  // of the eye is hit.
  virtual void pick(ksgScene* scene, int x, int y, HitList& hits, int selection);

  ksgViewportState* getViewport() const { return viewport; }
  ksgViewpoint* getViewpoint() const { return viewpoint; }
  // Not owned: the viewpoint must outlive its use here.
  void setViewpoint(ksgViewpoint* vp) { viewpoint = vp; }

  // Light index (0..7) shines as GL_LIGHT0 + index while the view renders;
  // a second call on the same index only swaps the light. The light is not
  // owned.
  void setLight(int index, kgcLight* light);
  // The light goes, and OpenGL light index is switched off while the view
  // renders.
  void removeLight(int index);

protected:
  ksgVisualState* visualState;
  ksgViewportState* viewport = nullptr;
  ksgViewpoint* viewpoint = nullptr;
  int viewportId = -1;
  ksgLightParam* lights[MAX_LIGHTS] = {};

private:
  // True when the lights may change: a viewport exists, the index is a slot
  // and the viewport state is not applied.
  bool lightsEditable(int index) const;
};
