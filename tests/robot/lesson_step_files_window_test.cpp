// The shipped step files in the real message window: every line fits the
// window in the plug-in's own font, and lesson 1 opens with its first page
// whole in both languages. The pictures of those pages are kept beside the
// test's output (lesson1_page0_en.ppm, lesson1_page0_ja.ppm).
#include "kgiLessonManager.h"
#include "kgiMsgDlg.h"
#include "kgiMsgWindowHost.h"

#include "platform/codepage.h"
#include "support/fox/kgiFoxTestApp.h"
#include "support/fox/kgiScreenShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace FX;

namespace {

const std::string DATA_DIR = KGI_DATA_DIR;
const int MODES[] = {1, 2, 3, 4, 5, 6, 7, 9};

kgiLessonTexts readShipped(int language, int mode)
{
    kgiLessonTexts texts;
    EXPECT_TRUE(texts.readFile(kgiLessonManager::stepFilePath(DATA_DIR, "DORUZAVO_1", language, mode),
                               language == 0));
    return texts;
}

bool dark(kgiRgb p)
{
    return p.r + p.g + p.b < 300;
}

class LessonStepFilesScreen : public ::testing::Test {
protected:
    FXApp* app = nullptr;
    std::string previous;
    std::filesystem::path base;

    void SetUp() override
    {
        app = kgiSharedFoxApp();
        if (!app)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        previous = std::filesystem::current_path().string();
        base = std::filesystem::current_path() / "lesson_base";
        std::filesystem::create_directories(base / "settings");
    }
    void TearDown() override
    {
        if (!previous.empty())
            std::filesystem::current_path(previous);
    }
    // The plug-in picks its voice from the first line of the settings file
    // where the program runs.
    void runInLanguage(int language)
    {
        std::ofstream(base / "settings" / "settings.txt", std::ios::binary)
            << "language=" << language << "\n";
        std::filesystem::current_path(base);
    }
};

} // namespace

TEST_F(LessonStepFilesScreen, EveryLineFitsTheWindowInThePlugInsFont)
{
    std::unique_ptr<FXFont> font(kgi::kgiMsgDlg::createTextFont(app));
    for (int language : {0, 1})
        for (int mode : MODES) {
            const kgiLessonTexts texts = readShipped(language, mode);
            for (int bank = 0; bank < kgiLessonTexts::BANKS; ++bank)
                for (int page = 0; page < kgiLessonTexts::PAGES; ++page)
                    for (int step = 0; step < kgiLessonTexts::STEPS; ++step) {
                        std::istringstream lines(platform::cp932ToUtf8(texts.get(bank, 0, page, step)));
                        std::string line;
                        while (std::getline(lines, line))
                            EXPECT_LE(font->getTextWidth(line.c_str(), FXint(line.size())),
                                      int(kgiMsgWindowHost::WINDOW_WIDTH))
                                << "language " << language << " lesson " << mode << " step " << step
                                << ": " << line;
                    }
        }
}

TEST_F(LessonStepFilesScreen, LessonOneOpensWithItsFirstPageWholeInBothLanguages)
{
    const int x = kgiLessonManager::MESSAGE_X, y = kgiLessonManager::MESSAGE_Y_UPPER;
    const kgiRgb paleYellow{255, 255, 204};
    for (int language : {0, 1}) {
        const kgiLessonTexts texts = readShipped(language, 1);
        const std::string& page = texts.get(0, 0, 0, 0);
        const int lines = int(std::count(page.begin(), page.end(), '\n'));
        ASSERT_GE(lines, 1);
        const int width = kgiMsgWindowHost::WINDOW_WIDTH + 4;
        const int height = kgiMsgWindowHost::windowHeight(page.c_str());
        ASSERT_EQ(height, lines * kgiMsgWindowHost::LINE_HEIGHT + kgiMsgWindowHost::EXTRA_HEIGHT);

        runInLanguage(language);
        {
            kgiMsgWindowHost host;
            ASSERT_TRUE(host.isBound());
            host.showText(page, texts.get(0, 1, 0, 0), x, y, 0);
            auto everyLine = [&](const kgiScreenShot& s) {
                for (int l = 0; l < lines; ++l)
                    if (s.count(0, l * kgiMsgWindowHost::LINE_HEIGHT, width, kgiMsgWindowHost::LINE_HEIGHT,
                                dark) == 0)
                        return false;
                return s.at(width - 1, height - 1) == paleYellow;
            };
            kgiScreenShot shown = kgiScreenShot::settle(app, x, y, width, height, everyLine);
            shown.save(previous + (language == 0 ? "/lesson1_page0_en.ppm" : "/lesson1_page0_ja.ppm"));
            EXPECT_TRUE(everyLine(shown)) << "language " << language;
            // Nothing runs into the right edge.
            EXPECT_EQ(shown.count(width - 8, 0, 8, height, dark), 0) << "language " << language;
            // The page would stand while its speech lasts (its reading time
            // without a sound device); the picture is all this test wants.
            host.hideWindow();
            EXPECT_FALSE(host.isSpeaking());
        }
        std::filesystem::current_path(previous);
    }
}
