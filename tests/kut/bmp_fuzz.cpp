// Loads arbitrary bytes as a bitmap file into both image kinds. A load either
// fails and leaves the image empty, or gives a buffer of the stated size.
#include "kutImg.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/kut_bmp_fuzz_" +
               std::to_string(getpid()) + ".bmp";
    }();
    return path;
}

void check(kutImg& img, bool loaded)
{
    if (!loaded) {
        if (img.getPixels() || img.getWidth() || img.getHeight())
            std::abort();
        return;
    }
    if (!img.getPixels() || img.getWidth() < 1 || img.getHeight() < 1)
        std::abort();
    // Touch every byte so the sanitizer sees the whole buffer.
    const unsigned char* p = img.getPixels();
    unsigned sum = 0;
    for (size_t i = 0, n = size_t(img.getWidth()) * size_t(img.getHeight()) * 4; i < n; ++i)
        sum += p[i];
    if (sum == 1)
        std::fputc(' ', stderr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    kutGLImg gl;
    check(gl, gl.loadBitmap(scratchPath()));
    gl.setAlpha(255, 0, 255);
    kutFoxImg fox;
    check(fox, fox.loadBitmap(scratchPath()));
    std::remove(scratchPath().c_str());
    return 0;
}
