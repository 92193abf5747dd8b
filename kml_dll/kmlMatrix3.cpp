#include "kmlMatrix3.h"

#include "kmlQuat.h"

using namespace kml;

template class kmlMatrix<3, 3>;

void kmlMatrix3::rotate(float angle, const kmlVec<3>& axis)
{
    kmlMatrix3 r;
    r.setRotation(angle, axis);
    *this *= r;
}

void kmlMatrix3::rotate(const kmlEuler& e)
{
    kmlMatrix3 r;
    r.setRotation(e);
    *this *= r;
}

void kmlMatrix3::rotate(const kmlQuat& q)
{
    kmlMatrix3 r;
    r.setRotation(q);
    *this *= r;
}

void kmlMatrix3::rotate(const kmlMatrix<3, 3>& r)
{
    *this *= r;
}

void kmlMatrix3::setRotation(float angle, const kmlVec<3>& axis)
{
    kmlVec<3> a(axis);
    if (!a.unit()) return;
    setUnitAxisRotation(angle, a);
}

void kmlMatrix3::setUnitAxisRotation(float angle, const kmlVec<3>& a)
{
    float c = Cosd(angle), s = Sind(angle), t = 1.0f - c;
    float x = a[0], y = a[1], z = a[2];
    set(0, 0, x * x + (1.0f - x * x) * c);
    set(1, 0, x * y * t + z * s);
    set(2, 0, x * z * t - y * s);
    set(0, 1, x * y * t - z * s);
    set(1, 1, y * y + (1.0f - y * y) * c);
    set(2, 1, y * z * t + x * s);
    set(0, 2, x * z * t + y * s);
    set(1, 2, y * z * t - x * s);
    set(2, 2, z * z + (1.0f - z * z) * c);
}

void kmlMatrix3::setRotation(const kmlEuler& e) { *this = e.toMat3(); }
void kmlMatrix3::setRotation(const kmlQuat& q) { *this = q.toMat3(); }
void kmlMatrix3::setRotation(const kmlMatrix<3, 3>& r) { *this = r; }

kmlMatrix3 kmlMatrix3::getTranspose() const
{
    kmlMatrix3 t;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.set(r, c, get(c, r));
    return t;
}

kmlEuler kmlMatrix3::toEuler(int order) const
{
    switch (kmlEuler::effectiveOrder(order)) {
    case kmlEuler::XYZ: return toEuler_XYZ();
    case kmlEuler::XZY: return toEuler_XZY();
    case kmlEuler::YXZ: return toEuler_YXZ();
    case kmlEuler::YZX: return toEuler_YZX();
    case kmlEuler::ZXY: return toEuler_ZXY();
    default: return toEuler_ZYX();
    }
}

// Each order reads one entry s that is the sine of its middle angle (up to
// sign). Only an exact +-1 counts as gimbal lock; there the middle angle is
// +-90 and the remaining rotation goes to one outer angle.

kmlEuler kmlMatrix3::toEuler_XYZ() const
{
    const kmlMatrix3& M = *this;
    float s = M(0, 2);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Atan2d(-M(1, 2), M(2, 2)), Asind(s), Atan2d(-M(0, 1), M(0, 0)), kmlEuler::XYZ);
    if (s >= 1.0f) return kmlEuler(Atan2d(M(1, 0), M(1, 1)), 90.0f, 0.0f, kmlEuler::XYZ);
    return kmlEuler(-Atan2d(M(1, 0), M(1, 1)), -90.0f, 0.0f, kmlEuler::XYZ);
}

kmlEuler kmlMatrix3::toEuler_XZY() const
{
    const kmlMatrix3& M = *this;
    float s = M(0, 1);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Atan2d(M(2, 1), M(1, 1)), Atan2d(M(0, 2), M(0, 0)), Asind(-s), kmlEuler::XZY);
    if (s >= 1.0f) return kmlEuler(Atan2d(-M(2, 0), M(2, 2)), 0.0f, -90.0f, kmlEuler::XZY);
    return kmlEuler(Atan2d(M(2, 0), M(2, 2)), 0.0f, 90.0f, kmlEuler::XZY);
}

kmlEuler kmlMatrix3::toEuler_YXZ() const
{
    const kmlMatrix3& M = *this;
    float s = M(1, 2);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Asind(-s), Atan2d(M(0, 2), M(2, 2)), Atan2d(M(1, 0), M(1, 1)), kmlEuler::YXZ);
    if (s >= 1.0f) return kmlEuler(-90.0f, Atan2d(-M(0, 1), M(0, 0)), 0.0f, kmlEuler::YXZ);
    return kmlEuler(90.0f, Atan2d(M(0, 1), M(0, 0)), 0.0f, kmlEuler::YXZ);
}

kmlEuler kmlMatrix3::toEuler_YZX() const
{
    const kmlMatrix3& M = *this;
    float s = M(1, 0);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Atan2d(-M(1, 2), M(1, 1)), Atan2d(-M(2, 0), M(0, 0)), Asind(s), kmlEuler::YZX);
    if (s >= 1.0f) return kmlEuler(0.0f, Atan2d(M(2, 1), M(2, 2)), 90.0f, kmlEuler::YZX);
    return kmlEuler(0.0f, -Atan2d(M(2, 1), M(2, 2)), -90.0f, kmlEuler::YZX);
}

kmlEuler kmlMatrix3::toEuler_ZXY() const
{
    const kmlMatrix3& M = *this;
    float s = M(2, 1);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Asind(s), Atan2d(-M(2, 0), M(2, 2)), Atan2d(-M(0, 1), M(1, 1)), kmlEuler::ZXY);
    if (s >= 1.0f) return kmlEuler(90.0f, 0.0f, Atan2d(M(0, 2), M(0, 0)), kmlEuler::ZXY);
    return kmlEuler(-90.0f, 0.0f, -Atan2d(M(0, 2), M(0, 0)), kmlEuler::ZXY);
}

kmlEuler kmlMatrix3::toEuler_ZYX() const
{
    const kmlMatrix3& M = *this;
    float s = M(2, 0);
    if (s < 1.0f && s > -1.0f)
        return kmlEuler(Atan2d(M(2, 1), M(2, 2)), Asind(-s), Atan2d(M(1, 0), M(0, 0)), kmlEuler::ZYX);
    if (s >= 1.0f) return kmlEuler(0.0f, -90.0f, Atan2d(-M(0, 1), -M(0, 2)), kmlEuler::ZYX);
    return kmlEuler(0.0f, 90.0f, -Atan2d(M(0, 1), M(0, 2)), kmlEuler::ZYX);
}

kmlQuat kmlMatrix3::toQuat() const
{
    const kmlMatrix3& M = *this;
    float x, y, z, w;
    float t = M(0, 0) + M(1, 1) + M(2, 2) + 1.0f;
    // The trace formula divides by sqrt(trace + 1); it is only well
    // conditioned for a positive trace. Near a half turn (trace near -1) it
    // would divide rounding noise by almost zero, so the largest diagonal
    // entry picks the component to solve for instead.
    if (t > 1.0f) {
        float s = Sqrt(t);
        w = s / 2.0f;
        float f = 0.5f / s;
        x = (M(2, 1) - M(1, 2)) * f;
        y = (M(0, 2) - M(2, 0)) * f;
        z = (M(1, 0) - M(0, 1)) * f;
    } else {
        int i = 0;
        if (M(1, 1) > M(0, 0)) i = 1;
        if (M(2, 2) > M(i, i)) i = 2;
        if (i == 0) {
            float s = Sqrt(M(0, 0) - (M(2, 2) + M(1, 1)) + 1.0f);
            x = s / 2.0f;
            float f = 0.5f / s;
            y = (M(0, 1) + M(1, 0)) * f;
            z = (M(2, 0) + M(0, 2)) * f;
            w = (M(2, 1) - M(1, 2)) * f;
        } else if (i == 1) {
            float s = Sqrt(M(1, 1) - (M(2, 2) + M(0, 0)) + 1.0f);
            y = s / 2.0f;
            float f = 0.5f / s;
            z = (M(1, 2) + M(2, 1)) * f;
            w = (M(0, 2) - M(2, 0)) * f;
            x = (M(0, 1) + M(1, 0)) * f;
        } else {
            float s = Sqrt(M(2, 2) - (M(0, 0) + M(1, 1)) + 1.0f);
            z = s / 2.0f;
            float f = 0.5f / s;
            w = (M(1, 0) - M(0, 1)) * f;
            x = (M(2, 0) + M(0, 2)) * f;
            y = (M(1, 2) + M(2, 1)) * f;
        }
        // Between a half turn and a quarter turn the trace formula used to
        // give w >= 0; keep that sign so stored rotations do not flip.
        if (t > 0.0f && w < 0.0f) {
            x = -x;
            y = -y;
            z = -z;
            w = -w;
        }
    }
    kmlQuat q(x, y, z, w);
    q.unit();
    return q;
}

void kmlMatrix3::toAxisAngle(float& angle, kmlVec3& axis) const
{
    const kmlMatrix3& M = *this;
    float c = (M(0, 0) + M(1, 1) + M(2, 2) - 1.0f) * 0.5f;
    if (c > 0.999999f) {
        angle = 0.0f;
        axis.set(1.0f, 0.0f, 0.0f);
        return;
    }
    kmlVec3 skew(M(2, 1) - M(1, 2), M(0, 2) - M(2, 0), M(1, 0) - M(0, 1));
    if (c >= -0.999f) {
        angle = Acosd(c);
        float f = (1.0f / Sind(angle)) * 0.5f;
        skew *= f;
        axis = skew;
        axis.unit();
        return;
    }
    // Near a half turn the skew part is 2 sin(angle) * axis, almost zero, so
    // the axis comes from the symmetric part: M(i,i) = c + axis_i^2 (1 - c)
    // and M(i,j) + M(j,i) = 2 axis_i axis_j (1 - c). The skew part, however
    // small, still tells which of axis and -axis goes with an angle <= 180.
    // The arc cosine is ill-conditioned there too (and NaN when rounding puts
    // c below -1); the arc tangent of sine over cosine is not.
    if (c < -1.0f) c = -1.0f;
    angle = Atan2d(skew.norm() * 0.5f, c);
    float d = 1.0f - c;
    int i = 0;
    if (M(1, 1) > M(0, 0)) i = 1;
    if (M(2, 2) > M(i, i)) i = 2;
    float ai = Sqrt(Max((M(i, i) - c) / d, 0.0f));
    kmlVec3 a;
    a[i] = ai;
    for (int j = 0; j < 3; ++j)
        if (j != i) a[j] = (M(i, j) + M(j, i)) / (2.0f * ai * d);
    if (skew[i] < 0.0f) a = -a;
    a.unit();
    axis = a;
}
