#pragma once
// The message window itself: a borderless top-level window filled by one
// left-aligned text, in the colour of its mode, that the user drags with
// the left button and that speaks through its engine.
#include "kgiSpeechEngine.h"

#include "platform/clock.h"

#include <fx.h>
#include <fxkeys.h>

#include <functional>
#include <memory>

namespace kgi {

class kgiMsgDlg : public FX::FXTopWindow {
    FXDECLARE(kgiMsgDlg)
public:
    enum {
        ID_TEXT = FX::FXTopWindow::ID_LAST, // the text label forwards its mouse events
        ID_LAST
    };

    // The window's first size, before its owner places it.
    static const int DEFAULT_WIDTH = 564;
    static const int DEFAULT_HEIGHT = 100;
    // Colour mode 1 (pink) and every other mode (pale yellow).
    static const FX::FXColor PINK;
    static const FX::FXColor PALE_YELLOW;

    // The background colour of a colour mode.
    static FX::FXColor colorOfMode(int mode);

    // The part of the screen that windows may use, in screen pixels: the
    // desktop's work area when the window manager announces one, else the
    // whole root window. `app` must have its display open.
    static FX::FXRectangle workArea(FX::FXApp* app);

    // The created font of the text: the Japanese fixed-pitch face at the
    // largest size whose line is at most 16 pixels high and whose 70
    // half-width characters fit in 564 pixels. `app` must have its display
    // open; the caller owns the font.
    static FX::FXFont* createTextFont(FX::FXApp* app);
    // The font the text is drawn with.
    FX::FXFont* textFont() const { return font; }

    // Builds the window on `app`'s root, DEFAULT_WIDTH x DEFAULT_HEIGHT at
    // the work area's bottom-right corner, pale yellow; call create() to
    // realise it. The window speaks through `engine`, which may be null
    // (silent).
    kgiMsgDlg(FX::FXApp* app, std::unique_ptr<kgiSpeechEngine> engine);
    ~kgiMsgDlg() override;

    void create() override;

    // The window never closes itself (window-manager close, keys): only
    // its owner deletes it. Always FALSE.
    FX::FXbool close(FX::FXbool notify = FALSE) override;

    // Shows `text` and speaks `speech` (both CP932; null counts as empty).
    // The engine's answer: false when the speech could not start.
    bool say(const char* text, const char* speech);
    // The text shown, in UTF-8.
    FX::FXString getText() const;

    // Background of the window and its text, redrawn at once.
    void setColor(FX::FXColor color);
    void setColorMode(int mode) { setColor(colorOfMode(mode)); }

    // Ends the speech, and with it the time the window counts as
    // speaking.
    void stopSpeech();
    // True for as long as the last speech would last when heard, whether
    // or not sound comes out: while the engine plays it; where no sound
    // comes out, until the engine's length of it (heardSeconds) has passed
    // since say(), or, when the engine cannot tell (the outside program, a
    // speech that failed, no engine), its reading time
    // (kgiSpeechEngine::readingSeconds). Speech played on a sound device
    // ends when its sound ends.
    bool isSpeaking();

    // The clock the speaking time runs on, in seconds (monotonic unless a
    // test sets another; null restores it).
    void setClock(std::function<double()> clock);

    long onLeftBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMotion(FX::FXObject*, FX::FXSelector, void*);
    long onKeyPress(FX::FXObject*, FX::FXSelector, void*);

protected:
    kgiMsgDlg() = default;

private:
    FX::FXLabel* label = nullptr;
    FX::FXFont* font = nullptr;
    std::unique_ptr<kgiSpeechEngine> engine;
    std::function<double()> clock = platform::monotonicSeconds;
    // When the last speech began on that clock; negative once it counts no
    // more (stopped, or its time has passed).
    double saidAt = -1.0;
    // Reading time of the last speech text.
    double readingTime = 0.0;
    // Cursor minus window top-left when the drag began, screen pixels.
    FX::FXint dragX = 0;
    FX::FXint dragY = 0;
    bool dragging = false;
};

} // namespace kgi
