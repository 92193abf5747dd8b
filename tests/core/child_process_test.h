#pragma once
// For tests that run their kgiApp in a child process (the program, like a
// test process, has one FXApp): the child reports through its exit code.
#include <cstdio>
#include <cstdlib>

// Ends the child with exit code 1, naming the failed check on stderr.
#define CHILD_CHECK(cond)                                              \
    do {                                                               \
        if (!(cond)) {                                                 \
            std::fprintf(stderr, "check failed: %s\n", #cond);         \
            std::_Exit(1);                                             \
        }                                                              \
    } while (0)

// Whether a window can be opened at all.
inline bool hasDisplay() { return std::getenv("DISPLAY") != nullptr; }

// Runs body (a function or a callable object named without commas) in a
// child process of its own and expects the child to end with code 0;
// CHILD_CHECK inside it names the check that failed. The "threadsafe"
// death-test style re-runs the test binary, so the child inherits nothing
// of this process's toolkit state.
template <class Body>
[[noreturn]] void runChildBody(const Body& body) {
    body();
    std::_Exit(0);
}
#define EXPECT_IN_CHILD(body)                                                     \
    do {                                                                          \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                           \
        EXPECT_EXIT(runChildBody(body), ::testing::ExitedWithCode(0), "");        \
    } while (0)
