#include "kmlPlane.h"

void kmlPlane::fromPoints(const kmlVec3& p0, const kmlVec3& p1, const kmlVec3& p2)
{
    kmlVec3 e1 = p1 - p0, e2 = p2 - p0;
    normal = e1.cross(e2);
    normal.unit();
    distance = p0.dot(normal);
}

void kmlPlane::flip()
{
    normal = -normal;
    distance = -distance;
}

void kmlPlane::normalize()
{
    float len = normal.norm();
    if (!(len > 0.0f)) return;
    float inv = 1.0f / len;
    normal *= inv;
    distance *= inv;
}

kmlPlane::Side kmlPlane::sideOf(const kmlVec3& p) const
{
    float v = distanceTo(p);
    if (v < 0.0f) return BEHIND;
    if (v > 0.0f) return FRONT;
    return ON;
}
