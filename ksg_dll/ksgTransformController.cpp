#include "ksgTransformController.h"

#include "ksgTransform.h"
#include "ksgTransformMath.h"

const kutRtti ksgTransformController::RTTI("ksgTransformController", &ksgInputBasedController::RTTI);
const kutRtti ksgAxisFKController::RTTI("ksgAxisFKController", &ksgTransformController::RTTI);
const kutRtti ksgTrackballFKController::RTTI("ksgTrackballFKController",
                                             &ksgTransformController::RTTI);

const kutRtti* ksgTransformController::getRtti() const { return &RTTI; }
const kutRtti* ksgAxisFKController::getRtti() const { return &RTTI; }
const kutRtti* ksgTrackballFKController::getRtti() const { return &RTTI; }

void ksgTransformController::setTarget(ksgNode* n)
{
    if (getTarget() != nullptr)
        reset();
    ksgInputBasedController::setTarget(n);
    if (n != nullptr && n->asTransform() != nullptr && !init())
        ksgInputBasedController::setTarget(nullptr);
}

bool ksgTransformController::init() { return true; }

void ksgTransformController::reset() {}

namespace {

// The joint the forward-kinematics controllers turn for a target: the
// target itself or the nearest transform above it that is not FK-ignored.
ksgTransform* fkJoint(ksgNode* target)
{
    ksgTransform* joint = target != nullptr ? target->asTransform() : nullptr;
    while (joint != nullptr && joint->isFkIgnored())
        joint = joint->getParentTransform();
    return joint;
}

// local = local x R(angle, axis in the joint's frame), then the tree below
// the joint follows.
void turnJoint(ksgTransform* joint, float angle, const kmlVec3& axis)
{
    kmlMatrix4 local = joint->getLocal();
    local.rotate(angle, axis);
    joint->setLocal(local);
    joint->update(0.0f, false, true);
}

} // namespace

ksgAxisFKController::ksgAxisFKController() : sign(1.0f) {}

bool ksgAxisFKController::init() { return fkJoint(getTarget()) != nullptr; }

bool ksgAxisFKController::update(const kmlVec3& input, bool flag)
{
    if (!ksgInputBasedController::update(input, flag))
        return false;
    ksgTransform* joint = fkJoint(getTarget());
    if (joint == nullptr || !flag)
        return false;
    float x = input.get(0), y = input.get(1);
    float angle = kml::Abs(y) < kml::Abs(x) ? x : y;
    kmlVec3 a;
    if (joint->getLimits().getHalfAngle() < 0.001f)
        a = joint->getLimits().getTwistAxis();
    else
        a = ksgmath::turn(joint->getWorld().getInverse(), axis);
    turnJoint(joint, angle, a);
    return true;
}

bool ksgTrackballFKController::init() { return fkJoint(getTarget()) != nullptr; }

void ksgTrackballFKController::setOrigin(const kmlVec3& p)
{
    if (getTarget() == nullptr)
        return;
    origin = ksgmath::translation(getTarget()->getWorld());
    origin -= p;
}

bool ksgTrackballFKController::update(const kmlVec3& input, bool flag)
{
    if (!ksgInputBasedController::update(input, flag))
        return false;
    ksgTransform* joint = fkJoint(getTarget());
    if (joint == nullptr || !flag)
        return false;
    kmlVec3 a(input.cross(origin));
    turnJoint(joint, input.norm(), ksgmath::turn(joint->getWorld().getInverse(), a));
    return true;
}
