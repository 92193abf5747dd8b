// The robot joint table on the factory robot: its start-up (joint file,
// limits, initial pose on the floor) and the key import through the real
// table.
#include "robot/joint_fixture_test.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"

#include "kgiKmdData.h"
#include "kutUndoMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The initial values of a joint file's lines, by joint name.
std::map<std::string, float> initialValues(const std::string& path)
{
    std::map<std::string, float> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        int n = 0;
        char name[64] = {};
        float v = 0.0f;
        if (std::sscanf(line.c_str(), "%d : %63s = %f", &n, name, &v) == 3)
            out[name] = v;
    }
    return out;
}

// The factory robot's folder copied, loaded into a character, with the
// program's table reading its joint file.
class FactoryRobot : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        fs::copy(kgiTestRobot::dataDir() + "/DORUZAVO_1base", fs::path(folder.path) / "robot",
                 fs::copy_options::recursive);
        project = folder.path + "/robot/DORUZAVO_1.ts";
        iniPath = folder.path + "/robot/character/model.ini";
        ASSERT_TRUE(robot.load(project));
        // As start-up does: the model evaluated once, so a joint set later
        // is not overwritten by the first evaluation of its motion.
        robot.setTime(0.0f);
        kgiPartTable::install(&table);
    }
    void TearDown() override
    {
        kgiPartTable::install(nullptr);
        kgiCharacterServices::install(nullptr);
    }

    kgiTestJoints::QuietServices services;
    kgiTestJoints::TempDir folder;
    std::string project;
    std::string iniPath;
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    kgiCharacter robot;
};

} // namespace

TEST_F(FactoryRobot, StartsInTheInitialPoseOfItsJointFileOnTheFloor)
{
    ksgNode* root = robot.getRoot();
    kmlMatrix4 lifted;
    lifted.setTranslation(kmlVec3(0.0f, 250.0f, 0.0f));
    root->asTransform()->setLocal(lifted);
    root->update(0.0f, false, true);

    // Through the seam, as start-up reaches it.
    kgiPartTable::installed()->setupJoints(&robot, project);
    EXPECT_TRUE(services.captions.empty());
    ASSERT_EQ(table.getNodeCount(), 25);
    const std::map<std::string, float> values = initialValues(iniPath);
    ASSERT_EQ(values.size(), 24u);
    for (const auto& v : values) {
        ksgNode* joint = robot.findNode(v.first);
        ASSERT_NE(joint, nullptr) << v.first;
        EXPECT_NEAR(table.getJointAngle(joint), v.second, 1e-4) << v.first;
        // It is the joint's default pose.
        const kmlMatrix4 set = joint->getLocal();
        joint->asTransform()->setLocal(kmlMatrix4());
        joint->asTransform()->setDefault();
        EXPECT_LT(kgiTestRobot::maxDiff(joint->getLocal(), set), 1e-6f) << v.first;
    }
    EXPECT_NEAR(root->getBounds().getMin()[1], 0.0f, 1e-4);

    // One pose undo entry: the placement on the floor.
    ASSERT_TRUE(robot.undoPose());
    EXPECT_GT(root->getLocal()(1, 3), 100.0f);
    EXPECT_FALSE(robot.undoPose());
}

TEST_F(FactoryRobot, ALineWithoutValueFailsAloneAndAMissingFileOnlyPlacesOnTheFloor)
{
    std::ofstream(iniPath, std::ios::app) << "a line without a value, but with commas\n";
    ASSERT_TRUE(table.loadModelIni(project, &robot));
    ASSERT_EQ(table.getNodeCount(), 25) << "the joint reader skips the line";
    // A line whose value does not read after the "=" fails the same way.
    std::ofstream(iniPath, std::ios::app) << "30 : Head = x :0,-80.0,80.0,1 :23,1.0,100.0;\n";
    EXPECT_FALSE(table.applyInitialPose(&robot));
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Error - 062", "Error - 062"}));
    EXPECT_EQ(services.texts.front(), "Er_INI_Data_File");
    EXPECT_NEAR(table.getJointAngle(robot.findNode("RKnee")), 45.0f, 1e-4) << "other lines applied";

    services.captions.clear();
    fs::remove(iniPath);
    robot.findNode("RKnee")->asTransform()->setLocal(kmlMatrix4());
    robot.getRoot()->update(0.0f, false, true);
    EXPECT_TRUE(table.applyInitialPose(&robot));
    EXPECT_TRUE(services.captions.empty());
    EXPECT_NEAR(table.getJointAngle(robot.findNode("RKnee")), 0.0f, 1e-4);
    EXPECT_NEAR(robot.getRoot()->getBounds().getMin()[1], 0.0f, 1e-4);
    EXPECT_FALSE(table.placeOnFloor(nullptr));
}

namespace {

// The application's start-up hook reaches the installed table.
void startUpHook()
{
    kgiAppRig rig;
    kgiTestJoints::QuietServices services;
    kgiCharacterServices::install(&services);
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    CHILD_CHECK(kgiPartTable::installed() == table);
    kgiCharacter robot;
    CHILD_CHECK(robot.load(kgiTestRobot::projectPath()));
    rig.app->setupRobotJoints(&robot, kgiTestRobot::projectPath());
    CHILD_CHECK(table->getNodeCount() == 25);
    CHILD_CHECK(std::fabs(table->getJointAngle(robot.findNode("RArm")) - 20.0f) < 1e-4f);
    rig.app->setupRobotJoints(nullptr, kgiTestRobot::projectPath());
    kgiCharacterServices::install(nullptr);
}

} // namespace

TEST(RobotStartUp, TheApplicationHookSetsUpTheInstalledTable)
{
    EXPECT_IN_CHILD(startUpHook);
}

namespace {

// The kind of the entry an undo would step over; "" when none.
std::string lastKind(kgiCharacter& c)
{
    const kutUndoEntry* e = c.getKeyUndo().getLast();
    return e ? e->getRtti()->getName() : std::string();
}

// A motion saved beside the copied robot: keys at 0, 10, ..., 50 with the
// right arm's joint value the frame number + 10 (its range starts at 3).
class FactoryImport : public FactoryRobot {
protected:
    void SetUp() override
    {
        FactoryRobot::SetUp();
        kgiCharacter source;
        ASSERT_TRUE(source.load(project));
        source.setTime(0.0f);
        table.setupJoints(&source, project);
        for (int f = 0; f <= 50; f += 10) {
            ASSERT_TRUE(table.setJointAngleByName(&source, "RArm", f + 10.0f));
            ASSERT_TRUE(source.addKey(f));
        }
        ASSERT_TRUE(source.saveMotion("clip.ts"));
        clip = folder.path + "/robot/clip.ts";
        table.setupJoints(&robot, project);
    }

    // Keys at every tenth frame up to last with the arm at 100.
    void keyRobot(int last)
    {
        for (int f = 0; f <= last; f += 10) {
            ASSERT_TRUE(table.setJointAngleByName(&robot, "RArm", 100.0f));
            ASSERT_TRUE(robot.addKey(f));
        }
        robot.getKeyUndo().clear();
    }

    float armAt(float t) { return table.getJointAngleAt(robot.findNode("RArm"), t); }

    std::string clip;
};

} // namespace

TEST_F(FactoryImport, ImportReplacesOnlyItsRangeWithTwoUndoEntries)
{
    keyRobot(200);
    ASSERT_TRUE(robot.importMotion(clip, 100, -1));
    EXPECT_TRUE(services.captions.empty());
    for (int f = 0; f <= 50; f += 10)
        EXPECT_NEAR(armAt(100.0f + f), f + 10.0f, 1e-3) << f;
    EXPECT_NEAR(armAt(90.0f), 100.0f, 1e-3);
    EXPECT_NEAR(armAt(160.0f), 100.0f, 1e-3);
    EXPECT_EQ(lastKind(robot), "kgiAddKeysUndo");
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(lastKind(robot), "kgiRemKeysUndo");
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(lastKind(robot), "");
    EXPECT_NEAR(armAt(120.0f), 100.0f, 1e-3);
}

TEST_F(FactoryImport, PastTheKeyLimitTheRangeIsGoneAndNothingImported)
{
    keyRobot(200);
    services.limit = 20;
    const std::vector<float> before = robot.getKeyTimes();
    ASSERT_FALSE(robot.importMotion(clip, 100, -1));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 153"});
    EXPECT_EQ(robot.getKeyTimes().size(), before.size() - 6);
    EXPECT_EQ(lastKind(robot), "kgiRemKeysUndo");
    ASSERT_TRUE(robot.undoKeys());
    EXPECT_EQ(robot.getKeyTimes(), before);
    // A project without keys changes nothing.
    robot.getKeyUndo().clear();
    EXPECT_FALSE(robot.importMotion(project, 0, -1));
    EXPECT_EQ(robot.getKeyTimes(), before);
    EXPECT_EQ(lastKind(robot), "");
}

TEST_F(FactoryImport, AJointTheModelLacksDoesNotEndTheImport)
{
    std::string text = "0 : Tail = 0.0 :2,-10.0,10.0,1 :24,1.0,100.0;\n";
    std::ifstream in(iniPath);
    text += std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::ofstream(iniPath, std::ios::trunc) << text;
    ASSERT_TRUE(table.loadModelIni(project, &robot));
    ASSERT_EQ(table.getNode(1), nullptr);
    ASSERT_TRUE(robot.importMotion(clip, 0, -1));
    for (int f = 0; f <= 50; f += 10)
        EXPECT_NEAR(armAt(float(f)), f + 10.0f, 1e-3) << f;
}



