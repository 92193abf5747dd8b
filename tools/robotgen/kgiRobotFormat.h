#pragma once
// printf-style formatting into a std::string, for the tool's messages and
// text files. Texts longer than 511 bytes are cut.
#include <string>

std::string kgiRobotFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
