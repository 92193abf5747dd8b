#include "kgiTimesheetWindow.h"

#include "kgiMenuTitle.h"
#include "kgiTimesheetCanvas.h"

#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiLanguageTable.h"
#include "kgiNarrowString.h"

#include "kutImg.h"
#include "kutPath.h"

#include <cstring>

FXDEFMAP(kgiTimesheetWindow) kgiTimesheetWindowMap[] = {
    // The close box asks the quit question as the quit command does.
    FXMAPFUNC(FX::SEL_CLOSE, 0, kgiTimesheetWindow::onCmdQuit),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_QUIT, kgiTimesheetWindow::onCmdQuit),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_LANG_JPN, kgiTimesheetWindow::ID_LANG_ENG,
               kgiTimesheetWindow::onCmdLanguage),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_DRAW_FRAME, kgiTimesheetWindow::ID_DRAW_MILLISEC,
               kgiTimesheetWindow::onCmdTimeDisplay),
    // File, media and window commands (kgiTimesheetCommands.cpp).
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_LOAD_TIMESHEET, kgiTimesheetWindow::onCmdLoadTimesheet),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ADD_TIMESHEET, kgiTimesheetWindow::onCmdAddTimesheet),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SAVE_TIMESHEET, kgiTimesheetWindow::onCmdSaveTimesheet),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SAVE_TIMESHEET_AS, kgiTimesheetWindow::onCmdSaveTimesheetAs),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ADD_MOTION, kgiTimesheetWindow::onCmdAddMotion),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_NEW, kgiTimesheetWindow::onCmdNew),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_IMPORT_PSF, kgiTimesheetWindow::onCmdImportPsf),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_LOAD_MDM, kgiTimesheetWindow::onCmdLoadMdm),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ADD_MDM, kgiTimesheetWindow::onCmdAddMdm),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SAVE_MDM, kgiTimesheetWindow::onCmdSaveMdm),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SAVE_MDM_AS, kgiTimesheetWindow::onCmdSaveMdmAs),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_MEDIA_ADD, kgiTimesheetWindow::onCmdMediaAdd),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_MEDIA_REMOVE, kgiTimesheetWindow::onCmdMediaRemove),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_UNLOAD, kgiTimesheetWindow::onCmdUnload),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_POSE_SAVE, kgiTimesheetWindow::onCmdPoseSave),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_POSE_LOAD, kgiTimesheetWindow::onCmdPoseLoad),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_MEDIA_WINDOW, kgiTimesheetWindow::onCmdMediaWindow),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_AUX_WINDOW, kgiTimesheetWindow::onCmdAuxWindow),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_OPTIONS, kgiTimesheetWindow::onCmdOptions),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_HELP, kgiTimesheetWindow::onCmdHelp),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ABOUT, kgiTimesheetWindow::onCmdAbout),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_AGENT, kgiTimesheetWindow::onCmdAgent),
    // Pose, key, view and tool commands and the keyboard
    // (kgiTimesheetEditCommands.cpp).
    FXMAPFUNC(FX::SEL_KEYPRESS, 0, kgiTimesheetWindow::onKeyPress),
    FXMAPFUNC(FX::SEL_KEYRELEASE, 0, kgiTimesheetWindow::onKeyRelease),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SPARE_64, kgiTimesheetWindow::ID_SPARE_66,
               kgiTimesheetWindow::onCmdNothing),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_SPARE_104, kgiTimesheetWindow::onCmdNothing),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_POSE_RESET, kgiTimesheetWindow::onCmdPoseReset),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_POSE_UNDO, kgiTimesheetWindow::ID_POSE_REDO,
               kgiTimesheetWindow::onCmdPoseStep),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_POSE_WORLD_FLIP, kgiTimesheetWindow::ID_POSE_LOCAL_FLIP,
               kgiTimesheetWindow::onCmdPoseFlip),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_MIRROR_MODE, kgiTimesheetWindow::onCmdMirrorMode),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_KEYS_UNDO, kgiTimesheetWindow::ID_KEYS_REDO,
               kgiTimesheetWindow::onCmdKeysStep),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_KEYS_CUT, kgiTimesheetWindow::onCmdKeyEdit),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_KEYS_COPY, kgiTimesheetWindow::onCmdKeysCopy),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_KEYS_PASTE, kgiTimesheetWindow::ID_KEYS_DELETE,
               kgiTimesheetWindow::onCmdKeyEdit),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_KEYS_COPY_RANGE, kgiTimesheetWindow::ID_KEYS_FLIP_RANGE,
               kgiTimesheetWindow::onCmdRangeEdit),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_VIEW_NEW, kgiTimesheetWindow::onCmdViewNew),
    FXMAPFUNCS(FX::SEL_COMMAND, kgiTimesheetWindow::ID_UP_AXIS_1, kgiTimesheetWindow::ID_VIEWPOINT_MODE_1,
               kgiTimesheetWindow::onCmdViewAxes),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ROBOT_COM, kgiTimesheetWindow::onCmdRobotCom),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_ZOOM, kgiTimesheetWindow::onCmdZoom),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_REPEAT, kgiTimesheetWindow::onCmdRepeat),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_AUTO_RETURN, kgiTimesheetWindow::onCmdAutoReturn),
    FXMAPFUNC(FX::SEL_COMMAND, kgiTimesheetWindow::ID_CURVE_EDITOR, kgiTimesheetWindow::onCmdCurveEditor),
};

FXIMPLEMENT(kgiTimesheetWindow, FX::FXMainWindow, kgiTimesheetWindowMap, ARRAYNUMBER(kgiTimesheetWindowMap))

static_assert(static_cast<int>(FX::FXMainWindow::ID_LAST) == static_cast<int>(kgiMainCommandIds::ID_LOAD_TIMESHEET),
              "the main window's commands follow the toolkit's identifiers");
static_assert(static_cast<int>(FX::FXApp::ID_QUIT) == static_cast<int>(kgiMainCommandIds::ID_QUIT), "quit is the toolkit's quit identifier");

const char* const kgiTimesheetWindow::ICON_FILES[ICON_COUNT] = {
    "open.bmp", "save.bmp", "copy.bmp", "cut.bmp", "paste.bmp", "undo.bmp",
    "redo.bmp", "pose_undo.bmp", "pose_redo.bmp", "new.bmp", "zoom.bmp", "agent.bmp"};

const char* const kgiTimesheetWindow::PANE_KEYS[PANE_COUNT] = {
    kgiLangKey::File, kgiLangKey::View, kgiLangKey::Pose, kgiLangKey::Keys, kgiLangKey::Tools, kgiLangKey::Help};

namespace {

using Window = kgiTimesheetWindow;

// One line of a menu: a command, a check or (key null) a separator.
struct MenuLine {
    const char* key;
    int icon;  // Window::Icon, or -1
    int command;
    bool check;
    bool appText;
};

constexpr MenuLine SEPARATOR{nullptr, -1, 0, false, false};
constexpr MenuLine command(const char* key, int command, int icon = -1) { return {key, icon, command, false, false}; }
constexpr MenuLine check(const char* key, int command) { return {key, -1, command, true, false}; }
constexpr MenuLine appCommand(const char* key, int command) { return {key, -1, command, false, true}; }

namespace K = kgiLangKey;

const MenuLine FILE_MENU[] = {
    command(K::File_New, Window::ID_NEW),
    command(K::File_Open, Window::ID_LOAD_MDM, Window::ICON_OPEN),
    command(K::File_Save, Window::ID_SAVE_MDM, Window::ICON_SAVE),
    command(K::File_Save_as, Window::ID_SAVE_MDM_AS),
    SEPARATOR,
    command(K::File_Motion_Add, Window::ID_ADD_MDM),
    SEPARATOR,
    command(K::Import_PSF, Window::ID_IMPORT_PSF),
    SEPARATOR,
    appCommand(K::Media_Add, Window::ID_MEDIA_ADD),
    appCommand(K::Media_Remove, Window::ID_MEDIA_REMOVE),
    SEPARATOR,
    command(K::File_Quit, Window::ID_QUIT),
};
const MenuLine VIEW_MENU[] = {
    command(K::View_New, Window::ID_VIEW_NEW, Window::ICON_NEW),
    check(K::View_Media_Window, Window::ID_MEDIA_WINDOW),
    SEPARATOR,
};
const MenuLine POSE_MENU[] = {
    command(K::Pose_Undo, Window::ID_POSE_UNDO, Window::ICON_POSE_UNDO),
    command(K::Pose_Redo, Window::ID_POSE_REDO, Window::ICON_POSE_REDO),
    SEPARATOR,
    command(K::Pose_Reset, Window::ID_POSE_RESET),
    SEPARATOR,
    command(K::Pose_Local_flip, Window::ID_POSE_LOCAL_FLIP),
    command(K::Pose_World_flip, Window::ID_POSE_WORLD_FLIP),
    SEPARATOR,
    command(K::Pose_Save, Window::ID_POSE_SAVE),
    command(K::Pose_Load, Window::ID_POSE_LOAD),
};
const MenuLine KEYS_MENU[] = {
    command(K::Keys_Undo, Window::ID_KEYS_UNDO, Window::ICON_UNDO),
    command(K::Keys_Redo, Window::ID_KEYS_REDO, Window::ICON_REDO),
    SEPARATOR,
    command(K::Keys_Copy, Window::ID_KEYS_COPY, Window::ICON_COPY),
    command(K::Keys_Cut, Window::ID_KEYS_CUT, Window::ICON_CUT),
    command(K::Keys_Paste, Window::ID_KEYS_PASTE, Window::ICON_PASTE),
    command(K::Keys_Delete, Window::ID_KEYS_DELETE),
    SEPARATOR,
    command(K::Keys_Copy_range, Window::ID_KEYS_COPY_RANGE),
    command(K::Keys_Flip_range, Window::ID_KEYS_FLIP_RANGE),
    command(K::Keys_Delete_range, Window::ID_KEYS_DELETE_RANGE),
};
const MenuLine TOOLS_MENU[] = {
    check(K::Auto_Return, Window::ID_AUTO_RETURN),
    SEPARATOR,
    check(K::Draw_Frame, Window::ID_DRAW_FRAME),
    check(K::Draw_MilliSec, Window::ID_DRAW_MILLISEC),
    SEPARATOR,
};
const MenuLine HELP_MENU[] = {
    command(K::Help_Help, Window::ID_HELP),
    SEPARATOR,
    command(K::Help_About, Window::ID_ABOUT),
};

struct MenuDef {
    const MenuLine* lines;
    size_t count;
};
template <size_t N>
constexpr MenuDef menu(const MenuLine (&lines)[N]) { return {lines, N}; }
const MenuDef MENUS[Window::PANE_COUNT] = {menu(FILE_MENU), menu(VIEW_MENU), menu(POSE_MENU),
                                          menu(KEYS_MENU), menu(TOOLS_MENU), menu(HELP_MENU)};

// The tool-bar buttons left to right; separators stand before the marked
// ones.
struct ButtonDef {
    int icon;  // -1: never an icon
    const char* fallback;  // null: the Tool_Option text
    int command;
    int separatorsBefore;
};
const ButtonDef BUTTONS[Window::BUTTON_COUNT] = {
    {Window::ICON_OPEN, "Open", Window::ID_LOAD_MDM, 0},
    {Window::ICON_SAVE, "Save", Window::ID_SAVE_MDM, 0},
    {Window::ICON_UNDO, "Undo", Window::ID_KEYS_UNDO, 1},
    {Window::ICON_REDO, "Redo", Window::ID_KEYS_REDO, 0},
    {Window::ICON_COPY, "Copy", Window::ID_KEYS_COPY, 1},
    {Window::ICON_CUT, "Cut", Window::ID_KEYS_CUT, 0},
    {Window::ICON_PASTE, "Paste", Window::ID_KEYS_PASTE, 0},
    {Window::ICON_ZOOM, "Zoom", Window::ID_ZOOM, 1},
    {-1, nullptr, Window::ID_OPTIONS, 2},
    {Window::ICON_AGENT, "Vevur", Window::ID_AGENT, 1},
};
constexpr int OPTION_BUTTON = 8;
constexpr int AGENT_BUTTON = 9;

int windowSlot(const char* key) {
    for (int i = 0; i < kgiLangKey::WINDOW_KEY_COUNT; ++i)
        if (std::strcmp(kgiLangKey::WINDOW_KEYS[i], key) == 0) return i;
    return -1;
}

// The toolkit's normal font as it was before the first switch to Japanese.
FX::FXString& defaultFontName() {
    static FX::FXString name;
    return name;
}

// Marks every window below w for layout and repaint.
void relayoutTree(FX::FXWindow* w) {
    for (FX::FXWindow* c = w->getFirst(); c; c = c->getNext()) relayoutTree(c);
    w->recalc();
    w->update();
}

} // namespace

kgiTimesheetWindow::kgiTimesheetWindow(kgiApp* app)
    : FX::FXMainWindow(app, "Time Line", nullptr, nullptr, FX::DECOR_ALL, 5, 30, 1024, 188, 0, 0, 0, 0, 0, 0),
      application(app) {
    setIcon(app->getAppIcon());
    loadToolbarIcons();

    docks[0] = new FX::FXDockSite(this, FX::LAYOUT_SIDE_TOP | FX::LAYOUT_FILL_X);
    docks[1] = new FX::FXDockSite(this, FX::LAYOUT_SIDE_BOTTOM | FX::LAYOUT_FILL_X);
    docks[2] = new FX::FXDockSite(this, FX::LAYOUT_SIDE_LEFT | FX::LAYOUT_FILL_Y);
    docks[3] = new FX::FXDockSite(this, FX::LAYOUT_SIDE_RIGHT | FX::LAYOUT_FILL_Y);

    menuShell = new FX::FXToolBarShell(this, FX::FRAME_RAISED, 0, 0, 0, 0, 4, 4);
    menuBar = new FX::FXMenuBar(docks[0], menuShell, FX::LAYOUT_FILL_X | FX::FRAME_RAISED, 0, 0, 0, 0, 3, 3, 2, 2,
                                4, 4);
    toolShell = new FX::FXToolBarShell(this, FX::FRAME_RAISED, 0, 0, 0, 0, 4, 4);
    toolBar = new FX::FXToolBar(docks[0], toolShell, FX::LAYOUT_DOCK_NEXT | FX::LAYOUT_FILL_X | FX::FRAME_RAISED,
                                0, 0, 0, 0, 3, 3, 2, 2, 4, 4);
    buildToolBar();
    buildMenus();
    toolTip = new FX::FXToolTip(app, 0);

    setLanguage(app->getSettings().language);
    setTimeDisplay(app->getSettings().drawNo);

    visual = new FX::FXGLVisual(app, FX::VISUAL_DOUBLEBUFFER);
    canvas = new kgiTimesheetCanvas(this, visual, this, ID_TIMELINE_CANVAS, FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, 0,
                                    0, 800, 200);

    // Folders are paths: they stay as the file system gives them.
    lastTimesheetFolder = app->getBaseDir().c_str();
    lastPoseFolder = app->getBaseDir().c_str();
    keyLatch = kgi3dKeyLatch();
    refreshEnabled = 1;
    shortcutsEnabled = 1;
}

kgiTimesheetWindow::~kgiTimesheetWindow() {
    if (application && application->getMainWindow() == this) {
        application->setMainWindow(nullptr);
        if (application->getTimelineCanvas() == canvas) application->setTimelineCanvas(nullptr);
    }
    // The toolkit leaves owned windows to their own end; the 3D windows
    // would keep a dangling owner, so they go first.
    for (FX::FXWindow* w = getApp()->getRootWindow()->getFirst(); w;) {
        FX::FXWindow* next = w->getNext();
        if (w->getOwner() == this && w->isMemberOf(FXMETACLASS(kgi3dWindow))) delete w;
        w = next;
    }
    for (FX::FXIcon*& icon : icons) {
        delete icon;
        icon = nullptr;
    }
    // The titles go with the menu bar; their panes are the window's.
    for (FX::FXMenuTitle* title : titles)
        if (title) title->setMenu(nullptr);
    for (FX::FXMenuPane*& pane : panes) {
        delete pane;
        pane = nullptr;
    }
    entries.clear();
    delete toolTip;
    toolTip = nullptr;
    // The canvas before the visual it draws with.
    delete canvas;
    canvas = nullptr;
    delete visual;
    visual = nullptr;
}

void kgiTimesheetWindow::loadToolbarIcons() {
    const std::string folder = kutAppendPath(kutAppendPath(application->getBaseDir(), "icons"), "toolbar");
    for (int i = 0; i < ICON_COUNT; ++i) {
        icons[static_cast<size_t>(i)] = nullptr;
        // The pixels go to the icon, which frees them.
        kutFoxImg bitmap(false);
        if (!bitmap.loadBitmap(kutPrependPath(folder, ICON_FILES[i]))) continue;
        auto* icon = new FX::FXIcon(getApp(), reinterpret_cast<FX::FXColor*>(bitmap.getPixels()),
                                    FXRGB(192, 192, 192), FX::IMAGE_ALPHACOLOR | FX::IMAGE_OWNED,
                                    bitmap.getWidth(), bitmap.getHeight());
        icon->scale(16, 16);
        icons[static_cast<size_t>(i)] = icon;
    }
}

void kgiTimesheetWindow::buildToolBar() {
    new FX::FXToolBarGrip(toolBar, toolBar, FX::FXToolBar::ID_TOOLBARGRIP, FX::TOOLBARGRIP_DOUBLE);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonDef& def = BUTTONS[i];
        for (int s = 0; s < def.separatorsBefore; ++s)
            new FX::FXVerticalSeparator(toolBar, FX::SEPARATOR_GROOVE | FX::LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 1, 1);
        FX::FXIcon* icon = def.icon >= 0 ? icons[static_cast<size_t>(def.icon)] : nullptr;
        FX::FXString text;
        if (!icon) text = def.fallback ? def.fallback : "";
        FX::FXuint opts = FX::BUTTON_TOOLBAR | FX::FRAME_RAISED;
        if (i == AGENT_BUTTON) opts |= FX::LAYOUT_RIGHT;
        auto* b = new FX::FXButton(toolBar, text, icon, this, static_cast<FX::FXSelector>(def.command), opts, 0, 0, 0,
                                   0, 2, 2, 2, 2);
        if (def.command == ID_ZOOM) b->setTipText("Zoom");
        buttons[static_cast<size_t>(i)] = b;
        buttonCommands[static_cast<size_t>(i)] = def.command;
    }
}

void kgiTimesheetWindow::buildMenus() {
    for (int p = 0; p < PANE_COUNT; ++p) {
        auto* pane = new FX::FXMenuPane(this);
        panes[static_cast<size_t>(p)] = pane;
        const MenuDef& def = MENUS[p];
        for (size_t i = 0; i < def.count; ++i) {
            const MenuLine& line = def.lines[i];
            if (!line.key) {
                new FX::FXMenuSeparator(pane);
                continue;
            }
            const FX::FXSelector sel = static_cast<FX::FXSelector>(line.command);
            FX::FXMenuCaption* widget = nullptr;
            if (line.check) {
                widget = new FX::FXMenuCheck(pane, FX::FXString(), this, sel, 0);
            } else {
                FX::FXIcon* icon = line.icon >= 0 ? icons[static_cast<size_t>(line.icon)] : nullptr;
                widget = new FX::FXMenuCommand(pane, FX::FXString(), icon, this, sel, 0);
            }
            entries.push_back({widget, line.command, line.key, line.appText, line.check});
            entryPanes.push_back(p);
        }
    }
    for (int p = 0; p < PANE_COUNT; ++p)
        titles[static_cast<size_t>(p)] = new kgiMenuTitle(menuBar, FX::FXString(), nullptr, panes[static_cast<size_t>(p)]);
}

void kgiTimesheetWindow::create() {
    FX::FXMainWindow::create();
    // The first 3D window; it registers its canvas with the application and
    // deletes itself when closed.
    auto* view = new kgi3dWindow(this, "3DView", 20, 250, 640, 450);
    view->create();
    menuShell->create();
    toolShell->create();
    toolTip->create();
    for (FX::FXIcon* icon : icons)
        if (icon) icon->create();
    show();
}

FX::FXButton* kgiTimesheetWindow::getButton(int i) const {
    return i >= 0 && i < BUTTON_COUNT ? buttons[static_cast<size_t>(i)] : nullptr;
}

FX::FXMenuPane* kgiTimesheetWindow::getMenuPane(int i) const {
    return i >= 0 && i < PANE_COUNT ? panes[static_cast<size_t>(i)] : nullptr;
}

FX::FXMenuTitle* kgiTimesheetWindow::getMenuTitle(int i) const {
    return i >= 0 && i < PANE_COUNT ? titles[static_cast<size_t>(i)] : nullptr;
}

FX::FXMenuCaption* kgiTimesheetWindow::findMenuEntry(int command, bool check) const {
    for (const MenuEntry& e : entries)
        if (e.command == command && e.check == check) return e.widget;
    return nullptr;
}

FX::FXMenuCheck* kgiTimesheetWindow::findMenuCheck(int command) const {
    return static_cast<FX::FXMenuCheck*>(findMenuEntry(command, true));
}

int kgiTimesheetWindow::paneIndexOf(const char* key) const {
    for (int p = 0; p < PANE_COUNT; ++p)
        if (key && std::strcmp(PANE_KEYS[p], key) == 0) return p;
    return -1;
}

FX::FXWindow* kgiTimesheetWindow::lockWidget(int i) const {
    const kgiLockTarget t = kgiMainCommandTable::target(i);
    switch (t.kind) {
    case kgiLockTarget::BUTTON:
        for (int b = 0; b < BUTTON_COUNT; ++b)
            if (buttonCommands[static_cast<size_t>(b)] == t.command) return buttons[static_cast<size_t>(b)];
        return nullptr;
    case kgiLockTarget::PANE:
        return getMenuPane(paneIndexOf(t.paneKey));
    case kgiLockTarget::MENU_COMMAND:
        return findMenuEntry(t.command, false);
    case kgiLockTarget::MENU_CHECK:
        return findMenuEntry(t.command, true);
    default:
        return nullptr;
    }
}

const FX::FXString& kgiTimesheetWindow::label(const char* key) const {
    static const FX::FXString none;
    const int slot = key ? windowSlot(key) : -1;
    return slot >= 0 ? labels[static_cast<size_t>(slot)] : none;
}

FX::FXWindow* kgiTimesheetWindow::timelineCanvas() { return canvas; }

void kgiTimesheetWindow::setStartFolders(const std::string& timesheetFolder, const std::string& poseFolder) {
    lastTimesheetFolder = timesheetFolder.c_str();
    lastPoseFolder = poseFolder.c_str();
}

// --- commands ---

long kgiTimesheetWindow::onCmdQuit(FX::FXObject*, FX::FXSelector, void*) {
    kgiCharacterServices& services = kgiCharacterServices::current();
    const std::string caption = kgiNarrowString::toNarrowText(label(kgiLangKey::File_Quit));
    if (services.askYesNo(caption, services.text(kgiLangKey::Me_QuitCheck))) getApp()->exit(0);
    return 1;
}

long kgiTimesheetWindow::onCmdLanguage(FX::FXObject*, FX::FXSelector sel, void*) {
    changeLanguage(FXSELID(sel) == ID_LANG_JPN ? kgiLanguageTable::JAPANESE : kgiLanguageTable::ENGLISH);
    return 1;
}

long kgiTimesheetWindow::onCmdTimeDisplay(FX::FXObject*, FX::FXSelector sel, void*) {
    setTimeDisplay(FXSELID(sel) == ID_DRAW_MILLISEC ? 1 : 0);
    return 1;
}

void kgiTimesheetWindow::setTimeDisplay(int mode) {
    FX::FXMenuCheck* frames = findMenuCheck(ID_DRAW_FRAME);
    FX::FXMenuCheck* seconds = findMenuCheck(ID_DRAW_MILLISEC);
    if (mode == 1 || mode == 0) {
        if (seconds) seconds->setCheck(mode == 1);
        if (frames) frames->setCheck(mode == 0);
        application->getSettings().drawNo = mode;
    }
    application->redrawViews();
}

// --- language ---

void kgiTimesheetWindow::setLanguage(int language) {
    application->loadLanguage(language);
    const kgiLanguageTable& table = application->getLanguageTable();
    for (int i = 0; i < kgiLangKey::WINDOW_KEY_COUNT; ++i) labels[static_cast<size_t>(i)] = table.windowText(i);
    applyLanguageFont(application->getSettings().language);
    application->relabelOptionsDialog();
    applyLabels();
}

void kgiTimesheetWindow::changeLanguage(int language) {
    setLanguage(language);
    if (canvas) canvas->rebuildPopupMenu();
    // The camera buttons carry words, so every 3D canvas takes the pictures
    // of the new language.
    for (kgiViewCanvas* view : application->getCanvases())
        if (auto* view3d = dynamic_cast<kgi3dCanvas*>(view))
            view3d->loadCameraButtonImages();
    application->redrawAll();
}

FX::FXString kgiTimesheetWindow::entryText(const MenuEntry& e) const {
    return e.appText ? application->languageText(e.key) : label(e.key);
}

void kgiTimesheetWindow::applyLabels() {
    for (int p = 0; p < PANE_COUNT; ++p)
        if (titles[static_cast<size_t>(p)]) titles[static_cast<size_t>(p)]->setText(label(PANE_KEYS[p]));
    for (const MenuEntry& e : entries) e.widget->setText(entryText(e));
    if (buttons[OPTION_BUTTON]) buttons[OPTION_BUTTON]->setText(label(kgiLangKey::Tool_Option));
}

void kgiTimesheetWindow::applyLanguageFont(int language) {
    FX::FXFont* font = getApp()->getNormalFont();
    if (!font) return;
    FX::FXString& original = defaultFontName();
    if (original.empty()) original = font->getFont();
    FX::FXString wanted = original;
    if (language == kgiLanguageTable::JAPANESE) {
        // Xft draws a missing glyph as a box and does not fall back to
        // another font, so Japanese needs a font that has both scripts.
        FX::FXFontDesc desc;
        font->getFontDesc(desc);
        std::strncpy(desc.face, "IPAGothic", sizeof(desc.face) - 1);
        desc.face[sizeof(desc.face) - 1] = '\0';
        FX::FXFont probe(getApp(), desc);
        wanted = probe.getFont();
    }
    if (wanted == font->getFont()) return;
    const bool created = font->id() != 0;
    if (created) font->destroy();
    font->setFont(wanted);
    if (created) {
        font->create();
        relayoutTree(getApp()->getRootWindow());
    }
}

// --- command locks ---

void kgiTimesheetWindow::updateCommandStates(const kgiMainCommandLocks& record) {
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i) {
        const kgiLockTarget t = kgiMainCommandTable::target(i);
        if (t.kind == kgiLockTarget::SHORTCUTS) {
            shortcutsEnabled = record[i];
        } else if (t.kind == kgiLockTarget::REFRESH) {
            refreshEnabled = record[i];
        } else if (FX::FXWindow* w = lockWidget(i)) {
            if (record[i])
                w->enable();
            else
                w->disable();
        }
    }
}

void kgiTimesheetWindow::lockAllCommands(kgiMainCommandLocks& record) { kgiMainCommandTable::fill(record, 0); }

void kgiTimesheetWindow::unlockAllCommands(kgiMainCommandLocks& record) { kgiMainCommandTable::fill(record, 1); }
