#include "platform/screen.h"

#include <gtest/gtest.h>

namespace {

using platform::ScreenRect;

bool same(const ScreenRect& a, const ScreenRect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(Screen, MonitorHoldingAPoint)
{
    const ScreenRect root{0, 0, 3200, 1200};
    const ScreenRect left{0, 0, 1920, 1080};
    const ScreenRect right{1920, 0, 1280, 1024};
    const std::vector<ScreenRect> two = {left, right};
    struct Case {
        const char* what;
        std::vector<ScreenRect> monitors;
        int x, y;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"on the second monitor", two, 2500, 500, right},
        {"on the first monitor", two, 100, 1000, left},
        {"first pixel of the second", two, 1920, 0, right},
        {"last pixel of the first", two, 1919, 1079, left},
        {"below the shorter monitor", two, 2500, 1100, root},
        {"left of every monitor", two, -5, 10, root},
        {"no monitors listed", {}, 100, 100, root},
    };
    for (const Case& c : cases) {
        ScreenRect got = platform::monitorAt(c.monitors, root, c.x, c.y);
        EXPECT_TRUE(same(got, c.expected))
            << c.what << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

} // namespace
