#pragma once
// Helpers shared by the node-tree, motion and IK tests.

#include <gtest/gtest.h>

#include <string>

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

namespace ksgtest {

inline kmlMatrix4 translation(float x, float y, float z)
{
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(x, y, z));
    return m;
}

inline kmlMatrix4 rotation(float degrees, float ax, float ay, float az)
{
    kmlMatrix4 m;
    m.setRotation(degrees, kmlVec3(ax, ay, az));
    return m;
}

inline kmlMatrix4 product(const kmlMatrix4& a, const kmlMatrix4& b)
{
    kmlMatrix4 r(a);
    r *= b;
    return r;
}

inline kmlVec3 position(const kmlMatrix4& m)
{
    return kmlVec3(m.get(0, 3), m.get(1, 3), m.get(2, 3));
}

inline ::testing::AssertionResult matrixNear(const kmlMatrix4& a, const kmlMatrix4& b,
                                             float eps = 1e-4f)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float d = a.get(r, c) - b.get(r, c);
            if (d > eps || d < -eps)
                return ::testing::AssertionFailure()
                       << "entry (" << r << "," << c << "): " << a.get(r, c) << " vs "
                       << b.get(r, c);
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult vecNear(const kmlVec3& a, const kmlVec3& b, float eps = 1e-4f)
{
    for (int i = 0; i < 3; ++i) {
        float d = a.get(i) - b.get(i);
        if (d > eps || d < -eps)
            return ::testing::AssertionFailure()
                   << "(" << a.get(0) << "," << a.get(1) << "," << a.get(2) << ") vs ("
                   << b.get(0) << "," << b.get(1) << "," << b.get(2) << ")";
    }
    return ::testing::AssertionSuccess();
}

} // namespace ksgtest
