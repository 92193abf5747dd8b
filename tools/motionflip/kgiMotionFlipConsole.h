#pragma once
// Console driver of the motion mirroring engine (kgiMotionFlip): reads a
// binary scene and a motion-key file, asks for the first and last frame,
// mirrors those frames with compute (kind 0, the key-range mirror, the only
// variant it uses) and writes the whole motion, the chosen frames mirrored,
// beside the input as "<name>_flip.kmm".
//
// The joints are the scene records of types other than 0 and 5, in record
// order: their depths and types come from the records, their rest matrices
// from the records' translation and Euler angles (order ZYX). The motion
// file must hold one node per joint, in the same order.
#include <cstdio>
#include <string>

// Path of the file the driver writes for an input motion-key file.
std::string kgiMotionFlipOutputPath(const std::string& motionPath);

// Runs the dialogue on `in` and `out`. Returns 0 when the file was written,
// 1 for a file that cannot be read or written or frames out of range, 2 when
// the engine fails (after "!!! Error !!! " and its code and joint).
int kgiRunMotionFlipConsole(const std::string& scenePath, const std::string& motionPath, FILE* in, FILE* out);
