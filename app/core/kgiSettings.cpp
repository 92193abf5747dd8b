#include "kgiSettings.h"

#include "platform/files.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <utility>

namespace {

// A value slot of one line pattern: where a conversion stores its result.
struct Slot {
    int* i = nullptr;
    float* f = nullptr;
    std::string* s = nullptr;
};

void skipBlanks(const char*& p, const char* end) {
    while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
}

bool readInt(const char*& p, const char* end, int& out) {
    skipBlanks(p, end);
    const char* q = p;
    if (q < end && *q == '+') ++q;  // from_chars takes '-' but not '+'
    long long v = 0;
    auto r = std::from_chars(q, end, v);
    if (r.ec != std::errc() || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(v);
    p = r.ptr;
    return true;
}

bool readFloat(const char*& p, const char* end, float& out) {
    skipBlanks(p, end);
    const char* q = p;
    if (q < end && *q == '+') ++q;
    float v = 0.0f;
    // from_chars reads the C locale's notation whatever the process locale.
    auto r = std::from_chars(q, end, v);
    if (r.ec != std::errc() || !std::isfinite(v)) return false;
    out = v;
    p = r.ptr;
    return true;
}

bool readWord(const char*& p, const char* end, std::string& out) {
    skipBlanks(p, end);
    const char* q = p;
    while (q < end && !std::isspace(static_cast<unsigned char>(*q))) ++q;
    if (q == p) return false;
    // Longer names never came from the program; a cut name would name some
    // other part, so the line is refused and the old value kept.
    if (static_cast<std::size_t>(q - p) > kgiSettings::ADD_BASE_PART_MAX) return false;
    out.assign(p, q);
    p = q;
    return true;
}

// Reads one line against a pattern in the manner of sscanf: literal
// characters must match, each %d, %f or %s stores into the next slot as soon
// as it is read. Returns how many values were stored (the caller keeps them
// only when that is all of the pattern's).
int scan(const std::string& line, const char* pattern, const Slot* slots) {
    const char* p = line.data();
    const char* end = p + line.size();
    int stored = 0;
    for (const char* f = pattern; *f; ++f) {
        if (*f != '%') {
            if (p == end || *p != *f) break;
            ++p;
            continue;
        }
        ++f;
        const Slot& slot = slots[stored];
        bool ok = false;
        if (*f == 'd') ok = readInt(p, end, *slot.i);
        else if (*f == 'f') ok = readFloat(p, end, *slot.f);
        else if (*f == 's') ok = readWord(p, end, *slot.s);
        if (!ok) break;
        ++stored;
    }
    return stored;
}

struct Pattern {
    const char* format;
    int values;
};

// The file's keys, in the order they are written and tried.
const Pattern PATTERNS[8] = {
    {"language=%d", 1},
    {"Keys_MAX=%d", 1},
    {"Robot_COM_ID=%d", 1},
    {"DrawNo=%d", 1},
    {"Grid_Color=(%f,%f,%f)", 3},
    {"Colli_Color=(%f,%f,%f)", 3},
    {"CenterOfG_Color=D(%f,%f,%f),A(%f,%f,%f)", 6},
    {"AddBasePart=%s", 1},
};

// Slots of pattern k in s.
void slotsOf(int k, kgiSettings& s, Slot out[6]) {
    switch (k) {
    case 0: out[0].i = &s.language; break;
    case 1: out[0].i = &s.keysMax; break;
    case 2: out[0].i = &s.robotComId; break;
    case 3: out[0].i = &s.drawNo; break;
    case 4: for (int c = 0; c < 3; ++c) out[c].f = &s.gridColor[c]; break;
    case 5: for (int c = 0; c < 3; ++c) out[c].f = &s.colliColor[c]; break;
    case 6:
        for (int c = 0; c < 3; ++c) out[c].f = &s.cogDiffuse[c];
        for (int c = 0; c < 3; ++c) out[3 + c].f = &s.cogAmbient[c];
        break;
    default: out[0].s = &s.addBasePart; break;
    }
}

} // namespace

std::string kgiSettingsFile::pathIn(const std::string& baseDir) {
    return baseDir + "/settings/settings.txt";
}

void kgiSettingsFile::parse(const std::string& text, kgiSettings& s) {
    s.language = 1;
    int matches = 0;
    std::size_t pos = 0;
    while (pos < text.size() && matches < 8) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        const std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        for (int k = 0; k < 8; ++k) {
            // Read into a copy and keep it only when the whole pattern was
            // read, so a line that fails part-way changes nothing.
            kgiSettings read = s;
            Slot slots[6];
            slotsOf(k, read, slots);
            if (scan(line, PATTERNS[k].format, slots) != PATTERNS[k].values) continue;
            s = std::move(read);
            ++matches;
        }
    }
    s.collisionDetail = false;
}

bool kgiSettingsFile::load(const std::string& path, kgiSettings& s) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        s.language = 1;
        s.collisionDetail = false;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    parse(text.str(), s);
    return true;
}

std::string kgiSettingsFile::format(const kgiSettings& s) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    char line[512];
    std::snprintf(line, sizeof line, "language=%d\nKeys_MAX=%d\nRobot_COM_ID=%d\nDrawNo=%d\n",
                  s.language, s.keysMax, s.robotComId, s.drawNo);
    out << line;
    // snprintf's %f follows LC_NUMERIC; the file is always written with a
    // decimal point, so the numbers go through to_chars.
    auto fixed = [](float v) {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
        return std::string(buf, r.ec == std::errc() ? r.ptr : buf);
    };
    auto triple = [&](const float* c) {
        return "(" + fixed(c[0]) + "," + fixed(c[1]) + "," + fixed(c[2]) + ")";
    };
    out << "Grid_Color=" << triple(s.gridColor) << "\n";
    out << "Colli_Color=" << triple(s.colliColor) << "\n";
    out << "CenterOfG_Color=D" << triple(s.cogDiffuse) << ",A" << triple(s.cogAmbient) << "\n";
    out << "AddBasePart=" << s.addBasePart << "\n";
    return out.str();
}

bool kgiSettingsFile::save(const std::string& path, const kgiSettings& s) {
    platform::ReplaceFile file;
    if (!file.open(path)) return false;
    const std::string text = format(s);
    if (std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
        file.abandon();
        return false;
    }
    return file.commit();
}
