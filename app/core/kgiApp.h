#pragma once
// The application object: owns the program-wide state that windows share
// (base directory and model folders, settings, robot-communication flags)
// and runs the idle task. There is one thread: playback, dragging, redraws,
// the robot session and the lessons all advance from the idle pass, which
// runs after every event the toolkit dispatches, on every idle turn while
// a drag or a course run animates, every PLAYBACK_PASS_MS while playing
// (the views are drawn when the played frame changes), every SHORT_PASS_MS
// while the robot link is on or closing, every LESSON_PASS_MS while a
// lesson is on without it, and otherwise at least every IDLE_FALLBACK_MS,
// so an idle program waits in the event loop. Windows reach it through
// kgiApp::instance().
#include "kgiSettings.h"
#include "kgiAppServices.h"
#include "kgiAppMakers.h"
#include "kgiCommandWindow.h"
#include "kgiFreedTreeNotice.h"
#include "kgiImeComposition.h"
#include "kgiLanguageTable.h"
#include "kgiRobotOptions.h"

#include <fx.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class kgiCharacter;
class kgiCurveView;
class ksgNode;
class kgiLessonControl;
class kgiMessageHost;
class kgiRobotConnection;
class kgiSoundOutput;
class kgiViewCanvas;

class kgiApp : public FX::FXApp {
    FXDECLARE(kgiApp)

public:
    enum {
        // The idle task's chore.
        ID_IDLE = FX::FXApp::ID_LAST,
        // The fallback timeout that brings a pass when nothing else does.
        ID_IDLE_TIMEOUT,
        // Opens the sound device once the windows are up (see startUp).
        ID_SOUND_WARMUP,
        ID_LAST
    };

    // Toolkit names "Rodiza" by "Vezeze" (its own settings live under
    // them); registers the idle task and loads "icons/app2.bmp" from the
    // base directory as the application icon (none when it does not load),
    // and installs the program's character services (kgiAppServices) until
    // the destructor.
    explicit kgiApp(const std::string& baseDir);
    // Uninstalls the character services, resets the canvases, shuts the
    // media host down (its tracks and video window go while the toolkit
    // exists), writes the settings file, removes the idle task.
    ~kgiApp() override;

    // The toolkit's application as a kgiApp; null when there is none or it
    // is some other FXApp (a test's).
    static kgiApp* instance();

    // FXApp::create, then the world (lights, highlight materials, scene),
    // the robot frame rate, the settings file, and the main window when a
    // maker for it is installed (made, created, its time-line canvas
    // taken). Call after init().
    void create() override;

    // The rest of start-up after create(): model folders, the default
    // project "DORUZAVO_1base/DORUZAVO_1.ts" loaded into a new character
    // (an "Error" box and an empty scene when that fails), and, with a
    // command-line argument, the sound player and the lesson it selects.
    // Without one, nothing needs a sound before the user acts: the sound
    // player (the sound device) is made SOUND_WARMUP_MS later, after the
    // windows' first frames, or at its first use if that comes sooner.
    void startUp(int argc, char** argv);
    static constexpr FX::FXuint SOUND_WARMUP_MS = 1000;
    // The warm-up timeout: makes the sound player unless it exists.
    long onSoundWarmUp(FX::FXObject*, FX::FXSelector, void*);

    // Model id and the folder paths built from it, and the main window's
    // two start folders (the model folder and the pose folder); opens no
    // file.
    void setModelFolders(const std::string& id);

    // Settings file "settings/settings.txt" below the base directory.
    void loadSettings();
    void saveSettings();
    kgiSettings& getSettings() { return settings; }
    const kgiSettings& getSettings() const { return settings; }

    const std::string& getBaseDir() const { return baseDir; }
    const std::string& getModelId() const { return modelId; }
    const std::string& getFactoryDir() const { return factoryDir; }
    const std::string& getMotionDir() const { return motionDir; }
    // The folder the robot-motion dialogs start in (kept after each).
    void setMotionDir(const std::string& d) { motionDir = d; }
    const std::string& getPoseDir() const { return poseDir; }
    // Where the media import dialog starts: a folder, or the file imported
    // last (kept after each import).
    const std::string& getMediaDir() const { return mediaDir; }
    void setMediaDir(const std::string& d) { mediaDir = d; }
    const std::string& getRemoconListPath() const { return remoconListPath; }
    const std::string& getCurrentFile() const { return currentFile; }
    void setCurrentFile(const std::string& f) { currentFile = f; }
    FX::FXIcon* getAppIcon() const { return appIcon; }

    // SIGINT and SIGTERM (installed by create()): quits as the toolkit does
    // and keeps the request, so that every event loop running or started
    // afterwards ends (modal ones first) and run() returns 0.
    long onSignalQuit(FX::FXObject*, FX::FXSelector, void*);
    bool isQuitRequested() const { return quitRequested; }
    bool getNextEvent(FX::FXRawEvent& ev, bool blocking = true) override;

    // The idle task: runs one pass, then arranges the next one
    // (scheduleNextPass). Answers 1 only for a pass that had work (see
    // isQuietPass): the toolkit walks its widgets after every handler that
    // answers 1.
    long onChore(FX::FXObject*, FX::FXSelector, void*);
    // The fallback timeout: asks for a pass; answers 0.
    long onIdleTimeout(FX::FXObject*, FX::FXSelector, void*);
    // One idle pass (see kgiApp.cpp for the order).
    void idleTick();
    // Asks for one idle pass at the next idle turn of the event loop. Every
    // event the toolkit dispatches does this; call it after changing state
    // from a toolkit timeout that the next pass should act on at once.
    void wakeIdle();
    // The longest wait between two passes while nothing animates (ms).
    static constexpr FX::FXuint IDLE_FALLBACK_MS = 100;
    // The longest wait between two passes while communication is on or its
    // close is pending (ms): the robot link's 15 ms step is never late by
    // more than this.
    static constexpr FX::FXuint SHORT_PASS_MS = 5;
    // The longest wait between two passes while a lesson is on and the link
    // is not (ms): a waiting step's next page follows the end of the speech
    // within it, and its timers (the 15 s repeat, the final wait) count in
    // seconds. A lesson waiting for the user then takes a small share of a
    // core instead of a pass and a widget walk every SHORT_PASS_MS.
    static constexpr FX::FXuint LESSON_PASS_MS = 50;
    // The longest wait between two passes while playing (ms): a quarter of
    // a frame at the robot's 33.3 frames a second, so a frame is drawn
    // within this of its time. Playback steps by whole frames; a pass
    // without a new frame draws nothing.
    static constexpr FX::FXuint PLAYBACK_PASS_MS = 7;
    // Idle passes run so far.
    long getIdlePasses() const { return idlePasses; }
    // Ends the event loop (as a quit does) after n more idle passes; 0 never.
    // For tests and scripted runs.
    void quitAfterPasses(long n) { quitAtPass = n > 0 ? idlePasses + n : 0; }

    // --- hooks ---
    // Start-up step of the robot tools after a model has loaded: the
    // installed joint table (kgiPartTable::setupJoints) reads the model's
    // joint file, limits the joints and sets the initial pose. Nothing
    // without a table or a character.
    void setupRobotJoints(kgiCharacter* character, const std::string& projectPath);

    // --- neighbours the core does not link (kgiAppMakers.h) ---
    // Makers of the session, sound player, message-window host and options
    // dialog; install before create().
    void setMakers(const kgiAppMakers& m) { makers = m; }
    const kgiAppMakers& getMakers() const { return makers; }
    // The lesson manager (not owned; null: normal editing only). Install
    // before create() and keep it alive while installed.
    void setLessonManager(kgiLessonControl* m) { lessonManager = m; }
    kgiLessonControl* getLessonManager() const { return lessonManager; }
    // The main window (not owned: the toolkit frees it). Set null before it
    // is destroyed.
    void setMainWindow(kgiCommandWindow* w) { mainWindow = w; }
    kgiCommandWindow* getMainWindow() const { return mainWindow; }
    // The options dialog, null until created.
    kgiRobotOptions* getOptionsDialog() const { return optionsDialog; }
    // With a main window and a dialog maker: makes the dialog (owned by the
    // main window, with the application icon) and creates its window.
    void createOptionsDialog();
    void deleteOptionsDialog();
    kgiRobotConnection* getRobotSession() const { return robotSession; }
    kgiSoundOutput* getSoundPlayer() const { return soundPlayer; }
    kgiMessageHost* getMsgWindowHost() const { return msgHost; }

    // --- lessons (kgiAppLessons.cpp) ---
    // Every report below answers false and does nothing outside a lesson
    // unless it says otherwise.
    // A lesson is on: the lesson manager's mode is above 0.
    bool isLessonMode() const;
    // Stores n as the lesson manager's mode (start-up sets 0).
    void setLessonMode(int n);
    // Starts the lesson the command-line argument text selects.
    void startLesson(const char* text);
    // In a lesson, one pass of the lesson manager's step engine (idle pass).
    void lessonTick();
    // A course is loaded, so the course stopwatch counts.
    bool isCourseTimerOn() const;
    bool hasCourseTime() const { return isCourseTimerOn(); }
    bool isCourseRunning() const;
    // The course stopwatch in seconds; 0.0 while the course timer is off.
    float getCourseTime() const;
    // The course's timesheet character, or null.
    kgiCharacter* getCourseFile();

    // Permissions: true outside a lesson; in one, the lesson manager's flag,
    // and when it is false the not-good answer sound plays (for
    // isViewEditAllowed only when sound asks for it).
    bool isViewEditAllowed(bool sound);
    bool canUseFrameButtonA();
    bool canUseFrameButtonB();
    // Permission flag i as it stands (true outside a lesson), for steps
    // that use flags 0 and 4; plays nothing.
    bool getLessonPermission(int i) const;
    // Whether the lesson step waits for the user's action.
    bool isLessonWaitingForAction() const;

    // The user did the step's action: the lesson goes to its next step when
    // the step waits for it, else the good answer sound plays.
    bool lessonActionDone();
    // One step back with the not-good answer sound; the manager's answer.
    bool lessonStepBack();
    // The lesson manager restarts the program.
    bool lessonRestart();
    // A list row (0-based) was chosen; the lesson manager's answer, also
    // outside a lesson (true without a lesson manager: nothing is expected).
    bool checkLessonAnswer(int index);
    // A key edit (frame, key index, kind) was made: when it is the one
    // expected and keyIndex is negative the action is done, else the good
    // (matched) or not-good answer sound plays. Whether it matched.
    bool checkLessonKeyEdit(int frame, int keyIndex, int kind);
    // A key drag ended: when the key is where the step wants it, the action
    // is done. Whether it was.
    bool checkLessonKeyTime(bool exactOnly);
    // Shows the text of step n, or of the current step for a negative n.
    bool showLessonText(int n);
    // Playback starts: the lesson manager's course check.
    bool lessonOnPlay();
    // Sets the lesson step.
    bool setLessonStep(int n);
    // 0 when a course stands at its start, else -1 (also outside a lesson).
    int getCourseStartState() const;
    // Plays the course's closing sound.
    bool playLessonEndSound();

    // --- command locks (kgiAppLessons.cpp) ---
    // Outside a lesson (mode 0 or below): the main window gets the record
    // its unlockAllCommands fills and the options dialog an all-1 record
    // (each only when it exists), and the five permission flags are set. In
    // a lesson both records are all 0 and the flags cleared. Then pending
    // redraws are carried out. True.
    bool applyLessonLocks();
    // Applies a record to the main window, then flushes the redraws;
    // nothing without the window.
    void applyMainWindowLock(const kgiMainCommandLocks& record);
    // Fills the record with 0 (clear) or 1 (fill) through the main window;
    // nothing without the window.
    void clearMainWindowLock(kgiMainCommandLocks& record);
    void fillMainWindowLock(kgiMainCommandLocks& record);
    // The same for the options dialog's record; nothing without the dialog.
    void applyOptionsLock(const kgiOptionsCommandFlags& record);
    void clearOptionsLock(kgiOptionsCommandFlags& record);
    void fillOptionsLock(kgiOptionsCommandFlags& record);
    // Enables or disables the options dialog's joint fields (playback).
    void enableOptionsDialog(bool on);

    // --- sounds (kgiAppLessons.cpp); each makes the player first when it
    // is missing ---
    // Sound 0, registered when the player is made.
    static constexpr int KEYSET_SOUND = 0;
    // The lessons' answer sounds.
    static constexpr int NOT_GOOD_SOUND = 1;
    static constexpr int GOOD_SOUND = 2;
    // How long a wait for silence lasts at most, in seconds: longer than any
    // sound the program ships, so a looping sound or a player that never
    // reports silence cannot freeze the program.
    static constexpr double SOUND_WAIT_LIMIT = 10.0;
    // Tests shorten the bound; a negative value restores SOUND_WAIT_LIMIT.
    void setSoundWaitLimit(double seconds) { soundWaitLimit = seconds < 0.0 ? SOUND_WAIT_LIMIT : seconds; }
    double getSoundWaitLimit() const { return soundWaitLimit; }
    // Makes and initialises the player and registers "se/keyset.wav" below
    // the base directory (sound 0). Without a maker there is no player and
    // every sound method stays silent.
    void createSoundPlayer();
    // Registers a sound file; its id, -1 when it did not load.
    int loadSound(const std::string& path);
    // The highest sound id issued so far, -1 before any.
    int getLastSoundId() const { return lastSoundId; }
    // Nothing while an answer sound still plays; else the good or not-good
    // one.
    void playAnswerSound(bool good);
    // With wait, first waits (the event loop stands still) while any of the
    // sounds 0 to 5 plays, at most getSoundWaitLimit(); then plays id.
    void playSound(int id, bool wait);

    // --- message window (kgiAppLessons.cpp) ---
    // Makes the message-window host and initialises it (lesson start-up).
    void createMsgWindowHost();
    // Without a host nothing. Else waits (bounded, as playSound does) while
    // sound 0 or 1 plays, hides the current window and shows the text.
    void showMessageText(const std::string& text, const std::string& speech, int x, int y,
                         int colorMode);
    // A host exists and its window no longer speaks; false without a host.
    bool isMessageDone();
    // The window still speaks; false without a host, so a lesson that waits
    // for the speech to end never waits without the plug-in.
    bool isMessageSpeaking();
    // Hides the message window and silences it (also at shut-down).
    void resetMessageWindow();

    // --- robot communication (kgiAppRobot.cpp) ---
    bool isRobotCom() const { return robotCom; }
    bool isCloseRequested() const { return closeRequested; }
    bool getCollisionHit() const { return collisionHit; }
    // Switches communication on (a session is made and opened; a failed open
    // switches it off again) or off (the session closes on the next idle pass
    // that does not play). Nothing when unchanged.
    void setRobotCommunication(bool on);
    // Whether communication is on; with warn and communication on, first the
    // box "Warning - 141". File commands refuse to run while it is true.
    bool checkRobotComOff(bool warn);
    // Deletes a session, makes a new one and, with open, opens it.
    void recreateRobotSession(bool open);
    // Makes a session when there is none and opens the link. On success the
    // lesson hears of it and the settings file is written at once; on
    // failure the session is deleted and communication switched off. Whether
    // the link opened.
    bool openRobotSession();
    // Deletes the session (its destructor closes the port); clears the close
    // request.
    void deleteRobotSession();
    // Makes a session without opening it when there is none; else makes it
    // anew and opens it.
    void prepareRobotSession();
    // The idle pass's steps of the session: poll while playing, update
    // while not.
    void pollRobotLink();
    void updateRobotSession();
    // The options dialog gets a record with every robot command enabled.
    void unlockRobotCommands();
    // The same with the communication command (and, with alsoEntry19, entry
    // 19) disabled.
    void unlockRobotCommandsWhileClosing(bool alsoEntry19 = false);

    // Requests passed to the session. Without a session each does nothing
    // and answers false (0, null).
    bool robotWriteMotions();
    void robotLinkCommand();
    void robotReadSystemData();
    bool robotStartCommand(bool showMessage);
    bool requestRemocon(int n);
    bool pulseRobotLink();
    bool robotSessionQuery(int n);
    bool setRobotRequestFlag();
    bool robotSessionOpA(int n);
    bool robotSessionOpB(int n);
    // The session takes the motion name and then request n.
    bool setRobotMotionName(const std::string& name, int n);
    // The session's next update starts the download of slot.
    bool requestMotionDownload(int slot);
    bool setRobotSlotName(const std::string& name, int value);
    // Makes a session (without opening it) when there is none.
    bool editRemoconEntry(int n, int mode, const std::string& name);
    // True when the list held 31 entries or more.
    bool loadRemoconList();
    // Stops a pose read and, with start, asks for one of servo group mode;
    // whether a read was running.
    bool restartPoseRead(bool start, int mode);
    // A session exists and no read of servo group 0 is pending (the word is
    // -1 when no read is wanted).
    bool hasRemoconIndex() const;
    // Sets the session's robot-play flag; answers the value (false without
    // a session).
    bool setRobotSyncFlag(bool on);
    bool getRobotSyncFlag() const;
    // The robot information record (kgiRobotConnection::INFO_WORDS words),
    // read to its end; null without a session.
    const std::uint32_t* getRobotInfo();

    // The text widget the input method's composition goes to
    // (kgiImeComposition); null when none.
    FX::FXWindow* getImeTarget() const { return ime.getTarget(); }

    // Passed to the options dialog; nothing without it.
    void setRobotStatus(const FX::FXString& text);
    void showRobotData(const FX::FXString& text, int n);
    void uncheckRobotSync();

    // The language table's text for a key; the key itself until the table
    // is loaded, and for a key the table does not hold.
    FX::FXString languageText(const char* key) const;
    // Reads the language file of that number (kgiLanguageTable::filePath;
    // a number other than 0 and 1 reads the English one) into the table and
    // stores the language actually read in the settings. A file that cannot
    // be read ends the program with status 1 and one line on standard error
    // naming it; nothing is saved.
    void loadLanguage(int language);
    const kgiLanguageTable& getLanguageTable() const { return languageTable; }

    // --- 3D canvases, redraw requests and windows (kgiAppRedraw.cpp) ---
    // A request only sets a flag or a canvas's bit and brings an idle pass,
    // which carries it out once (flushRedraws and its parts).
    // Registration, by the canvases themselves: one redraw bit each, at the
    // canvas's position in the list. Null and unknown canvases are ignored.
    void addCanvas(kgiViewCanvas* canvas);
    void removeCanvas(kgiViewCanvas* canvas);
    const std::vector<kgiViewCanvas*>& getCanvases() const { return canvases; }
    // The redraw bit of the canvas at that position; false out of range.
    bool isCanvasDirty(int index) const;

    // Marks every entry equal to the canvas, then markOptionsDirty.
    void redrawCanvas(kgiViewCanvas* canvas);
    // Runs the collision check (its result: getCollisionHit), marks every
    // canvas, then markOptionsDirty.
    void redrawViews();
    // Each only when its window exists.
    void redrawTimeline();
    void redrawCurves();
    // Views, time line, curves.
    void redrawAll();
    // With an options dialog: its redraw flag, and its joint fields
    // refreshed at once.
    void markOptionsDirty();
    // Options dialog, canvases, time line, curves, in that order.
    void flushRedraws();
    void flushOptionsRedraw();
    void flushCanvasRedraws();
    // Also puts the media tracks at the current time while not playing.
    void flushTimelineRedraw();
    // Repaints every shown curve window; with none shown the request waits.
    void flushCurvesRedraw();
    // Some open curve window is shown.
    bool isCurveWindowShown() const;
    // One drag step for each canvas that asks for one, in list order; true
    // when any stepped.
    bool stepCanvasDrags();
    // Whether some canvas has a drag step waiting.
    bool isCanvasDragPending() const;
    // Mouse mode 0 on every canvas, then the list emptied (shut-down).
    void resetCanvasMouseModes();

    // For every canvas: the viewpoint reset when asked, then fitView.
    void resetCanvasViews(bool resetViewpoint);
    // The viewpoint of the canvas at index turned, zoomed and moved (the
    // lessons' camera moves); nothing out of range or without a viewpoint.
    void moveCanvasView(int index, float yaw, float pitch, float zoom, float dx, float dy);
    // A mouse button is held in some canvas.
    bool isAnyCanvasPressed() const;
    // Every canvas's manipulator lets go of its joint.
    void clearCanvasTargets();

    // The main window's time-line canvas (not owned); null without one.
    void setTimelineCanvas(FX::FXWindow* w) { timelineCanvas = w; }
    FX::FXWindow* getTimelineCanvas() const { return timelineCanvas; }
    // The open curve editor windows (not owned), oldest first. Each window
    // adds itself when it is made (becoming the newest) and removes itself
    // when it goes; null and unknown windows are ignored.
    void addCurveWindow(kgiCurveView* w);
    void removeCurveWindow(kgiCurveView* w);
    const std::vector<kgiCurveView*>& getCurveWindows() const { return curveWindows; }
    // The newest open curve window (the one 3D picks fill); null without.
    kgiCurveView* getCurveWindow() const { return curveWindows.empty() ? nullptr : curveWindows.back(); }
    // Every open curve window's list emptied (before a character goes).
    void clearCurveLists();
    // Shows or hides the newest curve window when one is open.
    void showCurveWindow(bool show);
    // An extra top window that showAuxWindow shows and hides (not owned).
    void setAuxWindow(FX::FXTopWindow* w) { auxWindow = w; }
    void showAuxWindow(bool show);
    // The options dialog made when missing; on show all its fields are
    // refreshed first.
    void showOptionsDialog(bool show);
    // Re-applies the language texts to the dialog (after a language switch).
    void relabelOptionsDialog();
    // The dialog's joint field text of that joint; empty without a dialog.
    std::string queryOptionsText(const std::string& jointName);
    // The dialog's collision-safety check is on and the last check hit.
    bool isCollisionStop() const;
    // The main window's time-line refresh; nothing without the window.
    void updateTimeline(bool lessonCheck);
    // The main window's title gets five blanks and text appended.
    void appendToTitle(const std::string& text);
    // The main window's native window id; 0 without it.
    FX::FXID getMainWindowHandle() const;
    // The about box: made on first show by the installed maker, with the
    // main window as owner and the application icon; nothing without a
    // maker.
    using VersionDialogMaker = std::function<FX::FXTopWindow*(FX::FXWindow* owner, FX::FXIcon* icon)>;
    void setVersionDialogMaker(VersionDialogMaker m) { versionDialogMaker = std::move(m); }
    void showVersionDialog(bool show);
    FX::FXTopWindow* getVersionDialog() const { return versionDialog; }

protected:
    // For the toolkit's class factory only: no idle task, no icon.
    kgiApp();
    // The toolkit's dispatch of one event, followed by a pass; a key that
    // the input method takes is not dispatched (kgiImeComposition).
    bool dispatchEvent(FX::FXRawEvent& ev) override;

private:
    // Passes the freed-tree notice on to every registered canvas, so that
    // none keeps a node of a tree that goes.
    class CanvasTreeListener : public kgiFreedTreeListener {
    public:
        explicit CanvasTreeListener(kgiApp& app) : app(app) {}
        void treeFreed(kgiCharacter* character, ksgNode* root) override;

    private:
        kgiApp& app;
    };

    void initMembers();
    // Chooses how the next pass comes, after each pass: at once while
    // something animates, else from the next event or the fallback timeout.
    void scheduleNextPass();
    // Whether the next pass has nothing to do: nothing animates or waits
    // for a step (lesson, playback, drag, course, robot link, close) and no
    // redraw is requested.
    bool isQuietPass() const;
    // Whether a redraw request waits for the next pass.
    bool isRedrawPending() const;
    // The playing part of a pass: a step of playback, and a redraw of every
    // window only when it showed a new frame (or playback started or
    // ended). Whether it drew.
    bool stepPlayback();
    // The player, made first when it is missing; null without a maker.
    kgiSoundOutput* ensureSoundPlayer();
    // Waits while any of the sounds first to last plays, at most
    // soundWaitLimit, sleeping briefly between the questions.
    void waitForSilence(int first, int last);
    // A permission of the lesson manager; false plays the not-good sound
    // when sound asks for it.
    bool lessonPermission(int flag, bool sound);

    FX::FXIcon* appIcon = nullptr;
    std::string baseDir;
    std::string modelId;
    std::string factoryDir;
    std::string motionDir;
    std::string poseDir;
    std::string mediaDir;
    std::string remoconListPath;
    std::string currentFile;
    kgiSettings settings;
    kgiLanguageTable languageTable;
    kgiAppServices services{*this};
    kgiImeComposition ime{*this};
    kgiAppMakers makers;
    kgiLessonControl* lessonManager = nullptr;
    kgiCommandWindow* mainWindow = nullptr;
    kgiRobotOptions* optionsDialog = nullptr;
    kgiRobotConnection* robotSession = nullptr;
    kgiSoundOutput* soundPlayer = nullptr;
    int lastSoundId = -1;
    kgiMessageHost* msgHost = nullptr;
    double soundWaitLimit = SOUND_WAIT_LIMIT;
    bool robotCom = false;
    bool closeRequested = false;
    bool collisionHit = false;
    bool choreRegistered = false;
    long idlePasses = 0;
    long quitAtPass = 0;
    // Playback as the last pass left it: whether it played, at which time.
    bool passPlaying = false;
    float passPlayTime = 0.0f;
    // Redraws playback has asked for so far.
    long playbackDraws = 0;
    bool quitRequested = false;

    std::vector<kgiViewCanvas*> canvases;
    CanvasTreeListener canvasTrees{*this};
    std::vector<bool> canvasDirty;
    FX::FXWindow* timelineCanvas = nullptr;
    std::vector<kgiCurveView*> curveWindows;
    FX::FXTopWindow* auxWindow = nullptr;
    FX::FXTopWindow* versionDialog = nullptr;
    VersionDialogMaker versionDialogMaker;
    bool timelineDirty = false;
    bool curvesDirty = false;
    bool optionsDirty = false;
};
