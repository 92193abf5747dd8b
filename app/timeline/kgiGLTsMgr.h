#pragma once
// The time line's widget manager: a widget that makes the others, stacks
// them in rows, hands them drawing and mouse events in a fixed order, and
// keeps their views of the time axis in step. Rows, top to bottom, inside a
// margin of 5 pixels (row height r = 20):
//   scroller (r/2), overview line (2r), a 3-pixel gap, frame buttons,
//   playback bar (r) and the lower frame line (2r).
// One frame window is shared: the lower line's first = the playback bar's
// first = the scroller's value (its thumb, as long as the lower line's
// window, marks that window on the overview); the overview's first = the
// scroller's first.
//
// Capture: the widget that takes a press gets the following motions and
// the release of the button that pressed; while it holds the capture,
// other presses and releases are ignored, so a drag always sees its own
// release.
#include "kgiGLWidget.h"

class kgiGLFrameButtons;
class kgiGLFrameline;
class kgiGLMediaPlaybackBar;
class kgiGLPlaybackBar;
class kgiGLScroller;

// Makes the manager's children. The manager sets their sizes, colours and
// scales itself; tests derive from it to put widgets of their own in the
// rows.
class kgiGLTsWidgetMaker {
public:
    virtual ~kgiGLTsWidgetMaker() = default;
    virtual kgiGLScroller* makeScroller(int x, int y, int w, int h, kgiTimelineHost* host);
    virtual kgiGLFrameline* makeFrameline(int x, int y, int w, int h, kgiTimelineHost* host);
    virtual kgiGLFrameButtons* makeFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host);
    virtual kgiGLPlaybackBar* makePlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host);
    virtual kgiGLMediaPlaybackBar* makeMediaBar(int x, int y, int w, int h, kgiTimelineHost* host);
};

class kgiGLTsMgr : public kgiGLWidget {
public:
    static constexpr int MARGIN = 5;
    static constexpr int ROW_HEIGHT = 20;
    static constexpr int PIXELS_PER_FRAME = 8;

    // The rows for a canvas of w x h at (x, y); fps is the world's frame
    // rate truncated. host null: the application's; maker null: the real
    // widgets (a maker must outlive the manager).
    kgiGLTsMgr(int x, int y, int w, int h, kgiTimelineHost* host = nullptr, kgiGLTsWidgetMaker* maker = nullptr);
    ~kgiGLTsMgr() override;

    // The manager stays at its origin.
    void setPosition(int px, int py) override;
    // Every row takes the inner width (w - 2 * margin); positions stay.
    void setSize(int w, int h) override;
    // Own rectangle, then frame buttons, playback bar, lower line, scroller,
    // overview, media bar: later ones paint over earlier ones.
    void draw() override;
    // Children re-read the world, then the frame buttons move over the play
    // range.
    void update() override;
    // A press goes to the first child that takes it, in the order playback
    // bar, frame buttons, lower line, media bar, scroller, overview; in a
    // lesson only the first three are asked (the rest plays the not-good
    // sound) and the playback bar is not captured. A release goes to the
    // captured widget only. Answers true when a press was taken.
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    // Hover: every child; during a capture: the captured one, then the
    // others follow it.
    void onMotion(int px, int py) override;

    // A frame line had a right press in its time area: the canvas opens its
    // pop-up.
    bool isKeyMenuPending() const;
    // Pixels per frame of the lower line and the playback bar, cycling
    // 8, 4, 2, 8.
    void zoom();
    // The overview's window by a scroller's width forward or back (not
    // before 0), to 0, or so that the world's end frame sits in its middle.
    void pageForward();
    void pageBack();
    void goToStart();
    void goToEnd();
    // A bar for media track `track`'s placement below the rows; none when
    // the track has no placement. Replaces a bar that exists.
    void addMediaBar(int track);
    void removeMediaBar();
    // A new overview line below the rows (replacing one that exists); and
    // the scroller and overview taken away.
    void rebuildOverview();
    void removeOverview();

    kgiGLWidget* getCaptured() const { return captured; }
    int getPixelsPerFrame() const { return pixelsPerFrame; }
    kgiGLScroller* getScroller() const { return scroller; }
    kgiGLFrameline* getOverviewLine() const { return overviewLine; }
    kgiGLFrameButtons* getFrameButtons() const { return frameButtons; }
    kgiGLPlaybackBar* getPlaybackBar() const { return playbackBar; }
    kgiGLFrameline* getFrameLine() const { return frameLine; }
    kgiGLMediaPlaybackBar* getMediaBar() const { return mediaBar; }
    int getCursorY() const { return cursorY; }

private:
    // The settings of the overview row.
    void setUpOverview(kgiGLFrameline* line);
    // The others brought in step with the captured widget.
    void followCaptured();
    void followScroller();
    // The overview's window starts at the scroller's first.
    void overviewFollowsScroller();
    // The frame buttons over the middle of the play range.
    void placeFrameButtons();
    void capture(kgiGLWidget* w, int button);

    kgiGLTsWidgetMaker* maker;
    int fps;
    int cursorX;
    int cursorY;
    int innerWidth;
    kgiGLFrameButtons* frameButtons = nullptr;
    kgiGLPlaybackBar* playbackBar = nullptr;
    kgiGLScroller* scroller = nullptr;
    kgiGLFrameline* frameLine = nullptr;
    kgiGLFrameline* overviewLine = nullptr;
    kgiGLMediaPlaybackBar* mediaBar = nullptr;
    int margin = MARGIN;
    int rowHeight = ROW_HEIGHT;
    int pixelsPerFrame = PIXELS_PER_FRAME;
    kgiGLWidget* captured = nullptr;
    int capturedButton = -1;
};
