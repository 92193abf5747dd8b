#pragma once
// Text output of the document formats, and the number conversions of their
// readers. Numbers are always written and read in the C notation (a point
// as decimal separator, no grouping) whatever the user's locale: the files
// travel between machines, and the thread's locale must not change them.
#include "platform/files.h"

#include <string>

class kgiTextFile {
public:
    kgiTextFile() = default;
    ~kgiTextFile() = default;
    kgiTextFile(const kgiTextFile&) = delete;
    kgiTextFile& operator=(const kgiTextFile&) = delete;

    // Starts a new file that replaces `path` on commit(); false when the
    // temporary file cannot be created beside it.
    bool create(const char* path);

    // Appends text. Writing after a failure is harmless; commit() reports it.
    kgiTextFile& put(const char* text);
    kgiTextFile& put(const std::string& text) { return put(text.c_str()); }
    kgiTextFile& put(char c);
    // printf "%d".
    kgiTextFile& putInt(long long value);
    // printf "%f": six decimals, fixed notation.
    kgiTextFile& putFloat(double value);

    // Writes what is buffered and renames the file over its target. False
    // when anything failed; the previous file is then left untouched.
    bool commit();

    // Drops the new file; the previous one stays.
    void abandon();

    // atoi semantics without undefined behaviour: leading blanks and a sign,
    // the digits up to the first other character, 0 when there are none;
    // values beyond int are clamped.
    static int parseInt(const char* text);

    // atof semantics in the C notation, as a float: leading blanks, sign,
    // decimal digits, exponent, "inf" and "nan"; 0 when nothing converts.
    // Values beyond the float range become infinite (overflow) or zero
    // (underflow) instead of overflowing a conversion.
    static float parseFloat(const char* text);

    // printf "%f" of a value into `out` (appended).
    static void appendFloat(std::string& out, double value);

private:
    void flushBuffer();

    platform::ReplaceFile file;
    std::string buffer;
    bool failed = false;
};
