// The time line's widget base and the parts of its children that the
// manager drives: rectangles, the time axis, scroller and frame-line
// windows, the playback range and the frame-button group.
#include "recording_host.h"

#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLScroller.h"
#include "kgiGLWidget.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(TimelineWidget, LastEventIsUnsetUntilTheFirstCallAndThenStored) {
    kgiGLWidget w(10, 20, 100, 30);
    EXPECT_EQ(w.getLastButton(), -1);
    EXPECT_EQ(w.getLastAction(), -1);
    EXPECT_EQ(w.getLastModifier(), -1);

    EXPECT_FALSE(w.onMouse(2, 0, 1, 50, 25)) << "the base handles nothing";
    EXPECT_EQ(w.getLastButton(), 2);
    EXPECT_EQ(w.getLastAction(), 0);
    EXPECT_EQ(w.getLastModifier(), 1);
    EXPECT_EQ(w.getLastX(), 50);
    EXPECT_EQ(w.getLastY(), 25);
}

TEST(TimelineWidget, BorderPointsAreOutside) {
    const kgiGLWidget w(10, 20, 100, 30);  // x 10..110, y 20..50
    struct Case {
        int px, py;
        bool inside;
    } cases[] = {
        {11, 21, true}, {109, 49, true}, {60, 35, true},
        {10, 35, false}, {110, 35, false}, {60, 20, false}, {60, 50, false}, {9, 35, false}, {60, 51, false},
    };
    for (const Case& c : cases) EXPECT_EQ(w.isInside(c.px, c.py), c.inside) << c.px << "," << c.py;
}

TEST(TimelineWidget, FrameUnderAColumnRoundsTowardsMinusInfinity) {
    // Left edge 5, first frame 100, 8 columns a frame.
    struct Case {
        int px, frame;
    } cases[] = {
        {5, 100}, {12, 100}, {13, 101}, {1018, 226},
        {4, 99}, {-3, 99},  // the cell left of the edge is the frame before
        {-4, 98},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kgiGLWidget::frameAt(c.px, 5, 100, 8), c.frame) << "column " << c.px;
        const int col = kgiGLWidget::columnOf(c.frame, 5, 100, 8);
        EXPECT_TRUE(col <= c.px && c.px < col + 8) << "frame " << c.frame << " starts at " << col;
    }
}

TEST(TimelineScroller, ThumbColumnFollowsValueFirstAndScale) {
    kgiGLScroller s(5, 5, 1014, 10);
    EXPECT_EQ(s.getPixelsPerUnit(), 5);
    s.setPixelsPerUnit(1);
    EXPECT_EQ(s.getVisible(), 1014);

    s.setValue(300);
    s.setFirst(250);
    EXPECT_EQ(s.getThumbX(), 5 + 50);
    s.setValue(-7);
    EXPECT_EQ(s.getValue(), 0) << "the value never goes below 0";
    EXPECT_EQ(s.getThumbX(), 5 - 250);
    s.setPixelsPerUnit(4);
    EXPECT_EQ(s.getVisible(), 1014 / 4);
    EXPECT_EQ(s.getThumbX(), 5 - 1000);
    s.setPixelsPerUnit(0);
    EXPECT_EQ(s.getPixelsPerUnit(), 5) << "a scale that is not positive falls back to 5";
    s.setSize(500, 10);
    EXPECT_EQ(s.getVisible(), 100);
}

TEST(TimelineFrameline, WindowEndFollowsWidthAndScaleAndMovesWhole) {
    kgiGLFrameline line(5, 94, 1014, 40);
    EXPECT_EQ(line.getFirst(), 0);
    EXPECT_EQ(line.getLast(), 0) << "set by the first resize or scale";
    line.setPixelsPerFrame(8);
    EXPECT_EQ(line.getLast(), 125);
    line.moveWindowTo(40);
    EXPECT_EQ(line.getFirst(), 40);
    EXPECT_EQ(line.getLast(), 165);
    line.setSize(800, 40);
    EXPECT_EQ(line.getLast(), 40 + 100 - 1);
    line.setPixelsPerFrame(-1);
    EXPECT_EQ(line.getPixelsPerFrame(), 5);
    EXPECT_EQ(line.getVisibleFrames(), 160);
}

class TimelineWorld : public ::testing::Test {
protected:
    void TearDown() override {
        world->setStartFrame(0.0f);
        world->setEndFrame(0.0f);
    }
    kgiWorld* world = kgiWorld::instance();
};

TEST_F(TimelineWorld, PlaybackBarTakesTheWorldsRange) {
    kgiGLPlaybackBar bar(5, 74, 1014, 20);
    bar.setPixelsPerUnit(8);
    bar.setFirst(4);
    world->setEndFrame(40.0f);
    world->setStartFrame(10.0f);
    bar.update();
    EXPECT_EQ(bar.getValue(), 10);
    EXPECT_EQ(bar.getLength(), 31);
    EXPECT_EQ(bar.getThumbX(), 5 + 6 * 8);
    EXPECT_EQ(bar.getThumbCenter(), 5 + 6 * 8 + 31 * 8 / 2);
}

// A 24-bit BMP of w x h grey pixels.
void writeBitmap(const std::filesystem::path& path, int w, int h) {
    const int row = (w * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(row * h);
    std::ofstream out(path, std::ios::binary);
    auto u16 = [&](std::uint16_t v) { out.put(static_cast<char>(v & 0xff)).put(static_cast<char>(v >> 8)); };
    auto u32 = [&](std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xffff));
        u16(static_cast<std::uint16_t>(v >> 16));
    };
    out.put('B').put('M');
    u32(54 + dataSize);
    u32(0);
    u32(54);
    u32(40);
    u32(static_cast<std::uint32_t>(w));
    u32(static_cast<std::uint32_t>(h));
    u16(1);
    u16(24);
    u32(0);
    u32(dataSize);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (std::uint32_t i = 0; i < dataSize; ++i) out.put(static_cast<char>(0x80));
}

TEST(TimelineFrameButtons, GroupIsThreePicturesWideAndStaysInside) {
    kgiRecordingHost host;
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() / ("kgi_frame_buttons_" + std::to_string(::getpid()));
    std::filesystem::create_directories(base / "icons" / "3d");
    writeBitmap(base / "icons" / "3d" / "s_begin.bmp", 20, 12);
    host.base = base.string();

    kgiGLFrameButtons buttons(5, 58, 200, 14, &host);
    EXPECT_EQ(buttons.getHalfWidth(), 30);
    EXPECT_EQ(buttons.getGroupX(), 5);
    EXPECT_EQ(buttons.getHover(), -1);
    struct Case {
        int px, groupX;
    } cases[] = {{50, 50}, {-40, 5}, {4, 5}, {145, 145}, {146, 145}, {900, 145}};
    for (const Case& c : cases) {
        buttons.placeGroup(c.px);
        EXPECT_EQ(buttons.getGroupX(), c.groupX) << "placed at " << c.px;
    }

    kgiRecordingHost empty;
    empty.base = (base / "missing").string();
    const kgiGLFrameButtons bare(5, 58, 200, 14, &empty);
    EXPECT_EQ(bare.getHalfWidth(), 0) << "no picture, no group width";
    std::filesystem::remove_all(base);
}

} // namespace
