#include "kgiBoardPump.h"

#include <atomic>
#include <cstdio>
#include <random>

#include "kgiRobotLink.h"
#include "kgiSimBoard.h"
#include "platform/clock.h"
#include "platform/serial.h"

bool kgiPointPortAt(kgiRobotLink& link, unsigned port, const std::string& device)
{
    // Unique per process and call: test programs run side by side.
    static const unsigned run = std::random_device{}();
    static std::atomic<int> counter{0};
    const std::string path = "/tmp/kgi_comports_" + std::to_string(run) + "_" +
                             std::to_string(counter++) + ".txt";
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "COM%u=%s\n", port, device.c_str());
    std::fclose(f);
    link.portMapFile = path;
    return true;
}

void kgiPumpLink(kgiRobotLink& link, kgiSimBoard& board, uint32_t ch, bool fullTick)
{
    if (fullTick)
        link.tick();
    else
        link.serviceIo();
    board.serve(link.wireOut[ch]);
    // Wait until what the board sent has reached the link's side of the line.
    const uint64_t sent = board.bytesOut();
    const unsigned long long deadline = platform::monotonicMilliseconds() + 500;
    for (;;) {
        const int fd = link.portHandle[ch];
        if (fd == kgiRobotLink::NO_HANDLE) break;
        const int waiting = platform::serialBytesWaiting(fd);
        if (waiting < 0 || link.wireIn[ch] + static_cast<uint64_t>(waiting) >= sent) break;
        if (platform::monotonicMilliseconds() >= deadline) break;
        platform::serialWaitReadable(fd, 1);
    }
}

int kgiPumpUntil(kgiRobotLink& link, kgiSimBoard& board, uint32_t ch,
                 const std::function<bool()>& done, int maxSteps, bool fullTick)
{
    for (int i = 0; i < maxSteps; ++i) {
        if (done()) return i;
        kgiPumpLink(link, board, ch, fullTick);
    }
    return maxSteps;
}
