// The plug-in's two entry points, under the plain names the program looks
// up when it loads the library.
#include "kgiMsgWindowImpl.h"

#define KGI_EXPORT __attribute__((visibility("default")))

extern "C" KGI_EXPORT kgi::kgiMsgWindow* CreateMsgWindow(int x, int y, int width, int height)
{
    return kgi::createMsgWindow(x, y, width, height);
}

extern "C" KGI_EXPORT void DestroyMsgWindow()
{
    kgi::destroyMsgWindow();
}
