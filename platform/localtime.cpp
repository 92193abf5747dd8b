#include "platform/localtime.h"

#include <ctime>

namespace platform {

LocalTime localTime()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::localtime_r(&ts.tv_sec, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.weekday = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return t;
}

} // namespace platform
