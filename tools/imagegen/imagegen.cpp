// Image tool: draws the program's icons and window bitmaps and writes them
// as BMP files below the data folder.
//
//   imagegen <data folder>
//
// The same bytes on every run: the pictures are drawn by code, with integer
// primitives and no anti-aliasing.
#include "kgiPictureSet.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagegen <data folder>\n");
        return 2;
    }
    const std::string err = kgiPictureSet::writeAll(argv[1]);
    if (!err.empty()) {
        std::fprintf(stderr, "imagegen: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
