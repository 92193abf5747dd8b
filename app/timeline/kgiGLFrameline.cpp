// The time line's frame lines: key drags, scrubbing, panning and drawing.
#include "kgiGLFrameline.h"

#include "kgiCharacter.h"
#include "kgiGLTextPrinter.h"
#include "kgiKeyUndo.h"
#include "kgiTimelineHost.h"
#include "kgiWorld.h"

#include "kutPath.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr float BLACK[3] = {0.0f, 0.0f, 0.0f};
constexpr float WHITE[3] = {1.0f, 1.0f, 1.0f};
constexpr float BLUE[3] = {0.0f, 0.0f, 1.0f};
constexpr float ORANGE[3] = {1.0f, 0.5f, 0.0f};

std::string fontPath(const std::string& base) {
    const std::string folder = base.empty() ? std::string("font") : kutAppendPath(base, "font");
    return kutAppendPath(folder, "arial.ttf");
}

// A world value in frames as an int, far ends and NaN kept in range.
int wholeFrame(float v) {
    if (!(v > -1.0e9f)) return -1000000000;
    if (v > 1.0e9f) return 1000000000;
    return static_cast<int>(v);
}

// The first multiple of n (above 0) at or after f.
int firstMultipleFrom(int f, int n) {
    const int r = ((f % n) + n) % n;
    return r == 0 ? f : f + (n - r);
}

kgiCharacter* currentCharacter() {
    return kgiWorld::instance()->getCurrentCharacter();
}

} // namespace

kgiGLFrameline::kgiGLFrameline(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLWidget(x, y, w, h, host),
      printer(std::make_unique<kgiGLTextPrinter>(fontPath(getHost()->baseDir()), kgiGLTextPrinter::BITMAP)) {
    printer->setFaceSize(static_cast<unsigned>(h > 0 ? static_cast<int>(h * 0.25) : 0));
}

kgiGLFrameline::~kgiGLFrameline() = default;

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

const std::vector<kgiCollisionCheck::HitRecord>& kgiGLFrameline::collisionHits() const {
    return kgiCollisionCheck::instance()->getHits();
}

// --- mouse ---

int kgiGLFrameline::keyAtFrame(const kgiCharacter* c, int f) {
    const std::vector<float>& times = c->getKeyTimes();
    const auto it = std::lower_bound(times.begin(), times.end(), static_cast<float>(f));
    if (it == times.end() || *it != static_cast<float>(f)) return -1;
    return static_cast<int>(it - times.begin());
}

bool kgiGLFrameline::onMouse(int button, int action, int modifier, int px, int py) {
    kgiCharacter* c = currentCharacter();
    const bool lesson = getHost()->isLessonMode();
    if (action == ACTION_PRESS) {
        if (lesson) std::fputs("mouseClickTTR \n", stderr);
        if (!c) return false;
        if (!isInside(px, py)) {
            dragMode = DRAG_NONE;
            return false;
        }
        pressFrame = frameAt(px);
        if (lesson)
            pressLesson(c, button, modifier, py);
        else
            pressNormal(c, button, modifier, py);
        // The press is stored in a lesson too: a motion tells a drag from a
        // hover by it.
        kgiGLWidget::onMouse(button, action, modifier, px, py);
        return true;
    }
    if (c) {
        if (lesson)
            releaseLesson(c);
        else
            release(c);
    }
    overTrash = false;
    dragMode = DRAG_NONE;
    pressFrame = -1;
    kgiGLWidget::onMouse(button, action, modifier, px, py);
    return false;
}

bool kgiGLFrameline::pressNormal(kgiCharacter* c, int button, int modifier, int py) {
    if (py > y + keyRowHeight) {
        // The time area.
        if (button == BUTTON_RIGHT) {
            dragMode = DRAG_MENU;
        } else {
            kgiWorld::instance()->setCurrentTime(static_cast<float>(pressFrame));
            dragMode = DRAG_SCRUB;
        }
        return true;
    }
    const int i = editable ? keyAtFrame(c, pressFrame) : -1;
    int mode = DRAG_NONE;
    if (i >= 0) {
        if (button == BUTTON_LEFT)
            mode = modifier == MOD_CONTROL ? DRAG_COPY : DRAG_MOVE;
        else if (button == BUTTON_RIGHT)
            mode = modifier == MOD_SHIFT ? DRAG_PULL : DRAG_PUSH;
    }
    if (mode == DRAG_NONE || !drag.start(c->getKeyTimes(), i)) {
        startPan();
        return true;
    }
    dragMode = mode;
    overTrash = false;
    return true;
}

bool kgiGLFrameline::pressLesson(kgiCharacter* c, int button, int modifier, int py) {
    kgiTimelineHost* host = getHost();
    if (py > y + keyRowHeight) {
        // Only the time, and only where the lesson wants it; no scrub, no
        // pop-up.
        if (button != BUTTON_RIGHT && host->checkLessonKeyEdit(pressFrame, -2, button))
            kgiWorld::instance()->setCurrentTime(static_cast<float>(pressFrame));
        return true;
    }
    const int i = editable ? keyAtFrame(c, pressFrame) : -1;
    if (i < 0) return true;
    int mode = DRAG_NONE;
    if (button == BUTTON_LEFT && modifier != MOD_CONTROL) {
        if (host->checkLessonKeyEdit(-2, i, 0)) mode = DRAG_MOVE;
    } else if (button == BUTTON_RIGHT && modifier != MOD_SHIFT) {
        if (host->checkLessonKeyEdit(-2, i, 2)) mode = DRAG_PUSH;
    }
    if (mode != DRAG_NONE && drag.start(c->getKeyTimes(), i)) {
        dragMode = mode;
        overTrash = false;
    }
    return true;
}

void kgiGLFrameline::startPan() {
    // The pressed cell's column: the anchor of the last hover motion may be
    // stale (no hover came before the press), and the first motion would
    // jump by the difference.
    panAnchor = columnOf(pressFrame);
    dragMode = DRAG_PAN;
}

bool kgiGLFrameline::recordListEdit(kgiCharacter* c) {
    if (drag.toFrame == drag.fromFrame || !c->getRoot()) {
        // Nothing to record; the list may still hold a live edit that the
        // nodes never got.
        c->updateKeysInfo();
        return false;
    }
    const float from = static_cast<float>(drag.fromFrame);
    const float to = static_cast<float>(drag.toFrame);
    std::unique_ptr<kutUndoEntry> entry;
    if (dragMode == DRAG_PUSH)
        entry = std::make_unique<kgiPushKeysUndo>(c, drag.keyIndex, from, to);
    else if (dragMode == DRAG_PULL)
        entry = std::make_unique<kgiPullKeysUndo>(c, drag.keyIndex, from, to);
    else
        entry = std::make_unique<kgiMoveKeyUndo>(c, drag.keyIndex, from, to);
    c->applyKeysInfo();
    c->addKeyUndo(entry.release());
    return true;
}

void kgiGLFrameline::release(kgiCharacter* c) {
    if (dragMode == DRAG_MOVE || dragMode == DRAG_PULL || dragMode == DRAG_PUSH) {
        if (overTrash) {
            // Built before the delete: its snapshot must see the key.
            auto entry = std::make_unique<kgiRemKeyUndo>(c, static_cast<float>(drag.fromFrame));
            if (c->deleteKey(drag.fromFrame))
                c->addKeyUndo(entry.release());
            else
                c->updateKeysInfo();  // the live edit goes
        } else {
            recordListEdit(c);
        }
    } else if (dragMode == DRAG_COPY && drag.toFrame != drag.fromFrame) {
        auto entry = std::make_unique<kgiDupKeyUndo>(c, static_cast<float>(drag.fromFrame),
                                                     static_cast<float>(drag.toFrame));
        if (c->duplicateKey(drag.fromFrame, drag.toFrame)) c->addKeyUndo(entry.release());
    }
}

void kgiGLFrameline::releaseLesson(kgiCharacter* c) {
    if (dragMode != DRAG_MOVE && dragMode != DRAG_PULL && dragMode != DRAG_PUSH) return;
    if (overTrash) {
        // A lesson deletes nothing; the key the drag moved in the list
        // goes back to where the nodes have it.
        c->updateKeysInfo();
        return;
    }
    if (recordListEdit(c)) getHost()->checkLessonKeyTime(dragMode != DRAG_PUSH);
}

void kgiGLFrameline::onMotion(int px, int py) {
    pointerFrame = -1;
    if (lastAction != ACTION_PRESS) {
        if (isInside(px, py)) {
            hoverFrame = py < y + keyRowHeight ? frameAt(px) : -1;
            return;
        }
    }
    const int f = frameAt(px);
    switch (dragMode) {
    case DRAG_SCRUB:
        hoverFrame = -1;
        scrub(f);
        break;
    case DRAG_COPY:
        hoverFrame = -1;
        drag.toFrame = std::clamp(f, 0, std::max(last, 0));
        break;
    case DRAG_PAN: {
        kgiPanWindow w{first, last, hoverFrame, panAnchor};
        kgiPanStep(w, px, pixelsPerFrame);
        first = w.first;
        last = w.last;
        hoverFrame = w.hoverFrame;
        panAnchor = w.anchor;
        break;
    }
    case DRAG_MOVE:
        hoverFrame = -1;
        if (trashEnabled) overTrash = py < y - trashOffset;
        pointerFrame = f;
        dragKey(f);
        break;
    case DRAG_PULL:
    case DRAG_PUSH:
        hoverFrame = -1;
        pointerFrame = f;
        dragKey(f);
        break;
    default:
        hoverFrame = -1;
        break;
    }
}

void kgiGLFrameline::scrub(int f) {
    kgiWorld* world = kgiWorld::instance();
    // Beyond either end the window scrolls one frame per motion.
    if (f < first) {
        if (first > 0) {
            --first;
            --last;
            world->setCurrentTime(static_cast<float>(first));
        }
    } else if (f > last) {
        ++first;
        ++last;
        world->setCurrentTime(static_cast<float>(last));
    } else {
        world->setCurrentTime(static_cast<float>(f));
    }
}

void kgiGLFrameline::dragKey(int f) {
    kgiCharacter* c = currentCharacter();
    if (!c) return;
    std::vector<float> times = c->getKeyTimes();
    bool edited = false;
    if (dragMode == DRAG_MOVE)
        edited = kgiMoveDrag(times, drag, f, last);
    else if (dragMode == DRAG_PUSH)
        edited = kgiPushDrag(times, drag, f);
    else
        edited = kgiPullDrag(times, drag, f);
    if (edited) c->editKeyTimes() = std::move(times);
}

// --- drawing ---

void kgiGLFrameline::cell(int f, int y1, int y2) const {
    const int c = columnOf(f);
    const int right = x + width;
    if (c >= right) return;
    rect(c, y1, std::min(c + pixelsPerFrame, right), y2);
}

void kgiGLFrameline::draw() {
    glLineWidth(1.0f);
    glDisable(GL_LINE_SMOOTH);
    const int right = x + width;
    const int bottom = y + height;
    const int keyBottom = y + keyRowHeight;

    if (dragMode == DRAG_MOVE && trashEnabled) drawTrash();

    useColor(color);
    beginQuads();
    rect(x, y, right, bottom);
    endShape();

    drawBands();

    if (hoverFrame != -1 && showsFrame(hoverFrame)) {
        useColor(BLACK[0], BLACK[1], BLACK[2]);
        beginQuads();
        cell(hoverFrame, y, keyBottom);
        endShape();
    }

    if (showRange) drawRange();

    const float t = kgiWorld::instance()->getCurrentTime();
    if (showsTime(t)) {
        useColor(ORANGE[0], ORANGE[1], ORANGE[2]);
        beginQuads();
        cell(wholeFrame(t), y, bottom);
        endShape();
    }

    drawKeys();
    drawHits();

    if (dragMode == DRAG_COPY) {
        useColor(BLUE[0], BLUE[1], BLUE[2]);
        beginQuads();
        cell(drag.toFrame, y, keyBottom);
        endShape();
    }

    drawGrid();
    if (dragMode == DRAG_MOVE || dragMode == DRAG_PULL || dragMode == DRAG_PUSH || dragMode == DRAG_COPY)
        drawDragOrigin();
    drawLabels();
}

void kgiGLFrameline::drawTrash() const {
    useColor(WHITE[0], WHITE[1], WHITE[2]);
    beginQuads();
    rect(x, y - 2 * trashOffset + 2, x + width, y - trashOffset);
    endShape();
    // The icon stands above the dragged key.
    const kutGLImg& icon = overTrash ? trashHotImage : trashImage;
    icon.draw(columnOf(drag.toFrame), y - trashOffset);
}

void kgiGLFrameline::drawBands() const {
    if (bandFrames <= 0) return;
    useColor(bandColor);
    beginQuads();
    // Even-numbered bands of bandFrames frames are grey; the window never
    // starts before frame 0, but a negative start would still alternate.
    for (int f = first; f <= last; ++f) {
        const int band = f >= 0 ? f / bandFrames : (f - bandFrames + 1) / bandFrames;
        if (band % 2 == 0) cell(f, y, y + keyRowHeight);
    }
    endShape();
}

void kgiGLFrameline::drawRange() const {
    const kgiWorld* world = kgiWorld::instance();
    const int right = x + width;
    const int x1 = std::max(columnOf(wholeFrame(world->getStartFrame())), x);
    const int x2 = std::max(std::min(columnOf(wholeFrame(world->getEndFrame())), right), x1);
    // The lower half of the time area.
    const int top = (y + keyRowHeight + y + height) / 2;
    useColor(rangeColor);
    beginQuads();
    rect(x1, top, x2, y + height);
    endShape();
}

void kgiGLFrameline::drawKeys() const {
    const kgiCharacter* c = currentCharacter();
    if (!c) return;
    const std::vector<float>& times = c->getKeyTimes();
    const int right = x + width;
    useColor(keyColor);
    beginQuads();
    // The list is ascending: start at the first visible key, stop at the
    // first one beyond the right end.
    for (auto it = std::lower_bound(times.begin(), times.end(), static_cast<float>(first)); it != times.end(); ++it) {
        const int f = wholeFrame(*it);
        if (columnOf(f) >= right) break;
        cell(f, y, y + keyRowHeight);
    }
    endShape();
}

void kgiGLFrameline::drawHits() const {
    const std::vector<kgiCollisionCheck::HitRecord>& hits = collisionHits();
    if (hits.empty()) return;
    const int right = x + width;
    const int top = y + 1;
    const int bottom = y + keyRowHeight / 2 - 1;
    useColor(BLUE[0], BLUE[1], BLUE[2]);
    beginQuads();
    // The hits are in the order the checks found them, not by time: every
    // one is looked at.
    for (const kgiCollisionCheck::HitRecord& h : hits) {
        if (!(h.time >= static_cast<float>(first))) continue;
        const int c = columnOf(wholeFrame(h.time));
        if (c >= right) continue;
        rect(c + 1, top, std::min(c + pixelsPerFrame, right) - 1, bottom);
    }
    endShape();
}

void kgiGLFrameline::drawGrid() const {
    const int right = x + width;
    const int keyBottom = y + keyRowHeight;
    // Lines one pixel wide as quads: a GL line on a pixel border may light
    // the pixel on either side of it, and the left edge's line would spill
    // into the margin.
    useColor(BLACK[0], BLACK[1], BLACK[2]);
    beginQuads();
    if (gridFrames > 0) {
        for (int f = firstMultipleFrom(first, gridFrames); columnOf(f) < right; f += gridFrames)
            rect(columnOf(f), y, columnOf(f) + 1, keyBottom);
    }
    rect(x, y, right, y + 1);
    rect(x, keyBottom, right, keyBottom + 1);
    endShape();
}

void kgiGLFrameline::drawDragOrigin() const {
    // The outline of the cell the key left, reaching up into the row above.
    const int left = columnOf(drag.fromFrame);
    const int r = left + pixelsPerFrame;
    const int top = y - (height / 2 - 1);
    const int bottom = y + height;
    useColor(keyColor);
    beginQuads();
    rect(left, top, r, top + 1);
    rect(left, bottom - 1, r, bottom);
    rect(left, top, left + 1, bottom);
    rect(r - 1, top, r, bottom);
    endShape();
}

void kgiGLFrameline::drawLabels() const {
    if (!printer->hasFont()) return;
    const double fps = kgiWorld::instance()->getFps();
    const auto seconds = [fps](int f) { return static_cast<double>(f) / fps; };
    const int right = x + width;
    const float middle = static_cast<float>((y + keyRowHeight + y + height) / 2);
    const float baseLine = static_cast<float>(y + height - 1);
    // A label at frame f's column, kept inside the line: moved left when it
    // would pass the right end, right when the frame lies before the window.
    const auto label = [&](int f, float row, const char* format) {
        const double s = seconds(f);
        const float w = printer->advance(format, s);
        const float px =
            std::max(static_cast<float>(x), std::min(static_cast<float>(columnOf(f)), static_cast<float>(right) - w));
        printer->print(px, row, format, s);
    };
    useColor(BLACK[0], BLACK[1], BLACK[2]);
    printer->begin();
    if (labelFrames > 0) {
        for (int f = firstMultipleFrom(first, labelFrames); f < last; f += labelFrames) {
            // The ruler's own labels only where they fit.
            if (static_cast<float>(columnOf(f)) + printer->advance("%.1f", seconds(f)) <= static_cast<float>(right))
                printer->print(static_cast<float>(columnOf(f)), middle, "%.1f", seconds(f));
        }
    }
    if (hoverFrame != -1 && showsFrame(hoverFrame)) label(hoverFrame, baseLine, "%.2f");
    if (pressFrame != -1) label(pressFrame, baseLine, "%.2f");
    if (pointerFrame != -1) label(pointerFrame, baseLine, "%.2f");
    if (dragMode == DRAG_COPY) label(drag.toFrame, baseLine, "%.1f");
    const float t = kgiWorld::instance()->getCurrentTime();
    if (showsTime(t)) label(wholeFrame(t), baseLine, "%.2f");
    printer->end();
}
