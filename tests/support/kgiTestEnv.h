#pragma once
// What a test may expect of the machine it runs on.
//
// ./test always provides an X display (Xvfb), OpenGL (Mesa) and the
// GStreamer encoders it installs, and exports KGI_REQUIRE_DISPLAY=1 to say
// so. A fixture that finds one of them missing skips its tests elsewhere (a
// developer running one test binary without X), but fails them there: under
// ./test the missing piece is a fault of the run.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

inline bool kgiTestEnvRequired()
{
    const char* v = std::getenv("KGI_REQUIRE_DISPLAY");
    return v && *v && std::strcmp(v, "0") != 0;
}

// Calls open() until it returns something true, for about two seconds at
// most. An X server that resets itself when its last client leaves (Xvfb
// does unless started with -noreset) drops the connections that arrive
// during the reset; test processes that come and go in parallel hit that
// window now and then. Without DISPLAY there is nothing to wait for.
template <class Open>
auto kgiOpenDisplayRetrying(Open open) -> decltype(open())
{
    for (int attempt = 0;; ++attempt) {
        if (auto result = open())
            return result;
        if (attempt == 20 || !std::getenv("DISPLAY"))
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
