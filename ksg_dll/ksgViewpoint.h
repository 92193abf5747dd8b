// The camera of a view: a chain of transforms whose end is the eye.
//
//   base (target point) -> distance (0, 0, d) -> yaw (y) -> pitch (x) -> roll (z)
//
// and, under the base, a small red ellipsoid marking the target. The roll
// node's world matrix is the camera (eye to world); the eye looks along its
// own -z.
//
// Mode 1 (the default) orbits: the base carries the orientation (yaw, then
// pitch) and the camera circles the target at distance d. Mode 0 turns the
// camera about its own position: the base carries only the position and the
// yaw and pitch joints turn. setMode keeps the eye where it is and as it is
// turned (up to a roll or a base turned while in mode 0, which are not
// carried over).
//
// All angles are degrees. Every setter recomputes the rig's world matrices.
#pragma once

#include "kmlMatrix4.h"
#include "kmlVec2.h"
#include "kmlVec3.h"
#include "kutIdManager.h"
#include "kutObject.h"

class kgcAxisAlignedBox;
class ksgScene;
class ksgTransform;
class ksgVisualState;

class ksgViewpoint : public kutObject {
public:
  static const kutRtti RTTI;

  // Builds the rig named "Camera<id>_Base", "_Dtb", "_Yaw", "_Pitch",
  // "_Roll" with an id from the viewpoints' id manager, and writes
  // "ksgViewpoint::ksgViewpoint()" to stderr.
  ksgViewpoint();
  // Frees the id (for reuse) and the whole rig.
  ~ksgViewpoint() override;

  // The rig and the id are owned: no copies.
  ksgViewpoint(const ksgViewpoint&) = delete;
  ksgViewpoint& operator=(const ksgViewpoint&) = delete;

  const kutRtti* getRtti() const override;

  // Renders the scene seen through this camera (nothing without a scene);
  // the model-view matrix is pushed and popped around it.
  virtual void render(ksgVisualState& vs, const ksgScene* scene) const;
  // Draws the rig itself, that is the target marker.
  virtual void render(ksgVisualState& vs) const;
  // Pushes the model-view matrix and multiplies the inverse camera on; pair
  // each place with a reset.
  virtual void place(ksgVisualState& vs) const;
  virtual void reset(ksgVisualState& vs) const;

  // Camera to world: the roll node's world matrix.
  kmlMatrix4 getMatrix() const;

  // The base's local matrix (position and, in mode 1, orientation).
  void setBase(const kmlMatrix4& m);
  kmlMatrix4 getBase() const;
  void setDistanceToBase(float d);
  float getDistanceToBase() const;
  // The joints as pure rotations (their translation becomes zero). They are
  // read as signed angles in either mode; in mode 1 they are normally 0.
  void setPitch(float a);
  void setYaw(float a);
  void setRoll(float a);
  float getPitch() const;
  float getYaw() const;
  float getRoll() const;
  // Stores the orientation and turns the base by yaw, pitch, roll (in that
  // order), its position kept; in either mode.
  void setBaseOrientation(float pitch, float yaw, float roll);
  int getMode() const { return mode; }
  int getUpAxis() const { return upAxis; }

  // Mouse gestures. Mode 1 turns the base about the target; mode 0 turns
  // the yaw or pitch joint about the eye.
  void incrYaw(float a);
  void incrPitch(float a);
  void incrRoll(float a);
  // Mode 1: the eye comes a closer to the target. Mode 0: the eye moves a
  // along its own z axis (backwards for a > 0).
  void zoom(float a);
  // Moves the target in the plane of the base's x and y axes (mode 1) or of
  // the camera's (mode 0).
  void translate(const kmlVec2& v);
  // Moves the target by v given in world axes.
  void translate(const kmlVec3& v);

  // 1 orbits, anything else turns in place; the transition runs even when
  // the mode does not change.
  void setMode(int m);
  // Aims at the box's centre from its front, far enough to see all of it.
  void center(const kgcAxisAlignedBox& box);
  // 1: the rig's y axis is world y; 0: it is world z. Other values are ignored.
  void setUpAxis(int axis);

  // The yaw and pitch joints aim at target on each track().
  void setTrackNode(ksgTransform* target);
  void track();

protected:
  ksgTransform* base;
  ksgTransform* distanceNode;
  ksgTransform* yawNode;
  ksgTransform* pitchNode;
  ksgTransform* rollNode;
  int id = -1;
  int mode = 1;
  kmlVec3 baseOrientation;  // pitch, yaw, roll the base carries in mode 1
  int upAxis = 1;

  static kutIdManager idmgr;

private:
  // Recomputes the world matrices down the rig.
  void refresh();
  // The camera in the rig's own axes: inverse(base offset) · camera.
  kmlMatrix4 eyeInRig() const;
  // The point at the base distance in front of the eye, in rig axes.
  kmlVec3 targetOf(const kmlMatrix4& eye, float distance) const;
  // A world vector in the rig's axes.
  kmlVec3 fromWorld(const kmlVec3& v, float w) const;
  void moveBase(const kmlVec3& delta);
  // Mode 1's base rotation from the stored yaw and pitch, position kept.
  void rebuildBaseRotation();
  void turnJoint(ksgTransform* joint, float a, const kmlVec3& axis);
  // Mode 1: adds a to the stored angle (0 pitch, 1 yaw) and turns the base;
  // mode 0: turns the joint.
  void incrAngle(int angle, ksgTransform* joint, const kmlVec3& jointAxis, float a);
};
