// The language files the build writes into its data folder, checked against
// the key list: every key has exactly one text, the texts are safe for the
// toolkit and the reader, the Japanese file reads back as its UTF-8 source,
// and the help page each file names is there.
#include "kgiLangKeys.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path DATA = KGI_DATA_DIR;
const fs::path SOURCES = KGI_LANG_SOURCE_DIR;

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    EXPECT_TRUE(in) << p << " cannot be read";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines without their line feed; a last line without one is kept as well.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The 168 entries of the key table in the order the reader tries them.
std::vector<const char*> tableEntries()
{
    std::vector<const char*> keys(std::begin(kgiLangKey::WINDOW_KEYS), std::end(kgiLangKey::WINDOW_KEYS));
    keys.insert(keys.end(), std::begin(kgiLangKey::APP_KEYS), std::end(kgiLangKey::APP_KEYS));
    return keys;
}

std::set<std::string> distinctKeys()
{
    std::vector<const char*> entries = tableEntries();
    return std::set<std::string>(entries.begin(), entries.end());
}

// Text by key, splitting each line at its first equals sign.
std::map<std::string, std::string> exactTexts(const std::vector<std::string>& lines)
{
    std::map<std::string, std::string> texts;
    for (const std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            texts[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return texts;
}

// The program's own reader: a line gives a key when it starts with the key
// and its first equals sign stands right after the key or one character
// later; every entry of the table is tried against every line, and the last
// line that matches wins.
std::map<std::string, std::string> looseTexts(const std::vector<std::string>& lines)
{
    std::map<std::string, std::string> texts;
    for (const std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        for (const char* key : tableEntries()) {
            const size_t n = std::char_traits<char>::length(key);
            if (line.compare(0, n, key) == 0 && (eq == n || eq == n + 1))
                texts[key] = line.substr(eq + 1);
        }
    }
    return texts;
}

// Code points of a UTF-8 text (well formed: the converter checked it).
std::vector<unsigned long> codePoints(const std::string& utf8)
{
    std::vector<unsigned long> out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned long cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < n && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

bool holdsJapanese(const std::string& utf8)
{
    for (unsigned long cp : codePoints(utf8)) {
        if ((cp >= 0x3040 && cp <= 0x30FF) ||  // hiragana and katakana
            (cp >= 0x4E00 && cp <= 0x9FFF))    // kanji
            return true;
    }
    return false;
}

struct LanguageFile {
    const char* name;
    bool japanese;
};
const LanguageFile FILES[] = {{"lang_eng.txt", false}, {"lang_jap.txt", true}};

} // namespace

TEST(LangKeys, ListsEachKeyOnceExceptTheTwoPoseFileKeys)
{
    std::set<std::string> window(std::begin(kgiLangKey::WINDOW_KEYS), std::end(kgiLangKey::WINDOW_KEYS));
    std::set<std::string> app(std::begin(kgiLangKey::APP_KEYS), std::end(kgiLangKey::APP_KEYS));
    EXPECT_EQ(window.size(), std::size(kgiLangKey::WINDOW_KEYS)) << "a key stands twice in the window list";
    EXPECT_EQ(app.size(), std::size(kgiLangKey::APP_KEYS)) << "a key stands twice in the application list";

    std::set<std::string> both;
    for (const std::string& k : window)
        if (app.count(k))
            both.insert(k);
    EXPECT_EQ(both, (std::set<std::string>{kgiLangKey::Pose_Save, kgiLangKey::Pose_Load}));
    EXPECT_STREQ(kgiLangKey::Frame_Derete, "Frame_Derete");
}

TEST(LangFiles, GiveEveryKeyExactlyOneNonEmptyText)
{
    const std::set<std::string> keys = distinctKeys();
    for (const LanguageFile& f : FILES) {
        SCOPED_TRACE(f.name);
        std::map<std::string, int> seen;
        for (const std::string& line : splitLines(readAll(DATA / "settings" / f.name))) {
            size_t eq = line.find('=');
            if (eq == std::string::npos) {
                ADD_FAILURE() << "line without '=': " << line;
                continue;
            }
            const std::string key = line.substr(0, eq);
            EXPECT_TRUE(keys.count(key)) << "key outside the list: " << key;
            EXPECT_GT(line.size(), eq + 1) << "empty text for " << key;
            ++seen[key];
        }
        for (const std::string& key : keys)
            EXPECT_EQ(seen[key], 1) << key;
    }
}

TEST(LangFiles, LinesAreSafeForTheReaderAndTheToolkit)
{
    for (const LanguageFile& f : FILES) {
        SCOPED_TRACE(f.name);
        const std::string bytes = readAll(DATA / "settings" / f.name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), '\n') << "the last line lacks its line feed";
        for (const std::string& line : splitLines(bytes)) {
            // The reader takes at most 255 bytes a line, its line feed included.
            EXPECT_LE(line.size() + 1, 255u) << line;
            // The toolkit reads '&' as a hot-key marker and a tab as the start
            // of an accelerator; a CR would end up in the text.
            EXPECT_EQ(line.find_first_of("&\t\r"), std::string::npos) << line;
        }
    }
}

TEST(LangFiles, LooseKeyMatchGivesEveryKeyTheSameTextAsAnExactMatch)
{
    // Me_File_SaveCheck also takes a Me_File_SaveCheckT line under the loose
    // match, so the files must give Me_File_SaveCheckT first.
    for (const LanguageFile& f : FILES) {
        SCOPED_TRACE(f.name);
        const std::vector<std::string> lines = splitLines(readAll(DATA / "settings" / f.name));
        auto loose = looseTexts(lines);
        auto exact = exactTexts(lines);
        for (const std::string& key : distinctKeys())
            EXPECT_EQ(loose[key], exact[key]) << key;
    }
}

TEST(LangFiles, ReadBackAsTheirUtf8Sources)
{
    for (const LanguageFile& f : FILES) {
        SCOPED_TRACE(f.name);
        const std::string built = readAll(DATA / "settings" / f.name);
        const std::string source = readAll(SOURCES / f.name);
        EXPECT_EQ(platform::cp932ToUtf8(built), source);
        if (!f.japanese) {
            EXPECT_EQ(built, source);
            for (unsigned char c : built)
                ASSERT_LT(c, 0x80u) << "the English file is not ASCII";
        }
    }
}

TEST(LangFiles, EveryJapaneseTextIsInJapanese)
{
    // Texts that are not words: the help page's path.
    const std::set<std::string> notWords = {kgiLangKey::HelpFileName};
    const auto texts = exactTexts(splitLines(readAll(SOURCES / "lang_jap.txt")));
    for (const auto& [key, text] : texts) {
        if (!notWords.count(key)) {
            EXPECT_TRUE(holdsJapanese(text)) << key << "=" << text;
        }
    }
}

TEST(LangFiles, EachNamesItsOwnHelpPageThatTheBuildStaged)
{
    std::set<std::string> pages;
    for (const LanguageFile& f : FILES) {
        SCOPED_TRACE(f.name);
        const auto texts = exactTexts(splitLines(readAll(DATA / "settings" / f.name)));
        const std::string page = texts.count(kgiLangKey::HelpFileName) ? texts.at(kgiLangKey::HelpFileName) : "";
        ASSERT_FALSE(page.empty());
        // A path relative to the base directory, written with '/', that the
        // program can use as it stands.
        EXPECT_NE(page.front(), '/');
        EXPECT_EQ(page.find_first_of("\\ "), std::string::npos) << page;
        EXPECT_EQ(page.find(".."), std::string::npos) << page;
        EXPECT_TRUE(fs::is_regular_file(DATA / page)) << page;
        pages.insert(page);
    }
    EXPECT_EQ(pages.size(), std::size(FILES)) << "the languages share a help page";
}
