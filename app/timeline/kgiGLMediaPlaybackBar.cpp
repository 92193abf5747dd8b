// The media track's playback bar.
#include "kgiGLMediaPlaybackBar.h"

#include "kgiWorld.h"

namespace {

// The track's placement record, or null when there is no such track.
kgiMediaTrackInfo* placementOf(int track) {
    kgiMediaTracks* media = kgiWorld::instance()->getMediaTracks();
    if (!media || track < 0 || track >= media->getTrackCount()) return nullptr;
    return media->getTrackInfo(track);
}

} // namespace

kgiGLMediaPlaybackBar::kgiGLMediaPlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLPlaybackBar(x, y, w, h, host) {}

void kgiGLMediaPlaybackBar::update() {
    const kgiMediaTrackInfo* info = placementOf(track);
    if (!info) return;
    setValue(info->startFrame);
    length = info->endFrame - info->startFrame + 1;
}

void kgiGLMediaPlaybackBar::storeRange() {
    const kgiMediaTrackInfo* info = placementOf(track);
    if (!info) return;
    kgiMediaTrackInfo placed = *info;
    placed.startFrame = value;
    placed.endFrame = value + length - 1;
    kgiWorld::instance()->getMediaTracks()->setTrackInfo(track, &placed);
}
