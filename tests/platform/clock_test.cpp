#include "platform/clock.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(PlatformClock, CountsWallTimeWhileSleeping)
{
    const double t0 = platform::monotonicSeconds();
    const auto m0 = platform::monotonicMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double dt = platform::monotonicSeconds() - t0;
    EXPECT_GE(dt, 0.1);
    EXPECT_LT(dt, 5.0);
    EXPECT_GE(platform::monotonicMilliseconds() - m0, 100u);
}
