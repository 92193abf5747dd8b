#include "kutImg.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>

namespace {

// BMP layout: a 14-byte file header, then an information header of at least
// 40 bytes; all fields little-endian.
constexpr uint64_t FILE_HEADER_SIZE = 14;
constexpr uint64_t INFO_HEADER_SIZE = 40;
constexpr uint16_t BMP_MAGIC = 0x4D42; // "BM"

uint16_t le16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t sle32(const unsigned char* p)
{
    const uint32_t u = le32(p);
    int32_t s;
    std::memcpy(&s, &u, sizeof s);
    return s;
}

// One file row of B, G, R triples into R, G, B, 255.
void convertRow(const unsigned char* src, unsigned char* dst, int width)
{
    for (int x = 0; x < width; ++x, src += 3, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = 255;
    }
}

size_t rowStride(int width, int rowPadding)
{
    return 3 * static_cast<size_t>(width) + static_cast<size_t>(rowPadding);
}

// The file's rows (bottom row first) into RGBA rows, the bottom row first or,
// with topFirst, last.
void convertRows(const unsigned char* data, int rowPadding, unsigned char* pixels, int width,
                 int height, bool topFirst)
{
    const size_t stride = rowStride(width, rowPadding);
    for (int y = 0; y < height; ++y) {
        const int row = topFirst ? height - 1 - y : y;
        convertRow(data + y * stride, pixels + static_cast<size_t>(row) * width * 4, width);
    }
}

} // namespace

kutImg::kutImg(bool owner_) : pixels(nullptr), width(0), height(0), owner(owner_) {}

kutImg::kutImg(const kutImg& other) : pixels(nullptr), width(0), height(0), owner(other.owner)
{
    copyFrom(other);
}

kutImg& kutImg::operator=(const kutImg& other)
{
    if (this != &other) {
        freeData();
        copyFrom(other);
    }
    return *this;
}

kutImg::~kutImg()
{
    freeData();
}

void kutImg::copyFrom(const kutImg& other)
{
    owner = other.owner;
    width = other.width;
    height = other.height;
    if (!other.owner || !other.pixels) {
        pixels = other.pixels;
        return;
    }
    if (!allocatePixels()) {
        width = height = 0;
        return;
    }
    std::memcpy(pixels, other.pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

bool kutImg::allocatePixels()
{
    pixels = static_cast<unsigned char*>(
        std::malloc(static_cast<size_t>(width) * static_cast<size_t>(height) * 4));
    return pixels != nullptr;
}

void kutImg::freeData()
{
    if (owner)
        std::free(pixels);
    pixels = nullptr;
}

void kutImg::forceFreeData()
{
    std::free(pixels);
    pixels = nullptr;
}

bool kutImg::loadBitmap(std::string path)
{
    freeData();
    width = height = 0;

    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (end < 0 || !in)
        return false;
    const uint64_t fileSize = static_cast<uint64_t>(end);

    unsigned char head[FILE_HEADER_SIZE + INFO_HEADER_SIZE];
    if (!in.read(reinterpret_cast<char*>(head), sizeof head))
        return false;
    const unsigned char* info = head + FILE_HEADER_SIZE;
    const uint32_t dataOffset = le32(head + 10);
    const uint32_t infoSize = le32(info);
    const int32_t w = sle32(info + 4);
    const int32_t h = sle32(info + 8); // negative: rows stored top-down
    const uint16_t bitsPerPixel = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    if (le16(head) != BMP_MAGIC || infoSize < INFO_HEADER_SIZE || bitsPerPixel != 24 ||
        compression != 0)
        return false;
    if (w < 1 || w > MAX_SIDE || h == 0 || h < -MAX_SIDE || h > MAX_SIDE)
        return false;

    const int rows = h < 0 ? -h : h;
    const int padding = (4 - (3 * w) % 4) % 4; // rows are padded to 4 bytes
    const uint64_t stride = rowStride(w, padding);
    const uint64_t dataSize = stride * static_cast<uint64_t>(rows);
    if (dataOffset < FILE_HEADER_SIZE + infoSize || dataOffset > fileSize ||
        dataSize > fileSize - dataOffset)
        return false;

    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[dataSize]);
    if (!data)
        return false;
    if (!in.seekg(dataOffset, std::ios::beg) ||
        !in.read(reinterpret_cast<char*>(data.get()), static_cast<std::streamsize>(dataSize)))
        return false;
    if (h < 0) {
        // Bring a top-down file into the usual bottom-up order.
        for (int top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(data.get() + top * stride, data.get() + (top + 1) * stride,
                             data.get() + bottom * stride);
    }

    width = w;
    height = rows;
    if (!allocateData()) {
        pixels = nullptr;
        width = height = 0;
        return false;
    }
    readData(data.get(), padding);
    return true;
}

kutGLImg::kutGLImg(bool owner) : kutImg(owner) {}

bool kutGLImg::allocateData()
{
    return allocatePixels();
}

void kutGLImg::readData(const unsigned char* data, int rowPadding)
{
    convertRows(data, rowPadding, pixels, width, height, false);
}

void kutGLImg::setAlpha(unsigned char r, unsigned char g, unsigned char b)
{
    if (!pixels)
        return;
    unsigned char* p = pixels;
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < n; ++i, p += 4)
        if (p[0] == r && p[1] == g && p[2] == b)
            p[3] = 0;
}

void kutGLImg::draw(int x, int y) const
{
    if (!pixels)
        return;
    glRasterPos2i(x, y);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

kutFoxImg::kutFoxImg(bool owner) : kutImg(owner) {}

bool kutFoxImg::allocateData()
{
    return allocatePixels();
}

void kutFoxImg::readData(const unsigned char* data, int rowPadding)
{
    // The toolkit wants the top row first, each row left to right.
    convertRows(data, rowPadding, pixels, width, height, true);
}
