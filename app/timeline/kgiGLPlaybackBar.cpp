// The playback bar and its media variant.
#include "kgiGLPlaybackBar.h"

#include "kgiWorld.h"

#include <cmath>

namespace {

// A frame count or number as an int; NaN as 0 and the far ends clamped, so
// an absurd range cannot overflow the conversion.
int toFrame(double v) {
    if (std::isnan(v)) return 0;
    if (v > 1.0e9) return 1000000000;
    if (v < -1.0e9) return -1000000000;
    return static_cast<int>(v);
}

} // namespace

kgiGLPlaybackBar::kgiGLPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLScroller(x, y, w, h, host) {}

void kgiGLPlaybackBar::update() {
    const kgiWorld* world = kgiWorld::instance();
    const double start = world->getStartFrame();
    const double end = world->getEndFrame();
    setValue(toFrame(start));
    length = toFrame(end - start + 1.0);
}

kgiGLMediaPlaybackBar::kgiGLMediaPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLPlaybackBar(x, y, w, h, host) {}
