// The key-time list edits of a key drag and the pan step of a ruler.
#include "kgiKeyDrag.h"

namespace {

bool hasKey(const std::vector<float>& times, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < times.size();
}

// Adds d to the keys [a, b).
void shift(std::vector<float>& times, std::size_t a, std::size_t b, float d) {
    for (std::size_t j = a; j < b; ++j) times[j] += d;
}

// Puts key k at f and the keys [a, b) at their distance to it.
void carry(std::vector<float>& times, std::size_t k, std::size_t a, std::size_t b, float f) {
    shift(times, a, b, f - times[k]);
    times[k] = f;
}

} // namespace

bool kgiKeyDrag::start(const std::vector<float>& times, int index) {
    if (!hasKey(times, index)) return false;
    const std::size_t i = static_cast<std::size_t>(index);
    keyIndex = index;
    fromFrame = toFrame = static_cast<int>(times[i]);
    prevKeyFrame = i > 0 ? static_cast<int>(times[i - 1]) : -1;
    nextKeyFrame = i + 1 < times.size() ? static_cast<int>(times[i + 1]) : -1;
    return true;
}

bool kgiMoveDrag(std::vector<float>& times, kgiKeyDrag& drag, int f, int last) {
    if (!hasKey(times, drag.keyIndex)) return false;
    const std::size_t k = static_cast<std::size_t>(drag.keyIndex);
    const int upper = drag.nextKeyFrame != -1 ? drag.nextKeyFrame : last + 1;
    int to = f;
    if (f <= drag.prevKeyFrame)
        to = drag.prevKeyFrame + 1;  // 0 without a key before it
    else if (f >= upper)
        to = upper - 1;
    times[k] = static_cast<float>(to);
    drag.toFrame = to;
    return true;
}

bool kgiPushDrag(std::vector<float>& times, kgiKeyDrag& drag, int f) {
    if (!hasKey(times, drag.keyIndex)) return false;
    const std::size_t k = static_cast<std::size_t>(drag.keyIndex);
    const std::size_t n = times.size();
    const float from = static_cast<float>(drag.fromFrame);
    if (f < drag.fromFrame) {
        // The keys after it went along while the pointer was later: back.
        if (times[k] > from) {
            shift(times, k + 1, n, from - times[k]);
            times[k] = from;
        }
        carry(times, k, 0, k, static_cast<float>(f));
        if (times[0] < 0.0f) shift(times, 0, k + 1, -times[0]);
    } else {
        if (times[k] < from) {
            shift(times, 0, k, from - times[k]);
            times[k] = from;
        }
        carry(times, k, k + 1, n, static_cast<float>(f));
    }
    drag.toFrame = static_cast<int>(times[k]);
    return true;
}

bool kgiPullDrag(std::vector<float>& times, kgiKeyDrag& drag, int f) {
    if (!hasKey(times, drag.keyIndex)) return false;
    const std::size_t k = static_cast<std::size_t>(drag.keyIndex);
    const std::size_t n = times.size();
    const float from = static_cast<float>(drag.fromFrame);
    if (f < drag.fromFrame) {
        if (times[k] > from) {
            shift(times, 0, k, from - times[k]);
            times[k] = from;
        }
        // One frame after the key before it, or frame 0.
        const float stop = static_cast<float>(drag.prevKeyFrame + 1);
        if (f > drag.prevKeyFrame)
            carry(times, k, k + 1, n, static_cast<float>(f));
        else if (times[k] > stop)
            carry(times, k, k + 1, n, stop);
    } else {
        if (times[k] < from) {
            shift(times, k + 1, n, from - times[k]);
            times[k] = from;
        }
        if (drag.nextKeyFrame == -1 || f < drag.nextKeyFrame)
            carry(times, k, 0, k, static_cast<float>(f));
        else if (static_cast<float>(drag.nextKeyFrame - 1) - times[k] >= 1.0f)
            carry(times, k, 0, k, static_cast<float>(drag.nextKeyFrame - 1));
    }
    drag.toFrame = static_cast<int>(times[k]);
    return true;
}

int kgiPanFrames(int d, int pixelsPerFrame) {
    int n = d / pixelsPerFrame;
    // Integer division truncates toward zero: one frame less for a pointer
    // left of the anchor by a part of a frame.
    if (d % pixelsPerFrame != 0 && d < 0) --n;
    return n;
}

int kgiPanStep(kgiPanWindow& w, int px, int pixelsPerFrame) {
    const int n = kgiPanFrames(px - w.anchor, pixelsPerFrame);
    if (n > 0 && w.first - n < 0) {
        // The window stops at frame 0, keeping its length; the pointer went
        // on by the frames the window did not move, and the hover cell
        // goes with it.
        if (w.hoverFrame != -1) w.hoverFrame += n - w.first;
        w.last -= w.first;
        w.first = 0;
    } else {
        w.first -= n;
        w.last -= n;
    }
    w.anchor += n * pixelsPerFrame;
    return n;
}
