#include "kmlQuat.h"

using namespace kml;

const kmlQuat kmlQuat::IDENTITY(0.0f, 0.0f, 0.0f, 1.0f);
const kmlQuat kmlQuat::ZERO(0.0f, 0.0f, 0.0f, 0.0f);

void kmlQuat::set(float angle, const kmlVec3& axis)
{
    float s = Sind(angle / 2.0f);
    set(axis[0] * s, axis[1] * s, axis[2] * s, Cosd(angle / 2.0f));
}

kmlQuat kmlQuat::getInverse() const
{
    if (!(norm2() > 1e-6f)) return *this;
    float n = norm();
    return kmlQuat(-c[0] / n, -c[1] / n, -c[2] / n, c[3] / n);
}

kmlQuat kmlQuat::getLog() const
{
    kmlQuat r(c[0], c[1], c[2], 0.0f);
    if (Abs(c[3]) < 1.0f) {
        float theta = Acos(c[3]);
        float s = Sin(theta);
        if (Abs(s) >= 0.001f) {
            float f = theta / s;
            r[0] *= f;
            r[1] *= f;
            r[2] *= f;
        }
    }
    return r;
}

kmlQuat kmlQuat::getExp() const
{
    float r = Sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    float s = Sin(r);
    kmlQuat q(c[0], c[1], c[2], Cos(r));
    if (Abs(s) >= 0.001f) {
        float f = s / r;
        q[0] *= f;
        q[1] *= f;
        q[2] *= f;
    }
    return q;
}

kmlQuat kmlQuat::pow(float e) const
{
    kmlQuat l = getLog();
    l[0] *= e;
    l[1] *= e;
    l[2] *= e;
    return l.getExp();
}

kmlMatrix3 kmlQuat::toMat3() const
{
    float x = c[0], y = c[1], z = c[2], w = c[3];
    float x2 = x + x, y2 = y + y, z2 = z + z;
    float xx = x * x2, yy = y * y2, zz = z * z2;
    float xy = x2 * y, xz = x2 * z, yz = y2 * z;
    float wx = x2 * w, wy = y2 * w, wz = z2 * w;
    kmlMatrix3 m;
    m.set(0, 0, 1.0f - yy - zz);
    m.set(0, 1, xy - wz);
    m.set(0, 2, xz + wy);
    m.set(1, 0, xy + wz);
    m.set(1, 1, 1.0f - xx - zz);
    m.set(1, 2, yz - wx);
    m.set(2, 0, xz - wy);
    m.set(2, 1, yz + wx);
    m.set(2, 2, 1.0f - xx - yy);
    return m;
}

kmlMatrix4 kmlQuat::toMat4() const
{
    kmlMatrix4 m;
    m.setRotation(toMat3());
    return m;
}

kmlEuler kmlQuat::toEuler() const
{
    return toMat3().toEuler(kmlEuler::ZYX);
}

void kmlQuat::toAxisAngle(float& angle, kmlVec3& axis) const
{
    float len = Sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    // A non-unit quaternion can have |w| < 1 with no vector part at all
    // (ZERO, for one); it has no axis to divide out.
    if (Abs(c[3]) < 0.999999f && len > 0.0f) {
        axis.set(c[0] / len, c[1] / len, c[2] / len);
        angle = 2.0f * Acosd(c[3]);
    } else {
        angle = 0.0f;
        axis.set(1.0f, 0.0f, 0.0f);
    }
}

kmlQuat& kmlQuat::operator*=(const kmlQuat& b)
{
    float ax = c[0], ay = c[1], az = c[2], aw = c[3];
    c[0] = b[3] * ax + aw * b[0] + (ay * b[2] - az * b[1]);
    c[1] = b[3] * ay + aw * b[1] + (az * b[0] - ax * b[2]);
    c[2] = b[3] * az + aw * b[2] + (ax * b[1] - ay * b[0]);
    c[3] = aw * b[3] - (ax * b[0] + ay * b[1] + az * b[2]);
    return *this;
}

kmlQuat operator*(const kmlQuat& a, const kmlQuat& b)
{
    kmlQuat r(a);
    r *= b;
    return r;
}

kmlQuat kmlQuat::align(const kmlVec3& u, const kmlVec3& v) const
{
    kmlVec3 d = u + v;
    bool ok = d.unit();
    float w = u.dot(d);
    kmlVec3 axis;
    if (ok) {
        axis = u.cross(d);
    } else {
        // Opposite vectors: any axis perpendicular to u will do. A permutation
        // of v's components usually gives one, but not when the components
        // are equal (it is then parallel to u); fall back to the cardinal axis
        // along u's smallest component, which can never be parallel to u.
        axis = u.cross(kmlVec3(v[2], v[0], v[1]));
        if (!axis.unit()) {
            int k = 0;
            if (Abs(u[1]) < Abs(u[k])) k = 1;
            if (Abs(u[2]) < Abs(u[k])) k = 2;
            kmlVec3 e;
            e[k] = 1.0f;
            axis = u.cross(e);
            axis.unit();
        }
    }
    return kmlQuat(axis[0], axis[1], axis[2], w);
}

namespace {
kmlVec3 rotated(const kmlMatrix3& m, const kmlVec3& v)
{
    kmlVec3 r;
    for (int i = 0; i < 3; ++i) r[i] = m(i, 0) * v[0] + m(i, 1) * v[1] + m(i, 2) * v[2];
    return r;
}
} // namespace

void kmlQuat::decompTwistNoTwist(const kmlVec3& axis, kmlQuat& twist, kmlQuat& noTwist) const
{
    noTwist = align(axis, rotated(toMat3(), axis));
    twist = *this * noTwist.getConjugate();
}

void kmlQuat::decompNoTwistTwist(const kmlVec3& axis, kmlQuat& noTwist, kmlQuat& twist) const
{
    noTwist = align(axis, rotated(toMat3(), axis));
    twist = noTwist.getConjugate() * *this;
}

kmlQuat kmlQuat::slerp(const kmlQuat& q0, const kmlQuat& q1, float t)
{
    if (t < 0.0f) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    kmlQuat b(q1);
    float d = q0.dot(q1);
    if (d < 0.0f) {
        b = q1.getAntipodal();
        d = -d;
    }
    float a0, a1;
    if (1.0f - d > 0.001f) {
        float theta = Acos(d);
        float k = 1.0f / Sin(theta);
        a0 = Sin((1.0f - t) * theta) * k;
        a1 = Sin(t * theta) * k;
    } else {
        a0 = 1.0f - t;
        a1 = t;
    }
    return kmlQuat(a0 * q0 + a1 * b);
}

kmlQuat kmlQuat::spline(const kmlQuat& q0, const kmlQuat& q1, const kmlQuat& q2, const kmlQuat& q3, float t)
{
    kmlQuat a = slerp(q0, q1, t), b = slerp(q1, q2, t), c = slerp(q2, q3, t);
    kmlQuat ab = slerp(a, b, t), bc = slerp(b, c, t);
    return slerp(ab, bc, t);
}

kmlQuat kmlQuat::intermediateOut(const kmlQuat& prev, const kmlQuat& cur, const kmlQuat& next, float s)
{
    return slerp(cur, cur * (prev.getInverse() * next), s);
}

kmlQuat kmlQuat::intermediateIn(const kmlQuat& prev, const kmlQuat& cur, const kmlQuat& next, float s)
{
    kmlQuat h = intermediateOut(prev, cur, next, s);
    return cur * h.getInverse() * cur;
}
