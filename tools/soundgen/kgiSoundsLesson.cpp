// The lessons' answer sounds: a rising two-note chime for a good answer and
// a low falling buzz for a wrong one. Each is a table of sine layers.
#include "kgiSoundSet.h"

namespace {

struct Layer {
    double start;     // seconds
    double duration;  // seconds
    double freq;      // Hz at the start
    double amplitude; // peak
    kgiSound::Envelope env;
    double glide;     // Hz per second
};

template <std::size_t N>
void layers(kgiSound& s, const Layer (&table)[N], double fade) {
    for (const Layer& l : table) s.tone(l.start, l.duration, l.freq, l.amplitude, l.env, l.glide);
    s.fadeOut(fade);
}

// Two bell-like notes a fifth apart (E5, then B5), each with a
// soft octave partial; the second note rings out.
const Layer GOOD[] = {
    {0.000, 0.180, 659.26, 0.40, {0.004, 0.090}, 0.0},
    {0.000, 0.180, 1318.51, 0.12, {0.004, 0.050}, 0.0},
    {0.140, 0.360, 987.77, 0.42, {0.004, 0.140}, 0.0},
    {0.140, 0.360, 1975.53, 0.12, {0.004, 0.070}, 0.0},
};

// A low tone falling by a third, made buzzy by its odd harmonics.
const Layer NOT_GOOD[] = {
    {0.000, 0.420, 180.0, 0.36, {0.010, 0.0}, -90.0},
    {0.000, 0.420, 540.0, 0.12, {0.010, 0.0}, -270.0},
    {0.000, 0.420, 900.0, 0.07, {0.010, 0.0}, -450.0},
    {0.000, 0.420, 1260.0, 0.05, {0.010, 0.0}, -630.0},
};

void makeGood(kgiSound& s) { layers(s, GOOD, 0.030); }
void makeNotGood(kgiSound& s) { layers(s, NOT_GOOD, 0.040); }

} // namespace

std::vector<kgiSoundDef> kgiSounds::lesson() {
    return {{"se/qNG.wav", 0.42, makeNotGood}, {"se/qOK.wav", 0.50, makeGood}};
}
