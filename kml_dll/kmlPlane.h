// Plane in Hessian form n . p = d. The signed distance of p is n . p - d,
// positive on the side the normal points to.
#ifndef KMLPLANE_H
#define KMLPLANE_H

#include "kmlVec3.h"

class kmlPlane {
public:
    enum Side { FRONT = 0, BEHIND = 1, ON = 2 };

    // Normal (0, 1, 0), distance 0.
    kmlPlane() : normal(0.0f, 1.0f, 0.0f), distance(0.0f) {}
    kmlPlane(const kmlVec3& p0, const kmlVec3& p1, const kmlVec3& p2) { fromPoints(p0, p1, p2); }
    kmlPlane(const kmlPlane& o) : normal(o.normal), distance(o.distance) {}
    kmlPlane& operator=(const kmlPlane& o)
    {
        normal = o.normal;
        distance = o.distance;
        return *this;
    }

    // Normal (p1 - p0) x (p2 - p0), made unit; counter-clockwise points face
    // the normal. A degenerate triangle keeps its near-zero cross product.
    void fromPoints(const kmlVec3& p0, const kmlVec3& p1, const kmlVec3& p2);

    // Stored as given: call normalize if distances must be true lengths.
    void setNormal(const kmlVec3& n) { normal = n; }
    void setDistance(float d) { distance = d; }
    const kmlVec3& getNormal() const { return normal; }
    float getDistance() const { return distance; }

    void flip();
    // Scales normal and distance so the normal has unit length; a zero normal
    // is left as it is.
    void normalize();

    float distanceTo(const kmlVec3& p) const { return normal.dot(p) - distance; }
    // Exact: only a distance of exactly 0 is ON, there is no tolerance.
    Side sideOf(const kmlVec3& p) const;

private:
    kmlVec3 normal;
    float distance;
};

#endif
