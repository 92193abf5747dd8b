#include "kgiLangConvert.h"

#include "platform/codepage.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Length of the UTF-8 sequence at text[pos] and its code point; 0 when the
// bytes there are not a well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included).
size_t utf8Sequence(const std::string& text, size_t pos, unsigned long& codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    unsigned long min;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

std::string position(const std::string& name, size_t line, size_t column)
{
    return name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

// Empty when every character of the line comes back from CP932 as itself;
// otherwise the reason, naming the first one that does not.
std::string checkLine(const std::string& name, size_t lineNo, const std::string& line)
{
    size_t column = 1;
    for (size_t pos = 0; pos < line.size(); ++column) {
        unsigned long codePoint = 0;
        const size_t length = utf8Sequence(line, pos, codePoint);
        if (length == 0) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(line[pos]));
            return position(name, lineNo, column) + "byte " + byte + " is not UTF-8";
        }
        const std::string character = line.substr(pos, length);
        if (platform::cp932ToUtf8(platform::utf8ToCp932(character)) != character) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04lX", codePoint);
            return position(name, lineNo, column) + "character " + code + " (" + character +
                   ") does not come back from code page 932 as itself";
        }
        pos += length;
    }
    return std::string();
}

} // namespace

bool kgiConvertLanguageText(const std::string& name, const std::string& utf8, std::string& cp932,
                            std::string& error)
{
    size_t lineNo = 1;
    for (size_t start = 0; start < utf8.size(); ++lineNo) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos)
            end = utf8.size();
        error = checkLine(name, lineNo, utf8.substr(start, end - start));
        if (!error.empty())
            return false;
        start = end + 1;
    }
    // Each character came back alone; the whole text must too, since CP932
    // has no shift state a neighbour could change.
    std::string converted = platform::utf8ToCp932(utf8);
    if (platform::cp932ToUtf8(converted) != utf8) {
        error = name + ": the text does not come back from code page 932 as it was";
        return false;
    }
    cp932 = std::move(converted);
    error.clear();
    return true;
}

bool kgiConvertLanguageFile(const std::string& from, const std::string& to, std::string& error)
{
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        error = from + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = from + ": cannot be read";
        return false;
    }
    std::string cp932;
    if (!kgiConvertLanguageText(from, text.str(), cp932, error))
        return false;

    // Write beside the target and rename, so a failed write never leaves a
    // half file that a later build would take as up to date.
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(to);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    const std::string temp = to + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(cp932.data(), static_cast<std::streamsize>(cp932.size()));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            error = to + ": cannot be written";
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        error = to + ": cannot be written";
        return false;
    }
    return true;
}
