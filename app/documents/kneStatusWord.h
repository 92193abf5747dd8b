#pragma once
// The binary-scene library's one process-wide status word: the last error
// code in the low 16 bits, the last warning code in the high 16 bits. There
// is one GUI thread, so it takes no lock.
#include <cstdint>

class kneStatusWord {
public:
    // The whole word; 0 means no error and no warning.
    static uint32_t get();
    // Stores an error code and keeps the warning half; returns the new word.
    static uint32_t setError(uint16_t code);
    // Stores a warning code and keeps the error half; returns the new word.
    static uint32_t setWarning(uint16_t code);
    static uint16_t error() { return uint16_t(get() & 0xFFFF); }
    static uint16_t warning() { return uint16_t(get() >> 16); }
    // Clears both halves; constructing a kneScene does this.
    static void clear();
};
