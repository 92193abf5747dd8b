#pragma once
// Text conversion between the 16-bit wide strings that files store and the
// UTF-8 that the Linux file system and terminals take.
#include <string>

namespace platform {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(const std::u16string& text);

// UTF-8 to UTF-16. A malformed byte sequence becomes U+FFFD.
std::u16string utf8ToUtf16(const std::string& text);

} // namespace platform
