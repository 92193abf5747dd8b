// The application's sound hooks with the real player installed, on SDL's
// dummy audio driver. Each test runs its kgiApp in a child process.
#include "kgiApp.h"
#include "kgiSoundPlayer.h"

#include "core/child_process_test.h"
#include "robot/sound_files.h"
#include "support/app/kgiAppRig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

void realPlayer() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    std::filesystem::create_directories(rig.base / "se");
    std::filesystem::copy_file(std::filesystem::path(KGI_DATA_DIR) / "se" / "keyset.wav",
                               rig.base / "se" / "keyset.wav");
    const std::string base = rig.base.string();
    const std::string notGood = writeTone(base, "notgood.wav", 1.0);
    const std::string good = writeTone(base, "good.wav", 0.3);
    kgiAppMakers makers = app.getMakers();
    makers.soundPlayer = [] { return new kgiSoundPlayer(nullptr); };
    app.setMakers(makers);

    // The key-set click is the player's sound 0.
    app.createSoundPlayer();
    auto* player = dynamic_cast<kgiSoundPlayer*>(app.getSoundPlayer());
    CHILD_CHECK(player && player->isInitialised());
    CHILD_CHECK(app.getLastSoundId() == kgiApp::KEYSET_SOUND && player->getSoundCount() == 1);
    CHILD_CHECK(player->play(kgiApp::KEYSET_SOUND, false));
    CHILD_CHECK(app.loadSound(notGood) == kgiApp::NOT_GOOD_SOUND);
    CHILD_CHECK(app.loadSound(good) == kgiApp::GOOD_SOUND);

    // An answer sound does not cut into the other one still playing.
    CHILD_CHECK(player->play(kgiApp::NOT_GOOD_SOUND, true));
    app.playAnswerSound(true);
    CHILD_CHECK(!player->isPlaying(kgiApp::GOOD_SOUND));
    player->stop(kgiApp::NOT_GOOD_SOUND);
    app.playAnswerSound(true);
    CHILD_CHECK(player->isPlaying(kgiApp::GOOD_SOUND));
    player->stop(-1);

    // A wait on a sound that loops gives up at its bound, then plays.
    app.setSoundWaitLimit(0.3);
    for (int looping : {kgiApp::KEYSET_SOUND, kgiApp::GOOD_SOUND}) {
        CHILD_CHECK(player->play(looping, true));
        const double start = platform::monotonicSeconds();
        app.playSound(kgiApp::NOT_GOOD_SOUND, true);
        CHILD_CHECK(platform::monotonicSeconds() - start >= 0.3);
        CHILD_CHECK(player->isPlaying(looping) && player->isPlaying(kgiApp::NOT_GOOD_SOUND));
        player->stop(-1);
    }
}

void noOutput() {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiAppMakers makers = app.getMakers();
    makers.soundPlayer = [] { return new kgiSoundPlayer(nullptr); };
    app.setMakers(makers);

    // Without output the player is there, silent, and never keeps a wait.
    app.createSoundPlayer();
    CHILD_CHECK(app.getSoundPlayer() && app.getLastSoundId() == -1);
    const double start = platform::monotonicSeconds();
    app.playSound(kgiApp::KEYSET_SOUND, true);
    app.playAnswerSound(false);
    CHILD_CHECK(platform::monotonicSeconds() - start < kgiApp::SOUND_WAIT_LIMIT);
}

} // namespace

TEST(AppSoundWithPlayer, KeyClickIsSoundZeroAndWaitsEndAtTheirBound) {
    EXPECT_IN_CHILD(realPlayer);
}

TEST(AppSoundWithPlayer, WithoutOutputEverySoundIsSilentAndNothingWaits) {
    EXPECT_IN_CHILD(noOutput);
}
