#include "kgiLineScan.h"

#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

void skipBlanks(const char*& p)
{
    while (*p && isBlank(*p))
        ++p;
}

// An int or a float in the C notation, whatever the locale.
template <class Number>
bool readNumber(const char*& p, Number& out)
{
    skipBlanks(p);
    const char* q = p;
    // from_chars takes a minus but no plus. Only the plus is stepped over:
    // "+-1" stays a mismatch, as it is for sscanf.
    if (*q == '+' && q[1] != '-')
        ++q;
    const char* end = q + std::strlen(q);
    const auto r = std::from_chars(q, end, out);
    if (r.ec != std::errc())
        return false;
    p = r.ptr;
    return true;
}

bool readWord(const char*& p, std::string& out)
{
    skipBlanks(p);
    const char* q = p;
    while (*q && !isBlank(*q))
        ++q;
    if (q == p)
        return false;
    out.assign(p, q);
    p = q;
    return true;
}

} // namespace

int kgiLineScan::scan(const char* text, const char* format, ...)
{
    if (!text || !format)
        return 0;
    va_list args;
    va_start(args, format);
    int stored = 0;
    const char* p = text;
    for (const char* f = format; *f; ++f) {
        if (isBlank(*f)) {
            skipBlanks(p);
            continue;
        }
        if (*f != '%' || f[1] == '%') {
            if (*f == '%')
                ++f;
            if (*p != *f)
                break;
            ++p;
            continue;
        }
        const char kind = *++f;
        if (!kind)
            break;
        bool ok = false;
        if (kind == 'd')
            ok = readNumber(p, *va_arg(args, int*));
        else if (kind == 'f')
            ok = readNumber(p, *va_arg(args, float*));
        else if (kind == 's')
            ok = readWord(p, *va_arg(args, std::string*));
        if (!ok)
            break;
        ++stored;
    }
    va_end(args);
    return stored;
}
