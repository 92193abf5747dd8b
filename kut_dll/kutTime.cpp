#include "kutTime.h"

#include "platform/clock.h"

namespace {

// The monotonic clock counts from an arbitrary point (often boot), too far
// away for a float: count from the first use instead, in double.
double origin()
{
    static const double t0 = platform::monotonicSeconds();
    return t0;
}

// The time of the last delta or reset.
float lastTime = kutGetTime();

} // namespace

float kutGetTime()
{
    return static_cast<float>(platform::monotonicSeconds() - origin());
}

float kutGetDeltaTime()
{
    const float d = kutGetTime() - lastTime;
    lastTime += d;
    return d;
}

void kutResetTime()
{
    lastTime = kutGetTime();
}
