#include "kgcGridMesh.h"

#include <cmath>

namespace {

bool validStep(float s)
{
    return s > 0 && std::isfinite(s);
}

} // namespace

kgcGridMesh::kgcGridMesh(float width, float depth, float s)
{
    if (!validStep(s) || !(width >= 0) || !(depth >= 0))
        return;
    step = s;
    widthCells = cellsFor(width, step);
    depthCells = cellsFor(depth, step);
    compute();
}

kgcGridMesh::~kgcGridMesh() = default;

int kgcGridMesh::cellsFor(float length, float s)
{
    // The quotient is rounded to float before the floor, as the stored
    // cell counts have always been derived.
    const float cells = length / s;
    return kml::IFloor(cells);
}

void kgcGridMesh::setWidth(float w)
{
    if (w >= 0)
        widthCells = cellsFor(w, step);
}

void kgcGridMesh::setDepth(float d)
{
    if (d >= 0)
        depthCells = cellsFor(d, step);
}

void kgcGridMesh::setStep(float s)
{
    if (validStep(s))
        step = s;
}

bool kgcGridMesh::compute()
{
    const int W = widthCells, D = depthCells;
    if (W <= 0 || D <= 0)
        return false;
    // 64-bit: a huge width over a tiny step must be refused, not wrapped.
    const long long vertexCount = (W + 1LL) * (D + 1LL);
    if (vertexCount > MAX_COUNT || 2LL * W * D > MAX_COUNT)
        return false;
    const float hw = W * step * 0.5f;
    const float hd = D * step * 0.5f;
    if (!begin(static_cast<int>(vertexCount), 1, 2 * W * D))
        return false;
    for (int i = 0; i <= W; ++i)
        for (int k = 0; k <= D; ++k)
            addVertex(i * step - hw, 0, k * step - hd);
    addNormal(0, 1, 0);
    for (int i = 0; i < W; ++i)
        for (int k = 0; k < D; ++k) {
            const int v = i * (D + 1) + k;
            addFace(v + D + 2, v + D + 1, v, 0);
            addFace(v + 1, v + D + 2, v, 0);
        }
    return end();
}
