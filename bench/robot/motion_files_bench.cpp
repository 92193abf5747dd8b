// The robot's motion files on the factory robot as the world's current
// character, with the key limit raised: the import of a 5,000-line motion
// file, the import of a script of 2,000 MOVE lines, and the export of a
// motion of 5,000 keys. Each line costs one key per joint (the imports) or
// one joint value per joint (the export); the counter "us_per_line" is the
// time of one line. Every import includes its undo entry's snapshot of the
// keys it brought in; the export includes writing the file to disk.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";
constexpr int MOTION_LINES = 5000;
constexpr int SCRIPT_MOVES = 2000;

struct Quiet : kgiCharacterServices {
    int keysMax() const override { return INT_MAX; }
    void showMessage(const std::string&, const std::string&) override {}
};

// The factory robot current in the world, and a scratch folder.
struct Robot {
    Quiet quiet;
    kgiWorld* world = kgiWorld::instance();
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    kgiCharacter* character = nullptr;
    int id = -1;
    std::string dir = (std::filesystem::temp_directory_path() / ("kgi_motion_bench_" + std::to_string(::getpid())))
                          .string();
    Robot()
    {
        kgiCharacterServices::install(&quiet);
        std::filesystem::create_directories(dir);
        id = world->createCharacter();
        character = world->getCharacters()->find(id);
        if (character && character->load(PROJECT)) {
            world->setCurrentCharacter(id);
            table->setupJoints(character, PROJECT);
            clear();
        } else {
            character = nullptr;
        }
    }
    ~Robot()
    {
        world->removeCharacter(id);
        kgiCharacterServices::install(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    void clear()
    {
        if (character->getKeyCount() > 0)
            character->deleteKeys(0, int(character->getKeyTimes().back()) + 1);
        character->getKeyUndo().clear();
    }
    // A motion file of `lines` keys, one every other frame, each joint
    // swinging within a few degrees of 0.
    std::string writeMotion(int lines)
    {
        const std::string path = dir + "/walk.mdm";
        std::ofstream out(path);
        for (int f = 0; f < lines; ++f) {
            out << "F" << 2 * f << " [ Robot px=0.000, py=180.000, pz=" << f % 7
                << ".000, rx=-90.000, ry=0.000, rz=-90.000 ] ";
            bool first = true;
            for (const auto& j : table->getJoints()) {
                out << (first ? "" : ",") << j.first << "=" << (f % 9) - 4 << ".500";
                first = false;
            }
            out << ";\n";
        }
        return path;
    }
    // A script of `moves` MOVE lines changing two servos by up to 8 steps.
    std::string writeScript(int moves)
    {
        const std::string path = dir + "/dance.psf";
        std::ofstream out(path, std::ios::binary);
        out << std::string(55, '#') << "SPEED 20\r\n";
        for (int m = 0; m < moves; ++m) {
            out << "MOVE G24,";
            for (int s = 0; s < kgiRobotSession::SERVOS; ++s)
                out << kgiRobotSession::DEFAULT_POSE[s] + (s % 12 == 0 ? m % 9 : 0) << ",";
            out << "\r\n";
        }
        return path;
    }
};

void perLine(benchmark::State& state, int lines)
{
    state.counters["us_per_line"] =
        benchmark::Counter(lines * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ImportMotionMdm(benchmark::State& state)
{
    Robot r;
    if (!r.character) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    const std::string path = r.writeMotion(MOTION_LINES);
    for (auto _ : state) {
        state.PauseTiming();
        r.clear();
        state.ResumeTiming();
        if (!r.table->importMotionMdm(path, 0))
            state.SkipWithError("import failed");
    }
    perLine(state, MOTION_LINES);
}
BENCHMARK(BM_ImportMotionMdm)->Unit(benchmark::kMillisecond);

void BM_ImportPellScript(benchmark::State& state)
{
    Robot r;
    if (!r.character) {
        state.SkipWithError("factory robot did not load");
        return;
    }
    const std::string path = r.writeScript(SCRIPT_MOVES);
    for (auto _ : state) {
        state.PauseTiming();
        r.clear();
        state.ResumeTiming();
        if (!r.table->importPellScript(path))
            state.SkipWithError("import failed");
    }
    perLine(state, SCRIPT_MOVES);
}
BENCHMARK(BM_ImportPellScript)->Unit(benchmark::kMillisecond);

void BM_ExportMotionMdm(benchmark::State& state)
{
    Robot r;
    if (!r.character || !r.table->importMotionMdm(r.writeMotion(MOTION_LINES), 0)) {
        state.SkipWithError("factory robot or its motion did not load");
        return;
    }
    const std::string out = r.dir + "/out";
    for (auto _ : state)
        if (!r.table->exportMotionMdm(out))
            state.SkipWithError("export failed");
    perLine(state, MOTION_LINES);
}
BENCHMARK(BM_ExportMotionMdm)->Unit(benchmark::kMillisecond);

} // namespace
