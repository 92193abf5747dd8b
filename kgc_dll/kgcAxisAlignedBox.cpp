#include "kgcAxisAlignedBox.h"

#include "kgcBoxOverlap.h"
#include "kgcMesh.h"

#include <cfloat>

kgcAxisAlignedBox::kgcAxisAlignedBox() = default;

kgcAxisAlignedBox::kgcAxisAlignedBox(const kgcAxisAlignedBox& other)
    : kgcBoundingBox(other), min(other.min), max(other.max)
{
}

kgcAxisAlignedBox& kgcAxisAlignedBox::operator=(const kgcAxisAlignedBox& other)
{
    if (this != &other) {
        min = other.min;
        max = other.max;
    }
    return *this;
}

kgcAxisAlignedBox::~kgcAxisAlignedBox() = default;

bool kgcAxisAlignedBox::operator==(const kgcAxisAlignedBox& other) const
{
    return this == &other || (max == other.max && min == other.min);
}

namespace {

// Widens [lo, hi] per axis to hold p.
void grow(kmlVec3& lo, kmlVec3& hi, const kmlVec3& p)
{
    for (int i = 0; i < 3; ++i) {
        if (p[i] < lo[i])
            lo[i] = p[i];
        if (p[i] > hi[i])
            hi[i] = p[i];
    }
}

kmlVec3 transformPoint(const kmlMatrix4& m, const kmlVec3& p)
{
    kmlVec3 r;
    for (int i = 0; i < 3; ++i)
        r[i] = m(i, 0) * p[0] + m(i, 1) * p[1] + m(i, 2) * p[2] + m(i, 3);
    return r;
}

} // namespace

void kgcAxisAlignedBox::transformBy(const kmlMatrix4& m)
{
    kmlVec3 moved[8];
    for (int i = 0; i < 8; ++i)
        moved[i] = transformPoint(m, getCorner(i));
    min = max = moved[0];
    for (int i = 1; i < 8; ++i)
        grow(min, max, moved[i]);
}

void kgcAxisAlignedBox::merge(kgcBoundingBox* other)
{
    if (!other)
        return;
    const kmlVec3 otherMin = other->getMin();
    const kmlVec3 otherMax = other->getMax();
    if (other == this)
        return;
    if (min == max) {
        min = otherMin;
        max = otherMax;
        return;
    }
    if (otherMin == otherMax)
        return;
    for (int i = 0; i < 3; ++i) {
        if (otherMin[i] < min[i])
            min[i] = otherMin[i];
        if (otherMax[i] > max[i])
            max[i] = otherMax[i];
    }
}

void kgcAxisAlignedBox::reset()
{
    min.setZero();
    max.setZero();
}

void kgcAxisAlignedBox::fromMinMax(const kmlVec3& lo, const kmlVec3& hi)
{
    min = lo;
    max = hi;
}

void kgcAxisAlignedBox::fromMesh(kgcMesh* mesh)
{
    if (mesh)
        kgcDetail::meshBounds(*mesh, min, max);
}

bool kgcAxisAlignedBox::collide(kgcMesh* mesh) const
{
    return mesh && kgcDetail::meshOverlapsBox(*this, *mesh);
}

bool kgcAxisAlignedBox::collide(kgcBoundingBox* other) const
{
    if (!other)
        return false;
    const kmlVec3 lo = getMin(), hi = getMax();
    const kmlVec3 otherLo = other->getMin(), otherHi = other->getMax();
    for (int i = 0; i < 3; ++i)
        if (lo[i] > otherHi[i] || hi[i] < otherLo[i])
            return false;
    return true;
}

bool kgcAxisAlignedBox::intersect(const kmlVec3& origin, const kmlVec3& direction) const
{
    // tmin starts just above 0 so that a ray starting inside reports its
    // origin rather than the exit behind it.
    float tmin = FLT_MIN;
    float tmax = FLT_MAX;
    const kmlVec3 p = getCenter() - origin;
    float h[3];
    getExtents(h);
    for (int i = 0; i < 3; ++i) {
        const float f = direction[i];
        if (f >= -1e-6f && f <= 1e-6f) {
            // Parallel to this slab: the ray stays inside it or never enters.
            if (p[i] - h[i] > 0 || p[i] + h[i] < 0)
                return false;
            continue;
        }
        float t1 = (p[i] + h[i]) / f;
        float t2 = (p[i] - h[i]) / f;
        if (t1 > t2) {
            const float t = t1;
            t1 = t2;
            t2 = t;
        }
        if (t1 > tmin)
            tmin = t1;
        if (t2 < tmax)
            tmax = t2;
        if (tmin > tmax || tmax < 0)
            return false;
    }
    const kmlVec3 hit = origin + tmin * direction;
    intersection = kmlVec4(hit, 1.0f);
    return true;
}

kmlVec3 kgcAxisAlignedBox::getXAxis() const { return kmlVec3(1, 0, 0); }
kmlVec3 kgcAxisAlignedBox::getYAxis() const { return kmlVec3(0, 1, 0); }
kmlVec3 kgcAxisAlignedBox::getZAxis() const { return kmlVec3(0, 0, 1); }

void kgcAxisAlignedBox::getAllAxis(kmlVec3* axes) const
{
    axes[0] = getXAxis();
    axes[1] = getYAxis();
    axes[2] = getZAxis();
}

kmlVec3 kgcAxisAlignedBox::getCenter() const
{
    return kmlVec3(0.5f * (min + max));
}

void kgcAxisAlignedBox::getExtents(float* extents) const
{
    for (int i = 0; i < 3; ++i)
        extents[i] = (max[i] - min[i]) * 0.5f;
}

kmlVec3 kgcAxisAlignedBox::getCorner(unsigned char code) const
{
    // One bit of each pair: Y in bits 0-1, X in bits 2-3, Z in bits 4-5.
    const int y = code & 3, x = (code >> 2) & 3, z = (code >> 4) & 3;
    if (code > 63 || x == 0 || x == 3 || y == 0 || y == 3 || z == 0 || z == 3)
        return kmlVec3();
    return kmlVec3(x == 1 ? max[0] : min[0], y == 1 ? max[1] : min[1], z == 1 ? max[2] : min[2]);
}

kmlVec3 kgcAxisAlignedBox::getCorner(int index) const
{
    if (index < 0 || index > 7)
        return kmlVec3();
    return getCorner(CORNER_CODES[index]);
}

kmlVec3 kgcAxisAlignedBox::getDelta(unsigned char code) const
{
    return kmlVec3(getCorner(code) - getCenter());
}

kmlVec3 kgcAxisAlignedBox::getDelta(int index) const
{
    return kmlVec3(getCorner(index) - getCenter());
}

kmlVec3 kgcAxisAlignedBox::getMax() const { return max; }
kmlVec3 kgcAxisAlignedBox::getMin() const { return min; }

void kgcAxisAlignedBox::getMinMax(kmlVec3& lo, kmlVec3& hi) const
{
    hi = max;
    lo = min;
}

bool kgcAxisAlignedBox::isInside(const kmlVec3& p) const
{
    for (int i = 0; i < 3; ++i)
        if (!(min[i] <= p[i] && p[i] <= max[i]))
            return false;
    return true;
}
