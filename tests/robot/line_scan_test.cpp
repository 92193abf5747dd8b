// The robot files' scanf-style line reader on its numbers: signs, ranges
// and where the count of stored conversions stops.
#include "kgiLineScan.h"

#include <gtest/gtest.h>

namespace {

TEST(LineScan, NumbersMatchAsSscanfMatchesThem)
{
    struct Case {
        const char* text;
        int stored;  // of "%d %f"
        int i;
        float f;
    } const cases[] = {
        {"+5 +0.5", 2, 5, 0.5f},
        {"-5 -0.5", 2, -5, -0.5f},
        {"  7\t1e2", 2, 7, 100.0f},
        {"+-1 2", 0, 0, 0.0f},  // a plus before a minus is no number
        {"1 +-2", 1, 1, 0.0f},
        {"-+1 2", 0, 0, 0.0f},
        {"99999999999 2", 0, 0, 0.0f},  // beyond an int
        {"3 x", 1, 3, 0.0f},
    };
    for (const Case& c : cases) {
        int i = 0;
        float f = 0.0f;
        EXPECT_EQ(kgiLineScan::scan(c.text, "%d %f", &i, &f), c.stored) << c.text;
        EXPECT_EQ(i, c.i) << c.text;
        EXPECT_EQ(f, c.f) << c.text;
    }
}

} // namespace
