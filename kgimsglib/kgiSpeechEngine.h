#pragma once
// The voice of the message window: the built-in synthesiser or an outside
// speech program, chosen once from the application's settings file.
#include <memory>
#include <string>

namespace kgi {

class kgiSpeechEngine {
public:
    // Where the application keeps its settings, relative to the current
    // directory (the program's base directory).
    static const char* const SETTINGS_PATH;

    virtual ~kgiSpeechEngine() = default;

    // Starts speaking `text` (CP932) and returns at once. False when the
    // speech could not be started.
    virtual bool speak(const std::string& text) = 0;
    // Stops what is being spoken; nothing when silent.
    virtual void stop() = 0;
    // True while speaking.
    virtual bool isSpeaking() = 0;

    // Seconds the last text given to speak() lasts when heard, as far as
    // the engine knows it; negative when it cannot tell (its caller then
    // goes by the text's reading time).
    virtual double heardSeconds() { return -1.0; }
    // True when the last speech goes to a sound device that plays it, so
    // isSpeaking() follows what is heard; false when no sound comes out or
    // the engine cannot tell.
    virtual bool playsAloud() { return false; }

    // The reading time of a text (CP932): 0.5 s and 70 ms a character,
    // every character counted (blanks and line breaks too), and at least
    // 3 s.
    static double readingSeconds(const std::string& text);

    // The engine rule of the settings file: its first line (as a text-mode
    // read, at most 126 characters with its line break) must end in '1'
    // before the line break for the built-in synthesiser. The application
    // writes that line as "language=%d", so language 1 (Japanese) selects
    // the synthesiser and every other language, a missing file or an empty
    // one the outside program. A CR LF line break counts as one break, as
    // the file's Windows-era writers left it.
    static bool synthesiserChosen(const std::string& settingsPath);

    // The engine the settings file at `settingsPath` chooses, speaking
    // aloud: the synthesiser with a Japanese voice, or the outside program
    // started in the current directory.
    static std::unique_ptr<kgiSpeechEngine> fromSettings(const std::string& settingsPath);
};

} // namespace kgi
