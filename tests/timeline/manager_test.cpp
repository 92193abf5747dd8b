// The time line's widget manager without a display: its rows, its scale
// and paging, the order in which children get presses and motions, the
// capture, and how the children's windows are kept in step.
#include "probe_widgets.h"
#include "recording_host.h"

#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLScroller.h"
#include "kgiGLTsMgr.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class TimelineManager : public ::testing::Test {
protected:
    void SetUp() override {
        world->setFps(kgiWorld::ROBOT_FPS);
        world->setEndFrame(0.0f);
        world->setStartFrame(0.0f);
    }
    void TearDown() override {
        world->setMediaTracks(nullptr);
        world->setEndFrame(0.0f);
        world->setStartFrame(0.0f);
        world->setFps(30.0f);
    }
    // A manager for a canvas of 1024 x 150, as the canvas lays it out.
    std::unique_ptr<kgiGLTsMgr> make(bool probes = false) {
        auto m = std::make_unique<kgiGLTsMgr>(0, 0, 1024, 150, &host, probes ? &maker : nullptr);
        m->setSize(1024, 150);
        return m;
    }

    kgiWorld* world = kgiWorld::instance();
    kgiRecordingHost host;
    ProbeMaker maker;
};

TEST_F(TimelineManager, RowsAtTheirPlacesWithTheirSettings) {
    kgiGLTsMgr m(0, 0, 1024, 150, &host);
    struct Row {
        const char* name;
        const kgiGLWidget* w;
        int y, h;
    } rows[] = {
        {"scroller", m.getScroller(), 5, 10},
        {"overview", m.getOverviewLine(), 15, 40},
        {"frame buttons", m.getFrameButtons(), 58, 14},
        {"playback bar", m.getPlaybackBar(), 74, 20},
        {"lower line", m.getFrameLine(), 94, 40},
    };
    for (const Row& r : rows) {
        ASSERT_NE(r.w, nullptr) << r.name;
        EXPECT_EQ(r.w->getX(), 5) << r.name;
        EXPECT_EQ(r.w->getY(), r.y) << r.name;
        EXPECT_EQ(r.w->getWidth(), 1014) << r.name;
        EXPECT_EQ(r.w->getHeight(), r.h) << r.name;
        EXPECT_EQ(r.w->getColor(), (std::array<float, 3>{{1.0f, 1.0f, 1.0f}})) << r.name;
    }
    EXPECT_EQ(m.getCursorY(), 139);
    EXPECT_EQ(m.getMediaBar(), nullptr);

    const std::array<float, 3> green{{132.0f / 255.0f, 199.0f / 255.0f, 44.0f / 255.0f}};
    const std::array<float, 3> grey{{0.86f, 0.86f, 0.86f}};
    const kgiGLScroller* s = m.getScroller();
    EXPECT_EQ(s->getPixelsPerUnit(), 1);
    EXPECT_EQ(s->getThumbColor(), (std::array<float, 3>{{1.0f, 221.0f / 255.0f, 0.0f}}));

    const kgiGLFrameline* o = m.getOverviewLine();
    const kgiGLFrameline* l = m.getFrameLine();
    struct Line {
        const char* name;
        const kgiGLFrameline* line;
        bool editable, range;
        int scale, label;
    } lines[] = {{"overview", o, false, true, 1, 5 * 33}, {"lower line", l, true, false, 8, 33}};
    for (const Line& c : lines) {
        EXPECT_EQ(c.line->isEditable(), c.editable) << c.name;
        EXPECT_EQ(c.line->getShowRange(), c.range) << c.name;
        EXPECT_EQ(c.line->getPixelsPerFrame(), c.scale) << c.name;
        EXPECT_EQ(c.line->getLabelFrames(), c.label) << c.name;
        EXPECT_EQ(c.line->getGridFrames(), 33) << c.name;
        EXPECT_EQ(c.line->getKeyRowHeight(), 20) << c.name;
        EXPECT_EQ(c.line->getBandFrames(), 1) << c.name;
        EXPECT_EQ(c.line->getBandColor(), grey) << c.name;
        EXPECT_EQ(c.line->getKeyColor(), (std::array<float, 3>{{1.0f, 0.0f, 0.0f}})) << c.name;
    }
    EXPECT_EQ(o->getRangeColor(), green);
    EXPECT_FALSE(o->isTrashEnabled());
    EXPECT_TRUE(l->isTrashEnabled());
    EXPECT_EQ(l->getTrashOffset(), 21);

    const kgiGLPlaybackBar* p = m.getPlaybackBar();
    EXPECT_EQ(p->getPixelsPerUnit(), 8);
    EXPECT_EQ(p->getValue(), 0);
    EXPECT_EQ(p->getLength(), 10);
    EXPECT_TRUE(p->isFreeDrag());
    EXPECT_EQ(p->getThumbColor(), green);

    EXPECT_EQ(s->getValue(), l->getFirst());
    EXPECT_EQ(s->getLength(), 126) << "the thumb is as long as the lower line's window";
}

TEST_F(TimelineManager, ResizeWidensEveryRowAndKeepsPlaces) {
    kgiGLTsMgr m(0, 0, 1024, 150, &host);
    m.setPosition(30, 40);
    EXPECT_EQ(m.getX(), 0) << "the manager stays at its origin";
    m.setSize(1290, 200);
    struct Row {
        const kgiGLWidget* w;
        int y, h;
    } rows[] = {{m.getScroller(), 5, 10}, {m.getOverviewLine(), 15, 40}, {m.getFrameButtons(), 58, 20},
                {m.getPlaybackBar(), 74, 20}, {m.getFrameLine(), 94, 40}};
    for (const Row& r : rows) {
        EXPECT_EQ(r.w->getWidth(), 1280);
        EXPECT_EQ(r.w->getHeight(), r.h);
        EXPECT_EQ(r.w->getY(), r.y);
    }
    EXPECT_EQ(m.getFrameLine()->getLast(), 159);
    EXPECT_EQ(m.getScroller()->getLength(), 160);
    EXPECT_EQ(m.getScroller()->getVisible(), 1280);
}

TEST_F(TimelineManager, ZoomCyclesAndTheThumbKeepsTheLowerWindowsLength) {
    auto m = make();
    const kgiGLFrameline* l = m->getFrameLine();
    EXPECT_EQ(l->getLast(), l->getFirst() + 125);
    struct Step {
        int scale, visible;
    } steps[] = {{4, 253}, {2, 507}, {8, 126}, {4, 253}};
    for (const Step& s : steps) {
        m->zoom();
        EXPECT_EQ(m->getPixelsPerFrame(), s.scale);
        EXPECT_EQ(l->getPixelsPerFrame(), s.scale);
        EXPECT_EQ(m->getPlaybackBar()->getPixelsPerUnit(), s.scale);
        EXPECT_EQ(l->getVisibleFrames(), s.visible);
        EXPECT_EQ(m->getScroller()->getLength(), s.visible);
        EXPECT_EQ(m->getScroller()->getValue(), l->getFirst());
    }
}

TEST_F(TimelineManager, PagingMovesTheOverviewWithinItsBounds) {
    auto m = make();
    kgiGLScroller* s = m->getScroller();
    const kgiGLFrameline* o = m->getOverviewLine();
    const int length = o->getLast() - o->getFirst();

    m->pageForward();
    EXPECT_EQ(s->getFirst(), 1014);
    EXPECT_EQ(o->getFirst(), 1014);
    EXPECT_EQ(o->getLast() - o->getFirst(), length);

    s->setFirst(300);
    m->pageBack();
    EXPECT_EQ(s->getFirst(), 0) << "not a negative start";
    EXPECT_EQ(o->getFirst(), 0);

    struct End {
        float end;
        int first;
    } ends[] = {{100.0f, 0}, {2000.0f, 2000 - 507}};
    for (const End& e : ends) {
        world->setEndFrame(e.end);
        m->goToEnd();
        EXPECT_EQ(s->getFirst(), e.first) << "end frame " << e.end;
        EXPECT_EQ(o->getFirst(), e.first);
        EXPECT_EQ(o->getLast() - o->getFirst(), length);
    }
    m->goToStart();
    EXPECT_EQ(s->getFirst(), 0);
    EXPECT_EQ(o->getFirst(), 0);
}

TEST_F(TimelineManager, WithoutTheOverviewRowPagingAndDispatchDoNothing) {
    auto m = make();
    m->removeOverview();
    EXPECT_EQ(m->getScroller(), nullptr);
    EXPECT_EQ(m->getOverviewLine(), nullptr);
    m->pageForward();
    m->pageBack();
    m->goToStart();
    m->goToEnd();
    m->zoom();
    m->setSize(800, 150);
    m->update();
    EXPECT_FALSE(m->onMouse(0, 0, -1, 100, 10));
    m->onMotion(100, 10);

    m->rebuildOverview();
    ASSERT_NE(m->getOverviewLine(), nullptr);
    EXPECT_EQ(m->getOverviewLine()->getY(), 139) << "below the rows";
    EXPECT_TRUE(m->getOverviewLine()->getShowRange());
}

TEST_F(TimelineManager, PressGoesToTheFirstChildThatTakesIt) {
    struct Case {
        const char* taker;
        std::vector<std::string> asked;  // presses, in order
        const char* captured;            // null: nothing
    } cases[] = {
        {"playback", {"playback"}, "playback"},
        {"buttons", {"playback", "buttons"}, nullptr},
        {"line", {"playback", "buttons", "line"}, "line"},
        {"scroller", {"playback", "buttons", "line", "scroller"}, "scroller"},
        {"overview", {"playback", "buttons", "line", "scroller", "overview"}, "overview"},
    };
    for (const Case& c : cases) {
        ProbeMaker probes;
        kgiGLTsMgr m(0, 0, 1024, 150, &host, &probes);
        kgiGLWidget* children[] = {probes.playback, probes.buttons, probes.line, probes.scroller, probes.overview};
        const char* names[] = {"playback", "buttons", "line", "scroller", "overview"};
        kgiGLWidget* taker = nullptr;
        for (int i = 0; i < 5; ++i)
            if (std::string(names[i]) == c.taker) taker = children[i];
        probes.playback->takesPress = taker == probes.playback;
        probes.buttons->takesPress = taker == probes.buttons;
        probes.line->takesPress = taker == probes.line;
        probes.scroller->takesPress = taker == probes.scroller;
        probes.overview->takesPress = taker == probes.overview;

        EXPECT_TRUE(m.onMouse(0, 0, -1, 50, 50)) << c.taker;
        std::vector<std::string> expected;
        for (const std::string& n : c.asked) expected.push_back(n + " press 0");
        EXPECT_EQ(probes.log.calls, expected) << c.taker;
        EXPECT_EQ(m.getCaptured(), c.captured ? taker : nullptr) << c.taker;
    }
}

TEST_F(TimelineManager, UntakenPressIsRefusedAndHoverReachesEveryChild) {
    auto m = make(true);
    EXPECT_FALSE(m->onMouse(1, 0, 3, 70, 80));
    EXPECT_EQ(m->getCaptured(), nullptr);
    EXPECT_EQ(m->getLastButton(), 1) << "the manager keeps the untaken press";
    EXPECT_EQ(m->getLastModifier(), 3);
    maker.log.calls.clear();
    m->onMotion(70, 80);
    EXPECT_EQ(maker.log.calls, (std::vector<std::string>{"buttons motion", "playback motion", "line motion",
                                                         "scroller motion", "overview motion"}));
}

TEST_F(TimelineManager, LessonAllowsOnlyTheLowerRows) {
    host.lesson = true;
    {
        auto m = make(true);
        maker.playback->takesPress = true;
        EXPECT_TRUE(m->onMouse(0, 0, -1, 50, 80)) << "handled";
        EXPECT_EQ(m->getCaptured(), nullptr) << "but not dragged";
        maker.log.calls.clear();
        m->onMotion(60, 80);
        EXPECT_EQ(maker.log.count("playback motion"), 1) << "hover only";
        EXPECT_TRUE(host.calls.empty());
    }
    for (const char* row : {"scroller", "overview"}) {
        ProbeMaker probes;
        kgiGLTsMgr m(0, 0, 1024, 150, &host, &probes);
        probes.scroller->takesPress = probes.overview->takesPress = true;
        host.calls.clear();
        EXPECT_FALSE(m.onMouse(0, 0, -1, 50, 10)) << row;
        EXPECT_EQ(probes.log.count(std::string(row) + " press 0"), 0) << row << " is never asked";
        EXPECT_EQ(host.calls, (std::vector<std::string>{"sound(not good)"})) << row;
        EXPECT_EQ(m.getCaptured(), nullptr);
    }
}

TEST_F(TimelineManager, CapturedScrollerCarriesTheOtherWindows) {
    auto m = make(true);
    maker.scroller->takesPress = true;
    // The drag puts the thumb at unit px - 5 and scrolls the bar to 20.
    maker.scroller->onMove = [](Probe<kgiGLScroller>& s, int px, int) {
        s.setFirst(20);
        s.setValue(px - 5);
    };
    ASSERT_TRUE(m->onMouse(0, 0, -1, 100, 10));
    maker.log.calls.clear();
    m->onMotion(305, 10);
    EXPECT_EQ(maker.log.calls, (std::vector<std::string>{"scroller motion"})) << "only the captured widget moves";
    EXPECT_EQ(maker.scroller->getValue(), 300);
    EXPECT_EQ(maker.line->getFirst(), 300);
    EXPECT_EQ(maker.line->getVisibleFrames(), 126);
    EXPECT_EQ(maker.playback->getFirst(), 300);
    EXPECT_EQ(maker.overview->getFirst(), 20);
    // The range lies left of the window now: the buttons stay at its edge.
    EXPECT_LT(maker.playback->getThumbCenter(), 5);
    EXPECT_EQ(maker.buttons->getGroupX(), 5);
}

TEST_F(TimelineManager, EveryCapturedWidgetBringsTheOthersInStep) {
    // Each drag moves its own widget's window to 40 (the overview's to 200).
    struct Case {
        const char* name;
        int lineFirst, scrollerValue, scrollerFirst, playbackFirst;
    } cases[] = {
        {"playback", 40, 40, 0, 40},
        {"line", 40, 40, 0, 40},
        {"overview", 0, 0, 200, 0},
    };
    for (const Case& c : cases) {
        ProbeMaker p;
        kgiGLTsMgr m(0, 0, 1024, 150, &host, &p);
        const std::string name = c.name;
        if (name == "playback") {
            p.playback->takesPress = true;
            p.playback->onMove = [](Probe<kgiGLPlaybackBar>& b, int, int) { b.setFirst(40); };
        } else if (name == "line") {
            p.line->takesPress = true;
            p.line->onMove = [](Probe<kgiGLFrameline>& l, int, int) { l.panTo(40); };
        } else {
            p.overview->takesPress = true;
            p.overview->onMove = [](Probe<kgiGLFrameline>& l, int, int) { l.panTo(200); };
        }
        ASSERT_TRUE(m.onMouse(0, 0, -1, 50, 50)) << name;
        m.onMotion(60, 50);
        EXPECT_EQ(p.line->getFirst(), c.lineFirst) << name;
        EXPECT_EQ(p.scroller->getValue(), c.scrollerValue) << name;
        EXPECT_EQ(p.scroller->getFirst(), c.scrollerFirst) << name;
        EXPECT_EQ(p.playback->getFirst(), c.playbackFirst) << name;
    }
}

TEST_F(TimelineManager, MiddleClickOnTheScrollerMovesTheViewsAtOnce) {
    auto m = make(true);
    maker.scroller->takesPress = true;
    maker.scroller->onPress = [](Probe<kgiGLScroller>& s, int) { s.setValue(437); };
    ASSERT_TRUE(m->onMouse(1, 0, -1, 500, 10));
    EXPECT_EQ(maker.line->getFirst(), 437);
    EXPECT_EQ(maker.playback->getFirst(), 437);
}

TEST_F(TimelineManager, SecondPressDuringACaptureIsIgnoredWithItsRelease) {
    auto m = make(true);
    maker.line->takesPress = true;
    maker.playback->takesPress = true;
    maker.playback->onPress = [this](Probe<kgiGLPlaybackBar>&, int) { maker.playback->takesPress = false; };
    ASSERT_TRUE(m->onMouse(0, 0, -1, 50, 80));  // left press: the playback bar
    maker.line->takesPress = true;
    maker.log.calls.clear();

    EXPECT_FALSE(m->onMouse(2, 0, -1, 50, 110)) << "a right press while the bar holds the capture";
    EXPECT_FALSE(m->onMouse(2, 1, -1, 50, 110)) << "and its release";
    EXPECT_TRUE(maker.log.calls.empty()) << "no child hears of either";
    EXPECT_EQ(m->getCaptured(), maker.playback);

    m->onMotion(70, 80);
    EXPECT_EQ(maker.log.calls, (std::vector<std::string>{"playback motion"})) << "still captured";
    EXPECT_FALSE(m->onMouse(0, 1, -1, 70, 80));
    EXPECT_EQ(maker.log.calls.back(), "playback release 0");
    EXPECT_EQ(maker.playback->getLastAction(), 1);
    EXPECT_EQ(m->getCaptured(), nullptr);

    maker.log.calls.clear();
    EXPECT_FALSE(m->onMouse(0, 1, -1, 70, 80)) << "a release with nothing captured";
    EXPECT_TRUE(maker.log.calls.empty());
}

TEST_F(TimelineManager, KeyMenuIsPendingWhileAFrameLineIsInMenuMode) {
    auto m = make(true);
    EXPECT_FALSE(m->isKeyMenuPending());
    maker.overview->setDragMode(kgiGLFrameline::DRAG_MENU);
    EXPECT_TRUE(m->isKeyMenuPending());
    maker.overview->setDragMode(kgiGLFrameline::DRAG_PAN);
    maker.line->setDragMode(kgiGLFrameline::DRAG_MENU);
    EXPECT_TRUE(m->isKeyMenuPending());
}

TEST_F(TimelineManager, UpdateReadsTheRangeAndCentresTheButtons) {
    auto m = make();
    world->setEndFrame(300.0f);
    world->setStartFrame(100.0f);
    m->update();
    const kgiGLPlaybackBar* p = m->getPlaybackBar();
    EXPECT_EQ(p->getValue(), 100);
    EXPECT_EQ(p->getLength(), 201);
    const kgiGLFrameButtons* b = m->getFrameButtons();
    EXPECT_EQ(b->getGroupX(), std::min(p->getThumbCenter() - b->getHalfWidth(), 5 + 1014 - 2 * b->getHalfWidth()));
}

// Media tracks with one placed track, as the media host would keep them.
class OneTrack : public kgiMediaTracks {
public:
    kgiMediaTrackInfo placement;
    int getTrackCount() override { return 1; }
    kgiMediaTrackInfo* getTrackInfo(int i) override { return i == 0 ? &placement : nullptr; }
    void playTrack(int, int) override {}
    void stopTrack(int) override {}
};

TEST_F(TimelineManager, MediaBarShowsATracksPlacementBelowTheRows) {
    auto m = make();
    m->addMediaBar(0);
    EXPECT_EQ(m->getMediaBar(), nullptr) << "no media host";

    OneTrack tracks;
    tracks.placement.startFrame = -5;
    tracks.placement.endFrame = 60;
    world->setMediaTracks(&tracks);
    m->addMediaBar(1);
    EXPECT_EQ(m->getMediaBar(), nullptr) << "no such track";
    m->addMediaBar(0);
    const kgiGLMediaPlaybackBar* bar = m->getMediaBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->getY(), 139);
    EXPECT_EQ(bar->getHeight(), 13);
    EXPECT_EQ(bar->getValue(), 0) << "a placement before frame 0 starts at 0";
    EXPECT_EQ(bar->getLength(), 66);
    EXPECT_EQ(bar->getPixelsPerUnit(), 8);
    EXPECT_FALSE(bar->isFreeDrag());
    m->zoom();
    EXPECT_EQ(bar->getPixelsPerUnit(), 4);
    m->setSize(800, 150);
    EXPECT_EQ(bar->getHeight(), 14);
    m->removeMediaBar();
    EXPECT_EQ(m->getMediaBar(), nullptr);
}

} // namespace
