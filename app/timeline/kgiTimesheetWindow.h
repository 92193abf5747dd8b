#pragma once
// The program's main window, "Time Line": the menu bar and the tool bar in
// dock sites above the time-line canvas. It is the target of the main
// commands and the application's main window (kgiCommandWindow): the
// lessons lock its commands through it. Its texts come from the language
// table; creating it opens the first 3D window.
#include "kgi3dWindowKeys.h"
#include "kgiCommandWindow.h"
#include "kgiLangKeys.h"
#include "kgiMainCommandTable.h"
#include "kgiTimesheetKeys.h"

#include <fx.h>
#include <fx3d.h>

#include <array>
#include <string>
#include <vector>

class kgiApp;
class kgiTimesheetCanvas;

class kgiTimesheetWindow : public FX::FXMainWindow, public kgiCommandWindow, public kgiMainCommandIds {
    FXDECLARE(kgiTimesheetWindow)

public:
    // The tool-bar and menu icons, in the order they are read from
    // icons/toolbar below the base directory.
    enum Icon {
        ICON_OPEN, ICON_SAVE, ICON_COPY, ICON_CUT, ICON_PASTE, ICON_UNDO, ICON_REDO,
        ICON_POSE_UNDO, ICON_POSE_REDO, ICON_NEW, ICON_ZOOM, ICON_AGENT, ICON_COUNT
    };
    static const char* const ICON_FILES[ICON_COUNT];
    // The six menus in menu-bar order, named by their title keys.
    static constexpr int PANE_COUNT = 6;
    static const char* const PANE_KEYS[PANE_COUNT];
    static constexpr int BUTTON_COUNT = 10;

    // Builds the whole window (not yet created): bars, icons, menus, texts
    // of the application's language, the time display of the DrawNo
    // setting, the time-line canvas. A language file that cannot be read
    // ends the program (kgiApp::loadLanguage).
    explicit kgiTimesheetWindow(kgiApp* app);
    // Icons, panes, canvas and its visual, then the base.
    ~kgiTimesheetWindow() override;

    // Creates the window, opens the first 3D window, creates the tool-bar
    // shells and icons and shows the window.
    void create() override;

    // The language: texts read into the table and every label set again.
    void setLanguage(int language);
    // setLanguage, then the 3D views' camera buttons and all redrawn.
    void changeLanguage(int language);
    // 1 shows times in seconds (Draw_MilliSec checked), 0 in frames
    // (Draw_Frame checked); the DrawNo setting follows. Any other value
    // changes neither. The 3D views are redrawn either way.
    void setTimeDisplay(int mode);

    // kgiCommandWindow
    FX::FXMainWindow* window() override { return this; }
    void updateCommandStates(const kgiMainCommandLocks& record) override;
    void lockAllCommands(kgiMainCommandLocks& record) override;
    void unlockAllCommands(kgiMainCommandLocks& record) override;
    FX::FXWindow* timelineCanvas() override;
    void setStartFolders(const std::string& timesheetFolder, const std::string& poseFolder) override;
    // The play range from the current character's first key to its last
    // (0 to 0 without keys), the time line re-read and redrawn. With
    // lessonCheck and the refresh locked (byte 53) only the not-good sound
    // plays; unlocked, the lesson hears of the action first. Nothing
    // changes without a current character.
    void refreshTimeline(bool lessonCheck) override;

    // A timesheet loaded as a new character that becomes the current one:
    // the joint table's records and limits, the default pose, evaluated at
    // the current time, put into the scene with the views centred on it,
    // the initial pose when it has no keys, robot communication off and
    // the session deleted. On failure the character goes again and, unless
    // keepCurrent, no character is current. Whether it loaded.
    bool loadTimesheet(const std::string& path, bool keepCurrent);
    // The new-project command: refused ("Warning - 141", false) while
    // robot communication is on; else every character and media track
    // removed and the model's factory timesheet loaded (true, whether or
    // not the load succeeded).
    bool newProject();

    // What the help command starts: xdg-open and the help page's path, the
    // language text helpText (leading white space removed) below baseDir.
    static std::vector<std::string> helpCommand(const std::string& baseDir, const std::string& helpText);
    // Where the companion program is looked for: "Vevur" in the base
    // directory.
    static std::string companionPath(const std::string& baseDir);
    // The message shown when the companion cannot start, for an errno.
    static std::string companionFailure(int error);

    // Messages.
    long onCmdQuit(FX::FXObject*, FX::FXSelector, void*);
    long onCmdLanguage(FX::FXObject*, FX::FXSelector, void*);
    long onCmdTimeDisplay(FX::FXObject*, FX::FXSelector, void*);
    // The file, media and window commands (kgiTimesheetCommands.cpp). Each
    // answers 1, but add motion without a current character answers 0.
    long onCmdLoadTimesheet(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAddTimesheet(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSaveTimesheet(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSaveTimesheetAs(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAddMotion(FX::FXObject*, FX::FXSelector, void*);
    long onCmdNew(FX::FXObject*, FX::FXSelector, void*);
    long onCmdImportPsf(FX::FXObject*, FX::FXSelector, void*);
    long onCmdLoadMdm(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAddMdm(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSaveMdm(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSaveMdmAs(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMediaAdd(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMediaRemove(FX::FXObject*, FX::FXSelector, void*);
    long onCmdUnload(FX::FXObject*, FX::FXSelector, void*);
    long onCmdPoseSave(FX::FXObject*, FX::FXSelector, void*);
    long onCmdPoseLoad(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMediaWindow(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAuxWindow(FX::FXObject*, FX::FXSelector, void*);
    long onCmdOptions(FX::FXObject*, FX::FXSelector, void*);
    long onCmdHelp(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAbout(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAgent(FX::FXObject*, FX::FXSelector, void*);
    // The pose, key, view and tool commands and the keyboard
    // (kgiTimesheetEditCommands.cpp). Each answers 1 and does nothing that
    // needs a current character without one.
    long onCmdNothing(FX::FXObject*, FX::FXSelector, void*);
    long onCmdPoseReset(FX::FXObject*, FX::FXSelector, void*);
    long onCmdPoseStep(FX::FXObject*, FX::FXSelector, void*);
    long onCmdPoseFlip(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMirrorMode(FX::FXObject*, FX::FXSelector, void*);
    long onCmdKeysStep(FX::FXObject*, FX::FXSelector, void*);
    long onCmdKeysCopy(FX::FXObject*, FX::FXSelector, void*);
    long onCmdKeyEdit(FX::FXObject*, FX::FXSelector, void*);
    long onCmdRangeEdit(FX::FXObject*, FX::FXSelector, void*);
    long onCmdViewNew(FX::FXObject*, FX::FXSelector, void*);
    long onCmdViewAxes(FX::FXObject*, FX::FXSelector, void*);
    long onCmdRobotCom(FX::FXObject*, FX::FXSelector, void*);
    long onCmdZoom(FX::FXObject*, FX::FXSelector, void*);
    long onCmdRepeat(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAutoReturn(FX::FXObject*, FX::FXSelector, void*);
    // A press acts by the keys' table (kgiTimesheetKeys) and answers 1; a
    // release clears the latch and answers 0.
    long onKeyPress(FX::FXObject*, FX::FXSelector, void*);
    long onKeyRelease(FX::FXObject*, FX::FXSelector, void*);
    // A new curve editor window, created and shown (kgiCurveEditorCommand.cpp).
    long onCmdCurveEditor(FX::FXObject*, FX::FXSelector, void*);

    // What the window holds (for its neighbours and tests).
    kgiTimesheetCanvas* getCanvas() const { return canvas; }
    FX::FXIcon* getIcon(Icon i) const { return icons[i]; }
    // The tool-bar buttons left to right: Open, Save, Undo, Redo, Copy,
    // Cut, Paste, Zoom, Option, Vevur.
    FX::FXButton* getButton(int i) const;
    FX::FXToolBar* getToolBar() const { return toolBar; }
    FX::FXMenuBar* getMenuBar() const { return menuBar; }
    FX::FXMenuPane* getMenuPane(int i) const;
    FX::FXMenuTitle* getMenuTitle(int i) const;
    // The menu command (or check, with check true) that sends the command;
    // null when there is none.
    FX::FXMenuCaption* findMenuEntry(int command, bool check = false) const;
    FX::FXMenuCheck* findMenuCheck(int command) const;
    // The widget byte i of the lock record governs; null for the bytes
    // without one.
    FX::FXWindow* lockWidget(int i) const;
    // The window's text of one of its keys (kgiLangKey::WINDOW_KEYS).
    const FX::FXString& label(const char* key) const;
    const FX::FXString& getLastTimesheetFolder() const { return lastTimesheetFolder; }
    const FX::FXString& getLastPoseFolder() const { return lastPoseFolder; }
    bool getShortcutsEnabled() const { return shortcutsEnabled != 0; }
    bool getRefreshEnabled() const { return refreshEnabled != 0; }
    bool isKeyLatched() const { return keyLatch.isSet(); }

protected:
    // For the toolkit's class factory only: the base window and empty texts.
    kgiTimesheetWindow() {}

private:
    struct MenuEntry {
        FX::FXMenuCaption* widget;
        int command;
        const char* key;
        bool appText;  // from the application's text table
        bool check;
    };

    void loadToolbarIcons();
    void buildToolBar();
    void buildMenus();
    // Sets every menu title, entry and the Option button from the texts.
    void applyLabels();
    // The normal font for the language: IPA Gothic for Japanese, the
    // toolkit's own otherwise; windows laid out again when it changes.
    void applyLanguageFont(int language);
    FX::FXString entryText(const MenuEntry& e) const;
    int paneIndexOf(const char* key) const;
    // The time line re-reads the world and is redrawn (no range change).
    void refreshTimelineWidgets();
    // Runs a file dialog of the table (kgiTimesheetCommands.cpp) starting
    // in folder; true with the chosen path.
    bool chooseFile(int command, const std::string& folder, std::string& path);
    // The current character's keys, or "Warning - 150" and false.
    bool hasKeysToSave();
    // Load (false) or add (true) a robot motion file.
    void loadRobotMotion(bool add);
    // Carries out what a key press means.
    void runKeyAction(const kgiTimesheetKeys::Result& r);

    kgiApp* application = nullptr;
    FX::FXGLVisual* visual = nullptr;
    kgiTimesheetCanvas* canvas = nullptr;
    std::array<FX::FXIcon*, ICON_COUNT> icons{};
    std::array<FX::FXButton*, BUTTON_COUNT> buttons{};
    std::array<int, BUTTON_COUNT> buttonCommands{};
    std::array<FX::FXMenuPane*, PANE_COUNT> panes{};
    std::array<FX::FXMenuTitle*, PANE_COUNT> titles{};
    std::array<FX::FXDockSite*, 4> docks{};
    FX::FXToolBarShell* menuShell = nullptr;
    FX::FXToolBarShell* toolShell = nullptr;
    FX::FXMenuBar* menuBar = nullptr;
    FX::FXToolBar* toolBar = nullptr;
    // Shows the tool-bar buttons' tips (Zoom's) while the pointer rests on
    // them; the toolkit shows none without one.
    FX::FXToolTip* toolTip = nullptr;
    std::vector<MenuEntry> entries;
    // Which pane each entry stands in.
    std::vector<int> entryPanes;

    std::array<FX::FXString, kgiLangKey::WINDOW_KEY_COUNT> labels;
    FX::FXString lastPoseFolder;
    FX::FXString lastTimesheetFolder;
    // Set by an editing key, cleared by a release; X11's auto-repeat
    // (a release and a press per repeat) keeps it set.
    kgi3dKeyLatch keyLatch;
    unsigned char shortcutsEnabled = 1;
    unsigned char refreshEnabled = 1;
};
