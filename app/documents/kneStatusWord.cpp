#include "kneStatusWord.h"

namespace {
uint32_t g_status = 0;
}

uint32_t kneStatusWord::get() { return g_status; }

uint32_t kneStatusWord::setError(uint16_t code)
{
    g_status = (g_status & 0xFFFF0000u) | code;
    return g_status;
}

uint32_t kneStatusWord::setWarning(uint16_t code)
{
    g_status = (g_status & 0xFFFFu) | (uint32_t(code) << 16);
    return g_status;
}

void kneStatusWord::clear() { g_status = 0; }
