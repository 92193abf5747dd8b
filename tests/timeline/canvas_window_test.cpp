// The time-line canvas in a real window: the rows it shows, how mouse
// events reach the widget set, its pop-up and its commands.
#include "probe_widgets.h"
#include "recording_host.h"

#include "support/window/kgiWindowTest.h"

#include "kgiTimesheetCanvas.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const kgiTestImage::Rgb WHITE{255, 255, 255};
// (0.5, 0.5, 0.7) as the 8-bit buffer holds it, within a step of rounding.
const kgiTestImage::Rgb GREY_BLUE{128, 128, 179};

// Rows of the time line inside a canvas of width w and height h: the
// widgets cover exactly where the rows lie (white with what they show on
// it), grey-blue everywhere else.
void expectRows(const kgiTestImage& shot, int left, int top, int w, int h) {
    const int inner = w - 10;
    EXPECT_EQ(shot.count(left + 5, top + 5, inner, 50, GREY_BLUE, 1), 0) << "scroller and overview";
    EXPECT_EQ(shot.count(left + 5, top + 58, inner, 76, GREY_BLUE, 1), 0) << "buttons, playback bar, lower line";
    EXPECT_GT(shot.count(left + 5, top + 5, inner, 129, WHITE), inner * 129 / 2) << "on white rows";
    EXPECT_EQ(shot.count(left, top, w, 5, GREY_BLUE, 1), w * 5) << "top margin";
    EXPECT_EQ(shot.count(left, top + 55, w, 3, GREY_BLUE, 1), w * 3) << "the gap between the two groups";
    EXPECT_EQ(shot.count(left, top + 134, w, h - 134, GREY_BLUE, 1), w * (h - 134)) << "below the rows";
    EXPECT_EQ(shot.count(left, top, 5, h, GREY_BLUE, 1), 5 * h) << "left margin";
    EXPECT_EQ(shot.count(left + w - 5, top, 5, h, GREY_BLUE, 1), 5 * h) << "right margin";
}

class TimelineCanvasWindow : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        world->setCurrentTime(0.0f);
    }
    void TearDown() override {
        world->setCurrentTime(0.0f);
        world->setMediaTracks(nullptr);
    }
    // A canvas of w x h filling a window; with probes, the manager has the
    // recording host and the stand-in children.
    kgiTimesheetCanvas* open(int w, int h, bool probes, FX::FXObject* target = nullptr) {
        window = std::make_unique<kgiTestWindow>(w, h, "time line");
        canvas = new kgiTimesheetCanvas(window->shell(), kgiTestWindow::glVisual(), target, 0,
                                        FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, 0, 0, w, h);
        if (probes) {
            auto* m = new kgiGLTsMgr(0, 0, w, h, &host, &maker);
            canvas->setManager(m);
        }
        window->show();
        EXPECT_TRUE(window->runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
        return canvas;
    }
    kgiTestImage repaint() {
        const long before = canvas->getPaintCount();
        canvas->update();
        window->runUntil([&] { return canvas->getPaintCount() > before; });
        return window->grab();
    }
    void send(FX::FXSelector type, FX::FXEvent& ev) { canvas->handle(nullptr, FXSEL(type, 0), &ev); }

    kgiWorld* world = kgiWorld::instance();
    // Before the window, which deletes the manager that uses them.
    kgiRecordingHost host;
    ProbeMaker maker;
    std::unique_ptr<kgiTestWindow> window;
    kgiTimesheetCanvas* canvas = nullptr;
};

TEST_F(TimelineCanvasWindow, RowsShowWhiteOnGreyBlueAlsoAfterWidening) {
    open(700, 170, false);
    kgiTestImage shot = repaint();
    shot.save("timeline_rows");
    expectRows(shot, canvas->getX(), canvas->getY(), canvas->getWidth(), canvas->getHeight());

    window->shell()->resize(1100, 170);
    window->runUntil([this] { return canvas->getWidth() == 1100; });
    ASSERT_EQ(canvas->getManager()->getFrameLine()->getWidth(), 1090);
    shot = repaint();
    expectRows(shot, canvas->getX(), canvas->getY(), canvas->getWidth(), canvas->getHeight());
}

TEST_F(TimelineCanvasWindow, WheelStepsTheCurrentFrameNotBelowZero) {
    open(400, 150, true);
    FX::FXEvent ev;
    ev.code = -120;  // towards the user
    send(FX::SEL_MOUSEWHEEL, ev);
    EXPECT_EQ(world->getCurrentTime(), 1.0f);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"redrawAll"}));
    ev.code = 120;
    send(FX::SEL_MOUSEWHEEL, ev);
    send(FX::SEL_MOUSEWHEEL, ev);
    EXPECT_EQ(world->getCurrentTime(), 0.0f) << "back one frame, then held at 0";
}

TEST_F(TimelineCanvasWindow, MotionRedrawsAllOnlyWhenTheTimeMoves) {
    open(400, 150, true);
    FX::FXEvent ev;
    ev.win_x = 60;
    ev.win_y = 110;
    send(FX::SEL_MOTION, ev);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"redrawTimeline"}));
    EXPECT_EQ(maker.log.count("line motion"), 1) << "the widgets saw it";

    // A scrub: the lower line sets the time on motion.
    maker.line->onMove = [this](Probe<kgiGLFrameline>&, int px, int) { world->setCurrentTime(float(px)); };
    host.calls.clear();
    send(FX::SEL_MOTION, ev);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"redrawAll"}));
}

// The lower line as Time line II will have it for a right button: a press
// in the time area asks for the menu, one in the key row pans; the release
// ends either.
void menuOnRightPress(Probe<kgiGLFrameline>& line) {
    line.takesPress = true;
    line.onPress = [](Probe<kgiGLFrameline>& l, int button) {
        const bool timeArea = l.getLastY() > l.getY() + l.getKeyRowHeight();
        l.setDragMode(button == 2 && timeArea ? kgiGLFrameline::DRAG_MENU : kgiGLFrameline::DRAG_PAN);
    };
    line.onRelease = [](Probe<kgiGLFrameline>& l, int) { l.setDragMode(kgiGLFrameline::DRAG_NONE); };
}

TEST_F(TimelineCanvasWindow, RightPressInTheTimeAreaPopsTheMenuAtThePointer) {
    open(400, 150, true);
    menuOnRightPress(*maker.line);

    FX::FXint rootX = 0, rootY = 0;
    canvas->translateCoordinatesTo(rootX, rootY, canvas->getRoot(), 60, 102);
    window->movePointer(canvas->getX() + 60, canvas->getY() + 102);  // key row of the lower line
    window->pressButton(3);
    EXPECT_FALSE(canvas->getPopup()->shown()) << "a right press in the key row";
    window->releaseButton(3);

    canvas->translateCoordinatesTo(rootX, rootY, canvas->getRoot(), 60, 125);
    window->movePointer(canvas->getX() + 60, canvas->getY() + 125);  // its time area
    window->pressButton(3);
    ASSERT_TRUE(window->runUntil([this] { return canvas->getPopup()->shown() != 0; })) << "the menu pops up";
    EXPECT_EQ(canvas->getPopup()->getX(), rootX);
    EXPECT_EQ(canvas->getPopup()->getY(), rootY);
    EXPECT_EQ(canvas->getManager()->getCaptured(), nullptr) << "the press was completed at once";
    EXPECT_EQ(maker.log.calls.back(), "line release 2");
    EXPECT_FALSE(canvas->getManager()->isKeyMenuPending());
    window->releaseButton(3);

    canvas->getPopup()->popdown();
    window->settle();
    maker.log.calls.clear();
    maker.line->onPress = nullptr;
    window->click(canvas->getX() + 60, canvas->getY() + 125, 1);
    EXPECT_EQ(maker.log.count("line press 0"), 1) << "the next left press is handled";
    EXPECT_EQ(maker.log.count("line release 0"), 1);
    EXPECT_EQ(canvas->getManager()->getCaptured(), nullptr);
}

// Records the commands a window receives.
class RecordingTarget : public FX::FXObject {
public:
    std::vector<int> commands;
    long handle(FX::FXObject*, FX::FXSelector sel, void*) override {
        if (FXSELTYPE(sel) != FX::SEL_COMMAND) return 0;
        commands.push_back(FXSELID(sel));
        return 1;
    }
};

TEST_F(TimelineCanvasWindow, PopupEntriesSendTheKeysCommandsToTheTarget) {
    RecordingTarget target;
    open(400, 150, false, &target);
    std::vector<int> entries;
    for (FX::FXWindow* w = canvas->getPopup()->getFirst(); w; w = w->getNext()) {
        auto* cmd = dynamic_cast<FX::FXMenuCommand*>(w);
        ASSERT_NE(cmd, nullptr);
        EXPECT_EQ(cmd->getTarget(), canvas);
        entries.push_back(static_cast<int>(cmd->getSelector()));
        // What the entry sends when clicked.
        canvas->handle(cmd, FXSEL(FX::SEL_COMMAND, cmd->getSelector()), nullptr);
    }
    EXPECT_EQ(entries, (std::vector<int>{54, 55, 56}));
    EXPECT_EQ(target.commands, (std::vector<int>{91, 90, 92})) << "copy, cut, paste";
    for (int spare : {57, 58}) EXPECT_EQ(canvas->handle(nullptr, FXSEL(FX::SEL_COMMAND, spare), nullptr), 1);
    EXPECT_EQ(target.commands.size(), 3u);
}

// Media tracks that record the host operations.
class RecordingTracks : public kgiMediaTracks {
public:
    int tracks = 0;
    int importResult = -1;
    std::vector<std::string> calls;
    int getTrackCount() override { return tracks; }
    kgiMediaTrackInfo* getTrackInfo(int) override { return nullptr; }
    void playTrack(int, int) override {}
    void stopTrack(int) override {}
    int importMediaFile() override {
        calls.push_back("import");
        return importResult;
    }
    void removeTrack(int i) override { calls.push_back("remove " + std::to_string(i)); }
};

TEST_F(TimelineCanvasWindow, MediaCommandsGoToTheInstalledTracks) {
    open(400, 150, false);
    const auto command = [this](int id) { return canvas->handle(nullptr, FXSEL(FX::SEL_COMMAND, id), nullptr); };
    EXPECT_EQ(command(kgiTimesheetCanvas::ID_MEDIA_IMPORT), 0) << "no media host";
    EXPECT_EQ(command(kgiTimesheetCanvas::ID_MEDIA_REMOVE), 1);

    RecordingTracks media;
    world->setMediaTracks(&media);
    EXPECT_EQ(command(kgiTimesheetCanvas::ID_MEDIA_IMPORT), 0) << "import answered -1";
    media.importResult = 0;
    EXPECT_EQ(command(kgiTimesheetCanvas::ID_MEDIA_IMPORT), 1) << "track 0 added";
    command(kgiTimesheetCanvas::ID_MEDIA_REMOVE);
    media.tracks = 2;
    command(kgiTimesheetCanvas::ID_MEDIA_REMOVE);
    EXPECT_EQ(media.calls, (std::vector<std::string>{"import", "import", "remove 0"}));
}

} // namespace
