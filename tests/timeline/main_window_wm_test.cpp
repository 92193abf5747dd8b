// The main window "Time Line" and its first "3DView" as the program opens
// them, used with the pointer as on a desktop, with and without a window
// manager: each window drawn at its real size from its first frame on and
// after the user resizes it, a key dragged along the time line, a menu
// command chosen, and the Zoom button's tip.
#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const kgiTestImage::Rgb BLACK{0, 0, 0};
const kgiTestImage::Rgb GREY_BLUE{128, 128, 179};
const kgiTestImage::Rgb SCENE_GREY{222, 222, 222};

bool dark(const kgiTestImage::Rgb& p) { return p[0] + p[1] + p[2] < 200; }

int darkIn(const kgiTestImage& s, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += dark(s.at(x, y)) && s.at(x, y)[0] >= 0;
    return n;
}

// Columns of the picture that are black from top to bottom: what a frame
// drawn at a smaller size than the window's leaves on its right.
int blackColumns(const kgiTestImage& s) {
    int n = 0;
    for (int x = 0; x < s.width; ++x) n += s.count(x, 0, 1, s.height, BLACK) == s.height;
    return n;
}

// The time line across its whole canvas: the grey-blue margins at the top,
// between the rulers and on the right, and both rulers' figures in the
// left and the right half.
void expectTimeLine(const kgiTestImage& s, const std::string& when) {
    SCOPED_TRACE(when);
    const int w = s.width, h = s.height;
    ASSERT_GE(h, 134) << "tall enough for both rulers";
    EXPECT_EQ(blackColumns(s), 0);
    EXPECT_EQ(s.count(0, 0, w, 5, GREY_BLUE, 1), w * 5) << "margin above the upper ruler";
    EXPECT_EQ(s.count(0, 55, w, 3, GREY_BLUE, 1), w * 3) << "margin between the rulers";
    EXPECT_EQ(s.count(w - 5, 0, 5, h, GREY_BLUE, 1), 5 * h) << "margin on the right";
    const int half = (w - 10) / 2;
    for (int x : {5, 5 + half}) {
        EXPECT_GT(darkIn(s, x, 30, half, 25), 10) << "upper ruler's figures from x " << x;
        EXPECT_GT(darkIn(s, x, 115, half, 19), 10) << "lower ruler's figures from x " << x;
    }
}

// The 3D view across its whole canvas: the scene's grey in every corner
// above the tool-bar strip, the strip along the bottom edge.
void expectScene(const kgiTestImage& s, int sceneHeight, const std::string& when) {
    SCOPED_TRACE(when);
    const int w = s.width;
    EXPECT_EQ(blackColumns(s), 0);
    for (int x : {2, w / 2, w - 40})
        EXPECT_EQ(s.at(x, 2), SCENE_GREY) << "top row at x " << x;
    EXPECT_EQ(s.at(2, sceneHeight - 2), SCENE_GREY) << "bottom-left corner of the scene";
    EXPECT_EQ(s.at(w - 3, sceneHeight - 2), SCENE_GREY) << "bottom-right corner of the scene";
    EXPECT_GT(darkIn(s, 0, sceneHeight, w, s.height - sceneHeight), w) << "the strip's buttons";
}

class MainWindowUnderWm : public ::testing::TestWithParam<kgiTestWm> {};

struct WindowDeleter {
    void operator()(kgiTimesheetWindow* w) const {
        delete w;
        if (kgiTestApp()) kgiTestApp()->flush(true);
    }
};
using MainWindowPtr = std::unique_ptr<kgiTimesheetWindow, WindowDeleter>;

// The main window as start-up makes it: the application's, with its first
// 3D window, on the screen.
MainWindowPtr openMainWindow() {
    MainWindowPtr main(new kgiTimesheetWindow(kgiTestApp()));
    main->create();
    kgiTestApp()->setMainWindow(main.get());
    kgiTestApp()->setTimelineCanvas(main->getCanvas());
    return main;
}

bool onScreen(const FX::FXWindow* w) { return !kgiTestGrab(w).empty(); }

kgi3dWindow* firstView(kgiTimesheetWindow* main) {
    for (FX::FXWindow* w = main->getApp()->getRootWindow()->getFirst(); w; w = w->getNext())
        if (w->getOwner() == main && w->isMemberOf(FXMETACLASS(kgi3dWindow))) return static_cast<kgi3dWindow*>(w);
    return nullptr;
}

TEST_P(MainWindowUnderWm, BothWindowsAreDrawnAtTheirRealSizeFromTheFirstFrameAndAfterAResize) {
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    const std::string way = kgiTestWmName(GetParam());
    MainWindowPtr main = openMainWindow();
    kgiTimesheetCanvas* timeline = main->getCanvas();
    kgi3dWindow* view = firstView(main.get());
    ASSERT_NE(view, nullptr);
    kgi3dCanvas* scene = view->getCanvas();

    // Each window's picture as soon as it has painted once, before anything
    // else asks it to paint again.
    kgiTestImage lineShot, sceneShot;
    ASSERT_TRUE(kgiTestRunUntil([&] {
        if (lineShot.empty() && timeline->getPaintCount() > 0) lineShot = kgiTestGrab(timeline);
        if (sceneShot.empty() && scene->getPaintCount() > 0) sceneShot = kgiTestGrab(scene);
        return !lineShot.empty() && !sceneShot.empty();
    })) << "both windows painted";
    lineShot.save("first_paint_timeline_" + way);
    sceneShot.save("first_paint_3dview_" + way);
    EXPECT_EQ(lineShot.width, timeline->getWidth());
    EXPECT_EQ(lineShot.width, main->getWidth()) << "the canvas spans the window";
    expectTimeLine(lineShot, "first frame");
    expectScene(sceneShot, scene->getSceneHeight(), "first frame");

    // The user moves the 3D view down, out of the main window's way, and
    // makes both windows larger, then smaller.
    view->move(20, 400);
    for (const int grow : {200, -100}) {
        const std::string when = "resized by " + std::to_string(grow);
        const long lines = timeline->getPaintCount(), scenes = scene->getPaintCount();
        main->resize(main->getWidth() + grow, main->getHeight() + grow / 2);
        view->resize(view->getWidth() + grow, view->getHeight() + grow / 2);
        // The program repaints by itself; what it shows then is what stays.
        ASSERT_TRUE(kgiTestRunUntil([&] {
            return timeline->getWidth() == main->getWidth() && scene->getWidth() == view->getWidth() &&
                   timeline->getPaintCount() > lines && scene->getPaintCount() > scenes;
        })) << when;
        int passes = 0;
        kgiTestRunUntil([&] { return ++passes == 20; });
        lineShot = kgiTestGrab(timeline);
        sceneShot = kgiTestGrab(scene);
        lineShot.save("resized_timeline_" + way + std::to_string(grow));
        sceneShot.save("resized_3dview_" + way + std::to_string(grow));
        EXPECT_EQ(lineShot.width, main->getWidth()) << when;
        EXPECT_EQ(sceneShot.width, view->getWidth()) << when;
        expectTimeLine(lineShot, when);
        expectScene(sceneShot, scene->getSceneHeight(), when);
    }

    // A 3D window sized again before its first frame, as a window manager
    // fitting it to the screen does (beside the others, covered by none).
    auto* fitted = new kgi3dWindow(main.get(), "3D View", 800, 320, 400, 320);
    fitted->create();
    fitted->resize(440, 360);
    kgi3dCanvas* fittedScene = fitted->getCanvas();
    ASSERT_TRUE(kgiTestRunUntil([&] { return fittedScene->getPaintCount() > 0; }));
    sceneShot = kgiTestGrab(fittedScene);
    sceneShot.save("fitted_3dview_" + way);
    EXPECT_EQ(sceneShot.width, 440);
    expectScene(sceneShot, fittedScene->getSceneHeight(), "sized before its first frame");
}

TEST_P(MainWindowUnderWm, AKeyDraggedAlongTheTimeLineMovesToTheFrameWhereItIsDropped) {
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    MainWindowPtr main = openMainWindow();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    ASSERT_TRUE(robot->addKey(5));
    kgiTimesheetCanvas* canvas = main->getCanvas();
    ASSERT_TRUE(kgiTestRunUntil([&] { return onScreen(canvas) && canvas->getPaintCount() > 0; }));
    const kgiGLFrameline& line = *canvas->getManager()->getFrameLine();
    auto keyAt = [&line](int f) {
        return std::pair<int, int>{line.columnOf(f) + line.getPixelsPerFrame() / 2,
                                   line.getY() + line.getKeyRowHeight() / 2};
    };

    const std::pair<int, int> from = keyAt(5), to = keyAt(12);
    kgiTestMovePointer(canvas, from.first, from.second);
    kgiTestPressButton(1);
    ASSERT_TRUE(kgiTestRunUntil([&] { return line.getDragMode() == kgiGLFrameline::DRAG_MOVE; }))
        << "the press took the key";
    kgiTestMovePointer(canvas, (from.first + to.first) / 2, to.second);
    kgiTestMovePointer(canvas, to.first, to.second);
    kgiTestReleaseButton(1);
    ASSERT_TRUE(kgiTestRunUntil([&] { return line.getDragMode() == kgiGLFrameline::DRAG_NONE; }));
    const std::vector<float>& keys = robot->getKeyTimes();
    EXPECT_NE(std::find(keys.begin(), keys.end(), 12.0f), keys.end()) << "the key at 12";
    EXPECT_EQ(std::find(keys.begin(), keys.end(), 5.0f), keys.end()) << "none left at 5";
    main.reset();
    kgiTestRemoveCharacters();
}

TEST_P(MainWindowUnderWm, AMenuCommandChosenWithThePointerRuns) {
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    MainWindowPtr main = openMainWindow();
    ASSERT_TRUE(kgiTestRunUntil([&] { return onScreen(main.get()); }));
    FX::FXMenuCheck* seconds = main->findMenuCheck(kgiTimesheetWindow::ID_DRAW_MILLISEC);
    ASSERT_NE(seconds, nullptr);
    ASSERT_FALSE(seconds->getCheck());
    FX::FXMenuPane* pane = static_cast<FX::FXMenuPane*>(seconds->getParent());
    FX::FXMenuTitle* title = nullptr;
    for (int p = 0; main->getMenuTitle(p); ++p)
        if (main->getMenuTitle(p)->getMenu() == pane) title = main->getMenuTitle(p);
    ASSERT_NE(title, nullptr);

    // The title clicked opens its pane; the entry clicked chooses it.
    kgiTestMovePointer(title, title->getWidth() / 2, title->getHeight() / 2);
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
    ASSERT_TRUE(kgiTestRunUntil([&] { return pane->shown() && onScreen(pane); })) << "the pane opened";
    kgiTestMovePointer(seconds, seconds->getWidth() / 2, seconds->getHeight() / 2);
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
    EXPECT_TRUE(kgiTestRunUntil([&] { return seconds->getCheck() != FALSE; })) << "the command ran";
    EXPECT_EQ(kgiTestApp()->getSettings().drawNo, 1);
    EXPECT_TRUE(kgiTestRunUntil([&] { return !pane->shown(); })) << "the pane closed";
    main->handle(nullptr, FXSEL(FX::SEL_COMMAND, kgiTimesheetWindow::ID_DRAW_FRAME), nullptr);
}

TEST_P(MainWindowUnderWm, ThePointerRestingOnTheZoomButtonShowsItsTip) {
    KGI_REQUIRE_WINDOW_MANAGER(GetParam());
    MainWindowPtr main = openMainWindow();
    ASSERT_TRUE(kgiTestRunUntil([&] { return onScreen(main.get()); }));
    FX::FXButton* zoom = nullptr;
    for (int b = 0; main->getButton(b); ++b)
        if (main->getButton(b)->getSelector() == kgiTimesheetWindow::ID_ZOOM) zoom = main->getButton(b);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(std::string(zoom->getTipText().text()), "Zoom");

    // The tip shows after the pointer has rested a moment.
    kgiTestMovePointer(zoom, zoom->getWidth() / 2, zoom->getHeight() / 2);
    kgiTestMovePointer(zoom, zoom->getWidth() / 2 + 1, zoom->getHeight() / 2);
    FX::FXToolTip* tip = nullptr;
    ASSERT_TRUE(kgiTestRunUntil(
        [&] {
            for (FX::FXWindow* w = kgiTestApp()->getRootWindow()->getFirst(); w && !tip; w = w->getNext())
                if (w->shown() && w->isMemberOf(FXMETACLASS(FX::FXToolTip))) tip = static_cast<FX::FXToolTip*>(w);
            return tip != nullptr;
        },
        2000))
        << "no tip showed";
    EXPECT_EQ(std::string(tip->getText().text()), "Zoom");
    const kgiTestImage shot = kgiTestGrab(tip);
    shot.save("zoom_tip_" + kgiTestWmName(GetParam()));
    int ink = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) ink += dark(shot.at(x, y));
    EXPECT_GT(ink, 10) << "its text on the screen";
}

KGI_BOTH_WAYS(MainWindowUnderWm);

} // namespace
