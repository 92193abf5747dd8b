#ifndef KGCBOXMESH_H
#define KGCBOXMESH_H
// A cube centred on the origin, each face divided into subDiv x subDiv
// cells, with one flat normal per side.
//
// Like every generated mesh: the constructor builds the mesh; setters only
// store (a refused value keeps the old one) and the caller runs compute()
// to rebuild. compute() returns false and keeps the previous mesh when the
// parameters cannot make one.

#include "kgcMesh.h"

class kgcBoxMesh : public kgcMesh
{
public:
    // A subDiv below 1 is refused: the box keeps subDiv 1 and stays empty.
    explicit kgcBoxMesh(float size = 1.0f, int subDiv = 1);
    kgcBoxMesh(const kgcBoxMesh& other) = default;
    kgcBoxMesh& operator=(const kgcBoxMesh& other) = default;
    ~kgcBoxMesh() override;

    // Edge length; refused unless > 0.
    void setSize(float s);
    // Cells along each edge; refused unless >= 1.
    void setSubDiv(int n);
    float getSize() const { return size; }
    int getSubDiv() const { return subDiv; }

    // 6n^2 + 2 vertices, 6 normals, 12n^2 faces, wound outward.
    bool compute();

protected:
    // Index of lattice point (i, j, k), 0 <= i, j, k <= subDiv, in vertex
    // order; -1 for an interior point, which has no vertex.
    int getOffset(int i, int j, int k) const;

private:
    float size;
    int subDiv;
};

#endif
