#include "ksgViewpoint.h"

#include <GL/gl.h>

#include <iostream>
#include <string>

#include "kgcAxisAlignedBox.h"
#include "kgcEllipseMesh.h"
#include "kmlEuler.h"
#include "ksgModel.h"
#include "ksgScene.h"
#include "ksgState.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"
#include "ksgTransformMath.h"
#include "ksgVisualState.h"


const kutRtti ksgViewpoint::RTTI("ksgViewpoint", &kutObject::RTTI);

kutIdManager ksgViewpoint::idmgr;

namespace {

const kmlVec3 X_AXIS(1, 0, 0);
const kmlVec3 Y_AXIS(0, 1, 0);
const kmlVec3 Z_AXIS(0, 0, 1);

ksgTransform* namedTransform(const std::string& name) {
  auto* t = new ksgTransform();
  t->setName(name);
  return t;
}

// A hinge about the joint's axis over the full turn.
void hinge(ksgTransform* joint, const kmlVec3& axis) {
  ksgTransformLimits& limits = joint->getLimits();
  limits.setTwistAxis(joint, axis);
  limits.setHalfAngle(0.0f);
  limits.setTwistRange(-180.0f, 180.0f);
}

// The red ellipsoid drawn at the target point.
ksgModel* newMarker() {
  auto* marker = new ksgModel();
  marker->setMesh(new kgcEllipseMesh(0.5f, 0.5f, 0.5f, 8, 8));
  auto* state = new ksgState();
  state->addParam(new ksgColorMaterialParam(GL_FRONT, GL_AMBIENT_AND_DIFFUSE));
  const float red[3] = {1.0f, 0.0f, 0.0f};
  state->addParam(new ksgColorParam(red, false));
  marker->setState(state);
  return marker;
}

// The first three components of column c.
kmlVec3 axis(const kmlMatrix4& m, int c) { return ksgmath::xyz(m.getColumn(c)); }

// Signed angle of a joint's rotation about its own axis.
float jointAngle(const ksgTransform* joint, const kmlVec3& jointAxis) {
  float angle = 0.0f;
  kmlVec3 found;
  joint->getLocal().toAxisAngle(angle, found);
  return found.dot(jointAxis) < 0.0f ? -angle : angle;
}

void setJoint(ksgTransform* joint, const kmlEuler& angles) {
  kmlMatrix4 m;
  m.setRotation(angles);
  joint->setLocal(m);
}

}  // namespace

ksgViewpoint::ksgViewpoint() {
  std::cerr << "ksgViewpoint::ksgViewpoint()" << std::endl;
  id = idmgr.newId();
  const std::string prefix = "Camera" + std::to_string(id);
  base = namedTransform(prefix + "_Base");
  distanceNode = namedTransform(prefix + "_Dtb");
  yawNode = namedTransform(prefix + "_Yaw");
  pitchNode = namedTransform(prefix + "_Pitch");
  rollNode = namedTransform(prefix + "_Roll");
  hinge(yawNode, Y_AXIS);
  hinge(pitchNode, X_AXIS);
  hinge(rollNode, Z_AXIS);
  base->attachChild(distanceNode);
  base->attachChild(newMarker());
  distanceNode->attachChild(yawNode);
  yawNode->attachChild(pitchNode);
  pitchNode->attachChild(rollNode);
  refresh();
}

ksgViewpoint::~ksgViewpoint() {
  idmgr.removeId(id);
  delete base;
}

const kutRtti* ksgViewpoint::getRtti() const { return &RTTI; }

void ksgViewpoint::refresh() { base->update(0.0f, false, true); }

// --- placement and rendering ------------------------------------------------

kmlMatrix4 ksgViewpoint::getMatrix() const { return rollNode->getWorld(); }

void ksgViewpoint::place(ksgVisualState& vs) const {
  vs.pushMatrix();
  vs.multMatrix(getMatrix().getInverse());
}

void ksgViewpoint::reset(ksgVisualState& vs) const { vs.popMatrix(); }

void ksgViewpoint::render(ksgVisualState& vs) const { base->render(vs); }

void ksgViewpoint::render(ksgVisualState& vs, const ksgScene* scene) const {
  if (!scene) return;
  place(vs);
  scene->render(vs);
  reset(vs);
}

// --- direct settings --------------------------------------------------------

void ksgViewpoint::setBase(const kmlMatrix4& m) {
  base->setLocal(m);
  refresh();
}

kmlMatrix4 ksgViewpoint::getBase() const { return base->getLocal(); }

void ksgViewpoint::setDistanceToBase(float d) {
  kmlMatrix4 m = distanceNode->getLocal();
  m.setColumn(3, kmlVec4(0.0f, 0.0f, d, 1.0f));
  distanceNode->setLocal(m);
  refresh();
}

float ksgViewpoint::getDistanceToBase() const { return distanceNode->getLocal()(2, 3); }

void ksgViewpoint::setPitch(float a) {
  setJoint(pitchNode, kmlEuler(a, 0.0f, 0.0f, 5));
  refresh();
}

void ksgViewpoint::setYaw(float a) {
  setJoint(yawNode, kmlEuler(0.0f, a, 0.0f, 5));
  refresh();
}

void ksgViewpoint::setRoll(float a) {
  setJoint(rollNode, kmlEuler(0.0f, 0.0f, a, 5));
  refresh();
}

float ksgViewpoint::getPitch() const { return jointAngle(pitchNode, X_AXIS); }

float ksgViewpoint::getYaw() const { return jointAngle(yawNode, Y_AXIS); }

float ksgViewpoint::getRoll() const { return jointAngle(rollNode, Z_AXIS); }

void ksgViewpoint::setBaseOrientation(float pitch, float yaw, float roll) {
  baseOrientation = kmlVec3(pitch, yaw, roll);
  kmlMatrix4 r;
  r.rotate(yaw, Y_AXIS);
  r.rotate(pitch, X_AXIS);
  r.rotate(roll, Z_AXIS);
  kmlMatrix4 m = base->getLocal();
  m.setRotation(r.toMat3());
  base->setLocal(m);
  refresh();
}

// --- gestures ---------------------------------------------------------------

void ksgViewpoint::rebuildBaseRotation() {
  // The stored roll is not part of the orbit.
  kmlMatrix4 m = base->getLocal();
  m.setRotation(baseOrientation[1], Y_AXIS);
  m.rotate(baseOrientation[0], X_AXIS);
  base->setLocal(m);
}

void ksgViewpoint::turnJoint(ksgTransform* joint, float a, const kmlVec3& jointAxis) {
  kmlMatrix4 m = joint->getLocal();
  m.rotate(a, jointAxis);
  joint->setLocal(m);
}

void ksgViewpoint::incrAngle(int angle, ksgTransform* joint, const kmlVec3& jointAxis, float a) {
  if (mode == 1) {
    baseOrientation[angle] += a;
    rebuildBaseRotation();
  } else {
    turnJoint(joint, a, jointAxis);
  }
  refresh();
}

void ksgViewpoint::incrYaw(float a) { incrAngle(1, yawNode, Y_AXIS, a); }

void ksgViewpoint::incrPitch(float a) { incrAngle(0, pitchNode, X_AXIS, a); }

void ksgViewpoint::incrRoll(float a) {
  turnJoint(rollNode, a, Z_AXIS);
  refresh();
}

kmlMatrix4 ksgViewpoint::eyeInRig() const {
  return base->getOffset().getInverse() * getMatrix();
}

kmlVec3 ksgViewpoint::targetOf(const kmlMatrix4& eye, float distance) const {
  return axis(eye, 3) - distance * axis(eye, 2);
}

kmlVec3 ksgViewpoint::fromWorld(const kmlVec3& v, float w) const {
  return ksgmath::xyz(base->getOffset().getTranspose() * kmlVec4(v, w));
}

void ksgViewpoint::moveBase(const kmlVec3& delta) {
  kmlMatrix4 m = base->getLocal();
  m.setColumn(3, kmlVec4(axis(m, 3) + delta, 1.0f));
  base->setLocal(m);
}

void ksgViewpoint::zoom(float a) {
  if (mode == 1) {
    kmlMatrix4 m = distanceNode->getLocal();
    m.translate(kmlVec3(0.0f, 0.0f, -a));
    distanceNode->setLocal(m);
  } else {
    // Added to the position as it stands: translate() would turn the step
    // by the base's rotation a second time.
    moveBase(a * axis(eyeInRig(), 2));
  }
  refresh();
}

void ksgViewpoint::translate(const kmlVec2& v) {
  const kmlMatrix4 frame = mode == 1 ? base->getLocal() : eyeInRig();
  moveBase(v[0] * axis(frame, 0) + v[1] * axis(frame, 1));
  refresh();
}

void ksgViewpoint::translate(const kmlVec3& v) {
  moveBase(fromWorld(v, 0.0f));
  refresh();
}

// --- modes, centring, up axis -----------------------------------------------

void ksgViewpoint::setMode(int m) {
  mode = m != 0 ? 1 : 0;
  const float distance = getDistanceToBase();
  if (mode == 1) {
    // The joints' turn moves into the base, which goes to the point the eye
    // looks at; the joints go back to rest.
    baseOrientation[0] = getPitch();
    baseOrientation[1] = getYaw();
    const kmlVec3 target = targetOf(eyeInRig(), distance);
    kmlMatrix4 b = base->getLocal();
    b.setRotation(baseOrientation[1], Y_AXIS);
    b.rotate(baseOrientation[0], X_AXIS);
    b.setColumn(3, kmlVec4(target, 1.0f));
    base->setLocal(b);
    yawNode->setLocal(kmlMatrix4());
    pitchNode->setLocal(kmlMatrix4());
  } else {
    // The stored orientation moves into the joints; the base keeps only a
    // position, shifted so that the eye stays where it was.
    setPitch(baseOrientation[0]);
    setYaw(baseOrientation[1]);
    kmlMatrix4 b = base->getLocal();
    b.setRotation(kmlEuler(0.0f, 0.0f, 0.0f, 5));
    base->setLocal(b);
    refresh();
    const kmlVec3 q = targetOf(eyeInRig(), distance);
    const kmlVec3 position = axis(base->getLocal(), 3);
    moveBase(position - q);
  }
  refresh();
}

void ksgViewpoint::center(const kgcAxisAlignedBox& box) {
  const kmlVec3 min = box.getMin();
  const kmlVec3 max = box.getMax();
  const kmlVec3 size = max - min;
  const kmlVec3 c = min + 0.5f * size;
  float largest = size[0] > size[1] ? size[0] : size[1];
  if (size[2] > largest) largest = size[2];
  // Stand back from the front face by the box's largest size.
  const float d = max[2] + largest - c[2];
  setDistanceToBase(d);
  const kmlVec3 centre = fromWorld(c, 1.0f);
  if (mode == 1) {
    kmlMatrix4 m = base->getLocal();
    m.setColumn(3, kmlVec4(centre, 1.0f));
    base->setLocal(m);
  } else {
    moveBase(centre - targetOf(eyeInRig(), d));
  }
  refresh();
}

void ksgViewpoint::setUpAxis(int axisCode) {
  if (axisCode == 0 && upAxis == 1) {
    // The rig's y axis along world z.
    kmlMatrix4 offset;
    offset.rotate(90.0f, X_AXIS);
    base->setOffset(offset);
    refresh();
    upAxis = 0;
  } else if (axisCode == 1 && upAxis == 0) {
    base->setOffset(kmlMatrix4());
    refresh();
    upAxis = 1;
  }
}

// --- tracking ---------------------------------------------------------------

void ksgViewpoint::setTrackNode(ksgTransform* target) {
  const kmlVec3 forward(0.0f, 0.0f, -1.0f);
  yawNode->setTrackNode(target, 0);
  yawNode->trackReferenceAxis(forward);
  yawNode->trackRotationAxis(Y_AXIS);
  pitchNode->setTrackNode(target, 0);
  pitchNode->trackReferenceAxis(forward);
  pitchNode->trackRotationAxis(X_AXIS);
}

void ksgViewpoint::track() {
  yawNode->track();
  // The pitch joint aims from its world matrix: it must already carry the
  // new yaw, or it turns the camera by the same angle a second time.
  refresh();
  pitchNode->track();
  refresh();
}
