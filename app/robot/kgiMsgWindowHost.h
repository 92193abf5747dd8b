#pragma once
// The application's side of the message-window plug-in: loads kgimsglib.so
// from beside the program, binds its two entry points, and opens, fills,
// hides and silences the plug-in's single message window for the lessons.
// The application makes it through the maker main() installs and deletes
// it while the toolkit still exists.
// Without the plug-in (or with an entry point missing) every operation
// does nothing and isSpeaking() is false, so a lesson that waits for the
// end of the speech never waits; nothing is reported.
#include "kgiMessageHost.h"
#include "kgiMsgWindow.h"

#include "platform/module.h"

#include <string>

class kgiMsgWindowHost : public kgiMessageHost {
public:
    // Message window sizes as the host asks for them: 564 pixels wide (the
    // plug-in adds 4), 16 pixels a counted line plus 6, and a line wraps
    // after 70 characters.
    static const int WINDOW_WIDTH = 564;
    static const int LINE_HEIGHT = 16;
    static const int EXTRA_HEIGHT = 6;
    static const int LINE_CHARACTERS = 70;
    // Where hideWindow() puts the window: beyond any screen, and empty.
    static const int HIDDEN_X = 12800;
    static const int HIDDEN_Y = 10240;

    // Loads the plug-in from the program's folder. The window has no
    // parent; nothing is shown until the first text.
    kgiMsgWindowHost();
    // The same from `moduleFolder` (tests).
    explicit kgiMsgWindowHost(const std::string& moduleFolder);
    // Destroys the window when one was shown, then gives up the module.
    // Delete the host while the toolkit still exists: the window is one of
    // its windows.
    ~kgiMsgWindowHost() override;
    kgiMsgWindowHost(const kgiMsgWindowHost&) = delete;
    kgiMsgWindowHost& operator=(const kgiMsgWindowHost&) = delete;

    // Called right after construction; nothing to do.
    void initialize() override {}

    // Opens or re-places the window with its top-left corner at (x, y),
    // sized to the lines of `text`, shows `text`, speaks `speech` (both
    // code page 932) and sets the colour mode (1 pink, else pale yellow).
    void showText(const std::string& text, const std::string& speech, int x, int y,
                  int colorMode) override;
    // Moves the shown window out of sight and stops its speech; nothing
    // when no window was shown.
    void hideWindow() override;
    // True while the shown window still speaks; false without one.
    bool isSpeaking() override;

    // True when both entry points were bound.
    bool isBound() const { return createMsgWindow != nullptr; }
    // True while the module is held (also when an entry point was missing).
    bool isLoaded() const { return library.isOpen(); }

    // The height showText() asks for: the counted lines of `text` times 16,
    // plus 6. A newline counts a line and starts a new column; every
    // character, the newline included, then moves the column on, and the
    // 70th column counts a line as well. A last line without a newline is
    // not counted.
    static int windowHeight(const char* text);

private:
    void bind(const std::string& moduleFolder);

    platform::Module library;
    kgiCreateMsgWindowFn createMsgWindow = nullptr;
    kgiDestroyMsgWindowFn destroyMsgWindow = nullptr;
    kgi::kgiMsgWindow* window = nullptr;
};
