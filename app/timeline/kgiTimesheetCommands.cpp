// The main window's file, project, media and window commands, the time-line
// refresh and the project load. The handlers reach the robot joint table
// and the media host only through the core's seams (kgiPartTable,
// kgiMediaTracks): without them installed, file reads and writes fail
// without a message and there are no joints and no tracks.
#include "kgiTimesheetWindow.h"

#include "kgiTimesheetCanvas.h"

#include "kgiApp.h"
#include "kgiCanvasCommands.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCollisionCheck.h"
#include "kgiCollisionCheckParts.h"
#include "kgiCurveView.h"
#include "kgiFileDialog.h"
#include "kgiLangKeys.h"
#include "kgiProject.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"

#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"
#include "kutPath.h"

#include "platform/process.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

using Window = kgiTimesheetWindow;

// The file dialogs of the commands: kind, title, filter, default extension.
// Each starts in the folder its command passes and keeps what it says.
struct DialogDef {
    int command;
    bool save;
    const char* title;
    const char* filter;
    const char* extension;
};

constexpr const char* TS_FILTER = "TS file (*.ts)";
constexpr const char* PSF_FILTER = "Vude script file (*.psf)";
constexpr const char* MDM_FILTER = "Zodarovu Motion (*.mdm)";
constexpr const char* MDP_FILTER = "Zodarovu pose (*.mdp)";

const DialogDef DIALOGS[] = {
    {Window::ID_LOAD_TIMESHEET, false, "Load timesheet", TS_FILTER, "ts"},
    {Window::ID_ADD_TIMESHEET, false, "Add timesheet...", TS_FILTER, "ts"},
    {Window::ID_ADD_MOTION, false, "Add motion...", TS_FILTER, "ts"},
    {Window::ID_SAVE_TIMESHEET_AS, true, "Save timesheet as...", TS_FILTER, "ts"},
    {Window::ID_IMPORT_PSF, false, "Import Vude script file...", PSF_FILTER, "psf"},
    {Window::ID_LOAD_MDM, false, "Load Zodarovu motion...", MDM_FILTER, "mdm"},
    {Window::ID_ADD_MDM, false, "Add Zodarovu motion...", MDM_FILTER, "mdm"},
    {Window::ID_SAVE_MDM_AS, true, "Save Zodarovu motion...", MDM_FILTER, "mdm"},
    {Window::ID_POSE_SAVE, true, "Save Zodarovu pose...", MDP_FILTER, "mdp"},
    {Window::ID_POSE_LOAD, false, "Load Zodarovu pose...", MDP_FILTER, "mdp"},
};

kgiPartTable* joints() { return kgiPartTable::installed(); }
kgiMediaTracks* media() { return kgiWorld::instance()->getMediaTracks(); }
kgiCharacter* currentCharacter() { return kgiWorld::instance()->getCurrentCharacter(); }

// The first frame of an appended motion: the last key as a whole frame,
// one past it when there is one at all.
int appendFrame() {
    const int last = static_cast<int>(kgiWorld::instance()->getLastKeyTime());
    return last != 0 ? last + 1 : 0;
}

std::string toStd(const FX::FXString& s) { return std::string(s.text(), static_cast<size_t>(s.length())); }

} // namespace

// --- helpers ---

bool kgiTimesheetWindow::chooseFile(int command, const std::string& folder, std::string& path) {
    for (const DialogDef& d : DIALOGS) {
        if (d.command != command) continue;
        kgiFileDialogRequest request;
        request.save = d.save;
        request.title = d.title;
        request.filter = d.filter;
        request.extension = d.extension;
        request.folder = folder;
        return kgiFileDialogs::run(request, path);
    }
    return false;
}

bool kgiTimesheetWindow::hasKeysToSave() {
    kgiCharacter* c = currentCharacter();
    if (c && !c->getKeyTimes().empty()) return true;
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Warning - 150", services.text(kgiLangKey::Wr_No_Data));
    return false;
}

void kgiTimesheetWindow::refreshTimelineWidgets() {
    if (canvas) canvas->updateWidgets();
    application->redrawTimeline();
}

void kgiTimesheetWindow::refreshTimeline(bool lessonCheck) {
    if (lessonCheck) {
        if (!refreshEnabled) {
            application->playAnswerSound(false);
            return;
        }
        application->lessonActionDone();
    }
    kgiCharacter* c = currentCharacter();
    if (!c) return;
    const std::vector<float>& keys = c->getKeyTimes();
    // Both ends at once: the world refuses a start above its current end,
    // so setting them one by one could keep half of the old range.
    if (keys.empty())
        kgiWorld::instance()->setFrameRange(0.0f, 0.0f);
    else
        kgiWorld::instance()->setFrameRange(keys.front(), keys.back());
    refreshTimelineWidgets();
}

// --- project load ---

bool kgiTimesheetWindow::loadTimesheet(const std::string& path, bool keepCurrent) {
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    if (id == -1) return false;
    kgiCharacter* c = kgiCharacterTable::instance()->find(id);
    if (!c || !c->load(path)) {
        world->removeCharacter(id);
        if (!keepCurrent) world->setCurrentCharacter(-1);
        return false;
    }
    kgiPartTable* table = joints();
    ksgNode* root = c->getRoot();
    if (table) table->loadModelIni(path, c);
    kgiResetPose reset;
    ksgNullVisitor leave;
    root->depthVisit(reset, leave);
    root->update(0.0f, false, true);
    if (table) table->setupJointLimits(root);
    c->setTime(world->getCurrentTime() + 1.0f);
    c->setTime(world->getCurrentTime());
    world->setCurrentCharacter(id);
    if (kgiScene* scene = world->getScene()) {
        if (ksgScene* base = kgiWorldLinks::sceneBase(scene)) base->addRoot(root->asTransform());
        world->centerViews(id);
        if (table && c->getKeyTimes().empty()) table->applyInitialPose(c);
        application->setRobotCommunication(false);
        application->deleteRobotSession();
    }
    return true;
}

bool kgiTimesheetWindow::newProject() {
    if (application->checkRobotComOff(true)) return false;
    kgiWorld* world = kgiWorld::instance();
    if (kgiCurveView* curves = application->getCurveWindow()) curves->clearCurveList();
    if (kgiMediaTracks* tracks = media()) tracks->removeAllTracks();
    world->removeAllCharacters();
    application->setRobotCommunication(false);
    application->deleteOptionsDialog();
    kgiCollisionCheck::instance()->clearHits();
    const std::string project = kutAppendPath(application->getFactoryDir(), application->getModelId() + ".ts");
    if (loadTimesheet(project, false)) {
        application->setCurrentFile(std::string());
        world->setFrameRange(0.0f, 10.0f);
        world->setCurrentTime(0.0f);
        if (canvas) canvas->updateWidgets();
        application->resetCanvasViews(true);
        if (application->isCourseTimerOn()) application->getCourseFile();
        application->redrawAll();
    }
    return true;
}

// --- timesheets ---

long kgiTimesheetWindow::onCmdLoadTimesheet(FX::FXObject*, FX::FXSelector, void*) {
    std::string path;
    if (!chooseFile(ID_LOAD_TIMESHEET, toStd(lastTimesheetFolder), path)) return 1;
    application->uncheckRobotSync();
    // A refused new project refuses the load: importing into the project
    // that stays would overwrite its keys from frame 0.
    if (!newProject()) return 1;
    kgiCharacter* c = currentCharacter();
    if (!c || !c->importMotion(path, 0, -1)) return 1;
    if (kgiMediaTracks* tracks = media()) tracks->loadMediaList(path, false);
    lastTimesheetFolder = kgiFileDialogs::folderOf(path).c_str();
    refreshTimeline(false);
    kgiWorld::instance()->setCurrentTime(0.0f);
    application->resetCanvasViews(true);
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdAddTimesheet(FX::FXObject*, FX::FXSelector, void*) {
    std::string path;
    if (!chooseFile(ID_ADD_TIMESHEET, toStd(lastTimesheetFolder), path)) return 1;
    if (loadTimesheet(path, true)) lastTimesheetFolder = kgiFileDialogs::folderOf(path).c_str();
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdSaveTimesheet(FX::FXObject*, FX::FXSelector, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c || !hasKeysToSave()) return 1;
    kgiCharacterServices& services = kgiCharacterServices::current();
    if (services.askYesNo(services.text(kgiLangKey::Me_File_SaveCheckT), services.text(kgiLangKey::Me_File_SaveCheck)))
        c->saveMotion(std::string());
    return 1;
}

long kgiTimesheetWindow::onCmdSaveTimesheetAs(FX::FXObject*, FX::FXSelector, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c || !hasKeysToSave()) return 1;
    std::string path;
    if (!chooseFile(ID_SAVE_TIMESHEET_AS, toStd(lastTimesheetFolder), path)) {
        application->lessonStepBack();
        return 1;
    }
    std::fprintf(stderr, "gPath_c= %s\n", path.c_str());
    if (!c->saveMotion(path)) {
        application->lessonStepBack();
        return 1;
    }
    // The media list goes beside the timesheet as it was written (inside
    // the project folder the save made), so that a load finds both.
    kgiMediaTracks* tracks = media();
    const kgiProject* project = c->getBuilder().getProject();
    if (tracks && tracks->getTrackCount() >= 1)
        tracks->saveMediaList(project && !project->getTsPath().empty() ? project->getTsPath() : path);
    lastTimesheetFolder = kgiFileDialogs::folderOf(path).c_str();
    application->lessonActionDone();
    return 1;
}

long kgiTimesheetWindow::onCmdAddMotion(FX::FXObject*, FX::FXSelector, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c) return 0;
    std::string path;
    if (!chooseFile(ID_ADD_MOTION, toStd(lastTimesheetFolder), path)) return 1;
    application->uncheckRobotSync();
    const int start = appendFrame();
    if (!c->importMotion(path, start, -1)) return 1;
    kgiWorld* world = kgiWorld::instance();
    lastTimesheetFolder = kgiFileDialogs::folderOf(path).c_str();
    if (start > 0) {
        // The appended part is the range, and the root is moved over it so
        // that the model carries on from where the last key left it.
        world->setFrameRange(static_cast<float>(start), world->getLastKeyTime());
        if (kgiPartTable* table = joints()) table->alignBasePart(c->getRoot(), true);
        refreshTimelineWidgets();
    } else {
        refreshTimeline(false);
    }
    world->setCurrentTime(static_cast<float>(start));
    application->redrawAll();
    return 1;
}

// --- new project and robot files ---

long kgiTimesheetWindow::onCmdNew(FX::FXObject*, FX::FXSelector, void*) {
    newProject();
    return 1;
}

long kgiTimesheetWindow::onCmdImportPsf(FX::FXObject*, FX::FXSelector, void*) {
    if (application->checkRobotComOff(true)) return 1;
    if (!currentCharacter()) return 1;
    std::string path;
    if (!chooseFile(ID_IMPORT_PSF, application->getBaseDir(), path)) return 1;
    kgiPartTable* table = joints();
    if (table && table->importPellScript(path)) {
        refreshTimeline(false);
        application->redrawAll();
    }
    return 1;
}

void kgiTimesheetWindow::loadRobotMotion(bool add) {
    if (application->checkRobotComOff(true)) return;
    if (!currentCharacter()) return;
    std::string path;
    if (!chooseFile(add ? ID_ADD_MDM : ID_LOAD_MDM, application->getMotionDir(), path)) return;
    kgiPartTable* table = joints();
    if (!table) return;
    // A file that holds no motion leaves the user's keys: it is refused
    // before New would clear them.
    if (!add && !table->checkMotionMdm(path)) return;
    int start = 0;
    if (add)
        start = appendFrame();
    else if (!newProject())
        return;
    if (!table->importMotionMdm(path, start)) return;
    kgiWorld* world = kgiWorld::instance();
    if (add && start > 0) {
        world->setFrameRange(static_cast<float>(start), world->getLastKeyTime());
        kgiCharacter* c = currentCharacter();
        // The base part the settings name keeps its place; a name that
        // finds no node leaves the model where it is.
        ksgNode* base = c ? c->findNode(application->getSettings().addBasePart) : nullptr;
        if (base) table->alignBasePart(base, true);
        refreshTimelineWidgets();
    } else {
        refreshTimeline(false);
    }
    application->redrawAll();
    application->setCurrentFile(path);
    application->setMotionDir(kgiFileDialogs::folderOf(path));
}

long kgiTimesheetWindow::onCmdLoadMdm(FX::FXObject*, FX::FXSelector, void*) {
    loadRobotMotion(false);
    return 1;
}

long kgiTimesheetWindow::onCmdAddMdm(FX::FXObject*, FX::FXSelector, void*) {
    loadRobotMotion(true);
    return 1;
}

long kgiTimesheetWindow::onCmdSaveMdm(FX::FXObject* sender, FX::FXSelector sel, void* ptr) {
    if (!currentCharacter() || !hasKeysToSave()) return 1;
    const std::string file = application->getCurrentFile();
    if (file.empty()) return onCmdSaveMdmAs(sender, sel, ptr);
    kgiCharacterServices& services = kgiCharacterServices::current();
    const std::string question = services.text(kgiLangKey::Me_File_SaveCheck);
    if (!services.askYesNo(question, question)) return 1;
    if (kgiPartTable* table = joints()) table->exportMotionMdm(file);
    refreshTimeline(false);
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdSaveMdmAs(FX::FXObject*, FX::FXSelector, void*) {
    if (!currentCharacter() || !hasKeysToSave()) return 1;
    application->lessonActionDone();
    std::string path;
    if (!chooseFile(ID_SAVE_MDM_AS, application->getMotionDir(), path)) {
        application->lessonStepBack();
        return 1;
    }
    kgiPartTable* table = joints();
    if (!table || !table->exportMotionMdm(path)) {
        // The opening moved the lesson on to wait for the file; with none
        // written nothing else could end that step, and every command is
        // locked: back to the step that offers Save as again.
        application->lessonStepBack();
        return 1;
    }
    refreshTimeline(false);
    application->redrawAll();
    application->setCurrentFile(path);
    application->setMotionDir(kgiFileDialogs::folderOf(path));
    application->lessonActionDone();
    return 1;
}

// --- media ---

long kgiTimesheetWindow::onCmdMediaAdd(FX::FXObject*, FX::FXSelector, void*) {
    application->lessonActionDone();
    kgiMediaTracks* tracks = media();
    // The media seam answers the new track count, -1 when nothing came in.
    if (tracks && tracks->importMediaFile() > 0)
        application->lessonActionDone();
    else
        application->lessonStepBack();
    return 1;
}

long kgiTimesheetWindow::onCmdMediaRemove(FX::FXObject*, FX::FXSelector, void*) {
    if (kgiMediaTracks* tracks = media()) tracks->removeAllTracks();
    return 1;
}

long kgiTimesheetWindow::onCmdMediaWindow(FX::FXObject*, FX::FXSelector, void*) {
    FX::FXMenuCheck* check = findMenuCheck(ID_MEDIA_WINDOW);
    kgiMediaTracks* tracks = media();
    if (check && check->getCheck()) {
        application->lessonActionDone();
        if (tracks) tracks->showMediaWindow();
    } else if (tracks) {
        tracks->hideMediaWindow();
    }
    return 1;
}

// --- unload and poses ---

long kgiTimesheetWindow::onCmdUnload(FX::FXObject*, FX::FXSelector, void*) {
    if (kgiCurveView* curves = application->getCurveWindow()) curves->clearCurveList();
    kgiWorld* world = kgiWorld::instance();
    world->removeAllCharacters();
    world->setCurrentCharacter(-1);
    world->clearManipulatorTargets();
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdPoseSave(FX::FXObject*, FX::FXSelector, void*) {
    if (!currentCharacter()) return 1;
    std::string path;
    if (!chooseFile(ID_POSE_SAVE, toStd(lastPoseFolder), path)) return 1;
    kgiPartTable* table = joints();
    if (table && table->exportPoseMdp(path)) lastPoseFolder = kgiFileDialogs::folderOf(path).c_str();
    return 1;
}

long kgiTimesheetWindow::onCmdPoseLoad(FX::FXObject*, FX::FXSelector, void*) {
    if (!currentCharacter()) return 1;
    std::string path;
    if (!chooseFile(ID_POSE_LOAD, toStd(lastPoseFolder), path)) return 1;
    kgiPartTable* table = joints();
    if (!table) return 1;
    // False also when only some lines failed: the others are set, so the
    // views are drawn again either way.
    if (table->importPoseMdp(path, false)) lastPoseFolder = kgiFileDialogs::folderOf(path).c_str();
    application->redrawAll();
    return 1;
}

// --- windows, help and the companion ---

long kgiTimesheetWindow::onCmdAuxWindow(FX::FXObject*, FX::FXSelector, void*) {
    application->showAuxWindow(true);
    return 1;
}

long kgiTimesheetWindow::onCmdOptions(FX::FXObject*, FX::FXSelector, void*) {
    application->lessonActionDone();
    application->showOptionsDialog(true);
    return 1;
}

long kgiTimesheetWindow::onCmdAbout(FX::FXObject*, FX::FXSelector, void*) {
    application->showVersionDialog(true);
    return 1;
}

std::vector<std::string> kgiTimesheetWindow::helpCommand(const std::string& baseDir, const std::string& helpText) {
    size_t first = 0;
    while (first < helpText.size() && std::isspace(static_cast<unsigned char>(helpText[first]))) ++first;
    // The page's name is a path: it stays in the file system's bytes.
    return {"xdg-open", kutAppendPath(baseDir, helpText.substr(first))};
}

long kgiTimesheetWindow::onCmdHelp(FX::FXObject*, FX::FXSelector, void*) {
    // The viewer is a program of its own: the editor neither waits for it
    // nor ends it. Its name comes from a file, so it never meets a shell.
    // A failure is not reported.
    const std::vector<std::string> argv =
        helpCommand(application->getBaseDir(), toStd(application->languageText(kgiLangKey::HelpFileName)));
    platform::startDetached(argv);
    return 1;
}

std::string kgiTimesheetWindow::companionPath(const std::string& baseDir) { return kutAppendPath(baseDir, "Vevur"); }

std::string kgiTimesheetWindow::companionFailure(int error) {
    return std::string("Vevur could not be started: ") + std::strerror(error);
}

long kgiTimesheetWindow::onCmdAgent(FX::FXObject*, FX::FXSelector, void*) {
    application->saveSettings();
    const std::string base = application->getBaseDir();
    // On success this does not return: the companion takes the process.
    const int error = platform::replaceProcess(companionPath(base), {"Vevur"}, base);
    // The editor keeps running, with its unsaved keys, and says why.
    const std::string message = companionFailure(error);
    std::fprintf(stderr, "%s\n", message.c_str());
    kgiCharacterServices::current().showMessage("Error", message);
    return 1;
}
