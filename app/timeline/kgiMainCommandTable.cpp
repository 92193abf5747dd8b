#include "kgiMainCommandTable.h"

#include "kgiLangKeys.h"

namespace {

using Ids = kgiMainCommandIds;

kgiLockTarget button(int command) { return {kgiLockTarget::BUTTON, command, nullptr}; }
kgiLockTarget pane(const char* key) { return {kgiLockTarget::PANE, 0, key}; }
kgiLockTarget item(int command) { return {kgiLockTarget::MENU_COMMAND, command, nullptr}; }
kgiLockTarget check(int command) { return {kgiLockTarget::MENU_CHECK, command, nullptr}; }

// Bytes 0 to 53 in order.
const kgiLockTarget TABLE[kgiMainCommandLocks::SIZE] = {
    button(Ids::ID_LOAD_MDM),           // 0
    button(Ids::ID_SAVE_MDM),           // 1
    button(Ids::ID_KEYS_UNDO),          // 2
    button(Ids::ID_KEYS_REDO),          // 3
    button(Ids::ID_KEYS_COPY),          // 4
    button(Ids::ID_KEYS_CUT),           // 5
    button(Ids::ID_KEYS_PASTE),         // 6
    button(Ids::ID_ZOOM),               // 7
    button(Ids::ID_OPTIONS),            // 8
    {},                                 // 9
    pane(kgiLangKey::File),             // 10
    pane(kgiLangKey::View),             // 11
    pane(kgiLangKey::Pose),             // 12
    pane(kgiLangKey::Keys),             // 13
    pane(kgiLangKey::Tools),            // 14
    pane(kgiLangKey::Help),             // 15
    item(Ids::ID_NEW),                  // 16
    item(Ids::ID_LOAD_MDM),             // 17
    item(Ids::ID_SAVE_MDM),             // 18
    item(Ids::ID_SAVE_MDM_AS),          // 19
    item(Ids::ID_ADD_MDM),              // 20
    item(Ids::ID_QUIT),                 // 21
    item(Ids::ID_IMPORT_PSF),           // 22
    item(Ids::ID_MEDIA_ADD),            // 23
    item(Ids::ID_MEDIA_REMOVE),         // 24
    item(Ids::ID_VIEW_NEW),             // 25
    check(Ids::ID_MEDIA_WINDOW),        // 26
    item(Ids::ID_POSE_UNDO),            // 27
    item(Ids::ID_POSE_REDO),            // 28
    item(Ids::ID_POSE_RESET),           // 29
    item(Ids::ID_POSE_LOCAL_FLIP),      // 30
    item(Ids::ID_POSE_WORLD_FLIP),      // 31
    item(Ids::ID_POSE_SAVE),            // 32
    item(Ids::ID_POSE_LOAD),            // 33
    item(Ids::ID_KEYS_UNDO),            // 34
    item(Ids::ID_KEYS_REDO),            // 35
    item(Ids::ID_KEYS_COPY),            // 36
    item(Ids::ID_KEYS_CUT),             // 37
    item(Ids::ID_KEYS_PASTE),           // 38
    item(Ids::ID_KEYS_DELETE),          // 39
    item(Ids::ID_KEYS_COPY_RANGE),      // 40
    item(Ids::ID_KEYS_FLIP_RANGE),      // 41
    item(Ids::ID_KEYS_DELETE_RANGE),    // 42
    {},                                 // 43
    {},                                 // 44
    {},                                 // 45
    {},                                 // 46
    check(Ids::ID_AUTO_RETURN),         // 47
    check(Ids::ID_DRAW_FRAME),          // 48
    check(Ids::ID_DRAW_MILLISEC),       // 49
    item(Ids::ID_HELP),                 // 50
    item(Ids::ID_ABOUT),                // 51
    {kgiLockTarget::SHORTCUTS, 0, nullptr}, // 52
    {kgiLockTarget::REFRESH, 0, nullptr},   // 53
};

} // namespace

kgiLockTarget kgiMainCommandTable::target(int i) {
    return i >= 0 && i < kgiMainCommandLocks::SIZE ? TABLE[i] : kgiLockTarget{};
}

void kgiMainCommandTable::fill(kgiMainCommandLocks& record, unsigned char value) {
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i)
        if (isFilled(i)) record[i] = value;
}
