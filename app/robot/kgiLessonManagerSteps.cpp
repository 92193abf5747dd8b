// The step engine: what each step of each lesson mode shows, unlocks and
// waits for. Step 0 of every mode is the introduction and the step after a
// mode's last row is the final step; both advance by themselves. Every other
// step is set up once (while it does not wait yet) and then waits, ticking
// its pages, until the user's action reaches the manager through kgiApp's
// lesson forwarders.
//
// Each run builds the two command-enable records afresh: a step that sets
// one clears it through the application, sets exactly its flags and applies
// it; a record a step does not set stays as the lesson locks left it
// (everything disabled).
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCommandWindow.h"
#include "kgiRobotOptions.h"
#include "kgiWorld.h"
#include "kutPath.h"

#include <array>
#include <chrono>
#include <thread>

namespace {

// Flags of the main window's record the lessons set.
enum MainFlag {
    ZOOM_BUTTON = 7,
    OPTIONS_BUTTON = 8,
    FILE_MENU = 10,
    VIEW_MENU = 11,
    SAVE_AS = 19,
    MEDIA_ADD = 23,
    MEDIA_WINDOW = 26,
    TIMELINE_REFRESH = 53,
};

// Flags of the options dialog's record the lessons set.
enum OptionsFlag {
    SAMPLE_TAB = 0,
    ROBOT_TAB = 4,
    SAMPLE_READ = 7,
    SAMPLE_ADD = 8,
    SAMPLE_LIST = 10,
    ROBOT_COM_CHECK = 15,
    COM_PORT = 16,
    ROBOT_MOTION_LIST = 18,
    ADD_TO_LIST = 19,
    WRITE_IRC = 22,
    PLAY_REMOCON = 23,
    POSE_REFLECTION = 31,
};

// The introduction waits this long (seconds since it started) before it
// shows its text, and the final step lets its text stand at least this long.
constexpr float INTRO_WAIT = 2.0f;
constexpr float FINAL_WAIT = 4.0f;
// The introduction's wait reads the clock again after this pause.
constexpr auto INTRO_POLL = std::chrono::milliseconds(5);

const char* const MEDIA_FOLDER = "media";

// A record's flags: up to two, NONE where there are fewer, and no record
// at all when the first is NONE.
constexpr int NONE = -1;
struct Flags {
    Flags() = default;
    Flags(int a, int b = NONE) : first(a), second(b) {}
    int first = NONE;
    int second = NONE;
    bool set() const { return first != NONE; }
};

} // namespace

// What a row of a mode's table does in its set-up.
enum class kgiLessonManager::StepKind {
    OptionsButton,  // main record = the options button
    Answer,         // expects row `answer` of the sample list
    ReadSample,     // the sample tab's Read
    AddSample,      // the sample tab's Add
    Play,           // the time line's play button
    Text,           // the row's own records and expectations
};

struct kgiLessonManager::StepRow {
    StepKind kind = StepKind::Text;
    int answer = 0;
    Flags mainFlags;
    Flags optionFlags;
    // The set-up waits until playback has stopped.
    bool whileStopped = false;
    // While the step does not wait yet, every run restarts stepTimer.
    bool timerWhileSetUp = false;
    // Redraw every view before the text (the shared kinds always do).
    bool redraw = false;
    // The text at the lower position.
    bool lower = false;
    // The row's own set-up, before its records and text; null for none.
    void (*before)(kgiLessonManager&) = nullptr;
    // The same after the text.
    void (*after)(kgiLessonManager&) = nullptr;
};

struct kgiLessonManager::ModeTable {
    const char* titleSuffix = "";
    const char* timesheet = "";
    bool robotTab = false;
    const char* course = "";
    bool joints = false;
    // While the introduction does not wait yet, before it.
    void (*beforeIntro)(kgiLessonManager&) = nullptr;
    // In every run of the introduction, after it.
    void (*afterIntro)(kgiLessonManager&) = nullptr;
    // Steps 1 to count; the step after them is the final step.
    const StepRow* rows = nullptr;
    int count = 0;
};

const kgiLessonManager::ModeTable* kgiLessonManager::tableOf(int lessonMode) {
    // Built on first use; an idle pass only looks its mode up.
    static const std::array<const ModeTable*, 10> byMode = [] {
        using K = StepKind;
        // Shorthands for the rows alike.
        auto of = [](StepKind kind) {
            StepRow r;
            r.kind = kind;
            return r;
        };
        // The options button's step waits for playback to stop.
        const StepRow OPTIONS_BUTTON_ROW = [&] {
            StepRow r = of(K::OptionsButton);
            r.whileStopped = true;
            return r;
        }();
        const StepRow READ_ROW = of(K::ReadSample);
        const StepRow ADD_ROW = of(K::AddSample);
        const StepRow PLAY_ROW = of(K::Play);
        const StepRow TEXT_ROW = of(K::Text);
        auto answer = [&](int n) {
            StepRow r = of(K::Answer);
            r.answer = n;
            return r;
        };
        auto text = [](Flags mainFlags, Flags optionFlags) {
            StepRow r;
            r.mainFlags = mainFlags;
            r.optionFlags = optionFlags;
            return r;
        };
        auto allowToStart = [](kgiLessonManager& m) { m.toStartAllowed = true; };
        auto showNextUpper = [](kgiLessonManager& m) { m.showNextAtUpper = true; };
        auto restartTimer = [](kgiLessonManager& m) { m.stepTimer = m.now(); };
        auto withBefore = [](StepRow r, void (*f)(kgiLessonManager&)) { r.before = f; return r; };
        auto withAfter = [](StepRow r, void (*f)(kgiLessonManager&)) { r.after = f; return r; };
        auto untilStopped = [](StepRow r) { r.whileStopped = true; return r; };

        // Samples and playback.
        static const StepRow mode1[] = {
            OPTIONS_BUTTON_ROW,
            answer(13),
            READ_ROW,
            PLAY_ROW,
        };
        static const ModeTable lesson1{
            "Step1", "", false, "", false,
            [](kgiLessonManager&) {
                if (kgiApp* app = kgiApp::instance()) app->moveCanvasView(0, 0.0f, 0.0f, -4.0f, 0.0f, 0.0f);
            },
            nullptr, mode1, int(std::size(mode1))};

        // Robot connection.
        static const StepRow mode2[] = {
            PLAY_ROW,
            OPTIONS_BUTTON_ROW,
            [&] {
                StepRow r = untilStopped(text({}, {ROBOT_TAB, COM_PORT}));
                r.redraw = true;
                r.before = [](kgiLessonManager& m) { m.restartStep = 3; };
                return r;
            }(),
            text({}, {ROBOT_TAB, ROBOT_COM_CHECK}),
            text({}, {ROBOT_TAB, POSE_REFLECTION}),
            withBefore(TEXT_ROW, allowToStart),
            withBefore(PLAY_ROW, showNextUpper),
            TEXT_ROW,
            TEXT_ROW,
        };
        static const ModeTable lesson2{"Step2", "1_Bow.ts", false, "", false, nullptr, nullptr, mode2,
                                       int(std::size(mode2))};

        // Robot motions.
        static const StepRow mode3[] = {
            text({}, {ROBOT_TAB, ROBOT_COM_CHECK}),
            withBefore(text({}, {ROBOT_TAB, ROBOT_MOTION_LIST}), [](kgiLessonManager& m) { m.expectedAnswer = 1; }),
            text({}, {ADD_TO_LIST}),
            TEXT_ROW,
            withBefore(text({}, {WRITE_IRC}), showNextUpper),
            withBefore(TEXT_ROW, showNextUpper),
            TEXT_ROW,
            withBefore(text({}, {PLAY_REMOCON}), [](kgiLessonManager& m) { m.showNextAtUpper = false; }),
        };
        static const ModeTable lesson3{"Step3", "1_Bow.ts", true, "", false, nullptr, nullptr, mode3,
                                       int(std::size(mode3))};

        // Key editing: key 3 pushed to 197, key 2 moved to 160, key 1 to 27.
        static const StepRow mode4[] = {
            PLAY_ROW,
            withAfter(untilStopped(text({ZOOM_BUTTON}, {})), restartTimer),
            withBefore(TEXT_ROW,
                       [](kgiLessonManager& m) {
                           m.expectedKeyIndex = 3;
                           m.expectedEditKind = 2;
                           m.expectedKeyFrame = 197;
                       }),
            withBefore(TEXT_ROW,
                       [](kgiLessonManager& m) {
                           m.expectedKeyIndex = 2;
                           m.expectedEditKind = 0;
                           m.expectedKeyFrame = 160;
                       }),
            withBefore(TEXT_ROW,
                       [](kgiLessonManager& m) {
                           m.expectedKeyIndex = 1;
                           m.expectedEditKind = 0;
                           m.expectedKeyFrame = 27;
                       }),
            withBefore(text({TIMELINE_REFRESH}, {}), [](kgiLessonManager& m) { m.expectedKeyIndex = -1; }),
            withBefore(TEXT_ROW, allowToStart),
            PLAY_ROW,
            [&] {
                StepRow r = withBefore(untilStopped(text({FILE_MENU, SAVE_AS}, {})),
                                       [](kgiLessonManager& m) { m.showNextAtLower = true; });
                r.timerWhileSetUp = true;
                return r;
            }(),
            TEXT_ROW,
        };
        static const ModeTable lesson4{"Step4", "1_Bow.ts", false, "", false, nullptr, nullptr, mode4,
                                       int(std::size(mode4))};

        // Posing: the last key's frame clicked, then a key added from the 3D view.
        static const StepRow mode5[] = {
            PLAY_ROW,
            [&] {
                StepRow r = withBefore(untilStopped(TEXT_ROW), [](kgiLessonManager& m) {
                    m.expectedEditKind = 0;
                    m.expectedEditFrame = static_cast<int>(kgiWorld::instance()->getLastKeyTime());
                });
                r.timerWhileSetUp = true;
                return r;
            }(),
            withBefore(TEXT_ROW,
                       [](kgiLessonManager& m) {
                           m.expectedEditKind = -1;
                           m.expectedEditFrame = -1;
                           m.viewEditAllowed = true;
                       }),
            withBefore(TEXT_ROW, allowToStart),
            withBefore(PLAY_ROW, [](kgiLessonManager&) { kgiWorld::instance()->setCurrentTime(0.0f); }),
        };
        static const ModeTable lesson5{"Step5", "1_Bow.ts", false, "", false, nullptr, nullptr, mode5,
                                       int(std::size(mode5))};

        // The two courses.
        auto courseSounds = [](kgiLessonManager& m) { m.registerCourseSounds(); };
        static const StepRow mode6[] = {
            OPTIONS_BUTTON_ROW, answer(34), READ_ROW, answer(10), ADD_ROW, answer(10), ADD_ROW,
            withBefore(TEXT_ROW, allowToStart),
            PLAY_ROW,
        };
        static const ModeTable lesson6{"Scene1", "", false, "nomalCource.ts", false, courseSounds, nullptr, mode6,
                                       int(std::size(mode6))};
        static const StepRow mode7[] = {
            OPTIONS_BUTTON_ROW, answer(39), READ_ROW, answer(35), ADD_ROW, answer(10), ADD_ROW,
            answer(36), ADD_ROW, answer(10), ADD_ROW,
            withBefore(TEXT_ROW, allowToStart),
            PLAY_ROW,
        };
        static const ModeTable lesson7{"Scene2", "", false, "obsCource.ts", false, courseSounds, nullptr, mode7,
                                       int(std::size(mode7))};

        // Media: the import starts in the factory's media folder.
        static const StepRow mode9[] = {
            text({VIEW_MENU, MEDIA_WINDOW}, {}),
            withBefore(text({FILE_MENU, MEDIA_ADD}, {}), [](kgiLessonManager& m) { m.showNextAtLower = true; }),
            [&] {
                StepRow r = TEXT_ROW;
                r.lower = true;
                return r;
            }(),
            OPTIONS_BUTTON_ROW,
            answer(27),
            READ_ROW,
            withBefore(PLAY_ROW,
                       [](kgiLessonManager&) {
                           kgiApp* app = kgiApp::instance();
                           if (!app) return;
                           app->setMediaDir(kutAppendPath(kutAppendPath(app->getBaseDir(), app->getModelId()),
                                                          MEDIA_FOLDER));
                           app->showOptionsDialog(false);
                       }),
        };
        static const ModeTable lesson9{
            "Collabo1", "", false, "", false,
            [](kgiLessonManager&) {
                if (kgiApp* app = kgiApp::instance()) app->moveCanvasView(0, 0.0f, 0.0f, -4.0f, 0.0f, -2.0f);
            },
            [](kgiLessonManager&) {
                if (kgiApp* app = kgiApp::instance())
                    app->setMediaDir(kutAppendPath(app->getFactoryDir(), MEDIA_FOLDER));
            },
            mode9, int(std::size(mode9))};

        // Mode 8 (the start signal alone) has no steps.
        return std::array<const ModeTable*, 10>{nullptr,  &lesson1, &lesson2, &lesson3, &lesson4,
                                                &lesson5, &lesson6, &lesson7, nullptr,  &lesson9};
    }();
    if (lessonMode < 0 || lessonMode >= static_cast<int>(byMode.size())) return nullptr;
    return byMode[static_cast<std::size_t>(lessonMode)];
}

void kgiLessonManager::runStep() {
    repeatDelay = REPEAT_DELAY;
    const ModeTable* table = tableOf(mode);
    if (!table) {
        reset();
        return;
    }
    // Once a failed connection has closed, whatever it enabled in the
    // options window follows the step again.
    if (optionsRecordStale)
        if (kgiApp* app = kgiApp::instance(); app && !app->isRobotCom()) reapplyOptionsRecord();
    if (step == 0) {
        if (!waiting && table->beforeIntro) table->beforeIntro(*this);
        runIntroStep(table->timesheet, table->robotTab, table->course, table->joints);
        if (table->afterIntro) table->afterIntro(*this);
        return;
    }
    if (step > table->count) {
        // The steps past the last one are one final step; lesson 1 keeps
        // its number and lets the user go back to the start while its
        // third page stands.
        if (mode == 1) {
            step = table->count + 1;
            if (waiting && page == 2) toStartAllowed = true;
        }
        runFinalStep();
        return;
    }
    const StepRow& row = table->rows[step - 1];
    if (waiting) {
        tickPages();
        return;
    }
    runRow(row);
}

void kgiLessonManager::runRow(const StepRow& row) {
    if (row.timerWhileSetUp) stepTimer = now();
    if (row.whileStopped && kgiWorld::instance()->isPlaying()) return;
    kgiApp* app = kgiApp::instance();
    if (row.before) row.before(*this);

    Flags mainFlags = row.mainFlags;
    Flags optionFlags = row.optionFlags;
    bool redraw = row.redraw;
    switch (row.kind) {
    case StepKind::OptionsButton:
        mainFlags = {OPTIONS_BUTTON};
        redraw = true;
        break;
    case StepKind::Answer:
        expectedAnswer = row.answer;
        optionFlags = {SAMPLE_TAB, SAMPLE_LIST};
        redraw = true;
        break;
    case StepKind::ReadSample:
    case StepKind::AddSample:
        mainFlags = {TIMELINE_REFRESH};
        optionFlags = {SAMPLE_TAB, row.kind == StepKind::ReadSample ? SAMPLE_READ : SAMPLE_ADD};
        redraw = true;
        break;
    case StepKind::Play:
        playAllowed = true;
        redraw = true;
        break;
    case StepKind::Text:
        break;
    }
    waiting = true;
    if (app) {
        if (mainFlags.set()) {
            kgiMainCommandLocks record;
            app->clearMainWindowLock(record);
            record[mainFlags.first] = 1;
            if (mainFlags.second != NONE) record[mainFlags.second] = 1;
            app->applyMainWindowLock(record);
        }
        if (optionFlags.set()) {
            kgiOptionsCommandFlags record;
            app->clearOptionsLock(record);
            record[optionFlags.first] = 1;
            if (optionFlags.second != NONE) record[optionFlags.second] = 1;
            app->applyOptionsLock(record);
            optionsRecord = record;
        }
        if (redraw) app->redrawAll();
    }
    showText(messageX, row.lower ? messageYLower : messageYUpper, 0);
    if (row.after) row.after(*this);
}

void kgiLessonManager::runIntroStep(const std::string& timesheet, bool robotTab, const std::string& course,
                                    bool joints) {
    kgiApp* app = kgiApp::instance();
    if (waiting) {
        // The introduction moves on by itself once its last page has been
        // spoken.
        if (app && app->isMessageSpeaking()) return;
        if (page + 1 < kgiLessonTexts::PAGES && texts.isPresent(0, 0, page + 1, step) &&
            texts.isPresent(0, 1, page + 1, step)) {
            ++page;
            showText(messageX, messageYUpper, 0);
        } else {
            step = 1;
            waiting = false;
            page = 0;
        }
        return;
    }

    if (app) {
        const ModeTable* table = tableOf(mode);
        app->appendToTitle(table ? table->titleSuffix : "");
    }
    stepTimer = now();
    if (timesheet.size() > 1) {
        loadStepMotion(timesheet);
        if (robotTab && app) {
            app->deleteOptionsDialog();
            app->createOptionsDialog();
            kgiOptionsCommandFlags record;
            app->clearOptionsLock(record);
            record[ROBOT_TAB] = 1;
            app->applyOptionsLock(record);
            optionsRecord = record;
            if (kgiRobotOptions* options = app->getOptionsDialog()) options->openRobotTab();
            app->showOptionsDialog(true);
        }
    }
    if (course.size() > 1) {
        loadCourse(course, joints);
        showCourseView();
    }
    // The event loop stands still for the wait, as the lesson expects: the
    // user looks at the scene before the first words.
    while (!(now() - stepTimer > INTRO_WAIT)) std::this_thread::sleep_for(INTRO_POLL);
    showText(messageX, messageYUpper, 0);
    waiting = true;
}

bool kgiLessonManager::loadStepMotion(const std::string& timesheet) {
    kgiApp* app = kgiApp::instance();
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* character = world->getCurrentCharacter();
    if (!app || !character) return false;
    if (!character->importMotion(kutAppendPath(app->getFactoryDir(), timesheet), 0, -1)) return false;
    world->setEndFrame(world->getLastKeyTime());
    app->updateTimeline(false);
    app->redrawAll();
    return true;
}

void kgiLessonManager::runFinalStep() {
    kgiApp* app = kgiApp::instance();
    if (!waiting) {
        if (app) app->redrawAll();
        if (!kgiWorld::instance()->isPlaying() && now() - stepTimer > FINAL_WAIT) {
            waiting = true;
            answersActive = false;
            showText(messageX, messageYUpper, 0);
            stepTimer = now();
        }
        return;
    }
    if (app && app->isMessageSpeaking()) return;
    if (page + 1 < kgiLessonTexts::PAGES && texts.isPresent(0, 0, page + 1, step) &&
        texts.isPresent(0, 1, page + 1, step)) {
        ++page;
        showText(messageX, messageYUpper, 0);
    } else if (now() - stepTimer > FINAL_WAIT) {
        if (app) app->resetMessageWindow();
        reset();
    }
}
