#pragma once
// The user settings kept in "settings/settings.txt" below the base
// directory: lines of a key, '=' and a value, read at start-up and written
// at exit (and when the robot link opens).
#include <string>

struct kgiSettings {
    // Longest base-part name the options dialog and the file allow.
    static constexpr std::size_t ADD_BASE_PART_MAX = 23;

    // These values hold only while no settings file was read. Apart from
    // the language they are the shipped file's, so a user who deletes the
    // file gets the same editor, in Japanese.
    int language = 1;          // 0 English, 1 Japanese
    int keysMax = 150;         // most frames a character may hold keys at
    bool collisionDetail = false;  // not stored; false after every read
    float optionFloat = 0.0f;      // not stored
    float colliColor[3] = {0.9f, 0.3f, 0.0f};
    float gridColor[3] = {0.5f, 0.5f, 0.5f};
    float cogDiffuse[3] = {0.9f, 0.1f, 0.1f};
    float cogAmbient[3] = {0.5f, 0.0f, 0.0f};
    int robotComId = 1;        // COM port number of the robot link, 1..16
    int drawNo = 0;            // 1 shows times in seconds, else frame numbers
    std::string addBasePart = "Body";
};

struct kgiSettingsFile {
    // The file below a base directory.
    static std::string pathIn(const std::string& baseDir);

    // Reads the settings text into s: language is set to 1 first, then each
    // line is tried against the eight keys (the last line of a key wins)
    // until eight lines have matched; lines that match nothing are skipped.
    // A line's values are stored only when all of them were read, so a line
    // that fails part-way leaves every value of its key as it was.
    // collisionDetail is cleared at the end.
    static void parse(const std::string& text, kgiSettings& s);
    // The same from the file; a missing or unreadable file leaves every
    // value but language (1) and collisionDetail (false) as it was. False
    // when the file could not be read.
    static bool load(const std::string& path, kgiSettings& s);

    // The eight lines, floats with six decimals, in the C locale.
    static std::string format(const kgiSettings& s);
    // Writes through a temporary file renamed over the old one, so a failed
    // write keeps the previous file. False when nothing was written.
    static bool save(const std::string& path, const kgiSettings& s);
};
