// The build's converter of the language files: a line that would not read
// back as written fails with the file, line and character; a good file
// converts, and a failed one writes nothing.
#include "kgiLangConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name)
{
    fs::path dir = fs::path(KGI_TEST_TMP) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void writeFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(LangConvert, LineThatDoesNotReadBackFailsNamingFileLineAndCharacter)
{
    struct Case {
        const char* what;
        const char* secondLine;
        const char* expected;  // after "<file>:"
    };
    const Case cases[] = {
        {"no code page 932 form", "B=caf\xC3\xA9", "2:6: character U+00E9"},
        {"wave dash, reads back as fullwidth tilde", "B=1\xE3\x80\x9C" "2", "2:4: character U+301C"},
        {"minus sign, reads back as fullwidth hyphen-minus", "B=\xE2\x88\x92" "1", "2:3: character U+2212"},
        {"not UTF-8", "B=\xFF", "2:3: byte 0xFF is not UTF-8"},
    };
    const fs::path dir = scratch("bad");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path from = dir / "fixture.txt";
        const fs::path to = dir / "out" / "fixture.txt";
        writeFile(from, std::string("A=\xE3\x81\x82\n") + c.secondLine + "\nC=c\n");
        std::string error;
        EXPECT_FALSE(kgiConvertLanguageFile(from.string(), to.string(), error));
        EXPECT_NE(error.find(from.string() + ":" + c.expected), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(to)) << "a failed conversion wrote its target";
    }
}

TEST(LangConvert, GoodFileConvertsToCodePage932)
{
    const fs::path dir = scratch("good");
    const fs::path from = dir / "fixture.txt";
    const fs::path to = dir / "settings" / "fixture.txt";
    // Hiragana, the fullwidth tilde and hyphen-minus that survive, a
    // backslash and plain ASCII.
    writeFile(from, "A=\xE3\x81\x82\nB=\xEF\xBD\x9E\xEF\xBC\x8D\nC=: \\ / ?\n");
    std::string error;
    ASSERT_TRUE(kgiConvertLanguageFile(from.string(), to.string(), error)) << error;
    EXPECT_EQ(readAll(to), "A=\x82\xA0\nB=\x81\x60\x81\x7C\nC=: \\ / ?\n");
}

TEST(LangConvert, MissingSourceFailsWithoutWriting)
{
    const fs::path dir = scratch("missing");
    std::string error;
    EXPECT_FALSE(kgiConvertLanguageFile((dir / "none.txt").string(), (dir / "out.txt").string(), error));
    EXPECT_NE(error.find("none.txt"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
}
