#ifndef KGCBOXOVERLAP_H
#define KGCBOXOVERLAP_H
// Mesh geometry shared by both box kinds (internal to the library).

class kgcBoundingBox;
class kgcMesh;
class kmlVec3;

namespace kgcDetail {

// True when any face of the mesh overlaps the box, false for a mesh without
// faces. Separating-axis test per face over the face normal, the box's three
// axes and the nine box-axis x edge products; touching counts as overlap.
// The box is read through its virtual axes, centre and extents, so its axes
// may carry a scale (a box moved by a scaling matrix).
bool meshOverlapsBox(const kgcBoundingBox& box, const kgcMesh& mesh);

// Smallest and largest coordinate of the mesh's vertices per axis. False,
// and lo and hi untouched, for a mesh without vertices.
bool meshBounds(const kgcMesh& mesh, kmlVec3& lo, kmlVec3& hi);

} // namespace kgcDetail

#endif
