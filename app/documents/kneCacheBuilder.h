#pragma once
// The build cache: one process-wide record that fills the element data of
// one data entry frame by frame. The entry being built carries MARKER in its
// cash_wp until end() (never an address: a file must not hold one). The
// cache points into the object's table: end it before the scene is reset.
#include "kneSceneData.h"

#include <cstdint>
#include <cstdio>

class kneSceneObject;

class kneCacheBuilder {
public:
    enum Code : uint16_t {
        E_HOLDS_DATA = 91,  // an element of the entry already has data
        E_ACTIVE = 92,      // begin while another entry is being built
        E_NO_ELEMENTS = 93, // the entry has no element array
        E_ELEMENT = 94,     // element index not below nbEntry
        E_FRAME = 95,       // frame not below nbArray
        E_OFFSET = 96,      // frame offset past the bank's bytes
        W_DATA_SET = 92,    // end: an element's data handle is already set
        W_SUBLIST_SET = 95, // end: an element's sub-list is already set
    };
    static constexpr uint32_t MARKER = 1;

    // Starts on entry of object with frame records of fbits and selects
    // firstElement. Returns the status word (0 on success).
    static uint32_t begin(kneSceneObject* object, kneDataEntry entry, uint32_t fbits,
                          int firstElement);
    // Selects an element (-1: keep) and then a frame (-1: the next one).
    // A bad index frees the cache.
    static uint32_t seek(int element, int frame);
    static uint32_t seekFrame(int frame, int element) { return seek(element, frame); }
    // Stores each bank's data handle in its element and frees the cache.
    static uint32_t end(kneDataEntry entry);

    static bool isActive();
    // Where the selected frame's record goes; null when nothing is selected.
    static uint8_t* currentData();
    // Bytes of one frame record of a data type: no type of this system
    // defines one, so the banks stay empty.
    static uint32_t recordBytes(uint32_t type);
    // Prints the cache state ("[KNEBuildCashDebug]").
    static void dump(FILE* out);
};
