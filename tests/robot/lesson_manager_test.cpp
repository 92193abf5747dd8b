// The lesson manager inside the application, against the recording
// stand-ins of the sound player, the message-window host and the main
// window, with the manager's clock and process replacement in the test's
// hands. Each application runs in a child process; a failed check names
// itself (and the case) on standard error.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "platform/process.h"

#include "lesson_rig_test.h"

#include "support/window/kgiTimeoutAction.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const int UPPER = kgiLessonManager::MESSAGE_Y_UPPER;
const int LOWER = kgiLessonManager::MESSAGE_Y_LOWER;
const std::string STEPS = "[4]\nfour\n[5]\nfive\n[6]\nsix\n:1,0,0\nnotice six\n";

void advanceAndBack() {
    LessonRig r;
    r.texts(STEPS);
    r.manager.setMode(3);

    struct Flags {
        bool waiting, lower, upper;
    };
    struct Advance {
        const char* name;
        Flags before;
        bool sounds;
        std::vector<std::string> shown;
        int step;
        Flags after;
    };
    const Played ok{{kgiApp::GOOD_SOUND, false}};
    const Advance advances[] = {
        {"set up, no flag", {false, false, false}, false, {}, 5, {false, false, false}},
        {"set up, lower", {false, true, false}, true, {}, 6, {false, false, false}},
        {"set up, upper", {false, false, true}, true, {show("six", UPPER)}, 6, {true, false, false}},
        {"set up, both", {false, true, true}, true, {show("six", UPPER)}, 6, {true, false, false}},
        {"waiting", {true, false, false}, true, {}, 6, {false, false, false}},
        {"waiting, lower", {true, true, false}, true, {show("six", LOWER)}, 6, {false, true, false}},
        {"waiting, upper", {true, false, true}, true, {show("six", UPPER)}, 6, {false, false, true}},
        {"waiting, both", {true, true, true}, true, {show("six", LOWER), show("six", UPPER)}, 6, {false, true, true}},
    };
    for (const Advance& c : advances) {
        r.manager.setStep(5);
        r.manager.setPage(2);
        r.manager.setWaiting(c.before.waiting);
        r.manager.setShowNextAtLower(c.before.lower);
        r.manager.setShowNextAtUpper(c.before.upper);
        r.clearRecords();
        r.clock += 1.0f;
        r.manager.nextStep();
        CASE_CHECK(r.played() == (c.sounds ? ok : Played{}), c.name);
        CASE_CHECK(r.shown() == c.shown, c.name);
        CASE_CHECK(r.manager.getStep() == c.step, c.name);
        CASE_CHECK(r.manager.isWaiting() == c.after.waiting, c.name);
        CASE_CHECK(r.manager.getShowNextAtLower() == c.after.lower, c.name);
        CASE_CHECK(r.manager.getShowNextAtUpper() == c.after.upper, c.name);
        CASE_CHECK(r.manager.getStepTimer() == r.clock, c.name);
        // An advance closes every lock again (the new step opens its own).
        CASE_CHECK(r.rig.fakes.mainWindow.applied.size() == (c.sounds ? 1u : 0u), c.name);
        CASE_CHECK(r.manager.getPage() == (c.sounds ? 0 : 2), c.name);
    }

    struct Back {
        const char* name;
        int step;
        Flags before;
        bool result;
        bool ng;
        std::vector<std::string> shown;
        int stepAfter;
    };
    const Played ng{{kgiApp::NOT_GOOD_SOUND, false}};
    const Back backs[] = {
        {"neither waiting nor flagged", 5, {false, false, false}, false, false, {}, 5},
        {"waiting", 5, {true, false, false}, true, true, {show("five", UPPER)}, 4},
        {"lower flag", 5, {false, true, false}, true, true, {show("five", UPPER)}, 4},
        {"upper flag", 5, {false, false, true}, true, false, {}, 4},
        {"step 1 waiting", 1, {true, true, true}, false, false, {}, 1},
        {"step 0 waiting", 0, {true, true, true}, false, false, {}, 0},
    };
    for (const Back& c : backs) {
        r.manager.setStep(c.step);
        r.manager.setWaiting(c.before.waiting);
        r.manager.setShowNextAtLower(c.before.lower);
        r.manager.setShowNextAtUpper(c.before.upper);
        r.clearRecords();
        CASE_CHECK(r.manager.stepBack() == c.result, c.name);
        CASE_CHECK(r.played() == (c.ng ? ng : Played{}), c.name);
        CASE_CHECK(r.shown() == c.shown, c.name);
        CASE_CHECK(r.manager.getStep() == c.stepAfter, c.name);
        CASE_CHECK(r.manager.isWaiting() == (c.result ? false : c.before.waiting), c.name);
        CASE_CHECK(r.manager.getShowNextAtUpper() == c.before.upper, c.name);
    }
}

TEST(LessonManager, AdvanceAndStepBackFollowTheWaitingAndShowFlags) {
    EXPECT_IN_CHILD(advanceAndBack);
}

void answersAndNotices() {
    LessonRig r;
    r.texts(STEPS);
    r.manager.setMode(1);
    r.manager.setStep(5);

    // Not waiting (or nothing expected): any row is accepted silently.
    r.manager.setExpectedAnswer(13);
    CHILD_CHECK(r.manager.checkAnswer(3) && r.played().empty() && r.shown().empty());
    r.manager.setWaiting(true);
    r.manager.setExpectedAnswer(-1);
    CHILD_CHECK(r.manager.checkAnswer(3) && r.played().empty());

    // A wrong row: NG and the text again, the step stays.
    r.manager.setExpectedAnswer(13);
    CHILD_CHECK(!r.manager.checkAnswer(3));
    CHILD_CHECK(r.played() == Played({{kgiApp::NOT_GOOD_SOUND, false}}));
    CHILD_CHECK(r.shown() == std::vector<std::string>{show("five", UPPER)});
    CHILD_CHECK(r.manager.getStep() == 5 && r.manager.isWaiting());

    // The right row (row 13 is index 12) advances.
    r.clearRecords();
    CHILD_CHECK(r.manager.checkAnswer(12));
    CHILD_CHECK(r.played() == Played({{kgiApp::GOOD_SOUND, false}}));
    CHILD_CHECK(r.manager.getStep() == 6 && !r.manager.isWaiting());

    // Notices: of another step at the upper position in colour mode 1, the
    // step kept; of the current step and page for a negative number.
    r.clearRecords();
    r.manager.setPage(3);
    r.manager.showStep(6);
    r.manager.setStep(4);
    r.manager.showStep(-1);
    r.manager.showStep(25);
    CHILD_CHECK(r.shown() == std::vector<std::string>({show("notice six", UPPER, 1), "showText(||350|40|1)",
                                                       "showText(||350|40|1)"}));
    CHILD_CHECK(r.manager.getStep() == 4);

    // setStep: a negative step returns to the restart step.
    r.manager.setRestartStep(3);
    r.manager.setWaiting(true);
    r.manager.setPage(2);
    r.manager.setStep(-1);
    CHILD_CHECK(r.manager.getStep() == 3 && !r.manager.isWaiting() && r.manager.getPage() == 0);
}

TEST(LessonManager, AnswersAreCheckedOnlyWhileTheStepWaitsForOne) {
    EXPECT_IN_CHILD(answersAndNotices);
}

void pageTick() {
    LessonRig r;
    r.manager.setMode(1);
    r.manager.setStep(3);
    r.manager.setWaiting(true);
    const std::string pages = "[3]\npage 0\n:0,0,1\npage 1\n:0,0,2\npage 2\n:0,0,3\npage 3\n";

    // Without speech texts no page follows page 0.
    r.texts(pages, false);
    for (int i = 0; i < 5; ++i) r.manager.tickPages();
    CHILD_CHECK(r.manager.getPage() == 0 && r.shown().empty());

    // With both texts each silent pass shows the next page, up to page 3.
    r.texts(pages, true);
    for (int i = 0; i < 5; ++i) r.manager.tickPages();
    CHILD_CHECK(r.manager.getPage() == 3);
    CHILD_CHECK(r.shown() == std::vector<std::string>({show("page 1", UPPER), show("page 2", UPPER),
                                                       show("page 3", UPPER)}));

    // Speaking keeps the timer fresh, so the repeat waits for silence.
    r.clearRecords();
    r.rig.fakes.message.speaking = true;
    r.clock = 40.0f;
    r.manager.tickPages();
    CHILD_CHECK(r.manager.getStepTimer() == 40.0f && r.shown().empty());
    r.rig.fakes.message.speaking = false;
    r.clock = 55.0f;
    r.manager.tickPages();
    CHILD_CHECK(r.shown().empty());
    r.clock = 55.5f;
    r.manager.tickPages();
    CHILD_CHECK(r.manager.getPage() == 0 && r.shown() == std::vector<std::string>{show("page 0", UPPER)});
}

TEST(LessonManager, PagesAdvanceWhileBothTextsArePresentAndNeverPastPage3) {
    EXPECT_IN_CHILD(pageTick);
}

void silenceRepeats() {
    // A page without speech (another language's step file): after 15 s of
    // silence page 0 comes back once, and once more 15 s later, not on
    // every pass in between.
    LessonRig r;
    r.manager.setMode(1);
    r.manager.setStep(2);
    r.manager.setWaiting(true);
    r.texts("[2]\nno speech here\n", false);
    r.manager.setStepTimer(0.0f);
    int shows = 0;
    std::vector<float> showTimes;
    for (float t = 0.0f; t <= 40.0f; t += 0.25f) {
        r.clock = t;
        r.manager.tickPages();
        const int now = static_cast<int>(r.shown().size());
        if (now != shows) showTimes.push_back(t);
        shows = now;
    }
    CHILD_CHECK(showTimes == std::vector<float>({15.25f, 30.5f}));
    CHILD_CHECK(r.shown()[0] == show("no speech here", UPPER, 0, false));
}

TEST(LessonManager, SilenceShowsPage0AgainOncePerRepeatDelay) {
    EXPECT_IN_CHILD(silenceRepeats);
}

// The world's current character with the given key times (no model), for
// the key checks; removed again by the destructor.
struct KeyedCharacter {
    int id = -1;
    explicit KeyedCharacter(std::vector<float> times) {
        kgiWorld* world = kgiWorld::instance();
        id = world->createCharacter();
        world->getCharacters()->find(id)->editKeyTimes() = std::move(times);
        world->setCurrentCharacter(id);
    }
    ~KeyedCharacter() { kgiWorld::instance()->removeCharacter(id); }
};

TEST(LessonManager, ExpectedActionsMatchByKeyOrByFrameWithTheirKind) {
    struct Case {
        const char* name;
        int keyIndex, frame, kind;  // expected
        int atFrame, atKey, atKind; // reported
        bool match;
    };
    const Case cases[] = {
        {"the key with its kind", 3, -1, 2, 50, 3, 2, true},
        {"the key with another kind", 3, -1, 2, 50, 3, 0, false},
        {"another key", 3, -1, 2, 50, 2, 2, false},
        {"the frame with its kind", -1, 120, 0, 120, -2, 0, true},
        {"another frame", -1, 120, 0, 121, -2, 0, false},
        {"the frame with another kind", -1, 120, 0, 120, -2, 1, false},
    };
    kgiLessonManager manager;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        manager.setExpectedKeyIndex(c.keyIndex);
        manager.setExpectedEditFrame(c.frame);
        manager.setExpectedEditKind(c.kind);
        manager.setWaiting(true);
        EXPECT_EQ(manager.isExpectedAction(c.atFrame, c.atKey, c.atKind), c.match);
        manager.setWaiting(false);
        EXPECT_FALSE(manager.isExpectedAction(c.atFrame, c.atKey, c.atKind));
    }
}

TEST(LessonManager, ExpectedKeyIsAtItsFrameOrBeyondItWhenNotExact) {
    kgiLessonManager manager;
    manager.setWaiting(true);
    manager.setExpectedKeyIndex(3);
    manager.setExpectedKeyFrame(197);
    EXPECT_FALSE(manager.isExpectedKey(false)) << "no character";

    struct Case {
        float time;
        bool exact, notExact;
    };
    const Case cases[] = {{196.0f, false, false}, {196.9f, false, false}, {197.0f, true, true},
                          {197.9f, true, true},   {198.0f, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        KeyedCharacter character({0.0f, 27.0f, 160.0f, c.time});
        EXPECT_EQ(manager.isExpectedKey(true), c.exact);
        EXPECT_EQ(manager.isExpectedKey(false), c.notExact);
        manager.setWaiting(false);
        EXPECT_FALSE(manager.isExpectedKey(false));
        manager.setWaiting(true);
    }

    // No index of the list: nothing to compare.
    KeyedCharacter character({0.0f, 27.0f, 160.0f, 197.0f});
    for (int index : {-1, 4, 100}) {
        manager.setExpectedKeyIndex(index);
        EXPECT_FALSE(manager.isExpectedKey(false)) << index;
    }
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << content;
}

void startArguments() {
    LessonRig r;
    r.app().setModelFolders("DORUZAVO_1");
    const std::filesystem::path tutorial = r.rig.base / "DORUZAVO_1base" / "tutorial";
    writeFile(tutorial / "Estep3.txt", "English three\n");
    writeFile(tutorial / "step3.txt", "Other three\n");
    const std::string se = (r.rig.base / "se").string();

    struct Case {
        const char* argument;
        int language;
        std::string text;  // step 0, page 0
        bool answerSounds;
        int courseKind;
        bool startSignal;
        bool lesson;  // a lesson with steps: its introduction waits
    };
    const Case cases[] = {
        {"3", 0, "English three\n", true, -1, false, true},
        {"3", 1, "Other three\n", true, -1, false, true},
        {"abc", 0, "", false, -1, false, false},
        {"8", 0, "", true, -1, true, false},
        {"-1", 0, "", true, -1, false, false},
        {"12", 0, "", true, -1, false, false},
        {"6", 0, "", true, 6, false, true},
        {"7", 1, "", true, 7, false, true},
    };
    r.clockStep = 0.25f;
    for (const Case& c : cases) {
        const std::string name = std::string("argument ") + c.argument + " language " + std::to_string(c.language);
        r.app().getSettings().language = c.language;
        r.rig.fakes.sound.loaded = {"click"};
        r.manager.setMode(4);
        r.manager.setStepValue(9);
        r.manager.setPermission(2, false);
        r.clearRecords();
        r.manager.start(c.argument);
        CASE_CHECK(r.manager.getTexts().get(0, 0, 0, 0) == c.text, name.c_str());
        std::vector<std::string> sounds =
            c.answerSounds ? std::vector<std::string>{"click", se + "/qNG.wav", se + "/qOK.wav"}
                           : std::vector<std::string>{"click"};
        if (c.courseKind == 6)
            for (const char* s : {"ready", "set", "go", "goal"}) sounds.push_back(se + "/" + s + ".wav");
        if (c.courseKind == 7)
            for (const char* s : {"readyJ", "setJ", "pistol", "goalJ"}) sounds.push_back(se + "/" + s + ".wav");
        CASE_CHECK(r.rig.fakes.sound.loaded == sounds, name.c_str());
        CASE_CHECK(r.manager.getCourseKind() == c.courseKind, name.c_str());
        CASE_CHECK(r.manager.getStartSignalOnPlay() == c.startSignal, name.c_str());
        CASE_CHECK(r.manager.getRepeatDelay() == kgiLessonManager::REPEAT_DELAY, name.c_str());
        CASE_CHECK(r.manager.getCourseState() == -1 && r.manager.getCourseTimeValue() == -1.0f, name.c_str());
        CASE_CHECK(!r.rig.fakes.mainWindow.applied.empty(), name.c_str());
        if (c.lesson) {
            // The introduction has shown its first page after its wait and
            // waits, with the editor locked.
            CASE_CHECK(r.manager.getMode() == std::atoi(c.argument) && r.manager.getStep() == 0, name.c_str());
            CASE_CHECK(r.manager.isWaiting() && r.app().isLessonMode(), name.c_str());
            CASE_CHECK(r.shown().size() == 1, name.c_str());
            for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i)
                CASE_CHECK(!r.manager.getPermission(i), name.c_str());
            r.manager.reset();
        } else {
            // A mode without steps ends at once: the lesson is off and the
            // editor unlocked.
            CASE_CHECK(r.manager.getMode() == 0 && r.manager.getStep() == 0, name.c_str());
            CASE_CHECK(!r.app().isLessonMode() && r.shown().empty(), name.c_str());
            for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i)
                CASE_CHECK(r.manager.getPermission(i), name.c_str());
        }
    }
}

TEST(LessonManager, StartReadsTheLanguagesStepFileAndRegistersTheAnswerSounds) {
    EXPECT_IN_CHILD(startArguments);
}

TEST(LessonManager, ANewManagerIsAsAfterResetWithoutAnApplication) {
    kgiLessonManager manager;
    EXPECT_EQ(manager.getMode(), 0);
    EXPECT_FALSE(manager.isWaitingForAction());
    for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i) EXPECT_TRUE(manager.getPermission(i)) << i;
    EXPECT_FALSE(manager.getPermission(5));
    EXPECT_EQ(manager.getExpectedAnswer(), -1);
    EXPECT_EQ(manager.getExpectedKeyIndex(), -1);
    EXPECT_EQ(manager.getCourseKind(), -1);
    EXPECT_EQ(manager.getCourseState(), -1);
    EXPECT_EQ(manager.getCourseTimeValue(), -1.0f);
    EXPECT_EQ(manager.getCourseSounds(), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(manager.getMessageX(), 350);
    EXPECT_EQ(manager.getMessageYUpper(), 40);
    EXPECT_EQ(manager.getMessageYLower(), 450);
    EXPECT_EQ(kgiLessonManager::instance(), kgiLessonManager::instance());
}

// What the process replacement was handed, and whether the settings file
// had been written by then.
struct Replacement {
    int calls = 0;
    std::string path;
    std::vector<std::string> argv;
    std::string workDir;
    bool settingsWritten = false;
};

void restartInLessons() {
    LessonRig r;
    Replacement seen;
    r.manager.setProcessReplacer([&](const std::string& path, const std::vector<std::string>& argv,
                                     const std::string& workDir) {
        ++seen.calls;
        seen.path = path;
        seen.argv = argv;
        seen.workDir = workDir;
        seen.settingsWritten = std::filesystem::exists(r.rig.settingsFile());
        return ENOENT;
    });

    // The connection lesson goes back to its restart step instead.
    r.manager.setMode(2);
    r.manager.setRestartStep(3);
    r.manager.setStepValue(7);
    r.manager.setWaiting(true);
    r.app().lessonRestart();
    CHILD_CHECK(seen.calls == 0 && r.manager.getStep() == 3 && !r.manager.isWaiting());

    // Any other lesson writes the settings and replaces the program by
    // itself in the same base directory, with lesson 2 as its argument.
    r.manager.setMode(3);
    std::filesystem::remove(r.rig.settingsFile());
    r.app().lessonRestart();
    CHILD_CHECK(seen.calls == 1 && seen.settingsWritten);
    CHILD_CHECK(seen.path == platform::ownProgramPath() && seen.path != "/proc/self/exe");
    CHILD_CHECK(seen.argv == (std::vector<std::string>{"Zodarovu0", "2"}));
    CHILD_CHECK(seen.workDir == r.rig.base.string());
}

TEST(LessonManager, RestartReturnsToTheRestartStepInLesson2AndElseReplacesTheProgram) {
    EXPECT_IN_CHILD(restartInLessons);
}

void failedRestartEndsTheLoop() {
    LessonRig r;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    int argc = 1;
    r.app().init(argc, argv, true);
    r.app().create();
    int replacements = 0;
    r.manager.setProcessReplacer([&](const std::string&, const std::vector<std::string>& args,
                                     const std::string&) {
        ++replacements;
        CHILD_CHECK(args.size() == 2 && args[0] == "Zodarovu0");
        return EACCES;
    });
    kgiTimeoutAction restart;
    // The idle passes before it end the lesson (no step is known yet), so
    // the lesson is entered right before the robot connection fails.
    restart.action = [&] {
        r.manager.setMode(3);
        r.app().lessonRestart();
    };
    r.app().addTimeout(&restart, kgiTimeoutAction::ID_FIRE, 10);
    const int code = r.app().run();
    CHILD_CHECK(replacements == 1);
    CHILD_CHECK(code != 0);
}

TEST(LessonManager, AFailedRestartEndsTheProgramWithAnErrorCode) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(failedRestartEndsTheLoop);
}

// The application's lesson forwarders with this manager behind them.
void applicationHooks() {
    LessonRig r;
    kgiApp& app = r.app();
    kgiLessonManager& m = r.manager;

    // Outside a lesson: every permission, silently.
    CHILD_CHECK(app.applyLessonLocks());
    CHILD_CHECK(app.isViewEditAllowed(true) && app.canUseFrameButtonA() && app.canUseFrameButtonB());
    CHILD_CHECK(r.played().empty());

    // A lesson's locks clear every permission; a refusal sounds NG.
    m.setMode(4);
    CHILD_CHECK(app.applyLessonLocks());
    for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i) CHILD_CHECK(!m.getPermission(i));
    CHILD_CHECK(!app.isViewEditAllowed(false) && r.played().empty());
    CHILD_CHECK(!app.canUseFrameButtonA());
    CHILD_CHECK(r.played() == Played({{kgiApp::NOT_GOOD_SOUND, false}}));
    m.setPermission(3, true);
    CHILD_CHECK(app.canUseFrameButtonB() && !app.canUseFrameButtonA());

    // Key edits: the expected key's edit sounds OK and leaves the step to
    // the key-time check; an edit at the expected frame is the action.
    m.setAnswersActive(true);
    m.setStep(3);
    m.setWaiting(true);
    m.setExpectedKeyIndex(3);
    m.setExpectedEditKind(2);
    m.setExpectedKeyFrame(197);
    r.clearRecords();
    CHILD_CHECK(app.checkLessonKeyEdit(50, 3, 2) && m.getStep() == 3);
    CHILD_CHECK(r.played() == Played({{kgiApp::GOOD_SOUND, false}}));
    r.clearRecords();
    CHILD_CHECK(!app.checkLessonKeyEdit(50, 2, 2) && m.getStep() == 3);
    CHILD_CHECK(r.played() == Played({{kgiApp::NOT_GOOD_SOUND, false}}));
    {
        KeyedCharacter character({0.0f, 27.0f, 160.0f, 196.0f});
        CHILD_CHECK(!app.checkLessonKeyTime(true) && m.getStep() == 3);
    }
    {
        KeyedCharacter character({0.0f, 27.0f, 160.0f, 197.0f});
        CHILD_CHECK(app.checkLessonKeyTime(true) && m.getStep() == 4 && !m.isWaiting());
    }
    m.setWaiting(true);
    m.setExpectedKeyIndex(-1);
    m.setExpectedEditKind(0);
    m.setExpectedEditFrame(120);
    CHILD_CHECK(app.checkLessonKeyEdit(120, -2, 0) && m.getStep() == 5);

    // Once the lesson no longer takes answers a reported action only
    // sounds OK.
    m.setAnswersActive(false);
    m.setWaiting(true);
    r.clearRecords();
    CHILD_CHECK(app.lessonActionDone() && m.getStep() == 5);
    CHILD_CHECK(r.played() == Played({{kgiApp::GOOD_SOUND, false}}));

    // The idle pass runs the step engine, which ends a lesson it does not
    // know: everything opens again.
    m.setMode(8);
    app.lessonTick();
    CHILD_CHECK(!app.isLessonMode() && app.canUseFrameButtonA());
}

TEST(LessonManager, ApplicationForwardersWorkWithTheManagerInstalled) {
    EXPECT_IN_CHILD(applicationHooks);
}

} // namespace
