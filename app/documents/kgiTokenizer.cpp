#include "kgiTokenizer.h"

#include "kgiTextFile.h"

#include <cstring>

const char* const kgiTokenizer::DEFAULT_DELIMITERS = " \t:\n\",";
const char* const kgiTokenizer::CURVE_DELIMITERS = " \t:\n\",{}()";

kgiTokenizer::kgiTokenizer()
{
    setDelimiters(DEFAULT_DELIMITERS);
}

kgiTokenizer::kgiTokenizer(const char* delimiters)
{
    std::memset(classes, ORDINARY, sizeof classes);
    classes[0] = END;
    setDelimiters(delimiters);
}

bool kgiTokenizer::isWholeToken(const char* text, const char* delimiters)
{
    if (!text || !*text)
        return false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p < 0x20 || *p == 0x7f || (delimiters && std::strchr(delimiters, *p)))
            return false;
    return true;
}

int kgiTokenizer::setDelimiters(const char* delimiters)
{
    if (!delimiters || !*delimiters)
        return 0;
    std::memset(classes, ORDINARY, sizeof classes);
    for (const char* p = delimiters; *p; ++p)
        classes[static_cast<unsigned char>(*p)] = DELIMITER;
    classes[0] = END;
    return 1;
}

void kgiTokenizer::setQuotes(const char* quotes)
{
    for (unsigned char& c : classes)
        if (c == QUOTE)
            c = DELIMITER;
    for (const char* p = quotes; p && *p; ++p)
        classes[static_cast<unsigned char>(*p)] = QUOTE;
}

int kgiTokenizer::split(char* text)
{
    tokens.clear();
    if (!text)
        return 0;
    unsigned char* p = reinterpret_cast<unsigned char*>(text);
    unsigned char quote = 0; // the opening byte of a quoted token not yet read
    for (;;) {
        if (!quote) {
            while (classes[*p] == DELIMITER)
                ++p;
            if (classes[*p] == END)
                break;
            if (classes[*p] == QUOTE)
                quote = *p++;
        }
        if (quote) {
            tokens.push_back(reinterpret_cast<char*>(p));
            // A quoted token never runs past the line, closed or not.
            while (*p && *p != quote && *p != '\n')
                ++p;
            quote = 0;
            if (!*p)
                break;
            *p++ = 0;
            continue;
        }
        tokens.push_back(reinterpret_cast<char*>(p));
        while (classes[*p] == ORDINARY)
            ++p;
        if (classes[*p] == END)
            break;
        if (classes[*p] == QUOTE)
            quote = *p;
        *p++ = 0;
    }
    return getTokenCount();
}

bool kgiTokenizer::fetchLine(FILE* stream)
{
    line.clear();
    ended = false;
    if (!stream) {
        ended = true;
        return false;
    }
    char chunk[4096];
    bool got = false;
    for (;;) {
        if (!std::fgets(chunk, sizeof chunk, stream)) {
            ended = true;
            break;
        }
        got = true;
        const size_t n = std::strlen(chunk);
        line.append(chunk, n);
        if (n > 0 && chunk[n - 1] == '\n')
            break;
        // A short piece without a line feed: the end of the stream, or a
        // zero byte inside the line, which ends the line's text anyway.
        if (n + 1 < sizeof chunk && !std::feof(stream))
            break;
    }
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return got;
}

int kgiTokenizer::readLine(FILE* stream)
{
    while (fetchLine(stream))
        if (split(&line[0]) > 0)
            return getTokenCount();
    tokens.clear();
    return 0;
}

int kgiTokenizer::readRawLine(FILE* stream)
{
    if (!fetchLine(stream)) {
        tokens.clear();
        return 0;
    }
    return split(&line[0]);
}

bool kgiTokenizer::tokenIs(int i, const char* text) const
{
    const char* t = getToken(i);
    return t && text && std::strcmp(t, text) == 0;
}

int kgiTokenizer::tokenInt(int i) const
{
    return kgiTextFile::parseInt(getToken(i));
}

float kgiTokenizer::tokenFloat(int i) const
{
    return kgiTextFile::parseFloat(getToken(i));
}
