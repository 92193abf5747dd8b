// Key undo entries on the factory robot: each entry built before its edit,
// as the time line and the menus build them, then undone and redone
// through the character's history.
#include <gtest/gtest.h>

#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "kgiCharacter.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

using kgiTestRobot::maxDiff;
using kgiTestRobot::rotationDiff;

namespace {

typedef std::vector<float> Times;

class KeyUndoRobot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(robot.load(kgiTestRobot::projectPath())) << kgiTestRobot::projectPath();
        arm = robot.findNode("RArm");
        ASSERT_NE(arm, nullptr);
        ASSERT_NE(getMotionController(arm), nullptr);
    }

    // Keys at the frames with the arm turned by the frame number (degrees).
    void keysAt(const Times& frames)
    {
        robot.deleteKeys(0, 100000);
        for (float f : frames) {
            turnArm(f);
            ASSERT_TRUE(robot.addKey(int(f)));
        }
        robot.getKeyUndo().clear();
    }

    void turnArm(float degrees)
    {
        kmlMatrix4 m;
        m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
        arm->asTransform()->setLocal(m);
    }

    kmlMatrix4 armAt(float t) { return kgiTestRobot::evaluated(getMotionController(arm), t); }

    Times armKeys()
    {
        Times t;
        getMotionController(arm)->getKeysTime(t, -1);
        return t;
    }

    kgiCharacter robot;
    ksgNode* arm = nullptr;
};

TEST_F(KeyUndoRobot, AddedKeyGoesOnUndoAndComesBackWithTheAddedPose)
{
    keysAt({0, 20});
    turnArm(33.0f);
    const kmlMatrix4 pose = arm->getLocal();
    robot.addKeyUndo(new kgiAddKeyUndo(&robot, 10.0f));
    ASSERT_TRUE(robot.addKey(10));
    turnArm(-50.0f);

    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 20}));
    EXPECT_EQ(armKeys(), (Times{0, 20}));
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20}));
    EXPECT_LT(rotationDiff(armAt(10.0f), pose), 1e-4f); // the arm's keys turn it only
}

TEST_F(KeyUndoRobot, KeyAddedOverAKeyGetsTheOldValuesBack)
{
    keysAt({0, 10, 20});
    const kmlMatrix4 old = armAt(10.0f);
    turnArm(70.0f);
    robot.addKeyUndo(new kgiAddKeyUndo(&robot, 10.0f));
    ASSERT_TRUE(robot.addKey(10));
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20}));
    EXPECT_LT(maxDiff(armAt(10.0f), old), 1e-4f);
}

TEST_F(KeyUndoRobot, DuplicateToAnEmptyFrameIsUndoneByDeletionAndRedoneWithTheSourceFrame)
{
    keysAt({0, 10});
    const kmlMatrix4 at5 = armAt(5.0f); // between keys: interpolated
    robot.addKeyUndo(new kgiDupKeyUndo(&robot, 5.0f, 20.0f));
    robot.duplicateKey(5, 20);
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10}));
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20}));
    EXPECT_LT(maxDiff(armAt(20.0f), at5), 1e-4f);
}

TEST_F(KeyUndoRobot, CutAndRemoveComeBackOnUndoAndGoAgainOnRedo)
{
    keysAt({0, 10, 30});
    const kmlMatrix4 at30 = armAt(30.0f);
    robot.addKeyUndo(new kgiCutKeyUndo(&robot, 30.0f));
    robot.cutKey(30);
    getMotionController(arm)->setBuffer(kmlMatrix4());
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 30}));
    EXPECT_LT(maxDiff(armAt(30.0f), at30), 1e-4f);
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10}));
    EXPECT_LT(rotationDiff(getMotionController(arm)->getBuffer(), at30), 1e-4f);

    robot.addKeyUndo(new kgiRemKeyUndo(&robot, 10.0f));
    robot.deleteKey(10);
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10}));
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0}));
}

TEST_F(KeyUndoRobot, RangeDeletionComesBackWholeAndAKeyAtTheEndStays)
{
    keysAt({0, 10, 12, 19, 20});
    const kmlMatrix4 at12 = armAt(12.0f);
    kgiRemKeysUndo* entry = new kgiRemKeysUndo(&robot, 10.0f, 19.0f);
    EXPECT_EQ(entry->getSnapshotCount(), 3u); // frames without keys keep nothing
    robot.addKeyUndo(entry);
    robot.deleteKeys(10, 10);
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 20}));
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 12, 19, 20}));
    EXPECT_LT(maxDiff(armAt(12.0f), at12), 1e-4f);
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 20}));
}

TEST_F(KeyUndoRobot, RangeCopyUndoDeletesTheCopiesAndClosesTheGap)
{
    keysAt({0, 5, 20, 30});
    robot.addKeyUndo(new kgiDupKeysUndo(&robot, 0.0f, 9.0f, 20.0f));
    robot.duplicateKeys(0, 10, 20);
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 5, 20, 25, 30, 40}));
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 5, 20, 30}));
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 5, 20, 25, 30, 40}));
}

TEST_F(KeyUndoRobot, RangeCopyToFrameZeroIsUndoneWithTheKeysWhereTheyWere)
{
    keysAt({0, 5, 20, 30});
    const Times frames = {0, 5, 20, 30};
    std::vector<kmlMatrix4> before;
    for (float f : frames)
        before.push_back(armAt(f));
    robot.addKeyUndo(new kgiDupKeysUndo(&robot, 0.0f, 9.0f, 0.0f));
    ASSERT_TRUE(robot.duplicateKeys(0, 10, 0));
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 5, 10, 15, 30, 40}));
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), frames);
    EXPECT_EQ(armKeys(), frames);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_LT(maxDiff(armAt(frames[i]), before[i]), 1e-4f) << frames[i];
    // The user's own frame deletion still refuses frame 0.
    EXPECT_FALSE(robot.deleteFrames(0, 5));
    EXPECT_EQ(robot.getKeyTimes(), frames);
}

TEST_F(KeyUndoRobot, PasteOnAFrameWithoutKeyIsUndoneByDeletionAndRedoneWithTheBuffer)
{
    keysAt({0, 20});
    turnArm(42.0f);
    robot.copyFrame();
    const kmlMatrix4 buffer = getMotionController(arm)->getBuffer();
    robot.addKeyUndo(new kgiPasteKeyUndo(&robot, 10.0f));
    ASSERT_TRUE(robot.pasteKey(10));
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20}));
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 20}));
    EXPECT_EQ(armKeys(), (Times{0, 20}));
    // Whatever the buffers hold by now, redo writes what was pasted.
    getMotionController(arm)->setBuffer(kmlMatrix4());
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20}));
    EXPECT_LT(rotationDiff(armAt(10.0f), buffer), 1e-4f);
}

TEST_F(KeyUndoRobot, RekeyedRangeGoesBackOnUndoAndForwardOnRedoOutsideKeysUntouched)
{
    keysAt({0, 10, 15, 20});
    const std::vector<float> frames = {0, 10, 15, 20};
    std::vector<kmlMatrix4> before;
    for (float f : frames)
        before.push_back(armAt(f));
    kgiRekeyRangeUndo* entry = new kgiRekeyRangeUndo(&robot, 10.0f, 15.0f);
    EXPECT_FALSE(entry->hasAfter());
    // The rewrite: frames 10 and 15 keyed again with the arm turned.
    turnArm(80.0f);
    ASSERT_TRUE(robot.addKey(10));
    turnArm(-35.0f);
    ASSERT_TRUE(robot.addKey(15));
    const kmlMatrix4 new10 = armAt(10.0f), new15 = armAt(15.0f);
    entry->takeAfter();
    robot.addKeyUndo(entry);

    // Back and forth twice: the keys as they became stay what redo writes.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(robot.undoKeys());
        EXPECT_EQ(robot.getKeyTimes(), frames);
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_LT(maxDiff(armAt(frames[i]), before[i]), 1e-4f) << round << " " << frames[i];
        ASSERT_TRUE(robot.redoKeys());
        EXPECT_EQ(robot.getKeyTimes(), frames);
        EXPECT_LT(maxDiff(armAt(10.0f), new10), 1e-4f) << round;
        EXPECT_LT(maxDiff(armAt(15.0f), new15), 1e-4f) << round;
        EXPECT_LT(maxDiff(armAt(0.0f), before[0]), 1e-4f) << round;
        EXPECT_LT(maxDiff(armAt(20.0f), before[3]), 1e-4f) << round;
    }
}

TEST_F(KeyUndoRobot, DraggedKeyEntriesEditTheListAndEveryNode)
{
    struct Case {
        const char* what;
        kgiKeysUndo* (*make)(kgiCharacter*);
        Times after;
    };
    const Case cases[] = {
        {"move", [](kgiCharacter* c) -> kgiKeysUndo* { return new kgiMoveKeyUndo(c, 2, 20.0f, 25.0f); },
         {0, 10, 25, 30}},
        {"push", [](kgiCharacter* c) -> kgiKeysUndo* { return new kgiPushKeysUndo(c, 1, 10.0f, 15.0f); },
         {0, 15, 25, 35}},
        {"pull", [](kgiCharacter* c) -> kgiKeysUndo* { return new kgiPullKeysUndo(c, 2, 20.0f, 24.0f); },
         {4, 14, 24, 30}},
    };
    for (const Case& c : cases) {
        keysAt({0, 10, 20, 30});
        kgiKeysUndo* entry = c.make(&robot);
        robot.addKeyUndo(entry);
        entry->redo(); // the drag itself, as the frame line leaves it
        EXPECT_EQ(robot.getKeyTimes(), c.after) << c.what;
        EXPECT_EQ(armKeys(), c.after) << c.what;
        ASSERT_TRUE(robot.undoKeys());
        EXPECT_EQ(robot.getKeyTimes(), (Times{0, 10, 20, 30})) << c.what;
        EXPECT_EQ(armKeys(), (Times{0, 10, 20, 30})) << c.what;
    }
}

TEST(KeyUndoWithoutModel, EntriesOfACharacterWithoutModelDoNothing)
{
    kgiCharacter empty;
    kgiAddKeyUndo add(&empty, 3.0f);
    add.undo();
    add.redo();
    kgiRemKeysUndo range(&empty, 0.0f, 9.0f);
    EXPECT_EQ(range.getSnapshotCount(), 0u);
    range.undo();
    range.redo();
    kgiRekeyRangeUndo rekey(&empty, 0.0f, 9.0f);
    rekey.takeAfter();
    rekey.undo();
    rekey.redo();
    kgiFlipKeysUndo flip(&empty, 0.0f, 9.0f);
    flip.undo();
    EXPECT_EQ(empty.getKeyCount(), 0);
}

} // namespace
