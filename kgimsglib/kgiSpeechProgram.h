#pragma once
// Speech through an outside program: every text starts the program anew
// with a SayText expression, and a new text ends the previous run.
#include "kgiSpeechEngine.h"

#include "platform/process.h"

#include <string>
#include <vector>

namespace kgi {

class kgiSpeechProgram : public kgiSpeechEngine {
public:
    // The speech program, found through PATH.
    static const char* const DEFAULT_PROGRAM;

    // `program` is started in `workDir` (empty: wherever the process is
    // when it speaks).
    kgiSpeechProgram(const std::string& program, const std::string& workDir);

    // Ends the previous run, then starts the program on `text`. The text
    // is converted to UTF-8, the encoding program arguments take.
    bool speak(const std::string& text) override;
    void stop() override;
    // Polls the run; once it has ended, later calls answer false at once.
    bool isSpeaking() override;

    // The arguments after the program name for a UTF-8 text: batch mode
    // and the expression (SayText "text"), quotes and backslashes of the
    // text escaped so it stays one string literal whatever it holds.
    static std::vector<std::string> arguments(const std::string& utf8Text);

    // The current directory, or an empty string when it cannot be read.
    static std::string currentDirectory();

private:
    std::string program;
    std::string workDir;
    platform::Process process;
};

} // namespace kgi
