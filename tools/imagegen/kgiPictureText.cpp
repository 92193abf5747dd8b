#include "kgiPictureText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <vector>

namespace {

// Code points of a UTF-8 string; a malformed byte stands for itself.
std::vector<std::uint32_t> codePoints(const std::string& s) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
        if (i + extra >= s.size()) extra = 0;
        std::uint32_t cp = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

FT_Face asFace(void* f) { return static_cast<FT_Face>(f); }

std::uint8_t blend(std::uint8_t from, std::uint8_t to, unsigned a) {
    return static_cast<std::uint8_t>((from * (255 - a) + to * a + 127) / 255);
}

} // namespace

kgiPictureFont::kgiPictureFont(const std::string& path) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return;
    library = lib;
    FT_Face f = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &f) == 0) face = f;
}

kgiPictureFont::~kgiPictureFont() {
    if (face) FT_Done_Face(asFace(face));
    if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
}

int kgiPictureFont::textWidth(const std::string& utf8, int pixels) {
    if (!face) return 0;
    FT_Face f = asFace(face);
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixels));
    long width = 0;
    for (std::uint32_t cp : codePoints(utf8))
        if (FT_Load_Char(f, cp, FT_LOAD_DEFAULT) == 0) width += f->glyph->advance.x;
    return static_cast<int>((width + 63) / 64);
}

void kgiPictureFont::draw(kgiPicture& p, const std::string& utf8, int pixels, int x, int baseline,
                          kgiRgb ink) {
    if (!face) return;
    FT_Face f = asFace(face);
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixels));
    long pen = static_cast<long>(x) * 64;
    for (std::uint32_t cp : codePoints(utf8)) {
        if (FT_Load_Char(f, cp, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = f->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const int left = static_cast<int>(pen / 64) + g->bitmap_left;
        const int top = baseline - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const unsigned a = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
                if (a == 0) continue;
                const int px = left + static_cast<int>(col), py = top + static_cast<int>(row);
                if (!p.contains(px, py)) continue;
                const kgiRgb under = p.at(px, py);
                p.set(px, py, kgiRgb(blend(under.r, ink.r, a), blend(under.g, ink.g, a), blend(under.b, ink.b, a)));
            }
        pen += g->advance.x;
    }
}

void kgiPictureFont::drawCentred(kgiPicture& p, const std::string& utf8, int pixels, int cx,
                                 int baseline, int maxWidth, kgiRgb ink) {
    int size = pixels;
    while (size > 6 && textWidth(utf8, size) > maxWidth) --size;
    draw(p, utf8, size, cx - textWidth(utf8, size) / 2, baseline, ink);
}
