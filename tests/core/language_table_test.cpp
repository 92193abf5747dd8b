#include "kgiApp.h"
#include "kgiLangKeys.h"
#include "kgiLanguageTable.h"
#include "kgiWorld.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace FX;

namespace {

// "ファイル" and "ヘルプ" in code page 932, and as the toolkit shows them.
const char FILE_CP932[] = "\x83\x74\x83\x40\x83\x43\x83\x8b";
const char HELP_CP932[] = "\x83\x77\x83\x8b\x83\x76";
const char FILE_UTF8[] = "\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab";
const char HELP_UTF8[] = "\xe3\x83\x98\xe3\x83\xab\xe3\x83\x97";

struct MatchCase {
    const char* name;
    const char* key;
    std::string line;
    bool matches;
    std::string text;  // the text it sets (UTF-8)
};

} // namespace

TEST(kgiLanguageTable, MatchLanguageKeyCases) {
    const std::string longText(300, 'x');
    const MatchCase cases[] = {
        {"plain", "File_New", "File_New=New", true, "New"},
        {"one blank before equals", "File_New", "File_New =New", true, "New"},
        {"a tab before equals", "File_New", "File_New\t=New", true, "New"},
        {"two blanks before equals", "File_New", "File_New  =New", false, ""},
        {"empty text", "File_New", "File_New=", true, ""},
        {"shorter key against longer line", "File", "File_New=New", false, ""},
        {"longer key against shorter line", "File_New", "File=File", false, ""},
        {"spaces kept", "File_New", "File_New=  New  ", true, "  New  "},
        {"one letter is not a blank", "Me_File_SaveCheck", "Me_File_SaveCheckT=Title", false, ""},
        {"the longer key itself", "Me_File_SaveCheckT", "Me_File_SaveCheckT=Title", true, "Title"},
        {"LF dropped", "File_New", "File_New=New\n", true, "New"},
        {"CR LF dropped", "File_New", "File_New=New\r\n", true, "New"},
        {"CR alone at the end dropped", "File_New", "File_New=New\r", true, "New"},
        {"equals inside the text kept", "File_New", "File_New=a=b", true, "a=b"},
        {"case matters", "File_New", "file_new=New", false, ""},
        {"long line whole", "File_New", "File_New=" + longText, true, longText},
        {"code page 932", "File", std::string("File=") + FILE_CP932, true, FILE_UTF8},
    };
    for (const MatchCase& c : cases) {
        FXString dest("before");
        const bool matched = kgiLanguageTable::matchLanguageKey(c.key, c.line, dest);
        EXPECT_EQ(matched, c.matches) << c.name;
        EXPECT_EQ(std::string(dest.text()), c.matches ? c.text : std::string("before")) << c.name;
    }
}

TEST(kgiLanguageTable, BytesThatAreNotCodePage932StillGiveAText) {
    // Lead bytes without their trail byte and bytes CP932 never uses.
    FXString dest;
    ASSERT_TRUE(kgiLanguageTable::matchLanguageKey("File", std::string("File=\x81\xff\xa0\x83", 9), dest));
    EXPECT_FALSE(dest.empty());
}

TEST(kgiLanguageTable, LastLineOfAKeyWinsAndAnUnknownKeyIsNone) {
    kgiLanguageTable table;
    std::istringstream in("File=One\nnot a key line\nFile=Two\r\nPose_Save=Save pose\n");
    table.read(in);
    EXPECT_TRUE(table.isLoaded());
    EXPECT_STREQ(table.find(kgiLangKey::File)->text(), "Two");
    // One line fills both the window's and the application's slot.
    EXPECT_STREQ(table.find(kgiLangKey::Pose_Save)->text(), "Save pose");
    int appSlot = -1;
    for (int i = 0; i < kgiLangKey::APP_KEY_COUNT; ++i)
        if (std::string(kgiLangKey::APP_KEYS[i]) == kgiLangKey::Pose_Save) appSlot = i;
    ASSERT_GE(appSlot, 0);
    EXPECT_STREQ(table.appText(appSlot).text(), "Save pose");
    EXPECT_EQ(table.find("No_Such_Key"), nullptr);
}

TEST(kgiLanguageTable, FilePathByLanguageNumber) {
    EXPECT_EQ(kgiLanguageTable::filePath("/b", 0), "/b/settings/lang_eng.txt");
    EXPECT_EQ(kgiLanguageTable::filePath("/b", 1), "/b/settings/lang_jap.txt");
    // The language number is the user's setting; any other reads English.
    EXPECT_EQ(kgiLanguageTable::filePath("/b", 7), "/b/settings/lang_eng.txt");
    EXPECT_EQ(kgiLanguageTable::effectiveLanguage(-1), kgiLanguageTable::ENGLISH);
}

namespace {

void writeFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// English, then a Japanese file without Help_About: the English text stays,
// and the application's texts follow the table.
void switchLanguages() {
    kgiAppRig rig;
    const auto settings = rig.base / "settings";
    writeFile(settings / "lang_eng.txt", "File=File\nHelp=Help\nHelp_About=About...\nMe_QuitCheck=Quit now?\n");
    writeFile(settings / "lang_jap.txt", std::string("File=") + FILE_CP932 + "\r\nHelp=" + HELP_CP932 + "\r\n");

    CHILD_CHECK(rig.app->languageText(kgiLangKey::Me_QuitCheck) == "Me_QuitCheck");
    rig.app->loadLanguage(0);
    CHILD_CHECK(rig.app->getSettings().language == 0);
    CHILD_CHECK(rig.app->languageText(kgiLangKey::Me_QuitCheck) == "Quit now?");
    CHILD_CHECK(kgiCharacterServices::current().text(kgiLangKey::Me_QuitCheck) == "Quit now?");
    rig.app->loadLanguage(1);
    CHILD_CHECK(rig.app->getSettings().language == 1);
    const kgiLanguageTable& table = rig.app->getLanguageTable();
    CHILD_CHECK(*table.find(kgiLangKey::File) == FILE_UTF8);
    CHILD_CHECK(*table.find(kgiLangKey::Help) == HELP_UTF8);
    CHILD_CHECK(*table.find(kgiLangKey::Help_About) == "About...");
    // A number the program does not know reads English and says so.
    rig.app->loadLanguage(5);
    CHILD_CHECK(rig.app->getSettings().language == 0);
    CHILD_CHECK(*table.find(kgiLangKey::File) == "File");
}

void missingLanguageFile() {
    kgiAppRig rig;
    rig.app->getSettings().language = 0;
    rig.app->loadLanguage(1);
    std::_Exit(0);  // not reached
}

} // namespace

TEST(kgiAppLanguage, SwitchKeepsTextsTheNewFileLacks) { EXPECT_IN_CHILD(switchLanguages); }

TEST(kgiAppLanguage, MissingFileEndsWithStatusOneAndNamesIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(missingLanguageFile(), ::testing::ExitedWithCode(1), "lang_jap\\.txt");
}

TEST(kgiAppLanguage, MissingFileSavesNoSettings) {
    const auto base = std::filesystem::temp_directory_path() / ("kgi_lang_missing_" + std::to_string(::getpid()));
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base / "settings");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            kgiWorld::instance();
            kgiApp app(base.string());
            app.loadLanguage(0);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(1), "lang_eng\\.txt");
    EXPECT_FALSE(std::filesystem::exists(base / "settings" / "settings.txt"));
    std::filesystem::remove_all(base);
}
