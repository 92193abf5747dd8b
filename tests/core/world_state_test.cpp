#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiKmdData.h"
#include "kgiKmmFile.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include "kgcLight.h"
#include "kgcMaterial.h"
#include "ksgManipulator.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"

#include "core/child_process_test.h"
#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

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

TEST_F(World, FrameRangeSetsBothEndsOrNothing) {
    const float nan = std::nanf("");
    struct Case {
        float start, end;
        bool taken;
    } cases[] = {
        {30.0f, 60.0f, true},  // wholly past the old end: the end must go first
        {2.0f, 5.0f, true},    // wholly inside
        {5.0f, 5.0f, true},    // one frame
        {-1.0f, 4.0f, false}, {6.0f, 5.0f, false}, {nan, 4.0f, false}, {2.0f, nan, false}, {nan, nan, false},
    };
    for (const Case& c : cases) {
        w->setStartFrame(0.0f);
        w->setEndFrame(20.0f);
        EXPECT_EQ(w->setFrameRange(c.start, c.end), c.taken) << c.start << ".." << c.end;
        EXPECT_EQ(w->getStartFrame(), c.taken ? c.start : 0.0f) << c.start << ".." << c.end;
        EXPECT_EQ(w->getEndFrame(), c.taken ? c.end : 20.0f) << c.start << ".." << c.end;
    }
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

TEST_F(World, PlaybackWrapsByWholeRangesAndEntersTheRangeAtItsStart) {
    struct Case {
        const char* what;
        float start, end, time;
        float frames;  // one step at 1 frame per second
        bool reverse, loop;
        int steps;
        float expected;  // after every step
    };
    const Case cases[] = {
        {"three ranges on comes back to the same frame", 10, 50, 20, 120, false, true, 1, 20},
        {"a step longer than the range stays inside", 0, 10, 9, 25, false, true, 1, 4},
        {"empty range holds at its start", 5, 5, 5, 5, false, true, 50, 5},
        {"forward from before the range enters at its start", 10, 50, 0, 1, false, false, 1, 10},
        {"the same with loop on", 10, 50, 0, 1, false, true, 1, 10},
        {"reverse below the start wraps to the end", 10, 50, 12, 5, true, false, 1, 47},
        {"reverse by more than the range", 10, 50, 12, 85, true, true, 1, 47},
        {"reverse in an empty range holds", 5, 5, 5, 3, true, false, 10, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w->setEndFrame(1000.0f);
        w->setStartFrame(c.start);
        w->setEndFrame(c.end);
        ASSERT_EQ(w->getStartFrame(), c.start);
        ASSERT_EQ(w->getEndFrame(), c.end);
        w->setLoop(c.loop);
        w->setFps(1.0f);
        w->setCurrentTime(c.time);
        w->setPlaying(true);
        for (int i = 0; i < c.steps; ++i) {
            w->advancePlaybackBy(c.frames, c.reverse);
            ASSERT_EQ(w->getCurrentTime(), c.expected) << "step " << i;
            ASSERT_TRUE(w->isPlaying()) << "step " << i;
        }
        w->setPlaying(false);
        w->setStartFrame(0.0f);
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
        placement.active = true;
        placement.offsetMs = 250;
    }
    int getTrackCount() override { return 2; }
    kgiMediaTrackInfo* getTrackInfo(int i) override { return i == 0 ? &placement : nullptr; }
    void playTrack(int i, int ms) override { log.push_back("play " + std::to_string(i) + " " + std::to_string(ms)); }
    void stopTrack(int i) override { log.push_back("stop " + std::to_string(i)); }
    kgiMediaTrackInfo placement;
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
    EXPECT_TRUE(tracks.placement.playing);

    w->setCurrentTime(49.0f);
    w->syncMediaTracks();
    EXPECT_EQ(tracks.log.size(), 1u) << "still inside, keeps playing";
    EXPECT_EQ(tracks.placement.lastFrame, 49);

    w->setCurrentTime(50.0f);
    w->syncMediaTracks();
    ASSERT_EQ(tracks.log.size(), 2u);
    EXPECT_EQ(tracks.log[1], "stop 0") << "at its end frame";
    EXPECT_FALSE(tracks.placement.playing);
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
    EXPECT_FALSE(tracks.placement.playing);
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

// A copy of the factory robot's folder, so that saving writes there, and
// characters loaded from it.
class WorldRobots : public World {
protected:
    void SetUp() override {
        World::SetUp();
        dir = fs::temp_directory_path() / ("kgi_world_robots_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(fs::path(kgiTestRobot::dataDir()) / "DORUZAVO_1base", dir / "robot",
                 fs::copy_options::recursive);
    }
    void TearDown() override {
        kgiPartTable::install(nullptr);
        w->removeAllCharacters();
        fs::remove_all(dir);
        World::TearDown();
    }
    // A new character, loaded from the copy unless told otherwise.
    kgiCharacter* add(int& id, bool load = true) {
        id = w->createCharacter();
        kgiCharacter* c = kgiCharacterTable::instance()->find(id);
        if (c && load && !c->load((dir / "robot" / "DORUZAVO_1.ts").string())) return nullptr;
        return c;
    }
    static void turn(ksgNode* n, float degrees) {
        kmlMatrix4 m = n->getLocal();
        m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
        n->asTransform()->setLocal(m);
    }
    fs::path dir;
};

TEST_F(WorldRobots, CharacterOfANodeIsFoundAndMadeCurrent) {
    int id = -1;
    kgiCharacter* c = add(id);
    ASSERT_NE(c, nullptr);
    ksgNode* deep = c->findNode("RAnkle1");
    ASSERT_NE(deep, nullptr);
    while (deep->getChild()) deep = deep->getChild();
    ksgTransform other;
    ksgTransform* otherChild = new ksgTransform;
    other.attachChild(otherChild);

    EXPECT_EQ(w->findCharacterOfNode(deep), c);
    EXPECT_EQ(w->findCharacterOfNode(otherChild), nullptr);
    EXPECT_EQ(w->findCharacterOfNode(nullptr), nullptr);

    EXPECT_EQ(w->setCurrentCharacterOfNode(deep), id);
    EXPECT_EQ(w->getCurrentId(), id);
    for (ksgNode* none : {static_cast<ksgNode*>(otherChild), static_cast<ksgNode*>(nullptr)}) {
        w->setCurrentCharacter(id);
        EXPECT_EQ(w->setCurrentCharacterOfNode(none), -1);
        EXPECT_EQ(w->getCurrentId(), -1);
    }
}

TEST_F(WorldRobots, SavingAllMotionsSavesEveryCharacterAndReportsAFailure) {
    int unloadedId = -1, id = -1;
    ASSERT_NE(add(unloadedId, false), nullptr);
    kgiCharacter* c = add(id);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->addKey(0));
    ASSERT_TRUE(c->addKey(5));

    EXPECT_FALSE(w->saveAllMotions()) << "a character without a model cannot be saved";
    kgiKmmFile kmm;
    ASSERT_TRUE(kmm.open((dir / "robot" / "motion" / "DORUZAVO_1.kmm").string().c_str()));
    ASSERT_TRUE(kmm.readHeader() && kmm.readBody());
    EXPECT_EQ(kmm.getFrameCount(), 6) << "the loaded one was saved all the same";
    EXPECT_EQ(kmm.getKeyCount(), 2);

    EXPECT_TRUE(w->removeCharacter(unloadedId));
    EXPECT_TRUE(w->saveAllMotions());
}

// Counts how the collision check reaches the part table.
struct CountingParts : kgiPartTable {
    int checks = 0, clears = 0;
    bool checkPartCollisions(kgiCharacter*, unsigned char*) override { ++checks; return false; }
    void clearCollisionHits(kgiCharacter*) override { ++clears; }
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }
};

TEST_F(WorldRobots, UpdatingAllCharactersPosesThemAtTheTimeThenChecks) {
    int id = -1;
    kgiCharacter* c = add(id);
    ASSERT_NE(c, nullptr);
    ksgNode* arm = c->findNode("RArm");
    ASSERT_NE(arm, nullptr);
    ASSERT_TRUE(c->addKey(0));
    turn(arm, 30.0f);
    ASSERT_TRUE(c->addKey(10));
    w->setCurrentCharacter(id);
    w->setCurrentTime(10.0f);
    const kmlMatrix4 keyed = arm->getLocal();
    c->setTime(0.0f);  // evaluated elsewhere, as a character loaded meanwhile is
    ASSERT_GT(kgiTestRobot::rotationDiff(arm->getLocal(), keyed), 0.1f);

    CountingParts parts;
    kgiPartTable::install(&parts);
    w->updateAllCharacters();
    EXPECT_LT(kgiTestRobot::maxDiff(arm->getLocal(), keyed), 1e-5f);
    EXPECT_EQ(parts.checks + parts.clears, 1) << "one collision check after the update";
}

bool sameColour(const float* got, const float* want, int n) {
    for (int i = 0; i < n; ++i)
        if (std::fabs(got[i] - want[i]) > 1e-6f) return false;
    return true;
}

// init() in a fresh process, where the light and material tables start
// empty: the two lights, then the eight highlight materials in order.
void runInit() {
    kgiWorld* w = kgiWorld::instance();
    w->init();

    struct LightCase {
        int id;
        kgcLight::Type type;
        float position[3], diffuse[4], ambient[4], specular[4];
    };
    const LightCase lights[] = {
        {0, kgcLight::DIRECTIONAL, {0, 0, 1}, {0.95f, 0.95f, 0.95f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}},
        {1, kgcLight::POINT, {0, 1, 1}, {0.9f, 0.9f, 0.9f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}},
    };
    CHILD_CHECK(kgiLightTable::instance()->size() == 2);
    for (const LightCase& c : lights) {
        const kgcLight* l = kgiLightTable::instance()->find(c.id);
        CHILD_CHECK(l && l->getType() == c.type);
        float v[4];
        l->getPosition(v);
        CHILD_CHECK(sameColour(v, c.position, 3));
        l->getDiffuse(v);
        CHILD_CHECK(sameColour(v, c.diffuse, 4));
        l->getAmbient(v);
        CHILD_CHECK(sameColour(v, c.ambient, 4));
        l->getSpecular(v);
        CHILD_CHECK(sameColour(v, c.specular, 4));
    }

    struct MaterialCase {
        kgiKmdData::Slot slot;
        float diffuse[4], ambient[4], specular[4];
    };
    const MaterialCase materials[] = {
        {kgiKmdData::HIGHLIGHT, {0.1f, 0.1f, 0.9f, 1}, {0, 0, 0.8f, 1}, {0, 0, 0.9f, 1}},
        {kgiKmdData::PICKED, {0.9f, 0.9f, 0.9f, 0.4f}, {0.6f, 0.6f, 0.6f, 0.4f}, {0.6f, 0.6f, 0.6f, 0.4f}},
        {kgiKmdData::HIDDEN, {0.3f, 0.9f, 0, 1}, {0, 0.8f, 0, 1}, {0, 0.9f, 0, 1}},
        {kgiKmdData::PICKED_HIDDEN, {0.3f, 0.9f, 0.7f, 1}, {0, 0.8f, 0.5f, 1}, {0, 0.9f, 0.7f, 1}},
        {kgiKmdData::GROUP, {0.9f, 0.3f, 0, 1}, {0.8f, 0.5f, 0, 1}, {0.9f, 0.3f, 0, 1}},
        {kgiKmdData::HIT, {0.9f, 0.3f, 0, 1}, {0.8f, 0.5f, 0, 1}, {0.9f, 0.3f, 0, 1}},
        {kgiKmdData::SPARE, {1, 1, 1, 1}, {1, 1, 1, 1}, {0.9f, 0.3f, 0, 1}},
        {kgiKmdData::MARK, {0.1f, 0.1f, 0.9f, 1}, {0, 0, 0.8f, 1}, {0, 0, 0.9f, 1}},
    };
    int previousId = -1;
    for (const MaterialCase& c : materials) {
        const kgcMaterial* m = kgiKmdData::getSlotMaterial(c.slot);
        CHILD_CHECK(m);
        const int id = kgiMaterialTable::instance()->idOf(m);
        CHILD_CHECK(id > previousId);  // made in the table's order
        previousId = id;
        float v[4], shininess = 0.0f;
        m->getDiffuse(v[0], v[1], v[2], v[3]);
        CHILD_CHECK(sameColour(v, c.diffuse, 4));
        m->getAmbient(v[0], v[1], v[2], v[3]);
        CHILD_CHECK(sameColour(v, c.ambient, 4));
        m->getSpecular(v[0], v[1], v[2], v[3]);
        CHILD_CHECK(sameColour(v, c.specular, 4));
        m->getShininess(shininess);
        CHILD_CHECK(shininess == 50.0f);
    }
    CHILD_CHECK(w->getGhostSetup().material == kgiKmdData::getSlotMaterial(kgiKmdData::PICKED));
    CHILD_CHECK(w->getScene() != nullptr);
    std::_Exit(0);
}

TEST(WorldInit, LightsHighlightMaterialsAndScene) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runInit(), ::testing::ExitedWithCode(0), "");
}

} // namespace
