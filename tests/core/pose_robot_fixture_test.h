#pragma once
// The factory robot the build lays out in its data folder, for the pose,
// key undo and mirroring tests.
#include <cstdlib>
#include <string>

#include "kmlMatrix4.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"

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

// The same over the rotation part only.
inline float rotationDiff(const kmlMatrix4& a, const kmlMatrix4& b)
{
    float d = 0.0f;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            const float e = a(row, col) > b(row, col) ? a(row, col) - b(row, col) : b(row, col) - a(row, col);
            d = e > d ? e : d;
        }
    return d;
}

// F L F with F = diag(1, 1, -1), rotation part: a joint frame mirrored
// across its own lateral axis, as a left joint mirrors its right twin.
inline kmlMatrix4 mirroredRotation(const kmlMatrix4& m)
{
    kmlMatrix4 r(m);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            if ((row == 2) != (col == 2))
                r(row, col) = -r(row, col);
    return r;
}

// The controller's base curves evaluated at t.
inline kmlMatrix4 evaluated(ksgMotionController* mc, float t)
{
    ksgMotionFrame* f = mc->newFrame();
    f->setTime(t);
    mc->getFrame(f, 1, ksgMotionController::NoLayerSet);
    kmlMatrix4 m;
    f->toMatrix(m);
    delete f;
    return m;
}

} // namespace kgiTestRobot
