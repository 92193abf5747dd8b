// The settings reader on arbitrary bytes: it must not crash, must leave the
// record in a state the writer can write, and what it writes must read back
// to the same text.
#include "kgiSettings.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kgiSettings s;
    kgiSettingsFile::parse(std::string(reinterpret_cast<const char*>(data), size), s);
    for (int c = 0; c < 3; ++c) {
        if (!std::isfinite(s.gridColor[c]) || !std::isfinite(s.colliColor[c]) ||
            !std::isfinite(s.cogDiffuse[c]) || !std::isfinite(s.cogAmbient[c]))
            std::abort();
    }
    if (s.addBasePart.size() > kgiSettings::ADD_BASE_PART_MAX) std::abort();

    const std::string text = kgiSettingsFile::format(s);
    kgiSettings again;
    kgiSettingsFile::parse(text, again);
    if (kgiSettingsFile::format(again) != text) std::abort();
    return 0;
}
