// What every redraw of a 3D view costs: one ghost pass (the snapshots of
// two ghosts before and two after, without GL), and a whole repaint of an
// 800 x 600 canvas with the factory robot (paint to finished swap) with and
// without ghosts. The goal for a repaint is under 16 ms, so dragging and
// playback keep one frame per screen refresh.

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiGhost.h"
#include "kgiPoseDumper.h"
#include "kgiWorld.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksg/tree_bench_model.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "support/window/kgiWindowTest.h"

namespace {
std::atomic<long> allocations{0};
} // namespace

void* operator new(std::size_t n)
{
    ++allocations;
    if (void* p = std::malloc(n != 0 ? n : 1))
        return p;
    throw std::bad_alloc();
}
// Pairs with the counting operator new above, which takes its memory from
// malloc; the compiler cannot see that pairing.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// The factory robot with keys at 0, 10, 20, 30 and 40, current at 20.
kgiCharacter* keyedRobot()
{
    static kgiCharacter* robot = [] {
        if (!kgiTestLoadFactoryRobot())
            return static_cast<kgiCharacter*>(nullptr);
        kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
        for (int t = 0; t <= 40; t += 10)
            c->addKey(t);
        kgiWorld::instance()->setCurrentTime(20);
        c->setTime(20);
        return c;
    }();
    return robot;
}

void BM_GhostPassFactoryRobot(benchmark::State& state)
{
    kgiCharacter* robot = keyedRobot();
    if (robot == nullptr) {
        state.SkipWithError("no display or no factory robot");
        return;
    }
    kgiGhost ghost;
    ghost.setGhostCounts(2, 2);
    long allocs = 0;
    for (auto _ : state) {
        const long before = allocations;
        for (int k = -2; k <= 2; ++k)
            if (k != 0)
                benchmark::DoNotOptimize(ghost.prepareGhost(robot, 20, k));
        allocs += allocations - before;
    }
    state.counters["allocs/pass"] = benchmark::Counter(static_cast<double>(allocs) / state.iterations());
}
BENCHMARK(BM_GhostPassFactoryRobot)->Unit(benchmark::kMicrosecond);

// A generated tree of 100 joints (three humanoid-like chains), each with a
// motion controller keyed at 0, 10, 20, 30 and 40: the four snapshots a
// ghost pass takes, as prepareGhost takes them.
void BM_GhostSnapshots100Joints(benchmark::State& state)
{
    std::vector<ksgTransform*> joints = ksgbench::humanoid();
    while (joints.size() < 100)
        joints.push_back(ksgbench::joint(joints[joints.size() - 1 - joints.size() % 7], static_cast<int>(joints.size())));
    for (ksgTransform* j : joints) {
        auto* mc = new ksgPQController(1.0f);
        mc->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
        mc->setRotationCurve(new kmlQuatCurve(1.0f), -1, false);
        j->attachController(mc);
        for (int t = 0; t <= 40; t += 10) {
            kmlMatrix4 pose = j->getLocal();
            pose.rotate(static_cast<float>(t), kmlVec3(0, 1, 0));
            ksgPQFrame f;
            f.fromMatrix(pose);
            f.setTime(static_cast<float>(t));
            mc->addFrame(&f, -1);
        }
    }
    joints[0]->update(20, true, true);
    kgiPoseDumper dumper;
    const float times[] = {0, 10, 30, 40};
    long allocs = 0;
    for (auto _ : state) {
        const long before = allocations;
        for (float g : times) {
            dumper.clear();
            dumper.setFlags(kgiPoseDumper::SAMPLE_FRAME | kgiPoseDumper::RESTORE_NONE, g, -1.0f, -1);
            dumper.dump(joints[0]);
        }
        allocs += allocations - before;
    }
    state.counters["joints"] = static_cast<double>(joints.size());
    state.counters["allocs/pass"] = benchmark::Counter(static_cast<double>(allocs) / state.iterations());
    delete joints[0];
}
BENCHMARK(BM_GhostSnapshots100Joints)->Unit(benchmark::kMicrosecond);

void redraw(benchmark::State& state, bool ghosts)
{
    if (keyedRobot() == nullptr) {
        state.SkipWithError("no display or no factory robot");
        return;
    }
    kgiTestWindow window(800, 600);
    auto* canvas = new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual());
    window.show();
    window.runUntil([&] { return canvas->getPaintCount() > 0; });
    canvas->setGhostVisible(ghosts);
    for (auto _ : state)
        canvas->onPaint(nullptr, 0, nullptr);
    // The last swap finished before the clock stops.
    canvas->makeCurrent();
    glFinish();
    canvas->makeNonCurrent();
}

void BM_RedrawFactoryRobot800x600(benchmark::State& state) { redraw(state, false); }
void BM_RedrawFactoryRobot800x600Ghosts(benchmark::State& state) { redraw(state, true); }
BENCHMARK(BM_RedrawFactoryRobot800x600)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RedrawFactoryRobot800x600Ghosts)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
