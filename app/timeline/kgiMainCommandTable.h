#pragma once
// The main window's command identifiers, and which widget each byte of the
// lessons' command-lock record (kgiMainCommandLocks) governs. Plain data: the
// window resolves each entry to its widget (buttons and menu entries by
// command identifier, panes by their title key).
#include "kgiCommandWindow.h"

// Identifiers of the main window's messages. The quit command uses the
// toolkit application's quit identifier; the rest follow the main window's
// own identifiers (FXMainWindow::ID_LAST is 60). Gaps are identifiers no
// command uses.
struct kgiMainCommandIds {
    enum : int {
        ID_QUIT = 1,
        ID_LOAD_TIMESHEET = 60,
        ID_ADD_TIMESHEET = 61,
        ID_SAVE_TIMESHEET = 62,
        ID_SAVE_TIMESHEET_AS = 63,
        // 64 to 66 and 104 are answered and do nothing.
        ID_SPARE_64 = 64,
        ID_SPARE_66 = 66,
        ID_ADD_MOTION = 67,
        ID_NEW = 68,
        ID_IMPORT_PSF = 69,
        ID_LOAD_MDM = 70,
        ID_ADD_MDM = 71,
        ID_SAVE_MDM = 72,
        ID_SAVE_MDM_AS = 73,
        ID_MEDIA_ADD = 76,
        ID_MEDIA_REMOVE = 77,
        ID_UNLOAD = 78,
        ID_POSE_RESET = 80,
        ID_POSE_UNDO = 81,
        ID_POSE_REDO = 82,
        ID_POSE_WORLD_FLIP = 83,
        ID_POSE_LOCAL_FLIP = 84,
        ID_MIRROR_MODE = 85,
        ID_POSE_SAVE = 86,
        ID_POSE_LOAD = 87,
        ID_KEYS_UNDO = 88,
        ID_KEYS_REDO = 89,
        ID_KEYS_CUT = 90,
        ID_KEYS_COPY = 91,
        ID_KEYS_PASTE = 92,
        ID_KEYS_DELETE = 93,
        ID_KEYS_COPY_RANGE = 94,
        ID_KEYS_DELETE_RANGE = 95,
        ID_KEYS_FLIP_RANGE = 96,
        ID_VIEW_NEW = 97,
        ID_UP_AXIS_1 = 98,
        ID_UP_AXIS_0 = 99,
        ID_VIEWPOINT_MODE_0 = 100,
        ID_VIEWPOINT_MODE_1 = 101,
        ID_MEDIA_WINDOW = 102,
        ID_AUX_WINDOW = 103,
        ID_SPARE_104 = 104,
        ID_CURVE_EDITOR = 105,
        ID_OPTIONS = 108,
        ID_ROBOT_COM = 111,
        ID_HELP = 113,
        ID_ABOUT = 114,
        ID_ZOOM = 115,
        ID_AGENT = 116,
        ID_REPEAT = 117,
        ID_AUTO_RETURN = 118,
        ID_TIMELINE_CANVAS = 119,
        ID_LANG_JPN = 120,
        ID_LANG_ENG = 121,
        ID_DRAW_FRAME = 122,
        ID_DRAW_MILLISEC = 123,
    };
};

// What one byte of the record governs.
struct kgiLockTarget {
    enum Kind {
        NONE,         // no widget: the byte is not read
        BUTTON,       // the tool-bar button sending `command`
        PANE,         // the menu pane whose title has the language key `paneKey`
        MENU_COMMAND, // the menu command sending `command`
        MENU_CHECK,   // the menu check sending `command`
        SHORTCUTS,    // the window's keyboard shortcuts
        REFRESH,      // the checked time-line refresh
    };
    Kind kind = NONE;
    int command = 0;
    const char* paneKey = nullptr;
};

class kgiMainCommandTable {
public:
    // The target of byte i (NONE out of range).
    static kgiLockTarget target(int i);
    // Whether updateCommandStates reads byte i (every byte but 9 and 43 to
    // 46).
    static bool isRead(int i) { return target(i).kind != kgiLockTarget::NONE; }
    // Whether the fills write byte i: 0 to 42 and 47 to 53.
    static bool isFilled(int i) { return (i >= 0 && i <= 42) || (i >= 47 && i < kgiMainCommandLocks::SIZE); }
    // Writes value into every filled byte of the record, nothing else.
    static void fill(kgiMainCommandLocks& record, unsigned char value);
};
