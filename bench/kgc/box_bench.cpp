// Bounds updates: every node's box is moved by its world matrix on every
// scene update.
#include "kgcAxisAlignedBox.h"
#include "kmlEuler.h"

#include <benchmark/benchmark.h>

namespace {

void BM_AxisAlignedBoxTransformBy(benchmark::State& state)
{
    kmlMatrix4 m;
    m.rotate(kmlEuler(10, 20, 30, 5));
    m.translate(kmlVec3(1, 2, 3));
    kgcAxisAlignedBox source;
    source.fromMinMax(kmlVec3(-1, -2, -3), kmlVec3(1, 2, 3));
    for (auto _ : state) {
        kgcAxisAlignedBox b = source;
        b.transformBy(m);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_AxisAlignedBoxTransformBy);

} // namespace
