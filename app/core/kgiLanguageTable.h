#pragma once
// The language texts: one text per key of kgiLangKeys.h, read from a
// language file of "Key=Text" lines in code page 932. The main window takes
// its label texts from it, the application its text table (kgiApp owns one
// table and answers languageText from it).
//
// A line gives a key's text when it begins with the key and its first equals
// sign follows the key at once or after one blank or tab; the text is the
// rest of the line without its line end (a CR before the LF goes too),
// spaces kept. Every line is tried against every entry, so a key given
// twice keeps its last text, and a key the file lacks keeps the text it had.
#include "kgiLangKeys.h"

#include <fx.h>

#include <array>
#include <istream>
#include <string>

class kgiLanguageTable {
public:
    // The language numbers the program knows; any other number means
    // English.
    static constexpr int ENGLISH = 0;
    static constexpr int JAPANESE = 1;

    // The language a number selects (JAPANESE for 1, else ENGLISH).
    static int effectiveLanguage(int language) { return language == JAPANESE ? JAPANESE : ENGLISH; }
    // "settings/lang_jap.txt" or "settings/lang_eng.txt" below baseDir.
    static std::string filePath(const std::string& baseDir, int language);

    // Assigns the line's text (converted from code page 932) to dest when the
    // line gives key; leaves dest as it was and answers false otherwise. The
    // line may still end in LF or CR LF.
    static bool matchLanguageKey(const char* key, const std::string& line, FX::FXString& dest);

    // Reads the file at path line by line, whole lines of any length. False
    // (and every text as it was) when it cannot be opened.
    bool readFile(const std::string& path);
    // The same from a stream; marks the table loaded.
    void read(std::istream& in);
    // Tries one line against every entry.
    void applyLine(const std::string& line);

    // Whether a file was read since construction.
    bool isLoaded() const { return loaded; }
    // The texts by slot (the index in kgiLangKey::WINDOW_KEYS or APP_KEYS).
    const FX::FXString& windowText(int slot) const;
    const FX::FXString& appText(int slot) const;
    // The text of a key of either list; null for an unknown key.
    const FX::FXString* find(const char* key) const;

private:
    std::array<FX::FXString, kgiLangKey::WINDOW_KEY_COUNT> windowTexts;
    std::array<FX::FXString, kgiLangKey::APP_KEY_COUNT> appTexts;
    bool loaded = false;
};
