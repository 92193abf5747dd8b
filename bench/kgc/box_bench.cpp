// Bounds updates: every node's box is moved by its world matrix on every
// scene update.
#include "kgcAxisAlignedBox.h"
#include "kgcOrientedBox.h"
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

// The part-collision check: for every pair of parts on every redraw, two
// oriented boxes are moved by the parts' world matrices and tested.
namespace {

kmlMatrix4 partMatrix(float x, float angle)
{
    kmlMatrix4 m;
    m.translate(kmlVec3(x, 0.2f, 0));
    m.rotate(kmlEuler(angle, angle * 0.5f, 15, 5));
    return m;
}

void BM_OrientedBoxTransformBy(benchmark::State& state)
{
    const kmlMatrix4 m = partMatrix(1, 30);
    kgcOrientedBox source;
    source.fromMinMax(kmlVec3(-1, -2, -3), kmlVec3(1, 2, 3));
    for (auto _ : state) {
        kgcOrientedBox b = source;
        b.transformBy(m);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_OrientedBoxTransformBy);

// Arg 0: boxes apart (usually an early axis separates them); arg 1:
// overlapping (all fifteen axes are tested).
void BM_OrientedBoxCollide(benchmark::State& state)
{
    kgcOrientedBox a, b;
    a.fromMinMax(kmlVec3(-1, -1, -1), kmlVec3(1, 1, 1));
    b = a;
    a.transformBy(partMatrix(0, 20));
    b.transformBy(partMatrix(state.range(0) ? 1.5f : 6.0f, 50));
    for (auto _ : state)
        benchmark::DoNotOptimize(a.collide(&b));
}
BENCHMARK(BM_OrientedBoxCollide)->Arg(0)->Arg(1);

} // namespace
