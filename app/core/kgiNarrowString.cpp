#include "kgiNarrowString.h"

#include "platform/codepage.h"

kgiNarrowString::kgiNarrowString(const std::string& narrowText) : narrow(narrowText) {
    fromNarrow();
}

kgiNarrowString::kgiNarrowString(const FX::FXString& wideText) : wide(wideText) {
    toNarrow();
}

void kgiNarrowString::fromNarrow() {
    const std::string utf8 = platform::cp932ToUtf8(narrow);
    wide.assign(utf8.data(), static_cast<FX::FXint>(utf8.size()));
}

void kgiNarrowString::toNarrow() {
    const std::string utf8(wide.text(), static_cast<std::size_t>(wide.length()));
    narrow = platform::utf8ToCp932(utf8);
}

bool kgiNarrowString::toNarrowExact() {
    const std::string utf8(wide.text(), static_cast<std::size_t>(wide.length()));
    return platform::utf8ToCp932Exact(utf8, narrow);
}

FX::FXString kgiNarrowString::toWideText(const std::string& narrowText) {
    return kgiNarrowString(narrowText).getWide();
}

std::string kgiNarrowString::toNarrowText(const FX::FXString& wideText) {
    return kgiNarrowString(wideText).getNarrow();
}

bool kgiNarrowString::toNarrowTextExact(const FX::FXString& wideText, std::string& narrowText) {
    kgiNarrowString s;
    s.setWide(wideText);
    if (!s.toNarrowExact()) return false;
    narrowText = s.getNarrow();
    return true;
}
