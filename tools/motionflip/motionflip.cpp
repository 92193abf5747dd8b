// Console driver of the motion mirroring engine (see kgiMotionFlipConsole.h).
//
//   motionflip <scene.kmd> <motion.kmm>
//
// Asks for the first and last frame on standard input and writes
// <motion>_flip.kmm beside the motion-key file.
#include "kgiMotionFlipConsole.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: motionflip <scene.kmd> <motion.kmm>\n");
        return 2;
    }
    return kgiRunMotionFlipConsole(argv[1], argv[2], stdin, stdout);
}
