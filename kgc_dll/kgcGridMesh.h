#ifndef KGCGRIDMESH_H
#define KGCGRIDMESH_H
// A flat grid of square cells in the x-z plane centred on the origin,
// facing +y: the floor of the 3D view. Width and depth are kept as whole
// cell counts, so a width that is not a multiple of the step is cut down.
// Built by the constructor; after a setter call compute().

#include "kgcMesh.h"

class kgcGridMesh : public kgcMesh
{
public:
    // A step <= 0 or not finite, or a negative width or depth, is refused:
    // the grid stays empty.
    kgcGridMesh(float width = 10.0f, float depth = 10.0f, float step = 1.0f);
    kgcGridMesh(const kgcGridMesh& other) = default;
    kgcGridMesh& operator=(const kgcGridMesh& other) = default;
    ~kgcGridMesh() override;

    // Cells = floor(width / step) with the current step; a negative width
    // is refused. Set the step first: setStep does not recount the cells,
    // so width and depth then read as cells x the new step.
    void setWidth(float w);
    void setDepth(float d);
    // Refused unless > 0 and finite.
    void setStep(float s);
    float getWidth() const { return static_cast<float>(widthCells) * step; }
    float getDepth() const { return static_cast<float>(depthCells) * step; }
    float getStep() const { return step; }

    // False (previous mesh kept) when either count is 0 or the grid would be
    // absurdly large.
    bool compute();

private:
    static int cellsFor(float length, float step);

    float step = 1.0f;
    int widthCells = 0;
    int depthCells = 0;
};

#endif
