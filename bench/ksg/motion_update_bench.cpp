// Per-frame cost of a 30-joint model whose joints play key-framed motion.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "tree_bench_model.h"

namespace {

// Base curves of n keys one frame apart, built once per size and cloned
// into every joint (inserting keys one by one costs a scan each).
struct Curves {
    std::unique_ptr<kmlBaseCurve> position;
    std::unique_ptr<kmlBaseCurve> rotation;
};

const Curves& curvesOf(int n)
{
    static std::map<int, Curves> cache;
    Curves& c = cache[n];
    if (!c.position) {
        c.position.reset(new kmlTCCurve<3>(1.0f));
        c.rotation.reset(new kmlQuatCurve(1.0f));
        ksgPQFrame f;
        for (int i = 0; i < n; ++i) {
            kmlMatrix4 pose;
            pose.setRotation(static_cast<float>(i % 90), kmlVec3(0.0f, 0.0f, 1.0f));
            pose.setTranslation(kmlVec3(0.01f * static_cast<float>(i % 7), 1.0f, 0.0f));
            f.fromMatrix(pose);
            f.setTime(static_cast<float>(i));
            c.position->insert(f.positionToKey());
            c.rotation->insert(f.rotationToKey());
        }
    }
    return c;
}

struct Model {
    std::vector<ksgTransform*> joints = ksgbench::humanoid();

    explicit Model(int keys)
    {
        const Curves& c = curvesOf(keys);
        for (ksgTransform* j : joints) {
            ksgPQController* ctl = new ksgPQController(1.0f);
            ctl->setPositionCurve(c.position->clone(), -1, false);
            ctl->setRotationCurve(c.rotation->clone(), -1, false);
            j->attachController(ctl);
        }
    }
    ~Model() { delete joints[0]; }
};

// One update of the whole model per frame, frame after frame through the
// keys.
void BM_PlayFrames(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    Model model(keys);
    int frame = 0;
    for (auto _ : state) {
        model.joints[0]->update(static_cast<float>(frame), true, true);
        frame = (frame + 1) % keys;
    }
}
BENCHMARK(BM_PlayFrames)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Updates at the time already shown: the controllers skip evaluation.
void BM_SameFrameAgain(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    Model model(keys);
    model.joints[0]->update(static_cast<float>(keys / 2), true, true);
    for (auto _ : state)
        model.joints[0]->update(static_cast<float>(keys / 2), true, true);
}
BENCHMARK(BM_SameFrameAgain)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
