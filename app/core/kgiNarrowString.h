#pragma once
// A text held twice: as the toolkit's string (UTF-8) for widgets and as
// narrow bytes in code page 932 for files and the program's own strings.
// Set one side, then convert it to the other.
#include <fx.h>

#include <string>

class kgiNarrowString {
public:
    kgiNarrowString() = default;
    // Sets the narrow side and converts it to the toolkit side.
    explicit kgiNarrowString(const std::string& narrowText);
    // Sets the toolkit side and converts it to the narrow side.
    explicit kgiNarrowString(const FX::FXString& wideText);

    // wide = narrow, CP932 to UTF-8. Bytes that are not CP932 show as the
    // replacement character; an empty narrow text empties wide.
    void fromNarrow();
    // narrow = wide, UTF-8 to CP932. Characters CP932 lacks become '?'.
    void toNarrow();
    // narrow = wide when every character of wide has a CP932 form: true.
    // False, narrow untouched, when one has none: a name typed into a widget
    // is stored whole or not at all, never with '?' in place of a character.
    bool toNarrowExact();

    void setNarrow(const std::string& text) { narrow = text; }
    void setWide(const FX::FXString& text) { wide = text; }
    const std::string& getNarrow() const { return narrow; }
    const FX::FXString& getWide() const { return wide; }

    // One-way shortcuts for the common case.
    static FX::FXString toWideText(const std::string& narrowText);
    static std::string toNarrowText(const FX::FXString& wideText);
    // toNarrowExact for one text: true and narrowText set, or false with
    // narrowText untouched.
    static bool toNarrowTextExact(const FX::FXString& wideText, std::string& narrowText);

private:
    FX::FXString wide;
    std::string narrow;
};
