#pragma once
// The template language shared by the packet builder and the reply check.
// A template is N (packet bytes) followed by N pairs (kind, value); the value
// is used by literal items only, the others repeat their kind there.
#include <cstdint>

namespace kgiLinkKinds {

enum Class : uint8_t {
    LITERAL,       // 0: the value byte
    SERVO8,        // 1..24: TL-D8150 servo position kind - 1
    VAR8,          // an 8-bit command variable of that kind
    ID,            // 40: variable 40; its bit 0 clears the HX-3 length flag
    SUM7,          // 27: 7-bit sum of bytes 0..N-2, written to byte N-1
    SUM8,          // 42: 8-bit sum of bytes 0..N-2, written to byte N-1
    PAIR_HIGH,     // first kind of a 16-bit variable: its high byte
    PAIR_LOW,      // second kind: its low byte
    SPEED,         // 50: the speed byte, never 0
    TEXT32_FIRST,  // 51: restart the text cursor
    TEXT32_NEXT,   // 52
    TEXT32_LAST,   // 53: cursor back to 0 after the byte
    SERVO16,       // 91..138: HX-3 servo (kind - 91) / 2, odd high, even low
    TEXT65_FIRST,  // 148
    TEXT65_NEXT,   // 149
    TEXT65_LAST,   // 150
    TEXT24_FIRST,  // 247 (replies only)
    TEXT24_NEXT,   // 248
    TEXT24_LAST,   // 249
    STREAM,        // 250: next stream byte (sent); ignored in replies
    SUM251,        // 251: sent: 8-bit sum of bytes 0..N-3 in place; reply: board status
    BLOCK_ANSWER,  // 252: reply to a download block, "X" rejects it
    IGNORED,       // 26 in replies; kinds with nothing to send or store
};

// Class of kind k in a send template.
Class sendClass(uint8_t k);
// Class of kind k in a reply template (26 and 250 are ignored there).
Class replyClass(uint8_t k);

} // namespace kgiLinkKinds
