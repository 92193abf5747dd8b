// The time line's scroller.
#include "kgiGLScroller.h"

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
