// The part tools on the factory robot: the part collision test at rest and
// with the legs crossed (five pairs touching), and the centre of gravity (both run on every
// redraw request of the 3D views); and the two tools that re-key every key
// of the frame range, over 1,000 keys (each key evaluates the motion at
// its time and is keyed again).
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "ksgNode.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <string>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";

struct Quiet : kgiCharacterServices {
    void showMessage(const std::string&, const std::string&) override {}
};

// The factory robot as the world's current character, set up by the
// program's table; keys at frames 0 .. keys - 1 when asked.
struct Robot {
    Quiet quiet;
    kgiWorld* world = kgiWorld::instance();
    int id = -1;
    kgiCharacter* character = nullptr;
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    bool ok = false;

    explicit Robot(int keys = 0)
    {
        kgiCharacterServices::install(&quiet);
        id = world->createCharacter();
        character = world->getCharacters()->find(id);
        if (!character || !character->load(PROJECT))
            return;
        world->setCurrentCharacter(id);
        world->setCurrentTime(0.0f);
        table->setupJoints(character, PROJECT);
        for (int f = 0; f < keys; ++f) {
            // A slow sway of the hips, so every key differs.
            table->setJointAngleByName(character, "LThigh", float(f % 40));
            if (!character->addKey(f))
                return;
        }
        world->setEndFrame(float(keys));
        world->setStartFrame(1.0f);
        ok = true;
    }
    ~Robot()
    {
        world->setStartFrame(0.0f);
        world->setEndFrame(0.0f);
        world->removeCharacter(id);
        kgiCharacterServices::install(nullptr);
    }
};

void BM_PartCollisions(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    // The right leg swung in across the left one: five pairs touch.
    if (state.range(0))
        r.table->setJointAngleByName(r.character, "RThigh", -20.0f);
    unsigned char flags[kgiPartTable::FLAG_COUNT] = {};
    std::streambuf* err = std::cerr.rdbuf(nullptr); // the hit lines
    const bool touching = r.table->checkPartCollisions(r.character, flags);
    if (touching != bool(state.range(0))) {
        std::cerr.rdbuf(err);
        state.SkipWithError("the pose does not collide as meant");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(r.table->checkPartCollisions(r.character, flags));
    std::cerr.rdbuf(err);
}
BENCHMARK(BM_PartCollisions)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_CentreOfGravity(benchmark::State& state)
{
    Robot r;
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    kmlVec3 centre;
    for (auto _ : state)
        benchmark::DoNotOptimize(r.table->computeCenterOfGravity(r.character, centre));
}
BENCHMARK(BM_CentreOfGravity)->Unit(benchmark::kMicrosecond);

void BM_PutOnFloorOverKeys(benchmark::State& state)
{
    Robot r(1000);
    if (!r.ok) {
        state.SkipWithError("factory robot did not key");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(r.table->putOnFloor(true));
}
BENCHMARK(BM_PutOnFloorOverKeys)->Unit(benchmark::kMillisecond);

void BM_AlignBasePartOverRange(benchmark::State& state)
{
    Robot r(1000);
    if (!r.ok) {
        state.SkipWithError("factory robot did not key");
        return;
    }
    ksgNode* foot = r.character->findNode("LAnkle2");
    for (auto _ : state)
        benchmark::DoNotOptimize(r.table->alignBasePartOverRange(foot));
}
BENCHMARK(BM_AlignBasePartOverRange)->Unit(benchmark::kMillisecond);

} // namespace
