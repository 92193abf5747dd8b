#include "kgiGLTextPrinter.h"

#include "support/gl/kgiGLTest.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// The free face the build stages as font/arial.ttf; the build installs it.
const std::string FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

bool fontAvailable()
{
    if (FILE* f = std::fopen(FONT.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

class TextPrinter : public kgiGLTest {
protected:
    void SetUp() override
    {
        kgiGLTest::SetUp();
        ASSERT_TRUE(fontAvailable()) << FONT << " missing (package fonts-liberation)";
        // Window pixels: (0, 0) lower left, one unit per pixel.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, WIDTH, 0, HEIGHT, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST(TextPrinterNoGL, WithoutUsableFontEveryCallIsANoOp)
{
    struct Case {
        const char* what;
        std::string file;
        int kind;
    };
    const Case cases[] = {
        {"missing file", "/nonexistent/font.ttf", kgiGLTextPrinter::PIXMAP},
        {"not a font", "/proc/self/cmdline", kgiGLTextPrinter::TEXTURE},
        {"kind below range", FONT, -1},
        {"kind above range", FONT, 5},
    };
    for (const Case& c : cases) {
        kgiGLTextPrinter p(c.file, c.kind);
        EXPECT_FALSE(p.hasFont()) << c.what;
        p.setFaceSize(20); // must not reach a font without a face
        EXPECT_EQ(p.getFaceSize(), 0u) << c.what;
        EXPECT_EQ(p.advance("%s", "abc"), 0.0f) << c.what;
        p.print(0, 0, "%s", "abc");
        EXPECT_STREQ(p.lastText(), "") << c.what;
    }
}

TEST(TextPrinterNoGL, SetKindKeepsFontOnlyForTheSameKind)
{
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::BITMAP);
    ASSERT_TRUE(p.hasFont());
    p.setFaceSize(14);
    EXPECT_EQ(p.getFaceSize(), 14u);

    p.setKind(kgiGLTextPrinter::BITMAP);
    EXPECT_TRUE(p.hasFont());
    EXPECT_EQ(p.getFaceSize(), 14u);

    p.setKind(kgiGLTextPrinter::POLYGON);
    EXPECT_FALSE(p.hasFont());
    EXPECT_EQ(p.getKind(), kgiGLTextPrinter::POLYGON);
    p.loadFont(FONT);
    EXPECT_TRUE(p.hasFont());
}

TEST_F(TextPrinter, TextureKindPutsBlendAndTextureStateBack)
{
    struct Case {
        bool blend;
        bool texture;
        GLenum src, dst;
    };
    const Case cases[] = {
        {false, false, GL_ONE, GL_ZERO},
        {true, true, GL_ONE, GL_ONE},
        {true, false, GL_DST_COLOR, GL_SRC_COLOR},
        {false, true, GL_ONE, GL_ZERO},
    };
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::TEXTURE);
    ASSERT_TRUE(p.hasFont());
    p.setFaceSize(12);
    for (const Case& c : cases) {
        c.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        c.texture ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        glBlendFunc(c.src, c.dst);

        p.begin();
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        p.print(2, 2, "blend %d", int(c.blend));
        p.end();

        EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, c.blend);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, c.texture);
        if (c.blend) {
            GLint src = 0, dst = 0;
            glGetIntegerv(GL_BLEND_SRC, &src);
            glGetIntegerv(GL_BLEND_DST, &dst);
            EXPECT_EQ(GLenum(src), c.src);
            EXPECT_EQ(GLenum(dst), c.dst);
        }
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(TextPrinter, EndUndoesTheTranslationOfVectorKinds)
{
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::POLYGON);
    ASSERT_TRUE(p.hasFont());
    p.setFaceSize(10);
    p.begin();
    p.print(5, 7, "a");
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 5.0f);
    EXPECT_FLOAT_EQ(m[13], 7.0f);
    p.end();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 0.0f);
    EXPECT_FLOAT_EQ(m[13], 0.0f);
}

// Columns of the colour buffer with a lit pixel: first and last, -1 when none.
std::pair<int, int> litColumns()
{
    const std::vector<unsigned char> px = kgiGLTest::readPixels(0, 0, kgiGLTest::WIDTH, kgiGLTest::HEIGHT);
    int first = -1, last = -1;
    for (int y = 0; y < kgiGLTest::HEIGHT; ++y)
        for (int x = 0; x < kgiGLTest::WIDTH; ++x)
            if (px[(y * kgiGLTest::WIDTH + x) * 4] > 128) {
                if (first < 0 || x < first) first = x;
                if (x > last) last = x;
            }
    return {first, last};
}

TEST_F(TextPrinter, AdvanceGivesTheWidthThePrintCovers)
{
    // Printed at right - advance, the text ends at right: how the canvas
    // right-aligns its frame counter and time display.
    struct Case {
        const char* what;
        int kind;
        unsigned size;
        int a, b;  // the text is "a" or, when b is not 0, "a/b"
    };
    const Case cases[] = {
        {"the 3D view's time display", kgiGLTextPrinter::TEXTURE, 30, 42, 0},
        {"a frame counter", kgiGLTextPrinter::PIXMAP, 12, 12, 30},
    };
    const float right = 60.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        kgiGLTextPrinter p(FONT, c.kind);
        ASSERT_TRUE(p.hasFont());
        p.setFaceSize(c.size);
        const std::string expected = c.b ? std::to_string(c.a) + "/" + std::to_string(c.b) : std::to_string(c.a);
        const float width = c.b ? p.advance("%d/%d", c.a, c.b) : p.advance("%d", c.a);
        EXPECT_GT(width, 10.0f);
        EXPECT_LT(width, right);
        EXPECT_STREQ(p.lastText(), "") << "advance must not touch the printed text";

        p.begin();
        if (c.b)
            p.print(right - width, 4.0f, "%d/%d", c.a, c.b);
        else
            p.print(right - width, 4.0f, "%d", c.a);
        p.end();
        EXPECT_EQ(p.lastText(), expected);
        const std::pair<int, int> cols = litColumns();
        // Glyphs sit inside their advance, less a side bearing of a pixel or
        // two (a few more at the larger size).
        EXPECT_GE(cols.first, int(right - width) - 1);
        EXPECT_LE(cols.second, int(right));
        EXPECT_GE(cols.second, int(right) - int(c.size / 4));
    }
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(TextPrinter, PixmapTextLandsOnScreen)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::PIXMAP);
    p.setFaceSize(40);
    p.begin();
    p.print(4, 8, "%s", "WM");
    p.end();
    const std::vector<unsigned char> px = readPixels(0, 0, WIDTH, HEIGHT);
    int lit = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        lit += px[i] > 128;
    EXPECT_GT(lit, 50);
}

TEST(TextPrinterNoGL, LongTextIsCutNotOverrun)
{
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::OUTLINE);
    p.setFaceSize(10);
    const std::string longText(2000, 'x');
    // Measuring needs no context; printing an outline font would, so only
    // the advance of the cut text is compared with the full measure.
    const float cut = p.advance("%s", longText.c_str());
    const float exact = p.advance("%s", std::string(kgiGLTextPrinter::MAX_TEXT, 'x').c_str());
    EXPECT_GT(exact, 0.0f);
    EXPECT_FLOAT_EQ(cut, exact);
}

TEST_F(TextPrinter, LongPrintedTextIsCutToTheLimit)
{
    kgiGLTextPrinter p(FONT, kgiGLTextPrinter::BITMAP);
    p.setFaceSize(8);
    p.begin();
    p.print(0, 0, "%s-%s", std::string(400, 'a').c_str(), std::string(400, 'b').c_str());
    p.end();
    EXPECT_EQ(std::string(p.lastText()).size(), size_t(kgiGLTextPrinter::MAX_TEXT));
}

} // namespace
