// A stand-in for the message-window plug-in: its entry points and window
// record every call in one log that the tests read through
// kgiFakeMsgLog(). Built twice, once without DestroyMsgWindow.
#include "kgiMsgWindow.h"

#include <string>
#include <vector>

#define KGI_EXPORT __attribute__((visibility("default")))

namespace {

struct FakeState {
    std::vector<std::string> log;
    bool speaking = false;
    bool refuse = false; // CreateMsgWindow answers null
};

FakeState state;

class FakeWindow : public kgi::kgiMsgWindow {
public:
    bool show() override { return record("show"); }
    bool hide() override { return record("hide"); }
    bool move(int, int) override { return record("move"); }
    bool resize(int, int) override { return record("resize"); }
    bool getPosition(int*, int*) override { return record("getPosition"); }
    bool getSize(int*, int*) override { return record("getSize"); }
    bool say(const char* text, const char* speech) override
    {
        return record(std::string("say ") + text + "|" + speech);
    }
    bool setColorMode(int mode) override { return record("color " + std::to_string(mode)); }
    bool stopSpeech() override
    {
        state.speaking = false;
        return record("stop");
    }
    bool isSpeaking() override
    {
        record("isSpeaking");
        return state.speaking;
    }

private:
    static bool record(const std::string& call)
    {
        state.log.push_back(call);
        return true;
    }
};

FakeWindow* single = nullptr;

} // namespace

extern "C" KGI_EXPORT std::vector<std::string>* kgiFakeMsgLog()
{
    return &state.log;
}

extern "C" KGI_EXPORT void kgiFakeMsgSet(bool speaking, bool refuse)
{
    state.speaking = speaking;
    state.refuse = refuse;
}

extern "C" KGI_EXPORT kgi::kgiMsgWindow* CreateMsgWindow(int x, int y, int width, int height)
{
    state.log.push_back("create " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(width) + " " + std::to_string(height));
    if (state.refuse)
        return nullptr;
    if (!single)
        single = new FakeWindow;
    return single;
}

#ifndef KGI_FAKE_WITHOUT_DESTROY
extern "C" KGI_EXPORT void DestroyMsgWindow()
{
    state.log.push_back("destroy");
    delete single;
    single = nullptr;
}
#endif
