#pragma once
// Little-endian field access for the binary scene format. Every field of a
// .kmd file, and every record kept inside an id table, is read and written
// one byte at a time so the layout holds on any host.
#include <cstdint>
#include <cstring>

struct kneLE {
    static uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
    static uint32_t u32(const uint8_t* p)
    {
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
               (uint32_t(p[3]) << 24);
    }
    static float f32(const uint8_t* p)
    {
        uint32_t bits = u32(p);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    static void put16(uint8_t* p, uint16_t v)
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    }
    static void put32(uint8_t* p, uint32_t v)
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        p[3] = uint8_t(v >> 24);
    }
    static void putF32(uint8_t* p, float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        put32(p, bits);
    }
};
