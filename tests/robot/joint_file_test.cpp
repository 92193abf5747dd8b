// The joint file reader of the robot joint table: what a model.ini gives,
// what a refused line leaves, servo lookups, and what a model change
// leaves behind.
#include "robot/joint_fixture_test.h"
#include "support/kgiCommaLocale.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "ksgNode.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <map>
#include <string>
#include <vector>

namespace {

using Records = std::map<std::string, kgiJointRecord>;

using kgiTestJoints::record;

class JointFile : public kgiTestJoints::JointFixture {};

} // namespace

TEST_F(JointFile, ContentsGiveRecordsAndNodeEntries)
{
    const std::string example = "3 : LAnkle1 = 0.0 :1,-90.0,90.0,-1 :5,1.0,100.0;";
    const std::string knee = "7 : Knee = 5.0 :2,-10.0,80.0,1 :2,2.0,50.0;\n";
    struct Case {
        const char* what;
        std::string text;
        Records records;
        std::vector<std::string> entries; // names of entries 1..; "" null
    };
    const Case cases[] = {
        {"the example line", example + "\n", {{"LAnkle1", record(1, -90, 90, -1, 5, 1, 100)}}, {"LAnkle1"}},
        {"CR LF lines", example + "\r\n" + "7 : Knee = 5.0 :2,-10.0,80.0,1 :2,2.0,50.0;\r\n",
         {{"LAnkle1", record(1, -90, 90, -1, 5, 1, 100)}, {"Knee", record(2, -10, 80, 1, 2, 2, 50)}},
         {"LAnkle1", "Knee"}},
        {"no newline at the end", example, {{"LAnkle1", record(1, -90, 90, -1, 5, 1, 100)}}, {"LAnkle1"}},
        {"only short lines", "\n12\nab\r\n", {}, {}},
        {"a long line without a comma", "3 : LAnkle1 = 0.0 :1 -90.0 90.0 -1 :5 1.0 100.0;\n", {}, {}},
        {"two lines of one name: the later record, two entries",
         knee + "8 : Knee = 0.0 :0,-20.0,20.0,-1 :3,1.0,0.0;\n", {{"Knee", record(0, -20, 20, -1, 3, 1, 0)}},
         {"Knee", "Knee"}},
        {"a name the model lacks is a null entry, not the end",
         "1 : Tail = 0.0 :2,-5.0,5.0,1 :9,1.0,0.0;\n" + knee,
         {{"Tail", record(2, -5, 5, 1, 9, 1, 0)}, {"Knee", record(2, -10, 80, 1, 2, 2, 50)}}, {"", "Knee"}},
        {"a partly read line is refused", "1 : Tail = 0.0 :2,-5.0,5.0\n" + knee,
         {{"Knee", record(2, -10, 80, 1, 2, 2, 50)}}, {"Knee"}},
        {"nan is refused", "1 : Tail = 0.0 :2,nan,5.0,1 :9,1.0,0.0;\n" + knee,
         {{"Knee", record(2, -10, 80, 1, 2, 2, 50)}}, {"Knee"}},
        {"inf is refused", "1 : Tail = inf :2,-5.0,5.0,1 :9,1.0,0.0;\n" + knee,
         {{"Knee", record(2, -10, 80, 1, 2, 2, 50)}}, {"Knee"}},
        {"scale 0 is refused", "1 : Tail = 0.0 :2,-5.0,5.0,1 :9,0.0,0.0;\n" + knee,
         {{"Knee", record(2, -10, 80, 1, 2, 2, 50)}}, {"Knee"}},
        {"an axis past 2 takes order 5", "1 : Knee = 0 :7,-5,5,1 :9,1,0;\n",
         {{"Knee", record(7, -5, 5, 1, 9, 1, 0)}}, {"Knee"}},
    };
    for (const Case& c : cases) {
        writeModelIni(c.text);
        ASSERT_TRUE(table.loadModelIni(modelPath(), &character)) << c.what;
        EXPECT_EQ(table.getJoints(), c.records) << c.what;
        ASSERT_EQ(table.getNodeCount(), int(c.entries.size()) + 1) << c.what;
        EXPECT_EQ(table.getNode(0), root) << c.what;
        for (std::size_t i = 0; i < c.entries.size(); ++i)
            EXPECT_EQ(table.getNode(int(i) + 1), c.entries[i].empty() ? nullptr : character.findNode(c.entries[i]))
                << c.what << ", entry " << i + 1;
        EXPECT_EQ(table.getNode(table.getNodeCount()), nullptr) << c.what;
        EXPECT_EQ(table.getSelectedPart(), -1) << c.what;
    }
}

TEST_F(JointFile, The256thLineAndLaterAreIgnored)
{
    std::string text;
    for (int i = 0; i < 256; ++i)
        text += std::to_string(i) + " : J" + std::to_string(i) + " = 0.0 :2,-90.0,90.0,1 :-1,1.0,0.0;\n";
    writeModelIni(text);
    ASSERT_TRUE(table.loadModelIni(modelPath(), &character));
    EXPECT_EQ(table.getNodeCount(), kgiRobotJointTable::MAX_NODES);
    EXPECT_EQ(table.getJoints().size(), 254u);
    EXPECT_EQ(table.getJoints().count("J253"), 1u);
    EXPECT_EQ(table.getJoints().count("J254"), 0u);
    EXPECT_EQ(table.getNode(kgiRobotJointTable::MAX_NODES), nullptr);
}

TEST_F(JointFile, NumbersReadTheSameUnderADecimalCommaLocale)
{
    locale_t comma = kgiNewCommaLocale();
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    writeModelIni("1 : Knee = 0.5 :2,-10.5,80.25,1 :2,0.5,99.5;\n");
    locale_t old = uselocale(comma);
    const bool read = table.loadModelIni(modelPath(), &character);
    uselocale(old);
    freelocale(comma);
    ASSERT_TRUE(read);
    EXPECT_EQ(table.findJoint("Knee"), record(2, -10.5f, 80.25f, 1, 2, 0.5f, 99.5f));
}

TEST_F(JointFile, PathOfTheJointFile)
{
    table.loadModelIni("/a/b/robot.ts", &character);
    EXPECT_EQ(table.getModelIniPath(), "/a/b/character/model.ini");
    table.loadModelIni("robot.ts", &character);
    EXPECT_EQ(table.getModelIniPath(), "character/model.ini");
    EXPECT_TRUE(kgiRobotJointTable().isTableFile("C/robo.ts"));
    EXPECT_FALSE(kgiRobotJointTable().isTableFile("robo.ts.bak"));
}

TEST_F(JointFile, ServoLookups)
{
    // Two records drive servo 2: the first in name order answers.
    writeModelIni("1 : Knee = 0 :2,-10,80,1 :2,1.0,0;\n2 : Elbow = 0 :0,-5,5,1 :2,1.0,7;\n"
                  "3 : Tail = 0 :1,-5,5,1 :4,1.0,0;\n");
    ASSERT_TRUE(table.loadModelIni(modelPath(), &character));
    EXPECT_EQ(table.findJointByServo(5), kgiJointRecord());
    EXPECT_EQ(table.findJointByServo(5), record(3, -180, 180, 1, -1, 1, 0));
    EXPECT_EQ(table.findJointByServo(5).eulerOrder, 5);
    EXPECT_EQ(table.jointNameByServo(5), "NULL");
    EXPECT_EQ(table.jointNameByServo(2), "Elbow");
    EXPECT_EQ(table.findJointByServo(2).offset, 7.0f);
    EXPECT_EQ(table.findJoint("knee"), kgiJointRecord()) << "names compare exactly";
    EXPECT_EQ(table.findJoint("Knee").servoId, 2);
}

TEST_F(JointFile, AFileThatDoesNotOpenKeepsOnlyTheRootAndTheRecords)
{
    writeModelIni("1 : Knee = 0 :2,-10,80,1 :2,1.0,0;\n");
    ASSERT_TRUE(table.loadModelIni(modelPath(), &character));
    const Records before = table.getJoints();
    EXPECT_FALSE(table.loadModelIni(dir + "/elsewhere/robot.ts", &character));
    EXPECT_EQ(table.getModelIniPath(), dir + "/elsewhere/character/model.ini");
    EXPECT_EQ(table.getNodeCount(), 1);
    EXPECT_EQ(table.getNode(0), root);
    EXPECT_EQ(table.getNode(1), nullptr);
    EXPECT_EQ(table.getJoints(), before);
}

// Model A (the factory robot) read, its character freed, model B read
// from a folder without a joint file, then from one with its own.
TEST(JointFileModelChange, NoEntryOutlivesItsTreeAndNoRecordItsFile)
{
    kgiTestJoints::QuietServices quiet;
    kgiCharacterServices::install(&quiet);
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    table = kgiRobotJointTable();
    {
        kgiCharacter a;
        ASSERT_TRUE(a.load(kgiTestRobot::projectPath()));
        ASSERT_TRUE(table.loadModelIni(kgiTestRobot::projectPath(), &a));
        ASSERT_EQ(table.getNodeCount(), 25);
        EXPECT_EQ(table.jointNameByServo(5), "Body");
    }
    EXPECT_EQ(table.getNodeCount(), 0) << "the notice cleared A's entries";
    EXPECT_EQ(table.getNode(0), nullptr);

    kgiTestJoints::TempDir b;
    kgiCharacter second;
    ASSERT_TRUE(second.load(kgiTestRobot::projectPath()));
    EXPECT_FALSE(table.loadModelIni(b.path + "/robot.ts", &second));
    EXPECT_EQ(table.getNode(0), second.getRoot());
    EXPECT_EQ(table.getNode(1), nullptr);
    // A walk as the collision check makes it: every entry up to the count.
    for (int i = 0; i < table.getNodeCount(); ++i) {
        if (ksgNode* n = table.getNode(i)) {
            EXPECT_FALSE(n->getName().empty());
        }
    }

    // B's file gives servo 5 to the head; A's body must not answer first.
    b.write("character/model.ini", "0 : Head = 0.0 :0,-80.0,80.0,1 :5,1.0,100.0;\n");
    ASSERT_TRUE(table.loadModelIni(b.path + "/robot.ts", &second));
    EXPECT_EQ(table.jointNameByServo(5), "Head");
    EXPECT_EQ(table.getJoints().size(), 1u);
    EXPECT_EQ(table.getNode(1), second.findNode("Head"));

    // A reload frees the tree too; a selected part and the entries go.
    second.reset();
    EXPECT_EQ(table.getNodeCount(), 0);
    EXPECT_EQ(table.getSelectedPart(), -1);
    kgiCharacterServices::install(nullptr);
}

TEST(JointFileModelChange, CopiesAreNeitherInstalledNorTold)
{
    kgiRobotJointTable* installed = kgiRobotJointTable::instance();
    kgiPartTable::install(installed);
    kgiTestJoints::TreeOfJoints tree;
    kgiCharacter c;
    c.attachRoot(tree.root.get());
    kgiTestJoints::TempDir d;
    d.write("character/model.ini", "1 : Knee = 0 :2,-10,80,1 :2,1.0,0;\n");
    ASSERT_TRUE(installed->loadModelIni(d.path + "/m.ts", &c));
    kgiRobotJointTable copy(*installed);
    EXPECT_EQ(kgiPartTable::installed(), installed);
    EXPECT_EQ(copy.getNode(1), tree.knee);
    c.reset();
    EXPECT_EQ(installed->getNodeCount(), 0);
    EXPECT_EQ(copy.getNodeCount(), 2) << "a copy hears nothing";
    // Assigning into the instance keeps it listening.
    *installed = copy;
    kgiCharacter again;
    again.attachRoot(tree.root.get());
    ASSERT_TRUE(installed->loadModelIni(d.path + "/m.ts", &again));
    again.reset();
    EXPECT_EQ(installed->getNodeCount(), 0);
}
