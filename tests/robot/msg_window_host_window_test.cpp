// The host with the real message plug-in, as a lesson uses it: a Japanese
// text shown readable and whole, coloured, hidden, and its speech ending.
#include "kgiMsgWindowHost.h"

#include "support/fox/kgiFoxTestApp.h"
#include "support/fox/kgiScreenShot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace FX;

namespace {

bool dark(kgiRgb p)
{
    return p.r + p.g + p.b < 300;
}

class MsgWindowHostScreenTest : public ::testing::Test {
protected:
    FXApp* app = nullptr;
    std::string previous;
    std::filesystem::path base;

    void SetUp() override
    {
        app = kgiSharedFoxApp();
        if (!app)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        // The plug-in chooses its voice from the settings file of the
        // directory the program runs in: Japanese, the synthesiser.
        previous = std::filesystem::current_path().string();
        base = std::filesystem::current_path() / "host_base";
        std::filesystem::create_directories(base / "settings");
        std::ofstream(base / "settings" / "settings.txt", std::ios::binary) << "language=1\n";
        std::filesystem::current_path(base);
    }
    void TearDown() override
    {
        if (!previous.empty())
            std::filesystem::current_path(previous);
    }
};

TEST_F(MsgWindowHostScreenTest, JapaneseLessonTextShowsWholeColouredAndHides)
{
    kgiMsgWindowHost host;
    ASSERT_TRUE(host.isBound());
    // "Robot" and "Hello" (katakana, hiragana and a kanji) on two lines, in
    // code page 932 as the lessons keep them.
    const char* text = "\x83\x8D\x83\x7B\x83\x62\x83\x67\x82\xCC\x8A\xD6\x90\xDF\n"
                       "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x42\n";
    host.showText(text, "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", 100, 120, 0);

    // 568 x 38 at (100, 120): two 16-pixel lines and 6 to spare.
    const kgiRgb paleYellow{255, 255, 204};
    auto twoLines = [&](const kgiScreenShot& s) {
        return s.at(567, 37) == paleYellow && s.count(0, 0, 568, 16, dark) > 0 &&
               s.count(0, 16, 568, 16, dark) > 0;
    };
    kgiScreenShot shown = kgiScreenShot::settle(app, 100, 120, 568, 38, twoLines);
    shown.save(previous + "/host_text.ppm");
    EXPECT_EQ(shown.at(0, 0), paleYellow);
    EXPECT_EQ(shown.at(567, 37), paleYellow);
    EXPECT_GT(shown.count(0, 0, 568, 16, dark), 20) << "first line";
    EXPECT_GT(shown.count(0, 16, 568, 16, dark), 20) << "second line";
    EXPECT_EQ(shown.count(0, 32, 568, 6, dark), 0) << "no third line";
    kgiScreenShot outside(app, 100 + 568, 120 + 38, 1, 1);
    EXPECT_NE(outside.at(0, 0), paleYellow);

    // The speech ends by itself (silently without a sound device).
    for (int i = 0; i < 1000 && host.isSpeaking(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(host.isSpeaking());

    host.showText(text, "", 100, 120, 1);
    const kgiRgb pink{255, 113, 218};
    auto isPink = [&](const kgiScreenShot& s) { return s.at(0, 0) == pink; };
    kgiScreenShot pinkShot = kgiScreenShot::settle(app, 100, 120, 568, 38, isPink);
    pinkShot.save(previous + "/host_text_pink.ppm");
    EXPECT_EQ(pinkShot.at(0, 0), pink);
    EXPECT_GT(pinkShot.count(0, 16, 568, 16, dark), 20);

    host.hideWindow();
    EXPECT_FALSE(host.isSpeaking());
    auto ours = [&](kgiRgb p) { return p == pink || p == paleYellow; };
    auto gone = [&](const kgiScreenShot& s) { return s.count(0, 0, 568, 38, ours) == 0; };
    kgiScreenShot hidden = kgiScreenShot::settle(app, 100, 120, 568, 38, gone);
    hidden.save(previous + "/host_hidden.ppm");
    EXPECT_EQ(hidden.count(0, 0, 568, 38, ours), 0);
}

} // namespace
