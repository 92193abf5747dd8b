// A motion of 40 joints over ten minutes at 30 frames per second, written
// with full rows and read back: the cost must grow with the file, never
// with the square of a line or of the key count.
#include "kgiKmmFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const int NODES = 40;
const int FRAMES = 18000;

std::string benchPath()
{
    return (std::filesystem::temp_directory_path() / "kgi_kmm_bench.kmm").string();
}

void fill(kgiKmmFile& f)
{
    f.create(NODES, FRAMES, FRAMES / 30);
    for (int n = 0; n < NODES; ++n) {
        f.setNodeName(n, ("Joint" + std::to_string(n)).c_str());
        f.setNodeType(n, n == 0 ? 1 : 2);
        f.setNodeDepth(n, n == 0 ? 0 : 1 + n % 5);
        for (int k = 0; k < FRAMES; ++k) {
            const float a = 0.001f * k + 0.01f * n;
            const float m[16] = {1, a, 0, 0, -a, 1, 0, 0, 0, 0, 1, 0, 0.5f * n, a, -a, 1};
            f.setKey(n, k, m);
        }
    }
    for (int i = 0; i < FRAMES / 30; ++i)
        f.setKeyFrame(i, i * 30);
}

void BM_WriteMatrices(benchmark::State& state)
{
    kgiKmmFile f;
    fill(f);
    for (auto _ : state)
        if (!f.writeMatrices(benchPath().c_str()))
            state.SkipWithError("write failed");
    std::remove(benchPath().c_str());
}

void BM_ReadMatrices(benchmark::State& state)
{
    {
        kgiKmmFile f;
        fill(f);
        f.writeMatrices(benchPath().c_str());
    }
    for (auto _ : state) {
        kgiKmmFile f;
        if (!(f.open(benchPath().c_str()) && f.readHeader() && f.readBody() && f.close()))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(f.getNodeCount());
    }
    std::remove(benchPath().c_str());
}

} // namespace

BENCHMARK(BM_WriteMatrices)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadMatrices)->Unit(benchmark::kMillisecond)->Iterations(1);
