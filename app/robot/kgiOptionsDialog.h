#pragma once
// The options window: four tabs (samples, joint servo values, robot
// communication, settings) over the current character, the robot session,
// the settings and the data files of the model's base folder. It holds no
// robot state of its own: what it shows comes from kgiApp, the world, the
// current character and the robot joint table, and its commands go back
// through kgiApp. The application makes it through its maker (make), owned
// by the main window, shows it (refreshAll first), relabels it, and deletes
// it on a new project or a lesson's rebuild.
//
// The sample list, the joint rows, the motor names and the remote-control
// list are read once, at construction (kgiOptionsData's readers). The joint
// rows keep nodes of the character current at construction; when that tree
// is freed (the unload command frees every character and keeps the window)
// the rows drop their nodes and behave as rows of joints the model lacks.
#include <fx.h>

#include <array>
#include <string>

#include "kgiFreedTreeNotice.h"
#include "kgiOptionsData.h"
#include "kgiRobotOptions.h"

class kgiApp;
class kgiCharacter;
class kgiCommandWindow;
class kgiInfoDialog;
class kgiModelBuilder;
class ksgNode;

class kgiOptionsDialog : public FX::FXDialogBox, public kgiRobotOptions, private kgiFreedTreeListener {
    FXDECLARE(kgiOptionsDialog)

public:
    // Command ids (fixed: lesson step files name commands by them). The
    // ids marked "no widget" belong to no widget of the window; they are
    // routed all the same and reached by sending the command.
    enum {
        ID_READ_VALUES = 79,   // no widget
        ID_COLLISION = 84,
        ID_OPTION_FLOAT = 85,  // no widget
        ID_SAFETY = 86,
        ID_KEYS_MAX = 87,
        ID_MOTOR_NAME = 88,
        ID_JOINT_VALUE = 89,
        ID_READ_INT = 95,      // no widget
        ID_REMOVE_ITEM = 96,   // no widget
        ID_FRAME_COUNT = 97,   // no widget
        ID_SAMPLE_READ = 98,
        ID_SAMPLE_ADD = 99,
        ID_SAMPLE_LIST = 100,
        ID_ROBOT_COM = 104,
        ID_COM_PORT = 105,
        ID_ROBOT_REQUEST = 106,  // no widget
        ID_SESSION_OP_A = 107,   // no widget
        ID_SESSION_OP_B = 108,   // no widget
        ID_MOTION_NAME = 109,    // no widget
        ID_PLAY_ENTRY = 110,     // no widget; as ID_PLAY_REMOCON
        ID_PULSE_LINK = 111,     // no widget
        ID_SESSION_QUERY = 112,  // no widget
        ID_REMOCON_LIST = 113,
        ID_WRITE_ZERO = 114,     // no widget
        ID_WRITE_IRC = 115,
        ID_WRITE_TMP = 116,
        ID_RENAME_ENTRY = 117,
        ID_DELETE_ENTRY = 118,
        ID_PLAY_REMOCON = 119,
        ID_ROBOT_INFO = 120,
        ID_GUARD_ONLY = 121,     // no widget
        ID_ALL_FREE = 122,
        ID_UPPER_FREE = 123,
        ID_LOWER_FREE = 124,
        ID_ALL_FREE_OFF = 125,   // no widget
        ID_POSE_REFLECTION = 127,
        ID_BASE_PART = 134,
        ID_LAST
    };

    static constexpr int MAX_JOINT_ROWS = kgiOptionsData::MAX_JOINT_ROWS;
    // Where the window opens on the screen.
    static constexpr int X = 670;
    static constexpr int Y = 220;
    // Colour of the robot status line.
    static constexpr FX::FXColor STATUS_COLOUR = FXRGB(200, 200, 200);
    // The bytes of the command-enable record that govern a widget.
    static constexpr int GOVERNED_BYTES[] = {0,  3,  4,  5,  7,  8,  10, 15, 16, 17, 18, 19,
                                             20, 22, 23, 31, 32, 33, 34, 35, 38, 39, 40};
    static constexpr int GOVERNED_COUNT = sizeof(GOVERNED_BYTES) / sizeof(GOVERNED_BYTES[0]);

    // Builds the whole window from the application, the world and the data
    // files (owner: the main window, or the application when null); the
    // caller creates it.
    kgiOptionsDialog(FX::FXWindow* owner, FX::FXIcon* icon);
    kgiOptionsDialog(FX::FXApp* app, FX::FXIcon* icon);
    // Deletes the information window first (it is owned by this one but no
    // child of it), then the rest goes with the toolkit's children.
    ~kgiOptionsDialog() override;

    // The application's maker (kgiAppMakers::optionsDialog).
    static kgiRobotOptions* make(kgiCommandWindow& owner, FX::FXIcon* icon);

    // --- kgiRobotOptions ---
    FX::FXTopWindow* window() override { return this; }
    // Keys_MAX field ("%d" of the setting), COM combo (no current item for
    // a port outside 1..16), joint values, key count, frameCount; from then
    // on refreshJointValues updates the joint values too.
    void refreshAll() override;
    // Joint values (once refreshAll has run), key count and frameCount. A
    // field whose text is unchanged is not set, so nothing repaints.
    void refreshJointValues() override;
    // Every caption, the information window's too.
    void applyLanguage() override;
    // The name field text (code page 932) of the first row of that joint;
    // empty when no row has it.
    std::string getJointFieldText(const std::string& jointName) override;
    // The check shows `on` (the application's flag, stored before this
    // call). Off also ends a running pose read when a teach check is on,
    // clears the teach and reflection checks and enables the port combo;
    // on disables the combo.
    void openRobotTab() override;
    void setRobotComCheck(bool on) override;
    // 0 or 1 into bytes 0-35 and 38-40; 36 and 37 keep what they hold.
    void lockAllCommands(kgiOptionsCommandFlags& record) override;
    void unlockAllCommands(kgiOptionsCommandFlags& record) override;
    // Enables each governed widget whose byte is not 0 (byte 3, the joint
    // tab, only when it exists).
    void updateCommandStates(const kgiOptionsCommandFlags& record) override;
    // The joint value fields only; the name fields stay as they are.
    void enableJointFields(bool on) override;
    // "Status: " + text.
    void setStatusText(const FX::FXString& text) override;
    // With the communication check on, item n of the remote-control list
    // becomes "n+1:text"; an item outside the list changes nothing. With the
    // check off, the "Warning - 140" box and nothing else.
    void setListItemText(const FX::FXString& text, int n) override;
    // With pose reflection checked: unchecked, playback stopped, the
    // session's sync flag cleared.
    void uncheckRobotSync() override;
    bool isCollisionSafetyOn() const override;

    // --- the rest of the window's operations ---
    // With the communication check on, the selected remote-control item i
    // becomes "M<i+1>   name" (i < 9), "M<i+1>  name" (i < 80) or
    // "S<i-79>   name"; no selected item changes nothing. name is code page
    // 932. With the check off, the "Warning - 140" box.
    void setMotionSlotName(const char* name);
    // The "Warning - 140" box: communication is off.
    void warnRobotComOff();
    // Opens a new information window (the previous one deleted) at this
    // window's place, filled from a read of the board.
    void showRobotInfo();
    kgiInfoDialog* getInfoDialog() const { return infoDialog; }

    // The download request through the session (1 the remote-control
    // slots, 9 the temporary slot, 0 as the widgetless write): the box that
    // warns the robot will move, reflection and teach checks cleared (the
    // pose read ended), the lesson told, the remote-control list reloaded
    // below request 5; whether the session took the request.
    bool writeMotionToRobot(int request);
    // Names motion slot i (the current remote-control entry) through the
    // input box and hands the name to the session's slot rename (no
    // message routes it). False on Cancel or without a current entry.
    bool renameMotionSlot();
    // The query value of the widgetless session query (reset by Play).
    int getQueryValue() const { return queryValue; }

    // --- message handlers (every one answers 1 unless it says otherwise;
    // "guarded" ones only show the "Warning - 140" box while the
    // communication check is off) ---
    // Hides the window; ignored while a lesson runs.
    long onClose(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Collision option from its check (off also clears the safety check
    // and the recorded hits); safety on also turns collision on.
    long onCmdCollision(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdSafety(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Keys_MAX setting from the field's integer.
    long onCmdKeysMax(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Rewrites the motor-name file from the name fields (silently nothing
    // when it cannot be replaced).
    long onCmdMotorName(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The sending row's joint from the typed servo value, limit margin 0.
    long onCmdJointValue(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The part holding the sending row's joint highlighted, or no part.
    long onFocusInJoint(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onFocusOutJoint(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The selected sample in place of every key, or appended after the
    // last key (play range on the appended part, base part kept in place).
    long onCmdSampleRead(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdSampleAdd(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The lessons' list answers.
    long onCmdSampleList(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdRemoconList(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Communication on or off as the check asks; an off refused in a
    // lesson (answering 0) or during playback with reflection on puts the
    // check back on.
    long onCmdRobotCom(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The port setting while communication is off; snaps back while on.
    long onCmdComPort(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdWriteIrc(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdWriteTmp(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Names the current remote-control entry and stores the motion in it;
    // 0 for a refused name.
    long onCmdRenameEntry(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdDeleteEntry(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdPlayRemocon(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdRobotInfo(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Teach modes 0, 1, 2 (servo groups released and read back), each
    // exclusive with the others and with reflection.
    long onCmdAllFree(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdUpperFree(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdLowerFree(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdPoseReflection(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // The sender is the radio clicked.
    long onCmdBasePart(FX::FXObject* sender, FX::FXSelector sel, void* data);
    // Widgetless commands.
    long onCmdReadValues(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdOptionFloat(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdReadInt(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdRemoveItem(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdFrameCount(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdRobotRequest(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdSessionOpA(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdSessionOpB(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdMotionName(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdPulseLink(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdSessionQuery(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdWriteZero(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdGuardOnly(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onCmdAllFreeOff(FX::FXObject* sender, FX::FXSelector sel, void* data);

    // Keyboard handlers the message map does not route (routing them would
    // let Space and Return typed into the window's fields edit keys and
    // start playback): a repeated press is skipped until the release; Ctrl+A
    // tells the lesson and refreshes the time line; with the commands
    // locked other keys only sound the wrong answer; Space keys the current
    // frame, Return starts or stops playback, Right and Left step one
    // frame. 1 for a key they handled.
    long onKeyPress(FX::FXObject* sender, FX::FXSelector sel, void* data);
    long onKeyRelease(FX::FXObject* sender, FX::FXSelector sel, void* data);
    void setCommandsUnlocked(bool on) { commandsUnlocked = on; }

    // --- state, for the application and tests ---
    bool isRefreshed() const { return refreshed; }
    int getFrameCount() const { return frameCount; }
    int getJointCount() const { return jointCount; }
    const std::string& getJointName(int row) const { return jointNames[static_cast<size_t>(row)]; }
    // UTF-8.
    const std::string& getMotorName(int row) const { return motorNames[static_cast<size_t>(row)]; }
    // The node row i carries; null for a joint the model lacks or after its
    // tree was freed.
    ksgNode* getRowNode(int row) const { return rowNodes[static_cast<size_t>(row)]; }
    // How many value fields the last refresh changed.
    int getLastChangedFields() const { return lastChangedFields; }
    // The widget byte i of the record governs; null for the others.
    FX::FXWindow* governedWidget(int byte) const;

    // The widgets (owned by the toolkit as children of this window).
    struct Widgets {
        FX::FXTabBook* tabBook = nullptr;
        FX::FXTabItem* sampleTab = nullptr;
        FX::FXTabItem* jointTab = nullptr;  // null without a current character
        FX::FXTabItem* robotTab = nullptr;
        FX::FXTabItem* settingsTab = nullptr;
        // Samples.
        FX::FXGroupBox* sampleGroup = nullptr;
        FX::FXButton* sampleRead = nullptr;
        FX::FXButton* sampleAdd = nullptr;
        FX::FXList* sampleList = nullptr;
        // Joints.
        std::array<FX::FXTextField*, MAX_JOINT_ROWS> nameFields{};
        std::array<FX::FXTextField*, MAX_JOINT_ROWS> valueFields{};
        // Robot.
        FX::FXMenuCheck* robotCom = nullptr;
        FX::FXComboBox* comPort = nullptr;
        FX::FXButton* robotInfo = nullptr;
        FX::FXLabel* status = nullptr;
        FX::FXButton* writeTmp = nullptr;
        FX::FXGroupBox* motionGroup = nullptr;
        FX::FXButton* playRemocon = nullptr;
        FX::FXButton* writeIrc = nullptr;
        FX::FXButton* addList = nullptr;
        FX::FXButton* delList = nullptr;
        FX::FXList* remoconList = nullptr;
        FX::FXGroupBox* poseGroup = nullptr;
        FX::FXMenuCheck* poseReflection = nullptr;
        FX::FXGroupBox* teachGroup = nullptr;
        FX::FXMenuCheck* allFree = nullptr;
        FX::FXMenuCheck* upperFree = nullptr;
        FX::FXMenuCheck* lowerFree = nullptr;
        // Settings.
        FX::FXGroupBox* keysGroup = nullptr;
        FX::FXLabel* keysMaxCaption = nullptr;
        FX::FXTextField* keysMax = nullptr;
        FX::FXLabel* keyCountCaption = nullptr;
        FX::FXLabel* keyCount = nullptr;
        FX::FXGroupBox* collisionGroup = nullptr;
        FX::FXMenuCheck* collision = nullptr;
        FX::FXMenuCheck* safety = nullptr;
        FX::FXGroupBox* basePartGroup = nullptr;
        FX::FXRadioButton* body = nullptr;
        FX::FXRadioButton* rightFoot = nullptr;
        FX::FXRadioButton* leftFoot = nullptr;
    };
    const Widgets& widgets() const { return w; }

protected:
    // For the toolkit's class factory only: no widgets.
    kgiOptionsDialog() {}

private:
    // kgiFreedTreeListener: the rows' tree goes.
    void treeFreed(kgiCharacter* character, ksgNode* root) override;

    void build(FX::FXIcon* icon);
    void buildSampleTab();
    void buildJointTab(kgiCharacter* character);
    void buildRobotTab();
    void buildSettingsTab();
    // The radio button of the AddBasePart setting.
    void selectBasePartRadio();
    // Joint values of every row with a node; counts the fields changed.
    void refreshRows();
    void refreshKeyCount(const kgiCharacter* character);
    void fillLockBytes(kgiOptionsCommandFlags& record, unsigned char value) const;
    // --- command helpers (kgiOptionsCommands.cpp) ---
    // The communication check is on; else the "Warning - 140" box.
    bool guardRobotCom();
    // A guarded check: with communication off a click that checked it is
    // undone and the box shown; false then.
    bool guardCheck(FX::FXMenuCheck* check);
    void teachMode(FX::FXMenuCheck* clicked, int mode);
    // The current item of a list; -1 for an empty one.
    static int currentItem(FX::FXList* list);
    // The row whose name or value field is the sender; -1 for another.
    int rowOfField(FX::FXObject* sender) const;
    // The selected sample's project path; false without a current item.
    bool samplePath(std::string& path) const;
    // Reads the sample into `sample` and tells whether its keys can be
    // imported into a character without keys (the reader's and the key
    // limit's boxes when not).
    bool sampleFits(const std::string& path, kgiModelBuilder& sample) const;
    // Asks for a motion slot name for entry i (prompt M<i+1>, or S<i-79>
    // from 80 on); false on Cancel.
    bool askSlotName(int i, std::string& name);
    void redrawAll();
    // The world's current character; null when none.
    static kgiCharacter* currentCharacter();

    kgiApp* app = nullptr;
    kgiInfoDialog* infoDialog = nullptr;
    // Used only by keyboard handlers the window does not route.
    bool keyDown = false;
    bool commandsUnlocked = true;
    bool refreshed = false;
    int frameCount = 0;
    std::array<std::string, MAX_JOINT_ROWS> jointNames;
    std::array<std::string, MAX_JOINT_ROWS> motorNames;
    std::array<ksgNode*, MAX_JOINT_ROWS> rowNodes{};
    // The tree the rows' nodes belong to while they hold any.
    ksgNode* rowTree = nullptr;
    int jointCount = 0;
    int remoconSlotCount = kgiOptionsData::REMOCON_SLOTS;
    int lastChangedFields = 0;
    // The widgetless session query's value.
    int queryValue = 0;
    Widgets w;
};
