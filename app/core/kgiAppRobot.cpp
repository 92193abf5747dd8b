// kgiApp's robot-communication hooks: switching communication on and off,
// the robot session's lifetime, and the requests passed to the session and
// to the options dialog. The session exists only while communication is on
// (or its close is pending); every request without one does nothing and
// answers its failure value.
#include "kgiApp.h"

#include "kgiCharacterServices.h"
#include "kgiCollisionCheckParts.h"
#include "kgiLangKeys.h"
#include "kgiRobotConnection.h"

namespace {
// Robot command of the options dialog that stays disabled while a close is
// pending, as the offered variant's second one does.
constexpr int SECOND_CLOSING_COMMAND = 19;
// The status a robot session shows once its port is closed.
constexpr const char* CLOSED_STATUS = "[Close] :    ";
} // namespace

// --- switching communication ---

void kgiApp::setRobotCommunication(bool on) {
    if (on == robotCom) return;
    robotCom = on;
    if (optionsDialog) optionsDialog->setRobotComCheck(on);
    if (on) {
        recreateRobotSession(true);
        return;
    }
    if (optionsDialog && !isLessonMode()) unlockRobotCommandsWhileClosing();
    closeRequested = true;
    // A session closes its port on the next idle pass and says so; without
    // one (a failed open has deleted it already) the port is closed now.
    setRobotStatus(robotSession ? "[Busy ]:Closing Communication..." : CLOSED_STATUS);
}

bool kgiApp::checkRobotComOff(bool warn) {
    if (robotCom && warn) {
        kgiCharacterServices& services = kgiCharacterServices::current();
        services.showMessage("Warning - 141", services.text(kgiLangKey::ROBOT_COM_No_OFF));
    }
    return robotCom;
}

// --- session lifetime ---

void kgiApp::recreateRobotSession(bool open) {
    deleteRobotSession();
    closeRequested = false;
    if (makers.robotSession) robotSession = makers.robotSession();
    if (open) openRobotSession();
}

bool kgiApp::openRobotSession() {
    if (!robotSession && makers.robotSession) robotSession = makers.robotSession();
    closeRequested = false;
    if (robotSession && robotSession->openLink()) {
        lessonActionDone();
        saveSettings();
        return true;
    }
    // The session has told the user why (or none could be made).
    deleteRobotSession();
    // The close this requests finds no session; the next idle pass then
    // enables every robot command again.
    setRobotCommunication(false);
    return false;
}

void kgiApp::deleteRobotSession() {
    delete robotSession;
    robotSession = nullptr;
    closeRequested = false;
}

void kgiApp::prepareRobotSession() {
    if (!robotSession) {
        if (makers.robotSession) robotSession = makers.robotSession();
    } else {
        recreateRobotSession(true);
    }
}

void kgiApp::pollRobotLink() {
    if (robotSession) robotSession->poll();
}

void kgiApp::updateRobotSession() {
    if (robotSession) robotSession->update();
}

void kgiApp::unlockRobotCommands() {
    if (!optionsDialog) return;
    kgiOptionsCommandFlags record;
    optionsDialog->unlockAllCommands(record);
    optionsDialog->updateCommandStates(record);
}

void kgiApp::unlockRobotCommandsWhileClosing(bool alsoEntry19) {
    if (!optionsDialog) return;
    kgiOptionsCommandFlags record;
    optionsDialog->unlockAllCommands(record);
    record[kgiOptionsCommandFlags::LINK_COMMAND] = 0;
    if (alsoEntry19) record[SECOND_CLOSING_COMMAND] = 0;
    optionsDialog->updateCommandStates(record);
}

// --- requests passed to the session ---

bool kgiApp::robotWriteMotions() {
    return robotSession && robotSession->compileMotion(0);
}

void kgiApp::robotLinkCommand() {
    if (robotSession) robotSession->resetImageSum();
}

void kgiApp::robotReadSystemData() {
    if (robotSession) robotSession->downloadMotion();
}

bool kgiApp::robotStartCommand(bool showMessage) {
    return robotSession && robotSession->playDownloadedMotion(showMessage);
}

bool kgiApp::requestRemocon(int n) {
    return robotSession && robotSession->playMotion(n);
}

bool kgiApp::pulseRobotLink() {
    return robotSession && robotSession->sendCommand53();
}

bool kgiApp::robotSessionQuery(int n) {
    return robotSession && robotSession->onCommand112(n);
}

bool kgiApp::setRobotRequestFlag() {
    return robotSession && robotSession->onCommand106();
}

bool kgiApp::robotSessionOpA(int n) {
    return robotSession && robotSession->onCommand107(n);
}

bool kgiApp::robotSessionOpB(int n) {
    return robotSession && robotSession->onCommand108(n);
}

bool kgiApp::setRobotMotionName(const std::string& name, int n) {
    if (!robotSession) return false;
    robotSession->setMotionName(name);
    robotSession->setDownloadRequest(n);
    return true;
}

bool kgiApp::requestMotionDownload(int slot) {
    if (!robotSession) return false;
    robotSession->setDownloadRequest(slot);
    return true;
}

bool kgiApp::setRobotSlotName(const std::string& name, int value) {
    if (!robotSession) return false;
    robotSession->setMotionName(name);
    robotSession->renameSlot(name, value);
    return true;
}

bool kgiApp::editRemoconEntry(int n, int mode, const std::string& name) {
    if (!robotSession && makers.robotSession) robotSession = makers.robotSession();
    return robotSession && robotSession->editRemoconList(n, mode, name);
}

bool kgiApp::loadRemoconList() {
    return robotSession && robotSession->loadRemoconList();
}

bool kgiApp::restartPoseRead(bool start, int mode) {
    if (!robotSession) return false;
    const bool wasReading = robotSession->stopPoseRead();
    if (start) robotSession->requestPoseRead(mode);
    return wasReading;
}

bool kgiApp::hasRemoconIndex() const {
    return robotSession && robotSession->getPoseReadRequest() != 0;
}

bool kgiApp::setRobotSyncFlag(bool on) {
    if (!robotSession) return false;
    robotSession->setSyncToRobot(on);
    return on;
}

bool kgiApp::getRobotSyncFlag() const {
    return robotSession && robotSession->getSyncToRobot();
}

const std::uint32_t* kgiApp::getRobotInfo() {
    return robotSession ? robotSession->readRobotInfo() : nullptr;
}

// --- passed to the options dialog ---

void kgiApp::setRobotStatus(const FX::FXString& text) {
    if (optionsDialog) optionsDialog->setStatusText(text);
}

void kgiApp::showRobotData(const FX::FXString& text, int n) {
    if (optionsDialog) optionsDialog->setListItemText(text, n);
}

void kgiApp::uncheckRobotSync() {
    if (optionsDialog) optionsDialog->uncheckRobotSync();
}

// --- start-up of the robot tools ---

void kgiApp::setupRobotJoints(kgiCharacter* character, const std::string& projectPath) {
    kgiPartTable* table = kgiPartTable::installed();
    if (table && character) table->setupJoints(character, projectPath);
}
