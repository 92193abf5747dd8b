#pragma once
// The playback bar: a scroller whose thumb is the world's play range
// (value = its first frame, length = its frame count) over the lower frame
// line's window (first, pixelsPerUnit = the line's pixels per frame).
//
// With the mouse (outside lessons): a left press on the range's first
// frame cell drags the start, on its last cell the end (an edge dragged
// past the other turns over and carries on as that edge), between them
// the whole range (freely, not before frame 0); a middle press draws a new
// range between the pressed frame and the pointer's. After every motion
// that changed the range, the range is stored (the world's, through
// storeRange); a middle release reads it back, so a middle click without
// motion leaves the range as it was. A double click asks the main window
// to reset the range from the keys.
#include "kgiGLScroller.h"

class kgiGLPlaybackBar : public kgiGLScroller {
public:
    kgiGLPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // The range from the world: value = the start frame, length = end -
    // start + 1 (frames beyond what an int holds are clamped).
    void update() override;
    // Handled presses answer true; in a lesson a press inside is handled
    // and does nothing (but a double click still asks for the refresh).
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    void onMotion(int px, int py) override;
    // The scroller's bar and range, then white triangles pointing out of
    // the range's end cells (from a length of 2), each only when it lies
    // wholly inside the bar.
    void draw() override;
    // As the scroller's, but the range's first column counts as on it;
    // then the first frame's cell grabs the start, the last frame's cell
    // the end, and the rest the whole range.
    bool hitThumb(int px, int py) override;
    // Column of the range's middle, over which the frame buttons sit.
    virtual int getThumbCenter() const { return thumbX + (length * pixelsPerUnit) / 2; }

    bool isGrabbingStart() const { return grabStart; }
    bool isGrabbingEnd() const { return grabEnd; }

protected:
    // Steps the range with the drag in progress; true when a drag applied.
    bool dragRange(int px, int py);
    // Where the range goes after a drag step: the world's start and end
    // frame, both at once.
    virtual void storeRange();

    bool grabStart = false;
    bool grabEnd = false;
};
