// The options window's joint refresh, which every redraw request of a 3D
// view pays (each drag step, each playback pass): the factory robot's 24
// rows and a generated joint file of 254 rows over the same model, with an
// unchanged pose (no field text changes, so nothing repaints) and with one
// joint moving every call. The counter "changed" is the number of field
// texts that changed per call. The window is built but never realised (no
// display): what is measured is the conversion and the text comparison.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"

#include <benchmark/benchmark.h>
#include <fx.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";

struct Quiet : kgiCharacterServices {
    void showMessage(const std::string&, const std::string&) override {}
};

FX::FXApp& toolkit()
{
    static FX::FXApp app("kgi_bench", "kgi");
    return app;
}

// The factory robot as the world's current character, its joint table read
// from `modelIni` (the factory's own when empty), and an options window
// over it, refreshed once.
struct Window {
    Quiet quiet;
    kgiWorld* world = kgiWorld::instance();
    int id = -1;
    kgiCharacter* robot = nullptr;
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    std::string tempDir;
    kgiOptionsDialog* dialog = nullptr;
    bool ok = false;

    explicit Window(int generatedRows)
    {
        toolkit();
        kgiCharacterServices::install(&quiet);
        id = world->createCharacter();
        world->setCurrentCharacter(id);
        robot = world->getCurrentCharacter();
        if (!robot || !robot->load(PROJECT))
            return;
        table->setupJoints(robot, PROJECT);
        if (generatedRows > 0 && !useGeneratedTable(generatedRows))
            return;
        dialog = new kgiOptionsDialog(&toolkit(), nullptr);
        dialog->refreshAll();
        ok = dialog->getJointCount() > 0;
    }
    ~Window()
    {
        delete dialog;
        world->removeCharacter(id);
        if (!tempDir.empty())
            std::filesystem::remove_all(tempDir);
        kgiCharacterServices::install(nullptr);
    }

    // A joint file of `rows` lines: the factory's lines over and over,
    // renumbered 0..rows-1.
    bool useGeneratedTable(int rows)
    {
        std::ifstream in(std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/character/model.ini");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(line.find(':')));
        if (lines.empty())
            return false;
        tempDir = (std::filesystem::temp_directory_path() / ("kgi_options_bench_" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(tempDir + "/character");
        std::ofstream out(tempDir + "/character/model.ini");
        for (int i = 0; i < rows; ++i)
            out << i << " " << lines[static_cast<size_t>(i) % lines.size()] << "\n";
        out.close();
        table->loadModelIni(tempDir + "/model.ts", robot);
        return true;
    }
};

void refresh(benchmark::State& state, int rows, bool moving)
{
    Window w(rows);
    if (!w.ok) {
        state.SkipWithError("the factory robot or its window did not load");
        return;
    }
    const std::string joint = w.dialog->getJointName(0);
    long changed = 0;
    float angle = 0.0f;
    for (auto _ : state) {
        if (moving) {
            angle = angle == 0.0f ? 5.0f : 0.0f;
            w.table->setJointAngleByName(w.robot, joint, angle);
        }
        w.dialog->refreshJointValues();
        changed += w.dialog->getLastChangedFields();
    }
    state.counters["rows"] = w.dialog->getJointCount();
    state.counters["changed"] = benchmark::Counter(static_cast<double>(changed), benchmark::Counter::kAvgIterations);
}

void BM_OptionsRefreshFactoryUnchanged(benchmark::State& state) { refresh(state, 0, false); }
void BM_OptionsRefreshFactoryMoving(benchmark::State& state) { refresh(state, 0, true); }
void BM_OptionsRefresh254RowsUnchanged(benchmark::State& state) { refresh(state, 254, false); }
void BM_OptionsRefresh254RowsMoving(benchmark::State& state) { refresh(state, 254, true); }
BENCHMARK(BM_OptionsRefreshFactoryUnchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OptionsRefreshFactoryMoving)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OptionsRefresh254RowsUnchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OptionsRefresh254RowsMoving)->Unit(benchmark::kMicrosecond);

} // namespace
