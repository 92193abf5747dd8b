// Path split, the sound-name rule, volume and time conversions, and the
// letter-box placement of the picture.
#include "kgiMediaLayout.h"
#include "kgiMediaPath.h"
#include "kgiMediaPipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kgi;

TEST(MediaPath, SplitKeepsTrailingSeparatorOfEitherKind)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    } cases[] = {
        {"C:\\media\\walk.avi", "C:\\media\\", "walk.avi"},
        {"/home/u/media/walk.avi", "/home/u/media/", "walk.avi"},
        {"media/sub\\tone.wav", "media/sub\\", "tone.wav"},
        {"tone.wav", "", "tone.wav"},
        {"media/", "media/", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string folder = "x", name = "x";
        kgiSplitMediaPath(c.path, &folder, &name);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

TEST(MediaPath, SoundNamesByExtensionInAnyCase)
{
    struct Case {
        const char* path;
        bool sound;
    } cases[] = {
        {"a.wav", true},   {"a.WAV", true},     {"a.Mp3", true},       {"a.ogg", true},
        {"a.AIFF", true},  {"d\\a.aiff", true}, {"a.avi", false},      {"a.ogv", false},
        {"wav", false},    {"a.wav.avi", false}, {"dir.wav/a", false}, {"a.aif", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kgiIsSoundFileName(c.path), c.sound) << c.path;
}

TEST(MediaPipeline, VolumeInHundredthsOfADecibel)
{
    EXPECT_DOUBLE_EQ(kgiMediaLinearVolume(0), 1.0);
    EXPECT_NEAR(kgiMediaLinearVolume(-2000), 0.1, 1e-12);   // -20 dB
    EXPECT_NEAR(kgiMediaLinearVolume(-600), 0.501, 1e-3);   // -6 dB
    EXPECT_DOUBLE_EQ(kgiMediaLinearVolume(-10000), 0.0);    // silent, not -100 dB
    EXPECT_DOUBLE_EQ(kgiMediaLinearVolume(-20000), 0.0);
    EXPECT_LT(kgiMediaLinearVolume(1), 0.0);                // louder than full: refused
}

TEST(MediaPipeline, MillisecondsToMediaTime)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float ms;
        bool ok;
        std::int64_t ns;
    } cases[] = {
        {0.0f, true, 0},
        {1.5f, true, 1500000},
        {5000.0f, true, 5000000000LL},
        {-1000.0f, true, 0},  // before the start: the first picture
        {1e13f, false, 0},    // past the 64-bit range of nanoseconds
        {inf, false, 0},
        {-inf, false, 0},
        {std::nanf(""), false, 0},
    };
    for (const Case& c : cases) {
        std::int64_t ns = -7;
        EXPECT_EQ(kgiMediaNanoseconds(c.ms, &ns), c.ok) << c.ms;
        if (c.ok) {
            EXPECT_EQ(ns, c.ns) << c.ms;
        }
    }
}

TEST(MediaLayout, LetterBoxCentresThePicture)
{
    struct Case {
        int cw, ch, vw, vh;
        kgiMediaRect r;
    } cases[] = {
        {320, 240, 64, 48, {0, 0, 320, 240}},     // same shape
        {320, 320, 64, 48, {0, 40, 320, 240}},    // bars above and below
        {400, 240, 64, 48, {40, 0, 320, 240}},    // bars left and right
        {321, 100, 100, 100, {110, 0, 100, 100}}, // odd margin truncated
        {320, 240, 0, 48, {0, 0, 320, 240}},      // no video size yet
        {0, 240, 64, 48, {0, 0, 0, 240}},         // window of no width
    };
    for (const Case& c : cases) {
        kgiMediaRect r = kgiLetterBox(c.cw, c.ch, c.vw, c.vh);
        EXPECT_EQ(r.x, c.r.x) << c.cw << "x" << c.ch;
        EXPECT_EQ(r.y, c.r.y) << c.cw << "x" << c.ch;
        EXPECT_EQ(r.width, c.r.width) << c.cw << "x" << c.ch;
        EXPECT_EQ(r.height, c.r.height) << c.cw << "x" << c.ch;
    }
}
