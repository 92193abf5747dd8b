#include "kgiLinkKinds.h"

namespace kgiLinkKinds {

namespace {

bool isVar8(unsigned k)
{
    return k == 26 || (k >= 28 && k <= 39) || k == 41 || (k >= 45 && k <= 49) ||
           (k >= 83 && k <= 86) || (k >= 139 && k <= 142) || (k >= 145 && k <= 147) ||
           k == 159 || (k >= 168 && k <= 200) || (k >= 213 && k <= 236);
}

// First kinds of the 16-bit variables; the second kind is first + 1.
bool isPairHigh(unsigned k)
{
    static const uint8_t FIRST[] = {43, 87, 89, 143, 151, 153, 155, 157, 160, 162,
                                    164, 166, 201, 203, 205, 207, 209, 211, 237, 239};
    for (uint8_t f : FIRST)
        if (f == k) return true;
    return false;
}

Class commonClass(unsigned k)
{
    if (k == 0) return LITERAL;
    if (k >= 1 && k <= 24) return SERVO8;
    if (k == 27) return SUM7;
    if (k == 40) return ID;
    if (k == 42) return SUM8;
    if (isVar8(k)) return VAR8;
    if (isPairHigh(k)) return PAIR_HIGH;
    if (k > 0 && isPairHigh(k - 1)) return PAIR_LOW;
    if (k == 50) return SPEED;
    if (k == 51) return TEXT32_FIRST;
    if (k == 52) return TEXT32_NEXT;
    if (k == 53) return TEXT32_LAST;
    if (k >= 91 && k <= 138) return SERVO16;
    if (k == 148) return TEXT65_FIRST;
    if (k == 149) return TEXT65_NEXT;
    if (k == 150) return TEXT65_LAST;
    return IGNORED;
}

} // namespace

Class sendClass(uint8_t k)
{
    if (k == 250) return STREAM;
    if (k == 251) return SUM251;
    return commonClass(k);
}

Class replyClass(uint8_t k)
{
    if (k == 26 || k == 250) return IGNORED;
    if (k == 247) return TEXT24_FIRST;
    if (k == 248) return TEXT24_NEXT;
    if (k == 249) return TEXT24_LAST;
    if (k == 251) return SUM251;
    if (k == 252) return BLOCK_ANSWER;
    return commonClass(k);
}

} // namespace kgiLinkKinds
