#pragma once
// The programs behind a test's private display: an X server (Xvfb) and a
// window manager (openbox) on it. Each runs as a child that ends with the
// test process however that ends (a crashed test leaves no server holding
// the test runner's output open); their output goes to /dev/null.
#include <string>
#include <sys/types.h>

namespace kgiTestX {

// Xvfb with one 1280 x 1024 screen of 24 bits, without TCP, on a display
// number it picks: ":N" once the server takes connections, with pid its
// process; empty when it did not start (pid then -1).
std::string startServer(pid_t& pid);

// openbox on `display`, its settings, cache and data under `home` (so a
// test never writes into the user's own): the process, -1 when it could
// not be started. It is up once it frames windows, which the caller waits
// for in its own way.
pid_t startOpenbox(const std::string& display, const std::string& home);

// In a child about to run a program: standard input, output and error go
// to /dev/null, so that neither it nor a process it leaves behind holds the
// test runner's pipes open.
void quietStandardStreams();

// Ends the child (SIGTERM) and waits for it; pid becomes -1. Nothing for
// pid <= 0.
void end(pid_t& pid);

} // namespace kgiTestX
