#pragma once
// Media files made by the tests themselves, in a folder of their own that
// is removed at the end, and the sinks that let tracks play without a
// sound card or a window.
#include "kgiMediaPipeline.h"

#include <string>

namespace mediatest {

// Plays on fakesinks that keep real time, so positions and the end of a
// file behave as on a real output.
kgi::kgiMediaPipeline::Sinks fakeSinks();
// The same for tracks made by CreateMediaTrack (sets the sink variables).
void useFakeSinksForFactory();

// A scratch folder, made on first use and removed at exit; ends in '/'.
const std::string& scratchDir();

// Writes a mono 16-bit PCM WAV of ms milliseconds at 8000 Hz (a quiet
// tone); returns the path.
std::string writeWav(const std::string& name, int ms);
// Writes bytes as they are.
std::string writeBytes(const std::string& name, const std::string& bytes);
// Reads a whole file.
std::string readBytes(const std::string& path);

// A 1 s Ogg movie of 64 x 48 pictures at 30 frames per second, with a
// tone when withSound; empty when the encoders are missing (under ./test
// that also fails the calling test, with the reason).
std::string makeMovie(const std::string& name, bool withSound);

// Writes a movie of width x height pictures at 25 a second through
// `encode`, a GStreamer description from raw pictures to the container
// (e.g. "jpegenc ! avimux"): pure red for the first second, pure green
// after it, `seconds` long. Empty when an element is missing or the
// encoding failed.
std::string makeClip(const std::string& name, const std::string& encode, int width, int height,
                     int seconds);

// The length of a movie's pictures as decoding the whole file finds it
// (from the start of the first to the end of the last), in seconds; 0
// when it cannot be decoded: the length a track should report.
double decodedSeconds(const std::string& path);

} // namespace mediatest
