// The character: the factory robot loaded from its default project, its
// key-time list, the key limit and the key-edit history.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "ksgMotionController.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path factoryProject()
{
    return kgiTestRobot::projectPath();
}

struct LimitServices : kgiCharacterServices {
    int limit = 100;
    float fps = 0.0f;
    int collisionChecks = 0;
    std::vector<std::string> shown;
    int keysMax() const override { return limit; }
    void showMessage(const std::string& caption, const std::string&) override { shown.push_back(caption); }
    void setFramesPerSecond(float f) override { fps = f; }
    void checkCollisions() override { ++collisionChecks; }
};

// Undoes by deleting the key it recorded and redoes by adding it again.
struct AddKeyEntry : kutUndoEntry {
    AddKeyEntry(kgiCharacter* c, int frame) : owner(c), frame(frame) {}
    void undo() override { owner->deleteKey(frame); }
    void redo() override { owner->addKey(frame); }
    kgiCharacter* owner;
    int frame;
};

class Character : public ::testing::Test {
protected:
    void SetUp() override { kgiCharacterServices::install(&services); }
    void TearDown() override { kgiCharacterServices::install(nullptr); }
    LimitServices services;
};

using Times = std::vector<float>;

} // namespace

TEST_F(Character, FactoryRobotLoadsWithItsJointsAndNoKeys)
{
    kgiCharacter c;
    ASSERT_TRUE(c.load(factoryProject().string()));
    ASSERT_NE(c.getRoot(), nullptr);
    EXPECT_EQ(c.getRoot()->getName(), "Robot");
    EXPECT_FLOAT_EQ(services.fps, 33.333f);
    EXPECT_EQ(c.getName(), "DORUZAVO_1.ts");
    for (const char* joint : {"RThigh", "LAnkle2", "R_GR1", "Head"})
        EXPECT_NE(c.findNode(joint), nullptr) << joint;
    EXPECT_EQ(c.findNode("NoSuchJoint"), nullptr);
    // The factory motion holds the standing pose but no key frame.
    EXPECT_TRUE(c.getKeyTimes().empty());
    EXPECT_EQ(c.getFrameCount(), 0);
    EXPECT_GT(c.getBounds().getMax()[1], 10.0f);

    ASSERT_TRUE(c.addKey(0));
    ASSERT_TRUE(c.addKey(20));
    EXPECT_EQ(c.getKeyTimes(), Times({0, 20}));
    EXPECT_EQ(c.getFrameCount(), 21);
    EXPECT_GT(services.collisionChecks, 0);
}

TEST_F(Character, KeyLimitCountsKeyTimes)
{
    kgiCharacter c;
    ASSERT_TRUE(c.load(factoryProject().string()));
    services.limit = 2;
    EXPECT_TRUE(c.addKey(0));
    EXPECT_TRUE(c.addKey(10));
    EXPECT_TRUE(services.shown.empty());
    EXPECT_FALSE(c.addKey(20));
    EXPECT_EQ(services.shown, std::vector<std::string>({"Warning - 153"}));
    EXPECT_EQ(c.getKeyTimes(), Times({0, 10}));
    services.limit = 3;
    EXPECT_TRUE(c.addKey(10)); // over a key: the list stays as long
    EXPECT_EQ(c.getKeyCount(), 2);
}

TEST_F(Character, EditsWithoutAModelDoNothing)
{
    kgiCharacter c;
    EXPECT_FALSE(c.load("/nonexistent/robot.ts"));
    EXPECT_EQ(c.getRoot(), nullptr);
    services.shown.clear();
    EXPECT_FALSE(c.addKey(0));
    EXPECT_TRUE(services.shown.empty());
    c.deleteKeys(0, 10);
    c.copyFrame();
    c.applyKeysInfo();
    EXPECT_EQ(c.getName(), "");
    EXPECT_FALSE(c.undoKeys());
}

TEST_F(Character, KeyHistoryUndoesAndRefreshesTheList)
{
    kgiCharacter c;
    ASSERT_TRUE(c.load(factoryProject().string()));
    c.addKey(0);
    EXPECT_FALSE(c.redoKeys()); // nothing undone yet
    c.addKeyUndo(new AddKeyEntry(&c, 10));
    c.addKey(10);
    ASSERT_EQ(c.getKeyTimes(), Times({0, 10}));
    ASSERT_TRUE(c.undoKeys());
    EXPECT_EQ(c.getKeyTimes(), Times({0}));
    ASSERT_TRUE(c.redoKeys());
    EXPECT_EQ(c.getKeyTimes(), Times({0, 10}));
    EXPECT_FALSE(c.redoKeys());

    // The list edited in place is written to every joint.
    c.editKeyTimes()[1] = 15.0f;
    c.applyKeysInfo();
    c.updateKeysInfo();
    EXPECT_EQ(c.getKeyTimes(), Times({0, 15}));
    c.updateKeysInfoFrom(c.findNode("Head"));
    EXPECT_EQ(c.getKeyTimes(), Times({0, 15}));
}

TEST_F(Character, RangeEditsKeepEveryJointInStep)
{
    kgiCharacter c;
    ASSERT_TRUE(c.load(factoryProject().string()));
    for (int f : {0, 5, 20, 30})
        c.addKey(f);
    c.duplicateKeys(0, 10, 20); // copies of 0 and 5 at 20 and 25; 20 and 30 move 10 later
    EXPECT_EQ(c.getKeyTimes(), Times({0, 5, 20, 25, 30, 40}));
    c.deleteKeys(20, 10);
    c.deleteFrames(20, 10);
    EXPECT_EQ(c.getKeyTimes(), Times({0, 5, 20, 30}));
    c.cutKey(5);
    c.pasteKey(8);
    EXPECT_EQ(c.getKeyTimes(), Times({0, 8, 20, 30}));
    // Every joint holds the same keys as the first.
    std::vector<float> head;
    getMotionController(c.findNode("Head"))->getKeysTime(head, -1);
    EXPECT_EQ(head, c.getKeyTimes());
}

TEST_F(Character, FailedReloadDropsTheFreedModelAndItsPoseHistory)
{
    // The loader frees the previous tree before it reads: neither the
    // character nor its pose history may keep pointing into it.
    kgiCharacter c;
    ASSERT_TRUE(c.load(factoryProject().string()));
    c.addKey(0);
    c.addPoseUndo();
    EXPECT_FALSE(c.load("/nonexistent/robot.ts"));
    EXPECT_EQ(c.getRoot(), nullptr);
    EXPECT_TRUE(c.getKeyTimes().empty());
    EXPECT_FALSE(c.addKey(0));
    EXPECT_FALSE(c.undoPose());
    EXPECT_FALSE(c.flipPose());

    // A second successful load starts a fresh pose history on the new tree.
    ASSERT_TRUE(c.load(factoryProject().string()));
    EXPECT_EQ(c.getPoseUndo().getRoot(), c.getRoot());
    EXPECT_FALSE(c.undoPose());
    c.addPoseUndo();
    ksgNode* head = c.findNode("Head");
    ASSERT_NE(head, nullptr);
    const kmlMatrix4 before = head->getLocal();
    kmlMatrix4 turned = before;
    turned.rotate(40.0f, kmlVec3(0.0f, 1.0f, 0.0f));
    head->asTransform()->setLocal(turned);
    ASSERT_TRUE(c.undoPose());
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(head->getLocal()[i], before[i]);
}

TEST_F(Character, ReloadDropsTheKeyHistoryOfTheFreedModel)
{
    // Key entries hold snapshots of the nodes they were built on: after a
    // reload, successful or not, undoing one would write into freed nodes.
    for (const char* second : {"ok", "/nonexistent/robot.ts"}) {
        SCOPED_TRACE(second);
        kgiCharacter c;
        ASSERT_TRUE(c.load(factoryProject().string()));
        c.addKey(0);
        c.addKey(10);
        c.addKeyUndo(new kgiRemKeyUndo(&c, 10.0f));
        c.deleteKey(10);
        c.load(std::string(second) == "ok" ? factoryProject().string() : second);
        const Times keys = c.getKeyTimes();
        EXPECT_FALSE(c.undoKeys());
        EXPECT_FALSE(c.redoKeys());
        EXPECT_EQ(c.getKeyTimes(), keys);
    }
}
