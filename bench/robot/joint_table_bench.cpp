// The robot joint table on the factory robot: the 24 joint-to-servo
// conversions of one pose (the robot session runs them on every idle pass
// while the robot follows the pose) through the instance and, as the
// session's callers take it, through a copy of the table per conversion;
// the joint value of every joint at one frame; and the three start-up
// calls together (start-up has half a second for everything).
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "ksgNode.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";

// Quiet boxes and no key limit: the factory motion passes the default one.
struct Quiet : kgiCharacterServices {
    void showMessage(const std::string&, const std::string&) override {}
};

struct Robot {
    Quiet quiet;
    kgiCharacter character;
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    bool ok = false;
    Robot()
    {
        kgiCharacterServices::install(&quiet);
        ok = character.load(PROJECT);
        if (ok)
            table->setupJoints(&character, PROJECT);
    }
    ~Robot() { kgiCharacterServices::install(nullptr); }
};

void BM_ServoValuesOfAPose(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state)
        for (int id = 0; id < 24; ++id)
            benchmark::DoNotOptimize(r.table->servoValue(&r.character, id));
}
BENCHMARK(BM_ServoValuesOfAPose);

void BM_ServoValuesOfAPoseThroughCopies(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state)
        for (int id = 0; id < 24; ++id) {
            const kgiRobotJointTable copy(*r.table);
            benchmark::DoNotOptimize(copy.servoValue(&r.character, id));
        }
}
BENCHMARK(BM_ServoValuesOfAPoseThroughCopies);

void BM_JointValuesAtAFrame(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state)
        for (int i = 1; i < r.table->getNodeCount(); ++i)
            if (ksgNode* n = r.table->getNode(i))
                benchmark::DoNotOptimize(r.table->getJointAngleAt(n, 10.0f));
}
BENCHMARK(BM_JointValuesAtAFrame);

void BM_StartUpCalls(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state) {
        r.table->loadModelIni(PROJECT, &r.character);
        r.table->setupJointLimits(r.character.getRoot());
        benchmark::DoNotOptimize(r.table->applyInitialPose(&r.character));
    }
}
BENCHMARK(BM_StartUpCalls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
