#include "platform/codepage.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// One converter per call: nothing is shared between callers.
std::string convert(const char* to, const char* from, bool fromUtf8, const std::string& text,
                    const std::string& replacement)
{
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    // Every CP932 character takes at most 3 UTF-8 bytes and every UTF-8
    // sequence at most 2 CP932 bytes, so 4 output bytes per input byte
    // always suffice; the loop still grows the buffer rather than trust it.
    std::string buffer(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (true) {
        char* outPtr = &buffer[0];
        size_t outLeft = buffer.size();
        size_t r = iconv(cd, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (r != static_cast<size_t>(-1)) {
            if (inLeft == 0)
                break;
            continue;
        }
        if (errno == E2BIG)
            continue;
        // EILSEQ (not a character of the source set, or not one the target
        // can hold) and EINVAL (a sequence cut off at the end): skip one
        // byte, and in UTF-8 the continuation bytes of the same character,
        // mark the gap once and go on. A CP932 trail byte may be plain ASCII
        // and is kept.
        out += replacement;
        ++in;
        --inLeft;
        while (fromUtf8 && inLeft && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
            ++in;
            --inLeft;
        }
        if (inLeft == 0)
            break;
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string cp932ToUtf8(const std::string& text)
{
    return convert("UTF-8", "CP932", false, text, "\xEF\xBF\xBD");
}

std::string utf8ToCp932(const std::string& text)
{
    return convert("CP932", "UTF-8", true, text, "?");
}

bool utf8ToCp932Exact(const std::string& text, std::string& out)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    // At most 2 CP932 bytes for each UTF-8 byte; the end state needs none.
    std::string buffer(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = &buffer[0];
    size_t outLeft = buffer.size();
    bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
              iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (ok)
        out.assign(buffer.data(), buffer.size() - outLeft);
    return ok;
}

std::string cp932ToCodeset(const std::string& text, const std::string& codeset)
{
    if (codeset.empty() || codeset == "UTF-8" || codeset == "utf8")
        return cp932ToUtf8(text);
    iconv_t probe = iconv_open(codeset.c_str(), "UTF-8");
    if (probe == reinterpret_cast<iconv_t>(-1))
        return cp932ToUtf8(text);
    iconv_close(probe);
    // Through UTF-8, whose sequences show where a character the set cannot
    // hold ends, so it is marked once and whole.
    return convert(codeset.c_str(), "UTF-8", true, cp932ToUtf8(text), "?");
}

std::string cp932ToLocale(const std::string& text)
{
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    if (!name || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0)
        return cp932ToUtf8(text);
    const char* codeset = nl_langinfo(CODESET);
    return cp932ToCodeset(text, codeset ? codeset : "");
}

void printDiagnostic(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    va_list again;
    va_copy(again, ap);
    const int n = std::vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(n));
    }
    va_end(again);
    std::fputs(cp932ToLocale(text).c_str(), stderr);
}

} // namespace platform
