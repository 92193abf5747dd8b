#include "kgiApp.h"

#include "kgiLangKeys.h"
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

FXDEFMAP(kgiApp) kgiAppMap[] = {
    FXMAPFUNC(FX::SEL_CHORE, kgiApp::ID_IDLE, kgiApp::onChore),
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

    // Pixels handed over to the icon, which frees them (IMAGE_OWNED).
    kutFoxImg bitmap(false);
    if (bitmap.loadBitmap(kutAppendPath(kutAppendPath(baseDir, "icons"), "app2.bmp"))) {
        appIcon = new FX::FXIcon(this, reinterpret_cast<FX::FXColor*>(bitmap.getPixels()), 0,
                                 FX::IMAGE_KEEP | FX::IMAGE_OWNED | FX::IMAGE_OPAQUE,
                                 bitmap.getWidth(), bitmap.getHeight());
    }
}

kgiApp::~kgiApp() {
    // Characters outlive the application (the character table is freed at
    // exit), so they must not reach its services afterwards.
    if (&kgiCharacterServices::current() == &services)
        kgiCharacterServices::install(nullptr);
    resetCanvasMouseModes();
    delete appIcon;
    appIcon = nullptr;
    resetMessageWindow();
    // Only an application that read its settings writes them back, so the
    // factory object never overwrites a user's file with defaults.
    if (!baseDir.empty()) saveSettings();
    if (choreRegistered) removeChore(this, ID_IDLE);
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
    // Interrupt and terminate end the event loop like a quit, so the
    // destructor still writes the settings.
    addSignal(SIGINT, this, ID_QUIT);
    addSignal(SIGTERM, this, ID_QUIT);
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
    createSoundPlayer();
    if (argc <= 1) {
        setLessonMode(0);
    } else {
        createMessageHost();
        startLesson(argv[1]);
        applyLessonLocks();
    }
    redrawAll();
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
}

void kgiApp::loadSettings() {
    kgiSettingsFile::load(kgiSettingsFile::pathIn(baseDir), settings);
}

void kgiApp::saveSettings() {
    if (!kgiSettingsFile::save(kgiSettingsFile::pathIn(baseDir), settings))
        std::fprintf(stderr, "settings not written: %s\n", kgiSettingsFile::pathIn(baseDir).c_str());
}

long kgiApp::onChore(FX::FXObject*, FX::FXSelector, void*) {
    // Registered again first, so the task runs on every idle turn.
    addChore(this, ID_IDLE);
    idleTick();
    return 1;
}

void kgiApp::idleTick() {
    ++idlePasses;
    kgiWorld* world = kgiWorld::instance();

    if (isLessonMode()) lessonTick();

    if (world->isPlaying()) {
        // While playing, dragging, closing the robot link and the session
        // step wait: playback owns the pass.
        if (robotCom) pollRobotLink();
        world->advancePlayback(false);
        redrawAll();
        flushRedraws();
    } else {
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
