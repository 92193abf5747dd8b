#include "kgiMsgWindowHost.h"

namespace {

const char* const MODULE_FILE = "kgimsglib.so";

} // namespace

kgiMsgWindowHost::kgiMsgWindowHost()
{
    bind(std::string());
}

kgiMsgWindowHost::kgiMsgWindowHost(const std::string& moduleFolder)
{
    bind(moduleFolder);
}

void kgiMsgWindowHost::bind(const std::string& moduleFolder)
{
    library.setFolder(moduleFolder);
    if (!library.open(MODULE_FILE))
        return;
    auto create = reinterpret_cast<kgiCreateMsgWindowFn>(library.symbol("CreateMsgWindow"));
    auto destroy = reinterpret_cast<kgiDestroyMsgWindowFn>(library.symbol("DestroyMsgWindow"));
    // Both or none; the module itself stays loaded either way.
    if (create && destroy) {
        createMsgWindow = create;
        destroyMsgWindow = destroy;
    }
}

kgiMsgWindowHost::~kgiMsgWindowHost()
{
    if (window && destroyMsgWindow)
        destroyMsgWindow();
    window = nullptr;
    library.close();
}

int kgiMsgWindowHost::windowHeight(const char* text)
{
    int lines = 0;
    int column = 0;
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\n') {
            ++lines;
            column = 0;
        }
        if (++column == LINE_CHARACTERS) {
            ++lines;
            column = 0;
        }
    }
    return lines * LINE_HEIGHT + EXTRA_HEIGHT;
}

void kgiMsgWindowHost::showText(const std::string& text, const std::string& speech, int x, int y,
                                int colorMode)
{
    if (!createMsgWindow)
        return;
    window = createMsgWindow(x, y, WINDOW_WIDTH, windowHeight(text.c_str()));
    if (!window)
        return;
    window->say(text.c_str(), speech.c_str());
    window->setColorMode(colorMode);
}

void kgiMsgWindowHost::hideWindow()
{
    if (!window)
        return;
    window = createMsgWindow(HIDDEN_X, HIDDEN_Y, 0, 0);
    if (window)
        window->stopSpeech();
}

bool kgiMsgWindowHost::isSpeaking()
{
    return window && window->isSpeaking();
}
