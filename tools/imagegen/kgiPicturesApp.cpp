// The application icon: a robot head on a blue square.
#include "kgiPictureSet.h"

namespace {

const kgiRgb BLUE(40, 96, 160);
const kgiRgb OUTLINE(36, 40, 48);
const kgiRgb METAL(208, 212, 220);
const kgiRgb SHADE(150, 154, 164);
const kgiRgb LAMP(224, 48, 40);
const kgiRgb EYE(96, 224, 255);

void drawAppIcon(kgiPicture& p) {
    // Antenna with its lamp.
    p.line(16, 4, 16, 8, OUTLINE);
    p.fillCircle(16, 3, 2, LAMP);
    // Ears, behind the head.
    p.fillRect(3, 13, 6, 20, SHADE);
    p.frameRect(3, 13, 6, 20, OUTLINE);
    p.fillRect(25, 13, 28, 20, SHADE);
    p.frameRect(25, 13, 28, 20, OUTLINE);
    // Head with cut corners.
    p.fillPolygon({{8, 8}, {23, 8}, {25, 10}, {25, 24}, {23, 26}, {8, 26}, {6, 24}, {6, 10}}, METAL);
    p.polyline({{8, 8}, {23, 8}, {25, 10}, {25, 24}, {23, 26}, {8, 26}, {6, 24}, {6, 10}}, OUTLINE,
               true);
    // Eyes: dark sockets with a lit centre.
    p.fillCircle(11, 15, 3, OUTLINE);
    p.fillCircle(11, 15, 1, EYE);
    p.fillCircle(20, 15, 3, OUTLINE);
    p.fillCircle(20, 15, 1, EYE);
    // Grille mouth.
    p.fillRect(10, 20, 21, 23, OUTLINE);
    for (int x = 12; x <= 20; x += 3) p.line(x, 21, x, 22, SHADE);
    // Neck and shoulders.
    p.fillRect(13, 27, 18, 28, SHADE);
    p.fillRect(7, 29, 24, 31, METAL);
    p.frameRect(7, 29, 24, 31, OUTLINE);
}

} // namespace

std::vector<kgiPictureDef> kgiPictures::application() {
    return {{"icons/app2.bmp", 32, 32, BLUE, drawAppIcon},
            {"icons/app2.ico", 32, 32, BLUE, drawAppIcon}};
}
