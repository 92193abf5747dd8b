#include "kgiProjectPrefs.h"

#include "kgiTextFile.h"

#include <cstring>

// File order of the Pref block.
const kgiProjectPrefs::Entry kgiProjectPrefs::ENTRIES[11] = {
    {"fts", &kgiProjectPrefs::fts, nullptr},
    {"fps", &kgiProjectPrefs::fps, nullptr},
    {"wstep", &kgiProjectPrefs::wstep, nullptr},
    {"g_p", &kgiProjectPrefs::g_p, nullptr},
    {"g_n", &kgiProjectPrefs::g_n, nullptr},
    {"g_t", nullptr, &kgiProjectPrefs::g_t},
    {"g_s", &kgiProjectPrefs::g_s, nullptr},
    {"ffov", nullptr, &kgiProjectPrefs::ffov},
    {"fgain", nullptr, &kgiProjectPrefs::fgain},
    {"mgain", nullptr, &kgiProjectPrefs::mgain},
    {"dw", &kgiProjectPrefs::dw, nullptr},
};

bool kgiProjectPrefs::setByKey(const char* key, const char* value)
{
    if (!key)
        return false;
    for (const Entry& e : ENTRIES) {
        if (std::strcmp(e.key, key) != 0)
            continue;
        if (e.intField)
            this->*e.intField = kgiTextFile::parseInt(value);
        else
            this->*e.floatField = kgiTextFile::parseFloat(value);
        return true;
    }
    return false;
}

void kgiProjectPrefs::write(kgiTextFile& out) const
{
    for (const Entry& e : ENTRIES) {
        out.put("\t\t").put(e.key).put(' ');
        if (e.intField)
            out.putInt(this->*e.intField);
        else
            out.putFloat(this->*e.floatField);
        out.put('\n');
    }
}
