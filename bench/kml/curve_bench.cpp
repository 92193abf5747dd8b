// Key-curve edits and searches at the size of a long motion.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "kmlBaseCurve.h"

namespace {
const int KEYS = 10000;

void fillCurve(kmlBaseCurve& c)
{
    for (int i = 0; i < KEYS; ++i) c.insert(new kmlBaseKey(static_cast<float>(i)));
}

std::vector<float> randomTimes(int n)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-1.0f, static_cast<float>(KEYS));
    std::vector<float> t(n);
    for (float& x : t) x = std::round(d(rng) * 2) / 2; // half of them on a key
    return t;
}
} // namespace

// 1,000,000 searches of each kind per iteration.
static void BM_CurveIndexSearches(benchmark::State& state)
{
    kmlBaseCurve c;
    fillCurve(c);
    std::vector<float> t = randomTimes(1000000);
    for (auto _ : state) {
        long sum = 0;
        for (float x : t) sum += c.getKeyIndex(x) + c.getPrevKeyIndex(x) + c.getNextKeyIndex(x);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CurveIndexSearches)->Unit(benchmark::kMillisecond);

// What a first-match scan from key 0 costs for one search: the reason the
// curve searches by bisection.
static void BM_CurveLinearScanReference(benchmark::State& state)
{
    kmlBaseCurve c;
    fillCurve(c);
    std::vector<float> t = randomTimes(1000);
    for (auto _ : state) {
        long sum = 0;
        for (float x : t) {
            int found = -1;
            for (int i = 0; i < c.getNumKeys(); ++i)
                if (c.getKey(i)->getTime() == x) {
                    found = i;
                    break;
                }
            sum += found;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CurveLinearScanReference)->Unit(benchmark::kMillisecond);

// 10,000 inserts in random order into an empty curve.
static void BM_CurveRandomInserts(benchmark::State& state)
{
    std::vector<int> order(KEYS);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    for (auto _ : state) {
        kmlBaseCurve c;
        for (int i : order) c.insert(new kmlBaseKey(static_cast<float>(i)));
        benchmark::DoNotOptimize(c.getNumKeys());
    }
}
BENCHMARK(BM_CurveRandomInserts)->Unit(benchmark::kMillisecond);
