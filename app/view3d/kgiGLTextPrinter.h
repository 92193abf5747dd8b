#pragma once
// printf-style text drawn into the current OpenGL context with a TrueType
// font. The 3D canvas prints its head-up lines with it, the frame line and
// the curve editor their labels. Which FTGL font class draws the text is a
// matter of the kind chosen at construction.
//
//   kgiGLTextPrinter hud(kutAppendPath(base, "font/arial.ttf"), kgiGLTextPrinter::PIXMAP);
//   hud.setFaceSize(12);
//   hud.begin();
//   hud.print(x - hud.advance("%d", frame), y, "%d", frame);  // right-aligned at x
//   hud.end();
#include <string>

class FTFont;

class kgiGLTextPrinter {
public:
    // The font kinds. Vector kinds (outline, polygon, texture) are placed
    // with glTranslatef and so move the current matrix; raster kinds
    // (bitmap, pixmap) are placed with glRasterPos2f.
    enum Kind { OUTLINE = 0, POLYGON = 1, TEXTURE = 2, BITMAP = 3, PIXMAP = 4 };

    // Texts are cut to this many characters; the rest is dropped.
    static constexpr int MAX_TEXT = 511;

    // No font yet: nothing prints until loadFont.
    explicit kgiGLTextPrinter(int kind);
    kgiGLTextPrinter(const std::string& fontFile, int kind);
    ~kgiGLTextPrinter();
    kgiGLTextPrinter(const kgiGLTextPrinter&) = delete;
    kgiGLTextPrinter& operator=(const kgiGLTextPrinter&) = delete;

    // Replaces the font by one of this printer's kind read from the file.
    // A kind outside 0..4, or a file FreeType cannot open as a font, leaves
    // no font (every later call a no-op). Needs no GL context.
    void loadFont(const std::string& fontFile);
    bool hasFont() const { return font != nullptr; }

    // A different kind drops the font: call loadFont again before printing.
    // The same kind keeps it.
    void setKind(int k);
    int getKind() const { return kind; }

    // Character height in points at 72 dots per inch, i.e. in pixels for
    // the raster kinds and in model units for the vector kinds.
    void setFaceSize(unsigned size);
    // 0 without a font.
    unsigned getFaceSize() const;

    // Bracket one or more print calls with begin and end. For the texture
    // kind begin switches on texturing and alpha blending; end puts both,
    // and the blend factors, back as begin found them. begin pushes the
    // modelview matrix and end pops it, so never leave one out.
    void begin();
    void end();

    // Formats and draws the text at (x, y). Vector kinds translate the
    // current matrix by (x, y), so a second print in the same begin/end is
    // placed relative to the first. Nothing without a font.
    void print(float x, float y, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // Width of the formatted text in the font, the same the matching print
    // would cover; 0 without a font. Leaves lastText alone.
    float advance(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The text of the last print, as formatted.
    const char* lastText() const { return text; }

private:
    void dropFont();

    FTFont* font = nullptr;
    char text[MAX_TEXT + 1] = {};
    int kind;
    bool blendWasOn = false;
    bool textureWasOn = false;
    int savedBlendSrc = 0;
    int savedBlendDst = 0;
};
