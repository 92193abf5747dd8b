// The lessons' data the build lays out: the sample list and its motions,
// the bow the key-editing lessons open, the dance of the media lesson, and
// the course scenes. Every rule is checked through the program's own code:
// the key import into the factory robot, the joint table's limit test and
// servo conversion, the part collision check and the model's bounds.
#include "robot/joint_fixture_test.h"

#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "kgiRobotJointTable.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string baseDir()
{
    return kgiTestRobot::dataDir() + "/DORUZAVO_1base";
}

std::vector<std::string> sampleNames()
{
    std::vector<std::string> names;
    std::ifstream in(baseDir() + "/sample.txt", std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        names.push_back(line);
    return names;
}

// The factory robot, loaded and set up as start-up does, with the
// program's joint table installed.
class FactorySamples : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        kgiPartTable::install(&table);
        ASSERT_TRUE(robot.load(kgiTestRobot::projectPath()));
        robot.setTime(0.0f);
        table.setupJoints(&robot, kgiTestRobot::projectPath());
        for (const auto& j : table.getJoints())
            initial[j.first] = table.getJointAngle(robot.findNode(j.first));
    }
    void TearDown() override
    {
        kgiPartTable::install(nullptr);
        kgiCharacterServices::install(nullptr);
    }

    bool read(const std::string& name) { return robot.importMotion(baseDir() + "/" + name + ".ts", 0, -1); }

    // The rules of every key, checked at time t; one failure line each.
    void expectKeyRules(const std::string& label, float t)
    {
        robot.setTime(t);
        for (const auto& j : table.getJoints()) {
            ksgNode* node = robot.findNode(j.first);
            ASSERT_NE(node, nullptr) << j.first;
            const float value = table.getJointAngle(node);
            // The limit test with margin 0 sets the joint to what it holds.
            EXPECT_TRUE(table.applyJointAngle(node, value, j.second, 0.0f)) << label << " " << j.first << " " << value;
            const int servo = kgiRobotJointTable::toServo(value, j.second);
            EXPECT_TRUE(servo >= 10 && servo <= 190) << label << " " << j.first << " servo " << servo;
        }
        unsigned char flags[kgiPartTable::FLAG_COUNT] = {};
        EXPECT_FALSE(table.checkPartCollisions(&robot, flags)) << label << ": parts collide";
        EXPECT_NEAR(robot.getRoot()->getBounds().getMin()[1], 0.0f, 0.05f) << label << ": off the floor";
        EXPECT_TRUE(services.captions.empty()) << label << ": " << services.captions.front();
    }

    // Largest difference of any joint from its initial value at time t.
    float offInitial(float t)
    {
        robot.setTime(t);
        float most = 0.0f;
        for (const auto& j : initial)
            most = std::max(most, std::fabs(table.getJointAngle(robot.findNode(j.first)) - j.second));
        return most;
    }

    kgiTestJoints::QuietServices services;
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    kgiCharacter robot;
    std::map<std::string, float> initial;
};

} // namespace

TEST(SampleList, FortyNumberedPlainNamesEachWithItsFiles)
{
    std::ifstream in(baseDir() + "/sample.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find('\r'), std::string::npos) << "line feeds only";
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');

    const std::vector<std::string> names = sampleNames();
    ASSERT_EQ(names.size(), 40u);
    std::set<std::string> seen;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        const std::string prefix = std::to_string(i + 1) + "_";
        EXPECT_EQ(n.compare(0, prefix.size(), prefix), 0) << n << " on line " << i + 1;
        EXPECT_GT(n.size(), prefix.size()) << n;
        for (char c : n)
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '_') << n;
        EXPECT_TRUE(seen.insert(n).second) << n << " twice";
        EXPECT_TRUE(fs::is_regular_file(baseDir() + "/" + n + ".ts")) << n;
        EXPECT_TRUE(fs::is_regular_file(baseDir() + "/motion/" + n + ".kmm")) << n;
    }
    EXPECT_EQ(names[0], "1_Bow");
}

TEST_F(FactorySamples, EveryRowImportsAndKeepsTheRulesAtEveryKey)
{
    for (const std::string& name : sampleNames()) {
        SCOPED_TRACE(name);
        robot.deleteKeys(0, 100000);
        ASSERT_TRUE(read(name));
        const std::vector<float> keys = robot.getKeyTimes();
        ASSERT_GE(keys.size(), 2u);
        EXPECT_LE(keys.size(), 30u);
        EXPECT_EQ(keys.front(), 0.0f);
        for (float t : keys) {
            EXPECT_EQ(t, std::floor(t)) << "whole frames";
            expectKeyRules(name + " at " + std::to_string(int(t)), t);
        }
        EXPECT_LT(offInitial(keys.front()), 0.5f) << "starts in the initial pose";
        EXPECT_LT(offInitial(keys.back()), 0.5f) << "ends in the initial pose";
        // The first key faces +z: the root's forward axis, the model's z.
        robot.setTime(0.0f);
        const kmlMatrix4 w = robot.getRoot()->getWorld();
        EXPECT_NEAR(w(2, 1), -1.0f, 1e-4) << "faces +z (the root frame's y points back)";
    }
}

namespace {

// Every joint value and the root's matrix at time t.
std::vector<float> poseAt(kgiCharacter& c, kgiRobotJointTable& table, float t)
{
    c.setTime(t);
    std::vector<float> pose;
    for (const auto& j : table.getJoints())
        pose.push_back(table.getJointAngle(c.findNode(j.first)));
    const kmlMatrix4 root = c.getRoot()->getLocal();
    for (int i = 0; i < 16; ++i)
        pose.push_back(root[i]);
    return pose;
}

float largestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    float most = 0.0f;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        most = std::max(most, std::fabs(a[i] - b[i]));
    return a.size() == b.size() ? most : 1e9f;
}

// An entry done as the time line does a drag: run, then kept for undo.
void edit(kgiCharacter& c, kutUndoEntry* entry)
{
    entry->redo();
    c.addKeyUndo(entry);
}

} // namespace

TEST_F(FactorySamples, TheBowTakesLessonFoursSlowerTimingWithItsPosesInOrder)
{
    ASSERT_TRUE(read("1_Bow"));
    ASSERT_EQ(robot.getKeyTimes(), (std::vector<float>{0, 15, 45, 75}));
    std::vector<std::vector<float>> poses;
    for (float t : robot.getKeyTimes())
        poses.push_back(poseAt(robot, table, t));
    // Standing, bending, deep bow, standing: the middle keys differ.
    EXPECT_LT(largestDifference(poses[0], poses[3]), 1e-3f);
    EXPECT_GT(largestDifference(poses[0], poses[1]), 5.0f);
    EXPECT_GT(largestDifference(poses[1], poses[2]), 5.0f);

    // Lesson 4: the fourth key pushed to 197, the third moved to 160, the
    // second to 27.
    edit(robot, new kgiPushKeysUndo(&robot, 3, 75.0f, 197.0f));
    edit(robot, new kgiMoveKeyUndo(&robot, 2, 45.0f, 160.0f));
    edit(robot, new kgiMoveKeyUndo(&robot, 1, 15.0f, 27.0f));
    ASSERT_EQ(robot.getKeyTimes(), (std::vector<float>{0, 27, 160, 197}));
    for (size_t k = 0; k < poses.size(); ++k)
        EXPECT_LT(largestDifference(poseAt(robot, table, robot.getKeyTimes()[k]), poses[k]), 1e-3f) << "key " << k;

    // The lessons open the same file as their timesheet.
    std::ifstream a(baseDir() + "/1_Bow.ts", std::ios::binary);
    EXPECT_TRUE(a.good());
}

TEST_F(FactorySamples, TheDanceKeysEveryBeatOfItsMusic)
{
    const std::vector<std::string> names = sampleNames();
    ASSERT_GE(names.size(), 27u);
    ASSERT_TRUE(read(names[26]));
    std::vector<float> beats;
    for (int f = 0; f <= 500; f += 20)
        beats.push_back(float(f));
    EXPECT_EQ(robot.getKeyTimes(), beats);
}

TEST_F(FactorySamples, BothCourseScenesLoadBesideTheRobotWithNoNameOfTheJointTable)
{
    kgiWorld* world = kgiWorld::instance();
    const int robotId = world->createCharacter();
    kgiCharacter* current = kgiCharacterTable::instance()->find(robotId);
    ASSERT_NE(current, nullptr);
    ASSERT_TRUE(current->load(kgiTestRobot::projectPath()));
    world->setCurrentCharacter(robotId);
    for (const char* file : {"nomalCource.ts", "obsCource.ts"}) {
        SCOPED_TRACE(file);
        const int id = world->createCharacter();
        kgiCharacter* course = kgiCharacterTable::instance()->find(id);
        ASSERT_NE(course, nullptr);
        ASSERT_TRUE(course->load(kgiTestRobot::dataDir() + "/course/" + file));
        EXPECT_EQ(world->getCurrentId(), robotId);
        EXPECT_TRUE(course->getKeyTimes().empty()) << "a scene without keys";
        const kgiKmdData* root = kgiKmdData::of(course->getRoot());
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->getType(), kgiKmdData::ROOT);
        for (const auto& j : table.getJoints())
            EXPECT_EQ(course->findNode(j.first), nullptr) << j.first;
        EXPECT_EQ(course->findNode("Robot"), nullptr);
        world->removeCharacter(id);
    }
    world->removeCharacter(robotId);
}
