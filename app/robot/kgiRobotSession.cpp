// The robot session's lifetime, its idle-pass steps and its commands.
#include "kgiRobotSession.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiLangKeys.h"
#include "kgiLinkMessages.h"
#include "kgiNarrowString.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotLink.h"
#include "kgiWorld.h"
#include "kutPath.h"
#include "kutTime.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr uint32_t CH = kgiRobotSession::CHANNEL;

// Serial faults of the link go to the user as message boxes.
class kgiSessionLinkMessages : public kgiLinkMessages {
public:
    void showMessage(const char* title, const char* text) override
    {
        kgiCharacterServices::current().showMessage(title ? title : "", text ? text : "");
    }
};

double kutClockSeconds()
{
    return kutGetTime();
}

} // namespace

const int kgiRobotSession::DEFAULT_POSE[SERVOS] = {100, 76,  145, 93,  100, 100, 100, 30,
                                                   80,  100, 100, 100, 100, 30,  80,  100,
                                                   100, 100, 100, 76,  145, 93,  100, 100};

// --- lifetime -------------------------------------------------------------------

kgiRobotSession::kgiRobotSession() : timeSource(kutClockSeconds)
{
    init();
}

void kgiRobotSession::init()
{
    link = new kgiRobotLink;
    messages = new kgiSessionLinkMessages;
    link->setMessages(messages);
    if (kgiApp* app = kgiApp::instance()) {
        link->portMapFile = kutAppendPath(app->getBaseDir(), "comports.txt");
        link->baseImageFile = kutAppendPath(app->getBaseDir(), "baseimage.bin");
    }
    downloadRequest = NO_DOWNLOAD;
    playTime = -1.0f;
    poseResetPending = 0;
    poseReadRequest = NO_POSE_READ;
    syncToRobot = 0;
    setDefaultPose();
    std::fill(std::begin(servoValues), std::end(servoValues), 0);
    maxServoDelta = 0;
    changedServoCount = 0;
    infoReading = 0;
    linkFailed = 0;
    lastStepTime = now();
}

kgiRobotSession::~kgiRobotSession()
{
    CallGuard guard(*this);
    closing = true;
    // A pose read holds the robot's servos released; it must be stopped (it
    // only ends through stopPoseRead) before the port goes.
    poseReadRequest = NO_POSE_READ;
    const bool ended = waitWhile(
        [this] {
            if (link->poseRead[CH] == 12) link->stopPoseRead(CH);
            return link->poseRead[CH] != 0;
        },
        waitLimits.poseReadEnd);
    if (!ended) waitFailed();
    closeLink();
    setStatus("Close", "");
    link->closeAll();
    delete link;
    link = nullptr;
    delete messages;
}

kgiRobotSession& kgiRobotSession::instance()
{
    static kgiRobotSession session;
    return session;
}

void kgiRobotSession::setTimeSource(TimeSource source)
{
    timeSource = source ? source : kutClockSeconds;
    lastStepTime = now();
}

double kgiRobotSession::now() const
{
    return timeSource();
}

// --- pacing and waits ---------------------------------------------------------

bool kgiRobotSession::stepLink()
{
    const double t = now();
    if (t - lastStepTime <= STEP_SECONDS) return false;
    link->tick();
    lastStepTime = t;
    return true;
}

template <class Busy> bool kgiRobotSession::waitWhile(Busy busy, int limit)
{
    int steps = 0;
    while (busy()) {
        if (steps >= limit) return false;
        if (stepLink())
            ++steps;
        else
            // Not due yet: give the core away rather than spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void kgiRobotSession::stepFor(double seconds)
{
    const double start = now();
    while (now() - start < seconds)
        if (!stepLink()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void kgiRobotSession::waitFailed()
{
    // Whatever the board still owes will not come: the link closes a
    // channel marked lost at once instead of waiting for its answers.
    link->linkLost[CH] = 1;
    handleLostLink();
}

void kgiRobotSession::handleLostLink()
{
    const bool first = linkFailed == 0;
    linkFailed = 1;
    // A download the board stopped answering in did not finish.
    if (downloadRequest == -2) downloadCut = true;
    downloadRequest = NO_DOWNLOAD;
    setStatus("Fail ", "");
    kgiApp* app = kgiApp::instance();
    if (!first || closing) return;
    if (app) app->showLessonText(19);
    std::string text = languageText(kgiLangKey::ROBOT_COM_No_Reply);
    if (downloadCut) text += "\n" + languageText(kgiLangKey::ROBOT_COM_Wr_NotWritten);
    downloadCut = false;
    showBox("Warning - 102", text);
    // Our box always answers OK, which asks the lesson to start over.
    if (app) {
        app->lessonRestart();
        app->setRobotCommunication(false);
    }
}

// --- status and texts ---------------------------------------------------------

void kgiRobotSession::setStatus(const std::string& word, const std::string& detail)
{
    if (!word.empty()) statusWord = word;
    if (!detail.empty()) statusDetail = detail;
    if (kgiApp* app = kgiApp::instance()) app->setRobotStatus(kgiNarrowString::toWideText(statusText()));
}

std::string kgiRobotSession::statusText() const
{
    return "[" + statusWord + "] : " + statusDetail;
}

void kgiRobotSession::showBox(const std::string& caption, const std::string& text)
{
    kgiCharacterServices::current().showMessage(caption, text);
}

std::string kgiRobotSession::languageText(const char* key) const
{
    return kgiCharacterServices::current().text(key);
}

kgiCharacter* kgiRobotSession::currentCharacter() const
{
    return kgiWorld::instance()->getCurrentCharacter();
}

void kgiRobotSession::setDefaultPose()
{
    std::copy(std::begin(DEFAULT_POSE), std::end(DEFAULT_POSE), std::begin(servoValues));
}

// --- idle-pass steps ------------------------------------------------------------

void kgiRobotSession::poll()
{
    if (callDepth > 0) return;
    CallGuard guard(*this);
    poseResetPending = 1;
    stepLink();
}

void kgiRobotSession::update()
{
    if (callDepth > 0) return;
    CallGuard guard(*this);
    kgiApp* app = kgiApp::instance();

    stepLink();

    if (link->linkLost[CH] == 1) {
        handleLostLink();
        return;
    }
    if (link->linkBusy[CH] == 1) {
        setStatus("Busy ", "");
    } else {
        setStatus("Ready", "");
        if (poseResetPending) {
            playTime = -1.0f;
            setDefaultPose();
            poseResetPending = 0;
        }
        const bool pressed = app && app->isAnyCanvasPressed();
        if (!pressed && poseReadRequest == NO_POSE_READ && downloadRequest == NO_DOWNLOAD && syncToRobot &&
            !(app && app->isCollisionStop()))
            sendCurrentPose();
        if (poseReadRequest > NO_POSE_READ) {
            if (poseReadRequest < 3) startPendingPoseRead();
            setStatus("", "Pose Reading...");
            // Only a running read has board values to copy.
            if (poseReadRequest == 10) applyReadPose();
            // Why the robot information was not read stays in view while
            // the pose read that kept it from running goes on.
            if (!infoNotice.empty()) setStatus("", infoNotice);
        }
        if (downloadRequest > NO_DOWNLOAD) {
            const int started = startMotionDownload(downloadRequest);
            if (started == kgiRobotLink::START_OK) {
                downloadRequest = -2;
            } else if (started == kgiRobotLink::START_NO_BASE_IMAGE) {
                // The link has shown its own box; retrying cannot help.
                downloadRequest = NO_DOWNLOAD;
                setStatus("Fail ", languageText(kgiLangKey::ROBOT_COM_Wr_NoBaseImage));
            }
        }
        if (downloadRequest == -2 && link->download[CH] == 0) reportDownloadEnd();
    }

    if (link->infoRead[CH] != 0) {
        setStatus("", "ROBO Info Reading...");
        infoReading = 1;
    } else if (infoReading) {
        setStatus("", "ROBO Info Read Complete !");
        infoReading = 0;
    }
    if (link->Cmd_Skip[CH] > 0) {
        setStatus("", "SomeCommand Skipped");
        link->Cmd_Skip[CH] = 0;
    }
}

void kgiRobotSession::reportDownloadEnd()
{
    switch (link->downloadResult[CH]) {
    case kgiRobotLink::DOWNLOAD_DONE: {
        downloadRequest = NO_DOWNLOAD;
        setStatus("", "Motion Download Complete !");
        const std::string finish = languageText(kgiLangKey::ROBOT_COM_Me_TransferFinish);
        showBox(finish, finish);
        if (kgiApp* app = kgiApp::instance()) app->lessonActionDone();
        break;
    }
    case kgiRobotLink::DOWNLOAD_LOST:
        // The link marked itself lost; the next update reports it.
        downloadRequest = NO_DOWNLOAD;
        downloadCut = true;
        break;
    default:
        downloadRequest = NO_DOWNLOAD;
        reportRefusedDownload();
        break;
    }
}

void kgiRobotSession::reportRefusedDownload()
{
    // Refused or answered wrongly: the board is there, so this is no lost
    // link, and the robot keeps the motions it had.
    const std::string text = languageText(kgiLangKey::ROBOT_COM_Wr_TransferFail);
    setStatus("Fail ", text);
    showBox("Error", text + "\n" + languageText(kgiLangKey::ROBOT_COM_Wr_NotWritten));
}

// --- commands -------------------------------------------------------------------

bool kgiRobotSession::openLink()
{
    CallGuard guard(*this);
    closeLink();
    kgiApp* app = kgiApp::instance();
    const int port = app ? app->getSettings().robotComId : 1;
    const int opened = link->openChannel(static_cast<uint8_t>(CH), static_cast<uint8_t>(port),
                                         kgiRobotLink::BOARD_TLD8150, kgiRobotLink::BUFFER_FIFO,
                                         kgiRobotLink::ROBOT_DORUZAVO1, 9600, 1);
    if (opened == 0) return true;
    if (app) app->showLessonText(19);
    setStatus("Open Fail", "");
    char number[32];
    std::snprintf(number, sizeof number, "[COM No = %d]", port);
    showBox("Warning - 101", languageText(kgiLangKey::ROBOT_COM_No_Open) + number);
    if (app) app->lessonRestart();
    return false;
}

bool kgiRobotSession::closeLink()
{
    CallGuard guard(*this);
    // linkBusy is taken before the tick's worker runs, so it misses a packet
    // that worker has just written: wait for that one's answer too, or the
    // link keeps the channel open for it.
    const bool settled = waitWhile(
        [this] {
            return (link->linkBusy[CH] != 0 || link->inFlight[CH] != 0) && link->linkLost[CH] != 1 && !linkFailed;
        },
        waitLimits.close);
    if (!settled) waitFailed();
    if (link->closeChannel(static_cast<uint8_t>(CH)) != 0) return false;
    setStatus("Close", "   ");
    return true;
}

void kgiRobotSession::resetImageSum()
{
    link->resetImageSum(CH);
}

bool kgiRobotSession::downloadMotion()
{
    CallGuard guard(*this);
    if (link->startDownload(1, 0, CH) != kgiRobotLink::START_OK) return false;
    if (!waitWhile([this] { return link->linkBusy[CH] != 0 || link->download[CH] != 0; }, waitLimits.download)) {
        downloadCut = true;
        waitFailed();
        return false;
    }
    switch (link->downloadResult[CH]) {
    case kgiRobotLink::DOWNLOAD_DONE:
        break;
    case kgiRobotLink::DOWNLOAD_LOST:
        // The next update takes the lost-link path.
        downloadCut = true;
        return false;
    default:
        reportRefusedDownload();
        return false;
    }
    // The robot takes the pose the motion has at the current time.
    if (currentCharacter()) {
        const int frame = static_cast<int>(kgiWorld::instance()->getCurrentTime());
        for (int i = 0; i < SERVOS; ++i)
            link->servo8[CH][i] = static_cast<uint8_t>(boardByte(servoValueAtTime(i, float(frame)), i));
        link->sendPose(15, 1, CH);
        stepLink();
    }
    if (kgiApp* app = kgiApp::instance()) app->showRobotData(FX::FXString(SYSTEM_DATA_NAME), SYSTEM_ENTRY);
    return writeRemoconListEntry(SYSTEM_ENTRY, SYSTEM_DATA_NAME, 0);
}

bool kgiRobotSession::playDownloadedMotion(bool showMessage)
{
    CallGuard guard(*this);
    if (!waitWhile([this] { return link->linkBusy[CH] != 0 || link->poseWait[CH] != 0; }, waitLimits.play)) {
        waitFailed();
        return false;
    }
    kgiApp* app = kgiApp::instance();
    if (showMessage) {
        showBox(languageText(kgiLangKey::ROBOT_COM_Me_TransferFinish),
                languageText(kgiLangKey::ROBOT_COM_Me_PlayStart));
        if (app) app->lessonActionDone();
    }
    const bool queued = link->sendRemoteControl(32, CH) == 1;
    if (!(app && app->isCourseTimerOn())) stepFor(0.2);
    return queued;
}

bool kgiRobotSession::playMotion(int n)
{
    CallGuard guard(*this);
    const bool queued = link->sendRemoteControl(static_cast<uint32_t>(n + 1), CH) == 1;
    setStatus("", "Remote-control Request");
    kgiApp* app = kgiApp::instance();
    if (app && app->isCourseTimerOn()) stepFor(0.2);
    return queued;
}

bool kgiRobotSession::sendCommand53()
{
    CallGuard guard(*this);
    const bool queued = link->queueCommand53(CH) == 1;
    for (int steps = 0; steps < 5;)
        if (stepLink())
            ++steps;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return queued;
}

void kgiRobotSession::requestPoseRead(int mode)
{
    poseReadRequest = mode;
}

bool kgiRobotSession::stopPoseRead()
{
    CallGuard guard(*this);
    const bool wasRunning = link->stopPoseRead(CH) != 0;
    poseReadRequest = NO_POSE_READ;
    infoNotice.clear();
    stepLink();
    return wasRunning;
}

bool kgiRobotSession::startPendingPoseRead()
{
    if (link->poseRead[CH] != 0) return false;
    if (link->startPoseRead(CH, poseReadRequest) != kgiRobotLink::START_OK) return false;
    poseReadRequest = 10;
    stepLink();
    return true;
}

bool kgiRobotSession::applyReadPose()
{
    for (int i = 0; i < SERVOS; ++i) applyServoToJoint(i);
    setStatus("", "Pose Read Complete !");
    if (kgiApp* app = kgiApp::instance()) app->redrawAll();
    return true;
}

int kgiRobotSession::startMotionDownload(int request)
{
    setStatus("", "Motion Downloading...");
    if (request < 6) {
        link->buildRemoteFile(static_cast<uint32_t>(request), 0, CH);
        return link->startDownload(request, 0, CH);
    }
    return link->startBaseImageDownload(1, 0, CH);
}

const std::uint32_t* kgiRobotSession::readRobotInfo()
{
    CallGuard guard(*this);
    // A session made only for the remote-control entries has no open channel.
    if (link->channel[CH].BaudRate == 0) {
        setStatus("", INFO_NOT_READ_CLOSED);
        return nullptr;
    }
    // A held pose read (the teach check) only ends when the user stops it.
    if (poseReadRequest != NO_POSE_READ) {
        infoNotice = INFO_NOT_READ_POSE;
        setStatus("", infoNotice);
        return nullptr;
    }
    setStatus("", "ROBO Info Reading...");
    // The read that opening the link starts is joined and its record shown.
    // Any other exchange (a download, a pose read being stopped) is waited
    // for, and then a read of our own runs.
    const bool running = link->infoRead[CH] != 0 && link->infoReadFlag[CH] != 2;
    if (!running) {
        // An exchange that outlasts the limit is busy, not lost: its own
        // time-outs judge the board.
        const bool idle = waitWhile([this] { return !link->machinesIdle(CH) && !link->linkLost[CH]; },
                                    waitLimits.infoRead);
        if (link->linkLost[CH]) return nullptr;
        if (!idle || link->startInfoRead(1, CH) != kgiRobotLink::START_OK) {
            setStatus("", INFO_NOT_READ_BUSY);
            return nullptr;
        }
    }
    if (!waitWhile([this] { return link->infoRead[CH] != 0; }, waitLimits.infoRead)) {
        waitFailed();
        return nullptr;
    }
    if (link->linkLost[CH]) return nullptr;
    setStatus("", "ROBO Info Read Complete !");
    return link->robotInfo[CH];
}

bool kgiRobotSession::setMotionName(const std::string& name)
{
    std::memset(motionName, 0, sizeof motionName);
    std::memcpy(motionName, name.data(), std::min(name.size(), sizeof motionName));
    return true;
}

bool kgiRobotSession::onCommand106()
{
    requestFlag106 = 1;
    return true;
}

bool kgiRobotSession::onCommand107(int)
{
    return true;
}

bool kgiRobotSession::onCommand108(int)
{
    return true;
}

bool kgiRobotSession::onCommand112(int n)
{
    return n == 0;
}

bool kgiRobotSession::renameSlot(const std::string&, int)
{
    return true;
}

// --- pose ---------------------------------------------------------------------

int kgiRobotSession::boardByte(int value, int servo)
{
    if (value >= SERVO_MIN && value <= SERVO_MAX) return value;
    std::fprintf(stderr, "servo %d: value %d held to %d..%d\n", servo, value, SERVO_MIN, SERVO_MAX);
    return std::clamp(value, SERVO_MIN, SERVO_MAX);
}

void kgiRobotSession::sendCurrentPose()
{
    if (!currentCharacter()) return;
    int32_t before[SERVOS];
    std::copy(std::begin(servoValues), std::end(servoValues), before);
    changedServoCount = 0;
    for (int i = 0; i < SERVOS; ++i) servoFromCurrentPose(i);
    if (changedServoCount == 0) return;
    for (int i = 0; i < SERVOS; ++i) link->servo8[CH][i] = static_cast<uint8_t>(boardByte(servoValues[i], i));
    const int speed = changedServoCount <= 5 ? 15 : 3;
    const bool queued = link->sendPose(static_cast<uint8_t>(speed), 0, CH) == 1;
    std::fprintf(stderr, "speed=%d \n", speed);
    setStatus("", "Pose Request");
    // A refused pose is sent again by the next update: it must still look
    // changed then.
    if (!queued) std::copy(std::begin(before), std::end(before), std::begin(servoValues));
}

int kgiRobotSession::servoFromCurrentPose(int i)
{
    const kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    const int value = table.servoValue(currentCharacter(), i);
    if (value != servoValues[i]) ++changedServoCount;
    servoValues[i] = value;
    return value;
}

int kgiRobotSession::servoValueAtTime(int i, float frame)
{
    const kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    const int value = table.servoValueAt(currentCharacter(), i, frame);
    const int old = servoValues[i];
    if (value != old) {
        ++changedServoCount;
        maxServoDelta = std::max(maxServoDelta, std::abs(old - value));
    }
    servoValues[i] = value;
    return value;
}

void kgiRobotSession::applyServoToJoint(int i)
{
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    const std::string name = table.jointNameByServo(i);
    if (name == kgiRobotJointTable::NO_JOINT) return;
    servoValues[i] = link->servo8[CH][i];
    const kgiJointRecord record = table.findJointByServo(i);
    table.setJointAngleWithRecord(currentCharacter(), name, kgiRobotJointTable::fromServo(servoValues[i], record),
                                  record);
}

int kgiRobotSession::computeSpeed(int maxDelta, float frames)
{
    const double ms = double(frames) / double(kgiWorld::instance()->getFps()) * 1000.0 / double(maxDelta);
    std::fprintf(stderr, "dTime= %g\n", ms);
    const double level = 60.0 / ms + 1.0;
    // Held to the board's levels before it becomes an integer: a move of
    // no time at all is the fastest level, not an undefined conversion.
    if (!(level >= 1.0)) return 1;
    if (level >= 15.0) return 15;
    return static_cast<int>(level);
}

// --- operations nothing calls -----------------------------------------------------

bool kgiRobotSession::sendPoseAtTime()
{
    const int frame = static_cast<int>(playTime);
    maxServoDelta = 0;
    for (int i = 0; i < SERVOS; ++i)
        link->servo8[CH][i] = static_cast<uint8_t>(boardByte(servoValueAtTime(i, float(frame)), i));
    const int speed = computeSpeed(maxServoDelta, playTime - kgiWorld::instance()->getCurrentTime());
    return link->sendPose(static_cast<uint8_t>(speed), 0, CH) == 1;
}

void kgiRobotSession::setServoFromAngle(int i, float angle)
{
    if (i < 0 || i >= SERVOS) return;
    const kgiJointRecord record = kgiRobotJointTable::instance()->findJointByServo(i);
    const int value = static_cast<int>(angle * record.scale + record.offset);
    if (value != servoValues[i]) ++changedServoCount;
    servoValues[i] = value;
}

void kgiRobotSession::fillPoseAtTime(int values[SERVOS], int frame)
{
    maxServoDelta = 0;
    for (int i = 0; i < SERVOS; ++i) values[i] = servoValueAtTime(i, float(frame));
    computeSpeed(std::max(maxServoDelta, 1), float(frame) - kgiWorld::instance()->getCurrentTime());
}

bool kgiRobotSession::addZeroRootKey(int frame)
{
    kgiCharacter* c = currentCharacter();
    return c && kgiRobotJointTable::addNodePoseKey(c->getRoot(), float(frame), 0, 0, 0, 0, 0, 0);
}
