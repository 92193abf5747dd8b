#include "support/app/kgiAppStandIns.h"

#include "kgiApp.h"

#include <fx.h>

namespace {
std::string call(const char* name, std::initializer_list<std::string> args) {
    std::string s = name;
    s += '(';
    bool first = true;
    for (const std::string& a : args) {
        if (!first) s += ',';
        s += a;
        first = false;
    }
    return s + ')';
}

std::string num(long v) { return std::to_string(v); }
} // namespace

int kgiCallRecord::count(const std::string& name) const {
    int n = 0;
    for (const std::string& c : calls)
        if (c == name || (c.size() > name.size() && c.compare(0, name.size(), name) == 0 && c[name.size()] == '('))
            ++n;
    return n;
}

// --- lesson manager ---

void kgiStandInLesson::setMode(int m) {
    mode = m;
    record.add(call("setMode", {num(m)}));
}

bool kgiStandInLesson::getPermission(int i) const {
    return i >= 0 && i < PERMISSION_COUNT && permissions[static_cast<std::size_t>(i)];
}

void kgiStandInLesson::setPermission(int i, bool allowed) {
    if (i >= 0 && i < PERMISSION_COUNT) permissions[static_cast<std::size_t>(i)] = allowed;
}

void kgiStandInLesson::start(const char* argument) {
    mode = startMode;
    record.add(call("start", {argument ? argument : ""}));
}

bool kgiStandInLesson::stepBack() {
    record.add("stepBack");
    return stepBackResult;
}

void kgiStandInLesson::setStep(int n) { record.add(call("setStep", {num(n)})); }

void kgiStandInLesson::showStep(int n) { record.add(call("showStep", {num(n)})); }

bool kgiStandInLesson::checkAnswer(int index) {
    record.add(call("checkAnswer", {num(index)}));
    return answerResult;
}

bool kgiStandInLesson::isExpectedAction(int frame, int keyIndex, int kind) {
    record.add(call("isExpectedAction", {num(frame), num(keyIndex), num(kind)}));
    return actionResult;
}

bool kgiStandInLesson::isExpectedKey(bool exactOnly) {
    record.add(call("isExpectedKey", {num(exactOnly)}));
    return keyResult;
}

kgiCharacter* kgiStandInLesson::loadCourseTimesheet() {
    record.add("loadCourseTimesheet");
    return courseCharacter;
}

// --- sound player ---

kgiStandInSound::kgiStandInSound(kgiStandInSoundState& s) : state(s) { ++state.made; }

kgiStandInSound::~kgiStandInSound() { ++state.destroyed; }

bool kgiStandInSound::init() {
    ++state.inits;
    return state.initAnswer;
}

int kgiStandInSound::load(const std::string& path) {
    if (state.failingPaths.count(path)) return -1;
    state.loaded.push_back(path);
    return static_cast<int>(state.loaded.size()) - 1;
}

bool kgiStandInSound::play(int id, bool loop) {
    state.played.emplace_back(id, loop);
    return id >= 0 && id < static_cast<int>(state.loaded.size());
}

bool kgiStandInSound::isPlaying(int id) {
    ++state.questions;
    return state.playingScript ? state.playingScript(id) : state.playing.count(id) > 0;
}

// --- message-window host ---

kgiStandInMessage::kgiStandInMessage(kgiStandInMessageState& s) : state(s) { ++state.made; }

kgiStandInMessage::~kgiStandInMessage() { ++state.destroyed; }

void kgiStandInMessage::showText(const std::string& text, const std::string& speech, int x, int y,
                                 int colorMode) {
    state.record.add("showText(" + text + "|" + speech + "|" + num(x) + "|" + num(y) + "|" +
                     num(colorMode) + ")");
}

// --- robot session ---

kgiStandInSession::kgiStandInSession(kgiStandInSessionState& s) : state(s) { ++state.made; }

kgiStandInSession::~kgiStandInSession() { ++state.destroyed; }

bool kgiStandInSession::answered(std::string c) {
    state.record.add(std::move(c));
    return state.answer;
}

bool kgiStandInSession::openLink() {
    ++state.opens;
    if (state.onOpen) state.onOpen();
    return state.openAnswer;
}

bool kgiStandInSession::compileMotion(int toSlot18) { return answered(call("compileMotion", {num(toSlot18)})); }
bool kgiStandInSession::downloadMotion() { return answered("downloadMotion"); }
bool kgiStandInSession::playDownloadedMotion(bool showMessage) {
    return answered(call("playDownloadedMotion", {num(showMessage)}));
}
bool kgiStandInSession::playMotion(int n) { return answered(call("playMotion", {num(n)})); }
bool kgiStandInSession::sendCommand53() { return answered("sendCommand53"); }
bool kgiStandInSession::onCommand106() { return answered("onCommand106"); }
bool kgiStandInSession::onCommand107(int n) { return answered(call("onCommand107", {num(n)})); }
bool kgiStandInSession::onCommand108(int n) { return answered(call("onCommand108", {num(n)})); }
bool kgiStandInSession::onCommand112(int n) { return answered(call("onCommand112", {num(n)})); }
bool kgiStandInSession::setMotionName(const std::string& name) { return answered(call("setMotionName", {name})); }
bool kgiStandInSession::renameSlot(const std::string& name, int value) {
    return answered(call("renameSlot", {name, num(value)}));
}
bool kgiStandInSession::editRemoconList(int n, int mode, const std::string& name) {
    return answered(call("editRemoconList", {num(n), num(mode), name}));
}
bool kgiStandInSession::loadRemoconList() { return answered("loadRemoconList"); }

bool kgiStandInSession::stopPoseRead() {
    state.poseReadRequest = NO_POSE_READ;
    return answered("stopPoseRead");
}

void kgiStandInSession::requestPoseRead(int mode) {
    state.poseReadRequest = mode;
    state.record.add(call("requestPoseRead", {num(mode)}));
}

const std::uint32_t* kgiStandInSession::readRobotInfo() {
    state.record.add("readRobotInfo");
    return state.info.data();
}

// --- options dialog ---

kgiStandInOptions::kgiStandInOptions(kgiStandInOptionsState& s) : state(s) { ++state.made; }

kgiStandInOptions::~kgiStandInOptions() { ++state.destroyed; }

std::string kgiStandInOptions::getJointFieldText(const std::string& jointName) {
    state.record.add(call("getJointFieldText", {jointName}));
    return state.jointFieldText;
}

void kgiStandInOptions::openRobotTab() { state.record.add("openRobotTab"); }

void kgiStandInOptions::setRobotComCheck(bool on) {
    state.robotComCheck = on;
    state.record.add(call("setRobotComCheck", {num(on)}));
}

void kgiStandInOptions::lockAllCommands(kgiOptionsCommandFlags& record) { record.flags.fill(0); }

void kgiStandInOptions::unlockAllCommands(kgiOptionsCommandFlags& record) { record.flags.fill(1); }

void kgiStandInOptions::updateCommandStates(const kgiOptionsCommandFlags& record) {
    state.applied.push_back(record);
}

void kgiStandInOptions::enableJointFields(bool on) {
    state.jointFieldsEnabled = on;
    state.record.add(call("enableJointFields", {num(on)}));
}

void kgiStandInOptions::setStatusText(const FX::FXString& text) { state.statusTexts.push_back(text.text()); }

void kgiStandInOptions::setListItemText(const FX::FXString& text, int n) {
    state.listTexts.push_back(num(n) + ":" + text.text());
}

// --- main window ---

void kgiStandInMainWindow::updateCommandStates(const kgiMainCommandLocks& r) { applied.push_back(r); }

void kgiStandInMainWindow::lockAllCommands(kgiMainCommandLocks& r) {
    record.add("lockAllCommands");
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i)
        if (isFilled(i)) r[i] = 0;
}

void kgiStandInMainWindow::unlockAllCommands(kgiMainCommandLocks& r) {
    record.add("unlockAllCommands");
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i)
        if (isFilled(i)) r[i] = 1;
}

// --- all together ---

kgiAppMakers kgiAppStandIns::makers() {
    kgiAppMakers m;
    m.robotSession = [this]() -> kgiRobotConnection* { return new kgiStandInSession(session); };
    m.soundPlayer = [this]() -> kgiSoundOutput* { return new kgiStandInSound(sound); };
    m.msgWindowHost = [this]() -> kgiMessageHost* { return new kgiStandInMessage(message); };
    m.optionsDialog = [this](kgiCommandWindow&, FX::FXIcon*) -> kgiRobotOptions* {
        return new kgiStandInOptions(options);
    };
    return m;
}

void kgiAppStandIns::installOn(kgiApp& app) {
    app.setMakers(makers());
    app.setLessonManager(&lesson);
    app.setMainWindow(&mainWindow);
}
