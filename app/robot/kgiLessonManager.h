#pragma once
// The lesson and course manager. A number on the command line selects a
// lesson: the manager reads the lesson's step texts from its step file,
// shows the current step page by page in the message window (which speaks
// it), locks what the step does not need, and moves on when the user does
// what the step asks (reported through kgiApp's lesson forwarders). Modes 6
// and 7 are timed courses: a course scene stands beside the robot, a start
// signal sounds when playback starts at frame 0, and a stopwatch runs until
// the robot's whole body has crossed the goal line.
//
// One manager per program (instance()), installed on the application with
// kgiApp::setLessonManager. Everything it does to windows, sounds and the
// robot goes through kgiApp::instance(); without an application it only
// keeps its own state, so it may be used before the application exists.
//
// "Now" is the clock the manager holds (kutGetTime unless a test sets
// another), and a restart replaces the process through the replacer it
// holds (platform::replaceProcess unless a test sets another).
#include "kgiFreedTreeNotice.h"
#include "kgiLessonControl.h"
#include "kgiRobotOptions.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class kgiApp;
class kgiCharacter;
class ksgNode;

// The texts of one lesson's step file: [bank][kind][page][step], bank 0 the
// step texts and 1 the notices, kind 0 the display text and 1 the speech
// text. Filled once at the start of a lesson.
class kgiLessonTexts {
public:
    static constexpr int BANKS = 2;
    static constexpr int KINDS = 2;
    static constexpr int PAGES = 4;
    static constexpr int STEPS = 20;
    // Bytes of one read of the step file; a longer line is read in pieces
    // of LINE_BUFFER - 1 bytes, each handled as a line of its own.
    static constexpr int LINE_BUFFER = 512;
    // Characters a slot keeps at most (the message window's limit); what a
    // page has beyond it is dropped.
    static constexpr std::size_t SLOT_LIMIT = 1023;
    // A slot is present (a page that exists) only with more than this many
    // characters.
    static constexpr std::size_t PRESENT_ABOVE = 2;

    // Every slot emptied, then the file read (see readStream). A file that
    // cannot be opened leaves every slot empty; false then.
    bool readFile(const std::string& path, bool english);
    // Reads step-file lines from f into the slots (which it does not empty
    // first). A line of 2 characters or fewer, newline counted, is skipped;
    // "[n]" selects step n, ":b,k,p" bank, kind and page; any other line is
    // appended, newline included, to the selected slot, and in English also
    // a speech copy of it to the slot of the next kind (quotes and "_"
    // become blanks, "No." becomes "number "). A CR before a line feed is
    // dropped. Lines of a selection outside the table are dropped.
    void readStream(std::FILE* f, bool english);
    void clear();

    // The slot's text; empty outside the table.
    const std::string& get(int bank, int kind, int page, int step) const;
    // The slot holds more than PRESENT_ABOVE characters.
    bool isPresent(int bank, int kind, int page, int step) const;
    static bool inside(long bank, long kind, long page, long step);
    // What the speech of a text line says: the text with quotes and "_" as
    // blanks and every "No." spoken as "number ".
    static std::string speechOf(const std::string& line);

private:
    void append(long bank, long kind, long page, long step, const std::string& text);

    std::array<std::string, BANKS * KINDS * PAGES * STEPS> slots;
};

class kgiLessonManager : public kgiLessonControl, private kgiFreedTreeListener {
public:
    // Message window positions (screen pixels).
    static constexpr int MESSAGE_X = 350;
    static constexpr int MESSAGE_Y_UPPER = 40;
    static constexpr int MESSAGE_Y_LOWER = 450;
    // Seconds of silence after which a waiting step shows its text again.
    static constexpr float REPEAT_DELAY = 15.0f;
    // Course kinds (the lesson modes of the two courses).
    static constexpr int NORMAL_COURSE = 6;
    static constexpr int OBSTACLE_COURSE = 7;
    // Lesson mode whose start signal plays on its own (without a course).
    static constexpr int START_SIGNAL_MODE = 8;
    // Lesson mode of the robot-connection lesson, into which a failed
    // connection restarts the program.
    static constexpr int CONNECTION_LESSON = 2;
    // Course lines, in scene units along z: the start line the robot must
    // stand behind (its bounds' maximum below it) and the goal line its
    // whole body must have passed (its bounds' minimum above it). Compared
    // in single precision.
    static constexpr float START_LINE_Z = 2.1f;
    static constexpr float GOAL_LINE_Z = 24.8f;
    // Entries of the course node table.
    static constexpr int MAX_COURSE_NODES = 255;
    // Request of the robot session that starts the robot's downloaded motion.
    static constexpr int ROBOT_START_REQUEST = 31;
    // The name a restart gives the program (its argv[0]); the file it runs
    // is the program's own (platform::ownProgramPath).
    static constexpr const char* PROGRAM_NAME = "Zodarovu0";

    using Clock = std::function<float()>;
    using ProcessReplacer = std::function<int(const std::string& path, const std::vector<std::string>& argv,
                                              const std::string& workDir)>;

    // The program's manager, made on first use.
    static kgiLessonManager* instance();

    // Fields as after reset and the first step of start; calls nothing of
    // the application. Tests make their own; the program uses instance().
    kgiLessonManager();
    ~kgiLessonManager() override;
    kgiLessonManager(const kgiLessonManager&) = delete;
    kgiLessonManager& operator=(const kgiLessonManager&) = delete;

    // Null restores kutGetTime / platform::replaceProcess.
    void setClock(Clock c);
    void setProcessReplacer(ProcessReplacer r);
    float now() const { return clock(); }

    // --- kgiLessonControl ---
    int getMode() const override { return mode; }
    void setMode(int m) override { mode = m; }
    // answersActive: a reported action advances the step.
    bool isWaitingForAction() const override { return answersActive; }
    // 0 and 4 are kept for steps that want them; 1 view edit, 2 play
    // button, 3 go-to-start button. False out of range.
    bool getPermission(int i) const override;
    void setPermission(int i, bool allowed) override;

    // Starts the lesson mode the argument reads as ("%d"; 0 when it reads
    // as no number): every step field reset, the step file read (not for
    // mode 0), the locks applied, the answer sounds registered (modes other
    // than 0: "se/qNG.wav" then "se/qOK.wav", sounds 1 and 2 after the key
    // click), the course kind and start signal set, and one run of the step
    // engine.
    void start(const char* argument) override;
    // One pass of the step engine (kgiLessonManagerSteps.cpp): the current
    // step's set-up while it does not wait yet, else its wait; a mode
    // without steps resets the manager.
    void runStep() override;
    // Step 0 of every mode: the title suffix, the lesson timesheet imported
    // (with robotTab the options dialog made anew on its robot tab), the
    // course loaded and the view turned to it, then after 2 s of the clock
    // the text; once waiting, the pages in turn and then step 1. Empty
    // names (or of one character) load nothing.
    void runIntroStep(const std::string& timesheet, bool robotTab, const std::string& course, bool joints);
    // The step after a mode's last: after 4 s without playback the final
    // text (answers now only sound OK); once it has been spoken and 4 s
    // have passed since it first showed, the message window is emptied and
    // the lesson is off.
    void runFinalStep();
    // Imports the keys of a timesheet in the factory folder into the
    // current character from frame 0; on success the end frame is its last
    // key, the time line refreshed and every view redrawn.
    bool loadStepMotion(const std::string& timesheet);
    // Lesson off: mode 0, step 0, no waiting or show flags, no course run
    // (courseState -1), every lock opened, message positions restored. The
    // course kind and the start-signal flag stay.
    void reset();

    // Advances to the next step (the OK sound, the locks closed again, and
    // with a show flag the new step's text shown).
    void nextStep() override;
    // One step back. At step 1 or below (the introduction) nothing changes
    // and the answer is false; otherwise false when the step neither waits
    // nor has a show flag.
    bool stepBack() override;
    // step = n, or restartStep for a negative n; waiting off, page 0.
    void setStep(int n) override;
    // Page 0 of notice n at the upper position (the step is kept), or for a
    // negative n the notice of the current step and page. A notice tells of
    // a failed robot connection, whose closing enables the options
    // window's robot commands again: once communication is off, the next
    // run of the step engine gives that window the step's own record once
    // more.
    void showStep(int n) override;
    // True when nothing is expected; a wrong row sounds NG and shows the
    // text again (false); the right one advances (true).
    bool checkAnswer(int index) override;
    bool isExpectedAction(int frame, int keyIndex, int kind) override;
    // The expected key's time, truncated to a frame, at the expected frame,
    // or (not exactOnly) beyond it. False while not waiting, without a
    // current character, and when expectedKeyIndex is no index of its keys.
    bool isExpectedKey(bool exactOnly) override;
    // In lesson mode 2 back to restartStep; in any other mode the settings
    // are written and the program replaces itself by a new instance in lesson
    // 2. When that fails the reason goes to standard error and the event
    // loop ends with code 1.
    void restartProgram() override;

    // Shows the text of the current step and page of a bank at (x, y): the
    // speech text is written to standard error, then the message window
    // shows both (colour mode = bank). Empty texts outside the table.
    void showText(int x, int y, int bank);
    // The page tick of a step that waits for the user: while the window
    // speaks the repeat timer is held fresh; else the next page (up to
    // page 3) is shown when both its texts are present; and after
    // repeatDelay of silence page 0 is shown again and the timer restarts.
    void tickPages();

    // --- courses (kgiLessonManagerCourses.cpp) ---
    bool isCourseMode() const override { return courseKind > 0; }
    bool isCourseRunning() const override { return courseState == 1; }
    // The stopwatch in seconds. Reading it moves it on (it starts, stops at
    // the goal and resets at frame 0), so every paint must ask anew.
    float getCourseTime() const override;
    float readStopwatch();
    // Start of playback: away from frame 0 only the robot's motion start
    // (with robot sync); at frame 0 with a course and a clear start line the
    // start signal (ready, set, the robot's start, go) and the run state;
    // with only the start-signal flag the ready sound.
    void checkCourseProgress() override { onPlayStart(); }
    void onPlayStart();
    void playEndSound() override;
    int getCourseStartState() const override;
    // The course of the course kind (none for other kinds), without joints,
    // and canvas 0 turned to it (showCourseView).
    kgiCharacter* loadCourseTimesheet() override;
    // Canvas 0 shows the course: the view start-up gives (unturned, centred
    // on the current character) turned by yaw 60, pitch -25, zoom -22 and
    // a shift of 10 and 3. Set, not added to the present view, so every
    // course load shows the same.
    void showCourseView();
    // Loads "course/<file>" below the base directory as an extra character
    // at the current time and adds its root to the scene; with joints also
    // the joint limits and the course node table from the course's
    // "course/character/model.ini". Null (nothing left behind) on failure.
    kgiCharacter* loadCourse(const std::string& file, bool joints);
    // Registers the four start-signal sounds of the language into the
    // ready, set, go and goal slots.
    void registerCourseSounds();
    // The line tests on the current character's model bounds; false
    // without one. Each writes a diagnostic line.
    bool isStartLineClear() const;
    bool checkGoalLine();
    bool isGoalReached();
    // Adds a key at frame that places node at (x, y, z) (its rotation
    // kept); false without a transform or motion controller.
    static bool keyNodeAt(ksgNode* node, float frame, float x, float y, float z);

    // --- state, for the step engine and tests ---
    int getStep() const { return step; }
    void setStepValue(int s) { step = s; }
    bool isWaiting() const { return waiting; }
    void setWaiting(bool on) { waiting = on; }
    bool getShowNextAtLower() const { return showNextAtLower; }
    void setShowNextAtLower(bool on) { showNextAtLower = on; }
    bool getShowNextAtUpper() const { return showNextAtUpper; }
    void setShowNextAtUpper(bool on) { showNextAtUpper = on; }
    bool getAnswersActive() const { return answersActive; }
    void setAnswersActive(bool on) { answersActive = on; }
    float getStepTimer() const { return stepTimer; }
    void setStepTimer(float t) { stepTimer = t; }
    float getRepeatDelay() const { return repeatDelay; }
    void setRepeatDelay(float d) { repeatDelay = d; }
    const kgiLessonTexts& getTexts() const { return texts; }
    kgiLessonTexts& editTexts() { return texts; }
    int getPage() const { return page; }
    void setPage(int p) { page = p; }
    int getMessageX() const { return messageX; }
    int getMessageYUpper() const { return messageYUpper; }
    int getMessageYLower() const { return messageYLower; }
    int getExpectedAnswer() const { return expectedAnswer; }
    void setExpectedAnswer(int n) { expectedAnswer = n; }
    int getExpectedKeyIndex() const { return expectedKeyIndex; }
    void setExpectedKeyIndex(int i) { expectedKeyIndex = i; }
    int getExpectedEditFrame() const { return expectedEditFrame; }
    void setExpectedEditFrame(int f) { expectedEditFrame = f; }
    int getExpectedKeyFrame() const { return expectedKeyFrame; }
    void setExpectedKeyFrame(int f) { expectedKeyFrame = f; }
    int getExpectedEditKind() const { return expectedEditKind; }
    void setExpectedEditKind(int k) { expectedEditKind = k; }
    int getRestartStep() const { return restartStep; }
    void setRestartStep(int s) { restartStep = s; }
    bool getStartSignalOnPlay() const { return startSignalOnPlay; }
    int getCourseKind() const { return courseKind; }
    float getCourseTimeValue() const { return courseTime; }
    float getCourseStartTime() const { return courseStartTime; }
    bool getGoalReached() const { return goalReached; }
    int getCourseState() const { return courseState; }
    void setCourseState(int s) { courseState = s; }
    int getCourseNodeCount() const { return courseNodeCount; }
    ksgNode* getCourseNode(int i) const;
    // Ready, set, go and goal.
    const std::array<int, 4>& getCourseSounds() const { return courseSounds; }

    // The step file of a mode: <base>/<model id>base/tutorial/Estep<mode>.txt
    // in English (language 0), ".../step<mode>.txt" in any other language.
    static std::string stepFilePath(const std::string& baseDir, const std::string& modelId, int language,
                                    int mode);

private:
    enum CourseSound { READY, SET, GO, GOAL };

    // The step table (kgiLessonManagerSteps.cpp).
    enum class StepKind;
    struct StepRow;
    struct ModeTable;
    // The table of a lesson mode; null for a mode without steps.
    static const ModeTable* tableOf(int lessonMode);
    // A row's set-up.
    void runRow(const StepRow& row);

    // The step fields of start's first step.
    void resetStepFields();
    // kgiApp::applyLessonLocks, remembered: the options window has no
    // step record of its own until the next step's set-up.
    void applyLocks(kgiApp* app);
    // Gives the options window the record the step last gave it (all
    // disabled before its set-up).
    void reapplyOptionsRecord();
    void treeFreed(kgiCharacter* character, ksgNode* root) override;

    // Fields, in this order: the lesson's, then the course's.
    int mode = 0;
    int step = 0;
    bool waiting = false;
    bool showNextAtLower = false;
    bool showNextAtUpper = false;
    bool answersActive = false;
    bool permission0 = true;  // read by nothing yet
    bool viewEditAllowed = true;
    bool playAllowed = true;
    bool toStartAllowed = true;
    bool permission4 = true;  // read by nothing yet
    float stepTimer = 0.0f;
    float repeatDelay = REPEAT_DELAY;
    kgiLessonTexts texts;
    int page = 0;
    int messageX = MESSAGE_X;
    int messageYUpper = MESSAGE_Y_UPPER;
    int messageYLower = MESSAGE_Y_LOWER;
    int expectedAnswer = -1;
    int expectedKeyIndex = -1;
    int expectedEditFrame = -1;
    int expectedKeyFrame = 0;
    int expectedEditKind = -1;
    int restartStep = 0;
    bool startSignalOnPlay = false;
    // The options window's record as the step engine last applied it, and
    // whether the next run gives it again (after a notice).
    kgiOptionsCommandFlags optionsRecord;
    bool optionsRecordStale = false;

    int courseKind = -1;
    float courseTime = -1.0f;
    float courseStartTime = -1.0f;
    bool goalReached = false;
    int courseState = -1;
    std::array<ksgNode*, MAX_COURSE_NODES> courseNodes{};
    int courseNodeCount = 0;
    std::array<int, 4> courseSounds{};

    Clock clock;
    ProcessReplacer replacer;
};
