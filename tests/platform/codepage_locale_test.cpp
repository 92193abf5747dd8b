// The program's diagnostics in the terminal's encoding: CP932 text to the
// locale's character set, taken at the time of writing.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// "日本語あ" and a circled one, which only the Windows code page holds.
const std::string JAPANESE = "\x93\xFA\x96\x7B\x8C\xEA\x82\xA0";
const std::string JAPANESE_UTF8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\x82";
const std::string CIRCLED_ONE = "\x87\x40";

TEST(CodePageLocale, ConvertsToTheNamedCharacterSetMarkingWhatItCannotHold)
{
    struct Case {
        const char* codeset;
        std::string in;
        std::string out;
    } cases[] = {
        {"UTF-8", "speed=3 " + JAPANESE, "speed=3 " + JAPANESE_UTF8},
        {"EUC-JP", "a" + JAPANESE + "b", "a\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xA2" "b"},
        // Marked once per character, not once per byte.
        {"EUC-JP", "(" + CIRCLED_ONE + ")", "(?)"},
        {"ANSI_X3.4-1968", "Step " + JAPANESE, "Step ????"},
        // A set iconv does not know: UTF-8 rather than nothing.
        {"NO-SUCH-SET", JAPANESE, JAPANESE_UTF8},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::cp932ToCodeset(c.in, c.codeset), c.out) << c.codeset;
}

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override { saved = std::setlocale(LC_CTYPE, nullptr); }
    void TearDown() override { std::setlocale(LC_CTYPE, saved.c_str()); }
    std::string saved;
};

TEST_F(LocaleTest, TheDiagnosticsWriterFollowsTheLocaleAndWritesUtf8ForPlainC)
{
    // Debian's images always have these two; the plain C locale's ASCII would
    // turn every Japanese character into "?".
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        ASSERT_NE(std::setlocale(LC_CTYPE, locale), nullptr);
        EXPECT_EQ(platform::cp932ToLocale(JAPANESE), JAPANESE_UTF8);
        testing::internal::CaptureStderr();
        platform::printDiagnostic("%s: %d %s\n", JAPANESE.c_str(), 7, "%s");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), JAPANESE_UTF8 + ": 7 %s\n");
    }
}

} // namespace
