#pragma once
// Labels on pictures: UTF-8 text drawn with a TrueType or OpenType font
// through FreeType, each glyph's coverage blended from the picture's pixel
// towards the ink colour. The same font file gives the same pixels on
// every run.
#include "kgiPicture.h"

#include <string>

class kgiPictureFont {
public:
    // Opens the font file; ok() tells whether it could.
    explicit kgiPictureFont(const std::string& path);
    ~kgiPictureFont();
    kgiPictureFont(const kgiPictureFont&) = delete;
    kgiPictureFont& operator=(const kgiPictureFont&) = delete;

    bool ok() const { return face != nullptr; }
    // Advance width of the text in pixels at a size of `pixels` (em height).
    int textWidth(const std::string& utf8, int pixels);
    // Draws the text with its pen starting at x on the baseline y.
    void draw(kgiPicture& p, const std::string& utf8, int pixels, int x, int baseline, kgiRgb ink);
    // The largest size from `pixels` down to 6 at which the text is at most
    // maxWidth wide, drawn centred on cx.
    void drawCentred(kgiPicture& p, const std::string& utf8, int pixels, int cx, int baseline,
                     int maxWidth, kgiRgb ink);

private:
    void* library = nullptr;  // FT_Library
    void* face = nullptr;     // FT_Face
};
