#include "kgiSpeechProgram.h"

#include "platform/codepage.h"

#include <filesystem>
#include <system_error>

namespace kgi {

const char* const kgiSpeechProgram::DEFAULT_PROGRAM = "festival";

kgiSpeechProgram::kgiSpeechProgram(const std::string& program, const std::string& workDir)
    : program(program), workDir(workDir)
{
}

std::vector<std::string> kgiSpeechProgram::arguments(const std::string& utf8Text)
{
    std::string expression = "(SayText \"";
    expression.reserve(utf8Text.size() + 16);
    for (char c : utf8Text) {
        if (c == '"' || c == '\\')
            expression += '\\';
        expression += c;
    }
    expression += "\")";
    return {"--batch", expression};
}

bool kgiSpeechProgram::speak(const std::string& text)
{
    // A new text always cuts off the previous one.
    process.terminate();
    std::vector<std::string> argv = arguments(platform::cp932ToUtf8(text));
    argv.insert(argv.begin(), program);
    return process.start(argv, workDir);
}

void kgiSpeechProgram::stop()
{
    process.terminate();
}

bool kgiSpeechProgram::isSpeaking()
{
    return process.running();
}

std::string kgiSpeechProgram::currentDirectory()
{
    std::error_code error;
    std::filesystem::path dir = std::filesystem::current_path(error);
    return error ? std::string() : dir.string();
}

} // namespace kgi
