#pragma once
// Where the toolkit's text widgets draw their caret: the point at which the
// input method shows the text being composed (kgiImeComposition). A point
// is in the widget's own coordinates: x where the caret stands between two
// characters, y on the base line of the caret's row.
#include <fx.h>

// The caret locator of an FXText, measuring a row as the widget draws it.
class kgiTextCaret {
public:
    explicit kgiTextCaret(const FX::FXText* text);

    // Pixel width of one character that starts `indent` pixels into its
    // row: a tab reaches the next tab stop (a multiple of the tab width); a
    // control character below 0x20 is as wide as '^' followed by the
    // character plus 0x40; any other character is as wide as the font draws
    // it.
    int charWidth(FX::FXwchar c, int indent) const;
    // Pixel width of the text between byte positions from and to of one row
    // (from its first character, so that tabs find their stops), each
    // character stepped by its encoded length.
    int rangeWidth(int from, int to) const;
    // The caret point: the left margin, the line-number bar, the row's width
    // up to the caret and the horizontal scroll position; the caret row's
    // top (top margin, rows above it by the font height, vertical scroll
    // position) plus the font's ascent.
    FX::FXPoint spot() const;

    int getTabWidth() const { return tabWidth; }
    int getBarWidth() const { return barWidth; }

private:
    const FX::FXText* text;
    FX::FXFont* font;
    int tabWidth;  // tab columns times the width of a blank
    int barWidth;  // line-number columns times the width of a digit
    int xOffset;   // where the text area starts after the left margin
};

// The caret point of an FXTextField, where the field draws its caret: its
// border and padding, its justification (left, right or centred; right wins
// when both are set), the width of the text before the caret (after it, for
// a right-justified field), the field's own horizontal scroll and, in a
// password field, one star per character; y from the vertical justification
// (top, bottom, or centred by default) plus the font's ascent.
FX::FXPoint kgiTextFieldCaret(const FX::FXTextField* field);

// The caret point of an FXText or an FXTextField (also of their subclasses);
// false, spot untouched, for any other widget.
bool kgiCaretSpot(const FX::FXWindow* widget, FX::FXPoint& spot);

// Whether the widget takes composed text: an FXText or an FXTextField.
bool kgiIsTextWidget(const FX::FXWindow* widget);
