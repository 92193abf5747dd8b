#ifndef KGCAXISALIGNEDBOX_H
#define KGCAXISALIGNEDBOX_H
// Box with faces parallel to the coordinate planes: the bounds of every
// scene node. Stored as its min and max corners exactly as given (never
// normalised). A box whose min equals its max counts as empty when merged,
// so a new or reset box is the neutral start of a bounds accumulation; the
// catch is that a genuinely flat-to-a-point box is treated as empty too.

#include "kgcBoundingBox.h"

class kgcAxisAlignedBox : public kgcBoundingBox
{
public:
    kgcAxisAlignedBox();
    // Copies corners, colour and last intersection.
    kgcAxisAlignedBox(const kgcAxisAlignedBox& other);
    // Copies the corners only: the target keeps its colour and intersection.
    kgcAxisAlignedBox& operator=(const kgcAxisAlignedBox& other);
    ~kgcAxisAlignedBox() override;

    // Equal corners, exactly; colour and intersection are not compared.
    bool operator==(const kgcAxisAlignedBox& other) const;
    bool operator!=(const kgcAxisAlignedBox& other) const { return !(*this == other); }

    // The axis-aligned box around the eight moved corners (a rotation grows
    // it; w is not divided out).
    void transformBy(const kmlMatrix4& m) override;
    // An empty box takes the other box; an empty other box changes nothing.
    void merge(kgcBoundingBox* other) override;
    // Back to the empty box (0,0,0)-(0,0,0).
    void reset() override;
    void fromMinMax(const kmlVec3& min, const kmlVec3& max) override;
    void fromMesh(kgcMesh* mesh) override;
    bool collide(kgcMesh* mesh) const override;
    // Closed-interval overlap of the other box's getMin/getMax on x, y, z.
    bool collide(kgcBoundingBox* other) const override;
    // Slab test. A ray starting inside reports its own origin, otherwise
    // the entry point; a box behind the origin is missed.
    bool intersect(const kmlVec3& origin, const kmlVec3& direction) const override;
    kmlVec3 getXAxis() const override;
    kmlVec3 getYAxis() const override;
    kmlVec3 getZAxis() const override;
    void getAllAxis(kmlVec3* axes) const override;
    kmlVec3 getCenter() const override;
    void getExtents(float* extents) const override;
    kmlVec3 getCorner(unsigned char code) const override;
    kmlVec3 getCorner(int index) const override;
    kmlVec3 getDelta(unsigned char code) const override;
    kmlVec3 getDelta(int index) const override;
    kmlVec3 getMax() const override;
    kmlVec3 getMin() const override;
    // Writes both corners.
    void getMinMax(kmlVec3& min, kmlVec3& max) const override;
    // Boundaries count as inside; a NaN coordinate is outside.
    bool isInside(const kmlVec3& point) const override;

protected:
    kmlVec3 min;
    kmlVec3 max;
};

#endif
