// The courses' start signal and goal, in two sets: the English one in a
// clear bell-like timbre, the other language's in a reedy one (odd
// harmonics), with a starting pistol for its "go".
//
// The start signal plays ready, set and go one after another, each waiting
// for the one before to end: ready and set are a short beep followed by
// silence, so that the whole sound lasts one second and the three keep a
// steady beat. Go is longer and higher; the goal is a short rising fanfare.
#include "kgiSoundSet.h"

namespace {

// One note of a timbre: a fundamental and its partials, each a multiple of
// the fundamental with its own share of the amplitude.
struct Partial {
    double multiple;
    double share;
};

const Partial BELL[] = {{1.0, 1.0}, {2.0, 0.25}};
const Partial REED[] = {{1.0, 1.0}, {3.0, 0.30}, {5.0, 0.15}};

template <std::size_t N>
void note(kgiSound& s, const Partial (&timbre)[N], double start, double duration, double freq,
          double amplitude, kgiSound::Envelope env) {
    for (const Partial& p : timbre) s.tone(start, duration, freq * p.multiple, amplitude * p.share, env);
}

// A beep of a quarter second, then silence up to the sound's end.
template <std::size_t N>
void beep(kgiSound& s, const Partial (&timbre)[N], double freq) {
    note(s, timbre, 0.0, 0.25, freq, 0.42, {0.005, 0.07});
}

// Go: the beep an octave up, held for most of a second.
template <std::size_t N>
void longBeep(kgiSound& s, const Partial (&timbre)[N], double freq) {
    note(s, timbre, 0.0, 0.85, freq, 0.42, {0.005, 0.35});
    s.fadeOut(0.05);
}

// A rising arpeggio (G4 C5 E5) that lands on a held C6.
template <std::size_t N>
void fanfare(kgiSound& s, const Partial (&timbre)[N]) {
    const double steps[] = {392.00, 523.25, 659.26};
    for (int i = 0; i < 3; ++i) note(s, timbre, 0.13 * i, 0.16, steps[i], 0.32, {0.004, 0.08});
    note(s, timbre, 0.39, 0.80, 1046.50, 0.36, {0.004, 0.30});
    s.fadeOut(0.06);
}

void makeReady(kgiSound& s) { beep(s, BELL, 880.0); }
void makeSet(kgiSound& s) { beep(s, BELL, 880.0); }
void makeGo(kgiSound& s) { longBeep(s, BELL, 1760.0); }
void makeGoal(kgiSound& s) { fanfare(s, BELL); }
void makeReadyOther(kgiSound& s) { beep(s, REED, 660.0); }
void makeSetOther(kgiSound& s) { beep(s, REED, 660.0); }
void makeGoalOther(kgiSound& s) { fanfare(s, REED); }

// A starting pistol: a loud burst of noise that dies within a few tens of
// milliseconds over a short low thump.
void makePistol(kgiSound& s) {
    s.noise(0.0, 0.30, 0.85, {0.0005, 0.035}, 53);
    s.tone(0.0, 0.20, 110.0, 0.35, {0.001, 0.04}, -200.0);
    s.fadeOut(0.03);
}

} // namespace

std::vector<kgiSoundDef> kgiSounds::course() {
    return {
        {"se/ready.wav", 1.0, makeReady},       {"se/set.wav", 1.0, makeSet},
        {"se/go.wav", 1.0, makeGo},             {"se/goal.wav", 1.3, makeGoal},
        {"se/readyJ.wav", 1.0, makeReadyOther}, {"se/setJ.wav", 1.0, makeSetOther},
        {"se/pistol.wav", 0.4, makePistol},     {"se/goalJ.wav", 1.3, makeGoalOther},
    };
}
