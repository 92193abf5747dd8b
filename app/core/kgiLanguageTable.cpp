#include "kgiLanguageTable.h"

#include "kgiNarrowString.h"

#include "kutPath.h"

#include <cstring>
#include <fstream>

std::string kgiLanguageTable::filePath(const std::string& baseDir, int language) {
    const char* name = effectiveLanguage(language) == JAPANESE ? "lang_jap.txt" : "lang_eng.txt";
    return kutAppendPath(kutAppendPath(baseDir, "settings"), name);
}

bool kgiLanguageTable::matchLanguageKey(const char* key, const std::string& line, FX::FXString& dest) {
    if (!key) return false;
    const size_t keyLength = std::strlen(key);
    if (line.size() < keyLength || line.compare(0, keyLength, key) != 0) return false;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    // One blank or tab may stand between the key and the equals sign;
    // anything else there makes it a different, longer key.
    const bool rightAfter = equals == keyLength;
    const bool oneBlank = equals == keyLength + 1 && (line[keyLength] == ' ' || line[keyLength] == '\t');
    if (!rightAfter && !oneBlank) return false;

    size_t end = line.size();
    const size_t lineFeed = line.rfind('\n');
    if (lineFeed != std::string::npos && lineFeed > equals) {
        end = lineFeed;
        if (end > equals + 1 && line[end - 1] == '\r') --end;
    } else if (end > equals + 1 && line[end - 1] == '\r') {
        --end;
    }
    dest = kgiNarrowString::toWideText(line.substr(equals + 1, end - equals - 1));
    return true;
}

void kgiLanguageTable::applyLine(const std::string& line) {
    for (int i = 0; i < kgiLangKey::WINDOW_KEY_COUNT; ++i)
        matchLanguageKey(kgiLangKey::WINDOW_KEYS[i], line, windowTexts[static_cast<size_t>(i)]);
    for (int i = 0; i < kgiLangKey::APP_KEY_COUNT; ++i)
        matchLanguageKey(kgiLangKey::APP_KEYS[i], line, appTexts[static_cast<size_t>(i)]);
}

void kgiLanguageTable::read(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) applyLine(line);
    loaded = true;
}

bool kgiLanguageTable::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    read(in);
    return true;
}

const FX::FXString& kgiLanguageTable::windowText(int slot) const {
    static const FX::FXString none;
    return slot >= 0 && slot < kgiLangKey::WINDOW_KEY_COUNT ? windowTexts[static_cast<size_t>(slot)] : none;
}

const FX::FXString& kgiLanguageTable::appText(int slot) const {
    static const FX::FXString none;
    return slot >= 0 && slot < kgiLangKey::APP_KEY_COUNT ? appTexts[static_cast<size_t>(slot)] : none;
}

const FX::FXString* kgiLanguageTable::find(const char* key) const {
    if (!key) return nullptr;
    for (int i = 0; i < kgiLangKey::APP_KEY_COUNT; ++i)
        if (std::strcmp(kgiLangKey::APP_KEYS[i], key) == 0) return &appTexts[static_cast<size_t>(i)];
    for (int i = 0; i < kgiLangKey::WINDOW_KEY_COUNT; ++i)
        if (std::strcmp(kgiLangKey::WINDOW_KEYS[i], key) == 0) return &windowTexts[static_cast<size_t>(i)];
    return nullptr;
}
