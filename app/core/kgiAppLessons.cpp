// kgiApp's door to the lessons, the command locks, the sounds and the
// message window. The lesson manager, the sound player and the message-window
// host are reached through their seams (kgiLessonControl, kgiSoundOutput,
// kgiMessageHost); without them the program behaves as in normal editing.
#include "kgiApp.h"

#include "kgiLessonControl.h"
#include "kgiMessageHost.h"
#include "kgiSoundOutput.h"

#include "kutPath.h"
#include "platform/clock.h"

namespace {
// Pause between two questions of a wait for silence, in microseconds: short
// beside a sound, long enough not to spin a core.
constexpr FX::FXuint SILENCE_POLL_MICROSECONDS = 2000;
// Sounds that a wait with playSound watches (the click and the lessons' own).
constexpr int LAST_WAITED_SOUND = 5;
} // namespace

// --- lesson state ---

bool kgiApp::isLessonMode() const {
    return lessonManager && lessonManager->getMode() > 0;
}

void kgiApp::setLessonMode(int n) {
    if (lessonManager) lessonManager->setMode(n);
}

void kgiApp::startLesson(const char* text) {
    if (lessonManager) lessonManager->start(text ? text : "");
}

void kgiApp::lessonTick() {
    if (isLessonMode()) lessonManager->runStep();
}

bool kgiApp::isCourseTimerOn() const {
    return lessonManager && lessonManager->isCourseMode();
}

bool kgiApp::isCourseRunning() const {
    return lessonManager && lessonManager->isCourseRunning();
}

float kgiApp::getCourseTime() const {
    return isCourseTimerOn() ? lessonManager->getCourseTime() : 0.0f;
}

kgiCharacter* kgiApp::getCourseFile() {
    return lessonManager ? lessonManager->loadCourseTimesheet() : nullptr;
}

// --- permissions ---

bool kgiApp::lessonPermission(int flag, bool sound) {
    if (!isLessonMode()) return true;
    const bool allowed = lessonManager->getPermission(flag);
    if (!allowed && sound) playAnswerSound(false);
    return allowed;
}

bool kgiApp::isViewEditAllowed(bool sound) {
    return lessonPermission(1, sound);
}

bool kgiApp::canUseFrameButtonA() {
    return lessonPermission(2, true);
}

bool kgiApp::canUseFrameButtonB() {
    return lessonPermission(3, true);
}

bool kgiApp::getLessonPermission(int i) const {
    return !isLessonMode() || lessonManager->getPermission(i);
}

bool kgiApp::isLessonWaitingForAction() const {
    return isLessonMode() && lessonManager->isWaitingForAction();
}

// --- reports ---

bool kgiApp::lessonActionDone() {
    if (!isLessonMode()) return false;
    if (lessonManager->isWaitingForAction())
        lessonManager->nextStep();
    else
        playAnswerSound(true);
    return true;
}

bool kgiApp::lessonStepBack() {
    return isLessonMode() && lessonManager->stepBack();
}

bool kgiApp::lessonRestart() {
    if (!isLessonMode()) return false;
    lessonManager->restartProgram();
    return true;
}

bool kgiApp::checkLessonAnswer(int index) {
    return !lessonManager || lessonManager->checkAnswer(index);
}

bool kgiApp::checkLessonKeyEdit(int frame, int keyIndex, int kind) {
    if (!isLessonMode()) return false;
    const bool matched = lessonManager->isExpectedAction(frame, keyIndex, kind);
    if (matched && keyIndex < 0)
        lessonActionDone();
    else
        playAnswerSound(matched);
    return matched;
}

bool kgiApp::checkLessonKeyTime(bool exactOnly) {
    if (!isLessonMode()) return false;
    const bool matched = lessonManager->isExpectedKey(exactOnly);
    if (matched) lessonActionDone();
    return matched;
}

bool kgiApp::showLessonText(int n) {
    if (!isLessonMode()) return false;
    lessonManager->showStep(n);
    return true;
}

bool kgiApp::lessonOnPlay() {
    if (!isLessonMode()) return false;
    lessonManager->checkCourseProgress();
    return true;
}

bool kgiApp::setLessonStep(int n) {
    if (!isLessonMode()) return false;
    lessonManager->setStep(n);
    return true;
}

int kgiApp::getCourseStartState() const {
    return lessonManager ? lessonManager->getCourseStartState() : -1;
}

bool kgiApp::playLessonEndSound() {
    if (!isLessonMode()) return false;
    lessonManager->playEndSound();
    return true;
}

// --- command locks ---

bool kgiApp::applyLessonLocks() {
    // Mode 0 or below (also without a lesson manager) opens every command.
    const bool open = !isLessonMode();
    if (mainWindow) {
        kgiMainCommandLocks record;
        if (open)
            mainWindow->unlockAllCommands(record);
        else
            mainWindow->lockAllCommands(record);
        mainWindow->updateCommandStates(record);
    }
    if (optionsDialog) {
        kgiOptionsCommandFlags record;
        record.flags.fill(open ? 1 : 0);
        optionsDialog->updateCommandStates(record);
    }
    if (lessonManager)
        for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i) lessonManager->setPermission(i, open);
    flushRedraws();
    return true;
}

void kgiApp::applyMainWindowLock(const kgiMainCommandLocks& record) {
    if (!mainWindow) return;
    mainWindow->updateCommandStates(record);
    flushRedraws();
}

void kgiApp::clearMainWindowLock(kgiMainCommandLocks& record) {
    if (mainWindow) mainWindow->lockAllCommands(record);
}

void kgiApp::fillMainWindowLock(kgiMainCommandLocks& record) {
    if (mainWindow) mainWindow->unlockAllCommands(record);
}

void kgiApp::applyOptionsLock(const kgiOptionsCommandFlags& record) {
    if (!optionsDialog) return;
    optionsDialog->updateCommandStates(record);
    flushRedraws();
}

void kgiApp::clearOptionsLock(kgiOptionsCommandFlags& record) {
    if (optionsDialog) optionsDialog->lockAllCommands(record);
}

void kgiApp::fillOptionsLock(kgiOptionsCommandFlags& record) {
    if (optionsDialog) optionsDialog->unlockAllCommands(record);
}

void kgiApp::enableOptionsDialog(bool on) {
    if (optionsDialog) optionsDialog->enableJointFields(on);
}

// --- sounds ---

kgiSoundOutput* kgiApp::ensureSoundPlayer() {
    if (!soundPlayer) createSoundPlayer();
    return soundPlayer;
}

void kgiApp::createSoundPlayer() {
    if (soundPlayer || !makers.soundPlayer) return;
    soundPlayer = makers.soundPlayer();
    if (!soundPlayer) return;
    soundPlayer->init();
    lastSoundId = -1;
    loadSound(kutAppendPath(kutAppendPath(baseDir, "se"), "keyset.wav"));
}

int kgiApp::loadSound(const std::string& path) {
    kgiSoundOutput* player = ensureSoundPlayer();
    if (!player) return -1;
    const int id = player->load(path);
    if (id > lastSoundId) lastSoundId = id;
    return id;
}

void kgiApp::playAnswerSound(bool good) {
    kgiSoundOutput* player = ensureSoundPlayer();
    if (!player) return;
    if (player->isPlaying(GOOD_SOUND) || player->isPlaying(NOT_GOOD_SOUND)) return;
    player->play(good ? GOOD_SOUND : NOT_GOOD_SOUND, false);
}

void kgiApp::playSound(int id, bool wait) {
    kgiSoundOutput* player = ensureSoundPlayer();
    if (!player) return;
    if (wait) waitForSilence(KEYSET_SOUND, LAST_WAITED_SOUND);
    player->play(id, false);
}

void kgiApp::waitForSilence(int first, int last) {
    if (!soundPlayer) return;
    const double end = platform::monotonicSeconds() + soundWaitLimit;
    for (;;) {
        bool playing = false;
        for (int id = first; id <= last && !playing; ++id) playing = soundPlayer->isPlaying(id);
        if (!playing || platform::monotonicSeconds() >= end) return;
        FX::fxsleep(SILENCE_POLL_MICROSECONDS);
    }
}

// --- message window ---

void kgiApp::createMsgWindowHost() {
    if (msgHost || !makers.msgWindowHost) return;
    msgHost = makers.msgWindowHost();
    if (msgHost) msgHost->initialize();
}

void kgiApp::showMessageText(const std::string& text, const std::string& speech, int x, int y,
                             int colorMode) {
    if (!msgHost) return;
    if (ensureSoundPlayer()) waitForSilence(KEYSET_SOUND, NOT_GOOD_SOUND);
    resetMessageWindow();
    msgHost->showText(text, speech, x, y, colorMode);
}

bool kgiApp::isMessageDone() {
    return msgHost && !msgHost->isSpeaking();
}

bool kgiApp::isMessageSpeaking() {
    return msgHost && msgHost->isSpeaking();
}

void kgiApp::resetMessageWindow() {
    if (msgHost) msgHost->hideWindow();
}
