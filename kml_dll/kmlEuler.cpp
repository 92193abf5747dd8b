#include "kmlEuler.h"

#include "kmlMatrix3.h"
#include "kmlMatrix4.h"
#include "kmlQuat.h"

kmlMatrix3 kmlEuler::toMat3() const
{
    static const kmlVec3 X(1.0f, 0.0f, 0.0f), Y(0.0f, 1.0f, 0.0f), Z(0.0f, 0.0f, 1.0f);
    kmlMatrix3 m;
    // One right-multiplied axis rotation per letter of the order, left to
    // right.
    switch (effectiveOrder(order)) {
    case XYZ: m.rotate(c[0], X); m.rotate(c[1], Y); m.rotate(c[2], Z); break;
    case XZY: m.rotate(c[0], X); m.rotate(c[2], Z); m.rotate(c[1], Y); break;
    case YXZ: m.rotate(c[1], Y); m.rotate(c[0], X); m.rotate(c[2], Z); break;
    case YZX: m.rotate(c[1], Y); m.rotate(c[2], Z); m.rotate(c[0], X); break;
    case ZXY: m.rotate(c[2], Z); m.rotate(c[0], X); m.rotate(c[1], Y); break;
    default: m.rotate(c[2], Z); m.rotate(c[1], Y); m.rotate(c[0], X); break;
    }
    return m;
}

kmlMatrix4 kmlEuler::toMat4() const
{
    kmlMatrix4 m;
    m.setRotation(*this);
    return m;
}

kmlQuat kmlEuler::toQuat() const
{
    return toMat4().toQuat();
}
