#include "kgiGLTextPrinter.h"

#include <GL/gl.h>
#include <FTGL/ftgl.h>

#include <cstdarg>
#include <cstdio>

namespace {

// Screen text is laid out in points at 72 dots per inch, so a face size is
// a height in pixels for the raster fonts.
const unsigned TEXT_DPI = 72;

FTFont* createFont(int kind, const char* file)
{
    switch (kind) {
    case kgiGLTextPrinter::OUTLINE: return new FTOutlineFont(file);
    case kgiGLTextPrinter::POLYGON: return new FTPolygonFont(file);
    case kgiGLTextPrinter::TEXTURE: return new FTTextureFont(file);
    case kgiGLTextPrinter::BITMAP: return new FTBitmapFont(file);
    case kgiGLTextPrinter::PIXMAP: return new FTPixmapFont(file);
    default: return nullptr;
    }
}

bool isRasterKind(int kind)
{
    return kind == kgiGLTextPrinter::BITMAP || kind == kgiGLTextPrinter::PIXMAP;
}

} // namespace

kgiGLTextPrinter::kgiGLTextPrinter(int kind) : kind(kind) {}

kgiGLTextPrinter::kgiGLTextPrinter(const std::string& fontFile, int kind) : kind(kind)
{
    loadFont(fontFile);
}

kgiGLTextPrinter::~kgiGLTextPrinter()
{
    dropFont();
}

void kgiGLTextPrinter::dropFont()
{
    delete font;
    font = nullptr;
}

void kgiGLTextPrinter::loadFont(const std::string& fontFile)
{
    dropFont();
    font = createFont(kind, fontFile.c_str());
    // A font FreeType could not open has no face: FTGL crashes on its first
    // FaceSize, so such an object is not kept.
    if (font && font->Error() != 0)
        dropFont();
}

void kgiGLTextPrinter::setKind(int k)
{
    if (k == kind)
        return;
    dropFont();
    kind = k;
}

void kgiGLTextPrinter::setFaceSize(unsigned size)
{
    if (font)
        font->FaceSize(size, TEXT_DPI);
}

unsigned kgiGLTextPrinter::getFaceSize() const
{
    return font ? font->FaceSize() : 0;
}

void kgiGLTextPrinter::begin()
{
    if (kind == TEXTURE) {
        textureWasOn = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        blendWasOn = glIsEnabled(GL_BLEND) == GL_TRUE;
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        if (blendWasOn) {
            GLint src = 0;
            GLint dst = 0;
            glGetIntegerv(GL_BLEND_SRC, &src);
            glGetIntegerv(GL_BLEND_DST, &dst);
            savedBlendSrc = src;
            savedBlendDst = dst;
        }
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glPushMatrix();
}

void kgiGLTextPrinter::end()
{
    glPopMatrix();
    if (kind == TEXTURE) {
        if (blendWasOn)
            glBlendFunc(static_cast<GLenum>(savedBlendSrc), static_cast<GLenum>(savedBlendDst));
        else
            glDisable(GL_BLEND);
        if (!textureWasOn)
            glDisable(GL_TEXTURE_2D);
    }
}

void kgiGLTextPrinter::print(float x, float y, const char* format, ...)
{
    if (!font || !format)
        return;
    if (isRasterKind(kind))
        glRasterPos2f(x, y);
    else
        glTranslatef(x, y, 0.0f);
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    font->Render(text);
}

float kgiGLTextPrinter::advance(const char* format, ...)
{
    if (!font || !format)
        return 0.0f;
    char measured[MAX_TEXT + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(measured, sizeof measured, format, args);
    va_end(args);
    return font->Advance(measured);
}
