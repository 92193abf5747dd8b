#pragma once
// The movie of the media lesson: fifteen seconds of a short tune over a
// clear beat at 100 beats per minute, with pictures that pulse on every
// beat and a title card in the first second. The lesson's dance keys the
// robot on every beat from frame 0, so the first beat sounds and shows on
// the movie's first picture.
//
// Fifteen seconds is the length the media host gives every track it places
// on the time line. The pictures and the music are computed, so every
// build writes the same movie.
#include "kgiMovieEncoder.h"
#include "kgiPictureText.h"
#include "kgiSound.h"

#include <string>

namespace kgiDanceMovie {

// Below the data folder. The host types media by their extension, and the
// import dialog's first filter lists lower-case ".avi".
const char* const PATH = "DORUZAVO_1base/media/dance.avi";

const int SECONDS = 15;
const int BEATS_PER_MINUTE = 100;
const int FRAMES_PER_SECOND = 15;
// 0.6 s a beat is 9 pictures, so every beat starts on a picture of its own.
const int FRAMES_PER_BEAT = FRAMES_PER_SECOND * 60 / BEATS_PER_MINUTE;
const int BEATS_PER_BAR = 4;
// The title card shows for the first second.
const int TITLE_FRAMES = FRAMES_PER_SECOND;

// Picture size, rate and count, and the sound's rate (the program's sounds').
kgiMovieFormat format();
// The tune: a kick on every beat, a snare on the second and fourth, hats
// between, a bass note a beat and a melody in eighth notes.
kgiSound music();
// The font the title card is written in.
std::string titleFont();
// Draws picture `frame` into p (of the format's size); `font` writes the
// title card.
void drawFrame(int frame, kgiPicture& p, kgiPictureFont& font);
// Encodes the movie to PATH below dataDir, making the folder. An empty
// string on success, else what failed.
std::string write(const std::string& dataDir);

} // namespace kgiDanceMovie
