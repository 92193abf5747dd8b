// The application's robot-communication hooks against the recording
// stand-ins of tests/support/app: switching communication on and off, the
// session's lifetime through the idle pass, and the requests passed to the
// session and the options dialog. Each test runs its kgiApp in a child
// process.
#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiWorld.h"

#include "support/app/kgiAppRig.h"

#include "core/child_process_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// Keeps the boxes instead of showing them.
struct BoxRecorder : kgiCharacterServices {
    std::vector<std::string> boxes;
    void showMessage(const std::string& caption, const std::string& text) override {
        boxes.push_back(caption + ": " + text);
    }
};

kgiOptionsCommandFlags allOnesBut(std::initializer_list<int> zeros) {
    kgiOptionsCommandFlags r;
    r.flags.fill(1);
    for (int i : zeros) r[i] = 0;
    return r;
}

void switchingOn() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInSessionState& session = rig.fakes.session;
    app.createOptionsDialog();
    rig.fakes.lesson.mode = 1;
    rig.fakes.lesson.waitingForAction = true;
    std::filesystem::remove(rig.settingsFile());

    // Twice on opens the link once; the open is the lesson's action and
    // writes the settings at once.
    app.setRobotCommunication(true);
    app.setRobotCommunication(true);
    CHILD_CHECK(app.isRobotCom() && app.getRobotSession() != nullptr);
    CHILD_CHECK(session.made == 1 && session.opens == 1);
    CHILD_CHECK(rig.fakes.options.robotComCheck);
    CHILD_CHECK(rig.fakes.lesson.record.count("nextStep") == 1);
    CHILD_CHECK(std::filesystem::exists(rig.settingsFile()));

    // The idle pass steps the session: update while still, poll while playing.
    app.idleTick();
    CHILD_CHECK(session.updates == 1 && session.polls == 0);
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(100000.0f);
    world->setPlaying(true);
    app.idleTick();
    world->setPlaying(false);
    CHILD_CHECK(session.updates == 1 && session.polls == 1);

    // Re-creating deletes the old session first.
    app.recreateRobotSession(true);
    CHILD_CHECK(session.made == 2 && session.destroyed == 1 && session.opens == 2);

    // A session still open when the application goes is deleted with it.
    rig.app.reset();
    CHILD_CHECK(session.destroyed == 2);
}

TEST(AppRobotHooks, SwitchingOnOpensTheLinkOnceAndWritesTheSettings) {
    EXPECT_IN_CHILD(switchingOn);
}

void failedOpen() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInSessionState& session = rig.fakes.session;
    app.createOptionsDialog();
    std::filesystem::remove(rig.settingsFile());
    session.openAnswer = false;

    app.setRobotCommunication(true);
    CHILD_CHECK(!app.isRobotCom() && app.getRobotSession() == nullptr);
    CHILD_CHECK(session.opens == 1 && session.made == 1 && session.destroyed == 1);
    CHILD_CHECK(!rig.fakes.options.robotComCheck);
    CHILD_CHECK(!std::filesystem::exists(rig.settingsFile()));

    // The next idle pass finds nothing to close and opens every command.
    rig.fakes.options.applied.clear();
    app.idleTick();
    CHILD_CHECK(!app.isCloseRequested());
    CHILD_CHECK(rig.fakes.options.applied.size() == 1 && rig.fakes.options.applied[0] == allOnesBut({}));
    CHILD_CHECK(session.made == 1 && session.updates == 0);
}

TEST(AppRobotHooks, FailedOpenLeavesCommunicationOffWithoutSession) {
    EXPECT_IN_CHILD(failedOpen);
}

void switchingOff() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInSessionState& session = rig.fakes.session;
    kgiStandInOptionsState& options = rig.fakes.options;
    app.createOptionsDialog();
    app.setRobotCommunication(true);

    // Off: the link command is disabled while the close is pending.
    options.applied.clear();
    app.setRobotCommunication(false);
    CHILD_CHECK(!app.isRobotCom() && app.isCloseRequested() && app.getRobotSession() != nullptr);
    CHILD_CHECK(options.applied.size() == 1 &&
                options.applied[0] == allOnesBut({kgiOptionsCommandFlags::LINK_COMMAND}));
    CHILD_CHECK(!options.statusTexts.empty() && options.statusTexts.back() == "[Busy ]:Closing Communication...");
    CHILD_CHECK(!options.robotComCheck);

    // During playback the session stays (and is no longer stepped)...
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(100000.0f);
    world->setPlaying(true);
    app.idleTick();
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() != nullptr && session.destroyed == 0 && session.polls == 0);

    // ...until the first pass after playback stops.
    world->setPlaying(false);
    options.applied.clear();
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() == nullptr && session.destroyed == 1 && !app.isCloseRequested());
    CHILD_CHECK(options.applied.size() == 1 && options.applied[0] == allOnesBut({}));

    // In a lesson the dialog's commands are the lesson's: left alone.
    rig.fakes.lesson.mode = 2;
    app.setRobotCommunication(true);
    options.applied.clear();
    app.setRobotCommunication(false);
    app.idleTick();
    CHILD_CHECK(options.applied.empty() && session.destroyed == 2);
}

TEST(AppRobotHooks, SwitchingOffClosesOnTheFirstStillIdlePass) {
    EXPECT_IN_CHILD(switchingOff);
}

void comOffWarning() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    BoxRecorder boxes;
    kgiCharacterServices::install(&boxes);
    CHILD_CHECK(!app.checkRobotComOff(true) && boxes.boxes.empty());
    app.setRobotCommunication(true);
    CHILD_CHECK(app.checkRobotComOff(false) && boxes.boxes.empty());
    CHILD_CHECK(app.checkRobotComOff(true));
    CHILD_CHECK(boxes.boxes == std::vector<std::string>{"Warning - 141: ROBOT_COM_No_OFF"});
    kgiCharacterServices::install(nullptr);
}

TEST(AppRobotHooks, FileCommandsAreWarnedWhileCommunicationIsOn) {
    EXPECT_IN_CHILD(comOffWarning);
}

// A request of the table: the session call it makes (empty: none recorded)
// and the request; its answer is true with the session's operations
// answering true, false without a session (a request without a result
// answers true when it is sent).
struct Request {
    const char* sessionCall;
    std::function<bool(kgiApp&)> send;
    bool hasResult = true;
};

const std::vector<Request>& requests() {
    static const std::vector<Request> table = {
        {"compileMotion(0)", [](kgiApp& a) { return a.robotWriteMotions(); }},
        {"resetImageSum", [](kgiApp& a) { a.robotLinkCommand(); return true; }, false},
        {"downloadMotion", [](kgiApp& a) { a.robotReadSystemData(); return true; }, false},
        {"playDownloadedMotion(1)", [](kgiApp& a) { return a.robotStartCommand(true); }},
        {"playMotion(4)", [](kgiApp& a) { return a.requestRemocon(4); }},
        {"sendCommand53", [](kgiApp& a) { return a.pulseRobotLink(); }},
        {"onCommand112(0)", [](kgiApp& a) { return a.robotSessionQuery(0); }},
        {"onCommand106", [](kgiApp& a) { return a.setRobotRequestFlag(); }},
        {"onCommand107(5)", [](kgiApp& a) { return a.robotSessionOpA(5); }},
        {"onCommand108(6)", [](kgiApp& a) { return a.robotSessionOpB(6); }},
        {"setMotionName(walk)", [](kgiApp& a) { return a.setRobotMotionName("walk", 9); }},
        {"", [](kgiApp& a) { return a.requestMotionDownload(1); }},
        {"renameSlot(bow,3)", [](kgiApp& a) { return a.setRobotSlotName("bow", 3); }},
        {"loadRemoconList", [](kgiApp& a) { return a.loadRemoconList(); }},
        {"requestPoseRead(2)", [](kgiApp& a) { return a.restartPoseRead(true, 2); }},
        {"", [](kgiApp& a) { return a.setRobotSyncFlag(true) && a.getRobotSyncFlag(); }},
        {"readRobotInfo", [](kgiApp& a) { return a.getRobotInfo() != nullptr; }},
    };
    return table;
}

void requestsWithoutSession() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    // Without a session every request is a harmless failure.
    for (const Request& r : requests()) CHILD_CHECK(!r.send(app) || !r.hasResult);
    CHILD_CHECK(!app.hasRemoconIndex() && app.getRobotInfo() == nullptr);
    CHILD_CHECK(rig.fakes.session.made == 0);
    // Without an options dialog its forwarders do nothing.
    app.setRobotStatus("status");
    app.showRobotData("data", 3);
    app.uncheckRobotSync();
    app.enableOptionsDialog(false);

    // A remote-control edit makes a session, without opening it.
    CHILD_CHECK(app.editRemoconEntry(2, 0, "wave"));
    CHILD_CHECK(rig.fakes.session.made == 1 && rig.fakes.session.opens == 0);
    CHILD_CHECK(rig.fakes.session.record.calls == std::vector<std::string>{"editRemoconList(2,0,wave)"});
    CHILD_CHECK(!app.isRobotCom());
}

TEST(AppRobotHooks, RequestsWithoutSessionFailHarmlessly) {
    EXPECT_IN_CHILD(requestsWithoutSession);
}

void requestsWithSession() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiStandInSessionState& session = rig.fakes.session;
    app.setRobotCommunication(true);
    for (const Request& r : requests()) {
        session.record.clear();
        if (!r.send(app) || (*r.sessionCall && !session.record.has(r.sessionCall))) {
            std::fprintf(stderr, "request to %s went wrong\n", r.sessionCall);
            std::_Exit(1);
        }
    }
    // The session's own answers come back where a request has a result.
    session.answer = false;
    CHILD_CHECK(!app.robotWriteMotions() && !app.requestRemocon(1) && !app.loadRemoconList());
    CHILD_CHECK(!app.robotStartCommand(false) && !app.editRemoconEntry(0, 1, "x"));
    // Name requests answer true whatever the session says.
    CHILD_CHECK(app.setRobotMotionName("m", 0) && app.setRobotSlotName("m", 0));

    // Request words: a motion name brings its download request; a pose read
    // of group 0 pending is the one case hasRemoconIndex denies.
    CHILD_CHECK(app.setRobotMotionName("walk", 9) && session.downloadRequest == 9);
    CHILD_CHECK(app.requestMotionDownload(1) && session.downloadRequest == 1);
    session.answer = true;
    CHILD_CHECK(app.restartPoseRead(false, 0) && session.poseReadRequest == kgiRobotConnection::NO_POSE_READ);
    CHILD_CHECK(app.hasRemoconIndex());
    app.restartPoseRead(true, 0);
    CHILD_CHECK(session.poseReadRequest == 0 && !app.hasRemoconIndex());
    session.info[0] = 77;
    CHILD_CHECK(app.getRobotInfo() && app.getRobotInfo()[0] == 77);
    CHILD_CHECK(!app.setRobotSyncFlag(false) && !session.syncToRobot);

    // Texts for the options dialog.
    app.createOptionsDialog();
    app.setRobotStatus("[Ready] : ok");
    app.showRobotData("1:bow", 0);
    app.uncheckRobotSync();
    CHILD_CHECK(rig.fakes.options.statusTexts.back() == "[Ready] : ok");
    CHILD_CHECK(rig.fakes.options.listTexts == std::vector<std::string>{"0:1:bow"});
    CHILD_CHECK(rig.fakes.options.record.has("uncheckRobotSync"));

    // The offered closing record keeps entry 19 disabled as well.
    rig.fakes.options.applied.clear();
    app.unlockRobotCommandsWhileClosing(true);
    CHILD_CHECK(rig.fakes.options.applied.back() == allOnesBut({kgiOptionsCommandFlags::LINK_COMMAND, 19}));
}

TEST(AppRobotHooks, RequestsReachTheSessionAndTheOptionsDialog) {
    EXPECT_IN_CHILD(requestsWithSession);
}

} // namespace
