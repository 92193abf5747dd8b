#pragma once
// The local calendar time, for time stamps the user reads (the board image
// stamp, the link's developer page). Never used to measure durations: that
// is the monotonic clock's job (platform/clock.h).

namespace platform {

struct LocalTime {
    int year;         // e.g. 2026
    int month;        // 1..12
    int day;          // 1..31
    int weekday;      // 0 Sunday .. 6 Saturday
    int hour;         // 0..23
    int minute;       // 0..59
    int second;       // 0..60
    int millisecond;  // 0..999
};

// The present local time of this process's time zone.
LocalTime localTime();

} // namespace platform
