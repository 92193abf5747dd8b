// The time line as the user sees it at the bottom of the main window: its
// rows over the whole width, and its pop-up in the window's language.
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "kgiApp.h"
#include "kgiLanguageTable.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const kgiTestImage::Rgb WHITE{255, 255, 255};
const kgiTestImage::Rgb GREY_BLUE{128, 128, 179};

struct WindowDeleter {
    void operator()(kgiTimesheetWindow* w) const {
        delete w;
        if (kgiTestApp()) kgiTestApp()->flush(true);
    }
};
using WindowPtr = std::unique_ptr<kgiTimesheetWindow, WindowDeleter>;

WindowPtr showWindow() {
    WindowPtr w(new kgiTimesheetWindow(kgiTestApp()));
    w->create();
    kgiTestRunUntil([&] { return w->shown() && w->getCanvas()->getPaintCount() > 0; });
    return w;
}

// The canvas repainted at its present size, as the window shows it.
kgiTestImage paintedCanvas(kgiTimesheetWindow& w) {
    kgiTimesheetCanvas* canvas = w.getCanvas();
    const long before = canvas->getPaintCount();
    canvas->update();
    kgiTestRunUntil([&] { return canvas->getPaintCount() > before; });
    return kgiTestGrab(canvas);
}

void expectRows(const kgiTestImage& shot) {
    const int w = shot.width;
    const int h = shot.height;
    ASSERT_GE(h, 140) << "tall enough for every row";
    const int inner = w - 10;
    // The widgets cover their rows (white with what they show on it).
    EXPECT_EQ(shot.count(5, 5, inner, 50, GREY_BLUE, 1), 0) << "scroller and overview, rows 5 to 54";
    EXPECT_EQ(shot.count(5, 58, inner, 76, GREY_BLUE, 1), 0) << "frame buttons to lower line, rows 58 to 133";
    EXPECT_GT(shot.count(5, 5, inner, 129, WHITE), inner * 129 / 2) << "on white rows";
    EXPECT_EQ(shot.count(0, 0, w, 5, GREY_BLUE, 1), w * 5);
    EXPECT_EQ(shot.count(0, 55, w, 3, GREY_BLUE, 1), w * 3);
    EXPECT_EQ(shot.count(0, 134, w, h - 134, GREY_BLUE, 1), w * (h - 134));
    EXPECT_EQ(shot.count(0, 0, 5, h, GREY_BLUE, 1), 5 * h);
    EXPECT_EQ(shot.count(w - 5, 0, 5, h, GREY_BLUE, 1), 5 * h);
}

TEST(TimelineMainWindow, RowsFillTheBottomAlsoAfterWidening) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    w->resize(900, 400);
    kgiTestRunUntil([&] { return w->getWidth() == 900 && w->getCanvas()->getHeight() >= 140; });
    kgiTestImage shot = paintedCanvas(*w);
    shot.save("timeline_main_window");
    EXPECT_EQ(shot.width, w->getCanvas()->getWidth());
    expectRows(shot);

    w->resize(1200, 400);
    kgiTestRunUntil([&] { return w->getCanvas()->getWidth() > 1100; });
    shot = paintedCanvas(*w);
    EXPECT_GT(shot.width, 1100);
    expectRows(shot);
}

std::vector<std::string> popupTexts(const kgiTimesheetCanvas& canvas) {
    std::vector<std::string> out;
    for (FX::FXWindow* c = canvas.getPopup()->getFirst(); c; c = c->getNext())
        out.push_back(static_cast<FX::FXMenuCommand*>(c)->getText().text());
    return out;
}

TEST(TimelineMainWindow, PopupFollowsTheLanguage) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    kgiApp* app = kgiTestApp();
    w->changeLanguage(kgiLanguageTable::ENGLISH);
    EXPECT_EQ(popupTexts(*w->getCanvas()), (std::vector<std::string>{"Copy Key", "Cut Key", "Paste Key"}));

    w->changeLanguage(kgiLanguageTable::JAPANESE);
    const std::vector<std::string> japanese{app->languageText("Frame_Copy").text(),
                                            app->languageText("Frame_Cut").text(),
                                            app->languageText("Frame_Paste").text()};
    EXPECT_NE(japanese[0], "Copy Key");
    EXPECT_EQ(popupTexts(*w->getCanvas()), japanese);
    EXPECT_NE(w->getCanvas()->getPopup()->id(), 0u) << "the new pop-up is created";

    w->changeLanguage(kgiLanguageTable::ENGLISH);
    EXPECT_EQ(popupTexts(*w->getCanvas())[0], "Copy Key");
}

} // namespace
