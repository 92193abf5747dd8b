#include "kgiTimesheetKeys.h"

#include "kgi3dWindowKeys.h"
#include "kgiMainCommandTable.h"

namespace {

// X11 key symbols.
constexpr unsigned KEY_SPACE = 0x20;
constexpr unsigned KEY_RETURN = 0xff0d;
constexpr unsigned KEY_HOME = 0xff50;
constexpr unsigned KEY_LEFT = 0xff51;
constexpr unsigned KEY_RIGHT = 0xff53;
constexpr unsigned KEY_PAGE_UP = 0xff55;
constexpr unsigned KEY_PAGE_DOWN = 0xff56;
constexpr unsigned KEY_END = 0xff57;
constexpr unsigned KEY_KP_HOME = 0xff95;
constexpr unsigned KEY_KP_PAGE_UP = 0xff9a;
constexpr unsigned KEY_KP_PAGE_DOWN = 0xff9b;
constexpr unsigned KEY_KP_END = 0xff9c;

using Ids = kgiMainCommandIds;

// The Ctrl+letter shortcuts and the commands they send.
struct CtrlShortcut {
    unsigned letter;
    int command;
};
constexpr CtrlShortcut CTRL_SHORTCUTS[] = {
    {'d', Ids::ID_KEYS_DELETE_RANGE}, {'y', Ids::ID_KEYS_COPY_RANGE}, {'z', Ids::ID_KEYS_UNDO},
    {'r', Ids::ID_KEYS_REDO},         {'c', Ids::ID_KEYS_COPY},       {'x', Ids::ID_KEYS_CUT},
    {'v', Ids::ID_KEYS_PASTE},
};

} // namespace

kgiTimesheetKeys::Result kgiTimesheetKeys::dispatch(unsigned code, unsigned state, bool latch, bool shortcutsEnabled) {
    Result r;
    if (latch) {
        r.action = SKIPPED;
        r.latch = true;
        return r;
    }
    const bool ctrl = (state & kgi3dWindowKeys::CONTROL_MASK) != 0;
    if (ctrl && code == 'a') {
        r.action = REFRESH_TIMELINE;
        r.latch = true;
        return r;
    }
    if (kgi3dWindowKeys::isModifierKey(code)) return r;
    if (!shortcutsEnabled) {
        r.action = LOCKED;
        return r;
    }
    if (ctrl) {
        for (const CtrlShortcut& s : CTRL_SHORTCUTS)
            if (s.letter == code) {
                r.action = SEND_COMMAND;
                r.command = s.command;
                r.latch = true;
                return r;
            }
    }
    switch (code) {
    case KEY_SPACE:
        r.action = ADD_KEY;
        r.latch = true;
        break;
    case KEY_RETURN:
        r.action = TOGGLE_PLAY;
        r.latch = true;
        break;
    case KEY_PAGE_UP:
    case KEY_KP_PAGE_UP:
        r.action = PAGE_FORWARD;
        break;
    case KEY_PAGE_DOWN:
    case KEY_KP_PAGE_DOWN:
        r.action = PAGE_BACK;
        break;
    case KEY_HOME:
    case KEY_KP_HOME:
        r.action = GO_TO_START;
        break;
    case KEY_END:
    case KEY_KP_END:
        r.action = GO_TO_END;
        break;
    case KEY_RIGHT:
        r.action = NEXT_FRAME;
        break;
    case KEY_LEFT:
        r.action = PREV_FRAME;
        break;
    default:
        break;
    }
    return r;
}
