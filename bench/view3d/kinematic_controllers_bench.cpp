// One drag step of the whole-body controllers on a body of many keys: the
// idle pass runs one per canvas, so it must stay far below a frame. The
// first argument is the body's key count, the second the keys in the
// dragged range (a range in the middle of the motion): with a fixed range
// the step should cost the same whatever the motion's length.

#include <benchmark/benchmark.h>

#include "kgiKinematicControllers.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

namespace {

// A body root keyed at frames 0 .. keys-1 with an arm joint to grab.
struct KeyedBody {
    ksgTransform root;
    ksgTransform* arm = new ksgTransform;

    explicit KeyedBody(int keys)
    {
        kmlMatrix4 offset;
        offset.setTranslation(kmlVec3(1.0f, 2.0f, 0.0f));
        arm->setLocal(offset);
        root.attachChild(arm);
        ksgPQController* mc = new ksgPQController(1.0f);
        mc->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
        mc->setRotationCurve(new kmlQuatCurve(1.0f), -1, false);
        root.attachController(mc);
        for (int i = 0; i < keys; ++i) {
            kmlMatrix4 pose;
            pose.setRotation(0.1f * static_cast<float>(i), kmlVec3(0.0f, 1.0f, 0.0f));
            pose.setTranslation(kmlVec3(0.01f * static_cast<float>(i), 0.0f, 0.0f));
            ksgPQFrame f;
            f.fromMatrix(pose);
            f.setTime(static_cast<float>(i));
            mc->addFrame(&f, -1);
        }
        root.update(0.0f, true, true);
    }
};

// The dragged range: `inRange` keys in the middle of `keys`.
void setMiddleRange(benchmark::State& state, int keys, int& start, int& end)
{
    const int inRange = static_cast<int>(state.range(1));
    start = (keys - inRange) / 2;
    end = start + inRange - 1;
    state.counters["keys_in_range"] = inRange;
}

void BM_AnimFKStep(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    KeyedBody body(keys);
    kgiAnimFKController fk;
    fk.setAxis(kmlVec3(0.0f, 0.0f, 1.0f));
    int start = 0, end = 0;
    setMiddleRange(state, keys, start, end);
    fk.setRange(start, end);
    fk.setTarget(body.arm);
    float sign = 1.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fk.update(kmlVec3(sign, 0.0f, 0.0f), true));
        sign = -sign;
    }
}
// Keys / keys in the range: a fixed range in ever longer motions, then a
// range over the whole motion.
#define KGI_DRAG_ARGS                                                                            \
    Args({100, 100})->Args({1000, 100})->Args({10000, 100})->Args({1000, 1000})->Args({10000, 10000})
BENCHMARK(BM_AnimFKStep)->KGI_DRAG_ARGS->Unit(benchmark::kMicrosecond);

void BM_AnimIKRootStep(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    KeyedBody body(keys);
    kgiAnimIKController ik;
    int start = 0, end = 0;
    setMiddleRange(state, keys, start, end);
    ik.setRange(start, end);
    ik.setTarget(&body.root);
    float sign = 1.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ik.update(kmlVec3(0.0f, 0.01f * sign, 0.0f), true));
        sign = -sign;
    }
}
BENCHMARK(BM_AnimIKRootStep)->KGI_DRAG_ARGS->Unit(benchmark::kMicrosecond);

} // namespace
