// The lower frame line as the time-line canvas paints it in a real window:
// key cells, the current frame, the bands, collision hits and the trash.
#include "frameline_robot.h"

#include "support/window/kgiWindowTest.h"

#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiTimesheetCanvas.h"
#include "kgiWorld.h"

#include "kutImg.h"
#include "kutPath.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kgiTestFrameline;

namespace {

const kgiTestImage::Rgb RED{255, 0, 0};
const kgiTestImage::Rgb BLUE{0, 0, 255};
const kgiTestImage::Rgb ORANGE{255, 128, 0};
const kgiTestImage::Rgb GREY{219, 219, 219};
const kgiTestImage::Rgb WHITE{255, 255, 255};

// A lower line with the collision hits a test gives it.
class HitLine : public kgiGLFrameline {
public:
    using kgiGLFrameline::kgiGLFrameline;
    std::vector<kgiCollisionCheck::HitRecord> hits;

protected:
    const std::vector<kgiCollisionCheck::HitRecord>& collisionHits() const override { return hits; }
};

class HitLineMaker : public kgiGLTsWidgetMaker {
public:
    HitLine* lower = nullptr;
    int made = 0;
    // The overview comes first, then the lower line.
    kgiGLFrameline* makeFrameline(int x, int y, int w, int h, kgiTimelineHost* host) override {
        auto* line = new HitLine(x, y, w, h, host);
        if (made++ == 1) lower = line;
        return line;
    }
};

class FramelineWindow : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        world->setFps(kgiWorld::ROBOT_FPS);
        robot = loadCurrentRobot();
        ASSERT_NE(robot, nullptr);
        keysAt(robot, {0, 3, 10});
        world->setCurrentTime(10.0f);

        window = std::make_unique<kgiTestWindow>(1024, 150, "frame line");
        canvas = new kgiTimesheetCanvas(window->shell(), kgiTestWindow::glVisual(), nullptr, 0,
                                        FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, 0, 0, 1024, 150);
        canvas->setManager(new kgiGLTsMgr(0, 0, 1024, 150, nullptr, &maker));
        window->show();
        ASSERT_TRUE(window->runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
        line = maker.lower;
        ASSERT_NE(line, nullptr);
        ASSERT_EQ(line->getY(), 94);
    }
    void TearDown() override {
        window.reset();
        world->removeAllCharacters();
        world->setCurrentTime(0.0f);
    }
    kgiTestImage repaint() {
        const long before = canvas->getPaintCount();
        canvas->update();
        window->runUntil([&] { return canvas->getPaintCount() > before; });
        return window->grab();
    }
    // Canvas column and row in the window's pixels.
    int cx(int px) const { return canvas->getX() + px; }
    int cy(int py) const { return canvas->getY() + py; }

    kgiWorld* world = kgiWorld::instance();
    HitLineMaker maker;  // before the window, whose canvas deletes the manager
    kgiCharacter* robot = nullptr;
    std::unique_ptr<kgiTestWindow> window;
    kgiTimesheetCanvas* canvas = nullptr;
    HitLine* line = nullptr;
};

TEST_F(FramelineWindow, KeysCurrentFrameBandsAndHitsInTheirCells) {
    // Found at frame 200 first (beyond the window), then at 3.
    line->hits.resize(2);
    line->hits[0].time = 200.0f;
    line->hits[1].time = 3.0f;
    const kgiTestImage shot = repaint();
    shot.save("frameline_keys");

    // The key row's inner rows: its top and bottom lines are black.
    const int top = cy(95), rows = 19;
    for (int f : {0, 3, 10}) {
        const int c = cx(line->columnOf(f));
        // Frame 0's left column carries the grid line.
        const int from = f == 0 ? c + 1 : c;
        // Frame 3's upper half has the hit's inset cell.
        const int y0 = f == 3 ? cy(104) : top;
        const int h = f == 3 ? 10 : rows;
        EXPECT_EQ(shot.count(from, y0, c + 8 - from, h, RED), (c + 8 - from) * h) << "key " << f;
        EXPECT_EQ(shot.count(c + 8, top, 1, rows, RED), 0) << "key " << f << " is one cell wide";
        if (f != 0) {
            EXPECT_EQ(shot.count(c - 1, top, 1, rows, RED), 0) << "key " << f;
        }
    }
    // The hit at 3: blue, one pixel inside the cell's upper half.
    const int c3 = cx(line->columnOf(3));
    EXPECT_EQ(shot.count(c3 + 1, cy(95), 6, 8, BLUE), 48);
    EXPECT_EQ(shot.count(c3, cy(94), 8, 20, BLUE), 48) << "nothing blue around it";
    EXPECT_EQ(shot.count(cx(5), cy(94), 1014, 40, BLUE), 48) << "no other hit";

    // The current frame, orange over the time area (its label is below).
    const int c10 = cx(line->columnOf(10));
    EXPECT_EQ(shot.count(c10, cy(115), 8, 8, ORANGE, 1), 64);
    EXPECT_EQ(shot.count(c10 - 1, cy(115), 1, 8, ORANGE, 1), 0);
    EXPECT_EQ(shot.count(c10 + 8, cy(115), 1, 8, ORANGE, 1), 0);

    // Frames without keys alternate grey (even) and white (odd).
    for (int f = 4; f <= 9; ++f) {
        const int c = cx(line->columnOf(f));
        EXPECT_EQ(shot.count(c, top, 8, rows, f % 2 == 0 ? GREY : WHITE, 1), 8 * rows) << "frame " << f;
    }
    // Labels in seconds: some black in the time area.
    EXPECT_GT(shot.count(cx(5), cy(115), 1014, 19, kgiTestImage::Rgb{0, 0, 0}, 60), 10) << "labels";
}

TEST_F(FramelineWindow, MoveDragShowsTheHotTrashAboveTheDraggedKey) {
    kgiGLTsMgr* m = canvas->getManager();
    const int px = line->columnOf(10) + 3;
    ASSERT_TRUE(m->onMouse(0, 0, -1, px, 104));
    m->onMotion(px, 94 - 30);
    ASSERT_TRUE(line->isOverTrash());
    const kgiTestImage shot = repaint();
    shot.save("frameline_trash");

    kutGLImg hot;
    ASSERT_TRUE(hot.loadBitmap(kutAppendPath(kutAppendPath(kutAppendPath(kgiTestBaseDir(), "icons"), "3d"), "b_trash2.bmp")));
    // Lower-left corner at (column of frame 10, 21 pixels above the line);
    // the rows go upwards from there.
    const int left = cx(line->columnOf(10));
    const int bottom = cy(94 - 21) - 1;
    int same = 0;
    for (int r = 0; r < hot.getHeight(); ++r)
        for (int c = 0; c < hot.getWidth(); ++c) {
            const unsigned char* p = hot.getPixels() + 4 * (r * hot.getWidth() + c);
            const kgiTestImage::Rgb want{p[0], p[1], p[2]};
            same += shot.at(left + c, bottom - r) == want;
        }
    EXPECT_EQ(same, hot.getWidth() * hot.getHeight()) << "the hot picture, pixel for pixel";
    // The white strip across the line above it, over the gap between the
    // overview and the rows below it.
    EXPECT_EQ(shot.count(cx(5), cy(55), 1014, 2, WHITE), 1014 * 2);

    m->onMouse(0, 1, -1, px, 94 - 30);
    EXPECT_EQ(robot->getKeyTimes(), (Times{0, 3})) << "dropped on the trash";
}

} // namespace
