// The time line's images, drawn opaque on its white rows: the frame buttons
// (go to start, play, stop, go to end), all one size, at most 12 pixels tall
// so they fit above the playback bar, and the trash can shown above a
// dragged key, closed or open under the pointer, at most 18 pixels tall to
// fit its strip.
#include "kgiPictureSet.h"

namespace {

const kgiRgb WHITE(255, 255, 255);
const kgiRgb BUTTON_FACE(224, 222, 214);
const kgiRgb BUTTON_EDGE(112, 112, 120);
const kgiRgb GLYPH(24, 24, 32);
const kgiRgb PLAY(16, 136, 48);
const kgiRgb STOP(184, 32, 32);
const kgiRgb CAN(148, 152, 164);
const kgiRgb CAN_HOT(216, 80, 64);
const kgiRgb CAN_RIB(72, 76, 88);
const kgiRgb INK(32, 32, 40);

const int BUTTON_W = 16;
const int BUTTON_H = 12;

void drawButtonFace(kgiPicture& p) {
    p.frameRect(0, 0, BUTTON_W - 1, BUTTON_H - 1, BUTTON_EDGE);
}

void drawBegin(kgiPicture& p) {
    drawButtonFace(p);
    p.fillRect(3, 2, 4, 9, GLYPH);
    p.fillPolygon({{12, 2}, {6, 5}, {6, 6}, {12, 9}}, GLYPH);
}

void drawEnd(kgiPicture& p) {
    drawBegin(p);
    p.flipHorizontal();
}

void drawPlay(kgiPicture& p) {
    drawButtonFace(p);
    p.fillPolygon({{6, 2}, {11, 5}, {11, 6}, {6, 9}}, PLAY);
}

void drawStop(kgiPicture& p) {
    drawButtonFace(p);
    p.fillRect(5, 3, 10, 8, STOP);
}

// The can's body with its ribs, in the given colour.
void drawCanBody(kgiPicture& p, kgiRgb body) {
    const std::vector<kgiPoint> outline{{3, 5}, {12, 5}, {11, 14}, {4, 14}};
    p.fillPolygon(outline, body);
    p.polyline(outline, INK, true);
    p.line(6, 7, 6, 12, CAN_RIB);
    p.line(9, 7, 9, 12, CAN_RIB);
}

void drawTrash(kgiPicture& p) {
    drawCanBody(p, CAN);
    p.fillRect(2, 3, 13, 4, CAN);
    p.frameRect(2, 3, 13, 4, INK);
    p.fillRect(6, 2, 9, 2, INK);
}

void drawTrashOpen(kgiPicture& p) {
    // Under the pointer: the lid lifts and the can lights up.
    drawCanBody(p, CAN_HOT);
    p.line(3, 4, 12, 1, INK);
    p.line(3, 3, 12, 0, INK);
    p.line(7, 1, 8, 0, INK);
}

} // namespace

std::vector<kgiPictureDef> kgiPictures::timeline() {
    return {
        {"icons/3d/s_begin.bmp", BUTTON_W, BUTTON_H, BUTTON_FACE, drawBegin},
        {"icons/3d/s_play.bmp", BUTTON_W, BUTTON_H, BUTTON_FACE, drawPlay},
        {"icons/3d/s_stop.bmp", BUTTON_W, BUTTON_H, BUTTON_FACE, drawStop},
        {"icons/3d/s_end.bmp", BUTTON_W, BUTTON_H, BUTTON_FACE, drawEnd},
        {"icons/3d/b_trash.bmp", 16, 16, WHITE, drawTrash},
        {"icons/3d/b_trash2.bmp", 16, 16, WHITE, drawTrashOpen},
    };
}
