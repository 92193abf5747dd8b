#pragma once
// The C library's locale and the X input method through which the text
// widgets take composed text (Japanese typed as romaji and converted, for
// instance).
//
// The GUI toolkit does the opening itself at start-up: it takes the locale
// from the environment, sets the X locale modifiers from XMODIFIERS and opens
// the input method named there when one runs; when none runs, nothing
// happens and nothing is said. It gives a text widget an input context when
// the widget takes the focus, but one whose method draws the text being
// composed (the pre-edit text) wherever it likes, and it hands a key to the
// method only when the pointer happens to be over that widget. What is here
// lets the program do better: an input context that draws the pre-edit text
// at a spot the program gives, in a font set it gives, and keys handed to
// the method whichever window of the program they arrived at.
//
// Input contexts, windows and displays are passed as the toolkit keeps them
// (an input context as an opaque pointer, a window as its X id, the display
// as an opaque pointer), so that callers need no X header.
#include <string>
#include <vector>

namespace platform {

// After the toolkit's start-up, which takes every category of the locale
// from the environment but numbers: the character classes (LC_CTYPE), which
// the input method and the widgets' text need, are the environment's; every
// other category is the C locale again, numbers, collation, times and
// messages among them, so that no reader or writer of the program or of a
// library it uses meets a decimal comma or a translated text. Returns the
// name of the character-class locale now in force ("C" when the
// environment names none that is installed).
std::string keepOnlyCharacterLocale();

// The base-name list (XLFD patterns, comma separated) of a font set for the
// pre-edit text of a widget whose font has that family, weight (bold or
// not), slant (italic or upright) and pixel size: the family itself first,
// then any family of that weight and slant at that size and at the nearest
// sizes, then any font at those sizes, then any font at all, so that the
// few sizes X servers have of Japanese bitmap fonts still serve. Characters
// that would break the list (',' '-' '*' '?') are left out of the family.
std::string preeditFontNames(const std::string& family, bool bold, bool italic, int pixelSize);

// Font sets for pre-edit text, made on first use of a base-name list and
// kept until clear() or destruction, which frees them; call clear() (or
// destroy the object) while their display is still open.
class PreeditFontSets {
public:
    PreeditFontSets() = default;
    ~PreeditFontSets();
    PreeditFontSets(const PreeditFontSets&) = delete;
    PreeditFontSets& operator=(const PreeditFontSets&) = delete;

    // The font set of that list on the display; null when none of its
    // patterns names a font the server has for any character set of the
    // locale (also when that was found out before: it is not tried again).
    void* get(void* display, const std::string& baseNames);
    void clear();

private:
    struct Entry {
        void* display;
        std::string names;
        void* fontSet;
    };
    std::vector<Entry> entries;
};

// A new input context on the input method of `context` for `window` (client
// and focus window), whose pre-edit text the method draws with its base line
// starting at (x, y) of the window, in fontSet; it reports no status. Null
// when the method offers no such style or refuses the context; `context` is
// left as it was either way.
void* createSpotContext(void* context, unsigned long window, void* fontSet, int x, int y);
void destroyContext(void* context);
// Whether the context's method draws its pre-edit text at a spot the
// program gives (as one made by createSpotContext does).
bool isSpotContext(void* context);
// The font set of a context made by createSpotContext.
void setContextFont(void* context, void* fontSet);
// Ends the composition in progress in the context: its pre-edit text is
// dropped, nothing is committed.
void resetContext(void* context);

// The window of a key press or release (the X event the toolkit read); 0
// for any other event.
unsigned long keyEventWindow(const void* event);

// Hands a key event (the X event the toolkit read) to the input method as
// one for `window`, the window of the focused widget whose input context
// should see it; true when the method took the key (the program must then
// not act on it). Events other than key presses and releases, and events
// for that window itself (the toolkit's own filtering saw them), are never
// taken.
bool filterKeyEvent(void* event, unsigned long window);

} // namespace platform
