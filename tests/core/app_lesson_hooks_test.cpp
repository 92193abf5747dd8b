// The application's door to the lessons, the command locks, the sounds and
// the message window, against the recording stand-ins of tests/support/app
// (and with nothing installed, as the program runs before the robot tools
// plug in). Each test runs its kgiApp in a child process.
#include "kgiApp.h"

#include "support/app/kgiAppRig.h"

#include "core/child_process_test.h"
#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Played = std::vector<std::pair<int, bool>>;

void nothingInstalled() {
    kgiAppRig rig(false);
    kgiApp& app = *rig.app;
    CHILD_CHECK(!app.isLessonMode() && !app.isCourseTimerOn() && !app.isCourseRunning());
    CHILD_CHECK(app.getCourseTime() == 0.0f && app.getCourseFile() == nullptr);
    CHILD_CHECK(app.isViewEditAllowed(true) && app.canUseFrameButtonA() && app.canUseFrameButtonB());
    for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i) CHILD_CHECK(app.getLessonPermission(i));
    // Reports do nothing; an answer is accepted as nothing expects one.
    CHILD_CHECK(!app.lessonActionDone() && !app.lessonStepBack() && !app.showLessonText(-1));
    CHILD_CHECK(app.checkLessonAnswer(3));
    app.setLessonMode(2);
    app.startLesson("1");
    CHILD_CHECK(!app.isLessonMode());
    CHILD_CHECK(app.applyLessonLocks());

    // Sounds and messages are silent and harmless.
    app.createSoundPlayer();
    CHILD_CHECK(app.getSoundPlayer() == nullptr && app.loadSound("x.wav") == -1 && app.getLastSoundId() == -1);
    app.playAnswerSound(true);
    app.playSound(0, true);
    app.createMsgWindowHost();
    app.showMessageText("text", "speech", 1, 2, 0);
    CHILD_CHECK(!app.isMessageDone() && !app.isMessageSpeaking());
    app.resetMessageWindow();

    // No session can be made: communication stays off.
    app.setRobotCommunication(true);
    CHILD_CHECK(!app.isRobotCom() && app.getRobotSession() == nullptr);
    app.idleTick();
    CHILD_CHECK(!app.isCloseRequested() && !app.isRobotCom());
    CHILD_CHECK(!app.checkRobotComOff(true));
}

TEST(AppLessonHooks, NothingInstalledMeansNormalEditingAndSilence) {
    EXPECT_IN_CHILD(nothingInstalled);
}

// Permission methods: which flag each reads and whether a refusal sounds.
struct PermissionCase {
    const char* name;
    int flag;
    std::function<bool(kgiApp&)> ask;
    bool sounds;
};

void permissions() {
    const std::vector<PermissionCase> cases = {
        {"view edit, silent", 1, [](kgiApp& a) { return a.isViewEditAllowed(false); }, false},
        {"view edit, with sound", 1, [](kgiApp& a) { return a.isViewEditAllowed(true); }, true},
        {"frame button A", 2, [](kgiApp& a) { return a.canUseFrameButtonA(); }, true},
        {"frame button B", 3, [](kgiApp& a) { return a.canUseFrameButtonB(); }, true},
    };
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInLesson& lesson = rig.fakes.lesson;
    app.createSoundPlayer();
    const Played none;

    // Outside a lesson every flag is ignored and nothing plays.
    lesson.permissions.fill(false);
    for (const PermissionCase& c : cases) CHILD_CHECK(c.ask(app));
    CHILD_CHECK(rig.fakes.sound.played == none);

    lesson.mode = 2;
    for (const PermissionCase& c : cases) {
        lesson.permissions.fill(true);
        CHILD_CHECK(c.ask(app));
        lesson.permissions[static_cast<std::size_t>(c.flag)] = false;
        rig.fakes.sound.played.clear();
        if (c.ask(app)) {
            std::fprintf(stderr, "%s: allowed against its flag\n", c.name);
            std::_Exit(1);
        }
        const Played expected = c.sounds ? Played{{kgiApp::NOT_GOOD_SOUND, false}} : none;
        if (rig.fakes.sound.played != expected) {
            std::fprintf(stderr, "%s: wrong sound\n", c.name);
            std::_Exit(1);
        }
    }

    // An answer sound does not cut into either answer sound still playing.
    for (int busy : {kgiApp::NOT_GOOD_SOUND, kgiApp::GOOD_SOUND}) {
        rig.fakes.sound.played.clear();
        rig.fakes.sound.playing = {busy};
        app.playAnswerSound(true);
        app.playAnswerSound(false);
        CHILD_CHECK(rig.fakes.sound.played == none);
    }
    rig.fakes.sound.playing = {kgiApp::KEYSET_SOUND};
    app.playAnswerSound(true);
    CHILD_CHECK(rig.fakes.sound.played == Played({{kgiApp::GOOD_SOUND, false}}));
}

TEST(AppLessonHooks, PermissionsFollowTheLessonFlagsAndRefusalsSound) {
    EXPECT_IN_CHILD(permissions);
}

void reports() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInLesson& lesson = rig.fakes.lesson;
    kgiCallRecord& calls = lesson.record;
    std::vector<std::pair<int, bool>>& played = rig.fakes.sound.played;

    // Outside a lesson nothing reaches the manager but a list answer.
    lesson.courseMode = true;
    lesson.courseTime = 12.5f;
    CHILD_CHECK(app.getCourseTime() == 12.5f);  // a course counts outside a lesson too
    app.lessonTick();
    CHILD_CHECK(!app.lessonActionDone() && !app.lessonStepBack() && !app.lessonRestart());
    CHILD_CHECK(!app.checkLessonKeyEdit(5, -1, 2) && !app.checkLessonKeyTime(true));
    CHILD_CHECK(!app.showLessonText(-1) && !app.lessonOnPlay() && !app.setLessonStep(4));
    CHILD_CHECK(calls.calls.empty());
    lesson.answerResult = false;
    CHILD_CHECK(!app.checkLessonAnswer(7) && calls.calls == std::vector<std::string>{"checkAnswer(7)"});
    lesson.courseMode = false;
    CHILD_CHECK(app.getCourseTime() == 0.0f);

    lesson.mode = 1;
    calls.clear();
    app.lessonTick();
    CHILD_CHECK(calls.count("runStep") == 1);

    // A reported action advances a waiting step, else it only sounds good.
    lesson.waitingForAction = true;
    CHILD_CHECK(app.lessonActionDone() && calls.count("nextStep") == 1 && played.empty());
    lesson.waitingForAction = false;
    CHILD_CHECK(app.lessonActionDone() && calls.count("nextStep") == 1);
    CHILD_CHECK(played == Played({{kgiApp::GOOD_SOUND, false}}));

    // Key edits: (matched, key index) -> action done, or the sound of the result.
    struct KeyEdit {
        bool matched;
        int keyIndex;
        int nextSteps;
        int sound;
    };
    lesson.waitingForAction = true;
    for (const KeyEdit& k : {KeyEdit{true, -2, 1, -1}, KeyEdit{true, 3, 0, kgiApp::GOOD_SOUND},
                             KeyEdit{false, -2, 0, kgiApp::NOT_GOOD_SOUND}}) {
        calls.clear();
        played.clear();
        lesson.actionResult = k.matched;
        CHILD_CHECK(app.checkLessonKeyEdit(10, k.keyIndex, 4) == k.matched);
        CHILD_CHECK(calls.count("isExpectedAction(10," + std::to_string(k.keyIndex) + ",4)") == 1);
        CHILD_CHECK(calls.count("nextStep") == k.nextSteps);
        CHILD_CHECK(k.sound < 0 ? played.empty() : played == Played({{k.sound, false}}));
    }

    // A key drag that ends where the step wants it is the step's action.
    calls.clear();
    lesson.keyResult = false;
    CHILD_CHECK(!app.checkLessonKeyTime(true) && !calls.has("nextStep"));
    lesson.keyResult = true;
    CHILD_CHECK(app.checkLessonKeyTime(false) && calls.count("isExpectedKey(0)") == 1 && calls.has("nextStep"));

    calls.clear();
    lesson.stepBackResult = false;
    CHILD_CHECK(!app.lessonStepBack());
    CHILD_CHECK(app.showLessonText(-1) && app.lessonOnPlay() && app.lessonRestart() && app.setLessonStep(4));
    CHILD_CHECK(app.playLessonEndSound());
    CHILD_CHECK(calls.calls == std::vector<std::string>({"stepBack", "showStep(-1)", "checkCourseProgress",
                                                        "restartProgram", "setStep(4)", "playEndSound"}));
}

TEST(AppLessonHooks, ReportsReachTheLessonManagerOnlyInALesson) {
    EXPECT_IN_CHILD(reports);
}

void locks() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInLesson& lesson = rig.fakes.lesson;
    kgiStandInMainWindow& window = rig.fakes.mainWindow;
    std::vector<kgiOptionsCommandFlags>& options = rig.fakes.options.applied;

    // Without an options dialog only the main window gets a record.
    CHILD_CHECK(app.applyLessonLocks());
    CHILD_CHECK(window.applied.size() == 1 && rig.fakes.options.made == 0);
    kgiOptionsCommandFlags none;
    app.applyOptionsLock(none);
    app.clearOptionsLock(none);

    app.createOptionsDialog();
    CHILD_CHECK(app.getOptionsDialog() != nullptr && rig.fakes.options.made == 1);

    // A lesson step locked everything...
    kgiMainCommandLocks mainLocked;
    app.clearMainWindowLock(mainLocked);
    app.applyMainWindowLock(mainLocked);
    kgiOptionsCommandFlags optionsLocked;
    optionsLocked.flags.fill(1);
    app.clearOptionsLock(optionsLocked);
    app.applyOptionsLock(optionsLocked);
    CHILD_CHECK(options.back() == kgiOptionsCommandFlags());
    lesson.permissions.fill(false);

    // ...and mode 0 opens it all again: the main window's own unlock fill
    // (which leaves its unused bytes 43 to 46 alone), 41 ones for the dialog.
    lesson.mode = 0;
    window.applied.clear();
    options.clear();
    CHILD_CHECK(app.applyLessonLocks());
    kgiMainCommandLocks mainOpen;
    window.unlockAllCommands(mainOpen);
    kgiOptionsCommandFlags allOnes;
    allOnes.flags.fill(1);
    CHILD_CHECK(window.applied.size() == 1 && window.applied[0] == mainOpen && mainOpen[43] == 0);
    CHILD_CHECK(options.size() == 1 && options[0] == allOnes);
    for (bool p : lesson.permissions) CHILD_CHECK(p);

    // In a lesson both records are all 0 and the flags cleared.
    lesson.mode = 3;
    window.applied.clear();
    options.clear();
    CHILD_CHECK(app.applyLessonLocks());
    CHILD_CHECK(window.applied.size() == 1 && window.applied[0] == kgiMainCommandLocks());
    CHILD_CHECK(options.size() == 1 && options[0] == kgiOptionsCommandFlags());
    for (bool p : lesson.permissions) CHILD_CHECK(!p);

    // The offered all-1 fills go through the windows' own fills.
    kgiMainCommandLocks filled;
    app.fillMainWindowLock(filled);
    CHILD_CHECK(filled == mainOpen);
    kgiOptionsCommandFlags filledOptions;
    app.fillOptionsLock(filledOptions);
    CHILD_CHECK(filledOptions == allOnes);

    // Playback switches the dialog's joint fields off and on again.
    app.enableOptionsDialog(false);
    CHILD_CHECK(!rig.fakes.options.jointFieldsEnabled);
    app.enableOptionsDialog(true);
    CHILD_CHECK(rig.fakes.options.jointFieldsEnabled);

    app.setMainWindow(nullptr);
    window.applied.clear();
    CHILD_CHECK(app.applyLessonLocks() && window.applied.empty());
}

TEST(AppLessonHooks, LessonLocksOpenOrCloseBothWindowsAndThePermissions) {
    EXPECT_IN_CHILD(locks);
}

void sounds() {
    // Every sound method makes the player when it is missing, and the
    // player's first sound is the key-set click below the base folder.
    const std::vector<std::function<void(kgiApp&)>> firstUses = {
        [](kgiApp& a) { a.createSoundPlayer(); },
        [](kgiApp& a) { a.loadSound("other.wav"); },
        [](kgiApp& a) { a.playAnswerSound(true); },
        [](kgiApp& a) { a.playSound(3, false); },
    };
    for (const auto& use : firstUses) {
        kgiAppRig rig;
        use(*rig.app);
        CHILD_CHECK(rig.fakes.sound.made == 1 && rig.fakes.sound.inits == 1);
        CHILD_CHECK(!rig.fakes.sound.loaded.empty() &&
                    rig.fakes.sound.loaded[0] == (rig.base / "se" / "keyset.wav").string());
        rig.app.reset();
        CHILD_CHECK(rig.fakes.sound.destroyed == 1);
    }

    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInSoundState& sound = rig.fakes.sound;
    app.createSoundPlayer();
    app.createSoundPlayer();
    CHILD_CHECK(sound.made == 1 && app.getLastSoundId() == 0);
    CHILD_CHECK(app.loadSound("ng.wav") == 1 && app.getLastSoundId() == 1);
    sound.failingPaths = {"missing.wav"};
    CHILD_CHECK(app.loadSound("missing.wav") == -1 && app.getLastSoundId() == 1);

    // A wait for silence ends when the sounds stop...
    int asked = 0;
    sound.playingScript = [&asked](int id) { return id == 3 && ++asked <= 3; };
    app.playSound(2, true);
    CHILD_CHECK(asked == 4 && sound.played == Played({{2, false}}));

    // ...and gives up at its bound on a sound that plays for ever (the
    // wait only watches sounds 0 to 5).
    sound.playingScript = nullptr;
    sound.played.clear();
    app.setSoundWaitLimit(0.05);
    for (int looping : {0, 5}) {
        sound.playing = {looping};
        sound.questions = 0;
        app.playSound(1, true);
        CHILD_CHECK(sound.questions > 1);
    }
    sound.playing = {6};
    sound.questions = 0;
    app.playSound(1, true);
    CHILD_CHECK(sound.questions == 6);
    CHILD_CHECK(sound.played == Played({{1, false}, {1, false}, {1, false}}));
    app.setSoundWaitLimit(-1.0);
    CHILD_CHECK(app.getSoundWaitLimit() == kgiApp::SOUND_WAIT_LIMIT);
}

TEST(AppLessonHooks, SoundPlayerIsMadeOnFirstUseAndWaitsForSilenceAreBounded) {
    EXPECT_IN_CHILD(sounds);
}

void messages() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInMessageState& message = rig.fakes.message;

    // No host until a lesson start-up makes one.
    app.showMessageText("a", "b", 1, 2, 3);
    CHILD_CHECK(message.made == 0 && !app.isMessageDone() && !app.isMessageSpeaking());
    app.createMsgWindowHost();
    CHILD_CHECK(message.made == 1 && message.record.calls == std::vector<std::string>{"initialize"});

    // A text replaces the one shown, after the click and the not-good
    // sound have ended (or the bounded wait has given up on them).
    app.setSoundWaitLimit(0.05);
    rig.fakes.sound.playing = {kgiApp::NOT_GOOD_SOUND};
    message.record.clear();
    app.showMessageText("Hello", "hello", 350, 40, 1);
    CHILD_CHECK(rig.fakes.sound.questions > 1);
    CHILD_CHECK(message.record.calls == std::vector<std::string>({"hideWindow", "showText(Hello|hello|350|40|1)"}));

    message.speaking = true;
    CHILD_CHECK(!app.isMessageDone() && app.isMessageSpeaking());
    message.speaking = false;
    CHILD_CHECK(app.isMessageDone() && !app.isMessageSpeaking());

    // Shut-down silences the window, then frees the host and the player.
    message.record.clear();
    rig.app.reset();
    CHILD_CHECK(message.record.calls == std::vector<std::string>{"hideWindow"});
    CHILD_CHECK(message.destroyed == 1 && rig.fakes.sound.destroyed == 1);
}

TEST(AppLessonHooks, MessageTextsWaitForTheAnswerSoundsAndReplaceTheWindow) {
    EXPECT_IN_CHILD(messages);
}

// main()'s sequence on a copy of the factory data, with every stand-in
// installed, without and with a lesson argument.
void startUpWith(const char* lessonArgument) {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    std::filesystem::copy(kgiTestRobot::dataDir(), rig.base,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    char arg0[] = "Zodarovu0";
    std::string lesson = lessonArgument ? lessonArgument : "";
    char* argv[] = {arg0, lesson.data(), nullptr};
    int argc = lessonArgument ? 2 : 1;
    app.init(argc, argv, true);
    app.create();
    app.startUp(argc, argv);
    CHILD_CHECK(kgiWorld::instance()->getCurrentCharacter() != nullptr);

    const kgiAppStandIns& fakes = rig.fakes;
    const auto playerMade = [&] {
        return fakes.sound.made == 1 && fakes.sound.loaded.size() == 1 &&
               fakes.sound.loaded[0] == (rig.base / "se" / "keyset.wav").string();
    };
    if (!lessonArgument) {
        CHILD_CHECK(!app.isLessonMode() && fakes.lesson.record.calls == std::vector<std::string>{"setMode(0)"});
        CHILD_CHECK(fakes.message.made == 0 && fakes.mainWindow.applied.empty());
        // The sound device waits until the first frames are up: the
        // warm-up timeout makes the player, or its first use does sooner.
        CHILD_CHECK(fakes.sound.made == 0);
        CHILD_CHECK(app.hasTimeout(&app, kgiApp::ID_SOUND_WARMUP));
        CHILD_CHECK(app.remainingTimeout(&app, kgiApp::ID_SOUND_WARMUP) <= kgiApp::SOUND_WARMUP_MS);
        app.handle(&app, FXSEL(FX::SEL_TIMEOUT, kgiApp::ID_SOUND_WARMUP), nullptr);
        CHILD_CHECK(playerMade());
        app.handle(&app, FXSEL(FX::SEL_TIMEOUT, kgiApp::ID_SOUND_WARMUP), nullptr);
        CHILD_CHECK(fakes.sound.made == 1);
        return;
    }
    CHILD_CHECK(playerMade());
    CHILD_CHECK(app.isLessonMode());
    CHILD_CHECK(fakes.message.made == 1 && fakes.message.record.calls == std::vector<std::string>{"initialize"});
    CHILD_CHECK(fakes.lesson.record.calls == std::vector<std::string>{std::string("start(") + lessonArgument + ")"});
    // The lesson's locks: everything closed until its steps open it.
    CHILD_CHECK(fakes.mainWindow.applied.size() == 1 && fakes.mainWindow.applied[0] == kgiMainCommandLocks());
    for (bool p : fakes.lesson.permissions) CHILD_CHECK(!p);
}

void startUpPlain() { startUpWith(nullptr); }
void startUpLesson() { startUpWith("3"); }

TEST(AppLessonHooks, StartUpMakesThePlayerAfterTheFirstFramesAndWithAnArgumentStartsTheLesson) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(startUpPlain);
    EXPECT_IN_CHILD(startUpLesson);
}

} // namespace
