#pragma once
// Recording stand-ins for the neighbours kgiApp reaches through its seams:
// the lesson manager (kgiLessonControl), the sound player (kgiSoundOutput),
// the message-window host (kgiMessageHost), the robot session
// (kgiRobotConnection), the options dialog (kgiRobotOptions) and the main
// window (kgiCommandWindow).
//
// kgiApp deletes what its makers make (session, player, host, dialog), so
// each of those stand-ins keeps its script and its record in a state object
// that the test owns and that outlives the application. kgiAppStandIns
// bundles all of them:
//
//     kgiAppStandIns fakes;            // declared before the application
//     kgiApp app(baseDir);
//     fakes.installOn(app);            // makers, lesson manager, main window
//     fakes.session.openAnswer = false;
//     app.setRobotCommunication(true);
//     EXPECT_EQ(fakes.session.opens, 1);
//
// Install only part of it (app.setMakers(fakes.makers()), ...) to test the
// program without some neighbour. Every stand-in records its calls as short
// texts ("showStep(-1)", "play(2,0)") in call order; queries that only read
// are not recorded. None of them opens a window: window() answers null.
#include "kgiAppMakers.h"
#include "kgiCommandWindow.h"
#include "kgiLessonControl.h"
#include "kgiMessageHost.h"
#include "kgiRobotConnection.h"
#include "kgiRobotOptions.h"
#include "kgiSoundOutput.h"

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class kgiApp;

// Calls in order, with a count by name ("nextStep" counts "nextStep" and
// "nextStep(...)").
struct kgiCallRecord {
    std::vector<std::string> calls;

    void add(std::string call) { calls.push_back(std::move(call)); }
    int count(const std::string& name) const;
    bool has(const std::string& name) const { return count(name) > 0; }
    void clear() { calls.clear(); }
};

// The lesson manager: mode, waiting flag, permission flags and course state
// are plain fields the test sets; the answers of the checks too.
class kgiStandInLesson : public kgiLessonControl {
public:
    int mode = 0;
    bool waitingForAction = false;
    std::array<bool, PERMISSION_COUNT> permissions{{true, true, true, true, true}};
    // The mode start() enters (a real lesson starts above 0).
    int startMode = 1;
    bool courseMode = false;
    bool courseRunning = false;
    float courseTime = 0.0f;
    bool answerResult = true;
    bool actionResult = true;
    bool keyResult = true;
    bool stepBackResult = true;
    int courseStartState = -1;
    kgiCharacter* courseCharacter = nullptr;
    kgiCallRecord record;

    int getMode() const override { return mode; }
    void setMode(int m) override;
    bool isWaitingForAction() const override { return waitingForAction; }
    bool getPermission(int i) const override;
    void setPermission(int i, bool allowed) override;
    void start(const char* argument) override;
    void runStep() override { record.add("runStep"); }
    bool isCourseMode() const override { return courseMode; }
    bool isCourseRunning() const override { return courseRunning; }
    float getCourseTime() const override { return courseTime; }
    void nextStep() override { record.add("nextStep"); }
    bool stepBack() override;
    void setStep(int n) override;
    void showStep(int n) override;
    bool checkAnswer(int index) override;
    bool isExpectedAction(int frame, int keyIndex, int kind) override;
    bool isExpectedKey(bool exactOnly) override;
    void checkCourseProgress() override { record.add("checkCourseProgress"); }
    void playEndSound() override { record.add("playEndSound"); }
    int getCourseStartState() const override { return courseStartState; }
    kgiCharacter* loadCourseTimesheet() override;
    void restartProgram() override { record.add("restartProgram"); }
};

// The sound player's script and record.
struct kgiStandInSoundState {
    // Sounds that report playing until the test changes the set.
    std::set<int> playing;
    // When set, answers isPlaying instead of the set (it may count calls
    // to end a sound after a while).
    std::function<bool(int id)> playingScript;
    bool initAnswer = true;
    // Loads that fail (-1) for these paths.
    std::set<std::string> failingPaths;

    int made = 0;
    int destroyed = 0;
    int inits = 0;
    // Paths by id: load answers the lowest free id.
    std::vector<std::string> loaded;
    // (id, loop) of each play.
    std::vector<std::pair<int, bool>> played;
    // isPlaying questions so far.
    long questions = 0;
};

class kgiStandInSound : public kgiSoundOutput {
public:
    explicit kgiStandInSound(kgiStandInSoundState& s);
    ~kgiStandInSound() override;
    bool init() override;
    int load(const std::string& path) override;
    bool play(int id, bool loop) override;
    bool isPlaying(int id) override;

private:
    kgiStandInSoundState& state;
};

// The message-window host's script and record.
struct kgiStandInMessageState {
    bool speaking = false;
    int made = 0;
    int destroyed = 0;
    // "initialize", "hideWindow", "showText(text|speech|x|y|colour)".
    kgiCallRecord record;
};

class kgiStandInMessage : public kgiMessageHost {
public:
    explicit kgiStandInMessage(kgiStandInMessageState& s);
    ~kgiStandInMessage() override;
    void initialize() override { state.record.add("initialize"); }
    void showText(const std::string& text, const std::string& speech, int x, int y,
                  int colorMode) override;
    void hideWindow() override { state.record.add("hideWindow"); }
    bool isSpeaking() override { return state.speaking; }

private:
    kgiStandInMessageState& state;
};

// The robot session's script and record. Every bool operation answers
// `answer`; the request words and the robot-play flag live here so that they
// survive the session.
struct kgiStandInSessionState {
    bool openAnswer = true;
    bool answer = true;
    int downloadRequest = kgiRobotConnection::NO_DOWNLOAD;
    int poseReadRequest = kgiRobotConnection::NO_POSE_READ;
    bool syncToRobot = false;
    std::array<std::uint32_t, kgiRobotConnection::INFO_WORDS> info{};
    // Runs inside openLink (a test's stand-in for the session's own box).
    std::function<void()> onOpen;

    int made = 0;
    int destroyed = 0;
    int opens = 0;
    int polls = 0;
    int updates = 0;
    // Every other operation: "compileMotion(0)", "playMotion(3)", ...
    kgiCallRecord record;
};

class kgiStandInSession : public kgiRobotConnection {
public:
    explicit kgiStandInSession(kgiStandInSessionState& s);
    ~kgiStandInSession() override;
    bool openLink() override;
    void poll() override { ++state.polls; }
    void update() override { ++state.updates; }
    bool compileMotion(int toSlot18) override;
    void resetImageSum() override { state.record.add("resetImageSum"); }
    bool downloadMotion() override;
    bool playDownloadedMotion(bool showMessage) override;
    bool playMotion(int n) override;
    bool sendCommand53() override;
    bool onCommand106() override;
    bool onCommand107(int n) override;
    bool onCommand108(int n) override;
    bool onCommand112(int n) override;
    bool setMotionName(const std::string& name) override;
    bool renameSlot(const std::string& name, int value) override;
    bool editRemoconList(int n, int mode, const std::string& name) override;
    bool loadRemoconList() override;
    bool stopPoseRead() override;
    void requestPoseRead(int mode) override;
    const std::uint32_t* readRobotInfo() override;
    int getDownloadRequest() const override { return state.downloadRequest; }
    void setDownloadRequest(int request) override { state.downloadRequest = request; }
    int getPoseReadRequest() const override { return state.poseReadRequest; }
    bool getSyncToRobot() const override { return state.syncToRobot; }
    void setSyncToRobot(bool on) override { state.syncToRobot = on; }

private:
    bool answered(std::string call);
    kgiStandInSessionState& state;
};

// The options dialog's script and record.
struct kgiStandInOptionsState {
    bool collisionSafety = false;
    std::string jointFieldText = "0";

    int made = 0;
    int destroyed = 0;
    // Records handed to updateCommandStates, in order.
    std::vector<kgiOptionsCommandFlags> applied;
    // Texts of the status line and of the list items ("n:text").
    std::vector<std::string> statusTexts;
    std::vector<std::string> listTexts;
    bool robotComCheck = false;
    bool jointFieldsEnabled = true;
    // "refreshAll", "enableJointFields(0)", "uncheckRobotSync", ...
    kgiCallRecord record;
};

class kgiStandInOptions : public kgiRobotOptions {
public:
    explicit kgiStandInOptions(kgiStandInOptionsState& s);
    ~kgiStandInOptions() override;
    FX::FXTopWindow* window() override { return nullptr; }
    void refreshAll() override { state.record.add("refreshAll"); }
    void refreshJointValues() override { state.record.add("refreshJointValues"); }
    void applyLanguage() override { state.record.add("applyLanguage"); }
    std::string getJointFieldText(const std::string& jointName) override;
    void openRobotTab() override;
    void setRobotComCheck(bool on) override;
    // Fill every entry with 0 or 1.
    void lockAllCommands(kgiOptionsCommandFlags& record) override;
    void unlockAllCommands(kgiOptionsCommandFlags& record) override;
    void updateCommandStates(const kgiOptionsCommandFlags& record) override;
    void enableJointFields(bool on) override;
    void setStatusText(const FX::FXString& text) override;
    void setListItemText(const FX::FXString& text, int n) override;
    void uncheckRobotSync() override { state.record.add("uncheckRobotSync"); }
    bool isCollisionSafetyOn() const override { return state.collisionSafety; }

private:
    kgiStandInOptionsState& state;
};

// The main window: its fills write bytes 0 to 42 and 47 to 53 as the real
// window's do (43 to 46 keep what the caller put there), and it keeps the
// records it is handed.
class kgiStandInMainWindow : public kgiCommandWindow {
public:
    std::vector<kgiMainCommandLocks> applied;
    kgiCallRecord record;

    FX::FXMainWindow* window() override { return nullptr; }
    void updateCommandStates(const kgiMainCommandLocks& r) override;
    void lockAllCommands(kgiMainCommandLocks& r) override;
    void unlockAllCommands(kgiMainCommandLocks& r) override;
    void refreshTimeline(bool lessonCheck) override {
        record.add(lessonCheck ? "refreshTimeline(1)" : "refreshTimeline(0)");
    }

    // The bytes the fills write.
    static bool isFilled(int i) { return i <= 42 || i >= 47; }
};

// All of them together; declare it before the application.
struct kgiAppStandIns {
    kgiStandInLesson lesson;
    kgiStandInMainWindow mainWindow;
    kgiStandInSoundState sound;
    kgiStandInMessageState message;
    kgiStandInSessionState session;
    kgiStandInOptionsState options;

    // Makers of stand-ins that report into the states above.
    kgiAppMakers makers();
    // Installs every maker, the lesson manager and the main window on app.
    void installOn(kgiApp& app);
};
