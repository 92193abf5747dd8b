// Per-frame cost of evaluating an Euler rotation curve.
#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "kmlEulerCurve.h"
#include "kmlTCEvaluator.h"

namespace {
const int KEYS = 100;
const int EVALS = 1000000;

void fillCurve(kmlEulerCurve& c)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> angle(-170.0f, 170.0f);
    for (int i = 0; i < KEYS; ++i) {
        auto* k = new kmlEulerKey(static_cast<float>(i * 10));
        k->setValue(kmlVec3(angle(rng), angle(rng), angle(rng)));
        c.insert(k);
    }
}

std::vector<float> evalTimes(bool random)
{
    std::vector<float> t(EVALS);
    const float span = static_cast<float>((KEYS - 1) * 10);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> d(0.0f, span);
    for (int i = 0; i < EVALS; ++i) t[i] = random ? d(rng) : span * static_cast<float>(i) / EVALS;
    return t;
}

// range(0): 0 increasing times, 1 random times. range(1): 1 drops the
// segment's cache before each call, i.e. the cubics are recomputed every
// time, for comparison.
void BM_EulerCurveEval(benchmark::State& state)
{
    kmlEulerCurve c;
    fillCurve(c);
    kmlTCEvaluator<3> e(KML_EVAL_SPLINE);
    std::vector<float> t = evalTimes(state.range(0) == 1);
    bool noCache = state.range(1) == 1;
    for (auto _ : state) {
        float sum = 0.0f;
        for (float x : t) {
            if (noCache) {
                int p = c.getPrevKeyIndex(x);
                if (p >= 0) static_cast<kmlEulerKey*>(c.getKey(p))->invalidateAllChannels();
            }
            kmlVec<3> v = e.eval(&c, x);
            sum += v[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * EVALS);
}
} // namespace

BENCHMARK(BM_EulerCurveEval)
    ->ArgNames({"random", "nocache"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
