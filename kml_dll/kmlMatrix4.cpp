#include "kmlMatrix4.h"

#include "kmlQuat.h"

using namespace kml;

template class kmlMatrix<4, 4>;

kmlMatrix4::kmlMatrix4(const kmlMatrix<3, 3>& r, kmlVec<3> t)
{
    setIdentity();
    setRotation(r);
    setTranslation(t);
}

void kmlMatrix4::rotate(float angle, const kmlVec<3>& axis)
{
    kmlMatrix4 r;
    r.setRotation(angle, axis);
    *this *= r;
}

void kmlMatrix4::rotate(const kmlEuler& e)
{
    kmlMatrix4 r;
    r.setRotation(e);
    *this *= r;
}

void kmlMatrix4::rotate(const kmlQuat& q)
{
    kmlMatrix4 r;
    r.setRotation(q);
    *this *= r;
}

void kmlMatrix4::rotate(const kmlMatrix<3, 3>& m3)
{
    kmlMatrix4 r;
    r.setRotation(m3);
    *this *= r;
}

void kmlMatrix4::translate(const kmlVec<3>& t)
{
    kmlMatrix4 tm;
    tm.setTranslation(t);
    *this *= tm;
}

void kmlMatrix4::setRotation(float angle, const kmlVec<3>& axis)
{
    kmlVec<3> a(axis);
    if (!a.unit()) return;
    kmlMatrix3 r;
    r.setUnitAxisRotation(angle, a);
    setRotation(r);
}

void kmlMatrix4::setRotation(const kmlEuler& e)
{
    switch (kmlEuler::effectiveOrder(e.getOrder())) {
    case kmlEuler::XYZ: fromEuler_XYZ(e); break;
    case kmlEuler::XZY: fromEuler_XZY(e); break;
    case kmlEuler::YXZ: fromEuler_YXZ(e); break;
    case kmlEuler::YZX: fromEuler_YZX(e); break;
    case kmlEuler::ZXY: fromEuler_ZXY(e); break;
    default: fromEuler_ZYX(e); break;
    }
}

void kmlMatrix4::setRotation(const kmlQuat& q)
{
    setRotation(q.toMat3());
}

void kmlMatrix4::setRotation(const kmlMatrix<3, 3>& r)
{
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) set(row, col, r(row, col));
}

void kmlMatrix4::setTranslation(const kmlVec<3>& t)
{
    set(0, 3, t[0]);
    set(1, 3, t[1]);
    set(2, 3, t[2]);
    set(3, 3, 1.0f);
}

kmlMatrix4 kmlMatrix4::getInverse() const
{
    kmlMatrix4 inv;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) inv.set(row, col, get(col, row));
    kmlVec<4> t = getColumn(3);
    for (int c = 0; c < 3; ++c)
        inv.set(c, 3, -(get(0, c) * t[0] + get(1, c) * t[1] + get(2, c) * t[2]));
    return inv;
}

kmlMatrix4 kmlMatrix4::getTranspose() const
{
    kmlMatrix4 t;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) t.set(row, col, get(col, row));
    return t;
}

kmlMatrix3 kmlMatrix4::toMat3() const
{
    kmlMatrix3 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r.set(row, col, get(row, col));
    return r;
}

kmlEuler kmlMatrix4::toEuler(int order) const { return toMat3().toEuler(order); }
kmlQuat kmlMatrix4::toQuat() const { return toMat3().toQuat(); }
void kmlMatrix4::toAxisAngle(float& angle, kmlVec3& axis) const { toMat3().toAxisAngle(angle, axis); }

// The closed forms below are the products of
//   Rx = [1 0 0; 0 cx -sx; 0 sx cx], Ry = [cy 0 sy; 0 1 0; -sy 0 cy],
//   Rz = [cz -sz 0; sz cz 0; 0 0 1]
// in the order the name gives, written entry by entry.
namespace {
struct Trig {
    float cx, sx, cy, sy, cz, sz;
    explicit Trig(const kmlEuler& e)
        : cx(Cosd(e[0])), sx(Sind(e[0])), cy(Cosd(e[1])), sy(Sind(e[1])), cz(Cosd(e[2])), sz(Sind(e[2]))
    {
    }
};
} // namespace

#define KML_SET_ROWS(m00, m01, m02, m10, m11, m12, m20, m21, m22) \
    set(0, 0, m00); set(0, 1, m01); set(0, 2, m02);               \
    set(1, 0, m10); set(1, 1, m11); set(1, 2, m12);               \
    set(2, 0, m20); set(2, 1, m21); set(2, 2, m22)

void kmlMatrix4::fromEuler_XYZ(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cy * t.cz, -t.cy * t.sz, t.sy,
                 t.sx * t.sy * t.cz + t.cx * t.sz, -t.sx * t.sy * t.sz + t.cx * t.cz, -t.sx * t.cy,
                 -t.cx * t.sy * t.cz + t.sx * t.sz, t.cx * t.sy * t.sz + t.sx * t.cz, t.cx * t.cy);
}

void kmlMatrix4::fromEuler_XZY(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cz * t.cy, -t.sz, t.cz * t.sy,
                 t.cx * t.sz * t.cy + t.sx * t.sy, t.cx * t.cz, t.cx * t.sz * t.sy - t.sx * t.cy,
                 t.sx * t.sz * t.cy - t.cx * t.sy, t.sx * t.cz, t.sx * t.sz * t.sy + t.cx * t.cy);
}

void kmlMatrix4::fromEuler_YXZ(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cy * t.cz + t.sy * t.sx * t.sz, -t.cy * t.sz + t.sy * t.sx * t.cz, t.sy * t.cx,
                 t.cx * t.sz, t.cx * t.cz, -t.sx,
                 -t.sy * t.cz + t.cy * t.sx * t.sz, t.sy * t.sz + t.cy * t.sx * t.cz, t.cy * t.cx);
}

void kmlMatrix4::fromEuler_YZX(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cy * t.cz, -t.cy * t.sz * t.cx + t.sy * t.sx, t.cy * t.sz * t.sx + t.sy * t.cx,
                 t.sz, t.cz * t.cx, -t.cz * t.sx,
                 -t.sy * t.cz, t.sy * t.sz * t.cx + t.cy * t.sx, -t.sy * t.sz * t.sx + t.cy * t.cx);
}

void kmlMatrix4::fromEuler_ZXY(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cz * t.cy - t.sz * t.sx * t.sy, -t.sz * t.cx, t.cz * t.sy + t.sz * t.sx * t.cy,
                 t.sz * t.cy + t.cz * t.sx * t.sy, t.cz * t.cx, t.sz * t.sy - t.cz * t.sx * t.cy,
                 -t.cx * t.sy, t.sx, t.cx * t.cy);
}

void kmlMatrix4::fromEuler_ZYX(const kmlEuler& e)
{
    Trig t(e);
    KML_SET_ROWS(t.cz * t.cy, -t.sz * t.cx + t.cz * t.sy * t.sx, t.sz * t.sx + t.cz * t.sy * t.cx,
                 t.sz * t.cy, t.cz * t.cx + t.sz * t.sy * t.sx, -t.cz * t.sx + t.sz * t.sy * t.cx,
                 -t.sy, t.cy * t.sx, t.cy * t.cx);
}

#undef KML_SET_ROWS
