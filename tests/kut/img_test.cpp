#include "bmp_fixture.h"
#include "kutImg.h"

#include <fxdefs.h>

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// One pixel of a kutGLImg buffer: bottom row first.
bmp::rgb glPixel(const kutImg& img, int x, int yFromTop, unsigned char* alpha = nullptr)
{
    const unsigned char* p =
        img.getPixels() + 4 * ((img.getHeight() - 1 - yFromTop) * img.getWidth() + x);
    if (alpha)
        *alpha = p[3];
    return {p[0], p[1], p[2]};
}

// One pixel of a kutFoxImg buffer as the toolkit reads it.
FX::FXColor foxPixel(const kutImg& img, int x, int yFromTop)
{
    FX::FXColor c;
    std::memcpy(&c, img.getPixels() + 4 * (yFromTop * img.getWidth() + x), sizeof c);
    return c;
}

bool same(bmp::rgb a, bmp::rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void expectEmpty(const kutImg& img, const std::string& what)
{
    EXPECT_EQ(img.getWidth(), 0) << what;
    EXPECT_EQ(img.getHeight(), 0) << what;
    EXPECT_EQ(img.getPixels(), nullptr) << what;
}

} // namespace

TEST(KutImg, ConvertsPaddedBgrRowsToRgbaForWidthsOneToFour)
{
    // One object of each kind, reloaded for every width.
    kutGLImg gl;
    kutFoxImg fox;
    for (int width = 1; width <= 4; ++width) {
        const int height = 3;
        const auto file = bmp::make(width, height, bmp::gradient);
        const size_t rowBytes = static_cast<size_t>(3 * width + (4 - 3 * width % 4) % 4);
        ASSERT_EQ(rowBytes % 4, 0u);
        ASSERT_EQ(file.size(), bmp::HEADERS + rowBytes * height);
        bmp::tempFile f(file);
        ASSERT_TRUE(gl.loadBitmap(f.path)) << width;
        ASSERT_TRUE(fox.loadBitmap(f.path)) << width;
        for (const kutImg* img : {static_cast<const kutImg*>(&gl), static_cast<const kutImg*>(&fox)}) {
            EXPECT_EQ(img->getWidth(), width);
            EXPECT_EQ(img->getHeight(), height);
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bmp::rgb c = bmp::gradient(x, y);
                unsigned char alpha = 0;
                EXPECT_TRUE(same(glPixel(gl, x, y, &alpha), c)) << width << ": " << x << "," << y;
                EXPECT_EQ(alpha, 255);
                // The toolkit's rows: top first, left to right.
                EXPECT_EQ(foxPixel(fox, x, y), FXRGBA(c.r, c.g, c.b, 255))
                    << width << ": " << x << "," << y;
            }
    }
}

TEST(KutImg, TopDownFileLoadsLikeItsBottomUpTwin)
{
    for (int height : {1, 2, 5}) {
        bmp::tempFile up(bmp::make(3, height, bmp::gradient));
        bmp::tempFile down(bmp::make(3, height, bmp::gradient, true));
        kutGLImg glUp, glDown;
        kutFoxImg foxUp, foxDown;
        ASSERT_TRUE(glUp.loadBitmap(up.path) && glDown.loadBitmap(down.path));
        ASSERT_TRUE(foxUp.loadBitmap(up.path) && foxDown.loadBitmap(down.path));
        const size_t bytes = 3u * height * 4;
        EXPECT_EQ(glDown.getHeight(), height);
        EXPECT_EQ(std::memcmp(glUp.getPixels(), glDown.getPixels(), bytes), 0) << height;
        EXPECT_EQ(std::memcmp(foxUp.getPixels(), foxDown.getPixels(), bytes), 0) << height;
    }
}

TEST(KutImg, KeyColourBecomesTransparent)
{
    const bmp::rgb magenta{255, 0, 255};
    auto colour = [&](int x, int y) -> bmp::rgb {
        if ((x + y) % 2 == 0)
            return magenta;
        return x == 1 ? bmp::rgb{255, 0, 254} : bmp::rgb{254, 0, 255};
    };
    bmp::tempFile f(bmp::make(3, 2, colour));
    kutGLImg img;
    ASSERT_TRUE(img.loadBitmap(f.path));
    img.setAlpha(255, 0, 255);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            unsigned char alpha = 0;
            glPixel(img, x, y, &alpha);
            EXPECT_EQ(alpha, same(colour(x, y), magenta) ? 0 : 255) << x << "," << y;
        }

    kutGLImg empty;
    empty.setAlpha(255, 0, 255);
    expectEmpty(empty, "empty");
}

TEST(KutImg, MalformedFilesFailAndLeaveTheImageEmpty)
{
    using bmp::put16;
    using bmp::put32;
    typedef std::vector<unsigned char> bytes;
    struct Case {
        const char* what;
        std::function<void(bytes&)> spoil;
    };
    const Case cases[] = {
        {"wrong magic", [](bytes& f) { put16(f, bmp::MAGIC, 0x4D43); }},
        {"8 bits", [](bytes& f) { put16(f, bmp::BITS, 8); }},
        {"32 bits", [](bytes& f) { put16(f, bmp::BITS, 32); }},
        {"compressed", [](bytes& f) { put32(f, bmp::COMPRESSION, 1); }},
        {"short information header", [](bytes& f) { put32(f, bmp::INFO_SIZE, 12); }},
        {"zero width", [](bytes& f) { put32(f, bmp::WIDTH, 0); }},
        {"zero height", [](bytes& f) { put32(f, bmp::HEIGHT, 0); }},
        {"negative width", [](bytes& f) { put32(f, bmp::WIDTH, static_cast<uint32_t>(-3)); }},
        {"width overflowing the row size", [](bytes& f) { put32(f, bmp::WIDTH, 0x7FFFFFFF); }},
        {"height overflowing the data size", [](bytes& f) { put32(f, bmp::HEIGHT, 0x40000000); }},
        {"most negative height", [](bytes& f) { put32(f, bmp::HEIGHT, 0x80000000); }},
        {"width above the limit",
         [](bytes& f) { put32(f, bmp::WIDTH, kutImg::MAX_SIDE + 1); f.resize(bmp::HEADERS + 4 * 49156); }},
        {"larger than the file", [](bytes& f) { put32(f, bmp::HEIGHT, 3); }},
        {"empty file", [](bytes& f) { f.clear(); }},
        {"truncated file header", [](bytes& f) { f.resize(10); }},
        {"truncated information header", [](bytes& f) { f.resize(30); }},
        {"truncated pixels", [](bytes& f) { f.pop_back(); }},
        {"pixel offset past the end", [](bytes& f) { put32(f, bmp::DATA_OFFSET, static_cast<uint32_t>(f.size() + 1)); }},
        {"pixel offset inside the headers", [](bytes& f) { put32(f, bmp::DATA_OFFSET, 20); }},
        {"pixels running past the end", [](bytes& f) { put32(f, bmp::DATA_OFFSET, bmp::HEADERS + 4); }},
    };
    const bytes good = bmp::make(3, 2, bmp::gradient);
    bmp::tempFile goodFile(good);
    for (const Case& c : cases) {
        bytes file = good;
        c.spoil(file);
        bmp::tempFile f(file);
        kutGLImg gl;
        kutFoxImg fox;
        ASSERT_TRUE(gl.loadBitmap(goodFile.path));
        ASSERT_TRUE(fox.loadBitmap(goodFile.path));
        EXPECT_FALSE(gl.loadBitmap(f.path)) << c.what;
        EXPECT_FALSE(fox.loadBitmap(f.path)) << c.what;
        expectEmpty(gl, c.what);
        expectEmpty(fox, c.what);
    }
    kutGLImg img;
    EXPECT_FALSE(img.loadBitmap(goodFile.path + ".missing"));
    expectEmpty(img, "missing file");
}

TEST(KutImg, CopiesNeverShareABufferThatBothFree)
{
    bmp::tempFile f(bmp::make(2, 2, bmp::gradient));
    kutGLImg original;
    ASSERT_TRUE(original.loadBitmap(f.path));
    kutGLImg copy(original);
    kutGLImg assigned;
    ASSERT_TRUE(assigned.loadBitmap(f.path));
    assigned = original;
    for (const kutGLImg* img : {&copy, &assigned}) {
        EXPECT_TRUE(img->isOwner());
        EXPECT_NE(img->getPixels(), original.getPixels());
        ASSERT_EQ(img->getWidth(), 2);
        EXPECT_EQ(std::memcmp(img->getPixels(), original.getPixels(), 16), 0);
    }
    copy.setAlpha(1, 2, 200); // the top-left pixel, in the copy only
    EXPECT_EQ(copy.getPixels()[11], 0);
    EXPECT_EQ(original.getPixels()[11], 255);
}

TEST(KutImg, NonOwningImageLeavesItsBufferToTheTaker)
{
    bmp::tempFile f(bmp::make(2, 1, bmp::gradient));
    unsigned char* first = nullptr;
    unsigned char* second = nullptr;
    {
        kutFoxImg fox(false);
        ASSERT_TRUE(fox.loadBitmap(f.path));
        first = fox.getPixels();
        ASSERT_TRUE(fox.loadBitmap(f.path)); // the first buffer was handed on
        second = fox.getPixels();
        kutFoxImg copy(fox);
        EXPECT_FALSE(copy.isOwner());
        EXPECT_EQ(copy.getPixels(), second);
    }
    // The toolkit releases an icon buffer it owns with free().
    FX::FXColor topLeft;
    std::memcpy(&topLeft, first, sizeof topLeft);
    EXPECT_EQ(topLeft, FXRGBA(1, 2, 200, 255));
    std::free(first);
    std::free(second);
}
