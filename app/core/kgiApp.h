#pragma once
// The application object: owns the program-wide state that windows share
// (base directory and model folders, settings, robot-communication flags)
// and runs the idle task. There is one thread: playback, dragging, redraws,
// the robot session and the lessons all advance from the idle pass, which
// runs after every event the toolkit dispatches, on every idle turn while
// something animates, and otherwise at least every IDLE_FALLBACK_MS, so an
// idle program waits in the event loop. Windows reach it through
// kgiApp::instance().
#include "kgiSettings.h"
#include "kgiAppServices.h"

#include <fx.h>

#include <string>

class kgiCharacter;

class kgiApp : public FX::FXApp {
    FXDECLARE(kgiApp)

public:
    enum {
        // The idle task's chore.
        ID_IDLE = FX::FXApp::ID_LAST,
        // The fallback timeout that brings a pass when nothing else does.
        ID_IDLE_TIMEOUT,
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

    // The idle task: runs one pass, then arranges the next one
    // (scheduleNextPass).
    long onChore(FX::FXObject*, FX::FXSelector, void*);
    // The fallback timeout: asks for a pass.
    long onIdleTimeout(FX::FXObject*, FX::FXSelector, void*);
    // One idle pass (see kgiApp.cpp for the order).
    void idleTick();
    // Asks for one idle pass at the next idle turn of the event loop. Every
    // event the toolkit dispatches does this; call it after changing state
    // from a toolkit timeout that the next pass should act on at once.
    void wakeIdle();
    // The longest wait between two passes while nothing animates (ms).
    static constexpr FX::FXuint IDLE_FALLBACK_MS = 100;
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
    // Whether some 3D canvas has an inverse-kinematics drag step waiting.
    bool isCanvasDragPending() const { return false; }
    void lessonTick() {}
    void enableOptionsDialog(bool) {}
    void redrawAll() {}
    void redrawTimeline() {}
    void redrawViews() {}
    void flushRedraws() {}
    void flushCanvasRedraws() {}
    // One inverse-kinematics drag step for each canvas that asks for one;
    // true when any stepped.
    bool stepCanvasDrags() { return false; }
    void pollRobotLink() {}
    void updateRobotSession() {}
    void deleteRobotSession() { closeRequested = false; }
    void unlockRobotCommands() {}
    void resetCanvasMouseModes() {}
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

protected:
    // For the toolkit's class factory only: no idle task, no icon.
    kgiApp();
    // The toolkit's dispatch of one event, followed by a pass.
    bool dispatchEvent(FX::FXRawEvent& ev) override;

private:
    void initMembers();
    // Chooses how the next pass comes, after each pass: at once while
    // something animates, else from the next event or the fallback timeout.
    void scheduleNextPass();

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
};
