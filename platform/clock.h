#pragma once
// Monotonic time. Never CPU time and never the wall clock: the time line,
// the serial link's pacing and the lesson stopwatch must keep running while
// the process sleeps, and must not jump when the date is changed.

namespace platform {

// Seconds on the monotonic clock since an arbitrary fixed point.
double monotonicSeconds();

// Milliseconds on the same clock, for the serial link's time-outs.
unsigned long long monotonicMilliseconds();

} // namespace platform
