// A lesson's page in the real message window (the plug-in's own window and
// engines, here without a sound device, as on the test machine): the page
// tick turns the page only once its speech would have been heard, not when
// a silent engine gives up at once; and where the speech is played aloud,
// when its sound ends. The manager and the window share the test's clock.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiMessageHost.h"
#include "kgiMsgDlg.h"
#include "kgiMsgWindowImpl.h"
#include "kgiSpeechProgram.h"
#include "kgiSpeechSynth.h"

#include "platform/codepage.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

// The window the host shows its texts in, made by each case.
kgi::kgiMsgWindowImpl* current = nullptr;

// The program's host in short: the texts go to the current window.
class WindowHost : public kgiMessageHost {
public:
    void initialize() override {}
    void showText(const std::string& text, const std::string& speech, int x, int y, int colorMode) override
    {
        if (!current) return;
        current->move(x, y);
        current->say(text.c_str(), speech.c_str());
        current->setColorMode(colorMode);
    }
    void hideWindow() override
    {
        if (current) current->stopSpeech();
    }
    bool isSpeaking() override { return current && current->isSpeaking(); }
};

// Played aloud on the test's clock for a while, then over.
struct PlayedSpeech : kgi::kgiSpeechEngine {
    const float* clock;
    float lasts;
    float until = -1.0f;
    PlayedSpeech(const float* clock, float lasts) : clock(clock), lasts(lasts) {}
    bool speak(const std::string&) override
    {
        until = *clock + lasts;
        return true;
    }
    void stop() override { until = -1.0f; }
    bool isSpeaking() override { return *clock < until; }
    bool playsAloud() override { return true; }
};

// A step file's step 1 in two pages, page 0 of `characters` characters with
// its line break: in English (speech copied from the text) or with a
// Japanese speech section of kana.
std::string stepFile(int characters, bool english)
{
    const std::string line = std::string(static_cast<std::size_t>(characters - 1), 'a') + "\n";
    if (english) return "[1]\n:0,0,0\n" + line + ":0,0,1\nthe next page\n";
    // "Konnichiwa," in hiragana over and over, two bytes a character in
    // code page 932.
    const char* const unit[] = {"\x82\xB1", "\x82\xF1", "\x82\xC9", "\x82\xBF", "\x82\xCD", "\x81\x41"};
    std::string kana;
    for (int i = 1; i < characters; ++i) kana += unit[(i - 1) % 6];
    return "[1]\n:0,0,0\n" + line + ":0,1,0\n" + kana + "\n:0,0,1\nthe next page\n:0,1,1\n\x82\xA0\x82\xA0\x82\xA0\n";
}

struct Case {
    const char* what;
    bool english;
    // The engine works in real time, not on the test's clock.
    bool realTime;
    std::function<std::unique_ptr<kgi::kgiSpeechEngine>(const float* clock)> engine;
    // When page 0 may turn at the earliest and must have turned by, in
    // seconds of the clock; negative: the engine's own measure.
    float earliest;
    float latest;
};

TEST(LessonSpeech, APageTurnsOnlyOnceItsSpeechWouldHaveBeenHeard) {
    KGI_REQUIRE_TEST_APP();
    kgiApp& app = *kgiTestApp();
    kgiAppMakers makers = app.getMakers();
    makers.msgWindowHost = []() -> kgiMessageHost* { return new WindowHost; };
    app.setMakers(makers);
    app.createMsgWindowHost();
    ASSERT_NE(dynamic_cast<WindowHost*>(app.getMsgWindowHost()), nullptr);

    kgiLessonManager manager;
    float clock = 0.0f;
    manager.setClock([&clock] { return clock; });
    app.setLessonManager(&manager);

    const std::string missing = (std::filesystem::temp_directory_path() / "kgi-no-such-speaker").string();
    // Page 0 holds 100 characters: a reading time of 0.5 s + 100 x 70 ms.
    const Case cases[] = {
        {"the outside speech program missing: the reading time", true, true,
         [&](const float*) { return std::make_unique<kgi::kgiSpeechProgram>(missing, std::string()); }, 7.5f, 7.65f},
        {"the synthesiser, finding no sound device: its speech's length", false, true,
         [](const float*) { return std::make_unique<kgi::kgiSpeechSynth>(kgi::kgiSpeechSynth::PLAYBACK); }, -1.0f,
         -1.0f},
        {"speech played aloud for 2 s: when its sound ends", true, false,
         [](const float* c) { return std::make_unique<PlayedSpeech>(c, 2.0f); }, 2.0f, 2.15f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clock = 0.0f;
        std::unique_ptr<kgi::kgiSpeechEngine> engine = c.engine(&clock);
        kgi::kgiSpeechEngine* speech = engine.get();
        kgi::kgiMsgWindowImpl window(&app, std::move(engine));
        window.dialog()->setClock([&clock] { return static_cast<double>(clock); });
        current = &window;

        const std::string file = stepFile(100, c.english);
        std::FILE* f = fmemopen(const_cast<char*>(file.data()), file.size(), "r");
        manager.editTexts().clear();
        manager.editTexts().readStream(f, c.english);
        std::fclose(f);
        manager.setMode(1);
        manager.setStepValue(1);
        manager.setPage(0);
        manager.setWaiting(true);
        manager.setStepTimer(0.0f);
        manager.showText(kgiLessonManager::MESSAGE_X, kgiLessonManager::MESSAGE_Y_UPPER, 0);
        EXPECT_EQ(platform::cp932ToUtf8(manager.getTexts().get(0, 0, 0, 1)),
                  window.dialog()->getText().text());

        // The engine's own work (the synthesiser's thread, trying the sound
        // device) runs in real time: the clock stands still until it is
        // over, however long a loaded machine takes.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (c.realTime && speech->isSpeaking() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_FALSE(c.realTime && speech->isSpeaking()) << "the engine never finished";

        // The page tick on every pass, the clock a tenth of a second on.
        float turned = -1.0f;
        double measured = -1.0;  // the engine's length of page 0's speech
        for (int pass = 0; pass < 600 && turned < 0.0f; ++pass) {
            manager.tickPages();
            if (manager.getPage() == 1)
                turned = clock;
            else
                measured = speech->heardSeconds();
            clock += 0.1f;
        }
        ASSERT_GE(turned, 0.0f) << "page 0 never turned";
        float earliest = c.earliest, latest = c.latest;
        if (earliest < 0.0f && speech->playsAloud()) {
            // A sound device played it (not on the test machine): the page
            // turned as the sound ended, on the first pass after the wait.
            earliest = 0.0f;
            latest = 0.15f;
        } else if (earliest < 0.0f) {
            // The synthesiser measured what it would have said.
            earliest = static_cast<float>(measured);
            ASSERT_GT(earliest, 5.0f) << "99 kana take a while to say";
            latest = earliest + 0.15f;
        }
        EXPECT_GE(turned, earliest - 1e-3f) << "the page turned before its speech was over";
        EXPECT_LE(turned, latest) << "the page stood longer than its speech";
        EXPECT_EQ(window.dialog()->getText(), FX::FXString("the next page\n"));
        window.stopSpeech();
        current = nullptr;
    }
    app.setLessonManager(nullptr);
}

}  // namespace
