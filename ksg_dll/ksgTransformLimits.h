#pragma once

#include "kmlMatrix4.h"
#include "kmlVec3.h"

class ksgTransform;

// Rotation limits of one joint, relative to a base pose captured when the
// twist axis is set. With a half-angle of 0 the joint is a hinge about the
// twist axis; otherwise the twist axis may swing inside a cone of that
// half-angle and twist about itself within the twist range. Angles in
// degrees.
class ksgTransformLimits {
public:
    ksgTransformLimits();

    // Back to the defaults: axis (1, 0, 0), identity base, twist range
    // -180..180, half-angle 180 (no limit).
    void reset();

    // Captures the joint's present local matrix as the limit base and
    // stores the unit axis (given in the base's coordinates). Null is
    // ignored.
    void setTwistAxis(ksgTransform* joint, const kmlVec3& axis);
    void setTwistAxis(kmlMatrix4* base, const kmlVec3& axis);
    kmlVec3 getTwistAxis() const { return twistAxis; }

    // Stored as given: min above max pins every angle to min.
    void setTwistRange(float min, float max);
    void getTwistRange(float& min, float& max) const;

    // Clamped to [0, 180]; 0 turns the joint into a hinge.
    void setHalfAngle(float angle);
    float getHalfAngle() const { return halfAngle; }

    // Rewrites the joint's local matrix within the limits. The hinge keeps
    // only the rotation about the twist axis (translation relative to the
    // base is dropped).
    void apply(ksgTransform* joint) const;

private:
    void applyHinge(ksgTransform* joint) const;
    void applyCone(ksgTransform* joint) const;

    kmlVec3 twistAxis;
    kmlMatrix4 limitBase;
    kmlMatrix4 limitBaseInverse;
    float twistMin;
    float twistMax;
    float halfAngle;
};
