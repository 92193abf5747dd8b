// The editor's own sounds.
#include "kgiSoundSet.h"

namespace {

// A short, bright click: a high tone that dies away within a few
// milliseconds over a lower body and a breath of noise at the onset.
void makeKeyClick(kgiSound& s) {
    const double length = static_cast<double>(s.size()) / s.getRate();
    s.tone(0.0, length, 2400.0, 0.45, {0.001, 0.008});
    s.tone(0.0, length, 1200.0, 0.25, {0.002, 0.012}, -4000.0);
    s.noise(0.0, 0.006, 0.15, {0.0005, 0.002}, 7);
    s.fadeOut(0.005);
}

} // namespace

std::vector<kgiSoundDef> kgiSounds::editor() {
    return {{"se/keyset.wav", 0.05, makeKeyClick}};
}
