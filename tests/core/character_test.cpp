// The character: the factory robot loaded from its default project, its
// key-time list, the key limit and the key-edit history.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCollisionCheckParts.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "ksgModel.h"
#include "ksgMotionController.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include "core/joint_list_table_test.h"
#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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
    c.setTime(5.0f);
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

TEST(CharacterEdits, EveryKeyEditSaysWhetherItRan)
{
    LimitServices services;
    kgiCharacterServices::install(&services);
    struct Case {
        const char* what;
        std::function<bool(kgiCharacter&)> refused; // arguments the edit refuses
        std::function<bool(kgiCharacter&)> runs;
    };
    const Case cases[] = {
        {"addKey", [](kgiCharacter& c) { return c.addKey(-1); }, [](kgiCharacter& c) { return c.addKey(40); }},
        {"deleteKey", [](kgiCharacter& c) { return c.deleteKey(-1); },
         [](kgiCharacter& c) { return c.deleteKey(10); }},
        {"duplicateKey", [](kgiCharacter& c) { return c.duplicateKey(0, -5); },
         [](kgiCharacter& c) { return c.duplicateKey(0, 5); }},
        {"duplicateKeys", [](kgiCharacter& c) { return c.duplicateKeys(0, 0, 20); },
         [](kgiCharacter& c) { return c.duplicateKeys(0, 5, 20); }},
        {"deleteKeys", [](kgiCharacter& c) { return c.deleteKeys(0, 0); },
         [](kgiCharacter& c) { return c.deleteKeys(0, 5); }},
        {"deleteFrames", [](kgiCharacter& c) { return c.deleteFrames(0, 5); },
         [](kgiCharacter& c) { return c.deleteFrames(5, 2); }},
        {"insertFrames", [](kgiCharacter& c) { return c.insertFrames(0, 5); },
         [](kgiCharacter& c) { return c.insertFrames(5, 2); }},
        {"cutKey", [](kgiCharacter& c) { return c.cutKey(-3); }, [](kgiCharacter& c) { return c.cutKey(10); }},
        {"pasteKey", [](kgiCharacter& c) { return c.pasteKey(-3); },
         [](kgiCharacter& c) { return c.pasteKey(12); }},
        {"copyFrame", nullptr, [](kgiCharacter& c) { return c.copyFrame(); }},
    };
    kgiCharacter empty;
    kgiCharacter robot;
    ASSERT_TRUE(robot.load(factoryProject().string()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.runs(empty));
        robot.deleteKeys(0, 100000);
        ASSERT_TRUE(robot.addKey(0));
        ASSERT_TRUE(robot.addKey(10));
        const Times keys = robot.getKeyTimes();
        if (c.refused) {
            EXPECT_FALSE(c.refused(robot));
            EXPECT_EQ(robot.getKeyTimes(), keys);
        }
        EXPECT_TRUE(c.runs(robot));
    }
    // At the limit addKey is refused too, with its box.
    services.limit = robot.getKeyCount();
    services.shown.clear();
    EXPECT_FALSE(robot.addKey(50));
    EXPECT_EQ(services.shown, std::vector<std::string>({"Warning - 153"}));
    kgiCharacterServices::install(nullptr);
}

namespace {

// Poses the joint turned by `degrees` and gives its local matrix as the
// joint takes it (within its own axis and limits).
kmlMatrix4 posed(ksgNode* joint, float degrees)
{
    kmlMatrix4 m;
    m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
    joint->asTransform()->setLocal(m);
    return joint->getLocal();
}

// Imports into the factory robot from a motion saved in a copy of its
// folder: keys at 0, 10, ..., 50 with the right arm turned by the frame
// number (degrees).
class CharacterImport : public Character {
protected:
    void SetUp() override
    {
        Character::SetUp();
        dir = fs::temp_directory_path() / ("kgi_import_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(kgiTestRobot::dataDir() + "/DORUZAVO_1base", dir / "robot", fs::copy_options::recursive);
        kgiCharacter source;
        ASSERT_TRUE(source.load((dir / "robot" / "DORUZAVO_1.ts").string()));
        for (int f = 0; f <= 50; f += 10) {
            posed(source.findNode("RArm"), float(f));
            ASSERT_TRUE(source.addKey(f));
        }
        ASSERT_TRUE(source.saveMotion("clip.ts"));
        clip = (dir / "robot" / "clip.ts").string();

        ASSERT_TRUE(robot.load(factoryProject().string()));
        arm = robot.findNode("RArm");
        ASSERT_NE(arm, nullptr);
        kgiTestJoints::collectJoints(robot.getRoot(), table.joints);
        kgiPartTable::install(&table);
    }
    void TearDown() override
    {
        kgiPartTable::install(nullptr);
        fs::remove_all(dir);
        Character::TearDown();
    }

    // Keys at the frames with the arm turned the other way.
    void keyRobotAt(const Times& frames)
    {
        for (float f : frames) {
            posed(arm, -f);
            ASSERT_TRUE(robot.addKey(int(f)));
        }
        robot.getKeyUndo().clear();
    }

    kmlMatrix4 armAt(float t) { return kgiTestRobot::evaluated(getMotionController(arm), t); }

    fs::path dir;
    std::string clip;
    kgiCharacter robot;
    ksgNode* arm = nullptr;
    kgiTestJoints::JointListTable table;
};

Times everyTen(int last, std::initializer_list<float> extra = {})
{
    Times t;
    for (int f = 0; f <= last; f += 10)
        t.push_back(float(f));
    t.insert(t.end(), extra);
    std::sort(t.begin(), t.end());
    return t;
}

// The kind of the entry an undo would step over; "" when none.
std::string lastKind(kgiCharacter& c)
{
    const kutUndoEntry* e = c.getKeyUndo().getLast();
    return e ? e->getRtti()->getName() : std::string();
}

} // namespace

TEST_F(CharacterImport, KeysOfTheRangeAreReplacedAndTwoUndosGiveThemBack)
{
    keyRobotAt(everyTen(200, {151}));
    const Times before = robot.getKeyTimes();
    ASSERT_TRUE(robot.importMotion(clip, 100, -1));
    EXPECT_TRUE(services.shown.empty());
    EXPECT_EQ(robot.getKeyTimes(), before); // the same frames, new values at 100..150
    for (int f = 0; f <= 50; f += 10)
        EXPECT_LT(kgiTestRobot::rotationDiff(armAt(100.0f + f), posed(arm, float(f))), 1e-4f) << f;
    for (float f : {90.0f, 151.0f, 160.0f})
        EXPECT_LT(kgiTestRobot::rotationDiff(armAt(f), posed(arm, -f)), 1e-4f) << f;
    // Every joint keeps its keys at the same frames.
    std::vector<float> head;
    getMotionController(robot.findNode("Head"))->getKeysTime(head, -1);
    EXPECT_EQ(head, before);
    EXPECT_EQ(lastKind(robot), "kgiAddKeysUndo");

    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), everyTen(90, {151, 160, 170, 180, 190, 200}));
    EXPECT_EQ(lastKind(robot), "kgiRemKeysUndo");
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), before);
    EXPECT_EQ(lastKind(robot), "");
    for (int f = 100; f <= 150; f += 10)
        EXPECT_LT(kgiTestRobot::rotationDiff(armAt(float(f)), posed(arm, -float(f))), 1e-4f) << f;

    // Redo brings the imported keys back on every joint, as often as the
    // two steps are undone and redone.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(robot.redoKeys());
        ASSERT_TRUE(robot.redoKeys());
        EXPECT_EQ(robot.getKeyTimes(), before) << round;
        head.clear();
        getMotionController(robot.findNode("Head"))->getKeysTime(head, -1);
        EXPECT_EQ(head, before) << round;
        for (int f = 0; f <= 50; f += 10)
            EXPECT_LT(kgiTestRobot::rotationDiff(armAt(100.0f + f), posed(arm, float(f))), 1e-4f) << round << " " << f;
        EXPECT_LT(kgiTestRobot::rotationDiff(armAt(160.0f), posed(arm, -160.0f)), 1e-4f) << round;
        ASSERT_TRUE(robot.undoKeys());
        ASSERT_TRUE(robot.undoKeys());
        EXPECT_EQ(robot.getKeyTimes(), before) << round;
        EXPECT_LT(kgiTestRobot::rotationDiff(armAt(120.0f), posed(arm, -120.0f)), 1e-4f) << round;
    }
}

TEST_F(CharacterImport, AnImportPastTheKeyLimitLeavesTheRangeDeletedAndWarns)
{
    keyRobotAt(everyTen(200));
    services.limit = 20; // 21 keys, 15 after the deletion, 6 to import
    ASSERT_FALSE(robot.importMotion(clip, 100, -1));
    EXPECT_EQ(services.shown, std::vector<std::string>({"Warning - 153"}));
    EXPECT_EQ(robot.getKeyTimes(), everyTen(90, {160, 170, 180, 190, 200}));
    EXPECT_EQ(lastKind(robot), "kgiRemKeysUndo");
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), everyTen(200));
    EXPECT_EQ(lastKind(robot), "");
}

TEST_F(CharacterImport, AFileWithoutKeysOrThatCannotBeReadChangesNothing)
{
    keyRobotAt({0, 10});
    for (const std::string& path : {factoryProject().string(), (dir / "none.ts").string()}) {
        EXPECT_FALSE(robot.importMotion(path, 0, -1)) << path;
        EXPECT_EQ(robot.getKeyTimes(), Times({0, 10}));
        EXPECT_EQ(lastKind(robot), "");
    }
}

TEST_F(CharacterImport, JointsThatCannotTakeKeysAreSkippedAndTheWalkGoesOn)
{
    // The list names frame 60, which the file's 51 frames do not hold.
    std::ofstream(dir / "robot" / "motion" / "clip.kmm", std::ios::app) << "60\n";
    // A null entry, a transform without controller and a mesh named like
    // joints, then the real arm.
    ksgTransform loose;
    loose.setName("Head");
    ksgModel mesh;
    mesh.setName("LArm");
    table.joints = {nullptr, &loose, &mesh, arm};
    ASSERT_TRUE(robot.importMotion(clip, 0, -1));
    Times armKeys;
    getMotionController(arm)->getKeysTime(armKeys, -1);
    EXPECT_EQ(armKeys, everyTen(50));
    EXPECT_LT(kgiTestRobot::rotationDiff(armAt(30.0f), posed(arm, 30.0f)), 1e-4f);
    EXPECT_EQ(lastKind(robot), "kgiAddKeysUndo");

    // Without a table no joint matches: the keys of the range just go.
    kgiPartTable::install(nullptr);
    ASSERT_TRUE(robot.importMotion(clip, 0, -1));
    armKeys.clear();
    getMotionController(arm)->getKeysTime(armKeys, -1);
    EXPECT_TRUE(armKeys.empty());
}

TEST_F(CharacterImport, KeysAtOrPastTheLimitAreLeftOut)
{
    ASSERT_TRUE(robot.importMotion(clip, 100, 130));
    EXPECT_EQ(robot.getKeyTimes(), Times({100, 110, 120}));
}
