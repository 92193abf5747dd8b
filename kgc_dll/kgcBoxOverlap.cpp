#include "kgcBoxOverlap.h"

#include "kgcBoundingBox.h"
#include "kgcMesh.h"

namespace {

struct Box
{
    kmlVec3 axes[3];
    float extents[3];
    kmlVec3 center;

    // Half the length of the box's shadow on L.
    float radius(const kmlVec3& L) const
    {
        return extents[0] * kml::Abs(axes[0].dot(L)) + extents[1] * kml::Abs(axes[1].dot(L)) +
               extents[2] * kml::Abs(axes[2].dot(L));
    }
};

// Triangle corners are relative to the box centre. A zero axis (parallel
// edges, a degenerate face) never separates.
bool separatedOn(const Box& box, const kmlVec3& L, const kmlVec3 (&q)[3])
{
    const float p0 = L.dot(q[0]), p1 = L.dot(q[1]), p2 = L.dot(q[2]);
    const float r = box.radius(L);
    return kml::Min(p0, kml::Min(p1, p2)) > r || kml::Max(p0, kml::Max(p1, p2)) < -r;
}

bool triangleOverlaps(const Box& box, const kmlVec3 (&q)[3], const kmlVec3& normal)
{
    if (separatedOn(box, normal, q))
        return false;
    for (const kmlVec3& a : box.axes)
        if (separatedOn(box, a, q))
            return false;
    const kmlVec3 edges[3] = {q[1] - q[0], q[2] - q[1], q[0] - q[2]};
    for (const kmlVec3& a : box.axes)
        for (const kmlVec3& e : edges)
            if (separatedOn(box, a.cross(e), q))
                return false;
    return true;
}

} // namespace

bool kgcDetail::meshOverlapsBox(const kgcBoundingBox& bounds, const kgcMesh& mesh)
{
    Box box;
    bounds.getAllAxis(box.axes);
    bounds.getExtents(box.extents);
    box.center = bounds.getCenter();
    const bool vertexNormals = mesh.hasVertexNormals();
    for (int i = 0; i < mesh.getNumFaces(); ++i) {
        if (!mesh.faceInRange(i))
            continue;
        const kgcMesh::Face& f = mesh.getFace(i);
        const kmlVec3 q[3] = {mesh.vertexAt(f.a) - box.center, mesh.vertexAt(f.b) - box.center,
                              mesh.vertexAt(f.c) - box.center};
        // Per-vertex normals say nothing about the face's plane, and -1 means
        // no stored normal: use the face's own.
        kmlVec3 normal;
        if (vertexNormals || f.n < 0)
            normal = kmlVec3(q[1] - q[0]).cross(q[2] - q[1]);
        else
            normal = mesh.normalAt(f.n);
        if (triangleOverlaps(box, q, normal))
            return true;
    }
    return false;
}

bool kgcDetail::meshBounds(const kgcMesh& mesh, kmlVec3& lo, kmlVec3& hi)
{
    if (mesh.getNumVertices() == 0)
        return false;
    lo = hi = mesh.vertexAt(0);
    for (int v = 1; v < mesh.getNumVertices(); ++v) {
        const kmlVec3 p = mesh.vertexAt(v);
        for (int i = 0; i < 3; ++i) {
            if (p[i] < lo[i])
                lo[i] = p[i];
            if (p[i] > hi[i])
                hi[i] = p[i];
        }
    }
    return true;
}
