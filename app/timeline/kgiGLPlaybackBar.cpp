// The playback bar.
#include "kgiGLPlaybackBar.h"

#include "kgiTimelineHost.h"
#include "kgiWorld.h"

#include <algorithm>
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

const float WHITE[3] = {1.0f, 1.0f, 1.0f};

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

bool kgiGLPlaybackBar::hitThumb(int px, int py) {
    grabStart = false;
    grabEnd = false;
    // A press in any column of the first frame's cell, its left one
    // included, must reach the start grab below.
    if (!grabIfOnThumb(px, py, true)) return false;
    const int left = thumbLeft();
    if (px < left + pixelsPerUnit) {
        grabbing = false;
        grabStart = true;
        return true;
    }
    // The last frame's cell begins at its left column; the whole cell
    // grabs the end.
    const int right = value + length > first + visible ? x + width : left + length * pixelsPerUnit - pixelsPerUnit;
    if (px >= right) {
        grabbing = false;
        grabEnd = true;
    }
    return true;
}

bool kgiGLPlaybackBar::onMouse(int button, int action, int modifier, int px, int py) {
    if (action != ACTION_PRESS) {
        if (button == BUTTON_LEFT) {
            grabbing = false;
            grabEnd = false;
            grabStart = false;
        }
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        // The range is stored on motion only: after a middle click without
        // one the bar would show a range of 0 frames that the world never
        // had. Reading it back shows what the world holds.
        if (button == BUTTON_MIDDLE) update();
        return false;
    }
    if (!isInside(px, py)) return false;
    if (modifier == MOD_DOUBLE) {
        getHost()->updateTimeline(true);
        return true;
    }
    if (getHost()->isLessonMode()) return true;
    if (button == BUTTON_LEFT) {
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        return hitThumb(px, py);
    }
    if (button == BUTTON_MIDDLE) {
        setValue(frameAt(px, x, first, pixelsPerUnit));
        length = 0;
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        return true;
    }
    return false;
}

bool kgiGLPlaybackBar::dragRange(int px, int py) {
    int f = frameAt(px, x, first, pixelsPerUnit);
    const int lastVisible = first + visible - 1;
    if (grabbing) {
        kgiGLScroller::onMotion(px, py);
    } else if (grabStart) {
        const int e = value + length - 1;
        if (f <= e) {
            f = std::min(std::max(f, first), e);
            length = value + length - f;
            setValue(f);
        } else {
            // Past the last frame: that frame becomes the first, and the
            // drag carries on at the end. The end never lands before it,
            // even when it lies beyond the window.
            f = std::max(std::min(f, lastVisible), e);
            setValue(e);
            length = f - e + 1;
            grabStart = false;
            grabEnd = true;
        }
    } else if (grabEnd) {
        if (f >= value) {
            f = std::max(std::min(f, lastVisible), value);
            length = f - value + 1;
        } else {
            const int s = value;
            f = std::min(std::max(f, first), s);
            length = s - f + 1;
            setValue(f);
            grabEnd = false;
            grabStart = true;
        }
    } else if (lastButton == BUTTON_MIDDLE && lastAction == ACTION_PRESS) {
        // A new range between the pressed frame and the pointer's.
        const int g = frameAt(lastX, x, first, pixelsPerUnit);
        if (f < g) {
            f = std::min(std::max(f, first), g);
            setValue(f);
            length = g - f + 1;
        } else if (f > g) {
            f = std::max(std::min(f, lastVisible), g);
            setValue(g);
            length = f - g + 1;
        } else {
            setValue(f);
            length = 1;
        }
    } else {
        return false;
    }
    return true;
}

void kgiGLPlaybackBar::onMotion(int px, int py) {
    if (dragRange(px, py)) storeRange();
}

void kgiGLPlaybackBar::storeRange() {
    // Both ends at once: set one after the other, a range moved wholly past
    // the old end would be refused its start.
    if (!kgiWorld::instance()->setFrameRange(static_cast<float>(value), static_cast<float>(value + length - 1)))
        update();  // refused: show what the world kept
}

void kgiGLPlaybackBar::draw() {
    kgiGLScroller::draw();
    if (length < 2) return;
    const int q = pixelsPerUnit / 4;
    const int top = y + q;
    const int bottom = y + height - q;
    const int mid = (top + bottom) / 2;
    const auto shown = [this](int s, int e) { return s >= x && e <= x + width; };
    useColor(WHITE[0], WHITE[1], WHITE[2]);
    beginTriangles();
    // Pointing left out of the first frame's cell.
    int s = (value - first) * pixelsPerUnit + x;
    int e = s + pixelsPerUnit - q;
    if (shown(s, e)) triangle(s, mid, e, bottom, e, top);
    // Pointing right out of the last frame's cell.
    s = (value + length - 1 - first) * pixelsPerUnit + x + q;
    e = s + pixelsPerUnit - q - 1;
    if (shown(s, e)) triangle(s, top, s, bottom, e, mid);
    endShape();
}
