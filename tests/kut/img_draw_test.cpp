#include "bmp_fixture.h"
#include "kutImg.h"
#include "support/gl/kgiGLTest.h"

#include <GL/glu.h>

namespace {

class KutGLImgDraw : public kgiGLTest {
protected:
    void SetUp() override
    {
        kgiGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Window coordinates, as the tool bars draw.
        glMatrixMode(GL_PROJECTION);
        gluOrtho2D(0, WIDTH, 0, HEIGHT);
        glMatrixMode(GL_MODELVIEW);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

} // namespace

TEST_F(KutGLImgDraw, DrawsUpwardsFromTheRasterPosition)
{
    bmp::tempFile f(bmp::make(3, 2, bmp::gradient));
    kutGLImg img;
    ASSERT_TRUE(img.loadBitmap(f.path));
    img.draw(5, 7);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const bmp::rgb c = bmp::gradient(x, y);
            const auto p = readPixel(5 + x, 7 + (1 - y)); // the top row lands above
            EXPECT_EQ(p[0], c.r) << x << "," << y;
            EXPECT_EQ(p[1], c.g) << x << "," << y;
            EXPECT_EQ(p[2], c.b) << x << "," << y;
        }
    const auto outside = readPixel(8, 7);
    EXPECT_EQ(outside[0] + outside[1] + outside[2], 0);

    kutGLImg empty;
    empty.draw(20, 20);
    const auto untouched = readPixel(20, 20);
    EXPECT_EQ(untouched[0] + untouched[1] + untouched[2], 0);
    EXPECT_TRUE(glErrors().empty());
}
