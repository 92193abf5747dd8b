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
