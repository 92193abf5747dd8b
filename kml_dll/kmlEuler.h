// Euler angles in degrees with an explicit rotation order.
//
// Components 0, 1, 2 are always the angles about X, Y and Z, whatever the
// order. An order with axes A, B, C means the matrix R_A * R_B * R_C, so the
// last letter is the rotation applied first to a point. Order codes:
// 0 XYZ, 1 XZY, 2 YXZ, 3 YZX, 4 ZXY, 5 ZYX; any other code acts as 5.
#ifndef KMLEULER_H
#define KMLEULER_H

#include "kmlVec.h"

class kmlMatrix3;
class kmlMatrix4;
class kmlQuat;

class kmlEuler : public kmlVec<3> {
public:
    enum Order { XYZ = 0, XZY = 1, YXZ = 2, YZX = 3, ZXY = 4, ZYX = 5 };

    // Angles 0; the default order is ZYX, the one the scene uses throughout.
    explicit kmlEuler(int order = ZYX) : order(order) {}
    kmlEuler(float x, float y, float z, int order = ZYX) : order(order) { set(x, y, z); }
    kmlEuler(const kmlVec<3>& angles, int order) : kmlVec<3>(angles), order(order) {}
    kmlEuler(const kmlEuler& e) : kmlVec<3>(e), order(e.order) {}
    ~kmlEuler() override {}

    using kmlVec<3>::set;
    using kmlVec<3>::get;
    void set(float x, float y, float z) { c[0] = x; c[1] = y; c[2] = z; }
    void get(float& x, float& y, float& z) const { x = c[0]; y = c[1]; z = c[2]; }

    int getOrder() const { return order; }
    // Keeps the code within 0..5: below 0 becomes 0, above 5 becomes 5.
    void setOrder(int o) { order = o < 0 ? 0 : (o > 5 ? 5 : o); }

    kmlEuler& operator=(const kmlEuler& e)
    {
        kmlVec<3>::operator=(e);
        order = e.order;
        return *this;
    }

    // Built by three successive axis rotations of a kmlMatrix3.
    kmlMatrix3 toMat3() const;
    // Built from the closed-form product (kmlMatrix4::setRotation).
    kmlMatrix4 toMat4() const;
    kmlQuat toQuat() const;

    // The code as the conversions use it: anything outside 0..4 is ZYX.
    static int effectiveOrder(int o) { return (o >= 0 && o <= 4) ? o : ZYX; }

private:
    int order;
};

#endif
