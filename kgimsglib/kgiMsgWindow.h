#pragma once
// The message window of the message plug-in as the program sees it: one
// borderless, coloured window that shows a text and speaks a second one.
// The program loads the plug-in at run time and binds only the two factory
// functions below by name; everything else goes through the virtual
// operations of the returned object.

namespace kgi {

class kgiMsgWindow {
public:
    kgiMsgWindow() = default;
    kgiMsgWindow(const kgiMsgWindow&) = default;
    kgiMsgWindow& operator=(const kgiMsgWindow&) = default;
    // Only DestroyMsgWindow deletes the window: never delete it yourself.
    virtual ~kgiMsgWindow() = default;

    // Maps and unmaps the window; false when it has no window.
    virtual bool show() = 0;
    virtual bool hide() = 0;
    // New top-left corner in screen pixels; the size is kept.
    virtual bool move(int x, int y) = 0;
    // New size in pixels; the top-left corner is kept.
    virtual bool resize(int width, int height) = 0;
    // Top-left corner and size in screen pixels; either pointer may be null.
    virtual bool getPosition(int* x, int* y) = 0;
    virtual bool getSize(int* width, int* height) = 0;

    // Shows `text` and speaks `speech` (both CP932). A new text cuts off
    // the speech of the previous one only with the outside speech program;
    // the built-in synthesiser queues it. The speech's own failure is seen
    // only through isSpeaking().
    virtual bool say(const char* text, const char* speech) = 0;
    // Background colour: 1 pink, anything else pale yellow.
    virtual bool setColorMode(int mode) = 0;
    virtual bool stopSpeech() = 0;
    // True while the last text is still being spoken, and, where no sound
    // can be heard (no sound device, or the speech could not start), for as
    // long as it would last when heard; poll it, it never waits.
    virtual bool isSpeaking() = 0;
};

} // namespace kgi

extern "C" {

// Creates the plug-in's single message window on the first call and
// returns the same window on every later one, placed at (x, y) with the
// size (width + 4) x height. A negative width means 564, height 100, x the
// work area's right edge minus the width, y its bottom edge minus the
// height. Null when the program has no GUI application object yet.
kgi::kgiMsgWindow* CreateMsgWindow(int x, int y, int width, int height);

// Deletes the single window; nothing when there is none.
void DestroyMsgWindow();

// The types the program binds the two entry points to.
typedef kgi::kgiMsgWindow* (*kgiCreateMsgWindowFn)(int x, int y, int width, int height);
typedef void (*kgiDestroyMsgWindowFn)();
}
