#pragma once
// The display-less rules of the options window and the robot information
// window: the texts of the board's information record, the servo text of a
// joint row, the append frame, and the readers of the data files the
// options window shows. The windows only put these texts on widgets.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kgiJointRecord.h"

namespace kgiOptionsData {

// Words in the board's information record, rows of the information window.
constexpr int INFO_WORDS = 24;
constexpr int INFO_ROWS = 10;
// The row of the file-kind text (code page 932 bytes).
constexpr int INFO_KIND_ROW = 6;
// No information text is longer than this.
constexpr std::size_t INFO_TEXT_MAX = 19;

// The ten value texts of the information record. Row 6 holds code page 932
// bytes (the board's file kind, or "OTHER FILE"); the others are ASCII.
std::array<std::string, INFO_ROWS> infoTexts(const std::uint32_t* words);

// The frame at which appended samples start: the last key time truncated
// toward zero, plus 1 when it is above 0. A time that is not finite or does
// not fit an int gives 0.
int frameCount(float lastKeyTime);

// The servo text of a joint at that angle (degrees) under its record:
// v = angle x scale + offset, less 360 above 360, shown as "%d" of v + 0.5
// truncated toward zero. False (and text untouched) when v is not finite or
// does not fit an int.
bool servoText(float angle, const kgiJointRecord& record, std::string& text);

// Joint rows of the options window.
constexpr int MAX_JOINT_ROWS = 255;
// Placeholder entries when the remote-control list cannot be read.
constexpr int REMOCON_SLOTS = 32;
// Longest line the readers take at once; a longer one reads as several.
constexpr std::size_t MAX_LINE = 255;

// The lines of a text file as they are read: at most MAX_LINE characters
// each, each with its line break ("\n", CR LF read as LF) when it had one.
// A file that does not open gives no lines.
std::vector<std::string> readLines(const std::string& path);

// Sample names (UTF-8): every line of 3 or more characters, line break
// included, without its break.
std::vector<std::string> readSampleNames(const std::string& path);

// The remote-control list items (UTF-8): every line of 3 or more characters
// without its break; "1:" to "32:" when the file does not open.
std::vector<std::string> readRemoconItems(const std::string& path);

// Rows of "%d : %s =" heads (model.ini, motNames.txt): a line of 4 or more
// characters with an index 0..254 and a name sets that entry. Returns the
// number of lines used (at most 255). Joint names stay as read; motor names
// are converted from code page 932 when toUtf8 is set.
int readNameHeads(const std::string& path, std::array<std::string, MAX_JOINT_ROWS>& names,
                  bool toUtf8);

// The motor-name file's text: one line "%02d : %s\n" per row in row order
// (the names as given, code page 932, a line break in one as a blank); an
// empty name leaves the index and " : " alone on its line.
std::string motorNamesText(const std::vector<std::string>& names);
// Writes that text to path through a temporary file beside it, renamed
// over the old file only when the whole text is written; false, with the
// old file as it was, otherwise.
bool writeMotorNames(const std::string& path, const std::vector<std::string>& names);

} // namespace kgiOptionsData
