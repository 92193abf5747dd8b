// Baseline cost of the rotation primitives every frame leans on.
#include <benchmark/benchmark.h>

#include "kmlQuat.h"

static void BM_Matrix4Multiply(benchmark::State& state)
{
    kmlMatrix4 a = kmlEuler(10, 20, 30).toMat4(), b = kmlEuler(-5, 40, 7).toMat4();
    for (auto _ : state) {
        kmlMatrix4 p(a);
        p *= b;
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Matrix4Multiply);

static void BM_EulerToMatrixAndBack(benchmark::State& state)
{
    kmlEuler e(10, 20, 30);
    for (auto _ : state) {
        kmlEuler back = e.toMat4().toEuler(5);
        benchmark::DoNotOptimize(back);
        e[0] += 1e-3f;
    }
}
BENCHMARK(BM_EulerToMatrixAndBack);

static void BM_QuatSlerp(benchmark::State& state)
{
    kmlQuat q0 = kmlEuler(10, 20, 30).toQuat(), q1 = kmlEuler(-40, 5, 60).toQuat();
    float t = 0.0f;
    for (auto _ : state) {
        kmlQuat q = kmlQuat::slerp(q0, q1, t);
        benchmark::DoNotOptimize(q);
        t += 1e-6f;
        if (t > 1.0f) t = 0.0f;
    }
}
BENCHMARK(BM_QuatSlerp);
