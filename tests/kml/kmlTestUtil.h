// Comparisons shared by the math library's tests.
#ifndef KML_TEST_UTIL_H
#define KML_TEST_UTIL_H

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "kmlMatrix.h"
#include "kmlVec.h"

inline uint32_t floatBits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

template <int N>
::testing::AssertionResult vecNear(const kmlVec<N>& a, const kmlVec<N>& b, float tol)
{
    for (int i = 0; i < N; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol)) {
            auto r = ::testing::AssertionFailure() << "component " << i << ": " << a[i] << " vs " << b[i]
                                                  << " (";
            for (int j = 0; j < N; ++j) r << a[j] << (j + 1 < N ? ", " : ") vs (");
            for (int j = 0; j < N; ++j) r << b[j] << (j + 1 < N ? ", " : ")");
            return r;
        }
    return ::testing::AssertionSuccess();
}

template <int N>
::testing::AssertionResult matNear(const kmlMatrix<N, N>& a, const kmlMatrix<N, N>& b, float tol)
{
    for (int i = 0; i < N * N; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tol))
            return ::testing::AssertionFailure() << "entry (" << i % N << "," << i / N << "): " << a[i]
                                                 << " vs " << b[i];
    return ::testing::AssertionSuccess();
}

#endif
