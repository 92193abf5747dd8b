// 3x3 rotation matrix. Angles are degrees; rotate multiplies on the right
// (M becomes M * R, a rotation in the local frame).
#ifndef KMLMATRIX3_H
#define KMLMATRIX3_H

#include "kmlEuler.h"
#include "kmlMatrix.h"
#include "kmlVec3.h"

class kmlQuat;
class kmlMatrix4;

class kmlMatrix3 : public kmlMatrix<3, 3> {
public:
    // Identity.
    kmlMatrix3() { setIdentity(); }
    explicit kmlMatrix3(const float* v) : kmlMatrix<3, 3>(v) {}
    kmlMatrix3(const kmlMatrix<3, 3>& o) : kmlMatrix<3, 3>(o) {}
    kmlMatrix3(const kmlMatrix3& o) : kmlMatrix<3, 3>(o) {}
    ~kmlMatrix3() override {}

    kmlMatrix3& operator=(const kmlMatrix<3, 3>& o) { kmlMatrix<3, 3>::operator=(o); return *this; }
    kmlMatrix3& operator=(const kmlMatrix3& o) { kmlMatrix<3, 3>::operator=(o); return *this; }

    // M becomes M * R with R the given rotation.
    void rotate(float angle, const kmlVec<3>& axis);
    void rotate(const kmlEuler& e);
    void rotate(const kmlQuat& q);
    void rotate(const kmlMatrix<3, 3>& r);

    // Replaces the matrix by the rotation. With an axis shorter than 0.001
    // (squared length <= 1e-6) the matrix is left unchanged.
    void setRotation(float angle, const kmlVec<3>& axis);
    void setRotation(const kmlEuler& e);
    void setRotation(const kmlQuat& q);
    void setRotation(const kmlMatrix<3, 3>& r);

    kmlMatrix3 getTranspose() const;
    // The transpose: the matrix is taken to be a pure rotation.
    kmlMatrix3 getInverse() const { return getTranspose(); }

    // Euler angles in the given order (codes outside 0..4 act as ZYX, and the
    // result then carries 5). In gimbal lock the middle angle is +-90 and one
    // outer angle 0; compare rebuilt matrices there, not angles.
    kmlEuler toEuler(int order) const;
    // Unit quaternion of the rotation (the matrix must be a rotation).
    kmlQuat toQuat() const;
    // Angle in degrees within 0..180 and unit axis; identity gives 0, (1,0,0).
    void toAxisAngle(float& angle, kmlVec3& axis) const;

protected:
    kmlEuler toEuler_XYZ() const;
    kmlEuler toEuler_XZY() const;
    kmlEuler toEuler_YXZ() const;
    kmlEuler toEuler_YZX() const;
    kmlEuler toEuler_ZXY() const;
    kmlEuler toEuler_ZYX() const;

private:
    friend class kmlMatrix4;
    // Writes the rotation about an axis already of unit length.
    void setUnitAxisRotation(float angle, const kmlVec<3>& axis);
};

#endif
