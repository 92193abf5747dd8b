#ifndef KGCELLIPSEMESH_H
#define KGCELLIPSEMESH_H
// An ellipsoid centred on the origin with semi-axes lengthX, lengthY,
// lengthZ: `stacks` latitude bands from the south pole (0, -lengthY, 0) to
// the north pole, `slices` points per ring, one normal per vertex pointing
// away from the centre. Built by the constructor; after a setter call
// compute().

#include "kgcMesh.h"

#include <vector>

class kgcEllipseMesh : public kgcMesh
{
public:
    // Stacks come before slices. Stacks below 1 or slices below 0 are
    // refused and leave the mesh empty.
    kgcEllipseMesh(float lengthX, float lengthY, float lengthZ, int stacks, int slices);
    kgcEllipseMesh(const kgcEllipseMesh& other) = default;
    kgcEllipseMesh& operator=(const kgcEllipseMesh& other) = default;
    ~kgcEllipseMesh() override;

    // Stored as given; compute() rejects a length <= 0.
    void setLengthX(float l) { lengthX = l; }
    void setLengthY(float l) { lengthY = l; }
    void setLengthZ(float l) { lengthZ = l; }
    // Rebuild the latitude or ring tables. Refused: stacks below 1 (the
    // latitude tables hold stacks - 1 entries), slices below 0, either
    // absurdly large.
    void setStack(int n);
    void setSlice(int n);
    float getLengthX() const { return lengthX; }
    float getLengthY() const { return lengthY; }
    float getLengthZ() const { return lengthZ; }
    int getStack() const { return stacks; }
    int getSlice() const { return slices; }

    // False (previous mesh kept) for fewer than 2 stacks or 3 slices or a
    // length <= 0.
    bool compute();

private:
    float lengthX;
    float lengthY;
    float lengthZ;
    int stacks = 0;
    int slices = 0;
    // cos a_j and -sin a_j of the ring angles, a_j stepping by 360/slices.
    std::vector<float> sliceCos, sliceSin;
    // cos b_i and sin b_i of the interior latitudes, south to north.
    std::vector<float> stackCos, stackSin;
};

#endif
