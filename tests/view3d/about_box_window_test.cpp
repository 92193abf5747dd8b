#include "kgiVersionDialog.h"

#include "kgiApp.h"
#include "support/window/kgiWindowTest.h"

#include <X11/Xlib.h>

using namespace FX;

namespace {

bool viewable(const FXWindow* w)
{
    XWindowAttributes a;
    return w->id() && XGetWindowAttributes(static_cast<Display*>(w->getApp()->getDisplay()), w->id(), &a) &&
           a.map_state == IsViewable;
}

// The first window below `root` (depth first) of class T.
template <class T>
T* findChild(FXWindow* root)
{
    for (FXWindow* w = root->getFirst(); w; w = w->getNext()) {
        if (T* t = dynamic_cast<T*>(w))
            return t;
        if (T* t = findChild<T>(w))
            return t;
    }
    return nullptr;
}

// Where a widget lies in the box's pixels.
struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};
Area areaIn(FXWindow* box, FXWindow* widget)
{
    Area a;
    widget->translateCoordinatesTo(a.x, a.y, box, 0, 0);
    a.w = widget->getWidth();
    a.h = widget->getHeight();
    return a;
}

const kgiTestImage::Rgb BLACK{0, 0, 0};
// Anti-aliased glyph edges are grey: text pixels are those near black.
const int TEXT_TOLERANCE = 80;

int textPixels(const kgiTestImage& shot, const Area& a)
{
    return shot.count(a.x, a.y, a.w, a.h, BLACK, TEXT_TOLERANCE);
}

TEST(AboutBox, OpensFromTheApplicationAndOkHidesIt)
{
    KGI_REQUIRE_TEST_APP();
    kgiApp* app = kgiTestApp();
    app->setVersionDialogMaker(&kgiVersionDialog::make);
    // A window below the box for the pointer to start from.
    kgiTestWindow win(800, 400);
    win.show();

    app->showVersionDialog(true);
    FXTopWindow* box = app->getVersionDialog();
    ASSERT_NE(dynamic_cast<kgiVersionDialog*>(box), nullptr);
    ASSERT_TRUE(win.runUntil([&] { return viewable(box); }));
    win.settle();
    EXPECT_EQ(box->getWidth(), 680);
    EXPECT_EQ(box->getHeight(), 220);

    // The label comes before the button (a kind of label) in the box.
    FXGroupBox* group = findChild<FXGroupBox>(box);
    ASSERT_NE(group, nullptr);
    FXLabel* label = findChild<FXLabel>(group);
    FXButton* ok = findChild<FXButton>(group);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(static_cast<FXLabel*>(ok), label);

    const kgiTestImage shot = kgiTestGrab(box);
    shot.save("about_box");
    ASSERT_FALSE(shot.empty());
    // The group's title sits on its top edge; the label's three lines are
    // two of text and a blank one; "OK" is written on the button.
    const Area g = areaIn(box, group);
    const int lineHeight = label->getFont()->getFontHeight();
    EXPECT_GT(textPixels(shot, {g.x, g.y, g.w / 3, lineHeight}), 30) << "the \"Information\" title";
    const Area l = areaIn(box, label);
    ASSERT_GE(l.h, 3 * lineHeight) << "three lines";
    const int top = l.y + (l.h - 3 * lineHeight) / 2;
    EXPECT_GT(textPixels(shot, {l.x, top, l.w, lineHeight}), 50) << "the program's line";
    EXPECT_GT(textPixels(shot, {l.x, top + lineHeight, l.w, lineHeight}), 30) << "the version line";
    EXPECT_EQ(textPixels(shot, {l.x, top + 2 * lineHeight, l.w, lineHeight}), 0) << "the blank line";
    EXPECT_GT(textPixels(shot, areaIn(box, ok)), 10) << "the button's text";

    int x = 0, y = 0;
    ok->translateCoordinatesTo(x, y, win.shell(), ok->getWidth() / 2, ok->getHeight() / 2);
    win.click(x, y);
    EXPECT_TRUE(win.runUntil([&] { return !box->shown() && !viewable(box); })) << "OK hides the box";

    app->showVersionDialog(true);
    EXPECT_EQ(app->getVersionDialog(), box) << "the same box again";
    EXPECT_TRUE(win.runUntil([&] { return viewable(box); }));
    app->showVersionDialog(false);
    EXPECT_FALSE(box->shown());
}

} // namespace
