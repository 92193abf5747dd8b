// The time line's frame lines.
#include "kgiGLFrameline.h"

#include "kutPath.h"

kgiGLFrameline::kgiGLFrameline(int x, int y, int w, int h, kgiTimelineHost* host) : kgiGLWidget(x, y, w, h, host) {}

void kgiGLFrameline::setSize(int w, int h) {
    last = first + w / pixelsPerFrame - 1;
    kgiGLWidget::setSize(w, h);
}

void kgiGLFrameline::moveWindowTo(int f) {
    last = f + (last - first);
    first = f;
}

void kgiGLFrameline::setPixelsPerFrame(int n) {
    pixelsPerFrame = n > 0 ? n : DEFAULT_PIXELS_PER_FRAME;
    last = first + width / pixelsPerFrame - 1;
}

void kgiGLFrameline::enableTrash(int offset) {
    trashEnabled = true;
    trashOffset = offset;
    overTrash = false;
    const std::string folder = pictureFolder();
    trashHotImage.loadBitmap(kutPrependPath(folder, "b_trash2.bmp"));
    trashImage.loadBitmap(kutPrependPath(folder, "b_trash.bmp"));
}
