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

#include <gtest/gtest.h>

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
    EXPECT_EQ(dlg->getWidth(), 320);
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
