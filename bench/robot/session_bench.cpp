// The robot session on the factory robot, without the port: one idle update
// while the robot follows a model that stands still and one that moves
// (the pose then goes into the link's ring), the motion compiler on 2,000
// moving keys, and a remote-control entry of some 59,000 values written and
// read back.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"
#include "kgiWorld.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";

struct Quiet : kgiCharacterServices {
    void showMessage(const std::string&, const std::string&) override {}
};

// The link is never stepped: the clock stands still.
double stillClock()
{
    return 1.0;
}

// The factory robot as the world's current character, with `keys` moving
// keys of its right thigh (one a frame), and a session whose remote-control
// folder is a temporary one.
struct Robot {
    Quiet quiet;
    kgiWorld* world = kgiWorld::instance();
    int id = world->createCharacter();
    kgiCharacter* character = nullptr;
    std::unique_ptr<kgiRobotSession> session;
    std::string folder = (std::filesystem::temp_directory_path() / ("kgi_session_bench_" + std::to_string(::getpid()))).string();
    bool ok = false;

    explicit Robot(int keys)
    {
        kgiCharacterServices::install(&quiet);
        // The compiler writes a line per step on standard error.
        std::freopen("/dev/null", "w", stderr);
        world->setCurrentCharacter(id);
        character = world->getCurrentCharacter();
        if (!character || !character->load(PROJECT)) return;
        kgiRobotJointTable* table = kgiRobotJointTable::instance();
        table->setupJoints(character, PROJECT);
        character->editKeyTimes().clear();
        for (int k = 0; k < keys; ++k) {
            table->addJointKeyByName(character, "RThigh", float(k), k % 2 ? 10.0f : 0.0f);
            character->editKeyTimes().push_back(float(k));
        }
        session.reset(new kgiRobotSession);
        session->setTimeSource(stillClock);
        std::filesystem::create_directories(folder);
        session->setRemoconFolder(folder, folder + "/list.txt");
        ok = true;
    }
    ~Robot()
    {
        session.reset();
        world->removeCharacter(id);
        std::filesystem::remove_all(folder);
        kgiCharacterServices::install(nullptr);
    }
};

void BM_UpdateFollowingAStillModel(benchmark::State& state)
{
    Robot r(0);
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    r.session->setSyncToRobot(true);
    for (auto _ : state) r.session->update();
}
BENCHMARK(BM_UpdateFollowingAStillModel)->Unit(benchmark::kMicrosecond);

void BM_UpdateFollowingAMovingModel(benchmark::State& state)
{
    Robot r(0);
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    kgiRobotLink& link = r.session->getLink();
    // A channel the pose may go to, with no port behind it.
    link.channel[1].HX = kgiRobotLink::BOARD_TLD8150;
    r.session->setSyncToRobot(true);
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    float angle = 0.0f;
    for (auto _ : state) {
        angle = angle == 0.0f ? 10.0f : 0.0f;
        table->setJointAngleByName(r.character, "RThigh", angle);
        r.session->update();
        link.Q_Read[1] = link.Q_Write[1];
    }
}
BENCHMARK(BM_UpdateFollowingAMovingModel)->Unit(benchmark::kMicrosecond);

void BM_CompileMotionOf2000Keys(benchmark::State& state)
{
    Robot r(2000);
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state) {
        r.session->resetImageSum();
        benchmark::DoNotOptimize(r.session->compileMotion(0));
    }
}
BENCHMARK(BM_CompileMotionOf2000Keys)->Unit(benchmark::kMillisecond);

void BM_SaveRemoconMotionNear60000Values(benchmark::State& state)
{
    Robot r(2100);
    if (!r.ok) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(r.session->saveRemoconMotion(0, "long"));
    state.counters["values"] = double(r.session->compileCode(r.character->getKeyTimes(), true, 0, false).size());
}
BENCHMARK(BM_SaveRemoconMotionNear60000Values)->Unit(benchmark::kMillisecond);

void BM_LoadRemoconFileNear60000Values(benchmark::State& state)
{
    Robot r(2100);
    if (!r.ok || !r.session->saveRemoconMotion(0, "long")) {
        state.SkipWithError("factory robot did not load or the entry was not written");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(r.session->loadRemoconFile(0, "long"));
}
BENCHMARK(BM_LoadRemoconFileNear60000Values)->Unit(benchmark::kMillisecond);

} // namespace
