#include "kgiTextCaret.h"

namespace {

// The field's horizontal scroll (how far its text is shifted) has no
// getter; a pointer to the member, formed in a subclass, reads it.
struct kgiTextFieldShift : FX::FXTextField {
    static FX::FXint FX::FXTextField::*member() { return &kgiTextFieldShift::shift; }
};

FX::FXint fieldShift(const FX::FXTextField* field) { return field->*kgiTextFieldShift::member(); }

bool usable(const FX::FXFont* font) { return font != nullptr && font->id() != 0; }

} // namespace

// --- FXText ---------------------------------------------------------------------

kgiTextCaret::kgiTextCaret(const FX::FXText* t)
    : text(t), font(t ? t->getFont() : nullptr), tabWidth(0), barWidth(0), xOffset(0)
{
    if (text && usable(font)) {
        tabWidth = text->getTabColumns() * font->getTextWidth(" ", 1);
        barWidth = text->getBarColumns() * font->getTextWidth("8", 1);
    }
    xOffset = barWidth;
}

int kgiTextCaret::charWidth(FX::FXwchar c, int indent) const
{
    if (!usable(font))
        return 0;
    if (c >= 0x20)
        return font->getCharWidth(c);
    if (c == '\t')
        return tabWidth > 0 ? tabWidth - indent % tabWidth : 0;
    return font->getCharWidth('^') + font->getCharWidth(c + 0x40);
}

int kgiTextCaret::rangeWidth(int from, int to) const
{
    int width = 0;
    if (text == nullptr)
        return width;
    const int end = to < text->getLength() ? to : text->getLength();
    for (int pos = from < 0 ? 0 : from; pos < end;) {
        width += charWidth(text->getChar(pos), width);
        const int step = text->getCharLen(pos);
        pos += step > 0 ? step : 1;
    }
    return width;
}

FX::FXPoint kgiTextCaret::spot() const
{
    if (text == nullptr)
        return FX::FXPoint(0, 0);
    const int cursor = text->getCursorPos();
    const int rowStart = text->rowStart(cursor);
    const int x = text->getMarginLeft() + xOffset + rangeWidth(rowStart, cursor) + text->getXPosition();
    const int lineHeight = usable(font) ? font->getFontHeight() : 0;
    const int ascent = usable(font) ? font->getFontAscent() : 0;
    const int top = text->getMarginTop() + text->getCursorRow() * lineHeight + text->getYPosition();
    return FX::FXPoint(static_cast<FX::FXshort>(x), static_cast<FX::FXshort>(top + ascent));
}

// --- FXTextField ------------------------------------------------------------------

FX::FXPoint kgiTextFieldCaret(const FX::FXTextField* field)
{
    if (field == nullptr)
        return FX::FXPoint(0, 0);
    FX::FXFont* font = field->getFont();
    const int border = field->getBorderWidth();
    const int width = field->getWidth();
    const int height = field->getHeight();
    const int left = border + field->getPadLeft();
    const int right = width - border - field->getPadRight();
    const FX::FXuint justify = field->getJustify();
    const bool password = (field->getTextStyle() & FX::TEXTFIELD_PASSWD) != 0;
    const FX::FXString text = field->getText();
    int cursor = field->getCursorPos();
    if (cursor < 0)
        cursor = 0;
    if (cursor > text.length())
        cursor = text.length();

    int x = left;
    int top = border + field->getPadTop();
    if (usable(font)) {
        // Widths of the text before and after the caret as the field draws
        // it: the characters themselves, or one star for each.
        const int star = font->getTextWidth("*", 1);
        const int before = password ? star * text.index(cursor) : font->getTextWidth(text.text(), cursor);
        const int after = password ? star * (text.count() - text.index(cursor))
                                   : font->getTextWidth(text.text() + cursor, text.length() - cursor);
        const int whole = password ? star * text.count() : font->getTextWidth(text);
        const int shift = fieldShift(field);
        if (justify & FX::JUSTIFY_RIGHT)
            x = right - after + shift;
        else if (justify & FX::JUSTIFY_LEFT)
            x = left + before + shift;
        else
            x = (left + right) / 2 + before - whole / 2 + shift;

        const int lineHeight = font->getFontHeight();
        if (justify & FX::JUSTIFY_TOP)
            top = border + field->getPadTop();
        else if (justify & FX::JUSTIFY_BOTTOM)
            top = height - field->getPadBottom() - border - lineHeight;
        else
            top = border + field->getPadTop() +
                  (height - field->getPadBottom() - field->getPadTop() - 2 * border - lineHeight) / 2;
        top += font->getFontAscent();
    }
    return FX::FXPoint(static_cast<FX::FXshort>(x), static_cast<FX::FXshort>(top));
}

// --- any widget -------------------------------------------------------------------

bool kgiIsTextWidget(const FX::FXWindow* widget)
{
    return widget != nullptr &&
           (widget->isMemberOf(FXMETACLASS(FX::FXText)) || widget->isMemberOf(FXMETACLASS(FX::FXTextField)));
}

bool kgiCaretSpot(const FX::FXWindow* widget, FX::FXPoint& spot)
{
    if (widget == nullptr)
        return false;
    if (widget->isMemberOf(FXMETACLASS(FX::FXText))) {
        spot = kgiTextCaret(static_cast<const FX::FXText*>(widget)).spot();
        return true;
    }
    if (widget->isMemberOf(FXMETACLASS(FX::FXTextField))) {
        spot = kgiTextFieldCaret(static_cast<const FX::FXTextField*>(widget));
        return true;
    }
    return false;
}
