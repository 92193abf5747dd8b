// Inverse-kinematics drag steps on the arm of a 30-joint model.

#include <benchmark/benchmark.h>

#include "kmlMath.h"
#include "ksgCcdIk.h"
#include "ksgIkChain.h"
#include "tree_bench_model.h"

namespace {

// The goal circles in front of the arm's start, one degree per step.
kmlVec3 goalAt(const kmlVec3& centre, int step)
{
    float a = static_cast<float>(step % 360);
    kmlVec3 g(centre);
    g += kmlVec3(2.0f * kml::Cosd(a), 2.0f * kml::Sind(a), 1.0f);
    return g;
}

kmlVec3 positionOf(const ksgTransform* t)
{
    kmlMatrix4 w = t->getWorld();
    return kmlVec3(w.get(0, 3), w.get(1, 3), w.get(2, 3));
}

// One drag step: the IK controller's single CCD sweep towards the goal, as
// the idle pass runs it while the user drags the hand.
void BM_DragStep6JointArm(benchmark::State& state)
{
    std::vector<ksgTransform*> model = ksgbench::humanoid();
    model[0]->update(0.0f, true, true);
    ksgTransform* hand = model[10];
    ksgCcdIKController ik;
    ik.setTarget(hand);
    const kmlVec3 centre = positionOf(hand);
    int step = 0;
    for (auto _ : state)
        ik.update(goalAt(centre, step++), false);
    delete model[0];
}
BENCHMARK(BM_DragStep6JointArm)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// A full solve of 20 sweeps towards a goal the arm cannot quite reach.
void BM_Solve20Sweeps(benchmark::State& state)
{
    std::vector<ksgTransform*> model = ksgbench::humanoid();
    model[0]->update(0.0f, true, true);
    ksgIkChain chain(model[10], 1);
    state.counters["joints"] = chain.getNumJoints();
    const kmlVec3 centre = positionOf(model[10]);
    int step = 0;
    for (auto _ : state)
        ksgCcdIk().solve(chain, goalAt(centre, step += 37), 20, 0.0f);
    delete model[0];
}
BENCHMARK(BM_Solve20Sweeps)->Unit(benchmark::kMicrosecond);

} // namespace
