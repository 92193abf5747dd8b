// The locale at start-up: the toolkit takes every category from the
// environment, the program keeps only the character classes, so numbers and
// files read and write in the C notation whatever the user's language. Each
// case runs in a child process of its own (the locale and the environment
// are the process's).
#include "kgiSettings.h"
#include "platform/inputmethod.h"

#include "core/child_process_test.h"
#include "support/kgiTestEnv.h"

#include <gtest/gtest.h>

#include <fx.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool localesBuilt()
{
    return fs::exists(fs::path(KGI_IME_LOCALE_DIR) / "ja_JP.UTF-8" / "LC_CTYPE") &&
           fs::exists(fs::path(KGI_IME_LOCALE_DIR) / "de_DE.UTF-8" / "LC_NUMERIC");
}

#define REQUIRE_LOCALES()                                                                   \
    do {                                                                                    \
        if (!localesBuilt()) {                                                              \
            if (kgiTestEnvRequired()) FAIL() << "the test locales were not compiled";       \
            GTEST_SKIP() << "no test locales (localedef or the locale sources are missing)"; \
        }                                                                                   \
    } while (0)

struct Environment {
    const char* name;
    std::vector<std::pair<const char*, const char*>> variables;
    const char* characterLocale;  // LC_CTYPE afterwards
};

bool isC(int category)
{
    const char* name = std::setlocale(category, nullptr);
    return name && (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0);
}

// What the child does: the toolkit's start-up, then the program's, then a
// settings file with decimals read, and numbers written and read by the C
// library.
void startUpAndRead(const Environment& env, const std::string& settingsDir)
{
    for (const char* v : {"LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MESSAGES",
                          "LC_MONETARY", "LANG", "LANGUAGE"})
        unsetenv(v);
    setenv("LOCPATH", KGI_IME_LOCALE_DIR, 1);
    for (const auto& [name, value] : env.variables)
        setenv(name, value, 1);

    static int argc = 1;
    static char arg0[] = "Zodarovu0";
    static char* argv[] = {arg0, nullptr};
    FX::FXApp app("kgi_locale", "kgi");
    app.init(argc, argv, false);
    const std::string kept = platform::keepOnlyCharacterLocale();

    CHILD_CHECK(kept == env.characterLocale);
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    CHILD_CHECK(ctype != nullptr && kept == ctype);
    for (int category : {LC_NUMERIC, LC_TIME, LC_COLLATE, LC_MESSAGES, LC_MONETARY})
        CHILD_CHECK(isC(category));
    // Japanese text is multibyte text to the C library.
    if (std::strcmp(env.characterLocale, "C") != 0)
        CHILD_CHECK(MB_CUR_MAX > 1);

    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 0.5);
    CHILD_CHECK(std::strcmp(text, "0.50") == 0);
    CHILD_CHECK(std::strtod("0.25", nullptr) == 0.25);
    float scanned = 0.0f;
    CHILD_CHECK(std::sscanf("0.75", "%f", &scanned) == 1 && scanned == 0.75f);

    kgiSettings read;
    CHILD_CHECK(kgiSettingsFile::load(kgiSettingsFile::pathIn(settingsDir), read));
    CHILD_CHECK(read.gridColor[0] == 0.25f && read.gridColor[1] == 0.5f && read.gridColor[2] == 0.75f);
    CHILD_CHECK(read.colliColor[1] == 0.125f);
    CHILD_CHECK(read.cogAmbient[2] == 0.375f);
    CHILD_CHECK(read.keysMax == 321);
}

} // namespace

TEST(StartUpLocale, OnlyTheCharacterClassesComeFromTheEnvironment)
{
    REQUIRE_LOCALES();
    // In the test's working folder: the child, which runs the test again up
    // to its check, finds the same file there.
    const fs::path dir = fs::current_path() / "locale_settings";
    fs::create_directories(dir / "settings");
    std::ofstream(kgiSettingsFile::pathIn(dir.string()), std::ios::binary)
        << "language=1\nKeys_MAX=321\nRobot_COM_ID=1\nDrawNo=0\n"
           "Grid_Color=(0.250000,0.500000,0.750000)\n"
           "Colli_Color=(1.000000,0.125000,0.000000)\n"
           "CenterOfG_Color=D(0.900000,0.100000,0.100000),A(0.500000,0.000000,0.375000)\n"
           "AddBasePart=Body\n";

    const Environment cases[] = {
        {"Japanese", {{"LANG", "ja_JP.UTF-8"}}, "ja_JP.UTF-8"},
        // Numbers and times asked for in a language that writes a decimal comma.
        {"Japanese, German numbers and times",
         {{"LANG", "ja_JP.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}},
         "ja_JP.UTF-8"},
        {"German for everything", {{"LC_ALL", "de_DE.UTF-8"}}, "de_DE.UTF-8"},
        // A language that is not installed: the C locale, silently.
        {"not installed", {{"LANG", "xx_YY.UTF-8"}}, "C"},
    };
    for (const Environment& env : cases) {
        SCOPED_TRACE(env.name);
        const std::string settingsDir = dir.string();
        EXPECT_IN_CHILD([&] { startUpAndRead(env, settingsDir); });
    }
}
