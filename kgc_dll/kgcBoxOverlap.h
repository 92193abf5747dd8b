#ifndef KGCBOXOVERLAP_H
#define KGCBOXOVERLAP_H
// Triangle against box, shared by both box kinds (internal to the library).

class kgcBoundingBox;
class kgcMesh;

namespace kgcDetail {

// True when any face of the mesh overlaps the box, false for a mesh without
// faces. Separating-axis test per face over the face normal, the box's three
// axes and the nine box-axis x edge products; touching counts as overlap.
// The box is read through its virtual axes, centre and extents, so its axes
// may carry a scale (a box moved by a scaling matrix).
bool meshOverlapsBox(const kgcBoundingBox& box, const kgcMesh& mesh);

} // namespace kgcDetail

#endif
