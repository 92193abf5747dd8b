#include "kgiOptionsDialog.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCommandWindow.h"
#include "kgiInfoDialog.h"
#include "kgiLangKeys.h"
#include "kgiNarrowString.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "kutPath.h"
#include "ksgNode.h"

using namespace FX;

// The key handlers (onKeyPress, onKeyRelease) are left out on purpose.
FXDEFMAP(kgiOptionsDialog) kgiOptionsDialogMap[] = {
    FXMAPFUNC(SEL_CLOSE, 0, kgiOptionsDialog::onClose),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_COLLISION, kgiOptionsDialog::onCmdCollision),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SAFETY, kgiOptionsDialog::onCmdSafety),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_KEYS_MAX, kgiOptionsDialog::onCmdKeysMax),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_MOTOR_NAME, kgiOptionsDialog::onCmdMotorName),
    FXMAPFUNC(SEL_FOCUSIN, kgiOptionsDialog::ID_MOTOR_NAME, kgiOptionsDialog::onFocusInJoint),
    FXMAPFUNC(SEL_FOCUSOUT, kgiOptionsDialog::ID_MOTOR_NAME, kgiOptionsDialog::onFocusOutJoint),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_JOINT_VALUE, kgiOptionsDialog::onCmdJointValue),
    FXMAPFUNC(SEL_FOCUSIN, kgiOptionsDialog::ID_JOINT_VALUE, kgiOptionsDialog::onFocusInJoint),
    FXMAPFUNC(SEL_FOCUSOUT, kgiOptionsDialog::ID_JOINT_VALUE, kgiOptionsDialog::onFocusOutJoint),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_READ, kgiOptionsDialog::onCmdSampleRead),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_ADD, kgiOptionsDialog::onCmdSampleAdd),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_LIST, kgiOptionsDialog::onCmdSampleList),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_ROBOT_COM, kgiOptionsDialog::onCmdRobotCom),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_COM_PORT, kgiOptionsDialog::onCmdComPort),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_REMOCON_LIST, kgiOptionsDialog::onCmdRemoconList),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_WRITE_IRC, kgiOptionsDialog::onCmdWriteIrc),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_WRITE_TMP, kgiOptionsDialog::onCmdWriteTmp),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_RENAME_ENTRY, kgiOptionsDialog::onCmdRenameEntry),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_DELETE_ENTRY, kgiOptionsDialog::onCmdDeleteEntry),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_PLAY_REMOCON, kgiOptionsDialog::onCmdPlayRemocon),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_ROBOT_INFO, kgiOptionsDialog::onCmdRobotInfo),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_ALL_FREE, kgiOptionsDialog::onCmdAllFree),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_UPPER_FREE, kgiOptionsDialog::onCmdUpperFree),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_LOWER_FREE, kgiOptionsDialog::onCmdLowerFree),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_POSE_REFLECTION, kgiOptionsDialog::onCmdPoseReflection),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_BASE_PART, kgiOptionsDialog::onCmdBasePart),
    // Commands no widget of the window sends.
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_READ_VALUES, kgiOptionsDialog::onCmdReadValues),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_OPTION_FLOAT, kgiOptionsDialog::onCmdOptionFloat),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_READ_INT, kgiOptionsDialog::onCmdReadInt),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_REMOVE_ITEM, kgiOptionsDialog::onCmdRemoveItem),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_FRAME_COUNT, kgiOptionsDialog::onCmdFrameCount),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_ROBOT_REQUEST, kgiOptionsDialog::onCmdRobotRequest),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SESSION_OP_A, kgiOptionsDialog::onCmdSessionOpA),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SESSION_OP_B, kgiOptionsDialog::onCmdSessionOpB),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_MOTION_NAME, kgiOptionsDialog::onCmdMotionName),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_PLAY_ENTRY, kgiOptionsDialog::onCmdPlayRemocon),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_PULSE_LINK, kgiOptionsDialog::onCmdPulseLink),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_SESSION_QUERY, kgiOptionsDialog::onCmdSessionQuery),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_WRITE_ZERO, kgiOptionsDialog::onCmdWriteZero),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_GUARD_ONLY, kgiOptionsDialog::onCmdGuardOnly),
    FXMAPFUNC(SEL_COMMAND, kgiOptionsDialog::ID_ALL_FREE_OFF, kgiOptionsDialog::onCmdAllFreeOff),
};

FXIMPLEMENT(kgiOptionsDialog, FXDialogBox, kgiOptionsDialogMap, ARRAYNUMBER(kgiOptionsDialogMap))

static_assert(int(kgiOptionsDialog::ID_READ_VALUES) >= int(FXDialogBox::ID_LAST), "command ids follow the dialog's own");

namespace {

// Title bar with minimise, maximise and close, and a border (no resize).
const FXuint DECORATIONS = DECOR_TITLE | DECOR_MINIMIZE | DECOR_MAXIMIZE | DECOR_CLOSE | DECOR_BORDER;
const FXuint PAGE = FRAME_THICK | FRAME_RAISED | LAYOUT_FILL;
const FXuint SPRING = LAYOUT_FILL_X | LAYOUT_FILL_Y;
const FXColor WHITE = FXRGB(255, 255, 255);

FXString text(const char* key) { return kgiDialogText(key); }

FXSpring* spring(FXComposite* p, FXint relativeWidth)
{
    return new FXSpring(p, SPRING, relativeWidth, 0);
}

FXButton* button(FXComposite* p, const char* key, FXObject* target, FXSelector id)
{
    return new FXButton(p, text(key), nullptr, target, id, FRAME_RAISED | LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 2, 2);
}

FXGroupBox* group(FXComposite* p, const char* key, FXuint layout)
{
    return new FXGroupBox(p, text(key), FRAME_RIDGE | layout, 0, 0, 0, 0, 4, 4, 4, 4);
}

// Lines of a list file as list items (UTF-8).
void fillList(FXList* list, const std::vector<std::string>& items)
{
    for (const std::string& item : items)
        list->appendItem(FXString(item.c_str()));
}

// Sets a text only when it differs: an unchanged field is not repainted.
bool setChanged(FXTextField* field, const FXString& t)
{
    if (field->getText() == t)
        return false;
    field->setText(t);
    return true;
}

} // namespace

kgiOptionsDialog::kgiOptionsDialog(FXWindow* owner, FXIcon* icon)
    : FXDialogBox(owner, "Options", DECORATIONS, X, Y, 0, 0, 10, 10, 10, 10, 4, 4)
{
    build(icon);
}

kgiOptionsDialog::kgiOptionsDialog(FXApp* a, FXIcon* icon)
    : FXDialogBox(a, "Options", DECORATIONS, X, Y, 0, 0, 10, 10, 10, 10, 4, 4)
{
    build(icon);
}

void kgiOptionsDialog::build(FXIcon* icon)
{
    // 1. The window.
    app = kgiApp::instance();
    setIcon(icon);
    // 2. The frame and the tab book; the current character.
    FXHorizontalFrame* frame = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    w.tabBook = new FXTabBook(frame, nullptr, 0, TABBOOK_TOPTABS | LAYOUT_FILL, 0, 0, 0, 0, 4, 4, 4, 4);
    kgiCharacter* character = currentCharacter();
    // 3. to 6. The tabs.
    buildSampleTab();
    jointCount = 0;
    if (character)
        buildJointTab(character);
    buildRobotTab();
    buildSettingsTab();
    kgiFreedTreeNotice::subscribe(this);
}

kgiOptionsDialog::~kgiOptionsDialog()
{
    kgiFreedTreeNotice::unsubscribe(this);
    delete infoDialog;
    infoDialog = nullptr;
}

kgiRobotOptions* kgiOptionsDialog::make(kgiCommandWindow& owner, FXIcon* icon)
{
    if (FXWindow* window = owner.window())
        return new kgiOptionsDialog(window, icon);
    return FXApp::instance() ? new kgiOptionsDialog(FXApp::instance(), icon) : nullptr;
}

kgiCharacter* kgiOptionsDialog::currentCharacter()
{
    return kgiWorld::instance()->getCurrentCharacter();
}

// --- construction ---

void kgiOptionsDialog::buildSampleTab()
{
    w.sampleTab = new FXTabItem(w.tabBook, text(kgiLangKey::Sample), nullptr, TAB_TOP_NORMAL, 0, 0, 0, 0, 2, 2, 2, 2);
    FXVerticalFrame* page = new FXVerticalFrame(w.tabBook, PAGE, 0, 0, 0, 0, 10, 10, 10, 10, 0, 4);
    w.sampleGroup = group(page, kgiLangKey::Spl_Motion, LAYOUT_FILL);
    FXHorizontalFrame* buttons = new FXHorizontalFrame(w.sampleGroup, LAYOUT_FILL_X, 0, 0, 0, 0,
                                                       DEFAULT_SPACING, DEFAULT_SPACING, DEFAULT_SPACING,
                                                       DEFAULT_SPACING, 5);
    w.sampleRead = button(spring(buttons, 1), kgiLangKey::Spl_Read, this, ID_SAMPLE_READ);
    w.sampleAdd = button(spring(buttons, 1), kgiLangKey::Spl_Add, this, ID_SAMPLE_ADD);
    spring(buttons, 1);
    FXHorizontalFrame* box = new FXHorizontalFrame(w.sampleGroup, FRAME_SUNKEN | LAYOUT_FILL, 0, 0, 0, 0,
                                                   DEFAULT_SPACING, DEFAULT_SPACING, DEFAULT_SPACING,
                                                   DEFAULT_SPACING, 5);
    w.sampleList = new FXList(box, this, ID_SAMPLE_LIST, LIST_SINGLESELECT | LAYOUT_FILL);
    frameCount = kgiOptionsData::frameCount(kgiWorld::instance()->getLastKeyTime());
    const std::string base = app ? app->getFactoryDir() : std::string();
    fillList(w.sampleList, kgiOptionsData::readSampleNames(kutAppendPath(base, "sample.txt")));
}

void kgiOptionsDialog::buildJointTab(kgiCharacter* character)
{
    const std::string base = app ? app->getFactoryDir() : std::string();
    // One row per usable joint line; row i shows entry i (the factory
    // robot numbers its lines from 0).
    jointCount = kgiOptionsData::readNameHeads(kgiRobotJointTable::instance()->getModelIniPath(), jointNames, false);
    kgiOptionsData::readNameHeads(kutAppendPath(kutAppendPath(base, "character"), "motNames.txt"), motorNames, true);

    w.jointTab = new FXTabItem(w.tabBook, text(kgiLangKey::Op_Rot), nullptr, TAB_TOP_NORMAL, 0, 0, 0, 0, 2, 2, 2, 2);
    FXMatrix* page = new FXMatrix(w.tabBook, 4, MATRIX_BY_COLUMNS | FRAME_RAISED | FRAME_THICK | LAYOUT_FILL_X, 0, 0,
                                  0, 0, 10, 10, 40, 80, 10, 10);
    const FXColor caption = w.tabBook->getBackColor();
    rowTree = character->getRoot();
    for (int i = 0; i < jointCount; ++i) {
        const size_t r = static_cast<size_t>(i);
        const std::string& name = jointNames[r];
        rowNodes[r] = name.empty() ? nullptr : character->findNode(name);
        w.nameFields[r] = new FXTextField(page, 1, this, ID_MOTOR_NAME, FRAME_SUNKEN | LAYOUT_FIX_WIDTH | LAYOUT_RIGHT,
                                          0, 0, 96, 0, 2, 2, 2, 2);
        w.nameFields[r]->setText(FXString(motorNames[r].c_str()));
        w.nameFields[r]->setBackColor(caption);
        w.valueFields[r] = new FXTextField(page, 1, this, ID_JOINT_VALUE,
                                           TEXTFIELD_REAL | FRAME_SUNKEN | LAYOUT_FIX_WIDTH | LAYOUT_RIGHT, 0, 0, 40, 0,
                                           2, 2, 2, 2);
        w.nameFields[r]->setUserData(rowNodes[r]);
        w.valueFields[r]->setUserData(rowNodes[r]);
    }
}

void kgiOptionsDialog::buildRobotTab()
{
    const bool communication = app && app->isRobotCom();
    w.robotTab = new FXTabItem(w.tabBook, text(kgiLangKey::ROBOT_COM), nullptr, TAB_TOP_NORMAL, 0, 0, 0, 0, 2, 2, 2, 2);
    FXVerticalFrame* page = new FXVerticalFrame(w.tabBook, PAGE, 0, 0, 0, 0, 4, 4, 4, 4, 4, 4);

    FXHorizontalFrame* top = new FXHorizontalFrame(page, LAYOUT_FILL_X, 0, 0, 0, 0, DEFAULT_SPACING, DEFAULT_SPACING,
                                                   DEFAULT_SPACING, DEFAULT_SPACING, 5);
    w.robotCom = new FXMenuCheck(spring(top, 3), text(kgiLangKey::ROBOT_COM), this, ID_ROBOT_COM);
    w.robotCom->setCheck(communication);
    w.comPort = new FXComboBox(spring(top, 2), 16, this, ID_COM_PORT,
                               COMBOBOX_STATIC | FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X, 0, 0, 0, 0, 2, 2, 2, 2);
    for (int port = 1; port <= 16; ++port)
        w.comPort->appendItem(FXStringFormat("COM%d", port));
    w.comPort->setNumVisible(16);
    if (communication)
        w.comPort->disable();
    w.robotInfo = button(spring(top, 3), kgiLangKey::ROBOT_COM_Infomation, this, ID_ROBOT_INFO);

    FXHorizontalFrame* statusRow = new FXHorizontalFrame(page, LAYOUT_FILL_X, 0, 0, 0, 0, DEFAULT_SPACING,
                                                         DEFAULT_SPACING, DEFAULT_SPACING, DEFAULT_SPACING, 5);
    w.status = new FXLabel(statusRow, "State:", nullptr, JUSTIFY_LEFT | FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X, 0, 0,
                           0, 0, 0, 0, 0, 0);
    w.status->setBackColor(STATUS_COLOUR);

    w.writeTmp = button(page, kgiLangKey::ROBOT_COM_WriteTMP, this, ID_WRITE_TMP);

    w.motionGroup = group(page, kgiLangKey::ROBOT_COM_Motion, LAYOUT_FILL);
    FXHorizontalFrame* row1 = new FXHorizontalFrame(w.motionGroup, LAYOUT_FILL_X);
    w.playRemocon = button(spring(row1, 1), kgiLangKey::ROBOT_COM_PlayRimocon, this, ID_PLAY_REMOCON);
    w.writeIrc = button(spring(row1, 1), kgiLangKey::ROBOT_COM_WriteIRC, this, ID_WRITE_IRC);
    FXHorizontalFrame* row2 = new FXHorizontalFrame(w.motionGroup, LAYOUT_FILL_X);
    w.addList = button(spring(row2, 1), kgiLangKey::ROBOT_COM_AddList, this, ID_RENAME_ENTRY);
    w.delList = button(spring(row2, 1), kgiLangKey::ROBOT_COM_DelList, this, ID_DELETE_ENTRY);
    FXHorizontalFrame* box = new FXHorizontalFrame(w.motionGroup, FRAME_SUNKEN | LAYOUT_FILL);
    w.remoconList = new FXList(box, this, ID_REMOCON_LIST, LIST_SINGLESELECT | LAYOUT_FILL, 0, 0, 0, 500);
    fillList(w.remoconList,
             kgiOptionsData::readRemoconItems(app ? app->getRemoconListPath() : std::string()));

    FXHorizontalFrame* poseRow = new FXHorizontalFrame(page, LAYOUT_FILL_X);
    w.poseGroup = group(poseRow, kgiLangKey::ROBOT_COM_GrPose, LAYOUT_FILL_X);
    w.poseReflection = new FXMenuCheck(w.poseGroup, text(kgiLangKey::ROBOT_COM_Pose_Reflection), this,
                                       ID_POSE_REFLECTION);

    FXHorizontalFrame* teachRow = new FXHorizontalFrame(page, LAYOUT_FILL_X);
    w.teachGroup = group(teachRow, kgiLangKey::ROBOT_COM_Teach, LAYOUT_FILL_X);
    FXHorizontalFrame* checks = new FXHorizontalFrame(w.teachGroup, LAYOUT_FILL_X);
    w.allFree = new FXMenuCheck(checks, text(kgiLangKey::ROBOT_COM_All_Free), this, ID_ALL_FREE);
    w.upperFree = new FXMenuCheck(checks, text(kgiLangKey::ROBOT_COM_Upper_Free), this, ID_UPPER_FREE);
    w.lowerFree = new FXMenuCheck(checks, text(kgiLangKey::ROBOT_COM_Lower_Free), this, ID_LOWER_FREE);
}

void kgiOptionsDialog::buildSettingsTab()
{
    w.settingsTab =
        new FXTabItem(w.tabBook, text(kgiLangKey::Op_Settings), nullptr, TAB_TOP_NORMAL, 0, 0, 0, 0, 2, 2, 2, 2);
    FXVerticalFrame* page = new FXVerticalFrame(w.tabBook, PAGE, 0, 0, 0, 0, 10, 10, 10, 10, 0, 4);

    w.keysGroup = group(page, kgiLangKey::Op_Keys, LAYOUT_FILL_X);
    FXHorizontalFrame* maxRow = new FXHorizontalFrame(w.keysGroup, LAYOUT_FILL_X);
    w.keysMaxCaption = new FXLabel(spring(maxRow, 1), text(kgiLangKey::Op_Keys_Max));
    w.keysMax = new FXTextField(spring(maxRow, 4), 20, this, ID_KEYS_MAX,
                                TEXTFIELD_INTEGER | FRAME_SUNKEN | LAYOUT_FILL_X);
    w.keysMax->disable();
    FXHorizontalFrame* countRow = new FXHorizontalFrame(w.keysGroup, LAYOUT_FILL_X);
    w.keyCountCaption = new FXLabel(spring(countRow, 1), text(kgiLangKey::Op_Keys_Count));
    w.keyCount = new FXLabel(spring(countRow, 4), "0", nullptr, JUSTIFY_LEFT | FRAME_THICK | LAYOUT_FILL_X, 0, 0, 0,
                             0, 0, 0, 0, 0);
    w.keyCount->setBackColor(WHITE);
    refreshKeyCount(currentCharacter());

    w.collisionGroup = group(page, kgiLangKey::Op_Colli, LAYOUT_FILL_X);
    w.collision = new FXMenuCheck(w.collisionGroup, text(kgiLangKey::Op_Colli), this, ID_COLLISION);
    w.collision->setCheck(app && app->getSettings().collisionDetail);
    w.safety = new FXMenuCheck(w.collisionGroup, text(kgiLangKey::Op_Safety), this, ID_SAFETY);

    w.basePartGroup = group(page, kgiLangKey::Op_Add_base_part, LAYOUT_FILL_X);
    FXHorizontalFrame* radios = new FXHorizontalFrame(w.basePartGroup, LAYOUT_FILL_X);
    w.body = new FXRadioButton(spring(radios, 1), text(kgiLangKey::Op_ABP_Body), this, ID_BASE_PART);
    w.rightFoot = new FXRadioButton(spring(radios, 1), text(kgiLangKey::Op_ABP_R_Foot), this, ID_BASE_PART);
    w.leftFoot = new FXRadioButton(spring(radios, 1), text(kgiLangKey::Op_ABP_L_Foot), this, ID_BASE_PART);
    selectBasePartRadio();
}

void kgiOptionsDialog::selectBasePartRadio()
{
    const std::string part = app ? app->getSettings().addBasePart : std::string();
    w.rightFoot->setCheck(part == "RAnkle2");
    w.leftFoot->setCheck(part == "LAnkle2");
    w.body->setCheck(part != "RAnkle2" && part != "LAnkle2");
}

// --- refreshes ---

void kgiOptionsDialog::refreshAll()
{
    const kgiSettings* settings = app ? &app->getSettings() : nullptr;
    w.keysMax->setText(FXStringFormat("%d", settings ? settings->keysMax : 0));
    // The toolkit aborts on an item out of range: a port outside 1..16
    // leaves the combo without a current item.
    const int port = settings ? settings->robotComId : 0;
    const int item = port >= 1 && port <= w.comPort->getNumItems() ? port - 1 : -1;
    w.comPort->setCurrentItem(item);
    kgiCharacter* character = currentCharacter();
    lastChangedFields = 0;
    if (character)
        refreshRows();
    refreshKeyCount(character);
    frameCount = kgiOptionsData::frameCount(kgiWorld::instance()->getLastKeyTime());
    refreshed = true;
    update();
}

void kgiOptionsDialog::refreshJointValues()
{
    kgiCharacter* character = currentCharacter();
    lastChangedFields = 0;
    if (refreshed && character)
        refreshRows();
    refreshKeyCount(character);
    frameCount = kgiOptionsData::frameCount(kgiWorld::instance()->getLastKeyTime());
    // The application's redraw flush updates the window (one request for
    // many refreshes).
}

void kgiOptionsDialog::refreshRows()
{
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    std::string value;
    for (int i = 0; i < jointCount; ++i) {
        ksgNode* node = rowNodes[static_cast<size_t>(i)];
        if (node == nullptr)
            continue;
        const kgiJointRecord record = table->findJoint(node->getName());
        // A value that is not finite or does not fit an int keeps the text.
        if (!kgiOptionsData::servoText(table->getJointAngle(node), record, value))
            continue;
        if (setChanged(w.valueFields[static_cast<size_t>(i)], FXString(value.c_str())))
            ++lastChangedFields;
    }
}

void kgiOptionsDialog::refreshKeyCount(const kgiCharacter* character)
{
    const FXString count = FXStringFormat("%d", character ? static_cast<int>(character->getKeyTimes().size()) : 0);
    if (w.keyCount->getText() != count)
        w.keyCount->setText(count);
}

// --- language ---

void kgiOptionsDialog::applyLanguage()
{
    w.sampleGroup->setText(text(kgiLangKey::Spl_Motion));
    w.sampleRead->setText(text(kgiLangKey::Spl_Read));
    w.sampleAdd->setText(text(kgiLangKey::Spl_Add));
    w.sampleTab->setText(text(kgiLangKey::Sample));
    w.settingsTab->setText(text(kgiLangKey::Op_Settings));
    if (w.jointTab)
        w.jointTab->setText(text(kgiLangKey::Op_Rot));
    w.robotTab->setText(text(kgiLangKey::ROBOT_COM));
    w.collision->setText(text(kgiLangKey::Op_Colli));
    w.safety->setText(text(kgiLangKey::Op_Safety));
    w.keysMaxCaption->setText(text(kgiLangKey::Op_Keys_Max));
    w.keyCountCaption->setText(text(kgiLangKey::Op_Keys_Count));
    w.robotCom->setText(text(kgiLangKey::ROBOT_COM));
    w.motionGroup->setText(text(kgiLangKey::ROBOT_COM_Motion));
    w.allFree->setText(text(kgiLangKey::ROBOT_COM_All_Free));
    w.upperFree->setText(text(kgiLangKey::ROBOT_COM_Upper_Free));
    w.lowerFree->setText(text(kgiLangKey::ROBOT_COM_Lower_Free));
    w.teachGroup->setText(text(kgiLangKey::ROBOT_COM_Teach));
    w.poseGroup->setText(text(kgiLangKey::ROBOT_COM_GrPose));
    w.poseReflection->setText(text(kgiLangKey::ROBOT_COM_Pose_Reflection));
    w.robotInfo->setText(text(kgiLangKey::ROBOT_COM_Infomation));
    w.writeTmp->setText(text(kgiLangKey::ROBOT_COM_WriteTMP));
    w.playRemocon->setText(text(kgiLangKey::ROBOT_COM_PlayRimocon));
    w.writeIrc->setText(text(kgiLangKey::ROBOT_COM_WriteIRC));
    w.addList->setText(text(kgiLangKey::ROBOT_COM_AddList));
    w.delList->setText(text(kgiLangKey::ROBOT_COM_DelList));
    w.keysGroup->setText(text(kgiLangKey::Op_Keys));
    w.collisionGroup->setText(text(kgiLangKey::Op_Colli));
    w.basePartGroup->setText(text(kgiLangKey::Op_Add_base_part));
    w.body->setText(text(kgiLangKey::Op_ABP_Body));
    w.rightFoot->setText(text(kgiLangKey::Op_ABP_R_Foot));
    w.leftFoot->setText(text(kgiLangKey::Op_ABP_L_Foot));
    if (infoDialog)
        infoDialog->applyLanguage();
}

// --- joints ---

std::string kgiOptionsDialog::getJointFieldText(const std::string& jointName)
{
    for (int i = 0; i < jointCount; ++i)
        if (jointNames[static_cast<size_t>(i)] == jointName)
            return kgiNarrowString::toNarrowText(w.nameFields[static_cast<size_t>(i)]->getText());
    return std::string();
}

void kgiOptionsDialog::enableJointFields(bool on)
{
    for (int i = 0; i < jointCount; ++i) {
        FXTextField* field = w.valueFields[static_cast<size_t>(i)];
        if (on)
            field->enable();
        else
            field->disable();
    }
}

void kgiOptionsDialog::treeFreed(kgiCharacter*, ksgNode* root)
{
    // While the rows hold nodes their tree is alive, so its root address
    // names it; once dropped, later trees at the same address are not ours.
    if (rowTree == nullptr || root != rowTree)
        return;
    for (int i = 0; i < jointCount; ++i) {
        const size_t r = static_cast<size_t>(i);
        rowNodes[r] = nullptr;
        w.nameFields[r]->setUserData(nullptr);
        w.valueFields[r]->setUserData(nullptr);
    }
    rowTree = nullptr;
}

// --- robot communication ---

void kgiOptionsDialog::openRobotTab()
{
    // The tab item opens its page on a press, as under the user's pointer,
    // and only while it is enabled.
    if (!w.robotTab)
        return;
    FXEvent press;
    press.type = SEL_LEFTBUTTONPRESS;
    press.code = LEFTBUTTON;
    w.robotTab->handle(this, FXSEL(SEL_LEFTBUTTONPRESS, 0), &press);
}

void kgiOptionsDialog::setRobotComCheck(bool on)
{
    w.robotCom->setCheck(on);
    if (on) {
        w.comPort->disable();
    } else {
        if (w.allFree->getCheck() || w.upperFree->getCheck() || w.lowerFree->getCheck()) {
            if (app)
                app->restartPoseRead(false, 0);
            w.allFree->setCheck(false);
            w.upperFree->setCheck(false);
            w.lowerFree->setCheck(false);
        }
        w.poseReflection->setCheck(false);
        w.comPort->enable();
    }
    update();
}

void kgiOptionsDialog::warnRobotComOff()
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Warning - 140", services.text(kgiLangKey::ROBOT_COM_No_Check));
}

void kgiOptionsDialog::setListItemText(const FXString& name, int n)
{
    if (!w.robotCom->getCheck()) {
        warnRobotComOff();
        return;
    }
    // A short list file leaves fewer items than the session's entries.
    if (n < 0 || n >= w.remoconList->getNumItems())
        return;
    w.remoconList->setItemText(n, FXStringFormat("%d:", n + 1) + name);
}

void kgiOptionsDialog::setMotionSlotName(const char* name)
{
    if (!w.robotCom->getCheck()) {
        warnRobotComOff();
        return;
    }
    const int i = w.remoconList->getCurrentItem();
    if (i < 0 || i >= w.remoconList->getNumItems() || !w.remoconList->isItemSelected(i))
        return;
    const FXString wide = kgiNarrowString::toWideText(name ? name : "");
    FXString item;
    if (i < 9)
        item = FXStringFormat("M%d   ", i + 1);
    else if (i < 80)
        item = FXStringFormat("M%d  ", i + 1);
    else
        item = FXStringFormat("S%d   ", i - 79);
    w.remoconList->setItemText(i, item + wide);
}

void kgiOptionsDialog::uncheckRobotSync()
{
    if (!w.poseReflection->getCheck())
        return;
    w.poseReflection->setCheck(false);
    kgiWorld::instance()->setPlaying(false);
    if (app)
        app->setRobotSyncFlag(false);
}

void kgiOptionsDialog::setStatusText(const FXString& t)
{
    w.status->setText("Status: " + t);
    update();
}

void kgiOptionsDialog::showRobotInfo()
{
    delete infoDialog;
    infoDialog = new kgiInfoDialog(this, app ? app->getAppIcon() : nullptr, getX(), getY(),
                                   text(kgiLangKey::ROBOT_COM_Infomation));
    infoDialog->create();
    infoDialog->fill();
    infoDialog->show();
}

bool kgiOptionsDialog::isCollisionSafetyOn() const { return w.safety && w.safety->getCheck(); }

// --- command-enable record ---

void kgiOptionsDialog::fillLockBytes(kgiOptionsCommandFlags& record, unsigned char value) const
{
    // Bytes 36 and 37 belong to no command of this window and keep what
    // the caller put there.
    for (int i = 0; i < kgiOptionsCommandFlags::SIZE; ++i)
        if (i != 36 && i != 37)
            record[i] = value;
}

void kgiOptionsDialog::lockAllCommands(kgiOptionsCommandFlags& record) { fillLockBytes(record, 0); }

void kgiOptionsDialog::unlockAllCommands(kgiOptionsCommandFlags& record) { fillLockBytes(record, 1); }

FXWindow* kgiOptionsDialog::governedWidget(int byte) const
{
    switch (byte) {
    case 0: return w.sampleTab;
    case 3: return w.jointTab;
    case 4: return w.robotTab;
    case 5: return w.settingsTab;
    case 7: return w.sampleRead;
    case 8: return w.sampleAdd;
    case 10: return w.sampleList;
    case 15: return w.robotCom;
    case 16: return w.comPort;
    case 17: return w.writeTmp;
    case 18: return w.remoconList;
    case 19: return w.addList;
    case 20: return w.delList;
    case 22: return w.writeIrc;
    case 23: return w.playRemocon;
    case 31: return w.poseReflection;
    case 32: return w.allFree;
    case 33: return w.upperFree;
    case 34: return w.lowerFree;
    case 35: return w.robotInfo;
    case 38: return w.body;
    case 39: return w.rightFoot;
    case 40: return w.leftFoot;
    default: return nullptr;
    }
}

void kgiOptionsDialog::updateCommandStates(const kgiOptionsCommandFlags& record)
{
    for (int byte : GOVERNED_BYTES) {
        FXWindow* widget = governedWidget(byte);
        // Byte 3 has no widget when the joint tab was not built.
        if (widget == nullptr)
            continue;
        if (record[byte])
            widget->enable();
        else
            widget->disable();
    }
}

// --- window ---

long kgiOptionsDialog::onClose(FXObject*, FXSelector, void*)
{
    if (app && app->isLessonMode())
        return 1;
    hide();
    return 1;
}
