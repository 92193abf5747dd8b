#ifndef KGCBOUNDINGBOX_H
#define KGCBOUNDINGBOX_H
// The bounding-volume interface shared by the axis-aligned and the oriented
// box. Each box kind meets the other only through these virtual operations,
// so any pair can be merged or collided.
//
// Corners are named by an index 0..7 (0-3 round the +Z side, 4-7 round the
// -Z side in the same turning order) or by a 6-bit side code with one bit of
// each pair set: 1 +Y, 2 -Y, 4 +X, 8 -X, 16 +Z, 32 -Z. Index and code agree:
//   index 0 1 2 3 4 5 6 7
//   code 21 25 26 22 37 41 42 38
// An unknown index or code gives the zero vector.

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

class kgcMesh;

class kgcBoundingBox
{
public:
    // The corner codes in index order.
    static const unsigned char CORNER_CODES[8];

    kgcBoundingBox();
    kgcBoundingBox(const kgcBoundingBox& other);
    kgcBoundingBox& operator=(const kgcBoundingBox& other);
    virtual ~kgcBoundingBox();

    // Moves the box by m (column vectors: p becomes m * p).
    virtual void transformBy(const kmlMatrix4& m) = 0;
    // Grows the box to hold another box of any kind; null is ignored.
    virtual void merge(kgcBoundingBox* other) = 0;
    virtual void reset() = 0;
    virtual void fromMinMax(const kmlVec3& min, const kmlVec3& max) = 0;
    // The box around the mesh's vertices; a mesh without vertices (or null)
    // leaves the box as it was.
    virtual void fromMesh(kgcMesh* mesh) = 0;
    // True when any face of the mesh overlaps the box; false for a mesh
    // without faces (or null).
    virtual bool collide(kgcMesh* mesh) const = 0;
    // True when the boxes overlap; touching boxes collide. Null gives false.
    virtual bool collide(kgcBoundingBox* other) const = 0;
    // Ray test; on a hit stores the point in getIntersection().
    virtual bool intersect(const kmlVec3& origin, const kmlVec3& direction) const = 0;
    virtual kmlVec3 getXAxis() const = 0;
    virtual kmlVec3 getYAxis() const = 0;
    virtual kmlVec3 getZAxis() const = 0;
    // Writes the X, Y and Z axes into axes[0..2].
    virtual void getAllAxis(kmlVec3* axes) const = 0;
    virtual kmlVec3 getCenter() const = 0;
    // Writes the half sizes along the three axes into extents[0..2].
    virtual void getExtents(float* extents) const = 0;
    virtual kmlVec3 getCorner(unsigned char code) const = 0;
    virtual kmlVec3 getCorner(int index) const = 0;
    // Corner minus centre.
    virtual kmlVec3 getDelta(unsigned char code) const = 0;
    virtual kmlVec3 getDelta(int index) const = 0;
    // Extreme points (for an axis-aligned box: the stored corners).
    virtual kmlVec3 getMax() const = 0;
    virtual kmlVec3 getMin() const = 0;
    virtual void getMinMax(kmlVec3& min, kmlVec3& max) const = 0;
    virtual bool isInside(const kmlVec3& point) const = 0;

    void setColor(float r, float g, float b);
    // The point of the last successful intersect, as (x, y, z, 1).
    const kmlVec4& getIntersection() const { return intersection; }

    // Wire frame through the eight corners in the box's colour. Lighting is
    // switched off for the lines and left as it was found; the current
    // colour is changed.
    void draw() const;

protected:
    mutable kmlVec4 intersection;
    float color[3];
};

#endif
