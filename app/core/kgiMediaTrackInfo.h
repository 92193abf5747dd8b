#pragma once
// Where a media track lies on the time line and how world playback has
// started it: one record per track, kept by the media host and read and
// written by the world's playback and the time line's media bar.

// A media file's kind, by its extension.
enum kgiMediaType {
    MEDIA_NONE = 0,   // no known extension
    MEDIA_MOVIE = 1,
    MEDIA_SOUND = 2,
    MEDIA_IMAGE = 3,
};

// Frames are whole frames of the world; the track plays over
// [startFrame, endFrame).
struct kgiMediaTrackInfo {
    int startFrame = 0;
    int endFrame = 0;
    bool active = false;   // takes part in world playback
    bool playing = false;  // started by playback and not stopped since
    int lastFrame = 0;     // frame of the last playback step that saw it playing
    int offsetMs = 0;      // media position at startFrame
    float durationMs = 0.0f;  // the media's length when it was added
    kgiMediaType mediaType = MEDIA_NONE;
};
