#include "kneCameraAngles.h"

#include "kneBytes.h"

#include <cmath>

namespace {
constexpr float DEGREES = 57.29578f;
}

int kneCameraAngles(kneCameraPath* path, int frameCount)
{
    if (!path || frameCount < 1)
        return 0;
    path->angles.assign(size_t(frameCount) * 2, 0.0f);
    if ((path->mode != 1 && path->mode != 2) || !path->frames)
        return 1;
    for (int i = 0; i < frameCount; ++i) {
        const uint8_t* f = path->frames + size_t(i) * kneCameraPath::FRAME_BYTES;
        float v[6];
        for (int k = 0; k < 6; ++k)
            v[k] = kneLE::f32(f + 4 * k);
        float x = v[3], y = v[4], z = v[5];
        if (path->mode == 1) {
            x -= v[0];
            y -= v[1];
            z -= v[2];
        }
        float len2 = x * x + y * y + z * z;
        if (len2 > 0.0f) {
            float inv = 1.0f / std::sqrt(len2);
            x *= inv;
            y *= inv;
            z *= inv;
        }
        // Rounding can leave |y| a hair above 1.
        float pitch = std::asin(std::fmax(-1.0f, std::fmin(1.0f, y))) * DEGREES;
        float heading = 0.0f;
        if (x != 0.0f || z != 0.0f) {
            heading = std::atan(x / z) * DEGREES;
            if (z >= 0.0f)
                heading += (x < 0.0f) ? 180.0f : -180.0f;
        }
        path->angles[size_t(i) * 2] = pitch;
        path->angles[size_t(i) * 2 + 1] = heading;
    }
    return 1;
}
