// Ticks the serial link needs for its main exchanges against the simulated
// board. A pseudo-terminal moves bytes without a line's pacing, so beside the
// wall time each run reports the ticks, the time they stand for at the robot
// session's pacing (one tick per 0.015 s), the bytes on the wire, and the
// physical floor of those bytes at 115200 baud (10 bits per byte).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "kgiBoardPump.h"
#include "kgiRobotLink.h"
#include "kgiSimBoard.h"

namespace {

const uint32_t CH = 1;
const unsigned PORT = 3;
const double TICK_SECONDS = 0.015;
const double FLOOR_SECONDS_PER_BYTE = 10.0 / 115200.0;

struct Rig {
    kgiSimBoard board;
    kgiLinkStderrMessages messages;
    std::unique_ptr<kgiRobotLink> link{new kgiRobotLink};
    bool ready = false;

    Rig()
    {
        link->setMessages(&messages);
        ready = board.ok() && kgiPointPortAt(*link, PORT, board.devicePath()) &&
                link->openChannel(CH, PORT, kgiRobotLink::BOARD_TLD8150, kgiRobotLink::BUFFER_FIFO,
                                  kgiRobotLink::ROBOT_DORUZAVO1, 9600, 0) == 0;
    }

    ~Rig() { std::remove(link->portMapFile.c_str()); }

    bool idle() const
    {
        const kgiRobotLink::Channel& r = link->channel[CH];
        return link->machinesIdle(CH) && link->poseWait[CH] == 0 && link->Q_Read[CH] == link->Q_Write[CH] &&
               r.Send == r.Receive + r.Error && !link->inFlight[CH];
    }

    // False, with the run marked skipped, when no pseudo-terminal could be set up.
    bool usable(benchmark::State& state)
    {
        if (!ready)
            state.SkipWithError("no pseudo-terminal");
        return ready;
    }

    // Ticks until the link is idle again; keeps the ticks and wire bytes of this run.
    void run()
    {
        const uint64_t before = link->wireOut[CH] + link->wireIn[CH];
        ticks = kgiPumpUntil(*link, board, CH, [this] { return idle(); }, 1000000);
        bytes = link->wireOut[CH] + link->wireIn[CH] - before;
    }

    // Counters of the last run.
    void report(benchmark::State& state) const
    {
        state.counters["ticks"] = ticks;
        state.counters["paced_s"] = ticks * TICK_SECONDS;
        state.counters["wire_bytes"] = static_cast<double>(bytes);
        state.counters["floor_s"] = bytes * FLOOR_SECONDS_PER_BYTE;
        state.counters["paced_over_floor"] = bytes ? ticks * TICK_SECONDS / (bytes * FLOOR_SECONDS_PER_BYTE) : 0;
    }

    int ticks = 0;
    uint64_t bytes = 0;
};

void BM_PoseSend(benchmark::State& state)
{
    Rig rig;
    if (!rig.usable(state))
        return;
    for (auto _ : state) {
        rig.link->sendPose(3, 0, CH);
        rig.run();
    }
    rig.report(state);
}
BENCHMARK(BM_PoseSend)->Unit(benchmark::kMillisecond);

// Downloads an image of state.range(0) values (built from one motion slot).
void BM_Download(benchmark::State& state)
{
    Rig rig;
    if (!rig.usable(state))
        return;
    const int32_t values = static_cast<int32_t>(state.range(0));
    const int32_t slot = values - 485;  // an empty image holds 485 values
    if (slot > 0) {
        const int32_t fileCount = slot + 89;
        rig.link->fileBuffer[CH][14] = fileCount & 0xFF;
        rig.link->fileBuffer[CH][15] = fileCount >> 8;
        for (int32_t i = 0; i < slot; ++i) rig.link->fileBuffer[CH][86 + i] = (i * 13) & 0xFF;
        rig.link->setMotionSlot(1, 0, CH);
    }
    for (auto _ : state) {
        rig.link->buildRemoteFile(0, 0, CH);
        rig.link->startDownload(1, 0, CH);
        rig.run();
        if (rig.link->downloadResult[CH] != kgiRobotLink::DOWNLOAD_DONE) {
            state.SkipWithError("download failed");
            return;
        }
    }
    rig.report(state);
}
BENCHMARK(BM_Download)->Arg(485)->Arg(2048)->Arg(21732)->Unit(benchmark::kMillisecond);

void BM_InfoRead(benchmark::State& state)
{
    Rig rig;
    if (!rig.usable(state))
        return;
    for (auto _ : state) {
        rig.link->startInfoRead(1, CH);
        rig.run();
    }
    rig.report(state);
}
BENCHMARK(BM_InfoRead)->Unit(benchmark::kMillisecond);

} // namespace
