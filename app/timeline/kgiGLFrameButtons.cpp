// The frame buttons.
#include "kgiGLFrameButtons.h"

#include "kutPath.h"

kgiGLFrameButtons::kgiGLFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLWidget(x, y, w, h, host), groupX(x) {
    const std::string folder = pictureFolder();
    beginImage.loadBitmap(kutPrependPath(folder, "s_begin.bmp"));
    playImage.loadBitmap(kutPrependPath(folder, "s_play.bmp"));
    stopImage.loadBitmap(kutPrependPath(folder, "s_stop.bmp"));
    endImage.loadBitmap(kutPrependPath(folder, "s_end.bmp"));
    halfWidth = 3 * beginImage.getWidth() / 2;
}

void kgiGLFrameButtons::placeGroup(int px) {
    // Lowered first, then raised: a widget narrower than the group keeps it
    // at its left edge.
    const int right = x + width - 2 * halfWidth;
    if (px > right) px = right;
    if (px < x) px = x;
    groupX = px;
}
