#pragma once
// Composed text entry (Japanese typed as romaji and converted, say) in the
// toolkit's text widgets through the X input method that the toolkit opens
// at start-up (platform/inputmethod.h). The application object hands every
// event to filterKey before the toolkit dispatches it and calls afterEvent
// after each one it dispatched.
//
// - The target (imeTarget) is the text widget the composition goes to: the
//   deepest focused widget of the window that has the keyboard focus, when
//   it is a text widget (FXText, FXTextField, also inside a combo box or an
//   input box) with an input context; null otherwise. When the focus leaves
//   it for any other widget, the composition is closed: the text being
//   composed is dropped and nothing reaches a widget.
// - A focused text widget's input context shows the text being composed at
//   the widget's caret (kgiTextCaret), on the caret row's base line, in a
//   font set of the widget's font (family, weight, slant and size, as far as
//   the X server has such fonts); the point follows the caret after every
//   event. A method that cannot place its text keeps the context the
//   toolkit made.
// - Every key for a window whose focused widget is a text widget goes to
//   that widget's input method, wherever the pointer is.
// - The composed text comes back from the method as one key press carrying
//   the whole text, which the toolkit hands the focused widget as it does a
//   typed character: the widget inserts it at the caret.
// Without an input method (none running, or XMODIFIERS naming none) nothing
// here acts.
#include "platform/inputmethod.h"

#include <fx.h>

#include <vector>

namespace FX {
class FXComposeContext;
}

class kgiImeComposition {
public:
    explicit kgiImeComposition(FX::FXApp& app) : app(app) {}
    // Frees the font sets while the display is open; after the display has
    // closed there is nothing to free them on.
    ~kgiImeComposition();
    kgiImeComposition(const kgiImeComposition&) = delete;
    kgiImeComposition& operator=(const kgiImeComposition&) = delete;

    // Before the toolkit dispatches ev: a key press or release for a window
    // whose focused widget is a text widget with an input context goes to
    // that context's method (its caret placed first); true when the method
    // took it, and then the toolkit must not see it.
    bool filterKey(FX::FXRawEvent& ev);
    // After each event the toolkit dispatched: every window's focused text
    // widget gets a context that places its text at the caret, its point
    // follows the caret, and the target follows the focus (closing the
    // composition of a target the focus left).
    void afterEvent();

    // The text widget the composition goes to; null when none.
    FX::FXWindow* getTarget() const { return target; }

    // The deepest focused widget below a window (the window itself when
    // none of its children has the focus); null for null.
    static FX::FXWindow* focusedWidget(FX::FXWindow* window);

private:
    // A context the toolkit made for a focused text widget, as seen here.
    struct Context {
        const FX::FXComposeContext* context;
        FX::FXID id;       // the X input context it holds now
        bool placing;      // made here: the text follows the caret
        FX::FXPoint spot;  // last point given
        void* fontSet;     // last font set given
        bool seen;
    };

    // Gives the focused text widget's context a placing one on first sight
    // (or leaves the toolkit's when the method cannot place), focuses it
    // when the widget has the focus, and moves its point to the caret.
    void place(FX::FXWindow* widget);
    void* fontSetFor(FX::FXWindow* widget);
    // The composition of the target is dropped; no target afterwards.
    void closeTarget();
    FX::FXComposeContext* contextOf(FX::FXWindow* widget) const;

    FX::FXApp& app;
    // imeTarget, and its X window to find out whether it still exists.
    FX::FXWindow* target = nullptr;
    FX::FXID targetWindow = 0;
    std::vector<Context> contexts;
    platform::PreeditFontSets fontSets;
};
