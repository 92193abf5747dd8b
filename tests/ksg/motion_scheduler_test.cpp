// The blend scheduler's intervals.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ksgBlendScheduler.h"

namespace {

std::string intervals(const ksgBlendScheduler& s)
{
    std::ostringstream out;
    out << s;
    return out.str();
}

TEST(BlendScheduler, NewSchedulerHasNoInterval)
{
    ksgBlendScheduler s;
    ksgBlendScheduler::Interval iv;
    EXPECT_FALSE(s.getInterval(0, iv));
    EXPECT_EQ(s.getTMin(), 3.4028235e38f);
    EXPECT_EQ(s.getTMax(), 1.1754944e-38f);
    EXPECT_EQ(s.getTrackStart(3), 0.0f);
}

TEST(BlendScheduler, IntervalsOfTrackSets)
{
    struct Track {
        int id;
        float start, in, end, out;
    };
    struct Case {
        const char* name;
        std::vector<Track> tracks;
        std::string expected;
    };
    const Case cases[] = {
        {"one track", {{3, 0, 1, 10, 2}}, "[(0 -> 1), -1 / 3][(1 -> 8), 3][(8 -> 10), 3 / -1]"},
        {"no fade-in", {{3, 0, 0, 10, 2}}, "[(0 -> 8), 3][(8 -> 10), 3 / -1]"},
        {"overlapping", {{0, 0, 1, 10, 2}, {1, 5, 2, 20, 1}},
         "[(0 -> 1), -1 / 0][(1 -> 5), 0][(5 -> 7), 0 / 1][(7 -> 19), 1][(19 -> 20), 1 / -1]"},
        // Equal starts: the lower id is the first track (its fade from the
        // base is empty and dropped), the other takes over at once.
        {"equal starts", {{5, 0, 1, 10, 1}, {2, 0, 1, 12, 1}},
         "[(0 -> 1), 2 / 5][(1 -> 9), 5][(9 -> 10), 5 / -1]"},
        // A later track with a lower id still plays after the first ends.
        {"later track, lower id", {{1, 20, 1, 30, 1}, {4, 0, 1, 10, 1}},
         "[(0 -> 1), -1 / 4][(1 -> 9), 4][(9 -> 10), 4 / 1][(10 -> 29), 1][(29 -> 30), 1 / -1]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ksgBlendScheduler s;
        for (const Track& t : c.tracks)
            ASSERT_TRUE(s.setTrack(t.id, t.start, t.in, t.end, t.out));
        EXPECT_EQ(intervals(s), c.expected);
    }
}

TEST(BlendScheduler, GetIntervalCoversStartButNotEnd)
{
    ksgBlendScheduler s;
    s.setTrack(3, 0, 1, 10, 2);
    EXPECT_EQ(s.getTMin(), 0.0f);
    EXPECT_EQ(s.getTMax(), 10.0f);
    ksgBlendScheduler::Interval iv;
    ASSERT_TRUE(s.getInterval(8, iv));
    EXPECT_TRUE(iv.blending);
    EXPECT_EQ(iv.trackA, 3);
    EXPECT_EQ(iv.trackB, -1);
    ASSERT_TRUE(s.getInterval(5, iv));
    EXPECT_FALSE(iv.blending);
    EXPECT_FALSE(s.getInterval(10, iv));
    EXPECT_FALSE(s.getInterval(-1, iv));
}

TEST(BlendScheduler, RefusedTimingRemovesTheTrack)
{
    ksgBlendScheduler s;
    ASSERT_TRUE(s.setTrack(1, 0, 1, 10, 1));
    struct Case {
        const char* name;
        float start, in, end, out;
    };
    const Case refused[] = {
        {"start == end", 5, 0, 5, 0},
        {"negative fade", 0, -1, 10, 1},
        {"fades overlap", 0, 6, 10, 5},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(s.setTrack(1, 0, 1, 10, 1));
        EXPECT_FALSE(s.setTrack(1, c.start, c.in, c.end, c.out));
        ksgBlendScheduler::TrackInfo info{9, 9, 9, 9};
        EXPECT_FALSE(s.getTrackInfo(1, info));
        EXPECT_EQ(info.start, 9.0f) << "untouched";
        ksgBlendScheduler::Interval iv;
        EXPECT_FALSE(s.getInterval(5, iv));
    }
}

TEST(BlendScheduler, TextForms)
{
    std::ostringstream out;
    out << ksgBlendScheduler::Interval{0, 1.5f, true, -1, 3} << ksgBlendScheduler::Interval{2, 4, false, 7, -1}
        << ksgBlendScheduler::TrackInfo{1, 0.5f, 8, 2};
    EXPECT_EQ(out.str(), "[(0 -> 1.5), -1 / 3][(2 -> 4), 7][(1,0.5) -> (8,2)]");
}

} // namespace
