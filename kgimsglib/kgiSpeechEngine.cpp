#include "kgiSpeechEngine.h"

#include "kgiSpeechProgram.h"
#include "kgiSpeechSynth.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kgi {

const char* const kgiSpeechEngine::SETTINGS_PATH = "./settings/settings.txt";

double kgiSpeechEngine::readingSeconds(const std::string& text)
{
    // Characters, not bytes: a Japanese character takes two bytes in CP932
    // and up to four in UTF-8, whose continuation bytes are not counted.
    const std::string utf8 = platform::cp932ToUtf8(text);
    const auto characters = std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return std::max(3.0, 0.5 + 0.07 * static_cast<double>(characters));
}

bool kgiSpeechEngine::synthesiserChosen(const std::string& settingsPath)
{
    FILE* f = std::fopen(settingsPath.c_str(), "r");
    if (!f)
        return false;
    // 126 characters and the terminating zero: the length the engine rule
    // has always read.
    char line[127] = {};
    bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    if (!read)
        return false;
    size_t n = std::strlen(line);
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
        line[n - 2] = '\n';
        line[--n] = '\0';
    }
    return n >= 2 && line[n - 2] == '1';
}

std::unique_ptr<kgiSpeechEngine> kgiSpeechEngine::fromSettings(const std::string& settingsPath)
{
    if (synthesiserChosen(settingsPath))
        return std::make_unique<kgiSpeechSynth>(kgiSpeechSynth::PLAYBACK);
    return std::make_unique<kgiSpeechProgram>(kgiSpeechProgram::DEFAULT_PROGRAM,
                                              kgiSpeechProgram::currentDirectory());
}

} // namespace kgi
