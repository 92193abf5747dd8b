#pragma once
// How the media plug-in reads a file path.
#include <string>

namespace kgi {

// Splits at the last '/' or '\': folder keeps its separator (empty for a
// bare name), name is the rest with its extension.
void kgiSplitMediaPath(const std::string& path, std::string* folder, std::string* name);

// True when the file name ends in .wav, .mp3, .ogg or .aiff, any letter
// case: such files are only ever opened as sound.
bool kgiIsSoundFileName(const std::string& path);

} // namespace kgi
