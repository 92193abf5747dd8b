#include "kgiLinkMessages.h"

#include <cstdio>

#include "platform/codepage.h"

void kgiLinkStderrMessages::showMessage(const char* title, const char* text)
{
    platform::printDiagnostic("%s: %s\n", title, text);
}
