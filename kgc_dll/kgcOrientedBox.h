#ifndef KGCORIENTEDBOX_H
#define KGCORIENTEDBOX_H
// Box with its own three axes: a centre, axes X, Y, Z and half sizes along
// them. The part-collision check builds one per part (fromMinMax of the
// part's mesh bounds, then transformBy the part's world matrix) and tests
// pairs with collide(box) on every redraw.
//
// transformBy moves the axes without renormalising them, so a matrix with
// scale leaves axes longer or shorter than 1; the box still spans
// centre + sum of t_i * extent_i * axis_i for t_i in -1..1, and isInside,
// intersect and the collision tests measure it that way.

#include "kgcBoundingBox.h"

class kgcOrientedBox : public kgcBoundingBox
{
public:
    // Face codes of faceEq.
    enum Face { POS_Y = 1, NEG_Y = 2, POS_X = 4, NEG_X = 8, POS_Z = 16, NEG_Z = 32 };

    // A reset box: identity axes, zero extents, centre at the origin.
    kgcOrientedBox();
    kgcOrientedBox(const kgcOrientedBox& other) = default;
    kgcOrientedBox& operator=(const kgcOrientedBox& other) = default;
    ~kgcOrientedBox() override;

    // Axes become M * (axis, 0) and the centre M * (centre, 1).
    void transformBy(const kmlMatrix4& m) override;
    // Orientation halfway between the two boxes, centre halfway between
    // their centres, extents just large enough to hold both boxes' corners.
    void merge(kgcBoundingBox* other) override;
    void reset() override;
    // Identity axes; max below min on an axis gives a negative extent.
    void fromMinMax(const kmlVec3& min, const kmlVec3& max) override;
    void fromMesh(kgcMesh* mesh) override;
    bool collide(kgcMesh* mesh) const override;
    // Separating-axis test over both boxes' axes and their nine cross
    // products, through the other box's virtual axes and extents, so any box
    // kind works. Touching boxes collide. Makes no heap allocation.
    bool collide(kgcBoundingBox* other) const override;
    // Slab test along the box's axes. From outside the entry point is
    // stored, from inside the exit point; a box behind the origin is missed.
    bool intersect(const kmlVec3& origin, const kmlVec3& direction) const override;
    kmlVec3 getXAxis() const override { return axes[0]; }
    kmlVec3 getYAxis() const override { return axes[1]; }
    kmlVec3 getZAxis() const override { return axes[2]; }
    void getAllAxis(kmlVec3* out) const override;
    kmlVec3 getCenter() const override { return center; }
    void getExtents(float* out) const override;
    kmlVec3 getCorner(unsigned char code) const override;
    kmlVec3 getCorner(int index) const override;
    kmlVec3 getDelta(unsigned char code) const override;
    kmlVec3 getDelta(int index) const override;
    // The axis-aligned bounds of the eight corners.
    kmlVec3 getMax() const override;
    kmlVec3 getMin() const override;
    void getMinMax(kmlVec3& min, kmlVec3& max) const override;
    // Points on a face count as inside; a reset box holds only its centre.
    bool isInside(const kmlVec3& point) const override;

protected:
    // Plane of one face as normal . p + offset = 0, normal unit and pointing
    // out (for right-handed axes). An unknown face code gives a zero plane.
    void faceEq(unsigned char face, kmlVec3& normal, float& offset) const;

    kmlVec3 axes[3];
    float extents[3];
    kmlVec3 center;
};

#endif
