// The frame buttons without a display: where the group sits over the play
// range, which button the pointer is on, and what a press on each does,
// with the lesson and robot hooks answered by the recording host.
#include "recording_host.h"

#include "kgiGLFrameButtons.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLTsMgr.h"
#include "kgiWorld.h"

#include "kgiPictureSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

enum { LEFT = 0, MIDDLE = 1, PRESS = 0, RELEASE = 1, NONE = -1 };

// A base directory holding the time line's pictures as the program ships
// them (16 x 12 buttons), for the whole test program.
const std::string& pictureBase() {
    static const std::string base = [] {
        const fs::path dir = fs::temp_directory_path() / ("kgi_frame_buttons_" + std::to_string(::getpid()));
        for (const kgiPictureDef& def : kgiPictures::timeline()) {
            const fs::path file = dir / def.path;
            fs::create_directories(file.parent_path());
            kgiPictureSet::render(def).writeBmp(file.string());
        }
        return dir.string();
    }();
    return base;
}

class TimelineFrameButtonPress : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(pictureBase(), ignored);
    }
    void SetUp() override {
        host.base = pictureBase();
        world->setPlaying(false);
        world->setFrameRange(10.0f, 40.0f);
        world->setCurrentTime(20.0f);
    }
    void TearDown() override {
        world->setPlaying(false);
        world->setFrameRange(0.0f, 0.0f);
        world->setCurrentTime(0.0f);
    }
    // A left click on button i of the group (at its middle), after the
    // pointer came there.
    bool click(kgiGLFrameButtons& b, int i) {
        const int px = b.getGroupX() + 16 * i + 8;
        b.onMotion(px, 65);
        const bool acted = b.onMouse(LEFT, PRESS, NONE, px, 65);
        b.onMouse(LEFT, RELEASE, NONE, px, 65);
        return acted;
    }

    kgiWorld* world = kgiWorld::instance();
    kgiRecordingHost host;
};

TEST_F(TimelineFrameButtonPress, GroupSitsCentredOverTheRangeAndInsideNearBothEnds) {
    kgiGLTsMgr m(0, 0, 1024, 150, &host);
    m.setSize(1024, 150);
    const kgiGLFrameButtons* b = m.getFrameButtons();
    ASSERT_EQ(b->getHalfWidth(), 24) << "three 16-column pictures";
    struct Case {
        float start, end;
        int groupX;
    } cases[] = {
        // 10..40: columns 85..333, middle 209.
        {10.0f, 40.0f, 5 + 80 + 31 * 8 / 2 - 24},
        {0.0f, 1.0f, 5},                 // would start left of the row
        {124.0f, 125.0f, 5 + 1014 - 48},  // would end right of it
        {100.0f, 400.0f, 5 + 1014 - 48},  // runs past the window
    };
    for (const Case& c : cases) {
        world->setFrameRange(c.start, c.end);
        m.update();
        EXPECT_EQ(b->getGroupX(), c.groupX) << c.start << ".." << c.end;
    }
}

TEST_F(TimelineFrameButtonPress, PointerPicksTheButtonInsideTheGroupOnly) {
    kgiGLFrameButtons b(5, 58, 1014, 20, &host);
    b.placeGroup(185);
    struct Case {
        int px, py, hover;
    } cases[] = {
        {186, 65, 0}, {200, 65, 0}, {201, 65, 1}, {216, 65, 1}, {217, 65, 2}, {232, 65, 2},
        {185, 65, -1}, {233, 65, -1}, {200, 58, -1}, {200, 78, -1},
    };
    for (const Case& c : cases) {
        b.onMotion(c.px, c.py);
        EXPECT_EQ(b.getHover(), c.hover) << c.px << "," << c.py;
    }
    b.onMotion(300, 65);
    EXPECT_FALSE(b.onMouse(LEFT, PRESS, NONE, 300, 65)) << "off the buttons";
    EXPECT_FALSE(b.onMouse(MIDDLE, PRESS, NONE, 200, 65)) << "not the left button";
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TimelineFrameButtonPress, StartAndEndJumpOnlyWhileStopped) {
    kgiGLFrameButtons b(5, 58, 1014, 20, &host);
    EXPECT_TRUE(click(b, 0));
    EXPECT_EQ(world->getCurrentTime(), 10.0f);
    EXPECT_TRUE(click(b, 2));
    EXPECT_EQ(world->getCurrentTime(), 40.0f);

    EXPECT_TRUE(click(b, 1));
    ASSERT_TRUE(world->isPlaying());
    world->setCurrentTime(20.0f);
    EXPECT_FALSE(click(b, 0));
    EXPECT_FALSE(click(b, 2));
    EXPECT_EQ(world->getCurrentTime(), 20.0f);
    EXPECT_TRUE(click(b, 1));
    EXPECT_FALSE(world->isPlaying()) << "the middle button stops";
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lessonActionDone", "lessonActionDone", "lessonOnPlay",
                                                    "lessonActionDone", "lessonActionDone", "lessonOnPlay"}));
}

TEST_F(TimelineFrameButtonPress, LessonPermissionsAndTheEndButton) {
    kgiGLFrameButtons b(5, 58, 1014, 20, &host);
    host.lesson = true;
    host.permissionA = false;
    host.permissionB = false;
    EXPECT_FALSE(click(b, 0));
    EXPECT_FALSE(click(b, 1));
    EXPECT_FALSE(world->isPlaying());
    EXPECT_FALSE(click(b, 2));
    EXPECT_EQ(world->getCurrentTime(), 20.0f);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"sound(not good)"})) << "refusals sound on the host's side";

    host.calls.clear();
    host.permissionB = true;
    EXPECT_TRUE(click(b, 0));
    EXPECT_EQ(world->getCurrentTime(), 10.0f);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lessonActionDone"}));
}

TEST_F(TimelineFrameButtonPress, RobotFollowingPlaybackIsWrittenAndHeldFirst) {
    struct Case {
        const char* name;
        bool writeStarts;
        bool answerYes;
        bool plays;
        std::vector<std::string> calls;
    } cases[] = {
        {"yes", true, true, true,
         {"lessonActionDone", "loadRemoconList", "robotWriteMotions", "askYesNo", "redrawAll", "lessonActionDone",
          "robotReadSystemData", "robotStartCommand(true)", "lessonOnPlay"}},
        {"no", true, false, false,
         {"lessonActionDone", "loadRemoconList", "robotWriteMotions", "askYesNo", "robotLinkCommand",
          "lessonStepBack"}},
        {"write refused", false, true, true,
         {"lessonActionDone", "loadRemoconList", "robotWriteMotions", "robotStartCommand(false)", "lessonOnPlay"}},
    };
    for (const Case& c : cases) {
        world->setPlaying(false);
        host.calls.clear();
        host.robotSync = true;
        host.writeStarts = c.writeStarts;
        host.answerYes = c.answerYes;
        kgiGLFrameButtons b(5, 58, 1014, 20, &host);
        EXPECT_EQ(click(b, 1), c.plays) << c.name;
        EXPECT_EQ(world->isPlaying(), c.plays) << c.name;
        EXPECT_EQ(host.calls, c.calls) << c.name;
    }
    EXPECT_EQ(host.askedCaption, "ROBOT_COM_Wr_FallDown");
    EXPECT_EQ(host.askedText, "ROBOT_COM_Wr_HoldRobot\nROBOT_COM_Wr_Memory\nROBOT_COM_Wr_Nonstop");

    // While playing with the robot following, the button does nothing.
    ASSERT_TRUE(world->isPlaying());
    host.calls.clear();
    kgiGLFrameButtons b(5, 58, 1014, 20, &host);
    EXPECT_FALSE(click(b, 1));
    EXPECT_TRUE(world->isPlaying());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lessonActionDone"}));
}

} // namespace
