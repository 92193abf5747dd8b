#pragma once
// What the time line's widgets and canvas ask of the application, and
// nothing more: the lesson hooks and reports, the answer sound, the redraw
// requests, the time-line refresh, the frame buttons' permissions, the robot
// hooks of the play button and its yes/no question. The application's own
// host (kgiTimelineHost::application) forwards each call to kgiApp; tests
// hand the widget manager a recording one, so the widget set runs without
// a display or an application.
#include <string>

class kgiTimelineHost {
public:
    virtual ~kgiTimelineHost() = default;

    // The host that forwards to kgiApp::instance(). Without an application
    // it answers as the program does outside a lesson with nothing
    // connected: no lesson, every permission given, no robot, every
    // question answered no, and requests do nothing.
    static kgiTimelineHost* application();

    // --- lessons ---
    virtual bool isLessonMode() = 0;
    // Good or not-good answer sound.
    virtual void playAnswerSound(bool good) = 0;
    // A key edit (frame, key index, kind) to check against the lesson step.
    virtual bool checkLessonKeyEdit(int frame, int keyIndex, int kind) = 0;
    // A key drag ended; whether the key is where the step wants it.
    virtual bool checkLessonKeyTime(bool exactOnly) = 0;
    virtual bool lessonActionDone() = 0;
    virtual bool lessonStepBack() = 0;
    virtual bool lessonOnPlay() = 0;
    // Permissions of the play button (A) and the go-to-start button (B);
    // a refusal plays the not-good sound on the host's side.
    virtual bool canUseFrameButtonA() = 0;
    virtual bool canUseFrameButtonB() = 0;

    // --- redraws; requests only, carried out by the next idle pass ---
    virtual void redrawTimeline() = 0;
    // 3D views, time line and curve editor.
    virtual void redrawAll() = 0;
    // The main window resets the play range from the key list (subject to
    // its lesson lock when lessonCheck).
    virtual void updateTimeline(bool lessonCheck) = 0;

    // --- robot hooks of the play button ---
    virtual bool getRobotSyncFlag() = 0;
    virtual bool loadRemoconList() = 0;
    virtual bool robotWriteMotions() = 0;
    virtual void robotLinkCommand() = 0;
    virtual void robotReadSystemData() = 0;
    virtual bool robotStartCommand(bool showMessage) = 0;

    // --- texts and the question ---
    // The language table's text for a key, in code page 932.
    virtual std::string languageText(const char* key) = 0;
    // True only when the user answers yes; caption and text in code page 932.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // The base directory the widgets' pictures lie under ("icons/3d").
    virtual std::string baseDir() = 0;
};
