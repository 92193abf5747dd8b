// Importing a motion of 1,000 and 10,000 keys (a key at every frame) into
// the factory robot, through a joint table over all its joints: each
// iteration reads the file, deletes the range, records the two undo
// entries and copies the keys. BM_ReadMotion reads the same files only.
#include "core/joint_list_table_test.h"
#include "kgiCharacter.h"
#include "kgiKmmFile.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A copy of the factory project whose motion holds `keys` keys, one at
// every frame, each joint's rest matrix turned a little more each frame.
std::string keyedProject(int keys)
{
    const fs::path dir = fs::temp_directory_path() / ("kgi_import_bench_" + std::to_string(::getpid()) + "_" +
                                                      std::to_string(keys));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(std::string(KGI_DATA_DIR) + "/DORUZAVO_1base", dir, fs::copy_options::recursive);
    const std::string motion = (dir / "motion" / "DORUZAVO_1.kmm").string();
    kgiKmmFile in;
    if (!in.open(motion.c_str()) || !in.readHeader() || !in.readBody())
        return "";
    in.close();
    kgiKmmFile out;
    out.create(in.getNodeCount(), keys, keys);
    for (int n = 0; n < in.getNodeCount(); ++n) {
        const kgiKmmNode* node = in.getNode(n);
        out.setNodeName(n, node->name.c_str());
        out.setNodeType(n, node->type);
        out.setNodeDepth(n, node->depth);
        for (int f = 0; f < keys; ++f) {
            float m[16];
            for (int k = 0; k < 16; ++k)
                m[k] = node->getKey(0)->matrix[k];
            const float a = 0.001f * float(f % 600);
            m[0] = std::cos(a);
            m[1] = std::sin(a);
            m[4] = -std::sin(a);
            m[5] = std::cos(a);
            out.setKey(n, f, m);
        }
    }
    for (int f = 0; f < keys; ++f)
        out.setKeyFrame(f, f);
    if (!out.writeMatrices(motion.c_str()))
        return "";
    return (dir / "DORUZAVO_1.ts").string();
}

void BM_ImportMotion(benchmark::State& state)
{
    const int keys = int(state.range(0));
    const std::string source = keyedProject(keys);
    kgiCharacter robot;
    if (source.empty() || !robot.load(std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts")) {
        state.SkipWithError("no factory robot");
        return;
    }
    kgiTestJoints::JointListTable table;
    kgiTestJoints::collectJoints(robot.getRoot(), table.joints);
    kgiPartTable::install(&table);
    for (auto _ : state) {
        if (!robot.importMotion(source, 0, -1))
            state.SkipWithError("import failed");
        state.PauseTiming();
        robot.getKeyUndo().clear(); // the history would keep every import's snapshots
        state.ResumeTiming();
    }
    kgiPartTable::install(nullptr);
    state.counters["keys"] = double(robot.getKeyCount());
    fs::remove_all(fs::path(source).parent_path());
}
BENCHMARK(BM_ImportMotion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The reading of the same files alone (the project and its motion-key
// file, as the import's first step reads them): the share of the import
// that is the text of the file, not the keys.
void BM_ReadMotion(benchmark::State& state)
{
    const int keys = int(state.range(0));
    const std::string source = keyedProject(keys);
    if (source.empty()) {
        state.SkipWithError("no factory robot");
        return;
    }
    for (auto _ : state) {
        kgiModelBuilder read;
        if (!kgiCharacter::readMotion(source, read))
            state.SkipWithError("read failed");
    }
    fs::remove_all(fs::path(source).parent_path());
}
BENCHMARK(BM_ReadMotion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
