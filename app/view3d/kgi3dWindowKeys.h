#pragma once
// What a key press means in a 3D window, apart from the window: the
// shortcut table, the lesson lock and the one-shot latch. The window asks
// `dispatch` for each press and carries out the action it names; tests
// drive the same function and the latch with plain numbers.
//
// Key symbols and state bits are the toolkit's (X11's): Shift is bit 1,
// Ctrl bit 4, and Num Lock adds 0x10 on X11, so state is read by bits and
// never compared whole.

class kgi3dWindowKeys {
public:
    // What the window does for a press.
    enum Action {
        NONE,             // nothing (a key of no shortcut, a modifier)
        LOCKED,           // "The command is locked." and nothing else
        REFRESH_TIMELINE, // Ctrl+a: the time line is refreshed
        UNDO_POSE,        // Ctrl+z
        REDO_POSE,        // Ctrl+r
        CLEAR_IK_GROUP,   // r
        ADD_KEY,          // Space
        TOGGLE_PLAY,      // Return
        FLIP_WORLD,       // Ctrl+f: the pose mirrored with the root
        FLIP_LOCAL,       // f: the pose mirrored below the root
        PUT_ON_FLOOR,     // l
        RESET_POSE,       // h
        TOGGLE_IK_FK,     // k
        NEXT_FRAME,       // Right arrow
        PREV_FRAME        // Left arrow
    };

    struct Result {
        Action action = NONE;
        // The latch after the press: a latched shortcut acts once per press
        // however long its key is held.
        bool latch = false;
        // The handler's answer: 0 lets the press go on unhandled (only
        // while latched); 1 otherwise, so that no key, Escape included,
        // reaches the dialog's own handling.
        long handled = 1;
    };

    static constexpr unsigned SHIFT_MASK = 0x1;
    static constexpr unsigned CONTROL_MASK = 0x4;

    // The press of `code` with `state` while the latch is `latch` and view
    // editing is `locked` (a lesson forbids it). Ctrl+a works under the
    // lock; the modifier keys pass it silently; every other key is refused.
    static Result dispatch(unsigned code, unsigned state, bool latch, bool locked);

    // The Shift, Control and Alt keys themselves.
    static bool isModifierKey(unsigned code);
};

// The latch of a window, with the X11 auto-repeat seen for what it is: a
// held key repeats as a release and a press with the same time stamp, and
// that release must not clear the latch, or holding Space would add a key
// on every repeat. A release followed by a press of another key or at
// another time is a real one.
class kgi3dKeyLatch {
public:
    // The latch in effect for a press of `code` at `time`.
    bool press(unsigned code, unsigned time);
    // After the press was dispatched: the latch it left.
    void set(bool on) { latched = on; }
    // Clears the latch; remembers what it was in case a repeat's press
    // follows.
    void release(unsigned code, unsigned time);
    bool isSet() const { return latched; }

private:
    bool latched = false;
    bool releasePending = false;
    bool latchBeforeRelease = false;
    unsigned releaseCode = 0;
    unsigned releaseTime = 0;
};
