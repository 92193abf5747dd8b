#pragma once
// A lesson walked through as a user walks it: the program's windows under
// X, the lesson started from the command line, and the test in the user's
// place. One walk per test program (the process has one application, see
// kgiWindowTest.h); each walk is a test executable of its own.
//
// A walk of mode N is tests/robot/lesson_walk_mode<N>_test.cpp: the build
// makes it the program robot_lesson_walk_mode<N>_tests, linked with this
// rig (kgi_lessonwalk); a walk that needs more (the simulated board) adds
// its library to that target in tests/robot/CMakeLists.txt.
//
// What the walk gets, as the program builds it (app/main/kgiMain.cpp):
// - the process's application (kgiTestApp) on the staged base directory,
//   the robot joint table installed, the real main window ("Time Line",
//   with its first 3D window) and the real options window made by its
//   maker (kgiOptionsDialog::make) when the program first shows it;
// - the program's lesson manager (kgiLessonManager::instance) on the
//   walk's clock;
// - Application core VI's recording stand-ins for the sound player and the
//   message-window host: nothing sounds, no window speaks unless the test
//   says so, and every sound and text is kept in order;
// - the program's robot session maker (kgiRobotSession): nothing opens a
//   port until communication is switched on; a walk against the simulated
//   board installs its own maker over it (copy app().getMakers(), change
//   robotSession, app().setMakers) before start;
// - the media host only when the walk asks for it (useMediaHost), since it
//   loads the media plug-in on the first playback;
// - the answering services (kgiAnsweringServices) and the scripted file
//   dialogs (kgiScriptedDialogs) installed, so no box or file dialog ever
//   waits for a user: script their answers before the action that asks.
//   A box is answered at once unless setPassesWhileAsked says otherwise;
// - with useBoard, robot sessions that talk to a simulated board.
//
//     KGI_REQUIRE_TEST_APP();
//     kgiLessonWalk& walk = kgiLessonWalk::get();
//     walk.writeStepFile(4, 11);                 // steps 0..11, step 0 two pages
//     ASSERT_TRUE(walk.start(4));                // "Zodarovu0 4"
//     EXPECT_EQ(walk.lastShown().line(), "m4 s0 p0");
//     walk.setSpeaking(false);
//     ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == 1 && walk.waiting(); }));
//     const size_t mark = walk.soundMark();
//     walk.pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY);
//     EXPECT_EQ(walk.soundsSince(mark), (std::vector<int>{kgiLessonWalk::OK}));
//     ...
//     EXPECT_TRUE(walk.walkToEnd(11));
//
// Time. The manager's clock is the walk's: it stands still unless the test
// moves it (advance) or while autoAdvance is on, when every reading moves
// it on by CLOCK_STEP; start() turns that on for the start-up, so the
// introduction's two-second wait ends after a few hundred readings and no
// real time. Playback is the test's too: every idle pass of the walk first
// restarts the program's frame interval (kutResetTime), so playback stands
// all but still between passes; the test moves it with playToEnd or
// kgiWorld::advancePlaybackBy.
//
// Speaking. The message stand-in answers "speaking" as the test sets it;
// with speakOnShow (on by default) every text shown starts speaking, as the
// real window does, until the test calls setSpeaking(false).
#include "kgiApp.h"
#include "kgiLessonManager.h"

#include "support/app/kgiAnsweringServices.h"
#include "support/app/kgiAppStandIns.h"
#include "support/app/kgiScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class kgiGLFrameButtons;
class kgiGLTsMgr;
class kgiOptionsDialog;
class kgiSimBoard;
class kgiTimesheetWindow;
class kgiWorld;

// One text the message window was given.
struct kgiWalkText {
    std::string text;    // display text as shown (each line keeps its newline)
    std::string speech;  // what it speaks
    int x = 0;
    int y = 0;
    int colour = 0;      // colour mode: 0 step texts, 1 notices
    float clock = 0.0f;  // the walk's clock when it was shown

    // The display text without its final newline ("m1 s0 p0").
    std::string line() const;
};

class kgiLessonWalk;

// One row of a walk's table: what the user does in a waiting step and what
// the program answers (see kgiLessonWalk::walkRows).
struct kgiWalkRow {
    // Page 0 of a step's text where it showed (y 40 upper, 450 lower).
    // Colour mode 1: notice `step` (bank 1) instead.
    struct Shown {
        int step;
        int y;
        int colour = 0;
    };
    const char* what;                 // the action, as a failure names it
    int step;                         // the step it is done in, waiting
    std::set<int> mainEnabled;        // the main window's record there
    std::set<int> optionsEnabled;     // the options window's (empty without it)
    std::function<void(kgiLessonWalk&)> act;
    std::vector<int> sounds;          // asked for by the action
    int next;                         // the step after it
    bool playing = false;             // it started playback: the next step waits for its end
    std::vector<Shown> shown = {};    // texts shown until the next step waits
    std::function<void(kgiLessonWalk&)> check = {};  // the row's own check
};

// A walk runs on the fixture step files it writes, and is built once more
// on the shipped step files (with KGI_WALK_SHIPPED, tests/robot/
// CMakeLists.txt): the same table, as a test suite of its own, checking
// what the program shows against what it read.
#ifdef KGI_WALK_SHIPPED
#define KGI_WALK_SUITE(name) name##OnShippedSteps
#else
#define KGI_WALK_SUITE(name) name
#endif

class kgiLessonWalk {
public:
    // The answer sounds as the sound player knows them.
    static constexpr int NG = kgiApp::NOT_GOOD_SOUND;
    static constexpr int OK = kgiApp::GOOD_SOUND;
    // How far one reading of the clock moves it while autoAdvance is on.
    static constexpr float CLOCK_STEP = 0.01f;
    // The notice the step files hold besides the steps (the robot session's
    // "connection failed").
    static constexpr int NOTICE = 19;

    // The process's walk, set up on first use: the windows made, the
    // stand-ins, services and dialogs installed, the manager on the walk's
    // clock. Call after KGI_REQUIRE_TEST_APP().
    static kgiLessonWalk& get();

    // "m<mode> s<step> p<page>": what the fixture step files show on that
    // page; "m<mode> n<step> p<page>" for the notices (bank 1).
    static std::string label(int mode, int step, int page);
    static std::string noticeLabel(int mode, int step, int page);

    // Writes the lesson's step file where the program reads it
    // (kgiLessonManager::stepFilePath for the application's language),
    // replacing any: steps 0 to lastStep, each page with its label as the
    // display text (which in English is also its speech), the introduction
    // with two pages and every other step with one unless pages says
    // otherwise (step -> page count, 1 to 4), and notice NOTICE.
    void writeStepFile(int mode, int lastStep, const std::map<int, int>& pages = {});

    // The walk's step file: the fixture (writeStepFile), or in a walk built
    // on the shipped files the shipped one (useShippedStepFile).
    void useStepFile(int mode, int lastStep, const std::map<int, int>& pages = {}) {
#ifdef KGI_WALK_SHIPPED
        (void)lastStep;
        (void)pages;
        useShippedStepFile(mode);
#else
        writeStepFile(mode, lastStep, pages);
#endif
    }
    // Puts the shipped step file of the mode (for the application's
    // language) back where the program reads it, as staged, in place of
    // a fixture.
    void useShippedStepFile(int mode);
    // The display text of a page as the program read it from the step file
    // (bank 0 the steps, 1 the notices), without its final line break: what
    // kgiWalkText::line() of that page shows. For the fixture files, the
    // page's label.
    std::string pageLine(int step, int page, int bank = 0) const;

    // Starts the program's start-up as "Zodarovu0 <mode>" does
    // (kgiApp::startUp): the factory robot loaded, the lesson started, its
    // first step run; the clock auto-advancing throughout. Before it the
    // robot is loaded once without a lesson, so that centredView() holds
    // canvas 0's view as start-up leaves it. False when no robot loaded or
    // no lesson runs afterwards.
    bool start(int mode);

    // --- the program's parts ---
    kgiApp& app() const;
    kgiLessonManager& manager() const;
    kgiWorld& world() const;
    kgiTimesheetWindow& mainWindow() const { return *main; }
    // The options window; null until the program made it.
    kgiOptionsDialog* optionsDialog() const;
    kgiGLTsMgr& timeline() const;
    // The media host as the program installs it (kgiMediaHost), made on the
    // tracks' first use; call before start.
    void useMediaHost();
    kgiGLFrameButtons& frameButtons() const;
    // Canvas 0's viewpoint matrix now, and as a lesson-less start-up left
    // it (recorded by start).
    std::vector<float> viewMatrix() const;
    const std::vector<float>& centredView() const { return centred; }

    // --- the manager's state ---
    int mode() const;
    int step() const;
    int page() const;
    bool waiting() const;

    // --- clock ---
    float now() const { return clock; }
    void advance(float seconds) { clock += seconds; }
    void setAutoAdvance(bool on) { autoAdvance = on; }

    // --- idle passes (events, the idle task with the lesson's step, repaints) ---
    void idle(int passes = 1);
    // Passes until done() holds; false when it still does not after maxPasses.
    bool idleUntil(const std::function<bool()>& done, int maxPasses = 200);

    // --- the message window ---
    void setSpeaking(bool on) { messages.speaking = on; }
    bool speaking() const { return messages.speaking; }
    void setSpeakOnShow(bool on) { speakOnShow = on; }
    // Every text shown since start, in order.
    const std::vector<kgiWalkText>& shown() const { return texts; }
    // The last text shown; an empty one before any.
    kgiWalkText lastShown() const;
    // The texts shown since a mark (a count of shown()).
    std::size_t textMark() const { return texts.size(); }
    std::vector<kgiWalkText> textsSince(std::size_t mark) const;
    // The window was emptied (kgiApp::resetMessageWindow reached the host)
    // after the last text it was given.
    bool emptiedAfterLastText() const;

    // --- sounds ---
    std::size_t soundMark() const { return sounds.played.size(); }
    // Ids of the sounds asked for since a mark, in order.
    std::vector<int> soundsSince(std::size_t mark) const;
    const kgiStandInSoundState& soundRecord() const { return sounds; }

    // --- command locks as the windows show them ---
    // The bytes of the main window's record whose widget is enabled (or,
    // for the keyboard shortcuts and the time-line refresh, whose flag is
    // set); the bytes without a widget are never listed.
    std::set<int> mainEnabled() const;
    // Every byte the main window reads: what mainEnabled lists outside a
    // lesson.
    static std::set<int> allMainBytes();
    // The same for the options window's governed widgets; empty without
    // the window.
    std::set<int> optionsEnabled() const;
    std::set<int> allOptionsBytes() const;
    // What the lesson added to the main window's title ("     Step1").
    std::string titleSuffix() const;

    // --- actions through the program's entry points ---
    // A command sent to the main window or the options window as its
    // widget sends it; the handler's answer (0 without the options window).
    long mainCommand(int id);
    long optionsCommand(int id);
    // Row (0-based) of the sample list chosen: made current and the list's
    // command sent. False without the window or the row.
    bool chooseSample(int row);
    // The same for the robot tab's robot motion list.
    bool chooseRobotMotion(int row);
    // COM<port> chosen in the robot tab's port box; false without the
    // window or the port.
    bool chooseComPort(int port);
    // A click on one of the options window's checks (communication, pose
    // reflection, ...): its mark turned over and its command sent, as the
    // check does; the handler's answer (0 without the window).
    long clickOptionsCheck(FX::FXMenuCheck* check, int id);
    // A left press on the time line's frame button (kgiGLFrameButtons::
    // BUTTON_BEGIN, BUTTON_PLAY, BUTTON_END) where it is drawn; whether the
    // button acted.
    bool pressFrameButton(int button);
    // Playback run to its end (stopped there when it loops).
    void playToEnd();
    // The time line's canvas given a mouse event as the toolkit hands it
    // on (kgiGLWidget::BUTTON_LEFT, BUTTON_MIDDLE, BUTTON_RIGHT; canvas
    // pixels; clicks 2 for the second press of a double click).
    void timelinePress(int button, int x, int y, int clicks = 1);
    void timelineMotion(int x, int y);
    void timelineRelease(int button, int x, int y);
    // Canvas pixels of frame f's cell on the time line's editable frame
    // line: the middle of its column, in the key row or the time area.
    struct Point {
        int x = 0;
        int y = 0;
    };
    Point keyPoint(int f) const;
    Point timePoint(int f) const;
    // A key drag as a user makes it: a press with the button on the key
    // row at frame from, motions to frame to, the release there.
    void dragKey(int button, int from, int to);

    // --- the table ---
    // Runs the rows in order, each in its step once that waits: the
    // records as the windows show them, the action, the sounds it asked
    // for, the step after it; with playing, nothing set up while playback
    // runs, then playback run to its end; the texts shown until the next
    // step waits (or, from finalStep on, two passes), each at x 350 in its
    // colour mode (0 for step texts); the row's check. Stops at the first fatal failure (false).
    bool walkRows(int finalStep, const std::vector<kgiWalkRow>& rows);

    // --- the introduction ---
    // What every walk meets after start: the introduction's first page at
    // the upper place in the step texts' colours, shown after 2 s of clock;
    // each further page of the file (the fixture's second) once the one
    // before has been spoken; then step 1 set up and showing its page 0.
    ::testing::AssertionResult walkIntroduction();

    // --- the end ---
    // From the final step (finalStep, not yet waiting) to the lesson's end,
    // checking what every walk ends with: playback stopped, no final text
    // before 4 s of clock since the step began, the final text's pages in
    // turn as each was spoken, no end while the window speaks nor before
    // 4 s from the final text's first showing, then lesson mode 0, every
    // command of both windows enabled and the message window emptied.
    // onPage(page) runs while each page of the final text is shown.
    ::testing::AssertionResult walkToEnd(int finalStep, const std::function<void(int page)>& onPage = {});

    kgiAnsweringServices& services() { return *answering; }
    kgiScriptedDialogs& dialogs() { return scripted; }
    // A box, question or input box stays open for this many idle passes
    // before its scripted answer, a file dialog for passesWhileChoosing:
    // each as a modal window of the main window, whose loop keeps running
    // the idle task while the user reads (the lesson's step waits for it,
    // as in the program); 0, the default, answers at once.
    void setPassesWhileAsked(int passes) { passesWhileAsked = passes; }
    void setPassesWhileChoosing(int passes) { passesWhileChoosing = passes; }
    // The idle passes the last such modal window stayed open for.
    long passesWhileLastModal() const { return lastModalPasses; }

    // --- the simulated board ---
    // Every robot session the program makes from now on talks to board on
    // COM<port> (kgiPointPortAt) on the session tests' stepping clock; every
    // other port names a device that is not there, so that opening it fails
    // as a port without a robot does. Call before start, with the board
    // answering in its own thread (kgiSimBoard::start).
    void useBoard(kgiSimBoard& board, int port);
    // Idle passes until the program's robot session has nothing in flight
    // (no packet unanswered, no information read, transfer or pose read),
    // as a user waits for "Ready"; false without a session or when it
    // never settles.
    bool settleLink(int maxPasses = 2000);
    // Whether the board received the request to play motion n.
    static bool boardGotPlay(kgiSimBoard& board, int motion);

private:
    class RecordingMessage;
    class ModalAnswering;
    class ModalFileDialogs;

    // A modal window open for that many idle passes (none for 0, nor
    // inside another).
    void whileModal(int passes);
    bool choose(FX::FXList* list, int id, int row);

    kgiLessonWalk();
    bool open();

    kgiStandInSoundState sounds;
    kgiStandInMessageState messages;
    std::vector<kgiWalkText> texts;
    bool speakOnShow = true;
    std::unique_ptr<kgiAnsweringServices> answering;
    int passesWhileAsked = 0;
    int passesWhileChoosing = 0;
    long lastModalPasses = 0;
    int asking = 0;
    kgiScriptedDialogs scripted;
    std::unique_ptr<ModalFileDialogs> fileDialogs;
    kgiTimesheetWindow* main = nullptr;
    std::string baseTitle;
    // The staged step files, kept before any fixture replaced one.
    std::filesystem::path shipped;
    std::vector<float> centred;
    float clock = 0.0f;
    bool autoAdvance = false;
};
