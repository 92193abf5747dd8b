// The main window's tool-bar and menu icons: 16 x 16 (the window scales
// every icon to that size) on the key grey FXRGB(192,192,192), which the
// window makes transparent. The grey never appears inside a drawing, and
// the outermost ring of pixels stays background.
#include "kgiPictureSet.h"

namespace {

const kgiRgb KEY(192, 192, 192);
const kgiRgb INK(32, 32, 40);
const kgiRgb PAPER(255, 255, 255);
const kgiRgb TEXT_LINE(120, 124, 136);
const kgiRgb FOLDER_BACK(200, 150, 40);
const kgiRgb FOLDER_FRONT(244, 204, 84);
const kgiRgb DISK(40, 84, 168);
const kgiRgb METAL(164, 168, 180);
const kgiRgb ARROW(24, 104, 208);
const kgiRgb FIGURE(224, 112, 24);
const kgiRgb STEEL(88, 92, 104);
const kgiRgb HANDLE(200, 40, 40);
const kgiRgb BOARD(156, 104, 52);
const kgiRgb LENS(176, 220, 255);
const kgiRgb WOOD(124, 72, 32);
const kgiRgb RULER(250, 228, 120);
const kgiRgb FACE(250, 210, 90);
const kgiRgb TITLE(40, 96, 200);
const kgiRgb CUBE_FRONT(120, 176, 232);
const kgiRgb CUBE_TOP(176, 212, 244);
const kgiRgb CUBE_SIDE(72, 128, 192);

void drawOpen(kgiPicture& p) {
    // The back of the folder with its tab, and the front flap swung open.
    p.fillRect(2, 3, 6, 4, FOLDER_BACK);
    p.fillRect(2, 4, 12, 13, FOLDER_BACK);
    p.frameRect(2, 4, 12, 13, INK);
    p.line(2, 3, 6, 3, INK);
    p.line(2, 3, 2, 4, INK);
    p.line(6, 3, 7, 4, INK);
    const std::vector<kgiPoint> flap{{5, 7}, {14, 7}, {12, 13}, {2, 13}};
    p.fillPolygon(flap, FOLDER_FRONT);
    p.polyline(flap, INK, true);
}

void drawSave(kgiPicture& p) {
    // A disk: shutter at the top, label at the bottom.
    p.fillPolygon({{2, 2}, {12, 2}, {13, 3}, {13, 13}, {2, 13}}, DISK);
    p.polyline({{2, 2}, {12, 2}, {13, 3}, {13, 13}, {2, 13}}, INK, true);
    p.fillRect(5, 2, 10, 6, METAL);
    p.frameRect(5, 2, 10, 6, INK);
    p.fillRect(8, 3, 9, 5, INK);
    p.fillRect(4, 9, 11, 13, PAPER);
    p.frameRect(4, 9, 11, 13, INK);
    p.line(5, 11, 10, 11, TEXT_LINE);
}

// The key undo arrow: from the lower right up over the top and down to the
// left, where its head points.
void drawUndoArrow(kgiPicture& p, int cx, int cy, int r) {
    p.arc(cx, cy, r, 0.0, 180.0, ARROW);
    p.arc(cx, cy, r - 1, 0.0, 180.0, ARROW);
    p.line(cx + r, cy, cx + r, cy + 3, ARROW);
    p.line(cx + r - 1, cy, cx + r - 1, cy + 3, ARROW);
    p.arrowHead(cx - r, cy + 4, cx - r, cy, 4, ARROW);
}

void drawUndo(kgiPicture& p) { drawUndoArrow(p, 8, 8, 5); }

void drawRedo(kgiPicture& p) {
    drawUndo(p);
    p.flipHorizontal();
}

// A small figure in the lower right: the pose that pose undo restores.
void drawFigure(kgiPicture& p) {
    p.fillCircle(12, 8, 1, FIGURE);
    p.line(12, 10, 12, 12, FIGURE);
    p.line(10, 10, 14, 10, FIGURE);
    p.line(12, 12, 10, 14, FIGURE);
    p.line(12, 12, 14, 14, FIGURE);
}

void drawPoseUndo(kgiPicture& p) {
    drawUndoArrow(p, 7, 6, 4);
    drawFigure(p);
}

void drawPoseRedo(kgiPicture& p) {
    drawPoseUndo(p);
    p.flipHorizontal();
}

void drawCopy(kgiPicture& p) {
    // Two sheets, the copy in front.
    for (int shift : {0, 4}) {
        const int x = 2 + shift, y = 1 + shift;
        p.fillRect(x, y, x + 7, y + 9, PAPER);
        p.frameRect(x, y, x + 7, y + 9, INK);
        for (int line = y + 3; line <= y + 7; line += 2) p.line(x + 2, line, x + 5, line, TEXT_LINE);
    }
}

void drawCut(kgiPicture& p) {
    // Scissors, blades up, crossing above the handles.
    p.line(4, 1, 10, 10, STEEL);
    p.line(5, 1, 11, 10, STEEL);
    p.line(11, 1, 5, 10, STEEL);
    p.line(10, 1, 4, 10, STEEL);
    p.fillCircle(4, 12, 2, HANDLE);
    p.fillCircle(11, 12, 2, HANDLE);
    p.set(4, 12, PAPER);
    p.set(11, 12, PAPER);
    p.set(7, 6, INK);  // the pivot
    p.set(8, 6, INK);
}

void drawPaste(kgiPicture& p) {
    // A clipboard with its clip and a sheet laid on it.
    p.fillRect(2, 2, 11, 14, BOARD);
    p.frameRect(2, 2, 11, 14, INK);
    p.fillRect(5, 1, 8, 3, METAL);
    p.frameRect(5, 1, 8, 3, INK);
    p.fillRect(7, 6, 14, 14, PAPER);
    p.frameRect(7, 6, 14, 14, INK);
    for (int y = 8; y <= 12; y += 2) p.line(9, y, 12, y, TEXT_LINE);
}

void drawZoom(kgiPicture& p) {
    // A ruler, the time line's scale, under a magnifier.
    p.fillRect(1, 11, 14, 14, RULER);
    p.frameRect(1, 11, 14, 14, INK);
    for (int x = 3; x <= 13; x += 2) p.line(x, 11, x, x % 4 == 1 ? 13 : 12, INK);
    p.line(9, 8, 12, 11, WOOD);
    p.line(10, 8, 13, 11, WOOD);
    p.fillCircle(6, 5, 4, LENS);
    p.frameCircle(6, 5, 4, INK);
    p.set(4, 3, PAPER);  // a glint
}

void drawAgent(kgiPicture& p) {
    // The companion: a face that speaks.
    p.fillEllipse(9, 5, 5, 4, PAPER);
    p.frameEllipse(9, 5, 5, 4, INK);
    p.fillPolygon({{6, 8}, {9, 9}, {5, 11}}, PAPER);
    p.line(6, 9, 5, 11, INK);
    p.line(5, 11, 9, 9, INK);
    for (int x = 7; x <= 11; x += 2) p.set(x, 5, INK);
    p.fillCircle(4, 11, 3, FACE);
    p.frameCircle(4, 11, 3, INK);
    p.set(3, 10, INK);
    p.set(5, 10, INK);
    p.line(3, 12, 5, 12, INK);
}

void drawNewView(kgiPicture& p) {
    // A window with a cube in it: a new 3D view.
    p.fillRect(1, 2, 14, 13, PAPER);
    p.frameRect(1, 2, 14, 13, INK);
    p.fillRect(2, 3, 13, 4, TITLE);
    p.fillRect(5, 8, 9, 11, CUBE_FRONT);
    p.fillPolygon({{5, 8}, {7, 6}, {11, 6}, {9, 8}}, CUBE_TOP);
    p.fillPolygon({{9, 8}, {11, 6}, {11, 10}, {9, 11}}, CUBE_SIDE);
    p.polyline({{5, 8}, {7, 6}, {11, 6}, {11, 10}, {9, 11}, {5, 11}}, INK, true);
    p.line(5, 8, 9, 8, INK);
    p.line(9, 8, 11, 6, INK);
    p.line(9, 8, 9, 11, INK);
}

} // namespace

std::vector<kgiPictureDef> kgiPictures::toolbar() {
    return {
        {"icons/toolbar/open.bmp", 16, 16, KEY, drawOpen},
        {"icons/toolbar/save.bmp", 16, 16, KEY, drawSave},
        {"icons/toolbar/undo.bmp", 16, 16, KEY, drawUndo},
        {"icons/toolbar/redo.bmp", 16, 16, KEY, drawRedo},
        {"icons/toolbar/copy.bmp", 16, 16, KEY, drawCopy},
        {"icons/toolbar/cut.bmp", 16, 16, KEY, drawCut},
        {"icons/toolbar/paste.bmp", 16, 16, KEY, drawPaste},
        {"icons/toolbar/zoom.bmp", 16, 16, KEY, drawZoom},
        {"icons/toolbar/agent.bmp", 16, 16, KEY, drawAgent},
        {"icons/toolbar/pose_undo.bmp", 16, 16, KEY, drawPoseUndo},
        {"icons/toolbar/pose_redo.bmp", 16, 16, KEY, drawPoseRedo},
        {"icons/toolbar/new.bmp", 16, 16, KEY, drawNewView},
    };
}
