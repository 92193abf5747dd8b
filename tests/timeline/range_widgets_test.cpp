// The scroller's thumb and the playback bars' range under the mouse,
// without a display: grabbing, bounded and free dragging, the middle
// click, the range's edges and where the range is stored.
#include "recording_host.h"

#include "kgiGLMediaPlaybackBar.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLScroller.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum { LEFT = 0, MIDDLE = 1, RIGHT = 2, PRESS = 0, RELEASE = 1, NONE = -1, DOUBLE = 3 };

// The time line's scroller row: 1,014 columns from x 5, one unit a column,
// a thumb of 126 units (the lower line's window at 8 pixels a frame).
class TimelineScrollerDrag : public ::testing::Test {
protected:
    void SetUp() override {
        s.setPixelsPerUnit(1);
        s.setLength(126);
    }
    // Column of unit u.
    int col(int u) const { return 5 + (u - s.getFirst()); }
    kgiRecordingHost host;
    kgiGLScroller s{5, 5, 1014, 10, &host};
    const int py = 10;
};

TEST_F(TimelineScrollerDrag, AgainstTheRightEdgeTheWindowScrollsByTheOvershoot) {
    s.setValue(880);  // right end at unit 1006 of 1014
    ASSERT_TRUE(s.onMouse(LEFT, PRESS, NONE, col(890), py));
    ASSERT_TRUE(s.isGrabbing());
    EXPECT_EQ(s.getGrabOffset(), 10);

    s.onMotion(5 + 910, py);  // 20 units on: 12 past the edge
    EXPECT_EQ(s.getFirst(), 12);
    EXPECT_EQ(s.getThumbX(), 5 + 1014 - 126) << "the thumb stays at the edge";
    EXPECT_EQ(s.getValue(), 900);
    s.onMotion(5 + 930, py);
    EXPECT_EQ(s.getFirst(), 32) << "later without limit";
    EXPECT_EQ(s.getValue(), 920);

    // Back left: the thumb follows only once the pointer is left of the
    // point where it holds the thumb (thumbX + 10 = column 903).
    s.onMotion(5 + 920, py);
    EXPECT_EQ(s.getValue(), 920);
    s.onMotion(5 + 890, py);
    EXPECT_EQ(s.getValue(), 32 + 858);
    EXPECT_EQ(s.getThumbX(), 5 + 858);

    EXPECT_FALSE(s.onMouse(LEFT, RELEASE, NONE, 5 + 890, py));
    EXPECT_FALSE(s.isGrabbing());
    s.onMotion(5 + 100, py);
    EXPECT_EQ(s.getValue(), 890) << "no drag after the release";
}

TEST_F(TimelineScrollerDrag, AgainstTheLeftEdgeItStopsAtUnitZero) {
    s.setValue(10);
    ASSERT_TRUE(s.onMouse(LEFT, PRESS, NONE, col(15), py));
    s.onMotion(5 + 8, py);
    EXPECT_EQ(s.getValue(), 3);
    s.onMotion(-40, py);  // far past the edge
    EXPECT_EQ(s.getValue(), 0);
    EXPECT_EQ(s.getFirst(), 0);
    EXPECT_EQ(s.getThumbX(), 5);

    // A scrolled window scrolls back by the overshoot, not below 0.
    s.onMouse(LEFT, RELEASE, NONE, 0, py);
    s.setFirst(30);
    s.setValue(35);
    ASSERT_TRUE(s.onMouse(LEFT, PRESS, NONE, col(40), py));
    s.onMotion(col(40) - 15, py);  // thumb 10 units past the edge
    EXPECT_EQ(s.getFirst(), 20);
    EXPECT_EQ(s.getValue(), 20);
    s.onMotion(col(40) - 115, py);
    EXPECT_EQ(s.getFirst(), 0);
    EXPECT_EQ(s.getValue(), 0);
}

TEST_F(TimelineScrollerDrag, MiddleClickCentresTheThumbOnTheClickedUnit) {
    struct Case {
        int unit, value;
    } cases[] = {{500, 437}, {480, 437} /* on the thumb: stays */, {20, 0}, {1000, 937}};
    for (const Case& c : cases) {
        EXPECT_TRUE(s.onMouse(MIDDLE, PRESS, NONE, col(c.unit), py)) << c.unit;
        EXPECT_EQ(s.getValue(), c.value) << c.unit;
        EXPECT_EQ(s.getThumbX(), col(c.value)) << c.unit;
        EXPECT_FALSE(s.isGrabbing()) << "a middle press does not drag";
        s.onMouse(MIDDLE, RELEASE, NONE, col(c.unit), py);
    }
    EXPECT_FALSE(s.onMouse(MIDDLE, PRESS, NONE, 3, py)) << "outside";
}

TEST_F(TimelineScrollerDrag, GrabNeedsTheThumbAndStepsCountWholeUnits) {
    s.setValue(100);
    EXPECT_FALSE(s.onMouse(LEFT, PRESS, NONE, col(100), py)) << "the thumb's left column is the bar's";
    EXPECT_EQ(s.getGrabOffset(), -1);
    EXPECT_FALSE(s.onMouse(LEFT, PRESS, NONE, col(300), py));
    EXPECT_TRUE(s.onMouse(RIGHT, PRESS, NONE, col(101), py)) << "any button but the middle grabs";
    s.onMouse(RIGHT, RELEASE, NONE, col(101), py);

    // At 8 columns a unit a step waits for a unit boundary.
    kgiGLScroller wide(5, 5, 1014, 10, &host);
    wide.setPixelsPerUnit(8);
    wide.setLength(10);
    wide.setValue(20);
    ASSERT_TRUE(wide.onMouse(LEFT, PRESS, NONE, 5 + 20 * 8 + 2, py));
    wide.onMotion(5 + 20 * 8 + 7, py);
    EXPECT_EQ(wide.getValue(), 20);
    wide.onMotion(5 + 21 * 8 + 1, py);
    EXPECT_EQ(wide.getValue(), 21);
    wide.onMotion(5 + 23 * 8 + 6, py);
    EXPECT_EQ(wide.getValue(), 23);
}

TEST_F(TimelineScrollerDrag, FreeDragNeverScrollsNorGoesBeforeUnitZero) {
    s.setFreeDrag(true);
    s.setPixelsPerUnit(8);
    s.setLength(10);
    s.setFirst(10);
    s.setValue(15);
    const int grab = 5 + 5 * 8 + 3;
    ASSERT_TRUE(s.onMouse(LEFT, PRESS, NONE, grab, py));
    s.onMotion(grab + 2000, py);
    EXPECT_EQ(s.getFirst(), 10) << "no scrolling";
    EXPECT_EQ(s.getValue(), 15 + 250) << "past the window's end";
    s.onMotion(grab - 2000, py);
    EXPECT_EQ(s.getValue(), 0);
    EXPECT_EQ(s.getThumbX(), 5 - 10 * 8);
    EXPECT_EQ(s.getFirst(), 10);
}

// The playback bar of the time line (row at y 74, 8 columns a frame) with
// the world's range 10..40.
class TimelinePlaybackBar : public ::testing::Test {
protected:
    void SetUp() override {
        world->setPlaying(false);
        world->setFrameRange(10.0f, 40.0f);
        bar.setPixelsPerUnit(8);
        bar.setFreeDrag(true);
        bar.update();
    }
    void TearDown() override {
        world->setMediaTracks(nullptr);
        world->setFrameRange(0.0f, 0.0f);
    }
    // A column inside frame f's cell.
    int col(int f, int dx = 3) const { return 5 + (f - bar.getFirst()) * 8 + dx; }
    // The world's range and the bar's, "start..end".
    std::string worldRange() const {
        return std::to_string(int(world->getStartFrame())) + ".." + std::to_string(int(world->getEndFrame()));
    }
    std::string barRange() const {
        return std::to_string(bar.getValue()) + ".." + std::to_string(bar.getValue() + bar.getLength() - 1);
    }

    kgiWorld* world = kgiWorld::instance();
    kgiRecordingHost host;
    kgiGLPlaybackBar bar{5, 74, 1014, 20, &host};
    const int py = 84;
};

TEST_F(TimelinePlaybackBar, EndCellsGrabTheirEdgeInEveryColumnAndTheRestTheRange) {
    enum Grab { NOTHING, START, END, RANGE };
    // Frame 10's cell is columns 85..92, frame 40's 325..332.
    struct Case {
        int px;
        Grab grab;
    } cases[] = {
        {84, NOTHING}, {85, START}, {92, START}, {93, RANGE}, {200, RANGE},
        {324, RANGE}, {325, END}, {332, END}, {333, NOTHING},
    };
    for (const Case& c : cases) {
        const bool hit = bar.onMouse(LEFT, PRESS, NONE, c.px, py);
        EXPECT_EQ(hit, c.grab != NOTHING) << c.px;
        EXPECT_EQ(bar.isGrabbingStart(), c.grab == START) << c.px;
        EXPECT_EQ(bar.isGrabbingEnd(), c.grab == END) << c.px;
        EXPECT_EQ(bar.isGrabbing(), c.grab == RANGE) << c.px;
        bar.onMouse(LEFT, RELEASE, NONE, c.px, py);
        EXPECT_FALSE(bar.isGrabbingStart() || bar.isGrabbingEnd() || bar.isGrabbing()) << "released at " << c.px;
    }
    EXPECT_FALSE(bar.onMouse(RIGHT, PRESS, NONE, col(20), py)) << "the right button is not the bar's";
    EXPECT_FALSE(bar.onMouse(LEFT, PRESS, NONE, col(20), 74)) << "on the border";
}

TEST_F(TimelinePlaybackBar, DragsKeepTheWorldsRangeEqualToTheBarsAfterEveryStep) {
    struct Step {
        int button;  // -1: motion only
        int frame;
        const char* range;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"start past the end turns over to the end",
         {{LEFT, 10, "10..40"}, {-1, 25, "25..40"}, {-1, 50, "40..50"}, {-1, 45, "40..45"}}},
        {"end past the start turns over to the start",
         {{LEFT, 40, "10..40"}, {-1, 30, "10..30"}, {-1, 5, "5..10"}, {-1, 2, "2..10"}}},
        {"edges stay inside the visible frames",
         {{LEFT, 40, "10..40"}, {-1, 300, "10..125"}, {-1, -9, "0..10"}}},
        {"whole range past the old end in one motion",
         {{LEFT, 20, "10..40"}, {-1, 60, "50..80"}, {-1, 62, "52..82"}}},
        {"whole range not before frame 0", {{LEFT, 20, "10..40"}, {-1, -30, "0..30"}}},
        {"middle drag from 30 to 12", {{MIDDLE, 30, "30..29"}, {-1, 12, "12..30"}, {-1, 30, "30..30"}, {-1, 33, "30..33"}}},
    };
    for (const Case& c : cases) {
        SetUp();
        int button = -1;
        for (const Step& s : c.steps) {
            if (s.button >= 0) {
                button = s.button;
                ASSERT_TRUE(bar.onMouse(button, PRESS, NONE, col(s.frame), py)) << c.name;
            } else {
                bar.onMotion(col(s.frame), py);
                EXPECT_EQ(worldRange(), barRange()) << c.name << ", at frame " << s.frame;
            }
            EXPECT_EQ(barRange(), s.range) << c.name << ", at frame " << s.frame;
        }
        bar.onMouse(button, RELEASE, NONE, col(c.steps.back().frame), py);
        EXPECT_EQ(barRange(), c.steps.back().range) << c.name << ", released";
        EXPECT_EQ(worldRange(), barRange()) << c.name << ", released";
    }
}

TEST_F(TimelinePlaybackBar, AnEdgeBeyondTheWindowIsNotPassedByTheClamp) {
    // 100..200 runs past the window (frames 0..125); the start dragged
    // beyond the end, far right of the bar, gives one frame, not a range
    // that ends before it starts.
    world->setFrameRange(100.0f, 200.0f);
    bar.update();
    ASSERT_TRUE(bar.onMouse(LEFT, PRESS, NONE, col(100), py));
    ASSERT_TRUE(bar.isGrabbingStart());
    bar.onMotion(col(210), py);
    EXPECT_EQ(barRange(), "200..200");
    EXPECT_EQ(worldRange(), "200..200");
}

TEST_F(TimelinePlaybackBar, MiddleClickWithoutMotionKeepsTheRangeShown) {
    EXPECT_TRUE(bar.onMouse(MIDDLE, PRESS, NONE, col(70), py));
    EXPECT_EQ(bar.getLength(), 0);
    bar.onMouse(MIDDLE, RELEASE, NONE, col(70), py);
    EXPECT_EQ(worldRange(), "10..40");
    EXPECT_EQ(barRange(), "10..40");
    bar.onMotion(col(80), py);
    EXPECT_EQ(worldRange(), "10..40") << "no drag after the release";
}

TEST_F(TimelinePlaybackBar, DoubleClickAsksForTheRefreshAndLessonsOnlyAnswer) {
    EXPECT_TRUE(bar.onMouse(LEFT, PRESS, DOUBLE, col(20), py));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"updateTimeline(check)"}));
    EXPECT_FALSE(bar.isGrabbing());

    host.lesson = true;
    for (int button : {LEFT, MIDDLE, RIGHT}) {
        EXPECT_TRUE(bar.onMouse(button, PRESS, NONE, col(10), py)) << button;
        EXPECT_FALSE(bar.isGrabbingStart() || bar.isGrabbing());
        bar.onMotion(col(60), py);
        bar.onMouse(button, RELEASE, NONE, col(60), py);
    }
    EXPECT_EQ(barRange(), "10..40");
    EXPECT_EQ(worldRange(), "10..40");
}

// Media tracks as the media host keeps them, two placed tracks; writes of
// a placement are recorded.
class TwoTracks : public kgiMediaTracks {
public:
    kgiMediaTrackInfo placement[2];
    std::vector<int> written;
    int getTrackCount() override { return 2; }
    kgiMediaTrackInfo* getTrackInfo(int i) override { return i >= 0 && i < 2 ? &placement[i] : nullptr; }
    void playTrack(int, int) override {}
    void stopTrack(int) override {}
    void setTrackInfo(int i, const kgiMediaTrackInfo* info) override {
        written.push_back(i);
        kgiMediaTracks::setTrackInfo(i, info);
    }
};

TEST_F(TimelinePlaybackBar, MediaBarMovesItsOwnTracksPlacementOnly) {
    TwoTracks tracks;
    tracks.placement[0] = {5, 9, true, false, 0, 0};
    tracks.placement[1] = {20, 29, true, false, 0, 250};
    world->setMediaTracks(&tracks);
    kgiGLMediaPlaybackBar media(5, 139, 1014, 13, &host);
    media.setPixelsPerUnit(8);
    media.setTrack(1);
    media.update();
    EXPECT_EQ(media.getValue(), 20);
    EXPECT_EQ(media.getLength(), 10);

    ASSERT_TRUE(media.onMouse(LEFT, PRESS, NONE, col(24), 145));
    media.onMotion(col(34), 145);
    EXPECT_EQ(tracks.written, std::vector<int>{1});
    EXPECT_EQ(tracks.placement[1].startFrame, 30);
    EXPECT_EQ(tracks.placement[1].endFrame, 39);
    EXPECT_EQ(tracks.placement[1].offsetMs, 250) << "only the frames change";
    EXPECT_EQ(tracks.placement[0].startFrame, 5);
    EXPECT_EQ(tracks.placement[0].endFrame, 9);
    EXPECT_EQ(worldRange(), "10..40") << "not the world's range";
    media.onMouse(LEFT, RELEASE, NONE, col(34), 145);

    tracks.placement[1].startFrame = 50;
    media.update();
    EXPECT_EQ(media.getValue(), 50) << "update reads its own track";
    world->setMediaTracks(nullptr);
    media.onMouse(LEFT, PRESS, NONE, col(52), 145);
    media.onMotion(col(60), 145);  // no track: nothing written, nothing broken
    EXPECT_EQ(tracks.written.size(), 1u);
}

} // namespace
