#pragma once
// Pitch and heading of a camera path, per frame, in degrees.
#include <cstdint>
#include <vector>

struct kneCameraPath {
    static constexpr uint32_t FRAME_BYTES = 28; // 7 little-endian floats a frame
    // 1: floats 0-2 are the position and 3-5 the target point;
    // 2: floats 3-5 are the view direction. Float 6 is not used.
    int mode = 0;
    const uint8_t* frames = nullptr; // frameCount frames of FRAME_BYTES
    std::vector<float> angles;       // receives pitch, heading per frame
};

// Fills path->angles with 2 x frameCount floats. Returns 1, or 0 for a null
// path or a frameCount below 1. A mode other than 1 or 2 leaves the angles
// at 0. A direction with x and z both 0 (straight up, down, or the zero
// vector) has heading 0; no angle is ever NaN.
int kneCameraAngles(kneCameraPath* path, int frameCount);
