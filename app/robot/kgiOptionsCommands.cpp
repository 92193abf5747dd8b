// The options window's commands: what each button, check, list, combo box
// and field does, the commands no widget sends, and the key handlers the
// message map leaves out. Robot commands go through kgiApp to the session,
// which carries them out on its next update; key commands act on the
// world's current character; every report to a running lesson goes through
// kgiApp too (it does nothing outside a lesson).
#include "kgiOptionsDialog.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCollisionCheck.h"
#include "kgiKeyUndo.h"
#include "kgiLangKeys.h"
#include "kgiModelBuilder.h"
#include "kgiModelData.h"
#include "kgiNarrowString.h"
#include "kgiOptionsData.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgNode.h"
#include "kutPath.h"

#include <fxkeys.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace FX;

namespace {

// Characters a remote-control entry name must not hold: the session makes
// a file of it and the list file separates number and name with ':'.
const char FORBIDDEN_NAME_CHARACTERS[] = ":\\/*<> |?";
// Items compared for a duplicate name: the board's remote-control entries.
const int NAMED_ENTRIES = 32;
// Keys one motion slot of the board holds; a longer motion spills over
// into the slots after it.
const int KEYS_PER_SLOT = 24;
// Slots from this index on are the board's script slots.
const int FIRST_SCRIPT_SLOT = 80;

kgiCharacterServices& services() { return kgiCharacterServices::current(); }

std::string langText(const char* key) { return services().text(key); }

// The part of a list item after its first ':' (empty without one).
FXString afterColon(const FXString& item)
{
    const FXint colon = item.find(':');
    return colon < 0 ? FXString() : item.mid(colon + 1, item.length() - colon - 1);
}

// The entered name holds a forbidden character. The text is UTF-8, so the
// test sees characters: no byte of a multi-byte character is ASCII (in
// code page 932 a second byte can be '\' or '|').
bool hasForbiddenCharacter(const FXString& name)
{
    for (FXint i = 0; i < name.length(); ++i)
        if (std::strchr(FORBIDDEN_NAME_CHARACTERS, name[i]) != nullptr && name[i] != '\0')
            return true;
    return false;
}

// Asks a widget that is no child of this window for a value; false when
// there is no sender or it does not answer.
bool askSender(FXObject* sender, FXObject* asker, FXuint message, void* value)
{
    return sender != nullptr && sender->handle(asker, FXSEL(SEL_COMMAND, message), value) != 0;
}

} // namespace

// --- helpers ---

void kgiOptionsDialog::redrawAll()
{
    if (app)
        app->redrawAll();
}

bool kgiOptionsDialog::guardRobotCom()
{
    if (w.robotCom->getCheck())
        return true;
    warnRobotComOff();
    return false;
}

bool kgiOptionsDialog::guardCheck(FXMenuCheck* check)
{
    if (w.robotCom->getCheck())
        return true;
    // Only a click that checked it is undone and told.
    if (check->getCheck()) {
        check->setCheck(false);
        warnRobotComOff();
    }
    return false;
}

int kgiOptionsDialog::currentItem(FXList* list)
{
    const int i = list->getCurrentItem();
    return i >= 0 && i < list->getNumItems() ? i : -1;
}

int kgiOptionsDialog::rowOfField(FXObject* sender) const
{
    if (sender == nullptr)
        return -1;
    for (int i = 0; i < jointCount; ++i) {
        const size_t r = static_cast<size_t>(i);
        if (sender == w.nameFields[r] || sender == w.valueFields[r])
            return i;
    }
    return -1;
}

bool kgiOptionsDialog::samplePath(std::string& path) const
{
    const int i = currentItem(w.sampleList);
    if (i < 0 || app == nullptr)
        return false;
    const std::string item = kgiNarrowString::toNarrowText(w.sampleList->getItemText(i));
    path = kutPrependPath(app->getFactoryDir(), item) + ".ts";
    return true;
}

bool kgiOptionsDialog::sampleFits(const std::string& path, kgiModelBuilder& sample) const
{
    // The import's own checks, made before the character's keys go: the
    // reader's box for a file it cannot read, nothing for one without
    // keys, and the key limit's box for more keys than it allows.
    if (!kgiCharacter::readMotion(path, sample))
        return false;
    const int keys = kgiCharacter::motionKeyCount(sample);
    if (keys < 1)
        return false;
    if (keys > services().keysMax()) {
        services().showMessage("Warning - 153", langText(kgiLangKey::Wr_Keys_Max));
        return false;
    }
    return true;
}

bool kgiOptionsDialog::askSlotName(int i, std::string& name)
{
    char prompt[32];
    if (i < FIRST_SCRIPT_SLOT)
        std::snprintf(prompt, sizeof prompt, "M%d", i + 1);
    else
        std::snprintf(prompt, sizeof prompt, "S%d", i - FIRST_SCRIPT_SLOT + 1);
    kgiInputRequest request;
    request.owner = this;
    request.caption = "Input Name";
    request.prompt = prompt;
    request.x = getX();
    request.y = getY() + 100;
    request.placement = PLACEMENT_CURSOR;
    return services().inputText(request, name);
}

// --- settings tab ---

long kgiOptionsDialog::onCmdCollision(FXObject*, FXSelector, void*)
{
    const bool on = w.collision->getCheck() != FALSE;
    if (app)
        app->getSettings().collisionDetail = on;
    kgiCollisionCheck::instance()->check();
    if (!on) {
        // The safety stop needs the detection.
        w.safety->setCheck(false);
        kgiCollisionCheck::instance()->clearHits();
    }
    redrawAll();
    return 1;
}

long kgiOptionsDialog::onCmdSafety(FXObject*, FXSelector, void*)
{
    if (w.safety->getCheck()) {
        w.collision->setCheck(true);
        onCmdCollision(w.collision, FXSEL(SEL_COMMAND, ID_COLLISION), nullptr);
    }
    return 1;
}

long kgiOptionsDialog::onCmdKeysMax(FXObject*, FXSelector, void*)
{
    FXint value = 0;
    if (app && w.keysMax->handle(this, FXSEL(SEL_COMMAND, ID_GETINTVALUE), &value))
        app->getSettings().keysMax = value;
    return 1;
}

long kgiOptionsDialog::onCmdBasePart(FXObject* sender, FXSelector, void*)
{
    // The sender is the radio clicked: the focus need not have moved to it
    // (an inactive window, no window manager).
    FXRadioButton* radios[] = {w.body, w.rightFoot, w.leftFoot};
    const char* parts[] = {"Body", "RAnkle2", "LAnkle2"};
    int clicked = -1;
    for (int i = 0; i < 3; ++i)
        if (sender == radios[i])
            clicked = i;
    if (clicked < 0)
        return 1;
    for (int i = 0; i < 3; ++i)
        radios[i]->setCheck(i == clicked);
    if (app)
        app->getSettings().addBasePart = parts[clicked];
    return 1;
}

// --- joint tab ---

long kgiOptionsDialog::onCmdMotorName(FXObject*, FXSelector, void*)
{
    if (app == nullptr)
        return 1;
    std::vector<std::string> names;
    for (int i = 0; i < jointCount; ++i) {
        // The file holds code page 932: a name it cannot hold whole is
        // refused, and the file stays as it was.
        std::string name;
        if (!kgiNarrowString::toNarrowTextExact(w.nameFields[static_cast<size_t>(i)]->getText(), name)) {
            services().showMessage(langText(kgiLangKey::ROBOT_COM_Wr_ViolationCharacter),
                                   langText(kgiLangKey::Wr_Name_Code_Page));
            return 1;
        }
        names.push_back(name);
    }
    // A file that cannot be replaced stays as it was, without a message.
    kgiOptionsData::writeMotorNames(kutAppendPath(kutAppendPath(app->getFactoryDir(), "character"), "motNames.txt"),
                                    names);
    return 1;
}

long kgiOptionsDialog::onCmdJointValue(FXObject* sender, FXSelector, void*)
{
    const int row = rowOfField(sender);
    if (row < 0 || sender != w.valueFields[static_cast<size_t>(row)])
        return 1;
    ksgNode* node = rowNodes[static_cast<size_t>(row)];
    if (node == nullptr)
        return 1;
    FXdouble value = 0.0;
    w.valueFields[static_cast<size_t>(row)]->handle(this, FXSEL(SEL_COMMAND, ID_GETREALVALUE), &value);
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    const kgiJointRecord record = table->findJoint(node->getName());
    // The inverse of the servo text: single precision, as the board's
    // conversion. A value past the limits is refused with its message.
    const float angle = (static_cast<float>(value) - record.offset) / record.scale;
    table->applyJointAngle(node, angle, record, 0.0f);
    // The field shows the joint's servo value again.
    redrawAll();
    return 1;
}

long kgiOptionsDialog::onFocusInJoint(FXObject* sender, FXSelector, void*)
{
    const int row = rowOfField(sender);
    ksgNode* node = row < 0 ? nullptr : rowNodes[static_cast<size_t>(row)];
    if (node == nullptr)
        return 1;
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    table->clearAllPartSelections();
    table->selectPart(node);
    redrawAll();
    return 1;
}

long kgiOptionsDialog::onFocusOutJoint(FXObject* sender, FXSelector, void*)
{
    const int row = rowOfField(sender);
    if (row < 0 || rowNodes[static_cast<size_t>(row)] == nullptr)
        return 1;
    kgiRobotJointTable::instance()->clearAllPartSelections();
    redrawAll();
    return 1;
}

// --- sample tab ---

long kgiOptionsDialog::onCmdSampleRead(FXObject*, FXSelector, void*)
{
    kgiCharacter* character = currentCharacter();
    std::string path;
    if (character == nullptr || !samplePath(path))
        return 1;
    // A sample that cannot come in must not cost the user's keys.
    kgiModelBuilder sample;
    if (!sampleFits(path, sample))
        return 1;
    kgiWorld* world = kgiWorld::instance();
    const float last = world->getLastKeyTime();
    kgiRemKeysUndo* removal = nullptr;
    if (last > 0.0f) {
        // Built before the removal, so that it keeps the old keys; in the
        // history before the import's own entries, so undo runs them in
        // reverse.
        removal = new kgiRemKeysUndo(character, 0.0f, last + 1.0f);
        character->deleteKeys(0, static_cast<int>(last + 1.0f));
        character->addKeyUndo(removal);
        kgiCollisionCheck::instance()->clearHits();
    }
    if (!character->importMotion(sample, 0, -1)) {
        // Should the import still refuse, the keys come back.
        if (removal) {
            removal->undo();
            character->updateKeysInfo();
            character->refresh();
        }
        redrawAll();
        return 1;
    }
    uncheckRobotSync();
    if (app)
        app->updateTimeline(false);
    world->setCurrentTime(0.0f);
    frameCount = kgiOptionsData::frameCount(world->getLastKeyTime());
    if (app)
        app->lessonActionDone();
    redrawAll();
    return 1;
}

long kgiOptionsDialog::onCmdSampleAdd(FXObject*, FXSelector, void*)
{
    kgiCharacter* character = currentCharacter();
    std::string path;
    if (character == nullptr || !samplePath(path))
        return 1;
    const int at = frameCount;
    if (!character->importMotion(path, at, -1))
        return 1;
    uncheckRobotSync();
    kgiWorld* world = kgiWorld::instance();
    if (at > 0) {
        // The play range is the appended part (the end first, so that the
        // start is taken) while the base part is aligned over it: it stays
        // where the motion before left it.
        world->setEndFrame(world->getLastKeyTime());
        world->setStartFrame(static_cast<float>(at));
        ksgNode* base = app ? character->findNode(app->getSettings().addBasePart) : nullptr;
        kgiRobotJointTable::instance()->alignBasePart(base, true);
    }
    // The time line takes the new keys; its refresh sets the play range to
    // every key again (the lessons play the whole motion after an Add).
    if (app)
        app->updateTimeline(false);
    world->setCurrentTime(static_cast<float>(at));
    frameCount = kgiOptionsData::frameCount(world->getLastKeyTime());
    if (app)
        app->lessonActionDone();
    redrawAll();
    return 1;
}

long kgiOptionsDialog::onCmdSampleList(FXObject*, FXSelector, void*)
{
    const int i = currentItem(w.sampleList);
    if (i >= 0 && app)
        app->checkLessonAnswer(i);
    return 1;
}

// --- robot tab: communication ---

long kgiOptionsDialog::onCmdRobotCom(FXObject*, FXSelector, void*)
{
    if (app == nullptr)
        return 1;
    const bool on = w.robotCom->getCheck() != FALSE;
    if (!on && app->isRobotCom()) {
        // Refused before anything is switched, so that the check and the
        // link agree: a lesson keeps the link, and so does playback that
        // the robot follows.
        if (app->isLessonMode()) {
            w.robotCom->setCheck(true);
            return 0;
        }
        if (kgiWorld::instance()->isPlaying() && w.poseReflection->getCheck()) {
            w.robotCom->setCheck(true);
            return 1;
        }
    }
    app->setRobotCommunication(on);
    // A link that failed to open switched communication off again.
    w.robotCom->setCheck(app->isRobotCom());
    return 1;
}

long kgiOptionsDialog::onCmdComPort(FXObject*, FXSelector, void*)
{
    if (app == nullptr)
        return 1;
    kgiSettings& settings = app->getSettings();
    if (!w.robotCom->getCheck()) {
        const int item = w.comPort->getCurrentItem();
        if (item >= 0) {
            settings.robotComId = item + 1;
            app->lessonActionDone();
        }
        return 1;
    }
    // The port of an open link does not change.
    const int port = settings.robotComId;
    w.comPort->setCurrentItem(port >= 1 && port <= w.comPort->getNumItems() ? port - 1 : -1);
    return 1;
}

long kgiOptionsDialog::onCmdRobotInfo(FXObject*, FXSelector, void*)
{
    showRobotInfo();
    return 1;
}

// --- robot tab: writes and the remote-control list ---

bool kgiOptionsDialog::writeMotionToRobot(int request)
{
    // The robot moves when the motion comes in: the user is told first.
    services().showMessage(langText(kgiLangKey::ROBOT_COM_Wr_FallDown), langText(kgiLangKey::ROBOT_COM_Wr_HoldRobot));
    if (w.poseReflection->getCheck()) {
        w.poseReflection->setCheck(false);
        if (app)
            app->setRobotSyncFlag(false);
    }
    if (w.allFree->getCheck() || w.upperFree->getCheck() || w.lowerFree->getCheck()) {
        w.allFree->setCheck(false);
        w.upperFree->setCheck(false);
        w.lowerFree->setCheck(false);
        if (app)
            app->restartPoseRead(false, 0);
    }
    if (app == nullptr)
        return false;
    app->lessonActionDone();
    // The remote-control slots go with their list; the others without.
    if (request < 5)
        app->loadRemoconList();
    return app->requestMotionDownload(request);
}

long kgiOptionsDialog::onCmdWriteIrc(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    if (app)
        app->lessonActionDone();
    writeMotionToRobot(1);
    return 1;
}

long kgiOptionsDialog::onCmdWriteTmp(FXObject*, FXSelector, void*)
{
    if (guardRobotCom())
        writeMotionToRobot(9);
    return 1;
}

long kgiOptionsDialog::onCmdRenameEntry(FXObject*, FXSelector, void*)
{
    FXList* list = w.remoconList;
    const int i = currentItem(list);
    if (i < 0 || app == nullptr)
        return 1;
    app->lessonActionDone();
    // The lesson waits behind the modal name box: the step that asks for
    // the name is set up before it opens, so that its OK or cancel finds it.
    app->lessonTick();
    kgiInputRequest request;
    request.owner = this;
    request.caption = "Input Name";
    request.preset = kgiNarrowString::toNarrowText(afterColon(list->getItemText(i)));
    request.x = getX();
    request.y = getY() + 100;
    request.placement = PLACEMENT_CURSOR;
    std::string entered;
    if (!services().inputText(request, entered)) {
        app->lessonStepBack();
        return 1;
    }
    const FXString name = kgiNarrowString::toWideText(entered);
    // An empty name makes no file: refused as a forbidden character is.
    if (name.empty() || hasForbiddenCharacter(name)) {
        services().showMessage(langText(kgiLangKey::ROBOT_COM_Wr_ViolationCharacter),
                               langText(kgiLangKey::ROBOT_COM_Wr_SetDifferentName));
        app->lessonStepBack();
        return 0;
    }
    const int named = std::min(list->getNumItems(), NAMED_ENTRIES);
    for (int k = 0; k < named; ++k) {
        if (k != i && afterColon(list->getItemText(k)) == name) {
            services().showMessage(langText(kgiLangKey::ROBOT_COM_Wr_SameName),
                                   langText(kgiLangKey::ROBOT_COM_Wr_SetDifferentName));
            app->lessonStepBack();
            return 0;
        }
    }
    // The name in the list file's code page, as entered.
    if (app->editRemoconEntry(i, 0, entered)) {
        list->setItemText(i, FXStringFormat("%d:", i + 1) + name);
        app->lessonActionDone();
    } else {
        // Nothing stored (no keys, a file that cannot be written): a lesson
        // does not move on.
        app->lessonStepBack();
    }
    return 1;
}

long kgiOptionsDialog::onCmdDeleteEntry(FXObject*, FXSelector, void*)
{
    const int i = currentItem(w.remoconList);
    if (i >= 0 && app && app->editRemoconEntry(i, 1, std::string()))
        w.remoconList->setItemText(i, FXStringFormat("%d:", i + 1));
    return 1;
}

long kgiOptionsDialog::onCmdPlayRemocon(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    const int i = currentItem(w.remoconList);
    if (i < 0 || app == nullptr)
        return 1;
    app->lessonActionDone();
    app->requestRemocon(i);
    queryValue = 0;
    return 1;
}

long kgiOptionsDialog::onCmdRemoconList(FXObject*, FXSelector, void*)
{
    const int i = currentItem(w.remoconList);
    if (i >= 0 && app)
        app->checkLessonAnswer(i);
    return 1;
}

// --- robot tab: teach modes and pose reflection ---

void kgiOptionsDialog::teachMode(FXMenuCheck* clicked, int mode)
{
    if (!guardCheck(clicked) || app == nullptr)
        return;
    const bool on = clicked->getCheck() != FALSE;
    if (on) {
        // Released servos and a robot that follows the model exclude each
        // other, and so do the three groups.
        w.poseReflection->setCheck(false);
        app->setRobotSyncFlag(false);
        for (FXMenuCheck* other : {w.allFree, w.upperFree, w.lowerFree})
            if (other != clicked)
                other->setCheck(false);
    }
    app->restartPoseRead(on, mode);
}

long kgiOptionsDialog::onCmdAllFree(FXObject*, FXSelector, void*)
{
    teachMode(w.allFree, 0);
    return 1;
}

long kgiOptionsDialog::onCmdUpperFree(FXObject*, FXSelector, void*)
{
    teachMode(w.upperFree, 1);
    return 1;
}

long kgiOptionsDialog::onCmdLowerFree(FXObject*, FXSelector, void*)
{
    teachMode(w.lowerFree, 2);
    return 1;
}

long kgiOptionsDialog::onCmdPoseReflection(FXObject*, FXSelector, void*)
{
    if (!guardCheck(w.poseReflection) || app == nullptr)
        return 1;
    kgiWorld* world = kgiWorld::instance();
    if (w.poseReflection->getCheck()) {
        world->setPlaying(false);
        w.allFree->setCheck(false);
        w.upperFree->setCheck(false);
        w.lowerFree->setCheck(false);
        app->restartPoseRead(false, 0);
        app->lessonActionDone();
        app->setRobotSyncFlag(true);
    } else if (world->isPlaying()) {
        // The robot follows the playback to its end.
        w.poseReflection->setCheck(true);
    } else {
        app->setRobotSyncFlag(false);
    }
    return 1;
}

// --- commands no widget sends ---

long kgiOptionsDialog::onCmdReadValues(FXObject*, FXSelector, void*)
{
    // The widgets it would read are not built.
    return 1;
}

long kgiOptionsDialog::onCmdOptionFloat(FXObject* sender, FXSelector, void*)
{
    FXdouble value = 0.0;
    if (askSender(sender, this, ID_GETREALVALUE, &value) && app)
        app->getSettings().optionFloat = static_cast<float>(value);
    return 1;
}

long kgiOptionsDialog::onCmdReadInt(FXObject* sender, FXSelector, void*)
{
    FXint value = 0;
    askSender(sender, this, ID_GETINTVALUE, &value);
    return 1;
}

long kgiOptionsDialog::onCmdRemoveItem(FXObject*, FXSelector, void*)
{
    // Its list is not built.
    return 1;
}

long kgiOptionsDialog::onCmdFrameCount(FXObject* sender, FXSelector, void*)
{
    FXint value = 0;
    if (askSender(sender, this, ID_GETINTVALUE, &value))
        frameCount = value;
    return 1;
}

long kgiOptionsDialog::onCmdRobotRequest(FXObject*, FXSelector, void*)
{
    if (guardRobotCom() && app)
        app->setRobotRequestFlag();
    return 1;
}

long kgiOptionsDialog::onCmdSessionOpA(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    const int i = currentItem(w.remoconList);
    if (i >= 0 && app)
        app->robotSessionOpA(i);
    return 1;
}

long kgiOptionsDialog::onCmdSessionOpB(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    const int i = currentItem(w.remoconList);
    if (i >= 0 && app)
        app->robotSessionOpB(i);
    return 1;
}

long kgiOptionsDialog::onCmdMotionName(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    const int i = currentItem(w.remoconList);
    if (i < 0 || app == nullptr)
        return 1;
    const kgiCharacter* character = currentCharacter();
    const int keys = character ? static_cast<int>(character->getKeyTimes().size()) : 0;
    if (keys >= KEYS_PER_SLOT) {
        // A long motion fills the slots after this one too: the user sees
        // which before saying yes.
        std::string text = langText(kgiLangKey::ROBOT_COM_Wr_BigData) + "\n";
        char slot[32];
        for (int n = 0; n <= keys / KEYS_PER_SLOT; ++n) {
            std::snprintf(slot, sizeof slot, " M%d ", i + 1 + n);
            text += slot;
        }
        if (!services().askYesNo("warning", text))
            return 1;
    }
    std::string name;
    if (askSlotName(i, name))
        app->setRobotMotionName(name, i);
    return 1;
}

bool kgiOptionsDialog::renameMotionSlot()
{
    const int i = currentItem(w.remoconList);
    std::string name;
    if (i < 0 || app == nullptr || !askSlotName(i, name))
        return false;
    return app->setRobotSlotName(name, i);
}

long kgiOptionsDialog::onCmdPulseLink(FXObject*, FXSelector, void*)
{
    if (guardRobotCom() && app)
        app->pulseRobotLink();
    return 1;
}

long kgiOptionsDialog::onCmdSessionQuery(FXObject*, FXSelector, void*)
{
    if (guardRobotCom() && app)
        queryValue = app->robotSessionQuery(queryValue) ? 1 : 0;
    return 1;
}

long kgiOptionsDialog::onCmdWriteZero(FXObject*, FXSelector, void*)
{
    if (guardRobotCom())
        writeMotionToRobot(0);
    return 1;
}

long kgiOptionsDialog::onCmdGuardOnly(FXObject*, FXSelector, void*)
{
    guardRobotCom();
    return 1;
}

long kgiOptionsDialog::onCmdAllFreeOff(FXObject*, FXSelector, void*)
{
    if (!guardRobotCom())
        return 1;
    if (w.allFree->getCheck())
        w.allFree->setCheck(false);
    else
        services().showMessage("ROBOT COM is not checked", langText(kgiLangKey::ROBOT_COM_No_OFF));
    return 1;
}

// --- keys (not routed) ---

long kgiOptionsDialog::onKeyPress(FXObject*, FXSelector, void* data)
{
    const FXEvent* event = static_cast<const FXEvent*>(data);
    if (event == nullptr)
        return 0;
    if (keyDown) {
        std::fprintf(stderr, "Skipping ky down event\n");
        return 1;
    }
    keyDown = true;
    if ((event->state & CONTROLMASK) && (event->code == KEY_a || event->code == KEY_A)) {
        if (app) {
            app->lessonActionDone();
            app->updateTimeline(false);
        }
        return 1;
    }
    if (!commandsUnlocked) {
        if (app)
            app->playAnswerSound(false);
        std::fprintf(stderr, "The command is locked.\n");
        return 1;
    }
    kgiWorld* world = kgiWorld::instance();
    switch (event->code) {
    case KEY_space: {
        kgiCharacter* character = currentCharacter();
        if (character == nullptr)
            return 1;
        const int frame = static_cast<int>(world->getCurrentTime());
        // Built before the add so that it sees the keys as they were;
        // pushed only when the key went in (the key limit can refuse it).
        kgiAddKeyUndo* entry = new kgiAddKeyUndo(character, static_cast<float>(frame));
        if (character->addKey(frame))
            character->addKeyUndo(entry);
        else
            delete entry;
        kgiCollisionCheck::instance()->printFrameRange();
        redrawAll();
        return 1;
    }
    case KEY_Return:
    case KEY_KP_Enter:
        world->setPlaying(!world->isPlaying());
        return 1;
    case KEY_Right:
        world->setCurrentTime(world->getCurrentTime() + 1.0f);
        redrawAll();
        return 1;
    case KEY_Left:
        world->setCurrentTime(world->getCurrentTime() - 1.0f);
        redrawAll();
        return 1;
    default:
        return 0;
    }
}

long kgiOptionsDialog::onKeyRelease(FXObject*, FXSelector, void*)
{
    keyDown = false;
    return 1;
}
