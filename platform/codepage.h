#pragma once
// Conversion between the Japanese Windows code page (932) that files and the
// program's own strings hold and the UTF-8 that the GUI toolkit and the
// speech synthesiser take.
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

} // namespace platform
