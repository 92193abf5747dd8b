#pragma once
// Writes a movie from pictures drawn one by one and a mono sound: motion
// JPEG pictures and 16-bit PCM sound in an AVI file, through GStreamer.
//
// Motion JPEG in AVI is the plainest movie form a player reads: every
// picture stands alone (so any picture can be shown at once when the time
// line is dragged) and the sound is stored as it is.
#include "kgiPicture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct kgiMovieFormat {
    int width = 320;
    int height = 240;
    int framesPerSecond = 15;
    int frames = 0;         // pictures in the movie; its length is frames / framesPerSecond
    int sampleRate = 22050; // of the sound, mono
    int jpegQuality = 85;   // 0 to 100
};

// Encodes `format.frames` pictures, each drawn by `draw` (frame number,
// a picture of the format's size filled with black), and `sound` (mono
// samples at the format's rate; its length should match the pictures') to
// `path`. The file is written beside `path` and renamed over it only when
// the encoding has finished, so a failure leaves any previous movie as it
// was. Returns an empty string on success, else what failed.
std::string kgiEncodeMovie(const std::string& path, const kgiMovieFormat& format,
                           const std::function<void(int frame, kgiPicture& picture)>& draw,
                           const std::vector<std::int16_t>& sound);
