// Mirroring the factory robot's pose and keys through the character.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "kgiPoseFlip.h"
#include "kgiPoseUndo.h"
#include "kgiWorld.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

using kgiTestRobot::mirroredRotation;
using kgiTestRobot::rotationDiff;

namespace {

// Message boxes, counted instead of shown.
class Messages : public kgiCharacterServices {
public:
    void showMessage(const std::string& caption, const std::string& text) override
    {
        shown.push_back(caption + "|" + text);
    }
    std::vector<std::string> shown;
};

class MirrorRobot : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&messages);
        ASSERT_TRUE(robot.load(kgiTestRobot::projectPath()));
        rArm = robot.findNode("RArm");
        lArm = robot.findNode("LArm");
        ASSERT_TRUE(rArm && lArm);
        history.setRoot(robot.getRoot());
        context.character = &robot;
        context.poseUndo = &history;
    }
    void TearDown() override { kgiCharacterServices::install(nullptr); }

    static void turn(ksgNode* n, float degrees)
    {
        kmlMatrix4 m = n->getLocal();
        m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
        n->asTransform()->setLocal(m);
    }

    kmlMatrix4 keyOf(ksgNode* n, float t) { return kgiTestRobot::evaluated(getMotionController(n), t); }

    Messages messages;
    kgiCharacter robot;
    kgiPoseUndoMgr history;
    kgiPoseFlipper::Context context;
    ksgNode* rArm = nullptr;
    ksgNode* lArm = nullptr;
};

TEST_F(MirrorRobot, PoseFlipSwapsTheArmsAndIsUndoneByThePoseHistory)
{
    turn(rArm, 30.0f);
    const kmlMatrix4 right = rArm->getLocal(), left = lArm->getLocal();
    kgiPoseFlipper flipper;
    ASSERT_TRUE(flipper.flipPose(robot.getRoot(), kgiPoseFlipper::POSE, 0, context));
    EXPECT_LT(rotationDiff(lArm->getLocal(), mirroredRotation(right)), 1e-4f);
    EXPECT_LT(rotationDiff(rArm->getLocal(), mirroredRotation(left)), 1e-4f);
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_TRUE(history.undo());
    EXPECT_LT(rotationDiff(rArm->getLocal(), right), 1e-5f);
    EXPECT_LT(rotationDiff(lArm->getLocal(), left), 1e-5f);
}

TEST_F(MirrorRobot, MirrorModeFlipsWithoutAPoseUndoEntry)
{
    turn(rArm, 30.0f);
    context.mirrorMode = true;
    kgiPoseFlipper flipper;
    ASSERT_TRUE(flipper.flipPose(rArm, kgiPoseFlipper::FROM_NODE, 0, context));
    EXPECT_LT(rotationDiff(lArm->getLocal(), mirroredRotation(rArm->getLocal())), 1e-4f);
    EXPECT_FALSE(history.undo());
}

TEST_F(MirrorRobot, KeyFlipRewritesOnlyExistingKeysAndItsUndoMirrorsBack)
{
    robot.deleteKeys(0, 1000);
    for (int t : {0, 10}) {
        turn(rArm, 20.0f + float(t));
        ASSERT_TRUE(robot.addKey(t));
    }
    const kmlMatrix4 right10 = keyOf(rArm, 10.0f), left10 = keyOf(lArm, 10.0f);
    const std::vector<float> times = robot.getKeyTimes();

    robot.addKeyUndo(new kgiFlipKeysUndo(&robot, 0.0f, 20.0f));
    kgiPoseFlipper flipper;
    ASSERT_TRUE(flipper.flipKeys(&robot, 0, 20));
    robot.updateKeysInfo();
    EXPECT_EQ(robot.getKeyTimes(), times);
    EXPECT_LT(rotationDiff(keyOf(lArm, 10.0f), mirroredRotation(right10)), 1e-4f);

    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), times);
    EXPECT_LT(rotationDiff(keyOf(rArm, 10.0f), right10), 1e-4f);
    EXPECT_LT(rotationDiff(keyOf(lArm, 10.0f), left10), 1e-4f);
    ASSERT_TRUE(robot.redoKeys());
    EXPECT_LT(rotationDiff(keyOf(lArm, 10.0f), mirroredRotation(right10)), 1e-4f);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MirrorRobot, RefusalsAndTheirMessages)
{
    kgiPoseFlipper reversed;
    EXPECT_FALSE(reversed.flipKeys(&robot, 20, 10)); // last frame below the first: silent
    kgiPoseFlipper empty;
    EXPECT_FALSE(empty.flipKeys(&robot, 10, 9)); // no frame at all: silent too
    kgiPoseFlipper tooLong;
    EXPECT_FALSE(tooLong.flipKeys(&robot, 0, 70000));
    kgiPoseFlipper head;
    EXPECT_FALSE(head.flipPose(robot.findNode("Head"), kgiPoseFlipper::FROM_NODE, 0, context));
    std::unique_ptr<ksgTransform> stranger(new ksgTransform);
    kgiPoseFlipper outside;
    EXPECT_FALSE(outside.flipPose(stranger.get(), kgiPoseFlipper::POSE, 0, context));
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Error - Flip|Couldn't create pose(s) buffer",
                                                        "Error - Flip|Error computing flip data: Head"}));
    EXPECT_FALSE(history.undo()); // no refused flip recorded an entry
}

// The character's own operations: the world supplies the range and the
// mirror mode, the character's pose history records the flip.
TEST_F(MirrorRobot, CharacterFlipRecordsInItsOwnPoseHistory)
{
    kgiWorld* world = kgiWorld::instance();
    world->setMirrorMode(false);
    turn(rArm, 30.0f);
    const kmlMatrix4 right = rArm->getLocal(), left = lArm->getLocal();
    EXPECT_FALSE(robot.undoPose()); // nothing recorded yet

    ASSERT_TRUE(robot.flipPose());
    EXPECT_LT(rotationDiff(lArm->getLocal(), mirroredRotation(right)), 1e-4f);
    ASSERT_TRUE(robot.undoPose());
    EXPECT_LT(rotationDiff(rArm->getLocal(), right), 1e-5f);
    EXPECT_LT(rotationDiff(lArm->getLocal(), left), 1e-5f);
    ASSERT_TRUE(robot.redoPose());
    EXPECT_LT(rotationDiff(lArm->getLocal(), mirroredRotation(right)), 1e-4f);
    EXPECT_FALSE(robot.redoPose());

    // Limb mirroring; in mirror mode it leaves no entry behind.
    ASSERT_TRUE(robot.undoPose());
    world->setMirrorMode(true);
    ASSERT_TRUE(robot.mirrorPose(rArm));
    world->setMirrorMode(false);
    EXPECT_LT(rotationDiff(lArm->getLocal(), mirroredRotation(right)), 1e-4f);
    EXPECT_LT(rotationDiff(rArm->getLocal(), right), 1e-5f);
    EXPECT_FALSE(robot.mirrorPose(nullptr));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MirrorRobot, CharacterKeyFlipCoversTheRangeItIsGivenOnly)
{
    robot.deleteKeys(0, 1000);
    for (int t : {0, 10, 30}) {
        turn(rArm, 20.0f + float(t));
        ASSERT_TRUE(robot.addKey(t));
    }
    const kmlMatrix4 right10 = keyOf(rArm, 10.0f), right30 = keyOf(rArm, 30.0f);
    const kmlMatrix4 left10 = keyOf(lArm, 10.0f);
    // The world shows another range: the one handed over counts.
    kgiWorld* world = kgiWorld::instance();
    const float start = world->getStartFrame(), end = world->getEndFrame();
    world->setStartFrame(0.0f);
    world->setEndFrame(20.0f);
    const bool flipped = robot.flipKeys(25, 11);
    world->setStartFrame(start);
    world->setEndFrame(end);
    ASSERT_TRUE(flipped);
    EXPECT_LT(rotationDiff(keyOf(lArm, 30.0f), mirroredRotation(right30)), 1e-4f);
    EXPECT_LT(rotationDiff(keyOf(rArm, 10.0f), right10), 1e-5f); // outside the range
    EXPECT_LT(rotationDiff(keyOf(lArm, 10.0f), left10), 1e-5f);

    ASSERT_TRUE(robot.flipKeys(0, 21));
    EXPECT_LT(rotationDiff(keyOf(lArm, 10.0f), mirroredRotation(right10)), 1e-4f);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MirrorRobot, AnOffCentreJointWithoutTwinIsNamedInTheMessage)
{
    // The head moved off the body's middle has no twin to mirror with.
    ksgNode* head = robot.findNode("Head");
    ksgMotionController* mc = getMotionController(head);
    kmlMatrix4 rest = mc->getDefault();
    // Whatever way the joints above it turn it, it lands off the middle.
    rest[12] += 30.0f;
    rest[13] += 20.0f;
    rest[14] += 10.0f;
    mc->setDefault(rest);
    const kmlMatrix4 right = rArm->getLocal();
    kgiPoseFlipper flipper;
    EXPECT_FALSE(flipper.flipPose(robot.getRoot(), kgiPoseFlipper::POSE, 0, context));
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"Error - Flip|Error creating flip data: Head"}));
    EXPECT_LT(rotationDiff(rArm->getLocal(), right), 1e-6f);
    EXPECT_FALSE(history.undo());
}

TEST(PoseFlipWorld, ContextComesFromTheWorldAndTheNodesCharacter)
{
    kgiWorld* world = kgiWorld::instance();
    world->setMirrorMode(true);
    world->setCurrentTime(7.0f);
    const kgiPoseFlipper::Context outside = kgiPoseFlipper::worldContext(nullptr);
    world->setMirrorMode(false);
    EXPECT_EQ(outside.character, nullptr);
    EXPECT_EQ(outside.poseUndo, nullptr);
    EXPECT_TRUE(outside.mirrorMode);
    EXPECT_EQ(outside.currentTime, 7.0f);
    EXPECT_EQ(outside.startFrame, world->getStartFrame());
    EXPECT_EQ(outside.endFrame, world->getEndFrame());
    world->setCurrentTime(0.0f);

    // A node of no character of the world: nothing happens, no box.
    std::unique_ptr<ksgTransform> stranger(new ksgTransform);
    kgiPoseFlipper flipper;
    EXPECT_FALSE(flipper.flipPose(stranger.get(), kgiPoseFlipper::POSE, 0));
}

} // namespace
