// The robot's pose, motion and script files on the factory robot as the
// world's current character, read and written through the program's joint
// table.
#include "robot/joint_fixture_test.h"

#include "core/child_process_test.h"
#include "support/kgiCommaLocale.h"

#include "kgiKeyUndo.h"
#include "kgiLangKeys.h"
#include "kgiRobotSession.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kutUndoMgr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Quiet boxes; the skipped-lines text shows its two numbers.
struct FileServices : kgiTestJoints::QuietServices {
    std::string text(const char* key) const override
    {
        return std::string(key) == kgiLangKey::Wr_Lines_Skipped ? "skipped %1 from line %2" : key;
    }
};

// Every joint value of the table and the root's placement.
struct Pose {
    std::map<std::string, float> joints;
    float root[6] = {0, 0, 0, 0, 0, 0};
};

class FactoryFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        world = kgiWorld::instance();
        savedFps = world->getFps();
        world->setFps(30.0f);
        id = world->createCharacter();
        ASSERT_GE(id, 0);
        robot = world->getCharacters()->find(id);
        ASSERT_TRUE(robot->load(kgiTestRobot::projectPath()));
        world->setCurrentCharacter(id);
        world->setCurrentTime(0.0f);
        table.setupJoints(robot, kgiTestRobot::projectPath());
        ASSERT_EQ(table.getNodeCount(), 25);
        root = robot->getRoot();
        if (robot->getKeyCount() > 0)
            robot->deleteKeys(0, int(robot->getKeyTimes().back()) + 1);
        robot->getKeyUndo().clear();
        services.captions.clear();
    }
    void TearDown() override
    {
        world->setCurrentTime(0.0f);
        world->removeCharacter(id);
        world->setFps(savedFps);
        kgiCharacterServices::install(nullptr);
    }

    std::string path(const std::string& name) const { return folder.path + "/" + name; }
    ksgNode* node(const char* name) const { return robot->findNode(name); }
    void turn(const char* joint, float value) { ASSERT_TRUE(table.setJointAngleByName(robot, joint, value)); }
    void placeRoot(float x, float y, float z, float ry)
    {
        ASSERT_TRUE(kgiRobotJointTable::setNodePose(root, x, y, z, -90.0f, ry, -90.0f));
    }
    void key(int frame) { ASSERT_TRUE(robot->addKey(frame)); }

    Pose poseNow() const
    {
        Pose p;
        for (const auto& j : table.getJoints())
            p.joints[j.first] = table.getJointAngleByName(robot, j.first);
        float* r = p.root;
        kgiRobotJointTable::getNodePose(root, r[0], r[1], r[2], r[3], r[4], r[5]);
        return p;
    }
    Pose poseAt(float t) const
    {
        Pose p;
        for (const auto& j : table.getJoints())
            p.joints[j.first] = table.getJointAngleAt(robot->findNode(j.first), t);
        float* r = p.root;
        kgiRobotJointTable::getNodePoseAt(root, t, r[0], r[1], r[2], r[3], r[4], r[5]);
        return p;
    }
    static void expectSame(const Pose& a, const Pose& b, const std::string& where)
    {
        for (const auto& j : a.joints)
            EXPECT_NEAR(b.joints.at(j.first), j.second, 1e-3) << where << " " << j.first;
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(b.root[i], a.root[i], 1e-3) << where << " root " << i;
    }
    std::vector<float> keys() const { return robot->getKeyTimes(); }

    FileServices services;
    kgiTestJoints::TempDir folder;
    kgiWorld* world = nullptr;
    float savedFps = 30.0f;
    int id = -1;
    kgiCharacter* robot = nullptr;
    ksgNode* root = nullptr;
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
};

} // namespace

// --- output paths and writing ---

TEST_F(FactoryFiles, ExportersReplaceTheFileNameExtensionOnly)
{
    fs::create_directories(path("poses.old"));
    struct Case {
        const char* given;
        const char* written;
    };
    const Case cases[] = {
        {"walk", "walk"},
        {"walk.txt", "walk"},
        {"poses.old/walk", "poses.old/walk"},
        // Both separators end a folder: this is a file "poses.old\walk"
        // here, with no extension of its own.
        {"poses.old\\walk", "poses.old\\walk"},
        {"a.b.c", "a.b"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(table.exportPoseMdp(path(c.given))) << c.given;
        EXPECT_TRUE(fs::exists(path(std::string(c.written) + ".mdp"))) << c.given;
        EXPECT_TRUE(table.exportMotionMdm(path(c.given))) << c.given;
        EXPECT_TRUE(fs::exists(path(std::string(c.written) + ".mdm"))) << c.given;
    }
    EXPECT_FALSE(table.exportMotionMdm(""));
    EXPECT_FALSE(table.exportPoseMdp(""));
}

namespace {

// Both exporters with every write failing past a few bytes (the file size
// limit of this child process): false, the earlier files as they were and
// no temporary file left.
struct FailedWrites {
    std::string dir;
    void operator()() const
    {
        kgiRobotJointTable& table = *kgiRobotJointTable::instance();
        std::ofstream(dir + "/old.mdp") << "earlier pose";
        std::ofstream(dir + "/old.mdm") << "earlier motion";
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{16, 16};
        CHILD_CHECK(setrlimit(RLIMIT_FSIZE, &small) == 0);
        CHILD_CHECK(!table.exportPoseMdp(dir + "/old"));
        CHILD_CHECK(!table.exportMotionMdm(dir + "/old"));
        CHILD_CHECK(readFile(dir + "/old.mdp") == "earlier pose");
        CHILD_CHECK(readFile(dir + "/old.mdm") == "earlier motion");
        CHILD_CHECK(std::distance(fs::directory_iterator(dir), fs::directory_iterator()) == 2);
    }
};

} // namespace

TEST_F(FactoryFiles, AFailedWriteKeepsTheEarlierFile)
{
    key(0);
    // The child runs this test again, in a folder of its own.
    EXPECT_IN_CHILD(FailedWrites{folder.path});
    EXPECT_FALSE(table.exportPoseMdp(path("none/walk")));
    EXPECT_FALSE(table.exportMotionMdm(path("none/walk")));
}

// --- pose files ---

TEST_F(FactoryFiles, APoseGoesOutAndComesBackInAnyLocale)
{
    turn("RKnee", 60.5f);
    turn("LArm", 40.25f);
    turn("Head", -12.125f);
    placeRoot(12.5f, 80.0f, -3.0f, 30.0f);
    const Pose saved = poseNow();

    locale_t comma = kgiNewCommaLocale();
    const locale_t previous = comma ? uselocale(comma) : nullptr;
    ASSERT_TRUE(table.exportPoseMdp(path("sit")));
    const std::string text = readFile(path("sit.mdp"));
    EXPECT_NE(text.find("RKnee = 60.500\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\nRobot : px=12.500, py=80.000, pz=-3.000, rx="), std::string::npos) << text;

    turn("RKnee", 10.0f);
    turn("LArm", 20.0f);
    turn("Head", 5.0f);
    placeRoot(0.0f, 50.0f, 0.0f, 0.0f);
    const Pose moved = poseNow();
    // Without the root: the joints come back, the root line is accepted.
    EXPECT_TRUE(table.importPoseMdp(path("sit.mdp"), false));
    Pose expected = saved;
    std::copy(moved.root, moved.root + 6, expected.root);
    expectSame(expected, poseNow(), "without root");
    // With it, from a file with CR LF line ends.
    std::string crlf;
    for (char ch : text)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    std::ofstream(path("crlf.mdp"), std::ios::binary) << crlf;
    EXPECT_TRUE(table.importPoseMdp(path("crlf.mdp"), true));
    expectSame(saved, poseNow(), "with root");
    if (comma) {
        uselocale(previous);
        freelocale(comma);
    }
    EXPECT_TRUE(services.captions.empty());
}

TEST_F(FactoryFiles, PoseLinesFailAloneAndTheRootIsTheWholeFirstWord)
{
    // A joint whose name begins with the root's is a joint.
    const std::string rootName = root->getName();
    root->setName("R");
    const Pose first = poseNow();
    EXPECT_TRUE(table.applyPoseLine("RKnee = 12.000 :", robot, true));
    EXPECT_NEAR(table.getJointAngleByName(robot, "RKnee"), 12.0f, 1e-3);
    EXPECT_TRUE(table.applyPoseLine("R : px=1.000, py=2.000, pz=3.000, rx=0.000, ry=0.000, rz=0.000", robot, false));
    Pose expected = first;
    expected.joints["RKnee"] = 12.0f;
    expectSame(expected, poseNow(), "root name a prefix");
    root->setName(rootName);

    std::ofstream(path("bad.mdp")) << "RKnee = 30.000\n"
                                      "no value here\n"
                                      "Head = nan\n"
                                      "LKnee = 20.000\n"
                                      "\n"
                                      "Robot : px=inf, py=0.000, pz=0.000, rx=0.000, ry=0.000, rz=0.000\n";
    // The lines that read are set, then one box counts the others (the
    // root line's inf does not read, with or without the root).
    const Pose before = poseNow();
    const std::vector<std::string> skipped{"skipped 3 from line 2\n" + path("bad.mdp")};
    EXPECT_FALSE(table.importPoseMdp(path("bad.mdp"), false));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 170"});
    EXPECT_EQ(services.texts, skipped);
    EXPECT_NEAR(table.getJointAngleByName(robot, "RKnee"), 30.0f, 1e-3);
    EXPECT_NEAR(table.getJointAngleByName(robot, "LKnee"), 20.0f, 1e-3);
    EXPECT_NEAR(table.getJointAngleByName(robot, "Head"), before.joints.at("Head"), 1e-3);

    services.captions.clear();
    services.texts.clear();
    EXPECT_FALSE(table.importPoseMdp(path("bad.mdp"), true));
    EXPECT_EQ(services.texts, skipped);
    expectSame(Pose{{}, {before.root[0], before.root[1], before.root[2], before.root[3], before.root[4],
                         before.root[5]}},
               poseNow(), "root kept");

    // Alone, a bad line still says what is wrong with it.
    services.captions.clear();
    EXPECT_FALSE(table.applyPoseLine("no value here", robot, true));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 170"});
}

// --- motion files ---

TEST_F(FactoryFiles, AMotionGoesOutAndComesBackKeyForKey)
{
    const int frames[] = {0, 20, 40};
    for (int i = 0; i < 3; ++i) {
        world->setCurrentTime(float(frames[i]));
        turn("RKnee", 10.0f + 20.0f * i);
        turn("LShoulder", -30.0f * i);
        turn("R_WR1", 5.5f * i);
        placeRoot(2.0f * i, 60.0f + i, -1.0f * i, 15.0f * i);
        key(frames[i]);
    }
    std::vector<Pose> saved;
    for (int f : frames)
        saved.push_back(poseAt(float(f)));

    locale_t comma = kgiNewCommaLocale();
    const locale_t previous = comma ? uselocale(comma) : nullptr;
    ASSERT_TRUE(table.exportMotionMdm(path("walk")));
    const std::string text = readFile(path("walk.mdm"));
    EXPECT_EQ(text.rfind("F0 [ Robot px=0.000, py=60.000, pz=", 0), 0u) << text;
    EXPECT_NE(text.find(" ] RThigh="), std::string::npos) << text;
    EXPECT_NE(text.find("\nF40 [ "), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(std::count(text.begin(), text.end(), ';'), 3);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LT(line.size(), 1023u) << "a line fits the reader's buffer";

    robot->deleteKeys(0, 41);
    robot->getKeyUndo().clear();
    ASSERT_TRUE(table.importMotionMdm(path("walk.mdm"), 0));
    if (comma) {
        uselocale(previous);
        freelocale(comma);
    }
    EXPECT_EQ(keys(), (std::vector<float>{0, 20, 40}));
    for (int i = 0; i < 3; ++i)
        expectSame(saved[size_t(i)], poseAt(float(frames[i])), "F" + std::to_string(frames[i]));
    // One entry takes the whole import back.
    EXPECT_TRUE(robot->undoKeys());
    EXPECT_TRUE(keys().empty());
    EXPECT_FALSE(robot->undoKeys());
    EXPECT_TRUE(services.captions.empty());
}

TEST_F(FactoryFiles, MotionLinesKeyAtTheirFramePlusTheStart)
{
    std::ofstream(path("m.mdm"), std::ios::binary)
        << "F5 [ Robot px=1.000, py=2.000, pz=3.000, rx=-90.000, ry=0.000, rz=-90.000 ] RKnee=30.000,LKnee=5.000;\r\n"
        << "F-1 [ Robot px=0.000, py=0.000, pz=0.000, rx=0.000, ry=0.000, rz=0.000 ] RKnee=1.000;\n"
        << "F8 [ Robot px=nan, py=0.000, pz=0.000, rx=0.000, ry=0.000, rz=0.000 ] RKnee=1.000;\n"
        << "not a motion line\n"
        << "F9 [ Robot px=0.000, py=2.000, pz=3.000, rx=-90.000, ry=0.000, rz=-90.000 ] "
        << std::string(60, 'N') << "=1.000,RKnee=inf,LKnee=" << std::string(58, '0') << "7.000,RKnee=" << std::string(59, '0')
        << "8.000,RElbow=-4.000;\n";
    ASSERT_TRUE(table.importMotionMdm(path("m.mdm"), 10));
    EXPECT_EQ(keys(), (std::vector<float>{15, 19}));
    EXPECT_NEAR(table.getJointAngleAt(node("RKnee"), 15.0f), 30.0f, 1e-3);
    float r[6];
    kgiRobotJointTable::getNodePoseAt(root, 15.0f, r[0], r[1], r[2], r[3], r[4], r[5]);
    EXPECT_NEAR(r[0], 1.0f, 1e-3);
    EXPECT_NEAR(r[2], 3.0f, 1e-3);
    // The long name and the infinite value are passed over, the value of
    // 63 characters is keyed and the one of 64 is not.
    EXPECT_NEAR(table.getJointAngleAt(node("LKnee"), 19.0f), 7.0f, 1e-3);
    EXPECT_NEAR(table.getJointAngleAt(node("RKnee"), 19.0f), 30.0f, 1e-3);
    EXPECT_NEAR(table.getJointAngleAt(node("RElbow"), 19.0f), -4.0f, 1e-3);
    // The three lines in between keyed nothing, and the box says so.
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 170"});
    EXPECT_EQ(services.texts, std::vector<std::string>{"skipped 3 from line 2\n" + path("m.mdm")});

    // Key times end at the motion-key file's last frame.
    const std::string placed = " [ Robot px=0.000, py=0.000, pz=0.000, rx=0.000, ry=0.000, rz=0.000 ];";
    EXPECT_TRUE(table.applyMotionLine("F65525" + placed, robot, 10));
    EXPECT_FALSE(table.applyMotionLine("F65526" + placed, robot, 10));
    robot->updateKeysInfo();
    EXPECT_EQ(keys(), (std::vector<float>{15, 19, 65535}));
    robot->deleteKey(65535);

    // A file of lines that key nothing is refused, as is one that is not
    // there; a line without its closing ";" (cut short) keys nothing.
    std::ofstream(path("none.mdm")) << "F-3 [ Robot px=0.000, py=0.000, pz=0.000, rx=0.000, ry=0.000, rz=0.000 ];\nx\n";
    services.captions.clear();
    EXPECT_FALSE(table.importMotionMdm(path("none.mdm"), 2));
    EXPECT_FALSE(table.importMotionMdm(path("missing.mdm"), 0));
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Error", "Error"}));
    EXPECT_FALSE(table.applyMotionLine("F3" + placed.substr(0, placed.size() - 1) + " RKnee=1.000", robot, 0));
    EXPECT_EQ(keys(), (std::vector<float>{15, 19}));
}

TEST_F(FactoryFiles, AModelWithoutJointsClosesTheBracketWithTheSemicolon)
{
    key(3);
    kgiRobotJointTable bare;
    ASSERT_TRUE(bare.exportMotionMdm(path("bare")));
    const std::string text = readFile(path("bare.mdm"));
    EXPECT_EQ(text.rfind("F3 [ Robot px="), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 3), "];\n") << text;
    // It reads back: the root is keyed.
    robot->deleteKey(3);
    EXPECT_TRUE(table.importMotionMdm(path("bare.mdm"), 0));
    EXPECT_EQ(keys(), std::vector<float>{3});
}

TEST_F(FactoryFiles, TheKeyLimitKeepsTheLinesKeyedWithTheirUndoEntry)
{
    std::string text;
    for (int f = 0; f < 5; ++f)
        text += "F" + std::to_string(f * 10) +
                " [ Robot px=0.000, py=60.000, pz=0.000, rx=-90.000, ry=0.000, rz=-90.000 ] RKnee=" +
                std::to_string(f) + ".000;\n";
    std::ofstream(path("long.mdm")) << "\n" << text;
    key(100);
    robot->getKeyUndo().clear();
    services.limit = 3;
    EXPECT_FALSE(table.importMotionMdm(path("long.mdm"), 0));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 153"});
    EXPECT_EQ(services.texts, std::vector<std::string>{"Wr_Keys_Max"});
    EXPECT_EQ(keys(), (std::vector<float>{0, 10, 100}));
    EXPECT_TRUE(robot->undoKeys());
    EXPECT_EQ(keys(), std::vector<float>{100});
}

// --- scripts ---

namespace {

// The factory robot's default servo values (joint values: value - offset).
const int* defaults()
{
    return kgiRobotSession::DEFAULT_POSE;
}

// A MOVE line's 24 values, the default pose with some servos changed.
std::string moveValues(std::map<int, std::string> changed = {}, int count = 24)
{
    std::string out;
    for (int s = 0; s < count; ++s) {
        const auto it = changed.find(s);
        out += (it != changed.end() ? it->second : std::to_string(defaults()[s % 24])) + ",";
    }
    return out;
}

// A script: 55 header bytes, then the lines, each ended by CR LF.
std::string script(const std::vector<std::string>& lines, const std::string& tail = "")
{
    std::string text(55, 'h');
    for (const std::string& l : lines)
        text += l + "\r\n";
    return text + tail;
}

} // namespace

TEST_F(FactoryFiles, ScriptLinesBecomeKeysWhereTheirStepsEnd)
{
    const std::string still = "MOVE G24," + moveValues();
    const std::string thigh30 = "MOVE G24," + moveValues({{0, "130"}});
    struct Case {
        const char* what;
        std::string text;
        std::vector<float> frames;
        float thigh;         // RThigh (servo 0, offset 100) at the last key
        float knee;          // RKnee (servo 2, offset 100)
        std::string skipped; // the skipped-lines text, "" for no box
    };
    const Case cases[] = {
        {"speed 10, 30 degrees: 150 ms, 4 frames", script({"SPEED 10", still, thigh30}), {0, 5}, 30, 45, ""},
        {"speed above 50: 0 ms", script({"SPEED 60", still, thigh30}), {0, 1}, 30, 45, ""},
        {"speeds 0 and -3 are skipped (8: 180 ms)", script({"SPEED 0", "SPEED -3", still, thigh30}), {0, 6}, 30,
         45, "skipped 2 from line 1"},
        {"delay without a number: 500 ms", script({still, "DELAY"}), {0, 15}, 0, 45, ""},
        {"delay 100 ms", script({still, "DELAY 100"}), {0, 3}, 0, 45, ""},
        {"a negative delay is skipped", script({still, "DELAY -2000"}), {0}, 0, 45, "skipped 1 from line 2"},
        {"delay under a frame before the first move keys nothing", script({"DELAY 10", still}), {0}, 0, 45, ""},
        // The line after a CR starts with its LF, the first one does not.
        {"position 7 counts the line feed", script({"x", "MOVE  130,76,150,"}), {0, 5}, 30, 50, ""},
        {"the first line has no line feed", script({"MOVE  0130,76,150,"}), {0, 5}, 30, 50, ""},
        // (At position 7 the first value would be "24".)
        {"G24 starts after the first comma", script({"x", "MOVE G24,130,76,150,"}), {0, 5}, 30, 50, ""},
        {"empty and blank-ended fields keep the value",
         script({"SPEED 60", thigh30, "MOVE G24,,76,150 ,"}), {0, 1}, 30, 45, ""},
        {"a field of 11 characters is read, of 12 is not",
         script({"SPEED 60", "MOVE G24,00000000130,76,000000000150,"}), {0}, 30, 45, ""},
        {"30 values: the first 24 are used", script({"SPEED 60", "MOVE G24," + moveValues({{2, "150"}}, 30)}),
         {0}, 0, 50, ""},
        {"a move with a field that is no number is skipped whole",
         script({"SPEED 60", still, "MOVE G24,1x0,76,150,", "MOVE G24,130,76,"}), {0, 1}, 30, 45,
         "skipped 1 from line 3"},
        {"a move without fields is skipped", script({still, "MOVE"}), {0}, 0, 45, "skipped 1 from line 2"},
        {"text after the last CR is a line cut short", script({still}, "\nMOVE G24,130,"), {0}, 0, 45,
         "skipped 1 from line 2"},
        {"blanks and an end-of-file mark after the last CR are not",
         script({"SPEED 60", still}, "\n \x1a"), {0}, 0, 45, ""},
    };
    for (const Case& c : cases) {
        if (robot->getKeyCount() > 0)
            robot->deleteKeys(0, int(robot->getKeyTimes().back()) + 1);
        robot->getKeyUndo().clear();
        services.captions.clear();
        services.texts.clear();
        std::ofstream(path("s.psf"), std::ios::binary) << c.text;
        EXPECT_TRUE(table.importPellScript(path("s.psf"))) << c.what;
        if (c.skipped.empty()) {
            EXPECT_TRUE(services.captions.empty()) << c.what;
        } else {
            EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 170"}) << c.what;
            EXPECT_EQ(services.texts, std::vector<std::string>{c.skipped + "\n" + path("s.psf")}) << c.what;
        }
        EXPECT_EQ(keys(), c.frames) << c.what;
        const float last = c.frames.back();
        EXPECT_NEAR(table.getJointAngleAt(node("RThigh"), last), c.thigh, 1e-3) << c.what;
        EXPECT_NEAR(table.getJointAngleAt(node("RKnee"), last), c.knee, 1e-3) << c.what;
        // The default pose at 0: RArm's servo 30 with offset 10.
        EXPECT_NEAR(table.getJointAngleAt(node("RArm"), 0.0f), 20.0f, 1e-3) << c.what;
        // One entry, the script's keys.
        EXPECT_TRUE(robot->undoKeys()) << c.what;
        EXPECT_TRUE(keys().empty()) << c.what;
        EXPECT_FALSE(robot->undoKeys()) << c.what;
    }
}

TEST_F(FactoryFiles, AScriptReplacesTheMotionUndoablyAndNothingWithoutAFile)
{
    // The only key at 0.
    turn("RKnee", 70.0f);
    key(0);
    robot->getKeyUndo().clear();
    EXPECT_FALSE(table.importPellScript(path("missing.psf")));
    EXPECT_EQ(keys(), std::vector<float>{0});
    EXPECT_FALSE(robot->undoKeys()) << "no entry";

    std::ofstream(path("s.psf"), std::ios::binary)
        << script({"SPEED 60", "MOVE G24," + moveValues(), "MOVE G24," + moveValues({{2, "110"}})});
    ASSERT_TRUE(table.importPellScript(path("s.psf")));
    EXPECT_EQ(keys(), (std::vector<float>{0, 1}));
    EXPECT_NEAR(table.getJointAngleAt(node("RKnee"), 0.0f), 45.0f, 1e-3);
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_TRUE(keys().empty());
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_EQ(keys(), std::vector<float>{0});
    EXPECT_NEAR(table.getJointAngleAt(node("RKnee"), 0.0f), 70.0f, 1e-3);
}

TEST_F(FactoryFiles, TheScriptKeyLimitGivesTheMotionAndTheHistoryBack)
{
    turn("RKnee", 70.0f);
    key(0);
    turn("RKnee", 20.0f);
    key(30);
    robot->getKeyUndo().clear();
    // The user's edit before the import.
    kgiAddKeyUndo* edit = new kgiAddKeyUndo(robot, 50.0f);
    key(50);
    robot->addKeyUndo(edit);
    const std::vector<Pose> before{poseAt(0.0f), poseAt(30.0f), poseAt(50.0f)};
    services.limit = 2;
    const std::string move = "MOVE G24," + moveValues({{2, "110"}});
    std::ofstream(path("s.psf"), std::ios::binary) << script({move, "DELAY 100", move, move});
    EXPECT_FALSE(table.importPellScript(path("s.psf")));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 153"});
    EXPECT_EQ(keys(), (std::vector<float>{0, 30, 50}));
    expectSame(before[0], poseAt(0.0f), "F0");
    expectSame(before[1], poseAt(30.0f), "F30");
    expectSame(before[2], poseAt(50.0f), "F50");
    // The next undo takes back the user's edit, and nothing more is there.
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_EQ(keys(), (std::vector<float>{0, 30}));
    EXPECT_FALSE(robot->undoKeys());
}
