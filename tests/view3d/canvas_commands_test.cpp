// The editing commands of the 3D view on the factory robot: a key at the
// current time with its undo entry, sound and frame-range lines (and the
// key limit that refuses it), the pose reset, and putting the model on the
// floor through the joint table.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kgiApp.h"
#include "kgiCanvasCommands.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKeyUndo.h"
#include "kgiWorld.h"
#include "ksgVisitor.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/canvas_commands_fixture.h"

namespace {

// The application's sound player as a recording stand-in, made once for
// the process (the application keeps its player).
kgiStandInSoundState& soundRecord()
{
    static kgiStandInSoundState state;
    static const bool installed = [] {
        kgiAppMakers makers = kgiTestApp()->getMakers();
        makers.soundPlayer = [] { return new kgiStandInSound(state); };
        kgiTestApp()->setMakers(makers);
        return true;
    }();
    (void)installed;
    return state;
}

// Key limit and message boxes for one test; the services in use before
// come back afterwards.
class LimitServices : public kgiCharacterServices {
public:
    explicit LimitServices(int max) : previous(&kgiCharacterServices::current()), max(max)
    {
        kgiCharacterServices::install(this);
    }
    ~LimitServices() override { kgiCharacterServices::install(previous); }
    int keysMax() const override { return max; }
    void showMessage(const std::string& caption, const std::string&) override { shown.push_back(caption); }
    std::vector<std::string> shown;

private:
    kgiCharacterServices* previous;
    int max;
};

bool hasKeyAt(kgiCharacter* c, float frame)
{
    const std::vector<float>& t = c->getKeyTimes();
    return std::find(t.begin(), t.end(), frame) != t.end();
}

// The first whole frame from `from` on that holds no key.
float frameWithoutKey(kgiCharacter* c, float from)
{
    float f = from;
    while (hasKeyAt(c, f))
        f += 1.0f;
    return f;
}

TEST(CanvasCommands, AddKeyRecordsOneEntrySoundAndRangeAndUndoes)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();
    kgiStandInSoundState& sound = soundRecord();

    const float frame = frameWithoutKey(c, 7.0f);
    world->setCurrentTime(frame + 0.6f);  // a key goes to the whole frame
    ASSERT_TRUE(kgiTestTurnJoint(c, "LShoulder", 30.0f));
    const std::vector<kmlMatrix4> onScreen = kgiTestPose(c->getRoot());
    const int keysBefore = c->getKeyCount();
    kutUndoEntry* lastBefore = c->getKeyUndo().getLast();
    const size_t playedBefore = sound.played.size();

    testing::internal::CaptureStderr();
    EXPECT_TRUE(kgiCanvasCommands::addKeyAtCurrentTime());
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(c->getKeyCount(), keysBefore + 1);
    EXPECT_TRUE(hasKeyAt(c, frame));
    kutUndoEntry* entry = c->getKeyUndo().getLast();
    EXPECT_NE(entry, lastBefore);
    EXPECT_NE(dynamic_cast<kgiAddKeyUndo*>(entry), nullptr);
    ASSERT_EQ(sound.played.size(), playedBefore + 1);
    EXPECT_EQ(sound.played.back(), std::make_pair(0, false));
    EXPECT_NE(err.find("startframe: "), std::string::npos) << err;
    EXPECT_NE(err.find("  endframe: "), std::string::npos) << err;

    // Undo takes the key away, redo brings back the pose that was keyed.
    ASSERT_TRUE(c->undoKeys());
    EXPECT_EQ(c->getKeyCount(), keysBefore);
    EXPECT_FALSE(hasKeyAt(c, frame));
    ASSERT_TRUE(c->redoKeys());
    EXPECT_TRUE(hasKeyAt(c, frame));
    EXPECT_EQ(c->getKeyCount(), keysBefore + 1) << "no key between frames";
    world->setCurrentTime(frame);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), onScreen), 1e-4f);
}

TEST(CanvasCommands, KeyOverAKeyBetweenFramesUndoesToTheOldKey)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();

    const float frame = frameWithoutKey(c, 31.0f);
    world->setCurrentTime(frame);
    ASSERT_TRUE(kgiCanvasCommands::addKeyAtCurrentTime());
    const std::vector<kmlMatrix4> oldKey = kgiTestPose(c->getRoot());
    const int keys = c->getKeyCount();

    // Playback leaves the time between frames: the key replaces the frame's.
    world->setCurrentTime(frame + 0.5f);
    ASSERT_TRUE(kgiTestTurnJoint(c, "LShoulder", 30.0f));
    const std::vector<kmlMatrix4> newKey = kgiTestPose(c->getRoot());
    ASSERT_TRUE(kgiCanvasCommands::addKeyAtCurrentTime());
    EXPECT_EQ(c->getKeyCount(), keys);

    ASSERT_TRUE(c->undoKeys());
    EXPECT_TRUE(hasKeyAt(c, frame)) << "the earlier key comes back";
    world->setCurrentTime(frame);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), oldKey), 1e-4f);
    ASSERT_TRUE(c->redoKeys());
    EXPECT_EQ(c->getKeyCount(), keys);
    world->setCurrentTime(frame);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(c->getRoot()), newKey), 1e-4f);
}

TEST(CanvasCommands, KeyRefusedAtTheLimitLeavesTheHistoryAsItWas)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();

    // Two keys added, the second undone: the history has a redo branch.
    const float first = frameWithoutKey(c, 11.0f);
    world->setCurrentTime(first);
    ASSERT_TRUE(kgiCanvasCommands::addKeyAtCurrentTime());
    const float second = frameWithoutKey(c, first + 3.0f);
    world->setCurrentTime(second);
    ASSERT_TRUE(kgiCanvasCommands::addKeyAtCurrentTime());
    ASSERT_TRUE(c->undoKeys());
    const int keys = c->getKeyCount();
    kutUndoEntry* last = c->getKeyUndo().getLast();
    kutUndoEntry* current = c->getKeyUndo().getCurrent();

    LimitServices limit(keys);
    const float refused = frameWithoutKey(c, second + 3.0f);
    world->setCurrentTime(refused);
    EXPECT_FALSE(kgiCanvasCommands::addKeyAtCurrentTime());
    EXPECT_EQ(limit.shown, std::vector<std::string>{"Warning - 153"});
    EXPECT_EQ(c->getKeyCount(), keys);
    EXPECT_FALSE(hasKeyAt(c, refused));
    EXPECT_EQ(c->getKeyUndo().getLast(), last);
    EXPECT_EQ(c->getKeyUndo().getCurrent(), current);
    // The redo branch is still there and brings the second key back.
    EXPECT_TRUE(c->redoKeys());
    EXPECT_TRUE(hasKeyAt(c, second));
    EXPECT_FALSE(hasKeyAt(c, refused));
}

TEST(CanvasCommands, ResetPoseIsOneUndoStepToTheDefaults)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    kgiRecordingJointTable table;

    ASSERT_TRUE(kgiTestTurnJoint(c, "LShoulder", 40.0f));
    ASSERT_TRUE(kgiTestTurnJoint(c, "RThigh", -25.0f));
    const std::vector<kmlMatrix4> edited = kgiTestPose(c->getRoot());
    kutUndoEntry* lastBefore = c->getPoseUndo().getLast();

    EXPECT_TRUE(kgiCanvasCommands::resetPose());
    EXPECT_NE(c->getPoseUndo().getLast(), lastBefore);
    ASSERT_EQ(table.calls.size(), 1u);
    EXPECT_EQ(table.calls[0].name, "applyInitialPose");

    // Every transform stands at its default: setting it again changes
    // nothing.
    const std::vector<kmlMatrix4> reset = kgiTestPose(c->getRoot());
    EXPECT_GT(kgiTestPoseDiff(reset, edited), 0.1f);
    kgiResetPose again;
    ksgNullVisitor leave;
    c->getRoot()->depthVisit(again, leave);
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), reset), 0.0f);

    ASSERT_TRUE(c->undoPose());
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(c->getRoot()), edited), 0.0f);
}

TEST(CanvasCommands, WithoutACharacterNothingHappens)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    kgiRecordingJointTable table;
    kgiStandInSoundState& sound = soundRecord();
    const size_t played = sound.played.size();
    EXPECT_FALSE(kgiCanvasCommands::addKeyAtCurrentTime());
    EXPECT_FALSE(kgiCanvasCommands::resetPose());
    EXPECT_EQ(sound.played.size(), played);
    EXPECT_TRUE(table.calls.empty());
    // The floor is the table's business: it is asked whatever the world holds.
    kgiCanvasCommands::putOnFloor(true);
    ASSERT_EQ(table.calls.size(), 1u);
    EXPECT_EQ(table.calls[0].name, "putOnFloor");
    EXPECT_TRUE(table.calls[0].flag);
}

} // namespace
