// The key-time list edits of a key drag on the time line: move, push, pull.
#include "kgiKeyUndo.h"

namespace {

bool keyAt(const std::vector<float>& times, int index, float from)
{
    return index >= 0 && static_cast<size_t>(index) < times.size() && times[size_t(index)] == from;
}

} // namespace

bool kgiPreservativeKeysUndo::moveKey(std::vector<float>& times, int index, float from, float to)
{
    if (!keyAt(times, index, from))
        return false;
    const size_t i = size_t(index);
    if (i > 0 && to <= times[i - 1])
        times[i] = times[i - 1] + 1.0f;
    else if (i + 1 < times.size() && to >= times[i + 1])
        times[i] = times[i + 1] - 1.0f;
    else
        times[i] = to;
    return true;
}

bool kgiPreservativeKeysUndo::pushKeys(std::vector<float>& times, int index, float from, float to)
{
    if (!keyAt(times, index, from))
        return false;
    const size_t i = size_t(index);
    const float delta = to - from;
    if (delta < 0.0f) {
        for (size_t k = 0; k < i; ++k)
            times[k] += delta;
        times[i] = to;
        // Keys pushed below frame 0 come back so that the first is at 0.
        const float first = times[0];
        if (first < 0.0f)
            for (size_t k = 0; k <= i; ++k)
                times[k] -= first;
    } else {
        for (size_t k = i + 1; k < times.size(); ++k)
            times[k] += delta;
        times[i] = to;
    }
    return true;
}

bool kgiPreservativeKeysUndo::pullKeys(std::vector<float>& times, int index, float from, float to)
{
    if (!keyAt(times, index, from))
        return false;
    const size_t i = size_t(index);
    const float delta = to - from;
    float adjust = 0.0f;
    if (delta < 0.0f) {
        if (i > 0 && to <= times[i - 1])
            adjust = times[i - 1] - to + 1.0f;
        else if (to < 0.0f)
            adjust = -to;
        for (size_t k = i + 1; k < times.size(); ++k)
            times[k] += delta + adjust;
    } else {
        if (i + 1 < times.size() && to >= times[i + 1])
            adjust = times[i + 1] - to - 1.0f;
        for (size_t k = 0; k < i; ++k)
            times[k] += delta + adjust;
    }
    times[i] = to + adjust;
    return true;
}
