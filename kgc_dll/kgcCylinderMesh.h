#ifndef KGCCYLINDERMESH_H
#define KGCCYLINDERMESH_H
// A cylinder, truncated cone or cone standing on the origin along +y: rings
// of `slices` points from radius baseRadius at y = 0 to topRadius at
// y = height, `stacks` bands between them, closed by a fan at each end.
// A radius <= 0 makes a cone: that end has no ring and its centre is the
// apex. Built by the constructor; after a setter call compute().

#include "kgcMesh.h"

#include <vector>

class kgcCylinderMesh : public kgcMesh
{
public:
    // Stacks come before slices. A negative slice count is refused: the
    // mesh stays empty.
    kgcCylinderMesh(float baseRadius = 1.0f, float topRadius = 1.0f, float height = 1.0f,
                    int stacks = 8, int slices = 8);
    kgcCylinderMesh(const kgcCylinderMesh& other) = default;
    kgcCylinderMesh& operator=(const kgcCylinderMesh& other) = default;
    ~kgcCylinderMesh() override;

    // Stored as given; compute() rejects what cannot make a mesh.
    void setBaseRadius(float r) { baseRadius = r; }
    void setTopRadius(float r) { topRadius = r; }
    void setHeight(float h) { height = h; }
    void setStack(int n) { stacks = n; }
    // Rebuilds the ring directions; refused when negative or absurdly large.
    void setSlice(int n);
    float getBaseRadius() const { return baseRadius; }
    float getTopRadius() const { return topRadius; }
    float getHeight() const { return height; }
    int getStack() const { return stacks; }
    int getSlice() const { return slices; }

    // False (previous mesh kept) for fewer than 3 slices, no stack, a height
    // <= 0 or both radii <= 0.
    bool compute();

private:
    // Unit ring directions (cos a, 0, -sin a), a stepping by 360/slices.
    std::vector<kmlVec3> directions;
    float baseRadius;
    float topRadius;
    float height;
    int slices = 0;
    int stacks;
};

#endif
