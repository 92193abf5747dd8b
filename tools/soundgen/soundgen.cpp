// Sound tool: makes the program's sounds and writes them as WAV files below
// the data folder.
//
//   soundgen <data folder>
//
// The same bytes on every run: the sounds are computed, and their noise
// comes from fixed seeds.
#include "kgiSoundSet.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen <data folder>\n");
        return 2;
    }
    const std::string err = kgiSoundSet::writeAll(argv[1]);
    if (!err.empty()) {
        std::fprintf(stderr, "soundgen: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
