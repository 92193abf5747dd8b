#include "kgiHandPose.h"
#include "kgiHandRig.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "ksgTransform.h"

namespace fs = std::filesystem;

namespace {

// Records the message boxes instead of showing them.
class Messages : public kgiCharacterServices {
public:
    Messages() { kgiCharacterServices::install(this); }
    ~Messages() override { kgiCharacterServices::install(nullptr); }
    void showMessage(const std::string& caption, const std::string& text) override
    {
        shown.push_back(caption + "|" + text);
    }
    std::vector<std::string> shown;
};

// A model root "body" with one joint per name below it, each carrying node
// data that marks the hands' chains as the model builder does.
std::unique_ptr<ksgTransform> handTree(const std::vector<std::string>& names)
{
    std::unique_ptr<ksgTransform> root(new ksgTransform);
    root->setName("body");
    root->setData(new kgiKmdData);
    for (const std::string& n : names) {
        ksgTransform* joint = new ksgTransform;
        joint->setName(n);
        joint->setData(new kgiKmdData);
        root->attachChild(joint);
        kgiKmdData::of(joint)->scanChainName();
    }
    return root;
}

TEST(HandRig, JointNamesPlaceJointsOnFingersAndSides)
{
    struct Case {
        const char* name;
        const char* setName; // "" when no set is kept
        int side;            // -1: no joint
        const char* finger;
    };
    const Case cases[] = {
        {"arm_BR_index2", "BR", kgiHandSet::RIGHT, "index"},
        {"arm_BL_thumb1", "BL", kgiHandSet::LEFT, "thumb"},
        {"L_BR_ring10", "BR", kgiHandSet::RIGHT, "ring"},
        {"_BL_x1", "BL", kgiHandSet::LEFT, "x"},
        // No digit after the last '_': passed over, the set stays empty.
        {"arm_BR_index", "BR", -1, ""},
        {"arm_BR_", "BR", -1, ""},
        // Not in a hand's chain: no set at all.
        {"arm_R_index2", "", -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Messages messages;
        auto tree = handTree({c.name});
        kgiFindHS finder;
        ksgNullVisitor leave;
        EXPECT_TRUE(tree->depthVisit(finder, leave));
        std::unique_ptr<kgiHandSet> set(finder.take());
        EXPECT_TRUE(messages.shown.empty());
        if (!*c.setName) {
            EXPECT_EQ(set, nullptr);
            continue;
        }
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->getName(), c.setName);
        for (int side : {kgiHandSet::LEFT, kgiHandSet::RIGHT}) {
            const kgiHandSet::Hand& hand = set->getHand(static_cast<kgiHandSet::Side>(side));
            if (side != c.side) {
                EXPECT_TRUE(hand.joints.empty());
                EXPECT_EQ(hand.desc.getNumJoints(), 0);
                continue;
            }
            ASSERT_EQ(hand.joints.size(), 1u);
            EXPECT_EQ(hand.joints[0], tree->find(c.name));
            EXPECT_EQ(hand.desc.getFingerJoints(hand.desc.getFingerIndex(c.finger)), 1);
        }
    }
}

TEST(HandRig, UnnamedFingerShowsTheBoxAndDropsTheSet)
{
    Messages messages;
    auto tree = handTree({"arm_BR_index1", "arm_BR_2", "arm_BL_thumb1"});
    kgiFindHS finder;
    ksgNullVisitor leave;
    EXPECT_FALSE(tree->depthVisit(finder, leave)) << "the walk stops";
    EXPECT_FALSE(finder.found());
    EXPECT_EQ(finder.take(), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Hand import error|Hand node naming error:\n\t\"arm_BR\" is used several "
                                 "times.\nPlease check.");
}

TEST(HandRig, DescriptionTotalsCountExtraJointsOnlyWithFingers)
{
    struct Case {
        std::vector<std::string> joints;
        int extra;
        int total;
        int fingers;
    };
    const Case cases[] = {
        {{}, 0, 0, 0},
        {{}, 2, 0, 0},
        {{"index", "index", "thumb"}, 0, 3, 2},
        {{"index", "index", "thumb"}, 2, 5, 2},
    };
    for (const Case& c : cases) {
        kgiHandDesc d;
        for (const std::string& f : c.joints)
            d.addJoint(f);
        d.setExtraJoints(c.extra);
        EXPECT_EQ(d.getNumJoints(), c.total) << c.joints.size() << " + " << c.extra;
        EXPECT_EQ(d.getNumFingers(), c.fingers);
    }

    kgiHandDesc three, twoPlusExtra, two;
    for (int i = 0; i < 3; ++i)
        three.addJoint("index");
    twoPlusExtra.addJoint("thumb");
    twoPlusExtra.addJoint("ring");
    twoPlusExtra.setExtraJoints(1);
    two.addJoint("index");
    two.addJoint("index");
    EXPECT_EQ(three, twoPlusExtra) << "equal totals make equal descriptions";
    EXPECT_NE(three, two);

    std::ostringstream out;
    twoPlusExtra.dump(out);
    EXPECT_EQ(out.str(), "Hand description:\n\tNum joints: 3\n\tExtra joints: 1\n\tNum fingers: 2\n");
}

// A folder of its own for each test, removed afterwards.
class HandFiles : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("kgi_hand_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string put(const std::string& name, const std::string& text)
    {
        const fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

kgiHandDesc fingers(int joints)
{
    kgiHandDesc d;
    for (int i = 0; i < joints; ++i)
        d.addJoint("index");
    return d;
}

kmlMatrix3 turn(float angle, const kmlVec3& axis)
{
    kmlMatrix3 m;
    m.setRotation(angle, axis);
    return m;
}

bool same(const kmlMatrix3& a, const kmlMatrix3& b)
{
    for (int k = 0; k < 9; ++k) {
        if (a[k] != b[k])
            return false;
    }
    return true;
}

const char* const IDENTITY_LINE = "(matrix3 [1,0,0] [0,1,0] [0,0,1])\n";

TEST_F(HandFiles, WrittenPoseReadsBackWithinTheTextsPrecision)
{
    kgiHandPose pose;
    pose.side = kgiHandSet::RIGHT;
    pose.rotations = {kmlMatrix3(), turn(33.3f, kmlVec3(1, 2, 3)), turn(-120.0f, kmlVec3(0, 1, 0))};
    const std::string path = (dir / "grip.mhr").string();
    ASSERT_TRUE(writeHandPose(path, pose));

    const std::string text = read(path);
    EXPECT_EQ(text.substr(0, 5), "MHR0\n");
    EXPECT_EQ(text.substr(5, 34), IDENTITY_LINE);
    EXPECT_EQ(text.substr(text.size() - 3), ")\n\n") << "an empty line ends the file";

    kgiHandPose back;
    back.side = kgiHandSet::RIGHT;
    ASSERT_TRUE(readHandPose(path, fingers(3), back));
    ASSERT_EQ(back.rotations.size(), 3u);
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 9; ++k)
            EXPECT_NEAR(back.rotations[j][k], pose.rotations[j][k], 5e-6f) << "joint " << j << " entry " << k;

    back.side = kgiHandSet::LEFT;
    EXPECT_FALSE(readHandPose(path, fingers(3), back)) << "a right hand's file is no left pose";
}

TEST_F(HandFiles, BadPoseFilesAreRefusedAndThePoseStays)
{
    const std::string line = IDENTITY_LINE;
    struct Case {
        const char* what;
        std::string text;
        bool reads;
    };
    const Case cases[] = {
        {"two joints", "MHL0\n" + line + line + "\n", true},
        {"line ends of a Windows editor", "MHL0\r\n(matrix3 [1,0,0] [0,1,0] [0,0,1])\r\n" + line, true},
        {"blanks between the parts", "MHL0\n(matrix3  [ 1, 0 ,0] [0,1,0] [0,0,1] ) \n" + line, true},
        {"lines past the last joint", "MHL0\n" + line + line + "anything\n", true},
        {"empty file", "", false},
        {"wrong header", "MHR0\n" + line + line, false},
        {"header only", "MHL0\n", false},
        {"short file", "MHL0\n" + line, false},
        {"row of two", "MHL0\n" + line + "(matrix3 [1,0,0] [0,1] [0,0,1])\n", false},
        {"missing bracket", "MHL0\n" + line + "(matrix3 [1,0,0] [0,1,0] [0,0,1]\n", false},
        {"text after the line", "MHL0\n" + line + "(matrix3 [1,0,0] [0,1,0] [0,0,1]) x\n", false},
        {"not a number", "MHL0\n" + line + "(matrix3 [1,0,0] [0,nan,0] [0,0,1])\n", false},
        {"beyond float", "MHL0\n" + line + "(matrix3 [1,0,0] [0,1e99,0] [0,0,1])\n", false},
        {"empty line for a joint", "MHL0\n" + line + "\n" + line, false},
    };
    const kmlMatrix3 mark = turn(10.0f, kmlVec3(0, 0, 1));
    for (const Case& c : cases) {
        kgiHandPose pose;
        pose.side = kgiHandSet::LEFT;
        pose.rotations = {mark};
        const bool ok = readHandPose(put("p.mhl", c.text), fingers(2), pose);
        EXPECT_EQ(ok, c.reads) << c.what;
        if (!ok) {
            ASSERT_EQ(pose.rotations.size(), 1u) << c.what;
            EXPECT_TRUE(same(pose.rotations[0], mark)) << c.what;
        } else {
            EXPECT_EQ(pose.rotations.size(), 2u) << c.what;
        }
    }
    kgiHandPose pose;
    EXPECT_FALSE(readHandPose((dir / "absent.mhl").string(), fingers(1), pose));
    EXPECT_FALSE(readHandPose(put("huge.mhl", "MHL0\n" + std::string(KGI_HAND_FILE_MAX, ' ')), fingers(1), pose));
    EXPECT_TRUE(pose.rotations.empty());
}

TEST_F(HandFiles, DatabaseWithoutItsFolderIsNotLoaded)
{
    kgiHandDB db(dir.string());
    EXPECT_FALSE(db.load(fingers(1), fingers(1)));
    std::ostringstream out;
    db.dump(out);
    EXPECT_EQ(out.str(), "Hands database informations\nNot loaded\n");
}

TEST_F(HandFiles, DatabaseLoadsItsListsOfBothSides)
{
    const std::string line = IDENTITY_LINE;
    put("MHandDB/MHandDB.lst", "fist.lsl\r\n\nsub\\open.lsr\n");
    put("MHandDB/fist.lsl", "fist1.mhl\nfist2.mhl\n");
    put("MHandDB/fist1.mhl", "MHL0\n" + line + "\n");
    put("MHandDB/fist2.mhl", "MHL0\n" + line + "\n");
    put("MHandDB/sub/open.lsr", "open.mhr\n");
    put("MHandDB/sub/open.mhr", "MHR0\n" + line + line + "\n");

    kgiHandDB db(dir.string());
    ASSERT_TRUE(db.load(fingers(1), fingers(2)));
    ASSERT_EQ(db.getPoses(kgiHandSet::LEFT).size(), 2u);
    ASSERT_EQ(db.getPoses(kgiHandSet::RIGHT).size(), 1u);
    EXPECT_EQ(db.getPoses(kgiHandSet::LEFT)[1].name, "fist2.mhl");
    EXPECT_EQ(db.getPoses(kgiHandSet::RIGHT)[0].pose.rotations.size(), 2u);
    std::ostringstream out;
    db.dump(out);
    EXPECT_EQ(out.str(), "Hands database informations\nLoaded - (2 left, 1 right poses)\n"
                         "\t Left hand:\nHand description:\n\tNum joints: 1\n\tExtra joints: 0\n\tNum fingers: 1\n"
                         "\t Right hand:\nHand description:\n\tNum joints: 2\n\tExtra joints: 0\n\tNum fingers: 1\n");

    // A list that reaches out of the folder, or one pose that does not read,
    // refuses the whole load; the database keeps what it had.
    for (const char* bad : {"../outside.mhl\n", "/etc/passwd\n", "fist1.mhl\nmissing.mhl\n"}) {
        put("outside.mhl", "MHL0\n" + line);
        put("MHandDB/fist.lsl", bad);
        EXPECT_FALSE(db.load(fingers(1), fingers(2))) << bad;
        EXPECT_EQ(db.getPoses(kgiHandSet::LEFT).size(), 2u) << bad;
    }
}

TEST(HandRig, CharacterFindsHandsOnTheTreeItHolds)
{
    Messages messages;
    auto first = handTree({"arm_BR_index1", "arm_BR_index2", "arm_BL_thumb1"});
    auto second = handTree({"hand_BL_pinky1"});

    kgiCharacter c;
    EXPECT_FALSE(c.findHands()) << "no model";
    c.attachRoot(first.get());
    ASSERT_TRUE(c.findHands());
    ASSERT_NE(c.getHandSet(), nullptr);
    EXPECT_EQ(c.getHandSet()->getHand(kgiHandSet::RIGHT).joints.size(), 2u);

    c.attachRoot(second.get());
    EXPECT_EQ(c.getHandSet(), nullptr) << "the set of the dropped tree is gone";
    ASSERT_TRUE(c.findHands());
    const kgiHandSet::Hand& left = c.getHandSet()->getHand(kgiHandSet::LEFT);
    ASSERT_EQ(left.joints.size(), 1u);
    EXPECT_EQ(left.joints[0], second->find("hand_BL_pinky1"));
    EXPECT_TRUE(c.getHandSet()->getHand(kgiHandSet::RIGHT).joints.empty());

    c.reset();
    EXPECT_EQ(c.getHandSet(), nullptr);
    c.attachRoot(first.get());
    EXPECT_TRUE(c.findHands());
    // The destructor frees the set it holds (the sanitizer build checks).
}

TEST(HandRig, PoseOfAHandGoesToItsJointsKeepingTheirPlaces)
{
    auto tree = handTree({"arm_BL_index1", "arm_BL_index2"});
    kgiFindHS finder;
    ksgNullVisitor leave;
    tree->depthVisit(finder, leave);
    std::unique_ptr<kgiHandSet> set(finder.take());
    ASSERT_NE(set, nullptr);
    ksgTransform* second = set->getHand(kgiHandSet::LEFT).joints[1];
    kmlMatrix4 local;
    local.setTranslation(kmlVec3(0, 3, 0));
    second->setLocal(local);

    kgiHandPose pose = set->getPose(kgiHandSet::LEFT);
    ASSERT_EQ(pose.rotations.size(), 2u);
    pose.rotations[1] = turn(45.0f, kmlVec3(1, 0, 0));
    ASSERT_TRUE(set->applyPose(pose));
    EXPECT_TRUE(same(second->getLocal().toMat3(), pose.rotations[1]));
    EXPECT_EQ(second->getLocal()(1, 3), 3.0f);

    pose.rotations.pop_back();
    EXPECT_FALSE(set->applyPose(pose)) << "one rotation for two joints";
}

} // namespace
