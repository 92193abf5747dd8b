// The lesson manager: start, the steps' advance and return, the answers and
// key checks, the page tick and the restart. The step table is in
// kgiLessonManagerSteps.cpp, the courses in kgiLessonManagerCourses.cpp, the
// step file reader in kgiLessonManagerTexts.cpp.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"
#include "kutPath.h"
#include "kutTime.h"
#include "platform/codepage.h"
#include "platform/process.h"

#include <cstdio>
#include <cstring>

kgiLessonManager* kgiLessonManager::instance() {
    static kgiLessonManager manager;
    return &manager;
}

kgiLessonManager::kgiLessonManager() {
    setClock(nullptr);
    setProcessReplacer(nullptr);
    kgiFreedTreeNotice::subscribe(this);
}

kgiLessonManager::~kgiLessonManager() { kgiFreedTreeNotice::unsubscribe(this); }

void kgiLessonManager::setClock(Clock c) {
    clock = c ? std::move(c) : Clock([] { return kutGetTime(); });
}

void kgiLessonManager::setProcessReplacer(ProcessReplacer r) {
    if (r)
        replacer = std::move(r);
    else
        replacer = [](const std::string& path, const std::vector<std::string>& argv, const std::string& workDir) {
            return platform::replaceProcess(path, argv, workDir);
        };
}

bool kgiLessonManager::getPermission(int i) const {
    switch (i) {
    case 0: return permission0;
    case 1: return viewEditAllowed;
    case 2: return playAllowed;
    case 3: return toStartAllowed;
    case 4: return permission4;
    default: return false;
    }
}

void kgiLessonManager::setPermission(int i, bool allowed) {
    switch (i) {
    case 0: permission0 = allowed; break;
    case 1: viewEditAllowed = allowed; break;
    case 2: playAllowed = allowed; break;
    case 3: toStartAllowed = allowed; break;
    case 4: permission4 = allowed; break;
    default: break;
    }
}

void kgiLessonManager::resetStepFields() {
    stepTimer = 0.0f;
    step = 0;
    restartStep = 0;
    page = 0;
    waiting = showNextAtLower = showNextAtUpper = false;
    expectedAnswer = expectedKeyIndex = expectedEditFrame = expectedEditKind = -1;
    courseStartTime = courseTime = -1.0f;
    goalReached = false;
    courseState = -1;
}

void kgiLessonManager::start(const char* argument) {
    mode = 0;
    if (!argument || std::sscanf(argument, "%d", &mode) != 1) mode = 0;
    resetStepFields();

    kgiApp* app = kgiApp::instance();
    if (mode != 0 && app) {
        const int language = app->getSettings().language;
        texts.readFile(stepFilePath(app->getBaseDir(), app->getModelId(), language, mode), language == 0);
    } else {
        texts.clear();
    }
    applyLocks(app);
    messageX = MESSAGE_X;
    messageYUpper = MESSAGE_Y_UPPER;
    messageYLower = MESSAGE_Y_LOWER;

    answersActive = mode != 0;
    if (answersActive && app) {
        // After the key click (sound 0) these are the NG (1) and OK (2)
        // sounds that kgiApp::playAnswerSound plays.
        const std::string se = kutAppendPath(app->getBaseDir(), "se");
        app->loadSound(kutAppendPath(se, "qNG.wav"));
        app->loadSound(kutAppendPath(se, "qOK.wav"));
    }
    courseKind = (mode == NORMAL_COURSE || mode == OBSTACLE_COURSE) ? mode : -1;
    startSignalOnPlay = mode == START_SIGNAL_MODE;
    runStep();
}

void kgiLessonManager::reset() {
    mode = 0;
    step = 0;
    answersActive = waiting = showNextAtLower = showNextAtUpper = false;
    courseState = -1;
    applyLocks(kgiApp::instance());
    messageX = MESSAGE_X;
    messageYUpper = MESSAGE_Y_UPPER;
    messageYLower = MESSAGE_Y_LOWER;
}

void kgiLessonManager::showText(int x, int y, int bank) {
    const std::string& text = texts.get(bank, 0, page, step);
    const std::string& speech = texts.get(bank, 1, page, step);
    platform::printDiagnostic("%s\n", speech.c_str());
    if (kgiApp* app = kgiApp::instance()) app->showMessageText(text, speech, x, y, bank);
}

void kgiLessonManager::tickPages() {
    kgiApp* app = kgiApp::instance();
    const float t = now();
    if (app && app->isMessageSpeaking()) {
        stepTimer = t;
    } else if (page + 1 < kgiLessonTexts::PAGES && texts.isPresent(0, 0, page + 1, step) &&
               texts.isPresent(0, 1, page + 1, step)) {
        ++page;
        showText(messageX, messageYUpper, 0);
    }
    if (t - stepTimer > repeatDelay) {
        page = 0;
        showText(messageX, messageYUpper, 0);
        // The text comes back once per delay of silence, not on every pass.
        stepTimer = t;
    }
}

void kgiLessonManager::nextStep() {
    kgiApp* app = kgiApp::instance();
    if (waiting) {
        applyLocks(app);
        if (app) app->playAnswerSound(true);
        ++step;
        waiting = false;
        page = 0;
        if (showNextAtLower) showText(messageX, messageYLower, 0);
        if (showNextAtUpper) showText(messageX, messageYUpper, 0);
    } else if (showNextAtLower || showNextAtUpper) {
        applyLocks(app);
        if (app) app->playAnswerSound(true);
        ++step;
        // The new step starts at its first page.
        page = 0;
        if (showNextAtUpper) {
            showText(messageX, messageYUpper, 0);
            showNextAtUpper = false;
            waiting = true;
        }
        showNextAtLower = false;
    }
    stepTimer = now();
}

bool kgiLessonManager::stepBack() {
    // Step 0 is the introduction, which loads the lesson's files: going
    // back into it (or before it) would load them a second time.
    if (step <= 1) return false;
    kgiApp* app = kgiApp::instance();
    if (waiting || showNextAtLower) {
        if (app) app->playAnswerSound(false);
        showText(messageX, messageYUpper, 0);
        --step;
        waiting = false;
        page = 0;
        applyLocks(app);
        return true;
    }
    if (showNextAtUpper) {
        --step;
        waiting = false;
        page = 0;
        return true;
    }
    return false;
}

void kgiLessonManager::setStep(int n) {
    step = n >= 0 ? n : restartStep;
    waiting = false;
    page = 0;
}

void kgiLessonManager::applyLocks(kgiApp* app) {
    optionsRecord = kgiOptionsCommandFlags();
    optionsRecordStale = false;
    if (app) app->applyLessonLocks();
}

void kgiLessonManager::reapplyOptionsRecord() {
    optionsRecordStale = false;
    kgiApp* app = kgiApp::instance();
    if (!app) return;
    kgiOptionsCommandFlags record;
    app->clearOptionsLock(record);
    // Before its set-up a step has none of its own: the locks'.
    if (waiting) record = optionsRecord;
    app->applyOptionsLock(record);
}

void kgiLessonManager::showStep(int n) {
    optionsRecordStale = true;
    if (n < 0) {
        showText(messageX, messageYUpper, 1);
        return;
    }
    const int kept = step;
    step = n;
    page = 0;
    showText(messageX, messageYUpper, 1);
    step = kept;
}

bool kgiLessonManager::checkAnswer(int index) {
    if (!waiting || expectedAnswer < 0) return true;
    if (index + 1 != expectedAnswer) {
        if (kgiApp* app = kgiApp::instance()) app->playAnswerSound(false);
        showText(messageX, messageYUpper, 0);
        return false;
    }
    nextStep();
    return true;
}

bool kgiLessonManager::isExpectedAction(int frame, int keyIndex, int kind) {
    if (!waiting) return false;
    return (keyIndex == expectedKeyIndex && kind == expectedEditKind) ||
           (frame == expectedEditFrame && kind == expectedEditKind);
}

bool kgiLessonManager::isExpectedKey(bool exactOnly) {
    if (!waiting) return false;
    const kgiCharacter* character = kgiWorld::instance()->getCurrentCharacter();
    if (!character) return false;
    const std::vector<float>& times = character->getKeyTimes();
    if (expectedKeyIndex < 0 || static_cast<std::size_t>(expectedKeyIndex) >= times.size()) return false;
    const float time = times[static_cast<std::size_t>(expectedKeyIndex)];
    // Key times are frames; a time too large for an int is past any frame.
    if (!(time < 2147483647.0f)) return !exactOnly;
    const int frame = time > -2147483648.0f ? static_cast<int>(time) : -2147483647 - 1;
    if (frame == expectedKeyFrame) return true;
    return !exactOnly && frame > expectedKeyFrame;
}

void kgiLessonManager::restartProgram() {
    if (mode == CONNECTION_LESSON) {
        setStep(-1);
        return;
    }
    kgiApp* app = kgiApp::instance();
    std::string baseDir;
    if (app) {
        // The replacement never runs the application's destructor, which
        // would have written them.
        app->saveSettings();
        baseDir = app->getBaseDir();
    }
    // The program's own file under its own name: the process stays
    // "Zodarovu0", whatever path or name it was started with.
    const std::vector<std::string> argv = {PROGRAM_NAME, std::to_string(CONNECTION_LESSON)};
    const int error = replacer(platform::ownProgramPath(), argv, baseDir);
    std::fprintf(stderr, "The lesson could not restart the program: %s\n", std::strerror(error));
    if (app) app->exit(1);
}

ksgNode* kgiLessonManager::getCourseNode(int i) const {
    return i >= 0 && i < courseNodeCount ? courseNodes[static_cast<std::size_t>(i)] : nullptr;
}

void kgiLessonManager::treeFreed(kgiCharacter*, ksgNode* root) {
    // The table points into the course character's tree, whose root is its
    // first entry.
    if (courseNodeCount > 0 && courseNodes[0] == root) {
        courseNodes.fill(nullptr);
        courseNodeCount = 0;
    }
}
