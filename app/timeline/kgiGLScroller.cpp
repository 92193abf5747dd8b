// The time line's scroller.
#include "kgiGLScroller.h"

#include <algorithm>

kgiGLScroller::kgiGLScroller(int x, int y, int w, int h, kgiTimelineHost* host) : kgiGLWidget(x, y, w, h, host) {
    visible = w / pixelsPerUnit;
    placeThumb();
}

void kgiGLScroller::setSize(int w, int h) {
    visible = w / pixelsPerUnit;
    kgiGLWidget::setSize(w, h);
}

void kgiGLScroller::setValue(int v) {
    value = v < 0 ? 0 : v;
    placeThumb();
}

void kgiGLScroller::setFirst(int f) {
    first = f;
    placeThumb();
}

void kgiGLScroller::setPixelsPerUnit(int n) {
    pixelsPerUnit = n > 0 ? n : DEFAULT_PIXELS_PER_UNIT;
    visible = width / pixelsPerUnit;
    placeThumb();
}

int kgiGLScroller::thumbRight() const {
    if (value + length > first + visible) return x + width;
    return thumbLeft() + length * pixelsPerUnit;
}

bool kgiGLScroller::grabIfOnThumb(int px, int py, bool leftColumnIn) {
    grabbing = false;
    grabOffset = -1;
    const int left = thumbLeft();
    const bool afterLeft = leftColumnIn ? left <= px : left < px;
    if (y < py && py < y + height && afterLeft && px < thumbRight()) {
        grabbing = true;
        grabOffset = px - thumbX;
        grabX = px;
        return true;
    }
    return false;
}

bool kgiGLScroller::hitThumb(int px, int py) {
    return grabIfOnThumb(px, py, false);
}

bool kgiGLScroller::onMouse(int button, int action, int modifier, int px, int py) {
    if (action != ACTION_PRESS) {
        grabbing = false;
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        return false;
    }
    if (!isInside(px, py)) return false;
    if (button == BUTTON_MIDDLE) {
        if (!(thumbLeft() < px && px < thumbRight())) {
            // Centred on the clicked unit, not before the first unit.
            const int u = frameAt(px, x, first, pixelsPerUnit) - length / 2;
            setValue(u);
        }
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        return true;
    }
    kgiGLWidget::onMouse(button, action, modifier, px, py);
    return hitThumb(px, py);
}

void kgiGLScroller::onMotion(int px, int py) {
    (void)py;
    if (!grabbing) return;
    // Unit boundaries crossed since the last step that moved; each
    // division truncates toward zero, as the column counts always have.
    const int d = (px - x) / pixelsPerUnit - (grabX - x) / pixelsPerUnit;
    if (d == 0) return;
    const int candidate = thumbX + d * pixelsPerUnit;
    if (d < 0) {
        if (freeDrag) {
            // Not before unit 0.
            thumbX = std::max(candidate, x - first * pixelsPerUnit);
        } else if (candidate < x) {
            thumbX = x;
            if (first > 0) first = std::max(0, first + (candidate - x) / pixelsPerUnit);
        } else if (px < thumbX + grabOffset) {
            // Only while the pointer is left of the point it grabbed.
            thumbX = candidate;
        }
    } else {
        if (freeDrag) {
            thumbX = candidate;
        } else {
            const int over = candidate + length * pixelsPerUnit - (x + visible * pixelsPerUnit);
            if (over > 0) {
                thumbX = x + (visible - length) * pixelsPerUnit;
                first += over / pixelsPerUnit;
            } else if (px > thumbX + grabOffset) {
                thumbX = candidate;
            }
        }
    }
    grabX = px;
    value = first + (thumbX - x) / pixelsPerUnit;
}

void kgiGLScroller::draw() {
    kgiGLWidget::draw();
    int left;
    int right;
    if (value < first) {
        left = x;
        right = value + length < first ? x : (value + length - first) * pixelsPerUnit + x;
    } else {
        left = (value - first) * pixelsPerUnit + x;
        right = (value + length - first) * pixelsPerUnit + x;
    }
    right = std::min(right, x + width);
    left = std::min(left, right);
    useColor(thumbColor);
    beginQuads();
    rect(left, y, right, y + height);
    endShape();
}
