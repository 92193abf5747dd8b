// The caret locator against what the text widgets really draw: for each
// case the widget draws its caret in a colour of its own, and the point the
// input method is given must stand on that caret (x within 1 px) and on the
// base line of the text beside it.
#include "kgiApp.h"
#include "kgiTextCaret.h"

#include "ime/ime_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace FX;

namespace {

const FXColor CARET = FXRGB(255, 0, 0);
const kgiTestImage::Rgb CARET_RGB{255, 0, 0};

struct CaretCase {
    const char* name;
    // Builds the widget in the parent (before the window is created).
    std::function<FXWindow*(FXComposite*)> make;
    // After the window shows: the caret's place (and the scroll it needs).
    std::function<void(FXWindow*)> place;
    // The text beside the caret has no descenders: its lowest dark row is
    // right above the base line.
    bool checkBaseLine;
};

FXTextField* field(FXComposite* p, const char* text, FXuint opts, int w = 220, int h = 0)
{
    auto* f = new FXTextField(p, 10, nullptr, 0,
                              FRAME_SUNKEN | FRAME_THICK | LAYOUT_FIX_WIDTH | (h ? LAYOUT_FIX_HEIGHT : 0) | opts, 0, 0,
                              w, h);
    f->setText(text);
    f->setBackColor(FXRGB(255, 255, 255));
    f->setTextColor(FXRGB(0, 0, 0));
    f->setCursorColor(CARET);
    return f;
}

FXText* textArea(FXComposite* p, const std::string& text)
{
    auto* t = new FXText(p, nullptr, 0, LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 260, 110);
    t->setText(text.c_str(), static_cast<FXint>(text.size()));
    t->setBackColor(FXRGB(255, 255, 255));
    t->setTextColor(FXRGB(0, 0, 0));
    t->setCursorColor(CARET);
    return t;
}

std::function<void(FXWindow*)> fieldCursor(int pos)
{
    return [pos](FXWindow* w) {
        auto* f = static_cast<FXTextField*>(w);
        f->setCursorPos(pos);
        f->makePositionVisible(pos);
    };
}

std::function<void(FXWindow*)> textCursor(int pos)
{
    return [pos](FXWindow* w) {
        auto* t = static_cast<FXText*>(w);
        t->setCursorPos(pos);
        t->makePositionVisible(pos);
    };
}

std::string lines(int n)
{
    std::string s;
    for (int i = 1; i <= n; ++i)
        s += "line " + std::to_string(i) + "\n";
    return s;
}

bool dark(const kgiTestImage::Rgb& c) { return c[0] < 110 && c[1] < 110 && c[2] < 110; }

} // namespace

TEST(TextCaret, SpotStandsOnTheCaretTheWidgetDraws)
{
    KGI_REQUIRE_IME_APP();
    const std::string longLine(200, 'x');
    const std::string manyLines = lines(30);
    const int line25 = static_cast<int>(manyLines.find("line 25")) + 4;
    const CaretCase cases[] = {
        {"field, plain text", [](FXComposite* p) { return field(p, "abc cde", JUSTIFY_LEFT); }, fieldCursor(3),
         true},
        {"field scrolled to its end",
         [](FXComposite* p) { return field(p, "abcdefghijabcdefghijabcdefghijabcdefghijabcdefghij", JUSTIFY_LEFT, 120); },
         fieldCursor(50), true},
        {"field, right-justified", [](FXComposite* p) { return field(p, "abc", JUSTIFY_RIGHT); }, fieldCursor(1),
         true},
        {"field, centred", [](FXComposite* p) { return field(p, "abcde", 0); }, fieldCursor(2), true},
        {"field, taller than its text", [](FXComposite* p) { return field(p, "abc", JUSTIFY_LEFT, 220, 44); },
         fieldCursor(2), true},
        {"field, password", [](FXComposite* p) { return field(p, "secret", JUSTIFY_LEFT | TEXTFIELD_PASSWD); },
         fieldCursor(4), false},
        {"field, Japanese",
         [](FXComposite* p) { return field(p, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", JUSTIFY_LEFT); },
         fieldCursor(6), false},
        {"text, plain", [](FXComposite* p) { return textArea(p, "hello cave\nsecond"); }, textCursor(5), true},
        {"text, a tab", [](FXComposite* p) { return textArea(p, "a\tb\tc"); }, textCursor(3), true},
        {"text, a control character", [](FXComposite* p) { return textArea(p, "a\x01" "b\x02" "c"); },
         textCursor(3), true},
        {"text, Japanese", [](FXComposite* p) { return textArea(p, "\xe6\x97\xa5\xe6\x9c\xac\te"); },
         textCursor(7), false},
        {"text, scrolled down", [&](FXComposite* p) { return textArea(p, manyLines); }, textCursor(line25), true},
        {"text, scrolled right", [&](FXComposite* p) { return textArea(p, longLine); }, textCursor(200), true},
        {"text, line numbers",
         [](FXComposite* p) {
             FXText* t = textArea(p, "ab\ncd");
             t->setBarColumns(3);
             return t;
         },
         textCursor(4), true},
    };
    for (const CaretCase& c : cases) {
        SCOPED_TRACE(c.name);
        kgiTestWindow win(300, 140);
        FXWindow* widget = c.make(win.shell());
        win.show();
        widget->setFocus();
        c.place(widget);
        win.settle();

        // The caret blinks: wait for a grab that shows it.
        kgiTestImage shot;
        ASSERT_TRUE(win.runUntil([&] {
            shot = kgiTestGrab(widget);
            return shot.count(CARET_RGB) >= 6;
        }, KGI_IME_PASSES));
        // The caret's stem: the column holding most of its colour.
        int column = -1, most = 0;
        for (int x = 0; x < shot.width; ++x) {
            const int n = shot.count(x, 0, 1, shot.height, CARET_RGB);
            if (n > most) {
                most = n;
                column = x;
            }
        }
        int top = shot.height, bottom = -1;
        for (int y = 0; y < shot.height; ++y)
            if (shot.at(column, y) == CARET_RGB) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }

        FXPoint spot;
        ASSERT_TRUE(kgiCaretSpot(widget, spot));
        EXPECT_NEAR(spot.x, column, 1);
        EXPECT_GE(spot.y, top);
        EXPECT_LE(spot.y, bottom + 1);
        if (c.checkBaseLine) {
            // The lowest dark row of the characters left of the caret, on
            // the caret's rows, inside the field's frame.
            int lowest = -1;
            for (int y = top; y <= bottom; ++y)
                for (int x = std::max(4, column - 40); x < column - 1; ++x)
                    if (dark(shot.at(x, y)))
                        lowest = std::max(lowest, y);
            ASSERT_GE(lowest, 0) << "no text beside the caret";
            EXPECT_NEAR(spot.y, lowest + 1, 1);
        }
    }
}
