#pragma once
// The factory robot the build lays out in its data folder, for the pose,
// key undo and mirroring tests.
#include <cstdlib>
#include <string>

#include "kmlMatrix4.h"

namespace kgiTestRobot {

// The build's data folder: KGI_DATA_DIR when the suite is given it, else the
// environment's, else the folder beside the test's working directory
// (build/tests/core -> build/data).
inline std::string dataDir()
{
#ifdef KGI_DATA_DIR
    return KGI_DATA_DIR;
#else
    const char* env = std::getenv("KGI_DATA_DIR");
    return env ? env : "../../data";
#endif
}

inline std::string projectPath()
{
    return dataDir() + "/DORUZAVO_1base/DORUZAVO_1.ts";
}

inline std::string motionPath()
{
    return dataDir() + "/DORUZAVO_1base/motion/DORUZAVO_1.kmm";
}

// Largest difference between two matrices, element by element.
inline float maxDiff(const kmlMatrix4& a, const kmlMatrix4& b)
{
    float d = 0.0f;
    for (int i = 0; i < 16; ++i) {
        const float e = a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
        d = e > d ? e : d;
    }
    return d;
}

} // namespace kgiTestRobot
