#pragma once
// Conversion between the Japanese Windows code page (932) that files and the
// program's own strings hold and the UTF-8 that the GUI toolkit and the
// speech synthesiser take, or the locale's encoding that a terminal shows.
#include <string>

namespace platform {

// CP932 bytes to UTF-8. A byte sequence that is not CP932 becomes U+FFFD and
// the conversion goes on after it, so a damaged text still shows its rest.
std::string cp932ToUtf8(const std::string& text);

// UTF-8 to CP932 bytes. A character CP932 cannot hold, or a malformed UTF-8
// sequence, becomes '?'.
std::string utf8ToCp932(const std::string& text);

// UTF-8 to CP932 bytes when every character has a CP932 form: true and out
// set. False, out untouched, for a text holding a character CP932 cannot
// hold or a malformed UTF-8 sequence.
bool utf8ToCp932Exact(const std::string& text, std::string& out);

// CP932 bytes to the character set `codeset` names (an iconv name, as
// nl_langinfo(CODESET) gives it). A character the set cannot hold, or a
// byte sequence that is not CP932, becomes '?'; an unknown set gives UTF-8.
std::string cp932ToCodeset(const std::string& text, const std::string& codeset);

// CP932 bytes to the encoding of the current locale (LC_CTYPE as it stands
// at the call, so a locale the program sets later is followed): its
// codeset, or UTF-8 when the locale is the plain C/POSIX one, whose ASCII
// would lose every Japanese character.
std::string cp932ToLocale(const std::string& text);

// The program's diagnostics writer: formats like printf, reads the result as
// CP932 (the program's own strings: language and lesson texts, names) and
// writes it to standard error in the locale's encoding, so Japanese reads
// in a terminal. Add the line end to the format.
void printDiagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace platform
