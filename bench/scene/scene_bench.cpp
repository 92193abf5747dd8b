// Writing and reading a robot-sized scene: 10,000 model nodes carrying
// 1,000,000 vertices in all. A load should take well under a second.
#include "kneScene.h"
#include "kneSceneReader.h"
#include "kneSceneWriter.h"
#include "scene_fixtures.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

scenefx::ModelShape bigSpec()
{
    scenefx::ModelShape desc;
    desc.nodes = 10000;
    desc.verticesPerNode = 100;
    desc.frames = 4;
    desc.rich = false;
    return desc;
}

const std::vector<uint8_t>& bigFile()
{
    static const std::vector<uint8_t> bytes = [] {
        kneScene scene;
        scenefx::buildModel(scene, bigSpec());
        return scenefx::write(scene);
    }();
    return bytes;
}

void BM_WriteScene(benchmark::State& state)
{
    kneScene scene;
    scenefx::buildModel(scene, bigSpec());
    for (auto _ : state) {
        std::vector<uint8_t> out;
        kneSceneWriter::writeBuffer(scene, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_WriteScene)->Unit(benchmark::kMillisecond);

void BM_ReadScene(benchmark::State& state)
{
    const std::vector<uint8_t>& f = bigFile();
    state.SetBytesProcessed(0);
    for (auto _ : state) {
        kneScene scene;
        if (kneSceneReader::readBuffer(scene, f.data(), f.size()) != 0)
            state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.size()));
}
BENCHMARK(BM_ReadScene)->Unit(benchmark::kMillisecond);

void BM_ReadSceneFile(benchmark::State& state)
{
    const std::vector<uint8_t>& f = bigFile();
    FILE* tmp = std::tmpfile();
    if (!tmp) {
        state.SkipWithError("no temporary file");
        return;
    }
    std::fwrite(f.data(), 1, f.size(), tmp);
    for (auto _ : state) {
        std::rewind(tmp);
        kneScene scene;
        if (kneSceneReader::readStream(scene, tmp) != 0)
            state.SkipWithError("read failed");
    }
    std::fclose(tmp);
}
BENCHMARK(BM_ReadSceneFile)->Unit(benchmark::kMillisecond);

} // namespace
