#include "kmlMath.h"

namespace kml {

float Min(const float* values, unsigned short count)
{
    if (count == 0) return 0.0f;
    float m = values[0];
    for (unsigned short i = 1; i < count; ++i)
        if (values[i] < m) m = values[i];
    return m;
}

float Max(const float* values, unsigned short count)
{
    if (count == 0) return 0.0f;
    float m = values[0];
    for (unsigned short i = 1; i < count; ++i)
        if (values[i] > m) m = values[i];
    return m;
}

} // namespace kml
