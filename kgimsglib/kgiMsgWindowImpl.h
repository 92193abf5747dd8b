#pragma once
// The plug-in's message window behind the kgiMsgWindow interface, and the
// single instance that the exported factory functions hand out.
#include "kgiMsgWindow.h"
#include "kgiSpeechEngine.h"

#include <memory>

namespace FX {
class FXApp;
}

namespace kgi {

class kgiMsgDlg;

class kgiMsgWindowImpl : public kgiMsgWindow {
public:
    // Builds the window on `app` (whose display must be open), realises it
    // when the application is already created, and shows it. Speaks
    // through `engine`.
    kgiMsgWindowImpl(FX::FXApp* app, std::unique_ptr<kgiSpeechEngine> engine);
    ~kgiMsgWindowImpl() override;
    kgiMsgWindowImpl(const kgiMsgWindowImpl&) = delete;
    kgiMsgWindowImpl& operator=(const kgiMsgWindowImpl&) = delete;

    bool show() override;
    bool hide() override;
    bool move(int x, int y) override;
    bool resize(int width, int height) override;
    bool getPosition(int* x, int* y) override;
    bool getSize(int* width, int* height) override;
    // True whether or not the speech started: isSpeaking() tells.
    bool say(const char* text, const char* speech) override;
    bool setColorMode(int mode) override;
    bool stopSpeech() override;
    bool isSpeaking() override;

    // The window, for tests that look at what it shows.
    kgiMsgDlg* dialog() const { return dlg; }

private:
    kgiMsgDlg* dlg = nullptr;
};

// What CreateMsgWindow and DestroyMsgWindow do. The single window speaks
// with the engine that the settings file in the current directory chooses.
kgiMsgWindow* createMsgWindow(int x, int y, int width, int height);
void destroyMsgWindow();

} // namespace kgi
