#include "kgcOrientedBox.h"

#include "kgcBoxOverlap.h"
#include "kgcMesh.h"
#include "kmlMatrix3.h"
#include "kmlQuat.h"

#include <cfloat>

kgcOrientedBox::kgcOrientedBox()
{
    reset();
}

kgcOrientedBox::~kgcOrientedBox() = default;

void kgcOrientedBox::reset()
{
    axes[0].set(1, 0, 0);
    axes[1].set(0, 1, 0);
    axes[2].set(0, 0, 1);
    extents[0] = extents[1] = extents[2] = 0;
    center.setZero();
}

void kgcOrientedBox::fromMinMax(const kmlVec3& min, const kmlVec3& max)
{
    reset();
    center = 0.5f * (min + max);
    for (int i = 0; i < 3; ++i)
        extents[i] = (max[i] - min[i]) * 0.5f;
}

void kgcOrientedBox::fromMesh(kgcMesh* mesh)
{
    kmlVec3 lo, hi;
    if (mesh && kgcDetail::meshBounds(*mesh, lo, hi))
        fromMinMax(lo, hi);
}

void kgcOrientedBox::transformBy(const kmlMatrix4& m)
{
    for (kmlVec3& a : axes) {
        const kmlVec3 old = a;
        for (int i = 0; i < 3; ++i)
            a[i] = m(i, 0) * old[0] + m(i, 1) * old[1] + m(i, 2) * old[2];
    }
    const kmlVec3 c = center;
    for (int i = 0; i < 3; ++i)
        center[i] = m(i, 0) * c[0] + m(i, 1) * c[1] + m(i, 2) * c[2] + m(i, 3);
}

void kgcOrientedBox::merge(kgcBoundingBox* other)
{
    if (!other)
        return;
    kmlVec3 otherAxes[3];
    other->getAllAxis(otherAxes);
    kmlMatrix3 mine, theirs;
    for (int i = 0; i < 3; ++i) {
        mine.setColumn(i, axes[i]);
        theirs.setColumn(i, otherAxes[i]);
    }
    const kmlMatrix3 halfway = kmlQuat::slerp(mine.toQuat(), theirs.toQuat(), 0.5f).toMat3();
    kmlVec3 newAxes[3];
    for (int i = 0; i < 3; ++i)
        newAxes[i] = halfway.getColumn(i);
    const kmlVec3 newCenter = 0.5f * (other->getCenter() + center);
    // Offsets from the merged centre, so the new box holds every corner of
    // both boxes.
    float newExtents[3] = {0, 0, 0};
    for (const kgcBoundingBox* box : {static_cast<const kgcBoundingBox*>(this),
                                      static_cast<const kgcBoundingBox*>(other)}) {
        for (int k = 0; k < 8; ++k) {
            const kmlVec3 offset = box->getCorner(k) - newCenter;
            for (int i = 0; i < 3; ++i)
                newExtents[i] = kml::Max(newExtents[i], kml::Abs(newAxes[i].dot(offset)));
        }
    }
    for (int i = 0; i < 3; ++i) {
        axes[i] = newAxes[i];
        extents[i] = newExtents[i];
    }
    center = newCenter;
}

bool kgcOrientedBox::collide(kgcMesh* mesh) const
{
    return mesh && kgcDetail::meshOverlapsBox(*this, *mesh);
}

bool kgcOrientedBox::collide(kgcBoundingBox* other) const
{
    if (!other)
        return false;
    kmlVec3 b[3];
    float eb[3];
    other->getAllAxis(b);
    other->getExtents(eb);
    const kmlVec3 t = getCenter() - other->getCenter();
    kmlVec3 candidates[15];
    int n = 0;
    for (const kmlVec3& a : axes)
        candidates[n++] = a;
    for (const kmlVec3& a : b)
        candidates[n++] = a;
    for (const kmlVec3& a : axes)
        for (const kmlVec3& o : b)
            candidates[n++] = a.cross(o);
    auto radius = [](const kmlVec3* ax, const float* e, const kmlVec3& L) {
        float r = 0;
        for (int i = 0; i < 3; ++i)
            r += kml::Abs(e[i] * ax[i].dot(L));
        return r;
    };
    for (const kmlVec3& L : candidates) {
        // A zero axis (parallel pair) gives s = 0 and never separates.
        const float s = radius(axes, extents, L) + radius(b, eb, L) - kml::Abs(t.dot(L));
        if (s < 0)
            return false;
    }
    return true;
}

bool kgcOrientedBox::intersect(const kmlVec3& origin, const kmlVec3& direction) const
{
    float tmin = -FLT_MAX;
    float tmax = FLT_MAX;
    const kmlVec3 p = center - origin;
    for (int i = 0; i < 3; ++i) {
        const float e = axes[i].dot(p);
        const float f = axes[i].dot(direction);
        // The slab's half width as measured by this axis (its length squared
        // when a scaled transform stretched it).
        const float h = extents[i] * axes[i].norm2();
        if (kml::Abs(f) <= 0.001f) {
            // Parallel to the slab: the ray stays inside it or never enters.
            if (kml::Abs(e) > h)
                return false;
            continue;
        }
        float t1 = (e + h) / f;
        float t2 = (e - h) / f;
        if (t1 > t2) {
            const float s = t1;
            t1 = t2;
            t2 = s;
        }
        tmin = kml::Max(tmin, t1);
        tmax = kml::Min(tmax, t2);
        if (tmin > tmax || tmax < 0)
            return false;
    }
    const float t = tmin > 0 ? tmin : tmax;
    intersection = kmlVec4(origin + t * direction, 1.0f);
    return true;
}

void kgcOrientedBox::getAllAxis(kmlVec3* out) const
{
    for (int i = 0; i < 3; ++i)
        out[i] = axes[i];
}

void kgcOrientedBox::getExtents(float* out) const
{
    for (int i = 0; i < 3; ++i)
        out[i] = extents[i];
}

namespace {

// Signs of the X, Y and Z terms of a corner code: field value 1 is +, 2 is
// -; Y in bits 0-1, X in bits 2-3, Z in bits 4-5. False for any other code.
bool cornerSigns(unsigned char code, float& sx, float& sy, float& sz)
{
    auto sign = [](int field) { return field == 1 ? 1.0f : field == 2 ? -1.0f : 0.0f; };
    sy = sign(code & 3);
    sx = sign((code >> 2) & 3);
    sz = sign((code >> 4) & 3);
    return code <= 63 && sx != 0 && sy != 0 && sz != 0;
}

} // namespace

kmlVec3 kgcOrientedBox::getDelta(unsigned char code) const
{
    float sx, sy, sz;
    if (!cornerSigns(code, sx, sy, sz))
        return kmlVec3();
    return kmlVec3((sx * extents[0]) * axes[0] + (sy * extents[1]) * axes[1] +
                   (sz * extents[2]) * axes[2]);
}

kmlVec3 kgcOrientedBox::getCorner(unsigned char code) const
{
    float sx, sy, sz;
    if (!cornerSigns(code, sx, sy, sz))
        return kmlVec3();
    return kmlVec3(center + getDelta(code));
}

kmlVec3 kgcOrientedBox::getCorner(int index) const
{
    if (index < 0 || index > 7)
        return kmlVec3();
    return getCorner(CORNER_CODES[index]);
}

kmlVec3 kgcOrientedBox::getDelta(int index) const
{
    if (index < 0 || index > 7)
        return kmlVec3();
    return getDelta(CORNER_CODES[index]);
}

void kgcOrientedBox::getMinMax(kmlVec3& min, kmlVec3& max) const
{
    min = max = getCorner(0);
    for (int k = 1; k < 8; ++k) {
        const kmlVec3 p = getCorner(k);
        for (int i = 0; i < 3; ++i) {
            if (p[i] > max[i])
                max[i] = p[i];
            if (p[i] < min[i])
                min[i] = p[i];
        }
    }
}

kmlVec3 kgcOrientedBox::getMax() const
{
    kmlVec3 lo, hi;
    getMinMax(lo, hi);
    return hi;
}

kmlVec3 kgcOrientedBox::getMin() const
{
    kmlVec3 lo, hi;
    getMinMax(lo, hi);
    return lo;
}

bool kgcOrientedBox::isInside(const kmlVec3& point) const
{
    const kmlVec3 d = point - center;
    for (int i = 0; i < 3; ++i)
        if (!(kml::Abs(axes[i].dot(d)) <= extents[i] * axes[i].norm2()))
            return false;
    return true;
}

void kgcOrientedBox::faceEq(unsigned char face, kmlVec3& normal, float& offset) const
{
    // Three corners of the face, counter-clockwise seen from outside.
    unsigned char c[3];
    switch (face) {
    case POS_Y: c[0] = 25; c[1] = 21; c[2] = 41; break;
    case NEG_Y: c[0] = 42; c[1] = 38; c[2] = 26; break;
    case POS_X: c[0] = 22; c[1] = 38; c[2] = 21; break;
    case NEG_X: c[0] = 42; c[1] = 26; c[2] = 41; break;
    case POS_Z: c[0] = 26; c[1] = 22; c[2] = 25; break;
    case NEG_Z: c[0] = 38; c[1] = 42; c[2] = 37; break;
    default:
        normal.setZero();
        offset = 0;
        return;
    }
    const kmlVec3 p0 = getCorner(c[0]);
    normal = kmlVec3(getCorner(c[1]) - p0).cross(getCorner(c[2]) - p0);
    normal.unit();
    offset = -normal.dot(p0);
}
