// The hand, foot, floor and base-part tools of the robot joint table on
// the factory robot as the world's current character.
#include "robot/joint_fixture_test.h"

#include "kgiCollisionCheck.h"
#include "kgiKeyUndo.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kutUndoMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using kgiTestRobot::maxDiff;

// The kind of the entry an undo would step over; "" when none.
std::string lastKind(kgiCharacter& c)
{
    const kutUndoEntry* e = c.getKeyUndo().getLast();
    return e ? e->getRtti()->getName() : std::string();
}

// Entries in the key history (stepped back over and forward again).
int keyUndoDepth(kgiCharacter& c)
{
    int n = 0;
    while (c.undoKeys())
        ++n;
    for (int i = 0; i < n; ++i)
        c.redoKeys();
    return n;
}

// The factory robot loaded into a character of the world, made current,
// and set up by the program's joint table as start-up does.
class FactoryWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        world = kgiWorld::instance();
        id = world->createCharacter();
        ASSERT_GE(id, 0);
        robot = world->getCharacters()->find(id);
        ASSERT_NE(robot, nullptr);
        ASSERT_TRUE(robot->load(kgiTestRobot::projectPath()));
        world->setCurrentCharacter(id);
        world->setCurrentTime(0.0f);
        table.setupJoints(robot, kgiTestRobot::projectPath());
        ASSERT_EQ(table.getNodeCount(), 25);
        root = robot->getRoot()->asTransform();
        foot = robot->findNode("LAnkle2");
        ASSERT_NE(foot, nullptr);
        restHeight = root->getLocal()(1, 3);
        robot->getPoseUndo().clear();
    }
    void TearDown() override
    {
        world->setStartFrame(0.0f);
        world->setEndFrame(0.0f);
        world->setCurrentTime(0.0f);
        world->removeCharacter(id);
        kgiCharacterServices::install(nullptr);
    }

    void range(float start, float end)
    {
        world->setStartFrame(0.0f);
        world->setEndFrame(end);
        world->setStartFrame(start);
    }
    void turn(const char* joint, float value) { ASSERT_TRUE(table.setJointAngleByName(robot, joint, value)); }
    // The root placed at a height and turned about the vertical, the
    // rest rotation kept below the turn.
    void placeRoot(float x, float height, float z, float yaw = 0.0f)
    {
        kmlMatrix4 m;
        m.setRotation(yaw, kmlVec3(0, 1, 0));
        kmlMatrix4 rest = m * restRotation();
        rest.setTranslation(kmlVec3(x, height, z));
        root->setLocal(rest);
        root->update(0.0f, false, true);
    }
    kmlMatrix4 restRotation() const
    {
        kmlMatrix4 m;
        m.setRotation(kmlEuler(-90.0f, 0.0f, -90.0f));
        return m;
    }
    void key(int frame) { ASSERT_TRUE(robot->addKey(frame)); }
    // The lowest point of the model at a time.
    float lowestAt(float t)
    {
        world->setCurrentTime(t);
        return root->getBounds().getMin()[1];
    }
    kmlMatrix4 footAt(float t)
    {
        world->setCurrentTime(t);
        return foot->getWorld();
    }
    kmlMatrix4 rootAt(float t)
    {
        world->setCurrentTime(t);
        return root->getLocal();
    }
    float grip(const char* name) const
    {
        kgiJointRecord z;
        z.axis = 2;
        return kgiRobotJointTable::jointAngleOf(robot->findNode(name), z);
    }

    kgiTestJoints::QuietServices services;
    kgiWorld* world = nullptr;
    int id = -1;
    kgiCharacter* robot = nullptr;
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    ksgTransform* root = nullptr;
    ksgNode* foot = nullptr;
    float restHeight = 0.0f;
};

TEST_F(FactoryWorld, HandsCloseAndOpenAtTheNearestWrist)
{
    struct Case {
        const char* picked;
        bool close;
        float l1, l2, r1, r2; // the grips afterwards
    };
    const Case cases[] = {
        {"LPalm", true, 70, 85, 0, 0},
        {"RFinger2", true, 70, 85, 70, 85},
        {"LFinger1", false, 0, 0, 70, 85},
        {"R_WR1", false, 0, 0, 0, 0},
        {"Torso", true, 0, 0, 0, 0},
        {"", true, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ksgNode* picked = *c.picked ? robot->findNode(c.picked) : nullptr;
        // A hit colour from before: the collision check after the tool
        // clears it (with the detail setting off, as without a program).
        kgiCollisionCheck::setSubtreeHit(robot->findNode("Body"), true);
        EXPECT_TRUE(table.setHand(picked, c.close)) << c.picked;
        EXPECT_NEAR(grip("L_GR1"), c.l1, 1e-3) << c.picked;
        EXPECT_NEAR(grip("L_GR2"), c.l2, 1e-3) << c.picked;
        EXPECT_NEAR(grip("R_GR1"), c.r1, 1e-3) << c.picked;
        EXPECT_NEAR(grip("R_GR2"), c.r2, 1e-3) << c.picked;
        EXPECT_FALSE(kgiKmdData::of(kgiCollisionCheck::partModel(robot->findNode("Torso")))->isHit())
            << c.picked;
    }
    EXPECT_TRUE(services.captions.empty());
    // Closed hands touch nothing they are not joined to.
    unsigned char flags[kgiPartTable::FLAG_COUNT] = {};
    table.setHand(robot->findNode("LPalm"), true);
    table.setHand(robot->findNode("RPalm"), true);
    EXPECT_FALSE(table.checkPartCollisions(robot, flags));
}

TEST_F(FactoryWorld, TheNearestWristAboveThePickedNodeIsTheHand)
{
    // Root > L_WR1 > R_WR1 > Pick, each wrist with its two grips.
    std::unique_ptr<ksgTransform> top(new ksgTransform);
    top->setName("Top");
    auto add = [](ksgNode* parent, const char* name) {
        ksgTransform* t = new ksgTransform;
        t->setName(name);
        parent->attachChild(t);
        return t;
    };
    ksgTransform* left = add(top.get(), "L_WR1");
    ksgTransform* right = add(left, "R_WR1");
    ksgTransform* pick = add(right, "Pick");
    for (const char* g : {"L_GR1", "L_GR2"})
        add(left, g);
    for (const char* g : {"R_GR1", "R_GR2"})
        add(right, g);
    const int other = world->createCharacter();
    kgiCharacter* hand = world->getCharacters()->find(other);
    hand->attachRoot(top.get());
    EXPECT_TRUE(table.setHand(pick, true));
    kgiJointRecord z;
    z.axis = 2;
    EXPECT_NEAR(kgiRobotJointTable::jointAngleOf(hand->findNode("R_GR1"), z), 70.0f, 1e-3);
    EXPECT_NEAR(kgiRobotJointTable::jointAngleOf(hand->findNode("R_GR2"), z), 85.0f, 1e-3);
    EXPECT_NEAR(kgiRobotJointTable::jointAngleOf(hand->findNode("L_GR1"), z), 0.0f, 1e-3);
    EXPECT_NEAR(grip("R_GR1"), 0.0f, 1e-3) << "the current character's hand is another's";
    world->removeCharacter(other);
}

TEST_F(FactoryWorld, PutOnFloorOverKeysReKeysTheRangeWithOneEntryEach)
{
    for (int f : {0, 10, 15, 30}) {
        world->setCurrentTime(float(f));
        placeRoot(0.0f, restHeight + 5.0f, 0.0f);
        key(f);
    }
    robot->getKeyUndo().clear();
    range(10, 20);
    world->setCurrentTime(3.0f);

    EXPECT_TRUE(table.putOnFloor(true));
    EXPECT_EQ(world->getCurrentTime(), 3.0f);
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 10, 15, 30}));
    EXPECT_NEAR(lowestAt(10), 0.0f, 1e-4);
    EXPECT_NEAR(lowestAt(15), 0.0f, 1e-4);
    EXPECT_NEAR(lowestAt(0), 5.0f, 1e-3);
    EXPECT_NEAR(lowestAt(30), 5.0f, 1e-3);
    EXPECT_EQ(keyUndoDepth(*robot), 2);
    EXPECT_EQ(lastKind(*robot), "kgiAddKeyUndo");
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_NEAR(lowestAt(15), 5.0f, 1e-3);
    EXPECT_NEAR(lowestAt(10), 0.0f, 1e-4);

    // At the key limit nothing is re-keyed and nothing recorded.
    robot->getKeyUndo().clear();
    services.limit = 4;
    world->setCurrentTime(3.0f);
    EXPECT_TRUE(table.putOnFloor(true));
    EXPECT_EQ(world->getCurrentTime(), 3.0f);
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Warning - 153", "Warning - 153"}));
    EXPECT_EQ(keyUndoDepth(*robot), 0);
    EXPECT_NEAR(lowestAt(15), 5.0f, 1e-3);

    // Without all keys only the pose on screen goes down.
    world->setCurrentTime(15.0f);
    EXPECT_TRUE(table.putOnFloor(false));
    EXPECT_NEAR(root->getBounds().getMin()[1], 0.0f, 1e-4);
    EXPECT_NEAR(lowestAt(30), 5.0f, 1e-3);
    EXPECT_NEAR(lowestAt(15), 5.0f, 1e-3) << "not keyed";
}

TEST_F(FactoryWorld, RangeReKeysKeepKeysBetweenWholeFramesAtTheirTimes)
{
    // Keys between whole frames in the range: each tool re-keys them at
    // their own times (not at the frame below, which would add a key there
    // and leave the old one), and undo gives every one of them back.
    const std::vector<float> times{0.0f, 10.5f, 15.0f, 20.25f};
    for (float t : times) {
        world->setCurrentTime(t);
        placeRoot(0.2f * t, restHeight + 5.0f, 0.0f, t);
        ASSERT_TRUE(robot->addKeyAt(t));
    }
    ASSERT_EQ(robot->getKeyTimes(), times);
    std::vector<kmlMatrix4> before;
    for (float t : times)
        before.push_back(rootAt(t));
    ksgNode* sole = robot->findNode("LSole");

    struct Tool {
        const char* name;
        std::function<bool()> run;
        int entries;
    };
    const Tool tools[] = {
        {"put on floor", [&] { return table.putOnFloor(true); }, 3},
        {"align base part", [&] { return table.alignBasePartOverRange(foot); }, 1},
        {"level foot", [&] { return table.levelFootOverKeys(sole, true); }, 1},
    };
    for (const Tool& tool : tools) {
        SCOPED_TRACE(tool.name);
        robot->getKeyUndo().clear();
        range(10, 25);
        world->setCurrentTime(3.0f);
        EXPECT_TRUE(tool.run());
        EXPECT_EQ(world->getCurrentTime(), 3.0f);
        EXPECT_EQ(robot->getKeyTimes(), times);
        EXPECT_GT(maxDiff(rootAt(10.5f), before[1]), 1e-3f) << "the key between frames was re-keyed";
        EXPECT_LT(maxDiff(rootAt(0.0f), before[0]), 1e-6f) << "outside the range";
        EXPECT_EQ(keyUndoDepth(*robot), tool.entries);
        for (int i = 0; i < tool.entries; ++i)
            ASSERT_TRUE(robot->undoKeys());
        EXPECT_EQ(robot->getKeyTimes(), times);
        for (size_t k = 0; k < times.size(); ++k)
            EXPECT_LT(maxDiff(rootAt(times[k]), before[k]), 1e-4f) << times[k];
    }
    EXPECT_NEAR(lowestAt(10.5f), 5.0f, 1e-3);
}

TEST_F(FactoryWorld, PutOnFloorOverManyKeysLeavesAFullHistoryOfItsLastKeys)
{
    // One entry a key; the history keeps the last 32 of them, whatever was
    // in it before.
    key(0);
    robot->addKeyUndo(new kgiAddKeyUndo(robot, 0.0f));
    for (int f = 1; f <= 40; ++f) {
        world->setCurrentTime(float(f));
        placeRoot(0.0f, restHeight + 5.0f, 0.0f);
        key(f);
    }
    range(1, 40);
    world->setCurrentTime(20.0f);
    EXPECT_TRUE(table.putOnFloor(true));
    // The pose on screen is the floor pose at the time given back, and the
    // pose history holds one entry for each of the last 32 keys.
    EXPECT_EQ(world->getCurrentTime(), 20.0f);
    EXPECT_NEAR(root->getBounds().getMin()[1], 0.0f, 1e-4);
    int poses = 0;
    while (robot->undoPose())
        ++poses;
    EXPECT_EQ(poses, kgiPoseUndoMgr::CAPACITY);
    const int capacity = kgiCharacter::UNDO_CAPACITY;
    EXPECT_EQ(keyUndoDepth(*robot), capacity);
    for (int i = 0; i < capacity; ++i)
        ASSERT_TRUE(robot->undoKeys());
    EXPECT_NEAR(lowestAt(9.0f), 5.0f, 1e-3) << "the 32nd key from the end";
    EXPECT_NEAR(lowestAt(8.0f), 0.0f, 1e-4) << "its entry fell out";
}

TEST_F(FactoryWorld, WithoutACurrentCharacterTheToolsDoNothing)
{
    world->setCurrentCharacter(-1);
    placeRoot(0.0f, restHeight + 5.0f, 0.0f);
    EXPECT_FALSE(table.putOnFloor(false));
    EXPECT_FALSE(table.putOnFloor(true));
    EXPECT_NEAR(root->getBounds().getMin()[1], 5.0f, 1e-3);
    EXPECT_FALSE(table.levelFootOverKeys(nullptr, true));
    EXPECT_FALSE(table.levelFootOverKeys(foot, true));
    EXPECT_FALSE(table.alignBasePart(foot, false));
    EXPECT_FALSE(table.alignBasePartToTime(nullptr, 0.0f));
    EXPECT_FALSE(table.alignBasePartOverRange(nullptr));
    EXPECT_FALSE(table.storeReferencePlacement(nullptr));
}

TEST_F(FactoryWorld, FootQueriesAndTheAnkleToolChangeNothing)
{
    struct Case {
        const char* node;
        bool inFoot;
        bool ankles;
    };
    const Case cases[] = {
        {"LSole", true, true},      {"LAnkle2", true, true}, {"RFootBlock", true, true},
        {"LAnkle1", false, false}, {"Torso", false, false}, {"", false, false},
    };
    const kmlMatrix4 rootBefore = root->getLocal();
    const kmlMatrix4 ankleBefore = robot->findNode("LAnkle1")->getLocal();
    for (const Case& c : cases) {
        ksgNode* n = *c.node ? robot->findNode(c.node) : nullptr;
        EXPECT_EQ(table.isInFoot(n), c.inFoot) << c.node;
        EXPECT_EQ(table.levelAnkles(n), c.ankles) << c.node;
    }
    EXPECT_EQ(maxDiff(root->getLocal(), rootBefore), 0.0f);
    EXPECT_EQ(maxDiff(robot->findNode("LAnkle1")->getLocal(), ankleBefore), 0.0f);
    EXPECT_FALSE(robot->undoPose());
    EXPECT_EQ(lastKind(*robot), "");
}

namespace {

// Degrees between a foot's x axis and straight down: 0 when the foot is
// level (its order-5 angles y 0 and z -90).
float tiltOf(const ksgNode* foot)
{
    const kmlMatrix4 w = foot->getWorld();
    kmlVec3 axis(w(0, 0), w(1, 0), w(2, 0));
    axis.unit();
    return float(std::acos(std::clamp(-double(axis[1]), -1.0, 1.0)) * 180.0 / 3.14159265358979);
}

} // namespace

TEST_F(FactoryWorld, LevelFootLevelsTheFootAboutBothAxes)
{
    // Tilts of the root (its order-5 angles off the rest) and of the legs;
    // each case starts from the rest, lifted a little. Tilts about y used
    // to grow with every step.
    struct Case {
        float dx, dy, dz;
        const char* joint;
        float value;
        const char* picked;
    };
    const Case cases[] = {
        {0, 0, 5, nullptr, 0, "LSole"},        {0, 0, -12, nullptr, 0, "LSole"},
        {0, 0, 0, nullptr, 0, "LSole"},        {0, 5, 0, nullptr, 0, "LSole"},
        {0, -5, 5, nullptr, 0, "LSole"},       {0, 20, -15, nullptr, 0, "LSole"},
        {0, -40, 30, nullptr, 0, "RSole"},     {0, 75, 0, nullptr, 0, "LSole"},
        {15, 10, -10, nullptr, 0, "LSole"},    {-30, -25, 40, nullptr, 0, "RFootBlock"},
        {0, 0, 150, nullptr, 0, "LSole"},      {0, 0, 0, "LAnkle1", 40, "LSole"},
        {0, 0, 0, "LThigh", 15, "LAnkle2"},    {0, 10, 0, "RAnkle2", -30, "RSole"},
        {0, -10, 5, "RLegUp", -60, "RSole"},
    };
    const kmlMatrix4 rest = root->getLocal();
    for (const Case& c : cases) {
        const std::string what = std::string(c.picked) + " " + std::to_string(c.dx) + " " + std::to_string(c.dy) +
                                 " " + std::to_string(c.dz) + " " + (c.joint ? c.joint : "");
        table.applyInitialPose(robot);
        kmlMatrix4 m = rest;
        m.setRotation(kmlEuler(-90.0f + c.dx, c.dy, -90.0f + c.dz));
        m(1, 3) += 4.0f;
        root->setLocal(m);
        root->update(0.0f, false, true);
        if (c.joint)
            turn(c.joint, c.value);
        ksgNode* picked = robot->findNode(c.picked);
        ASSERT_NE(picked, nullptr) << what;
        ksgNode* sole = robot->findNode(std::string(c.picked)[0] == 'R' ? "RAnkle2" : "LAnkle2");
        const float before = tiltOf(sole);
        EXPECT_TRUE(table.levelFoot(picked)) << what;
        const kmlEuler f = sole->getWorld().toEuler(kmlEuler::ZYX);
        EXPECT_NEAR(f[1], 0.0f, 0.5f) << what;
        EXPECT_NEAR(f[2], -90.0f, 0.5f) << what;
        EXPECT_LE(tiltOf(sole), before + 1e-3f) << what;
        EXPECT_NEAR(root->getBounds().getMin()[1], 0.0f, 1e-4) << what;
    }

    // Off the feet: nothing turns, but the model still goes to the floor.
    placeRoot(0.0f, restHeight + 3.0f, 0.0f);
    const kmlMatrix4 before = root->getLocal();
    EXPECT_FALSE(table.levelFoot(robot->findNode("Torso")));
    EXPECT_LT(kgiTestRobot::rotationDiff(root->getLocal(), before), 1e-6f);
    EXPECT_NEAR(root->getBounds().getMin()[1], 0.0f, 1e-4);
}

TEST_F(FactoryWorld, LevelFootLeavesTheTurnWhereItCannotLessenTheTilt)
{
    // The foot of another robot than the current one: turning the current
    // root does not move it, so its root keeps its turn.
    const int otherId = world->createCharacter();
    kgiCharacter* other = world->getCharacters()->find(otherId);
    ASSERT_TRUE(other->load(kgiTestRobot::projectPath()));
    ksgTransform* otherRoot = other->getRoot()->asTransform();
    kmlMatrix4 m = otherRoot->getLocal();
    m.setRotation(kmlEuler(-90.0f, 12.0f, -80.0f));
    otherRoot->setLocal(m);
    otherRoot->update(0.0f, false, true);
    ksgNode* otherFoot = other->findNode("LAnkle2");
    const float tilt = tiltOf(otherFoot);
    ASSERT_GT(tilt, 5.0f);
    placeRoot(0.0f, restHeight, 0.0f);
    const kmlMatrix4 rootBefore = root->getLocal();

    EXPECT_TRUE(table.levelFoot(other->findNode("LSole")));
    EXPECT_LT(kgiTestRobot::rotationDiff(root->getLocal(), rootBefore), 1e-6f);
    EXPECT_NEAR(tiltOf(otherFoot), tilt, 1e-4f);
    world->removeCharacter(otherId);
}

TEST_F(FactoryWorld, TheBasePartKeepsItsWorldPlacementWhileTheLegTurns)
{
    table.toggleSelectedPart(robot->findNode("LSole"));
    ASSERT_EQ(table.getBaseNode(), foot);
    const kmlMatrix4 held = foot->getWorld();
    // Turns about two axes, so a wrong order of the rotation or
    // translation terms shows.
    turn("LLegUp", -50.0f);
    turn("LThigh", 20.0f);
    ASSERT_GT(maxDiff(foot->getWorld(), held), 1.0f);
    EXPECT_TRUE(table.keepBasePartFixed());
    EXPECT_LT(maxDiff(foot->getWorld(), held), 1e-4f);

    // Deselected, the part stays the base part.
    table.toggleSelectedPart(foot);
    EXPECT_EQ(table.getSelectedPart(), -1);
    turn("LKnee", 80.0f);
    EXPECT_TRUE(table.keepBasePartFixed());
    EXPECT_LT(maxDiff(foot->getWorld(), held), 1e-4f);

    // Another character current: its model is not moved for this one's foot.
    world->setCurrentCharacter(-1);
    EXPECT_FALSE(table.keepBasePartFixed());
    world->setCurrentCharacter(id);

    // A new load frees the tree the base part was in.
    ASSERT_TRUE(robot->load(kgiTestRobot::projectPath()));
    EXPECT_EQ(table.getBaseNode(), nullptr);
    EXPECT_FALSE(table.keepBasePartFixed());
}

TEST_F(FactoryWorld, AlignBasePartPutsItWhereItWasAtThePreviousKey)
{
    key(0);
    world->setCurrentTime(20.0f);
    turn("LLegUp", -50.0f);
    turn("LThigh", 20.0f);
    key(20);
    robot->getPoseUndo().clear();
    const kmlMatrix4 atFirstKey = footAt(0.0f);

    // At the first key there is no key before.
    world->setCurrentTime(0.0f);
    EXPECT_FALSE(table.alignBasePart(foot, false));
    EXPECT_FALSE(robot->undoPose());

    world->setCurrentTime(10.0f);
    ASSERT_GT(maxDiff(foot->getWorld(), atFirstKey), 1.0f);
    EXPECT_TRUE(table.alignBasePart(foot, false));
    EXPECT_EQ(world->getCurrentTime(), 10.0f);
    EXPECT_LT(maxDiff(foot->getWorld(), atFirstKey), 1e-4f);
    EXPECT_EQ(lastKind(*robot), "") << "the root is not keyed";
    EXPECT_TRUE(robot->undoPose());
    EXPECT_FALSE(robot->undoPose()) << "one pose entry";
    EXPECT_GT(maxDiff(footAt(10.0f), atFirstKey), 1.0f);
}

TEST_F(FactoryWorld, AlignBasePartOverRangeMovesTheAppendedKeysRigidly)
{
    // Keys 0 and 10 at rest; 20, 30 and 40 "appended" elsewhere, turned.
    key(0);
    key(10);
    const float yaws[] = {30.0f, 35.0f, 50.0f};
    for (int k = 0; k < 3; ++k) {
        world->setCurrentTime(20.0f + 10.0f * k);
        placeRoot(6.0f + k, restHeight + 1.0f, -4.0f, yaws[k]);
        turn("LLegUp", -20.0f * k);
        key(20 + 10 * k);
    }
    robot->getKeyUndo().clear();
    std::vector<kmlMatrix4> roots;
    for (float t : {0.0f, 10.0f, 20.0f, 30.0f, 40.0f})
        roots.push_back(rootAt(t));
    const kmlMatrix4 correction = footAt(10.0f) * footAt(20.0f).getInverse();

    struct Refused {
        float start, end;
        const char* caption;
        const char* text;
    };
    for (const Refused r : {Refused{0, 40, "Warning - 151", "Wr_No_Data_Bfore"},
                            Refused{42, 50, "Warning - 152", "Wr_No_Data_Area"}}) {
        services.captions.clear();
        services.texts.clear();
        range(r.start, r.end);
        EXPECT_FALSE(table.alignBasePartOverRange(foot)) << r.caption;
        EXPECT_EQ(services.captions, std::vector<std::string>{r.caption});
        EXPECT_EQ(services.texts, std::vector<std::string>{r.text});
        EXPECT_LT(maxDiff(rootAt(30.0f), roots[3]), 1e-6f) << r.caption;
    }

    services.captions.clear();
    range(15, 40);
    world->setCurrentTime(5.0f);
    EXPECT_TRUE(table.alignBasePart(foot, true));
    EXPECT_TRUE(services.captions.empty());
    EXPECT_EQ(world->getCurrentTime(), 5.0f);
    EXPECT_LT(maxDiff(footAt(20.0f), footAt(10.0f)), 1e-3f);
    for (int k = 0; k < 5; ++k) {
        const kmlMatrix4 expected = k < 2 ? roots[size_t(k)] : correction * roots[size_t(k)];
        EXPECT_LT(maxDiff(rootAt(10.0f * k), expected), 1e-3f) << 10 * k;
    }
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 10, 20, 30, 40}));

    // One undo gives every key of the range back.
    EXPECT_EQ(keyUndoDepth(*robot), 1);
    ASSERT_TRUE(robot->undoKeys());
    for (int k = 0; k < 5; ++k)
        EXPECT_LT(maxDiff(rootAt(10.0f * k), roots[size_t(k)]), 1e-4f) << 10 * k;
    ASSERT_TRUE(robot->redoKeys());
    EXPECT_LT(maxDiff(rootAt(40.0f), correction * roots[4]), 1e-3f);
}

TEST_F(FactoryWorld, LevelFootOverKeysReKeysTheRangeWithOneUndo)
{
    for (int f : {0, 10, 20}) {
        world->setCurrentTime(float(f));
        kmlMatrix4 m = root->getLocal();
        m.setRotation(kmlEuler(-90.0f, 0.0f, -90.0f + 4.0f + f));
        root->setLocal(m);
        root->update(0.0f, false, true);
        key(f);
    }
    robot->getKeyUndo().clear();
    const kmlMatrix4 lastBefore = rootAt(20.0f);
    range(0, 10);
    world->setCurrentTime(7.0f);
    ksgNode* sole = robot->findNode("LSole");
    EXPECT_TRUE(table.levelFootOverKeys(sole, true));
    EXPECT_EQ(world->getCurrentTime(), 7.0f);
    for (float t : {0.0f, 10.0f}) {
        EXPECT_NEAR(footAt(t).toEuler(kmlEuler::ZYX)[2], -90.0f, 0.5f) << t;
        EXPECT_NEAR(lowestAt(t), 0.0f, 1e-4) << t;
    }
    EXPECT_LT(maxDiff(rootAt(20.0f), lastBefore), 1e-6f) << "outside the range";
    EXPECT_EQ(keyUndoDepth(*robot), 1);
    ASSERT_TRUE(robot->undoKeys());
    EXPECT_NEAR(footAt(10.0f).toEuler(kmlEuler::ZYX)[2], -76.0f, 0.5f);

    // Nothing re-keyed (the key limit): nothing recorded.
    robot->getKeyUndo().clear();
    services.limit = 3;
    EXPECT_TRUE(table.levelFootOverKeys(sole, true));
    EXPECT_EQ(keyUndoDepth(*robot), 0);
    EXPECT_FALSE(table.levelFootOverKeys(nullptr, false));
}

} // namespace
