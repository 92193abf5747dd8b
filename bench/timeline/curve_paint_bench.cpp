// What a paint of the curve editor costs, on a 700 x 480 canvas with six
// shown channels of 1,000 keys each (one curve value per sample, each
// looked up among the keys): fitted to the keys, and after 40 wheel
// notches out (a range some 1,500 times wider). The work follows the
// canvas size, not the range, so the two stay close. The drawing layer
// only counts, so this measures the editor's own work.
#include <benchmark/benchmark.h>

#include "kgiCurveEditor.h"

#include "kmlEulerCurve.h"
#include "kmlTCCurve.h"

#include <cmath>

namespace {

class CountingDraw : public kgiCurveDraw {
public:
    long vertices = 0;
    void projection(float, float, float, float, int, int) override {}
    void clear() override {}
    void color(float, float, float) override {}
    void lineWidth(float) override {}
    void stipple(bool) override {}
    void begin(Primitive) override {}
    void vertex(float, float) override { ++vertices; }
    void end() override {}
    void beginLabels(int, int) override {}
    void label(int, int, const char*) override { ++vertices; }
    void endLabels() override {}
};

void fill(kmlBaseCurve& curve) {
    for (int i = 0; i < 1000; ++i) {
        auto* k = static_cast<kmlTCKey<3>*>(curve.newKey());
        k->setTime(static_cast<float>(i));
        curve.insert(k);
        for (int ch = 0; ch < 3; ++ch) k->setChannelValue(ch, 10.0f * std::sin(0.05f * i + ch));
    }
}

void paint(benchmark::State& state, int notchesOut) {
    kmlTCCurve<3> position(1.0f);
    kmlEulerCurve rotation(1.0f);
    fill(position);
    fill(rotation);
    kgiCurveEditor editor(nullptr, 700, 480);
    for (int ch = 0; ch < 3; ++ch) {
        editor.addPositionCurve(&position, ch);
        editor.addRotationCurve(&rotation, ch);
    }
    for (int i = 0; i < notchesOut; ++i) editor.wheel(-1);
    CountingDraw draw;
    for (auto _ : state) {
        editor.paint(draw, 500.0f);
        benchmark::DoNotOptimize(draw.vertices);
    }
    state.counters["vertices/paint"] =
        benchmark::Counter(static_cast<double>(draw.vertices), benchmark::Counter::kAvgIterations);
}

void BM_CurvePaintFitted(benchmark::State& state) {
    paint(state, 0);
}
void BM_CurvePaintZoomedOut40(benchmark::State& state) {
    paint(state, 40);
}

} // namespace

BENCHMARK(BM_CurvePaintFitted);
BENCHMARK(BM_CurvePaintZoomedOut40);
BENCHMARK_MAIN();
