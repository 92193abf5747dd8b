#include "kgiCharacter.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include "ksgManipulator.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"

#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The world is one per process: each test starts from a stopped world with
// the range [0, 1000] and no media.
class World : public ::testing::Test {
protected:
    void SetUp() override {
        w = kgiWorld::instance();
        w->setPlaying(false);
        w->setMediaTracks(nullptr);
        w->setLoop(false);
        w->setAutoReturn(false);
        w->setStartFrame(0.0f);
        w->setEndFrame(1000.0f);
        w->setFps(kgiWorld::ROBOT_FPS);
        w->setCurrentTime(0.0f);
    }
    void TearDown() override {
        // The tests' tracks are gone by now: drop them before stopping.
        w->setMediaTracks(nullptr);
        w->setPlaying(false);
    }
    kgiWorld* w = nullptr;
};

TEST_F(World, TimeBelowZeroOrNotANumberBecomesZero) {
    for (float t : {-3.0f, std::nanf(""), -INFINITY}) {
        w->setCurrentTime(42.0f);
        w->setCurrentTime(t);
        EXPECT_EQ(w->getCurrentTime(), 0.0f) << t;
    }
}

TEST_F(World, RangeEndsCannotCross) {
    w->setStartFrame(10.0f);
    w->setEndFrame(20.0f);
    w->setStartFrame(25.0f);  // above the end
    w->setEndFrame(5.0f);     // below the start
    w->setStartFrame(-1.0f);
    EXPECT_EQ(w->getStartFrame(), 10.0f);
    EXPECT_EQ(w->getEndFrame(), 20.0f);
    w->setStartFrame(20.0f);  // equal to the end is allowed
    EXPECT_EQ(w->getStartFrame(), 20.0f);
}

TEST_F(World, PlaybackCarriesTheFractionOfAFrame) {
    w->setPlaying(true);
    float previous = w->getCurrentTime();
    for (int i = 0; i < 1000; ++i) {  // ten seconds in steps of 10 ms
        w->advancePlaybackBy(0.010f, false);
        const float step = w->getCurrentTime() - previous;
        ASSERT_TRUE(step == 0.0f || step == 1.0f) << "step " << i << " moved " << step;
        previous = w->getCurrentTime();
    }
    EXPECT_EQ(w->getCurrentTime(), 333.0f);
}

TEST_F(World, StoppedWorldDoesNotAdvance) {
    w->advancePlaybackBy(1.0f, false);
    EXPECT_EQ(w->getCurrentTime(), 0.0f);
}

TEST_F(World, PlayingPastTheEnd) {
    struct Case {
        bool loop, autoReturn;
        float expected;
        bool stillPlaying;
    };
    // From frame 99 of [10, 100], three frames on.
    const Case cases[] = {
        {false, false, 100.0f, false},
        {false, true, 10.0f, false},
        {true, false, 12.0f, true},  // two frames past the end: start + 2
    };
    for (const Case& c : cases) {
        w->setEndFrame(100.0f);
        w->setStartFrame(10.0f);
        w->setLoop(c.loop);
        w->setAutoReturn(c.autoReturn);
        w->setFps(100.0f);
        w->setCurrentTime(99.0f);
        w->setPlaying(true);
        w->advancePlaybackBy(0.03f, false);
        EXPECT_FLOAT_EQ(w->getCurrentTime(), c.expected) << c.loop << c.autoReturn;
        EXPECT_EQ(w->isPlaying(), c.stillPlaying);
        w->setPlaying(false);
    }
}

TEST_F(World, ReversePlaybackWrapsToTheEnd) {
    w->setEndFrame(100.0f);
    w->setStartFrame(10.0f);
    w->setFps(100.0f);
    w->setCurrentTime(11.0f);
    w->setPlaying(true);
    w->advancePlaybackBy(0.03f, true);
    EXPECT_FLOAT_EQ(w->getCurrentTime(), 98.0f);
}

// One track placed at frames [10, 50) that records what playback asks.
class FakeTracks : public kgiMediaTracks {
public:
    FakeTracks() {
        placement.startFrame = 10;
        placement.endFrame = 50;
        placement.enabled = true;
        placement.offsetMs = 250;
    }
    int getTrackCount() override { return 2; }
    kgiMediaPlacement* getTrackInfo(int i) override { return i == 0 ? &placement : nullptr; }
    void playTrack(int i, int ms) override { log.push_back("play " + std::to_string(i) + " " + std::to_string(ms)); }
    void stopTrack(int i) override { log.push_back("stop " + std::to_string(i)); }
    kgiMediaPlacement placement;
    std::vector<std::string> log;
};

TEST_F(World, MediaTrackFollowsItsPlacement) {
    FakeTracks tracks;
    w->setMediaTracks(&tracks);
    w->setFps(10.0f);

    w->setCurrentTime(9.0f);
    w->syncMediaTracks();
    EXPECT_TRUE(tracks.log.empty()) << "before its start frame";

    w->setCurrentTime(12.0f);
    w->syncMediaTracks();
    ASSERT_EQ(tracks.log.size(), 1u);
    EXPECT_EQ(tracks.log[0], "play 0 450") << "(12 - 10) frames at 10 fps + 250 ms offset";
    EXPECT_TRUE(tracks.placement.running);

    w->setCurrentTime(49.0f);
    w->syncMediaTracks();
    EXPECT_EQ(tracks.log.size(), 1u) << "still inside, keeps playing";
    EXPECT_EQ(tracks.placement.lastFrame, 49);

    w->setCurrentTime(50.0f);
    w->syncMediaTracks();
    ASSERT_EQ(tracks.log.size(), 2u);
    EXPECT_EQ(tracks.log[1], "stop 0") << "at its end frame";
    EXPECT_FALSE(tracks.placement.running);
}

TEST_F(World, MediaTrackStopsWhenTimeGoesBackOrTheRangeEnds) {
    FakeTracks tracks;
    w->setMediaTracks(&tracks);
    w->setCurrentTime(20.0f);
    w->syncMediaTracks();
    w->setCurrentTime(15.0f);
    w->syncMediaTracks();
    ASSERT_EQ(tracks.log.size(), 2u);
    EXPECT_EQ(tracks.log[1], "stop 0");

    w->syncMediaTracks();  // restarts at 15
    w->setEndFrame(30.0f);
    w->setCurrentTime(30.0f);
    w->syncMediaTracks();
    ASSERT_EQ(tracks.log.size(), 4u);
    EXPECT_EQ(tracks.log[3], "stop 0");
}

TEST_F(World, StoppingPlaybackStopsEveryTrack) {
    FakeTracks tracks;
    w->setMediaTracks(&tracks);
    w->setCurrentTime(20.0f);
    w->syncMediaTracks();
    w->setPlaying(true);
    w->setPlaying(false);
    EXPECT_FALSE(tracks.placement.running);
    EXPECT_EQ(tracks.log.back(), "stop 1");
}

TEST_F(World, UpAxisAndModeAreClampedAndGivenToViewpoints) {
    ksgViewpoint* vp = kgiViewpointTable::instance()->create();
    ASSERT_NE(vp, nullptr);
    w->setUpAxis(5);
    EXPECT_EQ(w->getUpAxis(), 1);
    EXPECT_EQ(vp->getUpAxis(), 1);
    w->setUpAxis(-2);
    EXPECT_EQ(w->getUpAxis(), 0);
    EXPECT_EQ(vp->getUpAxis(), 0);
    w->setViewpointMode(-1);
    EXPECT_EQ(w->getViewpointMode(), 0);
    EXPECT_EQ(vp->getMode(), 0);
    w->setUpAxis(1);
    w->setViewpointMode(1);
    kgiViewpointTable::instance()->remove(vp);
}

TEST_F(World, CharactersComeAndGoThroughTheTable) {
    EXPECT_FALSE(w->removeCharacter(12345));
    EXPECT_EQ(w->getLastKeyTime(), 0.0f);
    const int id = w->createCharacter();
    ASSERT_NE(id, -1);
    w->setCurrentCharacter(id);
    if (!w->getCurrentCharacter()) {
        EXPECT_TRUE(w->removeCharacter(id));
        GTEST_SKIP() << "the character class is not part of this build";
    }
    EXPECT_EQ(w->getCurrentId(), id);
    EXPECT_TRUE(w->removeCharacter(id));
    EXPECT_EQ(w->getCurrentId(), -1);
    EXPECT_EQ(kgiCharacterTable::instance()->find(id), nullptr);
}

TEST_F(World, RemovedCharacterLetsGoOfTheManipulatorOnItsModel) {
    // The manipulator hangs under the joint it targets, so freeing the model
    // with it attached would free the canvas's manipulator too.
    const int id = w->createCharacter();
    ASSERT_NE(id, -1);
    kgiCharacter* c = kgiCharacterTable::instance()->find(id);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->load(kgiTestRobot::projectPath()));
    ksgNode* head = c->findNode("Head");
    ASSERT_NE(head, nullptr);
    ksgManipulator onModel, elsewhere;
    ksgTransform other;
    onModel.setTarget(head);
    elsewhere.setTarget(&other);
    ASSERT_EQ(onModel.getTarget(), head->asTransform());
    w->addManipulator(&onModel);
    w->addManipulator(&elsewhere);

    EXPECT_TRUE(w->removeCharacter(id));
    EXPECT_EQ(onModel.getTarget(), nullptr);
    EXPECT_EQ(onModel.getParent(), nullptr);
    EXPECT_EQ(elsewhere.getTarget(), &other); // another tree keeps its manipulator

    w->removeManipulator(&onModel);
    w->removeManipulator(&elsewhere);
    elsewhere.setTarget(nullptr);
}

} // namespace
