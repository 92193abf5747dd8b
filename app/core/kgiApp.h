#pragma once
// The application object: owns the program-wide state that windows share
// (base directory and model folders, settings, robot-communication flags)
// and runs the idle task, one pass per idle turn of the event loop. There is
// one thread and no timer: playback, dragging, redraws, the robot session
// and the lessons all advance from the idle pass. Windows reach it through
// kgiApp::instance().
#include "kgiSettings.h"
#include "kgiAppServices.h"

#include <fx.h>

#include <functional>
#include <string>
#include <vector>

class kgiCharacter;
class kgiCurveView;
class kgiViewCanvas;

class kgiApp : public FX::FXApp {
    FXDECLARE(kgiApp)

public:
    enum {
        // The idle task's chore.
        ID_IDLE = FX::FXApp::ID_LAST,
        ID_LAST
    };

    // Toolkit names "Rodiza" by "Vezeze" (its own settings live under
    // them); registers the idle task and loads "icons/app2.bmp" from the
    // base directory as the application icon (none when it does not load),
    // and installs the program's character services (kgiAppServices) until
    // the destructor.
    explicit kgiApp(const std::string& baseDir);
    // Uninstalls the character services, resets the canvases, writes the
    // settings file, removes the idle task.
    ~kgiApp() override;

    // The toolkit's application as a kgiApp; null when there is none or it
    // is some other FXApp (a test's).
    static kgiApp* instance();

    // FXApp::create, then the world (lights, highlight materials, scene),
    // the robot frame rate, the settings file, and (once it exists) the
    // main window. Call after init().
    void create() override;

    // The rest of start-up after create(): model folders, the default
    // project "DORUZAVO_1base/DORUZAVO_1.ts" loaded into a new character
    // (an "Error" box and an empty scene when that fails), and, with a
    // command-line argument, the lesson it selects.
    void startUp(int argc, char** argv);

    // Model id and the folder paths built from it; opens no file.
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
    const std::string& getPoseDir() const { return poseDir; }
    const std::string& getMediaDir() const { return mediaDir; }
    const std::string& getRemoconListPath() const { return remoconListPath; }
    const std::string& getCurrentFile() const { return currentFile; }
    void setCurrentFile(const std::string& f) { currentFile = f; }
    FX::FXIcon* getAppIcon() const { return appIcon; }

    // The idle task: registers itself again, then runs one pass.
    long onChore(FX::FXObject*, FX::FXSelector, void*);
    // One idle pass (see kgiApp.cpp for the order).
    void idleTick();
    // Idle passes run so far.
    long getIdlePasses() const { return idlePasses; }
    // Ends the event loop (as a quit does) after n more idle passes; 0 never.
    // For tests and scripted runs.
    void quitAfterPasses(long n) { quitAtPass = n > 0 ? idlePasses + n : 0; }

    // --- robot communication ---
    bool isRobotCom() const { return robotCom; }
    bool isCloseRequested() const { return closeRequested; }
    bool getCollisionHit() const { return collisionHit; }

    // --- hooks for the windows, the robot session and the lessons ---
    // Each does nothing (or answers "no") until the part it stands for is
    // built; the idle pass and the world already call them in their places.
    bool isLessonMode() const { return false; }
    bool isCourseRunning() const { return false; }
    void lessonTick() {}
    void enableOptionsDialog(bool) {}
    void pollRobotLink() {}
    void updateRobotSession() {}
    void deleteRobotSession() { closeRequested = false; }
    void unlockRobotCommands() {}
    void resetMessageWindow() {}
    // Start-up steps of the robot tools and lessons.
    void setupRobotJoints(kgiCharacter*, const std::string& /*projectPath*/) {}
    void createSoundPlayer() {}
    void createMessageHost() {}
    void setLessonMode(int) {}
    void startLesson(const char*) {}
    void applyLessonLocks() {}
    // The language table's text for a key; the key itself until the table
    // is loaded.
    FX::FXString languageText(const char* key) const { return FX::FXString(key); }

    // --- 3D canvases, redraw requests and windows (kgiAppRedraw.cpp) ---
    // A request only sets a flag or a canvas's bit; the idle pass carries
    // it out once (flushRedraws and its parts).
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
    // Only while the curve window is shown: a hidden one keeps its request.
    void flushCurvesRedraw();
    // One drag step for each canvas that asks for one, in list order; true
    // when any stepped.
    bool stepCanvasDrags();
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
    // The curve editor window while it is open (not owned); null otherwise.
    void setCurveWindow(kgiCurveView* w) { curveWindow = w; }
    kgiCurveView* getCurveWindow() const { return curveWindow; }
    // Shows or hides the curve window when it is open.
    void showCurveWindow(bool show);
    // An extra top window that showAuxWindow shows and hides (not owned).
    void setAuxWindow(FX::FXTopWindow* w) { auxWindow = w; }
    void showAuxWindow(bool show);
    // The about box: made on first show by the installed maker, with the
    // given owner and the application icon; nothing without a maker.
    using VersionDialogMaker = std::function<FX::FXTopWindow*(FX::FXWindow* owner, FX::FXIcon* icon)>;
    void setVersionDialogMaker(VersionDialogMaker m) { versionDialogMaker = std::move(m); }
    void showVersionDialog(bool show);
    FX::FXTopWindow* getVersionDialog() const { return versionDialog; }

protected:
    // For the toolkit's class factory only: no idle task, no icon.
    kgiApp();

private:
    void initMembers();

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
    kgiAppServices services{*this};
    bool robotCom = false;
    bool closeRequested = false;
    bool collisionHit = false;
    bool choreRegistered = false;
    long idlePasses = 0;
    long quitAtPass = 0;

    std::vector<kgiViewCanvas*> canvases;
    std::vector<bool> canvasDirty;
    FX::FXWindow* timelineCanvas = nullptr;
    kgiCurveView* curveWindow = nullptr;
    FX::FXTopWindow* auxWindow = nullptr;
    FX::FXTopWindow* versionDialog = nullptr;
    VersionDialogMaker versionDialogMaker;
    bool timelineDirty = false;
    bool curvesDirty = false;
    bool optionsDirty = false;
};
