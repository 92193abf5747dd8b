#pragma once
// Small 24-bit BMP files built in memory for the image tests, and a
// temporary file to load them from.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace bmp {

struct rgb {
    unsigned char r, g, b;
};

// Offsets of the header fields the tests alter.
enum Field {
    MAGIC = 0, DATA_OFFSET = 10, INFO_SIZE = 14, WIDTH = 18, HEIGHT = 22,
    BITS = 28, COMPRESSION = 30,
};
constexpr size_t HEADERS = 54;

inline void put16(std::vector<unsigned char>& f, size_t at, uint32_t v)
{
    f[at] = static_cast<unsigned char>(v);
    f[at + 1] = static_cast<unsigned char>(v >> 8);
}

inline void put32(std::vector<unsigned char>& f, size_t at, uint32_t v)
{
    put16(f, at, v);
    put16(f, at + 2, v >> 16);
}

// A width x height picture; colour(x, y) with y counted from the top row,
// as the picture is seen. Rows are written bottom-up, or top-down with a
// negative height; padding bytes are 0xEE so that reading them shows.
inline std::vector<unsigned char> make(int width, int height,
                                       const std::function<rgb(int, int)>& colour,
                                       bool topDown = false)
{
    const int padding = (4 - 3 * width % 4) % 4;
    const size_t rowBytes = static_cast<size_t>(3 * width + padding);
    std::vector<unsigned char> f(HEADERS + rowBytes * static_cast<size_t>(height), 0);
    put16(f, MAGIC, 0x4D42);
    put32(f, 2, static_cast<uint32_t>(f.size()));
    put32(f, DATA_OFFSET, HEADERS);
    put32(f, INFO_SIZE, 40);
    put32(f, WIDTH, static_cast<uint32_t>(width));
    put32(f, HEIGHT, static_cast<uint32_t>(topDown ? -height : height));
    put16(f, 26, 1); // planes
    put16(f, BITS, 24);
    size_t at = HEADERS;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const rgb c = colour(x, y);
            f[at++] = c.b;
            f[at++] = c.g;
            f[at++] = c.r;
        }
        for (int i = 0; i < padding; ++i)
            f[at++] = 0xEE;
    }
    return f;
}

// Every pixel a different colour, with R, G and B all different.
inline rgb gradient(int x, int y)
{
    return {static_cast<unsigned char>(40 * x + 1), static_cast<unsigned char>(50 * y + 2),
            static_cast<unsigned char>(200 + x + 3 * y)};
}

// A file in the test's temporary folder, removed with the object.
class tempFile {
public:
    explicit tempFile(const std::vector<unsigned char>& bytes)
    {
        static int serial = 0;
        path = testing::TempDir() + "kut_img_" + std::to_string(getpid()) + "_" +
               std::to_string(serial++) + ".bmp";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ~tempFile() { std::remove(path.c_str()); }
    tempFile(const tempFile&) = delete;
    tempFile& operator=(const tempFile&) = delete;

    std::string path;
};

} // namespace bmp
