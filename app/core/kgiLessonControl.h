#pragma once
// What the application object asks of the lesson manager. The lessons are
// built with the robot tools, which the application core does not link, so
// the lesson manager derives from this class and the program installs it on
// the application (kgiApp::setLessonManager). Until one is installed the
// application behaves as in normal editing: lesson mode 0, every permission
// granted, no course time.
//
// Sound ids the lessons rely on: 0 is the key-set click the application
// registers itself, 1 the not-good and 2 the good answer sound (both
// registered by the lesson manager through kgiApp::loadSound).

class kgiCharacter;

class kgiLessonControl {
public:
    // Number of permission flags. The application reads flag 1 (view edit),
    // 2 (play button) and 3 (go-to-start button); 0 and 4 are kept for steps
    // that ask for them.
    static constexpr int PERMISSION_COUNT = 5;

    virtual ~kgiLessonControl() = default;

    // The lesson mode: 0 (or below) is normal editing, 1 and above a lesson.
    virtual int getMode() const = 0;
    virtual void setMode(int mode) = 0;
    // True while a reported user action advances the lesson; when false the
    // application answers a reported action with the good answer sound.
    virtual bool isWaitingForAction() const = 0;
    // Permission flag i (0 <= i < PERMISSION_COUNT); out of range: false.
    virtual bool getPermission(int i) const = 0;
    virtual void setPermission(int i, bool allowed) = 0;

    // Starts the lesson that the command-line argument text selects.
    virtual void start(const char* argument) = 0;
    // One pass of the step engine; the idle pass calls it while a lesson is on.
    virtual void runStep() = 0;

    // A course (a timed run) is loaded.
    virtual bool isCourseMode() const = 0;
    // The course's stopwatch runs.
    virtual bool isCourseRunning() const = 0;
    // The course stopwatch, in seconds.
    virtual float getCourseTime() const = 0;

    // The lesson operations the application forwards; see kgiApp for when.
    virtual void nextStep() = 0;
    // One step back; false when the step could not go back.
    virtual bool stepBack() = 0;
    // Sets the step (a negative n returns to the lesson's restart step).
    virtual void setStep(int n) = 0;
    // Shows the text of step n, or of the current step for a negative n.
    virtual void showStep(int n) = 0;
    // The user chose row index (0-based) of a list; false when the step
    // expected another row (the manager has then played the not-good sound
    // and shown the step again). A step that expects nothing accepts any row.
    virtual bool checkAnswer(int index) = 0;
    // Whether a key edit (frame, key index, edit kind) is the one the step
    // expects.
    virtual bool isExpectedAction(int frame, int keyIndex, int kind) = 0;
    // Whether the expected key now sits at the expected frame (exactOnly) or
    // at or beyond it.
    virtual bool isExpectedKey(bool exactOnly) = 0;
    // The course check run as playback starts.
    virtual void checkCourseProgress() = 0;
    // Plays the course's closing sound.
    virtual void playEndSound() = 0;
    // 0 when a course stands at its start, else -1.
    virtual int getCourseStartState() const = 0;
    // Loads the course's timesheet; its character, or null.
    virtual kgiCharacter* loadCourseTimesheet() = 0;
    // Starts the lesson program anew.
    virtual void restartProgram() = 0;
};
