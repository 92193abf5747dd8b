#include "kgiRobotFormat.h"

#include <cstdarg>
#include <cstdio>

std::string kgiRobotFormat(const char* format, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return buf;
}
