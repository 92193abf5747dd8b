// Movie tool: writes the media lesson's movie below the data folder.
//
//   moviegen <data folder>
#include "kgiDanceMovie.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: moviegen <data folder>\n");
        return 2;
    }
    const std::string err = kgiDanceMovie::write(argv[1]);
    if (!err.empty()) {
        std::fprintf(stderr, "moviegen: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
