#pragma once
// The playback bar of a media track: its range is the track's placement on
// the time line (first and last frame) instead of the world's play range.
// It drags as the playback bar does and writes the placement of its own
// track after every motion that changed the range.
#include "kgiGLPlaybackBar.h"

class kgiGLMediaPlaybackBar : public kgiGLPlaybackBar {
public:
    kgiGLMediaPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // The media track whose placement this bar shows (0 at construction).
    void setTrack(int index) { track = index; }
    int getTrack() const { return track; }

    // The range from the track's placement (start frame, not below 0, to
    // end frame); unchanged when the track has no placement.
    void update() override;

protected:
    // Into the track's placement through the world's media tracks; nothing
    // when the track has none.
    void storeRange() override;

    int track = 0;
};
