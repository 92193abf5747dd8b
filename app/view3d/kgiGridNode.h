#pragma once
// A flat grid as a scene node: a transform with one model child whose mesh
// is a grid of square cells in the x-z plane, drawn unlit in one colour as
// lines (the default) or filled. Offered for the 3D views; build it with
// init() (or by attaching it to a parent, which runs init).
#include "ksgTransform.h"

class kgcGridMesh;
class ksgColorParam;
class ksgPolygonModeParam;

class kgiGrid : public ksgTransform {
public:
    // Size and line spacing in model units; nothing is built until init.
    kgiGrid(float width, float depth, float step);

    // Builds the mesh, the render state (unlit, flat, no culling, colour
    // from setColor, lines) and the model child, then initialises the
    // transform. A second call only initialises the transform again.
    void init() override;

    // New size and spacing; nothing before init. Width and depth are cut to
    // whole cells of the new step.
    void setSize(float width, float depth, float step);
    // The mesh's present size; the outputs are left alone before init.
    void getSize(float* width, float* depth, float* step) const;

    // Red, green, blue, alpha in 0..1; kept for init when set before it.
    void setColor(float r, float g, float b, float a);
    // Lines without lighting, or filled cells with lighting; nothing before
    // init.
    void setWireframe(bool lines);

private:
    ksgPolygonModeParam* polygonMode = nullptr; // owned by the node's state
    ksgColorParam* colorParam = nullptr;        // owned by the node's state
    kgcGridMesh* mesh = nullptr;                // owned by the model child
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float width;
    float depth;
    float step;
};
