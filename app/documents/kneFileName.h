#pragma once
// File-name helpers of the scene library. Paths read from stored files may
// separate folders with '\' or '/'; both count as separators here.
#include <string>

// Replaces the suffix of the file-name part (from its last dot on) by suffix,
// which brings its own dot, or appends suffix when there is none. Returns the
// position where suffix was written.
std::string::size_type kneSetSuffix(std::string& path, const std::string& suffix);
// The same, first printing "Warning : Mismatch suffix" to standard error when
// an existing suffix differs from suffix.
std::string::size_type kneSetSuffixChecked(std::string& path, const std::string& suffix);
// Cuts the file-name part at its last dot; returns that position, npos when
// the file name has no dot.
std::string::size_type kneStripSuffix(std::string& path);
// The text after the last separator, the whole path without one, null for
// null. Points into path.
const char* kneFileNamePart(const char* path);
// The text from the last dot of the file-name part on (dot included), null
// when there is none. Points into path.
const char* kneSuffixOf(const char* path);
// Cuts the path at its last separator (the folder stays, without the
// separator); unchanged without one.
std::string& kneCutToFolder(std::string& path);
// Changes the current directory; 1 on success, 0 for null or failure.
int kneChangeDir(const char* path);
