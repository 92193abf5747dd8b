#pragma once
// What a key press means in the main window, apart from the window: the
// shortcut table, the lesson lock of the keyboard and the one-shot latch.
// The window asks `dispatch` for each press and carries out the action it
// names; tests drive the same function with plain numbers.
//
// Key symbols and state bits are the toolkit's (X11's): letters are the
// lower-case symbols (Shift gives the upper-case ones, which match
// nothing), Ctrl is state bit 4, and state is read by bits, never whole
// (Num Lock adds a bit of its own).

class kgiTimesheetKeys {
public:
    enum Action {
        NONE,             // a key of no shortcut, a letter without Ctrl, a modifier
        SKIPPED,          // latched: "Skipping ky down event" and nothing else
        REFRESH_TIMELINE, // Ctrl+a: the range from the keys, with the lesson check
        LOCKED,           // the keyboard is locked: the not-good sound and a line
        SEND_COMMAND,     // `command` sent to the window, as its menu entry sends it
        ADD_KEY,          // Space: a key at the current frame
        TOGGLE_PLAY,      // Return
        PAGE_FORWARD,     // Page Up (and its keypad key): the next page
        PAGE_BACK,        // Page Down: the previous page
        GO_TO_START,      // Home
        GO_TO_END,        // End
        NEXT_FRAME,       // Right arrow
        PREV_FRAME        // Left arrow
    };

    struct Result {
        Action action = NONE;
        int command = 0;
        // The latch after the press: an editing key acts once per press
        // however long it is held; paging and stepping act on every repeat.
        bool latch = false;
    };

    // The press of `code` with `state` while the latch is `latch` and the
    // keyboard is usable or not (the lock record's shortcut byte). Ctrl+a
    // comes before the lock; Shift, Control and Alt pass it silently.
    static Result dispatch(unsigned code, unsigned state, bool latch, bool shortcutsEnabled);
};
