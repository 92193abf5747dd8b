// The curve editor's icons: 16 x 16 on white, which the window makes
// transparent, so no drawing uses white and the outermost ring of pixels
// stays background. The channel icons draw their stroke in the canvas's
// channel colours.
#include "kgiPictureSet.h"

#include <cmath>
#include <functional>

namespace {

const kgiRgb WHITE(255, 255, 255);
const kgiRgb INK(32, 32, 40);
// The canvas draws X, Y and Z in (0.8, 0, 0), (0, 0.8, 0.4), (0, 0, 0.8).
const kgiRgb CHANNEL_X(204, 0, 0);
const kgiRgb CHANNEL_Y(0, 204, 102);
const kgiRgb CHANNEL_Z(0, 0, 204);
const kgiRgb BONE(64, 96, 160);
const kgiRgb JOINT(232, 140, 32);
const kgiRgb ARROW(40, 72, 168);
const kgiRgb CURVE(96, 96, 112);
const kgiRgb KEY_MARK(216, 48, 32);
const kgiRgb HANDLE(16, 128, 200);
const kgiRgb FAINT(176, 176, 188);
const kgiRgb DISC(204, 220, 248);

// The graph of f over x from x0 to x1, one line between neighbouring
// columns; `thick` adds a second line one pixel below.
void graph(kgiPicture& p, int x0, int x1, const std::function<double(double)>& f, kgiRgb c,
           bool thick = false) {
    std::vector<kgiPoint> points;
    for (int x = x0; x <= x1; ++x) points.push_back({x, static_cast<int>(std::lround(f(x)))});
    p.polyline(points, c);
    if (!thick) return;
    for (kgiPoint& pt : points) ++pt.y;
    p.polyline(points, c);
}

void keyMark(kgiPicture& p, int x, int y) {
    p.fillRect(x - 1, y - 1, x + 1, y + 1, KEY_MARK);
}

void drawJoint(kgiPicture& p) {
    // Two bones meeting at a joint.
    p.line(2, 13, 7, 8, BONE);
    p.line(3, 13, 8, 8, BONE);
    p.line(7, 8, 13, 2, BONE);
    p.line(8, 8, 13, 3, BONE);
    p.fillCircle(7, 8, 2, JOINT);
    p.frameCircle(7, 8, 2, INK);
}

void drawChannel(kgiPicture& p, kgiRgb c) {
    graph(p, 1, 14, [](double x) { return 7.5 - 4.5 * std::sin((x - 1.0) / 13.0 * 6.2832); }, c,
          true);
}
void drawChannelX(kgiPicture& p) { drawChannel(p, CHANNEL_X); }
void drawChannelY(kgiPicture& p) { drawChannel(p, CHANNEL_Y); }
void drawChannelZ(kgiPicture& p) { drawChannel(p, CHANNEL_Z); }

void drawPosition(kgiPicture& p) {
    // Crossed arrows over a disc: a move in every direction. The disc also
    // fills the corners between the arrow heads, which would otherwise be
    // shut-in spots of the transparent colour.
    p.fillCircle(8, 8, 4, DISC);
    p.line(3, 8, 12, 8, ARROW);
    p.line(8, 3, 8, 12, ARROW);
    p.arrowHead(1, 8, 8, 8, 3, ARROW);
    p.arrowHead(14, 8, 8, 8, 3, ARROW);
    p.arrowHead(8, 1, 8, 8, 3, ARROW);
    p.arrowHead(8, 14, 8, 8, 3, ARROW);
}

void drawRotation(kgiPicture& p) {
    // A circular arrow, most of the way round, its head turning upwards.
    p.arc(7, 8, 5, 120.0, 360.0, ARROW);
    p.arc(7, 8, 4, 120.0, 360.0, ARROW);
    p.arrowHead(11, 3, 11, 8, 5, ARROW);
}

void drawDefault(kgiPicture& p) {
    // A smooth curve through a key.
    graph(p, 1, 14, [](double x) { return 12.0 - 8.0 * std::sin((x - 1.0) / 13.0 * 3.1416); }, CURVE,
          true);
    keyMark(p, 8, 4);
}

void drawLinear(kgiPicture& p) {
    // Straight segments meeting at a key.
    p.polyline({{1, 13}, {8, 4}, {14, 11}}, CURVE);
    p.polyline({{1, 14}, {8, 5}, {14, 12}}, CURVE);
    keyMark(p, 8, 4);
}

void drawFast(kgiPicture& p) {
    // Leaves the key steeply.
    graph(p, 2, 13, [](double x) { return 13.0 - 10.0 * (1.0 - std::pow(1.0 - (x - 2.0) / 11.0, 3)); },
          CURVE, true);
    keyMark(p, 2, 13);
    keyMark(p, 13, 3);
}

void drawSlow(kgiPicture& p) {
    // Leaves the key flat.
    graph(p, 2, 13, [](double x) { return 13.0 - 10.0 * std::pow((x - 2.0) / 11.0, 3); }, CURVE, true);
    keyMark(p, 2, 13);
    keyMark(p, 13, 3);
}

// Double arrow between two points with a bar at each end: fit to the edges.
void fitArrow(kgiPicture& p, int x0, int y0, int x1, int y1) {
    p.line(x0, y0, x1, y1, ARROW);
    p.arrowHead(x0, y0, x1, y1, 3, ARROW);
    p.arrowHead(x1, y1, x0, y0, 3, ARROW);
}

void drawFitX(kgiPicture& p) {
    p.line(1, 3, 1, 12, INK);
    p.line(14, 3, 14, 12, INK);
    fitArrow(p, 3, 7, 12, 7);
    fitArrow(p, 3, 8, 12, 8);
}

void drawFitY(kgiPicture& p) {
    p.line(3, 1, 12, 1, INK);
    p.line(3, 14, 12, 14, INK);
    fitArrow(p, 7, 3, 7, 12);
    fitArrow(p, 8, 3, 8, 12);
}

void drawFitXY(kgiPicture& p) {
    // Corner brackets and arrows out to them.
    for (int sx : {0, 1})
        for (int sy : {0, 1}) {
            const int cx = sx ? 14 : 1, cy = sy ? 14 : 1;
            const int dx = sx ? -1 : 1, dy = sy ? -1 : 1;
            p.line(cx, cy, cx + 4 * dx, cy, INK);
            p.line(cx, cy, cx, cy + 4 * dy, INK);
            p.line(cx + 2 * dx, cy + 2 * dy, 8 - (sx ? 0 : 1), 8 - (sy ? 0 : 1), ARROW);
            p.arrowHead(cx + 2 * dx, cy + 2 * dy, 8, 8, 3, ARROW);
        }
}

// A key on a faint curve, with its incoming and/or outgoing tangent handle.
void drawTangents(kgiPicture& p, bool in, bool out) {
    graph(p, 1, 14, [](double x) { return 8.0 - 5.0 * std::sin((x - 8.0) / 7.0 * 1.5708); }, FAINT);
    if (in) {
        p.line(4, 12, 8, 8, HANDLE);
        p.fillCircle(4, 12, 1, HANDLE);
    }
    if (out) {
        p.line(8, 8, 12, 4, HANDLE);
        p.fillCircle(12, 4, 1, HANDLE);
    }
    keyMark(p, 8, 8);
}
void drawTangentIn(kgiPicture& p) { drawTangents(p, true, false); }
void drawTangentOut(kgiPicture& p) { drawTangents(p, false, true); }
void drawTangentBoth(kgiPicture& p) { drawTangents(p, true, true); }

} // namespace

std::vector<kgiPictureDef> kgiPictures::curveEditor() {
    return {
        {"icons/curve/tree.bmp", 16, 16, WHITE, drawJoint},
        {"icons/curve/curver.bmp", 16, 16, WHITE, drawChannelX},
        {"icons/curve/curveg.bmp", 16, 16, WHITE, drawChannelY},
        {"icons/curve/curveb.bmp", 16, 16, WHITE, drawChannelZ},
        {"icons/curve/pos.bmp", 16, 16, WHITE, drawPosition},
        {"icons/curve/rot.bmp", 16, 16, WHITE, drawRotation},
        {"icons/curve/def.bmp", 16, 16, WHITE, drawDefault},
        {"icons/curve/fast.bmp", 16, 16, WHITE, drawFast},
        {"icons/curve/slow.bmp", 16, 16, WHITE, drawSlow},
        {"icons/curve/lin.bmp", 16, 16, WHITE, drawLinear},
        {"icons/curve/fitx.bmp", 16, 16, WHITE, drawFitX},
        {"icons/curve/fity.bmp", 16, 16, WHITE, drawFitY},
        {"icons/curve/fitxy.bmp", 16, 16, WHITE, drawFitXY},
        {"icons/curve/tin.bmp", 16, 16, WHITE, drawTangentIn},
        {"icons/curve/tout.bmp", 16, 16, WHITE, drawTangentOut},
        {"icons/curve/tinout.bmp", 16, 16, WHITE, drawTangentBoth},
    };
}
