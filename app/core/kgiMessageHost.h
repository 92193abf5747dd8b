#pragma once
// What the application object asks of the message-window host, which shows
// and speaks the lesson texts through the message plug-in. The host lives
// with the robot tools and derives from this class; kgiApp makes it with the
// maker the program installs (kgiAppMakers), only in lesson mode, and
// deletes it. Its window has no parent, so the host takes no window.

#include <string>

class kgiMessageHost {
public:
    virtual ~kgiMessageHost() = default;

    // Called once right after the host is made.
    virtual void initialize() = 0;
    // Shows text at (x, y) on the screen and speaks speech, in a colour mode
    // of the plug-in. Texts are narrow (code page 932).
    virtual void showText(const std::string& text, const std::string& speech, int x, int y,
                          int colorMode) = 0;
    // Moves the window out of sight and stops its speech; nothing when no
    // window is open.
    virtual void hideWindow() = 0;
    // True while the window still speaks its text; false without a window
    // (and when the plug-in did not load), so nobody waits on it for ever.
    virtual bool isSpeaking() = 0;
};
