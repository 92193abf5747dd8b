#include "contact_sheet.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>

namespace {

std::uint32_t crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void putBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    putBe32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    putBe32(out, crc32(body.data(), body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks: a sheet is small,
// and this needs no library.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n & 0xff));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n & 0xff));
        out.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xff));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    putBe32(out, b << 16 | a);
    return out;
}

} // namespace

bool writeContactSheet(const std::vector<kgiPicture>& pictures, int scale, int perRow,
                       const std::string& path) {
    const int gap = 8;
    int cell = 1;
    for (const kgiPicture& p : pictures)
        cell = std::max({cell, p.getWidth() * scale, p.getHeight() * scale});
    const int count = static_cast<int>(pictures.size());
    const int rows = std::max(1, (count + perRow - 1) / perRow);
    kgiPicture sheet(gap + std::min(count, perRow) * (cell + gap), gap + rows * (cell + gap),
                     kgiRgb(72, 72, 96));
    for (int i = 0; i < count; ++i) {
        const kgiPicture& p = pictures[i];
        const int x0 = gap + (i % perRow) * (cell + gap);
        const int y0 = gap + (i / perRow) * (cell + gap);
        for (int y = 0; y < p.getHeight() * scale; ++y)
            for (int x = 0; x < p.getWidth() * scale; ++x)
                sheet.set(x0 + x, y0 + y, p.at(x / scale, y / scale));
    }

    std::vector<std::uint8_t> raw;
    for (int y = 0; y < sheet.getHeight(); ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < sheet.getWidth(); ++x) {
            const kgiRgb c = sheet.at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    putBe32(header, static_cast<std::uint32_t>(sheet.getWidth()));
    putBe32(header, static_cast<std::uint32_t>(sheet.getHeight()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlibStored(raw));
    chunk(png, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}
