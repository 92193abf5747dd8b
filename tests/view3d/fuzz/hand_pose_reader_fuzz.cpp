// The hand pose reader on arbitrary bytes. The first byte chooses the joint
// count (0..15) and the side, the rest is the file's text. The reader must
// not crash; a refusal leaves the pose as it was; an accepted pose holds the
// joints asked for, all finite, and writing it gives a text that reads back
// to the same text.
#include "kgiHandPose.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int joints = data[0] & 0x0f;
    const int side = (data[0] & 0x10) ? kgiHandSet::RIGHT : kgiHandSet::LEFT;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<kmlMatrix3> rotations(1);
    rotations[0].set(0, 1, 7.0f);
    if (!parseHandPose(text, side, joints, rotations)) {
        if (rotations.size() != 1 || rotations[0](0, 1) != 7.0f)
            std::abort();
        return 0;
    }
    if (rotations.size() != static_cast<size_t>(joints))
        std::abort();
    for (const kmlMatrix3& m : rotations) {
        for (int k = 0; k < 9; ++k) {
            if (!std::isfinite(m[k]))
                std::abort();
        }
    }
    kgiHandPose pose;
    pose.side = side;
    pose.rotations = rotations;
    const std::string written = formatHandPose(pose);
    kgiHandPose again;
    again.side = side;
    if (!parseHandPose(written, side, joints, again.rotations) || formatHandPose(again) != written)
        std::abort();
    return 0;
}
