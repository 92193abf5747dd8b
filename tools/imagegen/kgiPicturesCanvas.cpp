// The 3D canvas's tool-bar buttons (icons/3d): 32 x 32, a pictogram over a
// short label, in up to four looks per button. English labels use the view
// font; the camera buttons also come with Japanese labels (icons/3d/cam_jp).
//
// Every look marks the top-left pixel with its own colour, so a picture of
// the window tells which look a button shows. No face uses the strip's grey
// (199, 199, 199).
#include "kgiPictureSet.h"
#include "kgiPictureText.h"

#include <string>

namespace {

enum Look { NORMAL, ON_MOUSE, PUSHED, PUSHED_T };
enum Pictogram {
    KEY, IK, FK, MOTION, GRID, GHOST, GRAVITY, MIRROR, LANDING, INITIAL,
    TOP, BOTTOM, SIDE_A, SIDE_B, FRONT, BACK, CAMERA, REDO, UNDO
};
enum Script { LATIN, JAPANESE };

const kgiRgb STRIP_GREY(199, 199, 199);
const kgiRgb FACE(238, 238, 230);
const kgiRgb FACE_PUSHED(172, 180, 196);
const kgiRgb SHADOW(96, 100, 112);
const kgiRgb LIGHT(255, 255, 255);
const kgiRgb HIGHLIGHT(255, 150, 20);
const kgiRgb INK(28, 30, 40);
const kgiRgb BLUE(30, 100, 200);
const kgiRgb RED(210, 50, 40);
const kgiRgb GREEN(40, 150, 70);
const kgiRgb FADED(150, 160, 190);
const kgiRgb FAINT(200, 206, 222);
const kgiRgb YELLOW(240, 190, 20);

// The top-left pixel of each look.
const kgiRgb LOOK_MARK[] = {kgiRgb(120, 124, 136), HIGHLIGHT, kgiRgb(40, 44, 56), kgiRgb(20, 40, 150)};

const char* const LATIN_LABEL[] = {"KEY",  "IK",    "FK",   "MOT",   "GRID", "GHOST", "COG",
                                   "MIRR", "LAND",  "INIT", "TOP",   "BTM",  "RIGHT", "LEFT",
                                   "FRONT", "BACK", "PERS", "REDO",  "UNDO"};
// Only the camera buttons have Japanese pictures.
const char* japaneseLabel(Pictogram p) {
    switch (p) {
    case TOP: return "\xe4\xb8\x8a";            // up
    case BOTTOM: return "\xe4\xb8\x8b";         // down
    case SIDE_A: return "\xe5\x8f\xb3";         // right
    case SIDE_B: return "\xe5\xb7\xa6";         // left
    case FRONT: return "\xe5\x89\x8d";          // front
    case BACK: return "\xe5\xbe\x8c";           // back
    case CAMERA: return "\xe9\x80\x8f\xe8\xa6\x96";  // perspective
    default: return "";
    }
}

// A small stick figure standing on (cx, feetY).
void figure(kgiPicture& p, int cx, int feetY, kgiRgb c) {
    p.fillCircle(cx, feetY - 11, 2, c);
    p.line(cx, feetY - 9, cx, feetY - 4, c);
    p.line(cx - 3, feetY - 7, cx + 3, feetY - 7, c);
    p.line(cx, feetY - 4, cx - 2, feetY, c);
    p.line(cx, feetY - 4, cx + 2, feetY, c);
}

// A box seen from slightly above, centred at (cx, cy).
void cube(kgiPicture& p, int cx, int cy) {
    p.fillRect(cx - 5, cy - 2, cx + 3, cy + 6, kgiRgb(140, 190, 240));
    p.fillPolygon({{cx - 5, cy - 2}, {cx - 2, cy - 5}, {cx + 6, cy - 5}, {cx + 3, cy - 2}}, kgiRgb(190, 220, 250));
    p.fillPolygon({{cx + 3, cy - 2}, {cx + 6, cy - 5}, {cx + 6, cy + 3}, {cx + 3, cy + 6}}, kgiRgb(90, 140, 200));
    p.polyline({{cx - 5, cy - 2}, {cx - 2, cy - 5}, {cx + 6, cy - 5}, {cx + 6, cy + 3}, {cx + 3, cy + 6}, {cx - 5, cy + 6}},
               INK, true);
    p.line(cx - 5, cy - 2, cx + 3, cy - 2, INK);
    p.line(cx + 3, cy - 2, cx + 6, cy - 5, INK);
    p.line(cx + 3, cy - 2, cx + 3, cy + 6, INK);
}

// A thick arrow from (x0, y0) to its head at (x1, y1).
void arrow(kgiPicture& p, int x0, int y0, int x1, int y1, kgiRgb c) {
    p.line(x0, y0, x1, y1, c);
    if (x0 == x1) p.line(x0 + 1, y0, x1 + 1, y1, c);
    else p.line(x0, y0 + 1, x1, y1 + 1, c);
    p.arrowHead(x1, y1, x0, y0, 5, c);
}

void undoArrow(kgiPicture& p) {
    p.arc(16, 12, 7, 0.0, 180.0, BLUE);
    p.arc(16, 12, 6, 0.0, 180.0, BLUE);
    p.line(23, 12, 23, 16, BLUE);
    p.line(22, 12, 22, 16, BLUE);
    p.arrowHead(9, 18, 9, 12, 6, BLUE);
}

// The pictogram in the rows above the label (about 2..20).
void pictogram(kgiPicture& p, Pictogram what) {
    switch (what) {
    case KEY:
        p.line(4, 12, 27, 12, INK);
        for (int x = 6; x <= 26; x += 5) p.line(x, 10, x, 14, INK);
        p.fillPolygon({{16, 5}, {22, 11}, {16, 17}, {10, 11}}, YELLOW);
        p.polyline({{16, 5}, {22, 11}, {16, 17}, {10, 11}}, INK, true);
        break;
    case IK:
        p.line(6, 18, 13, 9, INK);
        p.line(13, 9, 21, 12, INK);
        p.fillCircle(6, 18, 2, BLUE);
        p.fillCircle(13, 9, 2, BLUE);
        p.frameCircle(24, 6, 3, RED);
        p.line(24, 2, 24, 10, RED);
        p.line(20, 6, 28, 6, RED);
        arrow(p, 21, 12, 23, 8, RED);
        break;
    case FK:
        p.line(10, 16, 24, 16, INK);
        p.line(10, 15, 24, 15, INK);
        p.fillCircle(10, 16, 3, BLUE);
        p.arc(10, 16, 9, 20.0, 110.0, RED);
        p.arc(10, 16, 8, 20.0, 110.0, RED);
        p.arrowHead(18, 12, 19, 15, 4, RED);
        break;
    case MOTION:
        p.line(8, 12, 16, 5, INK);
        p.fillCircle(8, 12, 2, BLUE);
        p.line(3, 17, 28, 17, INK);
        for (int x : {7, 15, 23}) p.fillPolygon({{x, 14}, {x + 3, 17}, {x, 20}, {x - 3, 17}}, YELLOW);
        for (int x : {7, 15, 23}) p.polyline({{x, 14}, {x + 3, 17}, {x, 20}, {x - 3, 17}}, INK, true);
        break;
    case GRID:
        for (int i = 0; i <= 4; ++i) {
            p.line(6 + 5 * i, 4, 6 + 5 * i, 19, GREEN);
            p.line(6, 4 + i * 15 / 4, 26, 4 + i * 15 / 4, GREEN);
        }
        break;
    case GHOST:
        figure(p, 8, 19, FAINT);
        figure(p, 15, 19, FADED);
        figure(p, 23, 19, INK);
        break;
    case GRAVITY:
        // The disc in quarters, dark at the top right and bottom left.
        for (int y = 3; y <= 19; ++y)
            for (int x = 8; x <= 24; ++x) {
                const int dx = x - 16, dy = y - 11;
                if (dx * dx + dy * dy > 72) continue;
                const bool dark = (dx >= 0) == (dy < 0);
                p.set(x, y, dark ? INK : LIGHT);
            }
        p.frameCircle(16, 11, 8, INK);
        break;
    case MIRROR:
        for (int y = 3; y <= 19; y += 3) p.line(16, y, 16, y + 1, INK);
        p.fillPolygon({{13, 5}, {13, 17}, {5, 17}}, BLUE);
        p.fillPolygon({{19, 5}, {19, 17}, {27, 17}}, FADED);
        break;
    case LANDING:
        p.fillRect(2, 19, 29, 20, INK);
        p.fillRect(8, 15, 13, 17, BLUE);
        p.fillRect(18, 15, 23, 17, BLUE);
        p.line(10, 8, 10, 13, BLUE);
        p.line(21, 8, 21, 13, BLUE);
        arrow(p, 15, 3, 15, 12, RED);
        break;
    case INITIAL:
        figure(p, 16, 19, INK);
        p.line(10, 12, 22, 12, INK);  // arms out: the initial pose
        p.arc(16, 11, 10, 200.0, 340.0, GREEN);
        break;
    case TOP:
        cube(p, 16, 14);
        arrow(p, 16, 1, 16, 7, RED);
        break;
    case BOTTOM:
        cube(p, 16, 9);
        arrow(p, 16, 20, 16, 15, RED);
        break;
    case SIDE_A:
        cube(p, 12, 11);
        arrow(p, 29, 11, 21, 11, RED);
        break;
    case SIDE_B:
        cube(p, 20, 11);
        arrow(p, 2, 11, 11, 11, RED);
        break;
    case FRONT:
        p.fillRect(9, 4, 22, 17, kgiRgb(140, 190, 240));
        p.frameRect(9, 4, 22, 17, INK);
        p.fillCircle(16, 11, 2, RED);
        break;
    case BACK:
        p.fillRect(9, 4, 22, 17, kgiRgb(90, 140, 200));
        p.frameRect(9, 4, 22, 17, INK);
        p.line(12, 7, 19, 14, RED);
        p.line(19, 7, 12, 14, RED);
        break;
    case CAMERA:
        p.fillRect(5, 7, 21, 17, INK);
        p.fillRect(8, 4, 13, 7, INK);
        p.fillCircle(13, 12, 3, kgiRgb(150, 200, 255));
        p.fillPolygon({{21, 10}, {27, 6}, {27, 18}, {21, 14}}, INK);
        break;
    case REDO:
        undoArrow(p);
        p.flipHorizontal();
        break;
    case UNDO:
        undoArrow(p);
        break;
    }
}

// The face and frame of a look; the pictogram and label go on top.
void face(kgiPicture& p, Look look) {
    const bool pushed = look == PUSHED || look == PUSHED_T;
    p.fill(pushed ? FACE_PUSHED : FACE);
    if (pushed) {
        // Inset: shadow along the top and left, light along the bottom and right.
        p.line(0, 0, 31, 0, SHADOW);
        p.line(0, 0, 0, 31, SHADOW);
        p.line(1, 1, 30, 1, SHADOW);
        p.line(1, 1, 1, 30, SHADOW);
        p.line(31, 1, 31, 31, LIGHT);
        p.line(1, 31, 31, 31, LIGHT);
    } else if (look == ON_MOUSE) {
        p.frameRect(0, 0, 31, 31, HIGHLIGHT);
        p.frameRect(1, 1, 30, 30, HIGHLIGHT);
    } else {
        p.line(0, 0, 31, 0, LIGHT);
        p.line(0, 0, 0, 31, LIGHT);
        p.line(31, 0, 31, 31, SHADOW);
        p.line(0, 31, 31, 31, SHADOW);
    }
}

std::string fontPath(Script s) { return s == JAPANESE ? KGI_LABEL_FONT_JP : KGI_LABEL_FONT; }

template <Pictogram What, Look L, Script S>
void drawButton(kgiPicture& p) {
    face(p, L);
    pictogram(p, What);
    kgiPictureFont font(fontPath(S));
    const std::string label = S == JAPANESE ? japaneseLabel(What) : LATIN_LABEL[What];
    font.drawCentred(p, label, S == JAPANESE ? 10 : 9, 16, 29, 26, INK);
    p.replace(STRIP_GREY, kgiRgb(200, 200, 200));
    p.set(0, 0, LOOK_MARK[L]);
}

} // namespace

// The three looks of a button: files <dir>/<name>_normal.bmp (or the
// normal file's own name), _onMouse.bmp and _pushed.bmp.
#define KGI_LOOKS3(DIR, NORMAL_FILE, NAME, PICT, SCRIPT)                                  \
    {DIR NORMAL_FILE, 32, 32, FACE, drawButton<PICT, NORMAL, SCRIPT>},                    \
    {DIR NAME "_onMouse.bmp", 32, 32, FACE, drawButton<PICT, ON_MOUSE, SCRIPT>},          \
    {DIR NAME "_pushed.bmp", 32, 32, FACE, drawButton<PICT, PUSHED, SCRIPT>}
#define KGI_BUTTON(NAME, PICT) KGI_LOOKS3("icons/3d/", NAME "_normal.bmp", NAME, PICT, LATIN)
// A camera button: the fourth look is pushed again and shows the opposite view.
#define KGI_CAMERA(DIR, NAME, PICT, OPPOSITE, SCRIPT)                                      \
    KGI_LOOKS3(DIR, NAME "_normal.bmp", NAME, PICT, SCRIPT),                               \
    {DIR NAME "_pushed_T.bmp", 32, 32, FACE, drawButton<OPPOSITE, PUSHED_T, SCRIPT>}

std::vector<kgiPictureDef> kgiPictures::canvasToolbar() {
    return {
        KGI_BUTTON("key", KEY),
        KGI_BUTTON("SIK", IK),
        KGI_BUTTON("FK-subtree2", FK),
        // The motion-mode button's files carry three different names.
        {"icons/3d/FK-body_normal.bmp", 32, 32, FACE, drawButton<MOTION, NORMAL, LATIN>},
        {"icons/3d/MotionMode_onMouse.bmp", 32, 32, FACE, drawButton<MOTION, ON_MOUSE, LATIN>},
        {"icons/3d/MotionMode2_pushed.bmp", 32, 32, FACE, drawButton<MOTION, PUSHED, LATIN>},
        KGI_BUTTON("grid", GRID),
        KGI_BUTTON("ghost", GHOST),
        KGI_BUTTON("CenterOfGravity", GRAVITY),
        KGI_BUTTON("mirrorMode", MIRROR),
        KGI_BUTTON("landing", LANDING),
        KGI_BUTTON("Initialization", INITIAL),
        KGI_CAMERA("icons/3d/", "top", TOP, BOTTOM, LATIN),
        KGI_CAMERA("icons/3d/", "side", SIDE_A, SIDE_B, LATIN),
        KGI_CAMERA("icons/3d/", "front", FRONT, BACK, LATIN),
        KGI_LOOKS3("icons/3d/", "cam_normal.bmp", "cam", CAMERA, LATIN),
        // "nomal": the redo and undo buttons' normal files are named so.
        KGI_LOOKS3("icons/3d/", "redo_nomal.bmp", "redo", REDO, LATIN),
        KGI_LOOKS3("icons/3d/", "undo_nomal.bmp", "undo", UNDO, LATIN),
        // The camera buttons with Japanese labels.
        KGI_CAMERA("icons/3d/cam_jp/", "top", TOP, BOTTOM, JAPANESE),
        KGI_CAMERA("icons/3d/cam_jp/", "side", SIDE_A, SIDE_B, JAPANESE),
        KGI_CAMERA("icons/3d/cam_jp/", "front", FRONT, BACK, JAPANESE),
        KGI_LOOKS3("icons/3d/cam_jp/", "cam_normal.bmp", "cam", CAMERA, JAPANESE),
    };
}
