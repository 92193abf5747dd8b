// The video window under a real X display: placement, the title a movie
// gives it, and the drag and full-screen rules.
#include "kgiMediaLib.h"
#include "kgiMediaWindowImpl.h"
#include "kgiMovieDlg.h"
#include "kgiMovieTrack.h"
#include "medialib/mediaFixtures.h"

#include <fx.h>
#include <fxkeys.h>
#include "support/fox/kgiFoxTestApp.h"
#include "support/fox/kgiRootProperties.h"
#include "support/fox/kgiScreenShot.h"
#include <gst/gst.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

// After the test framework, which has names of its own that Xlib's macros
// would replace.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace kgi;

namespace {

class MediaWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = kgiSharedFoxApp();
        if (!app)
            GTEST_SKIP() << "no X display";
        mediatest::useFakeSinksForFactory();
    }
    void TearDown() override { DestroyMediaWindow(); }

    FX::FXEvent press(int rootX, int rootY, int clicks)
    {
        FX::FXEvent ev;
        ev.root_x = rootX;
        ev.root_y = rootY;
        ev.click_count = clicks;
        return ev;
    }

    FX::FXApp* app = nullptr;
};

} // namespace

TEST_F(MediaWindowTest, DefaultPlacementIsTheScreensBottomRight)
{
    kgiMediaWindow* w = CreateMediaWindow(nullptr, -1, -1, -1, -1);
    ASSERT_NE(w, nullptr);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(w->getSize(&width, &height));
    ASSERT_TRUE(w->getPosition(&x, nullptr));
    ASSERT_TRUE(w->getPosition(nullptr, &y));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    FX::FXWindow* root = app->getRootWindow();
    EXPECT_EQ(x + width, root->getWidth());
    EXPECT_EQ(y + height, root->getHeight());
    EXPECT_TRUE(w->show());
    EXPECT_TRUE(w->hide());
}

TEST_F(MediaWindowTest, SecondCallMovesTheSameWindow)
{
    FX::FXMainWindow owner(app, "owner");
    owner.create();
    kgiMediaWindow* first = CreateMediaWindow(&owner, 10, 20, 200, 100);
    ASSERT_NE(first, nullptr);
    FX::FXMainWindow other(app, "other");
    other.create();
    kgiMediaWindow* second = CreateMediaWindow(&other, 30, 40, 160, 120);
    EXPECT_EQ(second, first);
    int x, y, w, h;
    second->getPosition(&x, &y);
    second->getSize(&w, &h);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    // Only a negative edge goes to the screen's side.
    CreateMediaWindow(nullptr, 5, -1, -1, 50);
    second->getPosition(&x, &y);
    second->getSize(&w, &h);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y + h, app->getRootWindow()->getHeight());
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 50);
    EXPECT_EQ(static_cast<kgiMediaWindowImpl*>(first)->dialog()->getOwner(), &owner);
    DestroyMediaWindow();  // before its owner goes
}

TEST_F(MediaWindowTest, DestroyWithoutAWindowDoesNothing)
{
    DestroyMediaWindow();
    DestroyMediaWindow();
    EXPECT_EQ(kgiMediaWindowImpl::current(), nullptr);
    EXPECT_NE(CreateMediaWindow(nullptr, -1, -1, -1, -1), nullptr);
}

TEST_F(MediaWindowTest, MovieTitlesTheWindowUntilItIsDestroyed)
{
    std::string movie = mediatest::makeMovie("titled.ogv", true);
    if (movie.empty())
        GTEST_SKIP() << "no encoder to make a movie";
    CreateMediaWindow(nullptr, -1, -1, -1, -1);
    kgiMovieDlg* dlg = kgiMediaWindowImpl::current()->dialog();
    EXPECT_EQ(std::string(dlg->getTitle().text()), "Video");

    kgiMediaTrack* t = CreateMediaTrack(movie.c_str());
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->seek(100));
    EXPECT_EQ(std::string(dlg->getTitle().text()), "Video [ titled.ogv ]");
    GstElement* attached = dlg->attached();
    EXPECT_NE(attached, nullptr);
    ASSERT_TRUE(t->play(100));  // the same renderer again: still attached
    EXPECT_EQ(dlg->attached(), attached);
    DestroyMediaTrack(t);
    EXPECT_EQ(dlg->attached(), nullptr);
    EXPECT_EQ(std::string(dlg->getTitle().text()), "Video");
}

TEST_F(MediaWindowTest, DragMovesTheWindowExceptWhenBorderless)
{
    CreateMediaWindow(nullptr, 100, 100, 320, 240);
    kgiMovieDlg* dlg = kgiMediaWindowImpl::current()->dialog();
    dlg->show();
    const FX::FXuint decorations = dlg->getDecorations();

    FX::FXEvent ev = press(110, 120, 1);
    dlg->onLeftBtnPress(nullptr, 0, &ev);
    EXPECT_TRUE(dlg->isDragging());
    ev = press(160, 150, 1);
    dlg->onMotion(nullptr, 0, &ev);
    dlg->onLeftBtnRelease(nullptr, 0, &ev);
    EXPECT_FALSE(dlg->isDragging());
    EXPECT_EQ(dlg->getX(), 150);
    EXPECT_EQ(dlg->getY(), 130);

    ev = press(160, 150, 2);  // double click: the whole screen, no border
    dlg->onLeftBtnPress(nullptr, 0, &ev);
    ASSERT_TRUE(dlg->isBorderless());
    EXPECT_EQ(dlg->getWidth(), app->getRootWindow()->getWidth());
    ev = press(10, 10, 1);
    dlg->onLeftBtnPress(nullptr, 0, &ev);
    EXPECT_FALSE(dlg->isDragging());

    FX::FXEvent key;
    key.code = FX::KEY_Escape;
    dlg->onKeyPress(nullptr, 0, &key);  // back to the window, still shown
    EXPECT_FALSE(dlg->isBorderless());
    EXPECT_TRUE(dlg->shown());
    EXPECT_EQ(dlg->getX(), 150);
    EXPECT_EQ(dlg->getY(), 130);
    EXPECT_EQ(dlg->getWidth(), 320);
    EXPECT_EQ(dlg->getHeight(), 240);
    EXPECT_EQ(dlg->getDecorations(), decorations);
    key.code = FX::KEY_Return;
    dlg->onKeyPress(nullptr, 0, &key);
    EXPECT_TRUE(dlg->shown());
}

TEST_F(MediaWindowTest, MovieLoadsWithTheSinkChosenForTheWindow)
{
    std::string movie = mediatest::makeMovie("own_sink.ogv", false);
    if (movie.empty())
        GTEST_SKIP() << "no encoder to make a movie";
    CreateMediaWindow(nullptr, -1, -1, -1, -1);
    kgiMediaPipeline::Sinks sinks = mediatest::fakeSinks();
    sinks.video.clear();  // whichever X sink this machine has, or none
    kgiMovieTrack t(sinks);
    ASSERT_TRUE(t.load(movie));
    EXPECT_TRUE(t.seek(200));
    EXPECT_TRUE(t.play(200));
    EXPECT_TRUE(t.isPlaying());
    EXPECT_NE(kgiMediaWindowImpl::current()->dialog()->attached(), nullptr);
}

TEST_F(MediaWindowTest, OwnerWithoutItsXWindowGivesNoWindow)
{
    FX::FXMainWindow owner(app, "not created yet");
    EXPECT_EQ(CreateMediaWindow(&owner, -1, -1, -1, -1), nullptr);
    EXPECT_EQ(kgiMediaWindowImpl::current(), nullptr);
    owner.create();
    EXPECT_NE(CreateMediaWindow(&owner, -1, -1, -1, -1), nullptr);
}

TEST_F(MediaWindowTest, DefaultPlaceIsTheWorkAreasCorner)
{
    kgiRootProperties props(app);
    // Two desktops, the second current, each with a panel at the bottom.
    props.cardinals("_NET_WORKAREA", {0, 0, 1280, 1000, 40, 30, 1000, 900});
    props.cardinals("_NET_CURRENT_DESKTOP", {1});
    kgiMediaWindow* w = CreateMediaWindow(nullptr, -1, -1, -1, -1);
    ASSERT_NE(w, nullptr);
    int x = 0, y = 0, width = 0, height = 0;
    w->getPosition(&x, &y);
    w->getSize(&width, &height);
    EXPECT_EQ(x + width, 1040);
    EXPECT_EQ(y + height, 930);
    // The dialog's own first place, before the host places it, too.
    DestroyMediaWindow();
    kgiMovieDlg dlg(app, nullptr, nullptr);
    EXPECT_EQ(dlg.getX() + kgiMovieDlg::DEFAULT_WIDTH, 1040);
    EXPECT_EQ(dlg.getY() + kgiMovieDlg::DEFAULT_HEIGHT, 930);
}

namespace {

bool near(kgiRgb p, kgiRgb q)
{
    return std::abs(p.r - q.r) < 60 && std::abs(p.g - q.g) < 60 && std::abs(p.b - q.b) < 60;
}

const kgiRgb RED{255, 0, 0};
const kgiRgb GREEN{0, 255, 0};
const kgiRgb BLACK{0, 0, 0};

// Moves the pointer to a screen point and presses and/or releases the left
// button there as a user's mouse would, through the X test extension, then
// lets the toolkit see it.
void click(FX::FXApp* app, int x, int y, bool press, bool release)
{
    Display* d = static_cast<Display*>(app->getDisplay());
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    if (press)
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
    if (release)
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    for (int i = 0; i < 5; ++i) {
        app->runWhileEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The name of the element that draws a track's pictures.
std::string sinkName(GstElement* renderer)
{
    GstElementFactory* f = renderer ? gst_element_get_factory(renderer) : nullptr;
    return f ? GST_OBJECT_NAME(f) : "none";
}

} // namespace

TEST_F(MediaWindowTest, PictureIsLetterBoxedFollowsResizeAndCanBeDragged)
{
    Display* d = static_cast<Display*>(app->getDisplay());
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor))
        GTEST_SKIP() << "no X test extension";
    std::string clip = mediatest::makeClip("picture.avi", "jpegenc ! avimux", 160, 90, 2);
    ASSERT_FALSE(clip.empty());

    // Away from where other tests put their windows, and above any.
    kgiMediaWindow* w = CreateMediaWindow(nullptr, 700, 330, 320, 240);
    ASSERT_NE(w, nullptr);
    w->show();
    kgiMovieDlg* dlg = kgiMediaWindowImpl::current()->dialog();
    dlg->raise();
    kgiMediaPipeline::Sinks sinks = mediatest::fakeSinks();
    sinks.video.clear(); // the sink the window gets in the program
    kgiMovieTrack t(sinks);
    ASSERT_TRUE(t.load(clip));

    // 160 x 90 in 320 x 240: 320 x 180 at y 30, black bands above and below.
    ASSERT_TRUE(t.seek(500));
    std::printf("video sink: %s\n", sinkName(dlg->attached()).c_str());
    auto redBox = [&](const kgiScreenShot& s) {
        return s.all(0, 32, 320, 176, [](kgiRgb p) { return near(p, RED); }) &&
               s.all(0, 0, 320, 28, [](kgiRgb p) { return near(p, BLACK); }) &&
               s.all(0, 212, 320, 28, [](kgiRgb p) { return near(p, BLACK); });
    };
    kgiScreenShot red = kgiScreenShot::settle(app, dlg->getX(), dlg->getY(), 320, 240, redBox);
    red.save("picture_500ms.ppm");
    EXPECT_TRUE(redBox(red)) << "at 500 ms: " << testing::PrintToString(red.at(160, 120));

    ASSERT_TRUE(t.seek(1500));
    auto greenBox = [&](const kgiScreenShot& s) {
        return s.all(0, 32, 320, 176, [](kgiRgb p) { return near(p, GREEN); });
    };
    kgiScreenShot green = kgiScreenShot::settle(app, dlg->getX(), dlg->getY(), 320, 240, greenBox);
    green.save("picture_1500ms.ppm");
    EXPECT_TRUE(greenBox(green)) << "at 1500 ms: " << testing::PrintToString(green.at(160, 120));

    // A tall window: 160 x 90 in 160 x 400 is 160 x 90 at y 155.
    w->resize(160, 400);
    auto tallBox = [&](const kgiScreenShot& s) {
        return s.all(0, 157, 160, 86, [](kgiRgb p) { return near(p, GREEN); }) &&
               s.all(0, 0, 160, 153, [](kgiRgb p) { return near(p, BLACK); }) &&
               s.all(0, 247, 160, 153, [](kgiRgb p) { return near(p, BLACK); });
    };
    kgiScreenShot tall = kgiScreenShot::settle(app, dlg->getX(), dlg->getY(), 160, 400, tallBox);
    tall.save("picture_tall.ppm");
    EXPECT_TRUE(tallBox(tall));

    // A real drag over the picture moves the window.
    int x0 = dlg->getX(), y0 = dlg->getY();
    click(app, x0 + 80, y0 + 200, true, false);
    EXPECT_TRUE(dlg->isDragging());
    click(app, x0 + 130, y0 + 230, false, false);
    click(app, x0 + 130, y0 + 230, false, true);
    EXPECT_FALSE(dlg->isDragging());
    EXPECT_EQ(dlg->getX(), x0 + 50);
    EXPECT_EQ(dlg->getY(), y0 + 30);

    // A double click there makes it borderless, over the monitor.
    click(app, x0 + 130, y0 + 230, true, true);
    click(app, x0 + 130, y0 + 230, true, true);
    EXPECT_TRUE(dlg->isBorderless());
    FX::FXWindow* root = app->getRootWindow();
    kgiScreenShot full = kgiScreenShot::settle(app, 0, 0, root->getWidth(), root->getHeight(),
                                               [](const kgiScreenShot&) { return true; });
    full.save("picture_borderless.ppm");
    FX::FXEvent key;
    key.code = FX::KEY_Escape;
    dlg->onKeyPress(nullptr, 0, &key);
}

#ifdef KGI_DATA_DIR
TEST_F(MediaWindowTest, WindowShowsTheApplicationIcon)
{
    // The window reads the icon from the base directory it runs in; the
    // build's data folder holds the generated one.
    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(KGI_DATA_DIR);
    kgiMovieDlg dlg(app, nullptr, nullptr);
    std::filesystem::current_path(previous);
    FX::FXIcon* icon = dlg.getIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->getWidth(), 32);
    EXPECT_EQ(icon->getHeight(), 32);
    // The blue square around the robot's head, and the head's outline.
    FX::FXColor corner = icon->getPixel(0, 0);
    EXPECT_EQ(FXREDVAL(corner), 40);
    EXPECT_EQ(FXGREENVAL(corner), 96);
    EXPECT_EQ(FXBLUEVAL(corner), 160);
    FX::FXColor outline = icon->getPixel(8, 8);
    EXPECT_EQ(FXREDVAL(outline), 36);
    EXPECT_EQ(FXBLUEVAL(outline), 48);
}
#endif
