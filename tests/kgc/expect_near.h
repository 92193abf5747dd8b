#pragma once
// Component-wise closeness of two vectors, for results that go through
// trigonometry or square roots.
#include "kmlVec3.h"

#include <gtest/gtest.h>

inline void expectNear(const kmlVec3& got, const kmlVec3& want, const char* what,
                       float tolerance = 1e-5f)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << what << " component " << i;
}
