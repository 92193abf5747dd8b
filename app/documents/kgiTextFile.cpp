#include "kgiTextFile.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Bytes gathered before one fwrite: lines of a motion file are short and
// many, so the writer formats into memory and hands the stream big blocks.
const size_t FLUSH_SIZE = 1 << 16;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Steps over leading blanks and one sign, as atoi and atof do; true for "-".
bool skipBlanksAndSign(const char*& text)
{
    while (isBlank(*text))
        ++text;
    if (*text != '+' && *text != '-')
        return false;
    return *text++ == '-';
}

// After an out-of-range double conversion: does the text stand for a value
// too large (true) or too small (false)? The exponent's sign decides; without
// an exponent only a non-zero integer part can be too large.
bool overflows(const char* p, const char* end)
{
    for (const char* q = p; q < end; ++q)
        if (*q == 'e' || *q == 'E')
            return !(q + 1 < end && q[1] == '-');
    for (; p < end && *p != '.'; ++p)
        if (*p >= '1' && *p <= '9')
            return true;
    return false;
}

// A plain decimal ("0.939693", as every writer of the program puts a
// number out) converted without the general conversion, which costs several
// times more and dominates the reading of a long motion. A mantissa of at
// most 2^24 and a power of ten up to 10^10 are both exact in float, so the
// one division rounds exactly as the full conversion does. False (out
// untouched) for any other form: an exponent, more digits, no leading digit.
bool parsePlainDecimal(const char* p, float& out)
{
    static const float POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                          1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const unsigned long EXACT_MANTISSA = 1ul << 24;
    const char* start = p;
    unsigned long mantissa = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        mantissa = mantissa * 10 + static_cast<unsigned long>(*p - '0');
        if (mantissa > EXACT_MANTISSA)
            return false;
    }
    if (p == start)
        return false;
    int decimals = 0;
    if (*p == '.') {
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            mantissa = mantissa * 10 + static_cast<unsigned long>(*p - '0');
            if (mantissa > EXACT_MANTISSA || ++decimals > 10)
                return false;
        }
    }
    if (*p == 'e' || *p == 'E')
        return false;
    out = static_cast<float>(mantissa) / POWERS_OF_TEN[decimals];
    return true;
}

} // namespace

bool kgiTextFile::create(const char* path)
{
    abandon();
    failed = false;
    if (!path || !*path)
        return false;
    return file.open(path);
}

void kgiTextFile::flushBuffer()
{
    if (buffer.empty())
        return;
    if (!failed && (!file.stream()
                    || std::fwrite(buffer.data(), 1, buffer.size(), file.stream()) != buffer.size()))
        failed = true;
    buffer.clear();
}

kgiTextFile& kgiTextFile::put(const char* text)
{
    if (text)
        buffer += text;
    if (buffer.size() >= FLUSH_SIZE)
        flushBuffer();
    return *this;
}

kgiTextFile& kgiTextFile::put(char c)
{
    buffer += c;
    if (buffer.size() >= FLUSH_SIZE)
        flushBuffer();
    return *this;
}

kgiTextFile& kgiTextFile::putInt(long long value)
{
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, value);
    buffer.append(text, r.ptr);
    if (buffer.size() >= FLUSH_SIZE)
        flushBuffer();
    return *this;
}

kgiTextFile& kgiTextFile::putFloat(double value)
{
    appendFloat(buffer, value);
    if (buffer.size() >= FLUSH_SIZE)
        flushBuffer();
    return *this;
}

bool kgiTextFile::finish()
{
    flushBuffer();
    if (failed || !file.finish()) {
        abandon();
        return false;
    }
    return true;
}

bool kgiTextFile::commit()
{
    return finish() && file.commit();
}

void kgiTextFile::abandon()
{
    buffer.clear();
    file.abandon();
}

int kgiTextFile::parseInt(const char* text)
{
    if (!text)
        return 0;
    const bool negative = skipBlanksAndSign(text);
    unsigned long long magnitude = 0;
    const auto r = std::from_chars(text, text + std::strlen(text), magnitude);
    if (r.ptr == text)
        return 0;
    if (r.ec == std::errc::result_out_of_range)
        magnitude = ULLONG_MAX;
    if (negative)
        return magnitude >= static_cast<unsigned long long>(INT_MAX) + 1
                   ? INT_MIN
                   : -static_cast<int>(magnitude);
    return magnitude > static_cast<unsigned long long>(INT_MAX) ? INT_MAX
                                                                : static_cast<int>(magnitude);
}

float kgiTextFile::parseFloat(const char* text)
{
    if (!text)
        return 0.0f;
    const bool negative = skipBlanksAndSign(text);
    // A second sign ("--1") converts to nothing, as with atof.
    if (*text == '+' || *text == '-')
        return 0.0f;
    float value = 0.0f;
    if (parsePlainDecimal(text, value))
        return negative ? -value : value;
    const char* end = text + std::strlen(text);
    const auto r = std::from_chars(text, end, value);
    if (r.ptr == text)
        return 0.0f;
    if (r.ec == std::errc::result_out_of_range)
        value = overflows(text, r.ptr) ? std::numeric_limits<float>::infinity() : 0.0f;
    return negative ? -value : value;
}

void kgiTextFile::appendFloat(std::string& out, double value)
{
    // "%f" of the largest double needs 309 digits before the point.
    char text[400];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    out.append(text, r.ptr);
}
