// Picking cost: rays against a mesh the size of a detailed model part.
#include "kgcMesh.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// A 224 x 224 grid of quads in z = 0, facing +z: 100,352 triangles.
kgcMesh bigGrid()
{
    const int cells = 224;
    kgcMesh m;
    m.begin((cells + 1) * (cells + 1), 1, 2 * cells * cells);
    for (int i = 0; i <= cells; ++i)
        for (int j = 0; j <= cells; ++j)
            m.addVertex(float(i) / cells, float(j) / cells, 0);
    m.addNormal(0, 0, 1);
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            const int v = i * (cells + 1) + j;
            m.addFace(v, v + cells + 1, v + cells + 2, 0);
            m.addFace(v, v + cells + 2, v + 1, 0);
        }
    m.end();
    return m;
}

void BM_RaysAgainstMesh(benchmark::State& state)
{
    const kgcMesh m = bigGrid();
    std::vector<kmlVec4> hits;
    hits.reserve(2048);
    for (auto _ : state) {
        hits.clear();
        for (int r = 0; r < 1000; ++r) {
            const float x = (r % 40 + 0.5f) / 40, y = (r / 40 + 0.5f) / 25;
            m.intersect(kmlVec3(x, y, 5), kmlVec3(0.01f, 0, -1), hits);
        }
        benchmark::DoNotOptimize(hits.data());
    }
    state.counters["triangles"] = m.getNumFaces();
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RaysAgainstMesh)->Unit(benchmark::kMillisecond);

} // namespace
