// The sound player on SDL's dummy audio driver, which needs no sound device
// and consumes the mix in real time, so a sound plays for its length; and
// once on the disk driver, which writes the mix to a file to look at.
//
// Every wait on a sound has a generous bound; no test asserts how soon a
// sound ends, only that it does.
#include "kgiSoundPlayer.h"

#include "robot/sound_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class KgiSoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(player.init());
    }

    kgiSoundPlayer player;
};

} // namespace

TEST(KgiSoundPlayerLevels, VolumesMapToDecibelsAndMixerLevels)
{
    struct Case { int volume; int level; };
    const Case master[] = {{150, 2000}, {100, 2000}, {75, 1000}, {50, 0}, {0, -6000}, {-5, -6000}};
    for (const Case& c : master)
        EXPECT_EQ(kgiSoundPlayer::masterVolumeLevel(c.volume), c.level) << "master " << c.volume;
    const Case path[] = {{0, -6000}, {50, -3000}, {100, 0}, {120, 0}};
    for (const Case& c : path)
        EXPECT_EQ(kgiSoundPlayer::pathVolumeLevel(c.volume), c.level) << "path " << c.volume;
    // The mixer cannot amplify: everything from 0 up is its full 128.
    const Case mixer[] = {{0, 128}, {-6000, 0}, {2000, 128}, {-602, 64}};
    for (const Case& c : mixer)
        EXPECT_EQ(platform::mixerLevel(c.volume), c.level) << "mixer " << c.volume;
}

TEST_F(KgiSoundPlayerTest, FillsTheLowestFreeSlotsAndRefusesThe129th)
{
    for (int i = 0; i < kgiSoundPlayer::SLOTS; ++i) ASSERT_EQ(player.load(files().tone300), i);
    EXPECT_EQ(player.load(files().tone300), -1);
    EXPECT_EQ(player.loadFromMemory(files().tone300Bytes.data(), files().tone300Bytes.size()), -1);
    EXPECT_EQ(player.getSoundCount(), kgiSoundPlayer::SLOTS);
    // The refused loads left every slot as it was.
    for (int slot = 0; slot < kgiSoundPlayer::SLOTS; ++slot) {
        ASSERT_TRUE(player.play(slot, false)) << slot;
        EXPECT_TRUE(player.isPlaying(slot)) << slot;
        player.stop(slot);
    }
    EXPECT_TRUE(player.unload(5));
    EXPECT_EQ(player.getSoundCount(), kgiSoundPlayer::SLOTS - 1);
    EXPECT_EQ(player.load(files().tone300), 5);
}

TEST_F(KgiSoundPlayerTest, WhatDoesNotLoadTakesNoSlot)
{
    const std::string missing = files().dir + "/missing.wav";
    const std::string empty = files().dir + "/empty.wav";
    std::ofstream(empty).close();
    for (const std::string& path : {missing, files().notSound, empty, files().dir})
        EXPECT_EQ(player.load(path), -1) << path;

    const std::string text = "This is no sound, only words.\n";
    const std::vector<std::uint8_t> words(text.begin(), text.end());
    EXPECT_EQ(player.loadFromMemory(nullptr, 100), -1);
    EXPECT_EQ(player.loadFromMemory(files().tone300Bytes.data(), 0), -1);
    EXPECT_EQ(player.loadFromMemory(words.data(), words.size()), -1);
    // A truncated file: the header promises more data than there is.
    EXPECT_EQ(player.loadFromMemory(files().tone300Bytes.data(), 40), -1);
    EXPECT_EQ(player.getSoundCount(), 0);

    // The same file twice fills two slots, the lowest first.
    EXPECT_EQ(player.load(files().tone300), 0);
    EXPECT_EQ(player.load(files().tone300), 1);
    // A sound from memory no longer needs the caller's bytes.
    std::vector<std::uint8_t> bytes = files().tone300Bytes;
    EXPECT_EQ(player.loadFromMemory(bytes.data(), bytes.size()), 2);
    bytes.assign(bytes.size(), 0xEE);
    EXPECT_TRUE(player.play(2, false));
    EXPECT_TRUE(player.isPlaying(2));
}

TEST_F(KgiSoundPlayerTest, SlotsThatHoldNothingAnswerWithoutTouchingOthers)
{
    const int slot = player.load(files().tone1s);
    ASSERT_EQ(slot, 0);
    ASSERT_TRUE(player.play(slot, true));

    for (int other : {3, 127, 128, 1000, -1}) {
        EXPECT_FALSE(player.isPlaying(other)) << other;
        EXPECT_FALSE(player.isLooping(other)) << other;
        EXPECT_EQ(player.playingCount(other), 0) << other;
    }
    // play of an empty slot is a silent success; of slot 128 or more (-1 taken
    // unsigned) a failure.
    EXPECT_TRUE(player.play(3, false));
    EXPECT_FALSE(player.play(128, false));
    EXPECT_FALSE(player.play(-1, false));

    struct Case { int slot; bool result; };
    const Case cases[] = {{3, true}, {127, true}, {128, false}, {5000, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(player.stop(c.slot), c.result) << "stop " << c.slot;
        EXPECT_EQ(player.unload(c.slot), c.result) << "unload " << c.slot;
    }
    EXPECT_TRUE(player.isPlaying(slot));
    EXPECT_EQ(player.getSoundCount(), 1);

    // Negative: every filled slot.
    EXPECT_TRUE(player.stop(-1));
    EXPECT_FALSE(player.isPlaying(slot));
    EXPECT_TRUE(player.unload(-1));
    EXPECT_EQ(player.getSoundCount(), 0);
    EXPECT_EQ(player.load(files().tone300), 0);
}

TEST(KgiSoundPlayerNoOutput, APlayerWithoutOutputIsSilentAndNeverBusy)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    kgiSoundPlayer player;
    EXPECT_FALSE(player.init());
    EXPECT_FALSE(player.isInitialised());
    EXPECT_EQ(player.load(files().tone300), -1);
    EXPECT_EQ(player.loadFromMemory(files().tone300Bytes.data(), files().tone300Bytes.size()), -1);
    EXPECT_EQ(player.loadExtraFromMemory(files().tone300Bytes.data(), files().tone300Bytes.size()), -1);
    for (int slot = -1; slot <= kgiSoundPlayer::SLOTS; ++slot) {
        EXPECT_TRUE(player.play(slot, false)) << slot;
        EXPECT_FALSE(player.isPlaying(slot)) << slot;
        EXPECT_FALSE(player.isLooping(slot)) << slot;
    }
    for (bool result : {player.stop(0), player.unload(0), player.unloadAll(), player.setMasterVolume(10),
                        player.setSoundVolume(10), player.loadMusic(files().tone300), player.playMusic(true),
                        player.pauseMusic(), player.seekMusic(100), player.stopMusic(), player.playExtra(true),
                        player.stopExtra(), player.unloadExtra()})
        EXPECT_TRUE(result);
    EXPECT_FALSE(player.isMusicPlaying());
    EXPECT_FALSE(player.isExtraPlaying());
    EXPECT_EQ(player.getMusicPosition(), 0);

    // The output may come later: a second init that finds one works.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(player.init());
    EXPECT_EQ(player.load(files().tone300), 0);
}

TEST_F(KgiSoundPlayerTest, LeavesTheProgramsSignalsAlone)
{
    struct sigaction now {};
    for (int sig : {SIGINT, SIGTERM}) {
        ASSERT_EQ(sigaction(sig, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
    }
}

TEST_F(KgiSoundPlayerTest, ToneSoundsForItsLengthThenStops)
{
    const int slot = player.load(files().tone300);
    const double start = platform::monotonicSeconds();
    ASSERT_TRUE(player.play(slot, false));
    EXPECT_TRUE(player.isPlaying(slot));
    EXPECT_FALSE(player.isLooping(slot));
    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(slot); }));
    // It really played: the driver consumes the mix in real time.
    EXPECT_GE(platform::monotonicSeconds() - start, 0.25);

    // playNoWait starts it too.
    EXPECT_TRUE(player.playNoWait(slot, false));
    EXPECT_TRUE(waitUntil([&] { return player.isPlaying(slot); }));
}

TEST_F(KgiSoundPlayerTest, LoopingToneRepeatsUntilStopped)
{
    const int slot = player.load(files().tone300);
    ASSERT_TRUE(player.play(slot, true));
    sleepMs(900);
    EXPECT_TRUE(player.isPlaying(slot));
    EXPECT_TRUE(player.isLooping(slot));
    EXPECT_TRUE(player.stop(slot));
    EXPECT_FALSE(player.isPlaying(slot));
    // The repeat setting stays as the last play left it.
    EXPECT_TRUE(player.isLooping(slot));
    ASSERT_TRUE(player.play(slot, false));
    EXPECT_FALSE(player.isLooping(slot));
}

TEST_F(KgiSoundPlayerTest, ASlotPlayedTwiceOverlaps)
{
    const int slot = player.load(files().tone1s);
    ASSERT_TRUE(player.play(slot, false));
    sleepMs(400);
    ASSERT_TRUE(player.play(slot, false));
    EXPECT_EQ(player.playingCount(slot), 2);
    // The first ends about 400 ms before the second: the slot still sounds.
    ASSERT_TRUE(waitUntil([&] { return player.playingCount(slot) < 2; }));
    EXPECT_TRUE(player.isPlaying(slot));
    ASSERT_TRUE(waitUntil([&] { return player.playingCount(slot) == 0; }));
    EXPECT_FALSE(player.isPlaying(slot));
}

TEST_F(KgiSoundPlayerTest, MusicPlaysPausesSeeksAndStops)
{
    ASSERT_TRUE(player.loadMusic(files().tone2s));
    ASSERT_TRUE(player.hasMusic());
    EXPECT_NEAR(player.getMusicLength(), 2000, 50);
    EXPECT_FALSE(player.isMusicPlaying());
    EXPECT_EQ(player.getMusicPosition(), 0);

    ASSERT_TRUE(player.playMusic(false));
    EXPECT_TRUE(player.isMusicPlaying());
    sleepMs(300);
    EXPECT_TRUE(player.pauseMusic());
    EXPECT_FALSE(player.isMusicPlaying());
    const int paused = player.getMusicPosition();
    EXPECT_GT(paused, 0);
    EXPECT_LT(paused, player.getMusicLength());

    struct Case { int seek; int position; };
    const Case cases[] = {{500, 500}, {5000, player.getMusicLength() - 1}, {-3, 0}, {1000, 1000}};
    for (const Case& c : cases) {
        EXPECT_TRUE(player.seekMusic(c.seek));
        EXPECT_EQ(player.getMusicPosition(), c.position) << c.seek;
        EXPECT_FALSE(player.isMusicPlaying()) << c.seek;
    }
    // Played again, it goes on from the position it was moved to (a whole
    // second: the mixer seeks a WAV to whole seconds only).
    ASSERT_TRUE(player.playMusic(false));
    EXPECT_TRUE(player.isMusicPlaying());
    EXPECT_GE(player.getMusicPosition(), 1000);
    // Moved back while it plays, it goes on playing from there.
    EXPECT_TRUE(player.seekMusic(100));
    EXPECT_TRUE(player.isMusicPlaying());
    EXPECT_LT(player.getMusicPosition(), 1000);

    EXPECT_TRUE(player.stopMusic());
    EXPECT_FALSE(player.isMusicPlaying());
    EXPECT_EQ(player.getMusicPosition(), 0);

    // A music from memory, and bytes that are none leave no music.
    EXPECT_TRUE(player.loadMusicFromMemory(files().tone300Bytes.data(), files().tone300Bytes.size()));
    EXPECT_NEAR(player.getMusicLength(), 300, 50);
    ASSERT_TRUE(player.playMusic(false));
    EXPECT_TRUE(waitUntil([&] { return !player.isMusicPlaying(); }));
    const char words[] = "no music here";
    EXPECT_FALSE(player.loadMusicFromMemory(words, sizeof words));
    EXPECT_FALSE(player.hasMusic());
}

TEST_F(KgiSoundPlayerTest, ExtraSoundPlaysOnAVoiceOfItsOwn)
{
    const std::vector<std::uint8_t>& bytes = files().tone300Bytes;
    EXPECT_TRUE(player.setExtraVolume(30));
    EXPECT_EQ(player.loadExtraFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(player.getExtraVolume(), 100);
    EXPECT_EQ(player.getSoundCount(), 0);
    EXPECT_EQ(player.load(files().tone300), 0);

    // Every voice of the slots busy: the extra sound still has its own.
    for (int i = 0; i < platform::SoundMixer::VOICES; ++i) ASSERT_TRUE(player.playNoWait(0, true)) << i;
    EXPECT_FALSE(player.playNoWait(0, true));
    EXPECT_TRUE(player.playExtra(true));
    EXPECT_TRUE(player.isExtraPlaying());
    EXPECT_TRUE(player.stop(0));
    EXPECT_TRUE(player.isExtraPlaying());
    EXPECT_TRUE(player.stopExtra());
    EXPECT_FALSE(player.isExtraPlaying());

    // Bytes that are no sound keep the extra sound there was.
    const char words[] = "no sound here";
    EXPECT_EQ(player.loadExtraFromMemory(words, sizeof words), -1);
    EXPECT_TRUE(player.playExtra(false));
    EXPECT_TRUE(player.isExtraPlaying());
    EXPECT_TRUE(player.unloadExtra());
    EXPECT_FALSE(player.isExtraPlaying());
}

TEST_F(KgiSoundPlayerTest, MusicAndExtraCallsWithoutThemDoNothing)
{
    const int slot = player.load(files().tone1s);
    ASSERT_TRUE(player.play(slot, true));
    for (bool result : {player.playMusic(false), player.pauseMusic(), player.seekMusic(300),
                        player.stopMusic(), player.unloadMusic(), player.playExtra(false),
                        player.stopExtra(), player.unloadExtra()})
        EXPECT_TRUE(result);
    EXPECT_FALSE(player.isMusicPlaying());
    EXPECT_FALSE(player.isExtraPlaying());
    EXPECT_EQ(player.getMusicPosition(), 0);
    EXPECT_FALSE(player.hasMusic());
    EXPECT_TRUE(player.isPlaying(slot));
}

TEST_F(KgiSoundPlayerTest, SecondInitStartsAfresh)
{
    ASSERT_EQ(player.load(files().tone300), 0);
    ASSERT_EQ(player.load(files().tone1s), 1);
    ASSERT_TRUE(player.loadMusic(files().tone1s));
    ASSERT_EQ(player.loadExtraFromMemory(files().tone300Bytes.data(), files().tone300Bytes.size()), 0);
    player.setMasterVolume(80);
    player.setSoundVolume(20);
    player.setMusicVolume(30);
    player.setExtraVolume(40);
    ASSERT_TRUE(player.play(1, true));

    ASSERT_TRUE(player.init());
    EXPECT_EQ(player.getSoundCount(), 0);
    EXPECT_FALSE(player.isPlaying(1));
    EXPECT_FALSE(player.hasMusic());
    EXPECT_TRUE(player.playExtra(false));
    EXPECT_FALSE(player.isExtraPlaying());
    EXPECT_EQ(player.getMasterVolume(), 50);
    EXPECT_EQ(player.getSoundVolume(), 100);
    EXPECT_EQ(player.getMusicVolume(), 100);
    EXPECT_EQ(player.getExtraVolume(), 100);
    EXPECT_EQ(player.load(files().tone1s), 0);
}

namespace {

// The mix the disk driver wrote: signed 16-bit frames of the mixer's
// channels. The first and one past the last frame that is not silent.
struct Heard {
    std::size_t frames = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    bool any() const { return last > first; }
    double spanMs() const { return (last - first) * 1000.0 / platform::SoundMixer::RATE; }
};

Heard listen(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t channels = platform::SoundMixer::CHANNELS;
    Heard h;
    h.frames = raw.size() / (2 * channels);
    bool found = false;
    for (std::size_t f = 0; f < h.frames; ++f) {
        for (std::size_t c = 0; c < channels; ++c) {
            std::int16_t s;
            std::memcpy(&s, raw.data() + (f * channels + c) * 2, 2);
            if (s > 8 || s < -8) {
                if (!found) h.first = f;
                found = true;
                h.last = f + 1;
            }
        }
    }
    return h;
}

} // namespace

TEST(KgiSoundPlayerDisk, TheMixHoldsWhatWasPlayedAndOnlyThat)
{
    const std::string out = files().dir + "/mix.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    const double bufferMs = 1000.0 * platform::SoundMixer::BUFFER_SAMPLES / platform::SoundMixer::RATE;

    {
        kgiSoundPlayer player;
        ASSERT_TRUE(player.init());
        const int slot = player.load(files().tone300);
        ASSERT_TRUE(player.play(slot, false));
        ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(slot); }));
        sleepMs(100);
    }
    const Heard played = listen(out);
    EXPECT_TRUE(played.any());
    EXPECT_NEAR(played.spanMs(), 300.0, 50.0);

    {
        kgiSoundPlayer player;
        ASSERT_TRUE(player.init());
        const int slot = player.load(files().tone300);
        ASSERT_TRUE(player.setSoundVolume(0));
        ASSERT_TRUE(player.play(slot, false));
        ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(slot); }));
        sleepMs(100);
    }
    const Heard muted = listen(out);
    EXPECT_GT(muted.frames, 0u);
    EXPECT_FALSE(muted.any());

    double playedMs = 0.0;
    {
        kgiSoundPlayer player;
        ASSERT_TRUE(player.init());
        const int slot = player.load(files().tone300);
        const double start = platform::monotonicSeconds();
        ASSERT_TRUE(player.play(slot, true));
        sleepMs(200);
        ASSERT_TRUE(player.stop(slot));
        playedMs = (platform::monotonicSeconds() - start) * 1000.0;
        sleepMs(600);
    }
    // The driver writes no faster than real time, so the loop can have left
    // no more than the time it was let play, plus the buffers in flight.
    const Heard stopped = listen(out);
    EXPECT_TRUE(stopped.any());
    EXPECT_LE(stopped.spanMs(), playedMs + 3 * bufferMs);
    unsetenv("SDL_DISKAUDIOFILE");
}
