#include "kgiMsgWindowImpl.h"
#include "kgiSpeechProgram.h"
#include "kgiSpeechSynth.h"
#include "msglib/msglib_support.h"

#include <espeak-ng/speak_lib.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace msglibtest;

namespace {

TEST(SpeechEngine, SettingsFirstLineChoosesTheSynthesiser)
{
    struct Case {
        const char* what;
        const char* content; // null: no file at all
        bool synthesiser;
    };
    const Case cases[] = {
        {"missing file", nullptr, false},
        {"empty file", "", false},
        {"language 1", "language=1\n", true},
        {"language 0", "language=0\n", false},
        {"language 1 with CR LF", "language=1\r\nwindow=0\r\n", true},
        {"language 0 with CR LF", "language=0\r\n", false},
        {"language 1 without a line break", "language=1", false},
        {"only the digit 1", "1", false},
        {"1 and a line break", "1\n", true},
        {"01: only the last digit counts", "01\n", true},
        {"10x", "10x\n", false},
        {"a later line does not count", "language=0\nlanguage=1\n", false},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        std::string path = dir.file("settings.txt");
        std::filesystem::remove(path);
        if (c.content)
            std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_EQ(kgi::kgiSpeechEngine::synthesiserChosen(path), c.synthesiser) << c.what;
    }
}

TEST(SpeechEngine, OnlyTheFirst126CharactersOfTheLineAreRead)
{
    // A first line too long for the read ends wherever the read stops.
    ScratchDir dir;
    std::string path = dir.file("settings.txt");
    std::ofstream(path, std::ios::binary) << std::string(124, 'x') << "10\n";
    EXPECT_TRUE(kgi::kgiSpeechEngine::synthesiserChosen(path));
    std::ofstream(path, std::ios::binary) << std::string(125, 'x') << "01\n";
    EXPECT_FALSE(kgi::kgiSpeechEngine::synthesiserChosen(path));
}

TEST(SpeechEngine, ReadingTimeIsHalfASecondAnd70MillisecondsACharacterAtLeast3Seconds)
{
    struct Case {
        const char* what;
        std::string text;
        double seconds;
    };
    // "Konnichiwa" in CP932: five characters in ten bytes.
    const std::string kana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
    std::string kana60;
    for (int i = 0; i < 12; ++i)
        kana60 += kana;
    const Case cases[] = {
        {"empty", "", 3.0},
        {"short", "Hello.\n", 3.0},
        {"35 characters: exactly 3 s", std::string(35, 'a'), 3.0},
        {"100 characters, line breaks and blanks counted", std::string(49, 'a') + "\n " + std::string(49, 'b'),
         7.5},
        {"60 Japanese characters, not 120 bytes", kana60, 4.7},
        {"a damaged byte counts as one character", std::string(99, 'a') + "\x82", 7.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(kgi::kgiSpeechEngine::readingSeconds(c.text), c.seconds, 1e-9) << c.what;
}

TEST(SpeechProgram, TextStaysOneStringLiteralOfAnyLength)
{
    struct Case {
        const char* what;
        std::string text;
        std::string expression;
    };
    const std::string longText(600, 'a');
    const Case cases[] = {
        {"plain", "Hello.", "(SayText \"Hello.\")"},
        {"empty", "", "(SayText \"\")"},
        {"quotes", "say \"hi\")(quit", "(SayText \"say \\\"hi\\\")(quit\")"},
        {"backslash at the end", "a\\", "(SayText \"a\\\\\")"},
        {"longer than any fixed buffer", longText, "(SayText \"" + longText + "\")"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> expected = {"--batch", c.expression};
        EXPECT_EQ(kgi::kgiSpeechProgram::arguments(c.text), expected) << c.what;
    }
}

// A stand-in for the speech program: it logs its id and arguments, then
// lingers as long as the test says.
class SpeechProgramTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string log = dir.file("log.txt");

    std::unique_ptr<kgi::kgiSpeechProgram> program(const char* linger)
    {
        std::string script = dir.file("speaker.sh");
        writeScript(script, "echo \"$$|$1|$2\" >> \"" + log + "\"\n" + linger + "\n");
        return std::make_unique<kgi::kgiSpeechProgram>(script, dir.path().string());
    }

    std::vector<std::string> entries() { return readLines(log); }
};

TEST_F(SpeechProgramTest, NewTextEndsThePreviousRun)
{
    auto speech = program("exec sleep 60");
    // "Konnichiwa" in CP932 arrives in UTF-8.
    ASSERT_TRUE(speech->speak("\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD"));
    ASSERT_TRUE(waitFor([&] { return entries().size() == 1; }));
    EXPECT_TRUE(speech->isSpeaking());
    int first = std::stoi(entries()[0]);
    EXPECT_EQ(entries()[0].substr(entries()[0].find('|')),
              "|--batch|(SayText \"\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF\")");

    ASSERT_TRUE(speech->speak("second"));
    EXPECT_FALSE(processAlive(first));
    ASSERT_TRUE(waitFor([&] { return entries().size() == 2; }));
    EXPECT_TRUE(speech->isSpeaking());

    speech->stop();
    EXPECT_FALSE(processAlive(std::stoi(entries()[1])));
    EXPECT_FALSE(speech->isSpeaking());
}

TEST_F(SpeechProgramTest, EndedRunIsNoticedOnce)
{
    auto speech = program("exit 3");
    ASSERT_TRUE(speech->speak("short"));
    ASSERT_TRUE(waitFor([&] { return !speech->isSpeaking(); }));
    EXPECT_FALSE(speech->isSpeaking());
    speech->stop(); // nothing held any more
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(SpeechProgramTest, MissingProgramIsSilent)
{
    kgi::kgiSpeechProgram speech(dir.file("no-such-speaker"), dir.path().string());
    EXPECT_FALSE(speech.speak("hello"));
    EXPECT_FALSE(speech.isSpeaking());
}

TEST(SpeechSynth, SpeaksJapaneseWithoutASoundDevice)
{
    kgi::kgiSpeechSynth synth(kgi::kgiSpeechSynth::SILENT);
    ASSERT_TRUE(synth.ready());
    const espeak_VOICE* voice = espeak_GetCurrentVoice();
    ASSERT_NE(voice, nullptr);
    // The language list starts with a priority byte, then the name.
    EXPECT_STREQ(voice->languages + 1, "ja");
    EXPECT_TRUE(synth.speak("\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD"));
    EXPECT_TRUE(synth.speak("\x82")); // a damaged text is spoken as far as it goes
    EXPECT_FALSE(synth.isSpeaking()); // silent output is done when speak returns
    synth.stop();
}

// The program's own route: speech played by the library itself. A lesson
// waits for the end of the speech, so the end must always be seen, with a
// sound device or without one.
TEST(SpeechSynth, PlayedSpeechEndsAndStopsAtOnce)
{
    kgi::kgiSpeechSynth synth(kgi::kgiSpeechSynth::PLAYBACK);
    if (!synth.ready())
        GTEST_SKIP() << "the synthesiser cannot be set up for playback here";
    // "Konnichiwa" in kana.
    const std::string kana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
    ASSERT_TRUE(synth.speak(kana));
    EXPECT_TRUE(waitFor([&] { return !synth.isSpeaking(); }));

    ASSERT_TRUE(synth.speak(kana + kana + kana + kana));
    synth.stop();
    EXPECT_FALSE(synth.isSpeaking());
}

TEST(SpeechSynth, SilentSpeechIsMeasuredByItsSamples)
{
    kgi::kgiSpeechSynth synth(kgi::kgiSpeechSynth::SILENT);
    ASSERT_TRUE(synth.ready());
    EXPECT_TRUE(synth.isSilent());
    const std::string kana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
    ASSERT_TRUE(synth.speak(kana));
    const double once = synth.heardSeconds();
    // Five kana take a good half second to say, not nothing.
    EXPECT_GT(once, 0.4);
    EXPECT_LT(once, 3.0);
    EXPECT_FALSE(synth.isSpeaking());
    EXPECT_FALSE(synth.playsAloud());
    ASSERT_TRUE(synth.speak(kana + "\x81\x41" + kana + "\x81\x41" + kana));
    EXPECT_GT(synth.heardSeconds(), 2.5 * once) << "a text three times as long";
    // The same text, the same length (give or take the voice's little
    // variations).
    ASSERT_TRUE(synth.speak(kana));
    EXPECT_NEAR(synth.heardSeconds(), once, 0.02 * once);
}

// The program's route without a sound device (as in the tests): the first
// played text finds nothing to play on, and from then on the synthesiser
// measures what it would have said, that first text included. (Once found,
// the process keeps that finding: an earlier test may have made it.)
TEST(SpeechSynth, PlaybackWithoutASoundDeviceGoesSilentAndMeasures)
{
    kgi::kgiSpeechSynth synth(kgi::kgiSpeechSynth::PLAYBACK);
    ASSERT_TRUE(synth.ready());
    const std::string kana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
    ASSERT_TRUE(synth.speak(kana));
    ASSERT_TRUE(waitFor([&] { return !synth.isSpeaking(); }));
    if (synth.playsAloud())
        GTEST_SKIP() << "a sound device plays the speech here";
    EXPECT_TRUE(synth.isSilent());
    const double first = synth.heardSeconds();
    EXPECT_GT(first, 0.4);
    ASSERT_TRUE(synth.speak(kana));
    EXPECT_FALSE(synth.isSpeaking());
    // Measured alone, not with what the first, unplayed text left behind.
    EXPECT_NEAR(synth.heardSeconds(), first, 0.02 * first);
    EXPECT_FALSE(synth.playsAloud());
}

TEST(SpeechSynth, MissingVoiceDataLeavesTheProcessRunning)
{
    // The library takes its data from this folder's espeak-ng-data when
    // that exists; an empty one holds no voices.
    ScratchDir dir;
    std::filesystem::create_directory(dir.path() / "espeak-ng-data");
    // A fresh process: the library keeps the data path of its first start.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ESPEAK_DATA_PATH", dir.path().c_str(), 1);
            kgi::kgiSpeechSynth synth(kgi::kgiSpeechSynth::SILENT);
            bool silent = !synth.ready() && !synth.speak("a") && !synth.isSpeaking() &&
                          synth.heardSeconds() < 0.0 && !synth.playsAloud();
            std::exit(silent ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

TEST(MsgWindowFactory, NoWindowWithoutAnApplication)
{
    EXPECT_EQ(kgi::createMsgWindow(-1, -1, -1, -1), nullptr);
    kgi::destroyMsgWindow(); // none: a no-op
}

} // namespace
