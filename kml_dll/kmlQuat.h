// Quaternion (x, y, z, w): (x, y, z) the vector part, w the scalar part
// (component index 3). A unit quaternion (axis * sin(a/2), cos(a/2)) is the
// rotation by a about axis; q and -q are the same rotation. Angles at this
// interface are degrees; getLog and getExp work in radians.
#ifndef KMLQUAT_H
#define KMLQUAT_H

#include "kmlEuler.h"
#include "kmlMatrix3.h"
#include "kmlMatrix4.h"
#include "kmlVec3.h"

class kmlQuat : public kmlVec<4> {
public:
    static const kmlQuat IDENTITY; // (0, 0, 0, 1)
    static const kmlQuat ZERO;     // (0, 0, 0, 0)

    // Identity.
    kmlQuat() { setIdentity(); }
    // The pure quaternion (x, y, z, 0).
    kmlQuat(float x, float y, float z) { set(x, y, z, 0.0f); }
    kmlQuat(float x, float y, float z, float w) { set(x, y, z, w); }
    // Rotation by angle degrees about axis. The axis is used as given: pass a
    // unit vector.
    kmlQuat(float angle, const kmlVec3& axis) { set(angle, axis); }
    kmlQuat(const kmlVec<4>& v) : kmlVec<4>(v) {}
    kmlQuat(const kmlQuat& q) : kmlVec<4>(q) {}
    ~kmlQuat() override {}

    kmlQuat& operator=(const kmlVec<4>& v) { kmlVec<4>::operator=(v); return *this; }
    kmlQuat& operator=(const kmlQuat& q) { kmlVec<4>::operator=(q); return *this; }

    using kmlVec<4>::set;
    void set(float x, float y, float z, float w) { c[0] = x; c[1] = y; c[2] = z; c[3] = w; }
    void set(float angle, const kmlVec3& axis);
    void setIdentity() { set(0.0f, 0.0f, 0.0f, 1.0f); }

    kmlQuat getConjugate() const { return kmlQuat(-c[0], -c[1], -c[2], c[3]); }
    kmlQuat getAntipodal() const { return kmlQuat(-c[0], -c[1], -c[2], -c[3]); }
    // Inverse of the normalised rotation; a quaternion with squared length
    // <= 1e-6 comes back unchanged.
    kmlQuat getInverse() const;
    // Logarithm (w = 0, vector part scaled by angle/sin, radians) and
    // exponential of a pure quaternion (the input's w is ignored).
    kmlQuat getLog() const;
    kmlQuat getExp() const;
    // The rotation scaled by e (exp(e log q)) for a unit quaternion.
    kmlQuat pow(float e) const;

    // Rotation matrices; the quaternion is not normalised first.
    kmlMatrix3 toMat3() const;
    kmlMatrix4 toMat4() const;
    // Always ZYX order.
    kmlEuler toEuler() const;
    // Angle in degrees (0..360) and unit axis; |w| >= 0.999999 (w near -1
    // too) counts as no rotation: 0 and (1, 0, 0).
    void toAxisAngle(float& angle, kmlVec3& axis) const;

    // Hamilton product this * b: the rotation b is applied first, then this,
    // as with the matrices of the two rotations.
    kmlQuat& operator*=(const kmlQuat& b);

    // Shortest rotation taking unit u to unit v; opposite vectors give a half
    // turn about an axis perpendicular to u. The object is not read.
    kmlQuat align(const kmlVec3& u, const kmlVec3& v) const;
    // Splits this = twist * noTwist (twist about the rotated axis R * axis).
    void decompTwistNoTwist(const kmlVec3& axis, kmlQuat& twist, kmlQuat& noTwist) const;
    // Splits this = noTwist * twist (twist about axis itself).
    void decompNoTwistTwist(const kmlVec3& axis, kmlQuat& noTwist, kmlQuat& twist) const;

    // Spherical interpolation from q0 (t = 0) to q1 (t = 1) along the short
    // path; t is clamped to 0..1. Nearly parallel inputs (1 - dot <= 0.001)
    // are blended linearly. The result is not renormalised, and at t = 1 it
    // may be -q1, the same rotation.
    static kmlQuat slerp(const kmlQuat& q0, const kmlQuat& q1, float t);
    // Cubic Bezier on the sphere through q0 (t = 0) and q3 (t = 1) with
    // controls q1 (out of q0) and q2 (into q3).
    static kmlQuat spline(const kmlQuat& q0, const kmlQuat& q1, const kmlQuat& q2, const kmlQuat& q3,
                          float t);
    // Outgoing and incoming spline controls of cur between prev and next;
    // s scales the tangent (0.25 for evenly spaced keys).
    static kmlQuat intermediateOut(const kmlQuat& prev, const kmlQuat& cur, const kmlQuat& next, float s);
    static kmlQuat intermediateIn(const kmlQuat& prev, const kmlQuat& cur, const kmlQuat& next, float s);
};

kmlQuat operator*(const kmlQuat& a, const kmlQuat& b);

#endif
