// The stand-alone trash can.
#include "kgiGLGarbage.h"

#include "kgiCharacter.h"
#include "kgiWorld.h"

#include "kutPath.h"

kgiGLGarbage::kgiGLGarbage(int x, int y, int w, int h, kgiTimelineHost* host) : kgiGLWidget(x, y, w, h, host) {
    const std::string folder = pictureFolder();
    trashImage.loadBitmap(kutPrependPath(folder, "b_trash.bmp"));
    trashHotImage.loadBitmap(kutPrependPath(folder, "b_trash2.bmp"));
}

void kgiGLGarbage::setPosition(int, int) {}

void kgiGLGarbage::setSize(int, int) {}

void kgiGLGarbage::onMotion(int, int) {}

bool kgiGLGarbage::onMouse(int, int, int, int, int) {
    return false;
}

void kgiGLGarbage::update() {}

bool kgiGLGarbage::dropKey() {
    if (frame == -1) return false;
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    return c && c->deleteKey(frame);
}

void kgiGLGarbage::draw() {
    if (hidden) return;
    kgiGLWidget::draw();
    const kutGLImg& can = frame != -1 ? trashImage : trashHotImage;
    can.draw(x + imageOffset, y + can.getHeight());
}
