#include "kgiApp.h"

#include "kgiLangKeys.h"
#include "kgiMessageHost.h"
#include "kgiRobotConnection.h"
#include "kgiSoundOutput.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"

#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "kutImg.h"
#include "kutPath.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

FXDEFMAP(kgiApp) kgiAppMap[] = {
    FXMAPFUNC(FX::SEL_CHORE, kgiApp::ID_IDLE, kgiApp::onChore),
    FXMAPFUNC(FX::SEL_TIMEOUT, kgiApp::ID_IDLE_TIMEOUT, kgiApp::onIdleTimeout),
    FXMAPFUNC(FX::SEL_TIMEOUT, kgiApp::ID_SOUND_WARMUP, kgiApp::onSoundWarmUp),
    FXMAPFUNC(FX::SEL_SIGNAL, FX::FXApp::ID_QUIT, kgiApp::onSignalQuit),
    // A top-level window whose target is the application with ID_QUIT ends
    // the program when it is closed, as a quit does.
    FXMAPFUNC(FX::SEL_CLOSE, FX::FXApp::ID_QUIT, FX::FXApp::onCmdQuit),
};

FXIMPLEMENT(kgiApp, FX::FXApp, kgiAppMap, ARRAYNUMBER(kgiAppMap))

namespace {
const char* const DEFAULT_MODEL = "DORUZAVO_1";
const char* const DEFAULT_PROJECT = "DORUZAVO_1.ts";
} // namespace

kgiApp::kgiApp() : FX::FXApp("Application", "FoxDefault") {}

kgiApp::kgiApp(const std::string& dir) : FX::FXApp("Rodiza", "Vezeze"), baseDir(dir) {
    addChore(this, ID_IDLE);
    choreRegistered = true;
    kgiCharacterServices::install(&services);
    kgiFreedTreeNotice::subscribe(&canvasTrees);

    // Pixels handed over to the icon, which frees them (IMAGE_OWNED).
    kutFoxImg bitmap(false);
    if (bitmap.loadBitmap(kutAppendPath(kutAppendPath(baseDir, "icons"), "app2.bmp"))) {
        appIcon = new FX::FXIcon(this, reinterpret_cast<FX::FXColor*>(bitmap.getPixels()), 0,
                                 FX::IMAGE_KEEP | FX::IMAGE_OWNED | FX::IMAGE_OPAQUE,
                                 bitmap.getWidth(), bitmap.getHeight());
    }
}

kgiApp::~kgiApp() {
    kgiFreedTreeNotice::unsubscribe(&canvasTrees);
    // Characters outlive the application (the character table is freed at
    // exit), so they must not reach its services afterwards.
    if (&kgiCharacterServices::current() == &services)
        kgiCharacterServices::install(nullptr);
    resetCanvasMouseModes();
    delete appIcon;
    appIcon = nullptr;
    resetMessageWindow();
    // The session first: its destructor closes the port and may still write
    // its status into the options dialog. The host goes while the toolkit
    // it shows windows with still exists.
    deleteRobotSession();
    delete msgHost;
    msgHost = nullptr;
    // The media host is a static object that outlives the toolkit: its
    // tracks and video window go now, and none is built from here on.
    kgiWorld* world = kgiWorld::instance();
    world->setMediaTracksMaker(nullptr);
    if (kgiMediaTracks* media = world->getRegisteredMediaTracks()) media->shutDown();
    delete soundPlayer;
    soundPlayer = nullptr;
    deleteOptionsDialog();
    // Only an application that read its settings writes them back, so the
    // factory object never overwrites a user's file with defaults.
    if (!baseDir.empty()) saveSettings();
    if (choreRegistered) {
        removeChore(this, ID_IDLE);
        removeTimeout(this, ID_IDLE_TIMEOUT);
    }
    removeTimeout(this, ID_SOUND_WARMUP);
}

kgiApp* kgiApp::instance() {
    FX::FXApp* app = FX::FXApp::instance();
    return app && app->isMemberOf(FXMETACLASS(kgiApp)) ? static_cast<kgiApp*>(app) : nullptr;
}

void kgiApp::create() {
    FX::FXApp::create();
    kgiWorld* world = kgiWorld::instance();
    world->init();
    world->setFps(kgiWorld::ROBOT_FPS);
    robotCom = false;
    closeRequested = false;
    collisionHit = false;
    loadSettings();
    if (makers.mainWindow && !mainWindow) {
        mainWindow = makers.mainWindow(*this);
        if (mainWindow) {
            if (FX::FXMainWindow* window = mainWindow->window()) window->create();
            timelineCanvas = mainWindow->timelineCanvas();
        }
    }
    // Interrupt and terminate end the event loop like a quit, so the
    // destructor still writes the settings.
    addSignal(SIGINT, this, ID_QUIT);
    addSignal(SIGTERM, this, ID_QUIT);
}

long kgiApp::onSignalQuit(FX::FXObject* sender, FX::FXSelector sel, void* ptr) {
    // The toolkit's quit ends only the loops running now; remembered, it
    // also ends those that start later (see getNextEvent).
    quitRequested = true;
    return FX::FXApp::onCmdQuit(sender, sel, ptr);
}

bool kgiApp::getNextEvent(FX::FXRawEvent& ev, bool blocking) {
    // Every event loop, modal ones included, asks here for its next event:
    // after a quit request a new one (start-up's next box, the main loop)
    // ends at once instead of waiting for another signal.
    if (quitRequested) {
        stop(0);
        return false;
    }
    return FX::FXApp::getNextEvent(ev, blocking);
}

void kgiApp::startUp(int argc, char** argv) {
    setModelFolders(DEFAULT_MODEL);
    const std::string project =
        kutAppendPath(kutAppendPath(baseDir, std::string(DEFAULT_MODEL)) + "base", DEFAULT_PROJECT);

    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    if (id == -1) return;

    kgiCharacter* character = kgiCharacterTable::instance()->find(id);
    if (!kgiWorldLinks::loadCharacter(character, project)) {
        services.showMessage("Error", services.text(kgiLangKey::Er_KMD_File));
        world->removeCharacter(id);
        return;
    }

    setupRobotJoints(character, project);
    kgiWorldLinks::setCharacterTime(character, 0.0f);
    world->setCurrentTime(0.0f);
    world->setCurrentCharacter(id);
    if (kgiScene* scene = world->getScene()) {
        ksgNode* root = kgiWorldLinks::characterRoot(character);
        ksgScene* base = kgiWorldLinks::sceneBase(scene);
        if (base && root) base->addRoot(root->asTransform());
        world->centerViews(id);
    }
    if (argc <= 1) {
        setLessonMode(0);
        // Opening the sound device takes from a few to a hundred
        // milliseconds that the first frames need not wait for.
        addTimeout(this, ID_SOUND_WARMUP, SOUND_WARMUP_MS);
    } else {
        createSoundPlayer();
        createMsgWindowHost();
        startLesson(argv[1]);
        applyLessonLocks();
    }
    redrawAll();
}

void kgiApp::createOptionsDialog() {
    if (optionsDialog || !mainWindow || !makers.optionsDialog) return;
    optionsDialog = makers.optionsDialog(*mainWindow, appIcon);
    if (optionsDialog && optionsDialog->window()) optionsDialog->window()->create();
}

void kgiApp::deleteOptionsDialog() {
    delete optionsDialog;
    optionsDialog = nullptr;
}

void kgiApp::setModelFolders(const std::string& id) {
    modelId = id;
    currentFile.clear();
    const std::string modelDir = kutAppendPath(baseDir, modelId);
    motionDir = kutAppendPath(modelDir, "motion");
    poseDir = kutAppendPath(modelDir, "pose");
    factoryDir = modelDir + "base";
    mediaDir = kutAppendPath(modelDir, "media");
    remoconListPath = kutAppendPath(kutAppendPath(factoryDir, "remocon"), "list.txt");
    if (mainWindow) mainWindow->setStartFolders(modelDir, poseDir);
}

FX::FXString kgiApp::languageText(const char* key) const {
    if (languageTable.isLoaded())
        if (const FX::FXString* text = languageTable.find(key)) return *text;
    return FX::FXString(key);
}

void kgiApp::loadLanguage(int language) {
    const int chosen = kgiLanguageTable::effectiveLanguage(language);
    const std::string path = kgiLanguageTable::filePath(baseDir, chosen);
    if (!languageTable.readFile(path)) {
        // Without its texts the program cannot show a single menu; it stops
        // before anything is written.
        std::fprintf(stderr, "language file missing: %s\n", path.c_str());
        std::exit(1);
    }
    settings.language = chosen;
}

void kgiApp::loadSettings() {
    kgiSettingsFile::load(kgiSettingsFile::pathIn(baseDir), settings);
}

void kgiApp::saveSettings() {
    if (!kgiSettingsFile::save(kgiSettingsFile::pathIn(baseDir), settings))
        std::fprintf(stderr, "settings not written: %s\n", kgiSettingsFile::pathIn(baseDir).c_str());
}

long kgiApp::onChore(FX::FXObject*, FX::FXSelector, void*) {
    bool quiet = isQuietPass();
    // A playing pass that showed no new frame changed nothing a widget
    // shows either, unless something else had work.
    const bool onlyPlaying = kgiWorld::instance()->isPlaying() && !isRedrawPending() && !isLessonMode() &&
                             !robotCom && !closeRequested && !isCanvasDragPending() && !isCourseRunning();
    const long drawsBefore = playbackDraws;
    idleTick();
    if (onlyPlaying && playbackDraws == drawsBefore) quiet = true;
    scheduleNextPass();
    // A handler that answers 1 makes the toolkit walk every widget with an
    // update message, polling the display between two of them. A quiet pass
    // changed nothing a widget shows, so it answers 0 and spares that walk:
    // with ten fallback passes a second it was nearly all an idle program's
    // processor time. Events still bring their own walk.
    return quiet ? 0 : 1;
}

bool kgiApp::stepPlayback() {
    kgiWorld* world = kgiWorld::instance();
    const bool started = !passPlaying;
    world->advancePlayback(false);
    const float now = world->getCurrentTime();
    // A course run reads its stopwatch on every paint: it draws every pass.
    const bool draw = started || !world->isPlaying() || now != passPlayTime || isCourseRunning();
    passPlaying = world->isPlaying();
    passPlayTime = now;
    if (!draw) return false;
    redrawAll();
    ++playbackDraws;
    return true;
}

long kgiApp::onSoundWarmUp(FX::FXObject*, FX::FXSelector, void*) {
    createSoundPlayer();
    return 0;
}

long kgiApp::onIdleTimeout(FX::FXObject*, FX::FXSelector, void*) {
    // Only asks for a pass; the pass answers for what it changes.
    wakeIdle();
    return 0;
}

void kgiApp::wakeIdle() {
    // Only the program's own application runs passes (not the factory one).
    if (choreRegistered && !hasChore(this, ID_IDLE)) addChore(this, ID_IDLE);
}

bool kgiApp::dispatchEvent(FX::FXRawEvent& ev) {
    if (ime.filterKey(ev)) return true;
    const bool handled = FX::FXApp::dispatchEvent(ev);
    ime.afterEvent();
    // Whatever the event asked for is carried out by the pass right after it.
    wakeIdle();
    return handled;
}

void kgiApp::scheduleNextPass() {
    // The one place that decides when the next pass comes. While a drag or
    // a course run animates, the next idle turn runs it. Otherwise the loop
    // waits: the next event brings a pass (dispatchEvent), and so does a
    // timeout, so that a request made from a toolkit timeout is carried out
    // within IDLE_FALLBACK_MS at most.
    if (isCanvasDragPending() || isCourseRunning()) {
        wakeIdle();
        return;
    }
    // The robot session's link (stepped every 15 ms) must not wait for an
    // event; a pending close must not either. A lesson's step engine must
    // not wait for one either, but its page tick and timers are content
    // with a slower pace.
    if (robotCom || closeRequested) {
        addTimeout(this, ID_IDLE_TIMEOUT, SHORT_PASS_MS);
        return;
    }
    // Playback shows whole frames: a pass every quarter frame finds each
    // new one, and the loop waits in between instead of drawing the same
    // frame over and over.
    if (kgiWorld::instance()->isPlaying()) {
        addTimeout(this, ID_IDLE_TIMEOUT, PLAYBACK_PASS_MS);
        return;
    }
    if (isLessonMode()) {
        addTimeout(this, ID_IDLE_TIMEOUT, LESSON_PASS_MS);
        return;
    }
    addTimeout(this, ID_IDLE_TIMEOUT, IDLE_FALLBACK_MS);
}

void kgiApp::idleTick() {
    ++idlePasses;
    kgiWorld* world = kgiWorld::instance();

    // A modal window (a file dialog, a box, a pop-up menu) runs the passes
    // in its own loop; the lesson waits for it, since the report its
    // answer makes expects the step where the opening left it.
    if (isLessonMode() && !getModalWindow()) lessonTick();

    if (world->isPlaying()) {
        // While playing, dragging, closing the robot link and the session
        // step wait: playback owns the pass.
        if (robotCom) pollRobotLink();
        stepPlayback();
        flushRedraws();
    } else {
        passPlaying = false;
        if (stepCanvasDrags()) {
            redrawViews();
            flushCanvasRedraws();
        } else {
            if (isCourseRunning()) redrawViews();
            flushRedraws();
        }
        if (closeRequested) {
            deleteRobotSession();
            if (!isLessonMode()) unlockRobotCommands();
        }
        if (robotCom) updateRobotSession();
    }

    if (quitAtPass > 0 && idlePasses >= quitAtPass) {
        quitAtPass = 0;
        exit(0);
    }
    FX::fxsleep(0);
}
