#pragma once
// The playback bar: a scroller whose thumb is the world's play range
// (value = its first frame, length = its frame count) over the lower frame
// line's window (first, pixelsPerUnit = the line's pixels per frame); and
// its media variant, whose range is a media track's placement.
#include "kgiGLScroller.h"

class kgiGLPlaybackBar : public kgiGLScroller {
public:
    kgiGLPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // The range from the world: value = the start frame, length = end -
    // start + 1 (frames beyond what an int holds are clamped).
    void update() override;
    // Column of the range's middle, over which the frame buttons sit.
    virtual int getThumbCenter() const { return thumbX + (length * pixelsPerUnit) / 2; }

    bool isGrabbingStart() const { return grabStart; }
    bool isGrabbingEnd() const { return grabEnd; }

protected:
    bool grabStart = false;
    bool grabEnd = false;
};

class kgiGLMediaPlaybackBar : public kgiGLPlaybackBar {
public:
    kgiGLMediaPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);
};
