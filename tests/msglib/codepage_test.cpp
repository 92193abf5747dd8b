#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip {
    const char* what;
    std::string cp932;
    std::string utf8;
};

// Characters where the Windows code page differs from plain Shift_JIS
// (wave dash, circled digits) prove the right table is in use.
const RoundTrip ROUND_TRIPS[] = {
    {"empty", "", ""},
    {"ASCII with controls", "Step 1:\r\n\tpress \"OK\"", "Step 1:\r\n\tpress \"OK\""},
    {"kanji and kana", "\x93\xFA\x96\x7B\x8C\xEA\x82\xA0", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\x82"},
    {"half-width katakana", "\xB1\xDD", "\xEF\xBD\xB1\xEF\xBE\x9D"},
    {"wave dash", "\x81\x60", "\xEF\xBD\x9E"},
    {"circled digit one", "\x87\x40", "\xE2\x91\xA0"},
    {"trail byte that is ASCII", "\x83\x5C", "\xE3\x82\xBD"},
};

TEST(CodePage, ConvertsBothWays)
{
    for (const RoundTrip& c : ROUND_TRIPS) {
        EXPECT_EQ(platform::cp932ToUtf8(c.cp932), c.utf8) << c.what;
        EXPECT_EQ(platform::utf8ToCp932(c.utf8), c.cp932) << c.what;
    }
}

TEST(CodePage, MarksWhatCannotConvertAndKeepsTheRest)
{
    struct Case {
        const char* what;
        std::string in;
        std::string out;
        bool toUtf8;
    };
    const std::string FFFD = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"lead byte cut off at the end", "ab\x82", "ab" + FFFD, true},
        {"lead byte before an invalid trail", "a\x82\x20" "b", "a" + FFFD + " b", true},
        {"byte outside the code page", "x\xA0y", "x" + FFFD + "y", true},
        {"character outside the code page", "a\xF0\x9F\x98\x80" "b", "a?b", false},
        {"malformed sequence", "a\xC3(b", "a?(b", false},
        {"UTF-8 cut off at the end", "ab\xE3\x81", "ab?", false},
    };
    for (const Case& c : cases) {
        std::string got = c.toUtf8 ? platform::cp932ToUtf8(c.in) : platform::utf8ToCp932(c.in);
        EXPECT_EQ(got, c.out) << c.what;
    }
}

} // namespace
