#include "kgi3dWindowKeys.h"

namespace {

// X11 key symbols.
constexpr unsigned KEY_SPACE = 0x20;
constexpr unsigned KEY_A = 0x61;
constexpr unsigned KEY_F = 0x66;
constexpr unsigned KEY_H = 0x68;
constexpr unsigned KEY_K = 0x6b;
constexpr unsigned KEY_L = 0x6c;
constexpr unsigned KEY_R = 0x72;
constexpr unsigned KEY_Z = 0x7a;
constexpr unsigned KEY_RETURN = 0xff0d;
constexpr unsigned KEY_LEFT = 0xff51;
constexpr unsigned KEY_RIGHT = 0xff53;

} // namespace

bool kgi3dWindowKeys::isModifierKey(unsigned code)
{
    // Shift_L, Shift_R, Control_L, Control_R, Alt_L, Alt_R.
    return (code >= 0xffe1 && code <= 0xffe4) || code == 0xffe9 || code == 0xffea;
}

kgi3dWindowKeys::Result kgi3dWindowKeys::dispatch(unsigned code, unsigned state, bool latch, bool locked)
{
    Result r;
    r.latch = latch;
    if (latch) {
        r.handled = 0;
        return r;
    }
    const bool ctrl = (state & CONTROL_MASK) != 0;
    if (ctrl && code == KEY_A) {
        r.action = REFRESH_TIMELINE;
        r.latch = true;
        return r;
    }
    if (isModifierKey(code))
        return r;
    if (locked) {
        r.action = LOCKED;
        return r;
    }
    switch (code) {
    case KEY_Z:
        if (ctrl) {
            r.action = UNDO_POSE;
            r.latch = true;
        }
        break;
    case KEY_R:
        r.action = ctrl ? REDO_POSE : CLEAR_IK_GROUP;
        r.latch = true;
        break;
    case KEY_SPACE:
        r.action = ADD_KEY;
        r.latch = true;
        break;
    case KEY_RETURN:
        r.action = TOGGLE_PLAY;
        r.latch = true;
        break;
    case KEY_F:
        r.action = ctrl ? FLIP_WORLD : FLIP_LOCAL;
        break;
    case KEY_L:
        r.action = PUT_ON_FLOOR;
        break;
    case KEY_H:
        r.action = RESET_POSE;
        break;
    case KEY_K:
        r.action = TOGGLE_IK_FK;
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

bool kgi3dKeyLatch::press(unsigned code, unsigned time)
{
    if (releasePending && code == releaseCode && time == releaseTime)
        latched = latchBeforeRelease;
    releasePending = false;
    return latched;
}

void kgi3dKeyLatch::release(unsigned code, unsigned time)
{
    latchBeforeRelease = latched;
    releasePending = true;
    releaseCode = code;
    releaseTime = time;
    latched = false;
}
