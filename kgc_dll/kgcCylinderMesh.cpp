#include "kgcCylinderMesh.h"

kgcCylinderMesh::kgcCylinderMesh(float base, float top, float h, int st, int sl)
    : baseRadius(base), topRadius(top), height(h), stacks(st)
{
    if (sl < 0)
        return;
    setSlice(sl);
    compute();
}

kgcCylinderMesh::~kgcCylinderMesh() = default;

void kgcCylinderMesh::setSlice(int n)
{
    if (n < 0 || n > MAX_COUNT || n == slices)
        return;
    slices = n;
    directions.assign(static_cast<size_t>(n), kmlVec3());
    // The angle is accumulated in float so that every build yields the
    // same points.
    float a = 0;
    for (kmlVec3& d : directions) {
        d.set(kml::Cosd(a), 0, -kml::Sind(a));
        a += 360.0f / n;
    }
}

bool kgcCylinderMesh::compute()
{
    const int S = slices, T = stacks;
    if (S < 3 || T < 1 || !(height > 0) || static_cast<int>(directions.size()) != S ||
        (!(baseRadius > 0) && !(topRadius > 0)))
        return false;
    const bool hasBase = baseRadius > 0, hasTop = topRadius > 0;
    const int rings = hasBase && hasTop ? T + 1 : T;
    if (static_cast<long long>(2) * S * rings > MAX_COUNT)
        return false;
    const float dy = height / T;
    const float dr = (topRadius - baseRadius) / T;
    if (!begin(rings * S + 2, S + 2, 2 * S * rings))
        return false;

    float y = hasBase ? 0 : dy;
    float r = hasBase ? baseRadius : dr;
    for (int k = 0; k < rings; ++k) {
        for (const kmlVec3& d : directions)
            addVertex(r * d[0], y, r * d[2]);
        y += dy;
        r += dr;
    }
    addVertex(0, 0, 0);
    addVertex(0, height, 0);

    // Side normal: outward across the facet, tilted by the slope of the
    // side (the radius grows by dr per dy, so a widening side faces down).
    for (int s = 0; s < S; ++s) {
        kmlVec3 n = directions[s] + directions[(s + 1) % S];
        n[1] = 0;
        n.unit();
        n[1] = -dr / dy;
        n.unit();
        addNormal(n[0], n[1], n[2]);
    }
    addNormal(0, -1, 0);
    addNormal(0, 1, 0);

    for (int k = 0; k + 1 < rings; ++k)
        for (int s = 0; s < S; ++s) {
            const int a = k * S + s, b = k * S + (s + 1) % S;
            addFace(a, b, b + S, s);
            addFace(a, b + S, a + S, s);
        }
    // An end without a ring is the apex of the side: its fan takes the
    // side normals.
    const int bottom = rings * S;
    for (int s = 0; s < S; ++s)
        addFace((s + 1) % S, s, bottom, hasBase ? S : s);
    const int top = rings * S + 1, last = (rings - 1) * S;
    for (int s = 0; s < S; ++s)
        addFace(top, last + s, last + (s + 1) % S, hasTop ? S + 1 : s);
    return end();
}
