#include "kgiLinkMessages.h"

#include <cstdio>

void kgiLinkStderrMessages::showMessage(const char* title, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", title, text);
}
