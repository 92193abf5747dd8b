// What the time line's scroller, playback bar and frame buttons put on the
// screen, in a real window on the staged base directory.
#include "support/window/kgiWindowTest.h"

#include "kgiGLFrameButtons.h"
#include "kgiGLGarbage.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLTsMgr.h"
#include "kgiTimesheetCanvas.h"
#include "kgiWorld.h"

#include "kgiPictureSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

const kgiTestImage::Rgb WHITE{255, 255, 255};
const kgiTestImage::Rgb YELLOW{255, 221, 0};
const kgiTestImage::Rgb GREEN{132, 199, 44};
const kgiTestImage::Rgb RED{255, 0, 0};

// The shipped picture of that name ("s_play.bmp").
kgiPicture picture(const char* name) {
    for (const kgiPictureDef& def : kgiPictures::timeline())
        if (std::strstr(def.path, name)) return kgiPictureSet::render(def);
    ADD_FAILURE() << "no picture " << name;
    return kgiPicture(1, 1, kgiRgb());
}

// Pixels of the picture at (left, top) of the shot that differ from it,
// leaving out a border of `inset` pixels.
int differences(const kgiTestImage& shot, int left, int top, const kgiPicture& p, int inset = 0) {
    int n = 0;
    for (int py = inset; py < p.getHeight() - inset; ++py)
        for (int px = inset; px < p.getWidth() - inset; ++px) {
            const kgiRgb c = p.at(px, py);
            n += shot.at(left + px, top + py) != kgiTestImage::Rgb{c.r, c.g, c.b};
        }
    return n;
}

class TimelineRangeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        world->setPlaying(false);
        world->setLoop(true);  // keeps playing while the shot is taken
        world->setFrameRange(10.0f, 40.0f);
        world->setCurrentTime(0.0f);
        window = std::make_unique<kgiTestWindow>(1024, 150, "time line");
        canvas = new kgiTimesheetCanvas(window->shell(), kgiTestWindow::glVisual(), nullptr, 0,
                                        FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, 0, 0, 1024, 150);
        window->show();
        ASSERT_TRUE(window->runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
        canvas->updateWidgets();
    }
    void TearDown() override {
        world->setPlaying(false);
        world->setLoop(false);
        world->setFrameRange(0.0f, 0.0f);
        world->setCurrentTime(0.0f);
    }
    kgiTestImage repaint() {
        const long before = canvas->getPaintCount();
        canvas->update();
        window->runUntil([&] { return canvas->getPaintCount() > before; });
        return window->grab();
    }

    kgiWorld* world = kgiWorld::instance();
    std::unique_ptr<kgiTestWindow> window;
    kgiTimesheetCanvas* canvas = nullptr;
};

TEST_F(TimelineRangeWindow, ThumbRangeTrianglesAndButtons) {
    kgiTestImage shot = repaint();
    shot.save("timeline_range");
    const int cx = canvas->getX();
    const int cy = canvas->getY();

    // The scroller's thumb: the lower line's 126 frames at a column each.
    EXPECT_EQ(shot.count(cx, cy + 5, 1024, 10, YELLOW, 1), 126 * 10);
    EXPECT_EQ(shot.count(cx + 5, cy + 10, 1, 1, YELLOW, 1), 1) << "from column 5";
    EXPECT_EQ(shot.count(cx + 130, cy + 10, 1, 1, YELLOW, 1), 1) << "to column 130";
    EXPECT_EQ(shot.at(cx + 131, cy + 10), WHITE);

    // The range 10..40 at 8 columns a frame: columns 85 to 332 of the bar's
    // rows 74..93; above the triangles (rows 74, 75) all green.
    EXPECT_EQ(shot.count(cx, cy + 74, 1024, 2, GREEN, 1), 248 * 2);
    EXPECT_EQ(shot.at(cx + 84, cy + 80), WHITE);
    EXPECT_EQ(shot.at(cx + 333, cy + 80), WHITE);
    // The triangles point out of the end cells; the cells between are green.
    EXPECT_EQ(shot.at(cx + 88, cy + 84), WHITE);
    EXPECT_EQ(shot.at(cx + 329, cy + 84), WHITE);
    EXPECT_EQ(shot.count(cx + 93, cy + 76, 232, 16, WHITE), 0);
    EXPECT_GT(shot.count(cx + 85, cy + 76, 8, 16, WHITE), 20);
    EXPECT_GT(shot.count(cx + 325, cy + 76, 8, 16, WHITE), 20);

    // The buttons over the range's middle (column 209): the group of three
    // 16 x 12 pictures from column 185, their rows 60..71.
    const kgiGLFrameButtons* b = canvas->getManager()->getFrameButtons();
    ASSERT_EQ(b->getGroupX(), 185);
    EXPECT_EQ(differences(shot, cx + 185, cy + 60, picture("s_begin")), 0);
    EXPECT_EQ(differences(shot, cx + 201, cy + 60, picture("s_play")), 0);
    EXPECT_EQ(differences(shot, cx + 217, cy + 60, picture("s_end")), 0);
    EXPECT_EQ(shot.count(cx, cy + 58, 1024, 16, RED), 0);

    world->setPlaying(true);
    shot = repaint();
    shot.save("timeline_range_playing");
    // The stop picture, inside the red box drawn over its edge.
    // (The box's lines lie on pixel edges and may take either side.)
    EXPECT_EQ(differences(shot, cx + 201, cy + 60, picture("s_stop"), 2), 0);
    EXPECT_GT(shot.count(cx + 199, cy + 58, 20, 16, RED), 40);
    EXPECT_EQ(shot.count(cx, cy + 58, 199, 16, RED), 0) << "only around the middle button";
}

// The time line with a trash can drawn over the overview (nothing puts
// one there in the program).
class ManagerWithTrash : public kgiGLTsMgr {
public:
    ManagerWithTrash(int w, int h) : kgiGLTsMgr(0, 0, w, h) {}
    kgiGLGarbage can{600, 20, 30, 30};
    void draw() override {
        kgiGLTsMgr::draw();
        can.draw();
    }
};

TEST_F(TimelineRangeWindow, TrashCanShowsOnlyWhenNotHidden) {
    auto* m = new ManagerWithTrash(1024, 150);
    canvas->setManager(m);
    canvas->layout();
    const int cx = canvas->getX();
    const int cy = canvas->getY();
    const kgiTestImage hidden = repaint();
    // Pixels of the can's rectangle (and a pixel around it) that differ
    // from the shot with the can hidden.
    const auto changed = [&](const kgiTestImage& shot) {
        int n = 0;
        for (int y = cy + 19; y <= cy + 51; ++y)
            for (int x = cx + 599; x <= cx + 631; ++x) n += shot.at(x, y) != hidden.at(x, y);
        return n;
    };

    m->can.setHidden(false);
    m->can.setImageOffset(7);
    kgiTestImage shot = repaint();
    shot.save("timeline_trash");
    EXPECT_GT(changed(shot), 0);
    // Its white rectangle over the overview, and the open can (no key held)
    // with its lower left corner at (607, 36).
    EXPECT_EQ(shot.count(cx + 600, cy + 20, 7, 30, WHITE), 7 * 30);
    EXPECT_EQ(shot.count(cx + 600, cy + 36, 30, 14, WHITE), 30 * 14);
    EXPECT_EQ(differences(shot, cx + 607, cy + 20, picture("b_trash2")), 0);
    m->can.setFrame(12);
    shot = repaint();
    EXPECT_EQ(differences(shot, cx + 607, cy + 20, picture("b_trash.bmp")), 0);

    m->can.setHidden(true);
    EXPECT_EQ(changed(repaint()), 0) << "hidden again: nothing of it drawn";
}

TEST_F(TimelineRangeWindow, MouseMovesTheRangeAndTheButtonsPlay) {
    const int cx = canvas->getX();
    const int cy = canvas->getY();
    const auto col = [cx](int frame) { return cx + 5 + frame * 8 + 3; };
    const int barY = cy + 84;
    const kgiGLPlaybackBar* bar = canvas->getManager()->getPlaybackBar();
    const auto settle = [this] { window->settle(5); };

    // The whole range, grabbed at frame 20, dropped with its start on 50:
    // wholly past the old end, and released at once.
    window->movePointer(col(20), barY);
    window->pressButton(1);
    settle();
    window->movePointer(col(60), barY);
    settle();
    window->releaseButton(1);
    settle();
    EXPECT_EQ(bar->getValue(), 50);
    EXPECT_EQ(world->getStartFrame(), 50.0f);
    EXPECT_EQ(world->getEndFrame(), 80.0f);

    // A new range drawn with the middle button from frame 90 back to 70.
    window->movePointer(col(90), barY);
    window->pressButton(2);
    settle();
    window->movePointer(col(70), barY);
    settle();
    window->releaseButton(2);
    settle();
    EXPECT_EQ(world->getStartFrame(), 70.0f);
    EXPECT_EQ(world->getEndFrame(), 90.0f);
    EXPECT_EQ(bar->getLength(), 21);

    // The buttons sit over it; the middle one plays, the first one then
    // does nothing until the middle one stops.
    const kgiGLFrameButtons* b = canvas->getManager()->getFrameButtons();
    const int buttonY = cy + 65;
    window->click(cx + b->getGroupX() + 24, buttonY);
    settle();
    EXPECT_TRUE(world->isPlaying());
    window->click(cx + b->getGroupX() + 8, buttonY);
    settle();
    EXPECT_TRUE(world->isPlaying());
    window->click(cx + b->getGroupX() + 24, buttonY);
    settle();
    EXPECT_FALSE(world->isPlaying());
    window->click(cx + b->getGroupX() + 8, buttonY);
    settle();
    EXPECT_EQ(world->getCurrentTime(), 70.0f);
    window->click(cx + b->getGroupX() + 40, buttonY);
    settle();
    EXPECT_EQ(world->getCurrentTime(), 90.0f);
}

} // namespace
