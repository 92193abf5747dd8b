// 4x4 transform: upper-left 3x3 the rotation, column 3 the translation, row 3
// (0, 0, 0, 1). Points are columns mapped to M * p. rotate, translate and *=
// multiply on the right, so a rotate followed by a translate rotates the
// translation. The storage is column-major and goes to OpenGL unchanged.
#ifndef KMLMATRIX4_H
#define KMLMATRIX4_H

#include "kmlEuler.h"
#include "kmlMatrix.h"
#include "kmlMatrix3.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

class kmlQuat;

class kmlMatrix4 : public kmlMatrix<4, 4> {
public:
    // Identity.
    kmlMatrix4() { setIdentity(); }
    explicit kmlMatrix4(const float* v) : kmlMatrix<4, 4>(v) {}
    kmlMatrix4(const kmlMatrix<4, 4>& o) : kmlMatrix<4, 4>(o) {}
    kmlMatrix4(const kmlMatrix4& o) : kmlMatrix<4, 4>(o) {}
    // Rotation block r, translation t.
    kmlMatrix4(const kmlMatrix<3, 3>& r, kmlVec<3> t);
    ~kmlMatrix4() override {}

    kmlMatrix4& operator=(const kmlMatrix<4, 4>& o) { kmlMatrix<4, 4>::operator=(o); return *this; }
    kmlMatrix4& operator=(const kmlMatrix4& o) { kmlMatrix<4, 4>::operator=(o); return *this; }

    // M becomes M * R (rotation in the local frame).
    void rotate(float angle, const kmlVec<3>& axis);
    void rotate(const kmlEuler& e);
    void rotate(const kmlQuat& q);
    void rotate(const kmlMatrix<3, 3>& r);
    // M becomes M * T.
    void translate(const kmlVec<3>& t);

    // These write the upper-left 3x3 only; translation and row 3 are kept.
    // A degenerate axis (squared length <= 1e-6) changes nothing.
    void setRotation(float angle, const kmlVec<3>& axis);
    void setRotation(const kmlEuler& e);
    void setRotation(const kmlQuat& q);
    void setRotation(const kmlMatrix<3, 3>& r);
    // Column 3 = (t, 1): entry (3,3) becomes 1 as well.
    void setTranslation(const kmlVec<3>& t);

    // Inverse of a rigid transform (rotation plus translation). For a matrix
    // with scale, shear or a projective row the result is no inverse.
    kmlMatrix4 getInverse() const;
    kmlMatrix4 getTranspose() const;
    kmlMatrix3 toMat3() const;

    // Conversions of the rotation block; see kmlMatrix3.
    kmlEuler toEuler(int order) const;
    kmlQuat toQuat() const;
    void toAxisAngle(float& angle, kmlVec3& axis) const;

protected:
    // Closed-form products of the three axis rotations into the 3x3 block.
    void fromEuler_XYZ(const kmlEuler& e);
    void fromEuler_XZY(const kmlEuler& e);
    void fromEuler_YXZ(const kmlEuler& e);
    void fromEuler_YZX(const kmlEuler& e);
    void fromEuler_ZXY(const kmlEuler& e);
    void fromEuler_ZYX(const kmlEuler& e);
};

#endif
