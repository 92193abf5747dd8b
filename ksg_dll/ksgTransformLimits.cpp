#include "ksgTransformLimits.h"

#include "kmlMath.h"
#include "ksgTransform.h"
#include "ksgTransformMath.h"

namespace {

// Twist-axis directions within this cosine of each other count as equal.
const float PARALLEL = 0.999999f;

// Some unit vector perpendicular to the unit vector a.
kmlVec3 perpendicular(const kmlVec3& a)
{
    float ax = kml::Abs(a.get(0)), ay = kml::Abs(a.get(1)), az = kml::Abs(a.get(2));
    kmlVec3 e(1.0f, 0.0f, 0.0f);
    if (ay <= ax && ay <= az)
        e.set(0.0f, 1.0f, 0.0f);
    else if (az <= ax && az <= ay)
        e.set(0.0f, 0.0f, 1.0f);
    kmlVec3 p(a.cross(e));
    p.unit();
    return p;
}

// Swing axis for a rotation u that turns the unit twist axis a onto -a.
// Any axis perpendicular to a does; the one that leaves u no twist is the
// bisector of a perpendicular vector e and its image u e.
kmlVec3 flippedSwingAxis(const kmlMatrix4& u, const kmlVec3& a)
{
    kmlVec3 e = perpendicular(a);
    for (int i = 0; i < 2; ++i) {
        kmlVec3 p(e);
        p += ksgmath::turn(u, e);
        if (p.unit())
            return p;
        e = kmlVec3(a.cross(e));
    }
    return perpendicular(a);
}

// Writes m as the joint's local matrix without running the limits again.
void setUnlimited(ksgTransform* joint, const kmlMatrix4& m)
{
    bool enabled = joint->areLimitsEnabled();
    joint->enableLimits(false);
    joint->setLocal(m);
    joint->enableLimits(enabled);
}

} // namespace

ksgTransformLimits::ksgTransformLimits() { reset(); }

void ksgTransformLimits::reset()
{
    twistAxis.set(1.0f, 0.0f, 0.0f);
    limitBase.setIdentity();
    limitBaseInverse.setIdentity();
    twistMin = -180.0f;
    twistMax = 180.0f;
    halfAngle = 180.0f;
}

void ksgTransformLimits::setTwistAxis(ksgTransform* joint, const kmlVec3& axis)
{
    if (joint == nullptr)
        return;
    kmlMatrix4 base = joint->getLocal();
    setTwistAxis(&base, axis);
}

void ksgTransformLimits::setTwistAxis(kmlMatrix4* base, const kmlVec3& axis)
{
    if (base == nullptr)
        return;
    limitBase = *base;
    limitBaseInverse = limitBase.getInverse();
    twistAxis = axis;
    twistAxis.unit();
}

void ksgTransformLimits::setTwistRange(float min, float max)
{
    twistMin = min;
    twistMax = max;
}

void ksgTransformLimits::getTwistRange(float& min, float& max) const
{
    min = twistMin;
    max = twistMax;
}

void ksgTransformLimits::setHalfAngle(float angle) { halfAngle = kml::Clamp(angle, 0.0f, 180.0f); }

void ksgTransformLimits::apply(ksgTransform* joint) const
{
    if (joint == nullptr)
        return;
    if (halfAngle == 0.0f)
        applyHinge(joint);
    else
        applyCone(joint);
}

void ksgTransformLimits::applyHinge(ksgTransform* joint) const
{
    kmlMatrix4 rel = limitBaseInverse * joint->getLocal();
    float angle;
    kmlVec3 axis;
    rel.toAxisAngle(angle, axis);
    if (axis.dot(twistAxis) < 0.0f)
        angle = -angle;
    // The upper bound goes last, so a range given upside down pins to min.
    if (angle < twistMin)
        angle = twistMin;
    if (angle > twistMax)
        angle = twistMax;
    rel.setTranslation(kmlVec3(0.0f, 0.0f, 0.0f));
    rel.setRotation(angle, twistAxis);
    setUnlimited(joint, limitBase * rel);
}

void ksgTransformLimits::applyCone(ksgTransform* joint) const
{
    kmlMatrix4 u = limitBaseInverse * joint->getLocal();
    // Where the twist axis points now, in the base's coordinates.
    kmlVec3 g = ksgmath::turn(u, twistAxis);
    kmlVec3 swingAxis(twistAxis.cross(g));
    swingAxis.unit();
    float cosine = twistAxis.dot(g);
    float swing = 0.0f;
    if (kml::Abs(cosine) < PARALLEL) {
        swing = kml::Acosd(cosine);
    } else if (cosine < 0.0f) {
        // Turned right round: a full swing, about an axis the cross
        // product cannot give.
        swing = 180.0f;
        swingAxis = flippedSwingAxis(u, twistAxis);
    }
    kmlMatrix4 s;
    s.setRotation(swing, swingAxis);
    kmlMatrix4 tw = s.getInverse() * u;
    float twist;
    kmlVec3 twistAxisNow;
    tw.toAxisAngle(twist, twistAxisNow);
    // The sign of the twist is read against the base twist axis (which the
    // swing-free part turns about), so the range keeps its sense at any
    // swing.
    if (twistAxisNow.dot(twistAxis) < 0.0f) {
        twist = -twist;
        twistAxisNow = kmlVec3(-twistAxisNow);
    }
    if (twist < twistMin)
        twist = twistMin;
    if (twist > twistMax)
        twist = twistMax;
    if (swing > halfAngle)
        swing = halfAngle;
    tw.setRotation(twist, twistAxisNow);
    s.setRotation(swing, swingAxis);
    setUnlimited(joint, limitBase * s * tw);
}
