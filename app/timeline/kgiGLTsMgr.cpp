// The time line's widget manager.
#include "kgiGLTsMgr.h"

#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLMediaPlaybackBar.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLScroller.h"
#include "kgiTimelineHost.h"
#include "kgiWorld.h"

#include <cmath>

namespace {

constexpr float WHITE[3] = {1.0f, 1.0f, 1.0f};
// The play range's green, in the overview and the playback bar.
constexpr float RANGE_GREEN[3] = {132.0f / 255.0f, 199.0f / 255.0f, 44.0f / 255.0f};
constexpr float THUMB_YELLOW[3] = {1.0f, 221.0f / 255.0f, 0.0f};
constexpr float MEDIA_BLUE[3] = {25.0f / 255.0f, 25.0f / 255.0f, 112.0f / 255.0f};
constexpr float BAND_GREY = 0.86f;

// A world value in frames as an int: NaN as 0, far ends clamped.
int wholeFrames(float v) {
    if (std::isnan(v)) return 0;
    if (v > 1.0e9f) return 1000000000;
    if (v < -1.0e9f) return -1000000000;
    return static_cast<int>(v);
}

kgiGLTsWidgetMaker& defaultMaker() {
    static kgiGLTsWidgetMaker maker;
    return maker;
}

} // namespace

kgiGLScroller* kgiGLTsWidgetMaker::makeScroller(int x, int y, int w, int h, kgiTimelineHost* host) {
    return new kgiGLScroller(x, y, w, h, host);
}

kgiGLFrameline* kgiGLTsWidgetMaker::makeFrameline(int x, int y, int w, int h, kgiTimelineHost* host) {
    return new kgiGLFrameline(x, y, w, h, host);
}

kgiGLFrameButtons* kgiGLTsWidgetMaker::makeFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host) {
    return new kgiGLFrameButtons(x, y, w, h, host);
}

kgiGLPlaybackBar* kgiGLTsWidgetMaker::makePlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host) {
    return new kgiGLPlaybackBar(x, y, w, h, host);
}

kgiGLMediaPlaybackBar* kgiGLTsWidgetMaker::makeMediaBar(int x, int y, int w, int h, kgiTimelineHost* host) {
    return new kgiGLMediaPlaybackBar(x, y, w, h, host);
}

kgiGLTsMgr::kgiGLTsMgr(int x, int y, int w, int h, kgiTimelineHost* host, kgiGLTsWidgetMaker* m)
    : kgiGLWidget(x, y, w, h, host), maker(m ? m : &defaultMaker()),
      fps(wholeFrames(kgiWorld::instance()->getFps())) {
    const int r = rowHeight;
    kgiTimelineHost* h0 = getHost();
    cursorX = x + margin;
    cursorY = y + margin;
    innerWidth = w - 2 * margin;

    scroller = maker->makeScroller(cursorX, cursorY, innerWidth, r / 2, h0);
    scroller->setPixelsPerUnit(1);
    scroller->setColor(WHITE[0], WHITE[1], WHITE[2]);
    scroller->setThumbColor(THUMB_YELLOW[0], THUMB_YELLOW[1], THUMB_YELLOW[2]);
    cursorY += r / 2;

    overviewLine = maker->makeFrameline(cursorX, cursorY, innerWidth, 2 * r, h0);
    setUpOverview(overviewLine);
    // The overview and the rows below it are 3 pixels apart.
    cursorY += margin + 2 * r - 2;

    frameButtons = maker->makeFrameButtons(cursorX, cursorY, innerWidth, r * 14 / 20, h0);
    frameButtons->setColor(WHITE[0], WHITE[1], WHITE[2]);
    // The playback bar overlaps the buttons' lower edge.
    cursorY += r * 16 / 20;

    playbackBar = maker->makePlaybackBar(cursorX, cursorY, innerWidth, r, h0);
    playbackBar->setPixelsPerUnit(pixelsPerFrame);
    playbackBar->setValue(0);
    playbackBar->setLength(10);
    playbackBar->setColor(WHITE[0], WHITE[1], WHITE[2]);
    playbackBar->setThumbColor(RANGE_GREEN[0], RANGE_GREEN[1], RANGE_GREEN[2]);
    playbackBar->setFreeDrag(true);
    cursorY += r;

    frameLine = maker->makeFrameline(cursorX, cursorY, innerWidth, 2 * r, h0);
    frameLine->setEditable(true);
    frameLine->setKeyRowHeight(r);
    frameLine->setPixelsPerFrame(pixelsPerFrame);
    frameLine->setBandFrames(1);
    frameLine->setLabelFrames(fps);
    frameLine->setGridFrames(fps);
    frameLine->setBandColor(BAND_GREY, BAND_GREY, BAND_GREY);
    frameLine->setColor(WHITE[0], WHITE[1], WHITE[2]);
    frameLine->setKeyColor(1.0f, 0.0f, 0.0f);
    frameLine->enableTrash(r + 1);
    cursorY += margin + 2 * r;

    scroller->setValue(frameLine->getFirst());
    scroller->setLength(frameLine->getVisibleFrames());
}

kgiGLTsMgr::~kgiGLTsMgr() {
    delete playbackBar;
    delete frameLine;
    delete overviewLine;
    delete scroller;
    delete mediaBar;
    delete frameButtons;
}

void kgiGLTsMgr::setUpOverview(kgiGLFrameline* line) {
    line->setShowRange(true);
    line->setRangeColor(RANGE_GREEN[0], RANGE_GREEN[1], RANGE_GREEN[2]);
    line->setKeyRowHeight(rowHeight);
    line->setPixelsPerFrame(1);
    line->setBandFrames(1);
    line->setLabelFrames(5 * fps);
    line->setGridFrames(fps);
    line->setBandColor(BAND_GREY, BAND_GREY, BAND_GREY);
    line->setColor(WHITE[0], WHITE[1], WHITE[2]);
    line->setKeyColor(1.0f, 0.0f, 0.0f);
    line->setEditable(false);
}

void kgiGLTsMgr::setPosition(int, int) {}

void kgiGLTsMgr::setSize(int w, int h) {
    kgiGLWidget::setSize(w, h);
    const int r = rowHeight;
    const int iw = w - 2 * margin;
    innerWidth = iw;
    if (frameButtons) frameButtons->setSize(iw, r);
    if (playbackBar) playbackBar->setSize(iw, r);
    if (frameLine) frameLine->setSize(iw, 2 * r);
    if (scroller) {
        scroller->setSize(iw, r / 2);
        if (frameLine) scroller->setLength(frameLine->getVisibleFrames());
    }
    if (overviewLine) overviewLine->setSize(iw, 2 * r);
    if (mediaBar) mediaBar->setSize(iw, r - 6);
}

void kgiGLTsMgr::draw() {
    kgiGLWidget::draw();
    if (frameButtons) frameButtons->draw();
    if (playbackBar) playbackBar->draw();
    if (frameLine) frameLine->draw();
    if (scroller) scroller->draw();
    if (overviewLine) overviewLine->draw();
    if (mediaBar) mediaBar->draw();
}

void kgiGLTsMgr::update() {
    if (frameLine) frameLine->update();
    if (overviewLine) overviewLine->update();
    if (playbackBar) playbackBar->update();
    if (mediaBar) mediaBar->update();
    if (scroller) scroller->update();
    placeFrameButtons();
}

void kgiGLTsMgr::placeFrameButtons() {
    if (frameButtons && playbackBar)
        frameButtons->placeGroup(playbackBar->getThumbCenter() - frameButtons->getHalfWidth());
}

void kgiGLTsMgr::capture(kgiGLWidget* w, int button) {
    captured = w;
    capturedButton = w ? button : -1;
}

bool kgiGLTsMgr::onMouse(int button, int action, int modifier, int px, int py) {
    if (action == ACTION_RELEASE) {
        // Only the button that began the capture ends it; the widget must
        // see its own release, not one of a button pressed meanwhile.
        if (captured && button == capturedButton) {
            kgiGLWidget* w = captured;
            capture(nullptr, -1);
            w->onMouse(button, action, modifier, px, py);
        }
        return false;
    }
    if (action != ACTION_PRESS) return false;
    // A second press during a capture would take the capture from the
    // widget before its release.
    if (captured) return false;

    const bool lesson = getHost()->isLessonMode();
    if (playbackBar && playbackBar->onMouse(button, action, modifier, px, py)) {
        // In a lesson the bar answers the press but is not dragged.
        capture(lesson ? nullptr : playbackBar, button);
        return true;
    }
    if (frameButtons && frameButtons->onMouse(button, action, modifier, px, py)) {
        capture(nullptr, -1);  // a button acts on the press
        return true;
    }
    if (frameLine && frameLine->onMouse(button, action, modifier, px, py)) {
        capture(frameLine, button);
        return true;
    }
    if (lesson) {
        getHost()->playAnswerSound(false);
        return false;
    }
    if (mediaBar && mediaBar->onMouse(button, action, modifier, px, py)) {
        capture(mediaBar, button);
        return true;
    }
    if (scroller && scroller->onMouse(button, action, modifier, px, py)) {
        capture(scroller, button);
        // A middle click jumps the thumb at once: the views follow now.
        if (button == BUTTON_MIDDLE) {
            followScroller();
            placeFrameButtons();
        }
        return true;
    }
    if (overviewLine && overviewLine->onMouse(button, action, modifier, px, py)) {
        capture(overviewLine, button);
        return true;
    }
    kgiGLWidget::onMouse(button, action, modifier, px, py);
    capture(nullptr, -1);
    return false;
}

void kgiGLTsMgr::onMotion(int px, int py) {
    if (!captured) {
        if (frameButtons) frameButtons->onMotion(px, py);
        if (playbackBar) playbackBar->onMotion(px, py);
        if (mediaBar) mediaBar->onMotion(px, py);
        if (frameLine) frameLine->onMotion(px, py);
        if (scroller) scroller->onMotion(px, py);
        if (overviewLine) overviewLine->onMotion(px, py);
        return;
    }
    captured->onMotion(px, py);
    followCaptured();
    placeFrameButtons();
}

void kgiGLTsMgr::followCaptured() {
    if (captured == playbackBar) {
        const int f = playbackBar->getFirst();
        if (frameLine) frameLine->moveWindowTo(f);
        if (scroller) scroller->setValue(f);
    } else if (captured == frameLine) {
        const int f = frameLine->getFirst();
        if (scroller) scroller->setValue(f);
        if (playbackBar) playbackBar->setFirst(f);
        if (mediaBar) mediaBar->setFirst(f);
    } else if (captured == scroller) {
        followScroller();
    } else if (captured == overviewLine) {
        if (scroller) {
            scroller->setFirst(overviewLine->getFirst());
            if (frameLine) frameLine->moveWindowTo(scroller->getValue());
        }
    }
}

void kgiGLTsMgr::followScroller() {
    if (!scroller) return;
    const int v = scroller->getValue();
    if (frameLine) frameLine->moveWindowTo(v);
    if (playbackBar) playbackBar->setFirst(v);
    overviewFollowsScroller();
    if (mediaBar) mediaBar->setFirst(v);
}

void kgiGLTsMgr::overviewFollowsScroller() {
    if (scroller && overviewLine) overviewLine->moveWindowTo(scroller->getFirst());
}

bool kgiGLTsMgr::isKeyMenuPending() const {
    return (frameLine && frameLine->getDragMode() == kgiGLFrameline::DRAG_MENU) ||
           (overviewLine && overviewLine->getDragMode() == kgiGLFrameline::DRAG_MENU);
}

void kgiGLTsMgr::zoom() {
    pixelsPerFrame = pixelsPerFrame <= 2 ? PIXELS_PER_FRAME : pixelsPerFrame / 2;
    if (frameLine) frameLine->setPixelsPerFrame(pixelsPerFrame);
    if (playbackBar) playbackBar->setPixelsPerUnit(pixelsPerFrame);
    if (scroller && frameLine) {
        scroller->setValue(frameLine->getFirst());
        scroller->setLength(frameLine->getVisibleFrames());
    }
    if (mediaBar) mediaBar->setPixelsPerUnit(pixelsPerFrame);
    update();
}

void kgiGLTsMgr::pageForward() {
    if (!scroller) return;
    scroller->setFirst(scroller->getFirst() + scroller->getVisible());
    overviewFollowsScroller();
}

void kgiGLTsMgr::pageBack() {
    if (!scroller) return;
    const int f = scroller->getFirst() - scroller->getVisible();
    scroller->setFirst(f < 0 ? 0 : f);
    overviewFollowsScroller();
}

void kgiGLTsMgr::goToStart() {
    if (!scroller) return;
    scroller->setFirst(0);
    overviewFollowsScroller();
}

void kgiGLTsMgr::goToEnd() {
    if (!scroller) return;
    // The end frame in the middle of the overview.
    const int f = wholeFrames(kgiWorld::instance()->getEndFrame()) - scroller->getVisible() / 2;
    scroller->setFirst(f < 0 ? 0 : f);
    overviewFollowsScroller();
}

void kgiGLTsMgr::addMediaBar(int track) {
    kgiMediaTracks* media = kgiWorld::instance()->getMediaTracks();
    const kgiMediaTrackInfo* info = media && track >= 0 && track < media->getTrackCount() ? media->getTrackInfo(track) : nullptr;
    if (!info) return;
    removeMediaBar();
    mediaBar = maker->makeMediaBar(cursorX, cursorY, innerWidth, rowHeight * 2 / 3, getHost());
    mediaBar->setTrack(track);
    mediaBar->setPixelsPerUnit(pixelsPerFrame);
    mediaBar->setValue(info->startFrame);
    mediaBar->setLength(info->endFrame - info->startFrame + 1);
    mediaBar->setColor(WHITE[0], WHITE[1], WHITE[2]);
    mediaBar->setThumbColor(MEDIA_BLUE[0], MEDIA_BLUE[1], MEDIA_BLUE[2]);
    mediaBar->setFreeDrag(false);
}

void kgiGLTsMgr::removeMediaBar() {
    if (captured && captured == mediaBar) capture(nullptr, -1);
    delete mediaBar;
    mediaBar = nullptr;
}

void kgiGLTsMgr::rebuildOverview() {
    if (captured && captured == overviewLine) capture(nullptr, -1);
    delete overviewLine;
    overviewLine = maker->makeFrameline(cursorX, cursorY, innerWidth, 2 * rowHeight, getHost());
    setUpOverview(overviewLine);
}

void kgiGLTsMgr::removeOverview() {
    if (captured && (captured == scroller || captured == overviewLine)) capture(nullptr, -1);
    delete scroller;
    scroller = nullptr;
    delete overviewLine;
    overviewLine = nullptr;
}
