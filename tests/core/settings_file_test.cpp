#include "kgiSettings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

kgiSettings sample() {
    kgiSettings s;
    s.language = 0;
    s.keysMax = 321;
    s.robotComId = 7;
    s.drawNo = 1;
    const float grid[3] = {0.25f, 0.5f, 0.75f};
    const float colli[3] = {1.0f, 0.125f, 0.0f};
    for (int c = 0; c < 3; ++c) {
        s.gridColor[c] = grid[c];
        s.colliColor[c] = colli[c];
        s.cogDiffuse[c] = 0.1f * static_cast<float>(c + 1);
        s.cogAmbient[c] = 0.2f * static_cast<float>(c + 1);
    }
    s.addBasePart = "RAnkle2";
    return s;
}

void expectSame(const kgiSettings& a, const kgiSettings& b) {
    EXPECT_EQ(a.language, b.language);
    EXPECT_EQ(a.keysMax, b.keysMax);
    EXPECT_EQ(a.robotComId, b.robotComId);
    EXPECT_EQ(a.drawNo, b.drawNo);
    for (int c = 0; c < 3; ++c) {
        // Six decimals are written, so a read gives the value to 1e-6.
        EXPECT_NEAR(a.gridColor[c], b.gridColor[c], 1e-6);
        EXPECT_NEAR(a.colliColor[c], b.colliColor[c], 1e-6);
        EXPECT_NEAR(a.cogDiffuse[c], b.cogDiffuse[c], 1e-6);
        EXPECT_NEAR(a.cogAmbient[c], b.cogAmbient[c], 1e-6);
    }
    EXPECT_EQ(a.addBasePart, b.addBasePart);
}

TEST(SettingsFile, WritesTheEightLinesInOrder) {
    EXPECT_EQ(kgiSettingsFile::format(sample()),
              "language=0\n"
              "Keys_MAX=321\n"
              "Robot_COM_ID=7\n"
              "DrawNo=1\n"
              "Grid_Color=(0.250000,0.500000,0.750000)\n"
              "Colli_Color=(1.000000,0.125000,0.000000)\n"
              "CenterOfG_Color=D(0.100000,0.200000,0.300000),A(0.200000,0.400000,0.600000)\n"
              "AddBasePart=RAnkle2\n");
}

TEST(SettingsFile, SavedFileReadsBackTheSameRecord) {
    const auto dir = std::filesystem::temp_directory_path() / "kgi_settings_roundtrip";
    std::filesystem::create_directories(dir / "settings");
    const std::string path = kgiSettingsFile::pathIn(dir.string());
    const kgiSettings written = sample();
    ASSERT_TRUE(kgiSettingsFile::save(path, written));
    kgiSettings read;
    read.collisionDetail = true;
    ASSERT_TRUE(kgiSettingsFile::load(path, read));
    expectSame(read, written);
    EXPECT_FALSE(read.collisionDetail);
    std::filesystem::remove_all(dir);
}

TEST(SettingsFile, NumbersUseADecimalPointWhateverTheLocale) {
    // A decimal-comma locale may not be installed; then this checks the C
    // locale only.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::string text = kgiSettingsFile::format(sample());
    kgiSettings read;
    kgiSettingsFile::parse(text, read);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_NE(text.find("Grid_Color=(0.250000,"), std::string::npos);
    expectSame(read, sample());
}

TEST(SettingsFile, MissingFileSetsOnlyTheLanguage) {
    kgiSettings s = sample();
    s.collisionDetail = true;
    EXPECT_FALSE(kgiSettingsFile::load("/nonexistent/settings/settings.txt", s));
    kgiSettings expected = sample();
    expected.language = 1;
    expectSame(s, expected);
    EXPECT_FALSE(s.collisionDetail);
}

TEST(SettingsFile, LinesAreReadAsTheirPatternsAllow) {
    struct Case {
        const char* name;
        const char* text;
        void (*change)(kgiSettings&);  // what the text does to sample()
    };
    const Case cases[] = {
        {"only the language", "language=0\n", [](kgiSettings& s) { s.language = 0; }},
        {"empty file gives Japanese", "", [](kgiSettings& s) { s.language = 1; }},
        {"later line wins", "language=1\nKeys_MAX=5\nKeys_MAX=9\n",
         [](kgiSettings& s) { s.language = 1; s.keysMax = 9; }},
        {"CR LF endings", "language=0\r\nAddBasePart=Body\r\nDrawNo=0\r\n",
         [](kgiSettings& s) { s.addBasePart = "Body"; s.drawNo = 0; }},
        {"unknown and malformed lines skipped", "# note\nKeys_MAX=\nDrawNo=x\nlanguage=0\n",
         [](kgiSettings&) {}},
        {"partial triple changes nothing", "language=0\nGrid_Color=(0.1,0.2,oops)\n",
         [](kgiSettings&) {}},
        {"partial six-value line changes nothing",
         "language=0\nCenterOfG_Color=D(0.1,0.2,0.3),A(0.4,0.5)\n", [](kgiSettings&) {}},
        {"missing closing bracket still counts", "language=0\nColli_Color=(0.1,0.2,0.3\n",
         [](kgiSettings& s) { s.colliColor[0] = 0.1f; s.colliColor[1] = 0.2f; s.colliColor[2] = 0.3f; }},
        {"out-of-range number refused", "language=0\nKeys_MAX=99999999999\n", [](kgiSettings&) {}},
        {"23-character base part kept whole", "language=0\nAddBasePart=ABCDEFGHIJKLMNOPQRSTUVW\n",
         [](kgiSettings& s) { s.addBasePart = "ABCDEFGHIJKLMNOPQRSTUVW"; }},
        {"24-character base part refused", "language=0\nAddBasePart=ABCDEFGHIJKLMNOPQRSTUVWX\n",
         [](kgiSettings&) {}},
        {"non-finite colour refused", "language=0\nColli_Color=(inf,0,0)\n", [](kgiSettings&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kgiSettings read = sample();
        kgiSettingsFile::parse(c.text, read);
        kgiSettings expected = sample();
        c.change(expected);
        expectSame(read, expected);
    }
}

TEST(SettingsFile, ReadingStopsAfterEightMatches) {
    kgiSettings first = sample();
    first.keysMax = 11;
    kgiSettings second = sample();
    second.keysMax = 22;
    second.language = 1;
    kgiSettings read;
    kgiSettingsFile::parse(kgiSettingsFile::format(first) + kgiSettingsFile::format(second), read);
    expectSame(read, first);
}

TEST(SettingsFile, FailedWriteKeepsThePreviousFile) {
    const auto dir = std::filesystem::temp_directory_path() / "kgi_settings_nofolder";
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(kgiSettingsFile::save(kgiSettingsFile::pathIn(dir.string()), sample()));
    EXPECT_FALSE(std::filesystem::exists(dir));
}

} // namespace
