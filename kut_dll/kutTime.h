#pragma once
// A process-wide clock in seconds, on the monotonic clock: it runs on while
// the process sleeps and never jumps with the date. Playback, the robot
// link's pacing and the lesson stopwatch are timed with it.

// Seconds since the library was loaded. Being a float it keeps about a
// millisecond of resolution for the first few hours.
float kutGetTime();
// Seconds since the previous call or since kutResetTime (or since the library
// was loaded), and starts the next interval.
float kutGetDeltaTime();
// Starts the next interval of kutGetDeltaTime now (playback start).
void kutResetTime();
