#pragma once
// The program's sounds: each one a file below the data folder and the
// routine that makes it.
//
// Sounds come in groups (the editor's own, the lessons' answers, ...). A
// group is one source file defining one function of kgiSounds that returns
// its entries; kgiSoundSet::all() lists every group once. To add a sound,
// add an entry and its routine to the group it belongs to; a new group also
// gets a line in all() and its file in CMakeLists.txt.
#include "kgiSound.h"

#include <string>
#include <vector>

struct kgiSoundDef {
    const char* path;  // below the data folder, '/'-separated
    double seconds;    // length of the sound
    void (*make)(kgiSound&);
};

namespace kgiSounds {
// se/keyset.wav: the key click, sound 0 of the player.
std::vector<kgiSoundDef> editor();
// se/qNG.wav and se/qOK.wav: the lessons' not-good and good answers, which
// the lesson manager registers after the key click (sounds 1 and 2).
std::vector<kgiSoundDef> lesson();
// The courses' start signal and goal, English (se/ready.wav, set, go, goal)
// and the other language's (se/readyJ.wav, setJ, pistol, goalJ). Ready and
// set last one second each: the start signal waits for each to end.
std::vector<kgiSoundDef> course();
} // namespace kgiSounds

class kgiSoundSet {
public:
    // Samples per second of every sound the program ships.
    static const int RATE = 22050;

    // Every sound of every group, in a fixed order.
    static std::vector<kgiSoundDef> all();
    // The sound of one entry: silence of its length, then its routine.
    static kgiSound render(const kgiSoundDef& def);
    // Writes every sound below `dataDir`, making the folders it needs. An
    // empty string on success, else what failed.
    static std::string writeAll(const std::string& dataDir);
};
