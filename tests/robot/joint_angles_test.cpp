// Joint values, servo values, limits and the joint-limit setup of the robot
// joint table, on a small tree of joints.
#include "robot/joint_fixture_test.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"

#include "kmlEuler.h"
#include "ksgMotionFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using kgiTestJoints::JointFixture;

// A record without a servo, with what the angle tests vary first.
kgiJointRecord rec(int axis, int direction, float min = -180.0f, float max = 180.0f, float scale = 1.0f,
                   float offset = 0.0f)
{
    return kgiTestJoints::record(axis, min, max, direction, kgiJointRecord().servoId, scale, offset);
}

class JointAngles : public JointFixture {};

} // namespace

TEST(ServoConversion, JointValueToServoAndBack)
{
    struct ToServo {
        float value, scale, offset;
        int servo;
    };
    const ToServo to[] = {
        {10.0f, 1.0f, 100.0f, 110}, {9.6f, 1.0f, 100.0f, 110}, {-0.7f, 1.0f, 0.0f, 0},
        {-1.7f, 1.0f, 0.0f, -1},    {15.0f, 0.5f, 100.0f, 108}, {1e30f, 1e10f, 0.0f, std::numeric_limits<int>::max()},
    };
    for (const ToServo& c : to)
        EXPECT_EQ(kgiRobotJointTable::toServo(c.value, rec(2, 1, -180, 180, c.scale, c.offset)), c.servo)
            << c.value << " x " << c.scale << " + " << c.offset;
    EXPECT_FLOAT_EQ(kgiRobotJointTable::fromServo(115, rec(2, 1, -180, 180, 1.0f, 100.0f)), 15.0f);
    EXPECT_FLOAT_EQ(kgiRobotJointTable::fromServo(115, rec(2, 1, -180, 180, 0.5f, 100.0f)), 30.0f);
}

TEST_F(JointAngles, ServoValuesOfThePoseAndOfTheMotion)
{
    ASSERT_TRUE(readModelIni("1 : Knee = 0 :2,-90,90,1 :3,1.0,100.0;\n"));
    ASSERT_TRUE(table.setJointAngleByName(&character, "Knee", 12.4f));
    EXPECT_EQ(table.servoValue(&character, 3), 112);
    EXPECT_EQ(table.servoValue(&character, 4), kgiRobotJointTable::UNMAPPED_SERVO_VALUE);
    EXPECT_EQ(table.servoValue(nullptr, 4), 100);
    ASSERT_TRUE(table.addJointKeyByName(&character, "Knee", 20.0f, -30.0f));
    EXPECT_EQ(table.servoValueAt(&character, 3, 20.0f), 70);
    EXPECT_EQ(table.servoValueAt(&character, 9, 20.0f), 100);
    EXPECT_FLOAT_EQ(table.jointValueOfServo(3, 130), 30.0f);
}

TEST_F(JointAngles, SetThenReadBackOverEveryAxisAndDirection)
{
    for (int axis : {0, 1, 2, 3})
        for (int direction : {1, -1})
            for (float value : {-40.0f, 0.0f, 25.5f}) {
                const kgiJointRecord r = rec(axis, direction);
                ASSERT_TRUE(table.applyJointAngle(tree.knee, value, r, 3.0f));
                EXPECT_NEAR(kgiRobotJointTable::jointAngleOf(tree.knee, r), value, 1e-4)
                    << "axis " << axis << " direction " << direction;
            }
    // An axis outside 0..3 turns nothing and reads the third angle.
    kmlMatrix4 tilted;
    tilted.setRotation(kmlEuler(10.0f, 20.0f, 30.0f, 5));
    tree.knee->setLocal(tilted);
    ASSERT_TRUE(table.applyJointAngle(tree.knee, 45.0f, rec(7, 1), 3.0f));
    EXPECT_LT(kgiTestRobot::rotationDiff(tree.knee->getLocal(), kmlMatrix4()), 1e-6f);
    EXPECT_EQ(kgiRobotJointTable::jointAngleOf(tree.knee, rec(7, 1)), 0.0f);
}

TEST_F(JointAngles, SettingReplacesTheWholeRotationAndKeepsTheTranslation)
{
    kmlMatrix4 tilted;
    tilted.setRotation(kmlEuler(10.0f, 20.0f, 30.0f, 5));
    tilted.setTranslation(kmlVec3(1.0f, 2.0f, 3.0f));
    tree.knee->setLocal(tilted);
    ASSERT_TRUE(table.applyJointAngle(tree.knee, 15.0f, rec(1, 1), 3.0f));
    const kmlEuler e = tree.knee->getLocal().toEuler(3);
    EXPECT_NEAR(e[0], 0.0f, 1e-4);
    EXPECT_NEAR(e[1], 15.0f, 1e-4);
    EXPECT_NEAR(e[2], 0.0f, 1e-4);
    EXPECT_EQ(tree.knee->getLocal()(1, 3), 2.0f);
    // The world follows at once (the node is updated).
    EXPECT_LT(kgiTestRobot::maxDiff(tree.knee->getWorld(), tree.knee->getLocal()), 1e-5f);
}

TEST_F(JointAngles, NodesThatAreNoJointsGiveFalseOrZero)
{
    ksgNode* mesh = character.findNode("Foot_Part0");
    ASSERT_NE(mesh, nullptr);
    float p[6] = {};
    EXPECT_EQ(table.getJointAngle(nullptr), 0.0f);
    EXPECT_EQ(table.getJointAngleAt(mesh, 0.0f), 0.0f);
    EXPECT_FALSE(table.applyJointAngle(nullptr, 1.0f, rec(2, 1), 3.0f));
    EXPECT_TRUE(table.applyJointAngle(mesh, 1.0f, rec(2, 1), 3.0f)) << "updated only";
    EXPECT_FALSE(table.setJointAngle(nullptr, 1.0f));
    EXPECT_FALSE(table.setJointAngleByName(&character, "Nobody", 1.0f));
    EXPECT_FALSE(table.addJointKey(mesh, 0.0f, 1.0f));
    EXPECT_FALSE(kgiRobotJointTable::getNodePose(mesh, p[0], p[1], p[2], p[3], p[4], p[5]));
    EXPECT_FALSE(kgiRobotJointTable::setNodePose(nullptr, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(kgiRobotJointTable::makeJointPoseDefault(&character, "Nobody"));
    // A transform without a motion controller: no motion to read or key.
    ksgTransform loose;
    loose.setName("Knee");
    EXPECT_EQ(table.getJointAngleAt(&loose, 0.0f), 0.0f);
    EXPECT_FALSE(table.addJointKey(&loose, 0.0f, 5.0f));
    EXPECT_FALSE(kgiRobotJointTable::addNodePoseKey(&loose, 0.0f, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(kgiRobotJointTable::rekeyBaseFrame(&loose, 0.0f));
}

TEST_F(JointAngles, KeysReadBackFromTheBaseCurvesOnly)
{
    ASSERT_TRUE(readModelIni("1 : Knee = 0 :0,-90,90,-1 :3,1.0,100.0;\n"));
    ASSERT_TRUE(table.addJointKey(tree.knee, 10.0f, 25.0f));
    const kmlMatrix4 pose = tree.knee->getLocal();
    EXPECT_NEAR(table.getJointAngleAt(tree.knee, 10.0f), 25.0f, 1e-4);
    EXPECT_LT(kgiTestRobot::maxDiff(tree.knee->getLocal(), pose), 1e-6f) << "the pose is not touched";

    // An offset layer turns the joint further; the reading ignores it.
    ksgMotionController* mc = getMotionController(tree.knee);
    const int layer = mc->newLayer();
    std::unique_ptr<ksgMotionFrame> offset(mc->newFrame());
    offset->asOffset(true);
    offset->setTime(10.0f);
    kmlMatrix4 turn;
    turn.setRotation(kmlEuler(30.0f, 0.0f, 0.0f, 0));
    offset->fromMatrix(turn);
    ASSERT_TRUE(mc->addFrame(offset.get(), layer));
    std::unique_ptr<ksgMotionFrame> both(mc->newFrame());
    both->setTime(10.0f);
    mc->getFrame(both.get(), ksgMotionController::EVAL_BASE | ksgMotionController::EVAL_LAYERS, {layer});
    kmlMatrix4 layered;
    both->toMatrix(layered);
    ASSERT_GT(std::fabs(layered.toEuler(0)[0] + 25.0f), 1.0f) << "the layer counts when asked for";
    EXPECT_NEAR(table.getJointAngleAt(tree.knee, 10.0f), 25.0f, 1e-4);

    // Keying an existing time replaces the key and still reports it.
    EXPECT_TRUE(table.addJointKeyByName(&character, "Knee", 10.0f, -5.0f));
    EXPECT_NEAR(table.getJointAngleAt(tree.knee, 10.0f), -5.0f, 1e-4);
    EXPECT_TRUE(kgiRobotJointTable::rekeyBaseFrame(tree.knee, 10.0f));
    EXPECT_NEAR(table.getJointAngleAt(tree.knee, 10.0f), -5.0f, 1e-4);
}

TEST_F(JointAngles, NodePosesRoundTrip)
{
    float p[6] = {};
    ASSERT_TRUE(kgiRobotJointTable::setNodePose(root, 1.0f, -2.0f, 3.5f, 10.0f, -20.0f, 30.0f));
    ASSERT_TRUE(kgiRobotJointTable::getNodePose(root, p[0], p[1], p[2], p[3], p[4], p[5]));
    const float want[6] = {1.0f, -2.0f, 3.5f, 10.0f, -20.0f, 30.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(p[i], want[i], 1e-4) << i;
    ASSERT_TRUE(kgiRobotJointTable::addNodePoseKey(root, 4.0f, 5.0f, 6.0f, 7.0f, -15.0f, 25.0f, 35.0f));
    ASSERT_TRUE(kgiRobotJointTable::getNodePoseAt(root, 4.0f, p[0], p[1], p[2], p[3], p[4], p[5]));
    const float keyed[6] = {5.0f, 6.0f, 7.0f, -15.0f, 25.0f, 35.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(p[i], keyed[i], 1e-4) << i;
}

TEST_F(JointAngles, LimitsWithTheirMarginsAndTheWarning)
{
    struct Case {
        kgiJointRecord record;
        float margin, value;
        bool accepted;
    };
    const kgiJointRecord plain = rec(2, 1, -30.0f, 90.0f);
    const kgiJointRecord turned = rec(2, -1, -30.0f, 90.0f, 1.0f, 100.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {plain, 3.0f, 93.0f, true},       {plain, 3.0f, 93.01f, false}, {plain, 3.0f, -33.0f, true},
        {plain, 3.0f, -33.01f, false},    {plain, 0.0f, 90.0f, true},   {plain, 0.0f, 90.001f, false},
        {plain, 0.0f, -30.0f, true},      {plain, 0.0f, -30.001f, false}, {turned, 3.0f, -92.9f, true},
        {turned, 3.0f, -93.5f, false},    {turned, 3.0f, 33.0f, true},  {plain, 3.0f, nan, false},
        {plain, 3.0f, inf, false},        {plain, 3.0f, -inf, false},
    };
    for (const Case& c : cases) {
        tree.knee->setLocal(kmlMatrix4());
        services.captions.clear();
        EXPECT_EQ(table.applyJointAngle(tree.knee, c.value, c.record, c.margin), c.accepted)
            << c.value << " margin " << c.margin;
        if (c.accepted) {
            EXPECT_TRUE(services.captions.empty());
        } else {
            EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 160"}) << c.value;
            EXPECT_LT(kgiTestRobot::maxDiff(tree.knee->getLocal(), kmlMatrix4()), 1e-7f) << "joint unchanged";
        }
    }
    // The joint value's range as servo values: max trunc(30 + 100), min
    // trunc(-90 + 100); with scale 2, trunc(30 x 2 + 100) and trunc(-90 x 2 + 100).
    services.texts.clear();
    table.applyJointAngle(tree.knee, -93.5f, turned, 3.0f);
    table.applyJointAngle(tree.knee, -93.5f, rec(2, -1, -30.0f, 90.0f, 2.0f, 100.5f), 3.0f);
    EXPECT_EQ(services.texts, (std::vector<std::string>{"Wr_OutOfRange   :  max=130  min=10",
                                                         "Wr_OutOfRange   :  max=160  min=-79"}));
}

namespace {

// With the stand-in options dialog (its joint field reads "knee 12") and,
// when asked, the stand-in robot session: the label, and the status line
// instead of the box while a session is open.
void warningWithApplication(bool session)
{
    kgiAppRig rig;
    kgiTestJoints::QuietServices services;
    kgiCharacterServices::install(&services);
    rig.fakes.options.jointFieldText = "knee 12";
    rig.app->createOptionsDialog();
    if (session)
        rig.app->prepareRobotSession();
    CHILD_CHECK(rig.app->hasRemoconIndex() == session);
    kgiTestJoints::TreeOfJoints tree;
    kgiRobotJointTable table;
    CHILD_CHECK(!table.applyJointAngle(tree.knee, 50.0f, rec(2, 1, -30.0f, 40.0f, 1.0f, 100.0f), 3.0f));
    if (session) {
        CHILD_CHECK(services.captions.empty());
        CHILD_CHECK(rig.fakes.options.statusTexts == std::vector<std::string>{"  knee 12:  max=140  min=70"});
    } else {
        CHILD_CHECK(services.captions == std::vector<std::string>{"Warning - 160"});
        CHILD_CHECK(services.texts == std::vector<std::string>{"Wr_OutOfRange   knee 12:  max=140  min=70"});
        CHILD_CHECK(rig.fakes.options.statusTexts.empty());
    }
    kgiCharacterServices::install(nullptr);
}

} // namespace

TEST(JointAngleWarning, StatusLineWhileASessionIsOpenElseTheBox)
{
    EXPECT_IN_CHILD([] { warningWithApplication(true); });
    EXPECT_IN_CHILD([] { warningWithApplication(false); });
}

TEST_F(JointAngles, JointLimitsFromTheRecords)
{
    // Knee: no servo axis on a free joint; Elbow: a hinge about y; Hidden
    // lies below a part and stays as it was.
    ASSERT_TRUE(readModelIni("1 : Knee = 0 :3,-10,10,1 :1,1.0,0;\n2 : Elbow = 0 :1,-45,60,1 :2,1.0,0;\n"
                             "3 : Hidden = 0 :0,-5,5,1 :3,1.0,0;\n"));
    tree.hidden->enableLimits(false);
    tree.hidden->ignoreFk(true);
    tree.hidden->ignoreIk(true);
    table.setupJointLimits(root);

    EXPECT_FALSE(tree.knee->isFkIgnored());
    EXPECT_TRUE(tree.knee->isIkIgnored());
    EXPECT_FALSE(tree.knee->areLimitsEnabled());

    EXPECT_TRUE(tree.elbow->areLimitsEnabled());
    EXPECT_FALSE(tree.elbow->isFkIgnored());
    EXPECT_FALSE(tree.elbow->isIkIgnored());
    const ksgTransformLimits& hinge = tree.elbow->getLimits();
    EXPECT_EQ(hinge.getHalfAngle(), 0.0f);
    EXPECT_NEAR(hinge.getTwistAxis()[1], 1.0f, 1e-6);
    float min = 0.0f, max = 0.0f;
    hinge.getTwistRange(min, max);
    EXPECT_EQ(min, -45.0f);
    EXPECT_EQ(max, 60.0f);

    EXPECT_FALSE(tree.hidden->areLimitsEnabled());
    EXPECT_TRUE(tree.hidden->isFkIgnored());

    // The same axis-3 record on the body's free joint (type 6): IK only.
    kgiKmdData::of(tree.knee)->setType(6);
    tree.knee->ignoreFk(false);
    table.setupJointLimits(root);
    EXPECT_TRUE(tree.knee->isFkIgnored());
    EXPECT_FALSE(tree.knee->isIkIgnored());
    EXPECT_FALSE(tree.knee->areLimitsEnabled());
}

TEST_F(JointAngles, ModelStructureIsRecordedThenCompared)
{
    kgiRobotJointTable fresh;
    EXPECT_TRUE(fresh.matchModelStructure(root)) << "records";
    EXPECT_TRUE(fresh.matchModelStructure(root)) << "the same tree";
    tree.foot->setName("Toe");
    EXPECT_FALSE(fresh.matchModelStructure(root)) << "renamed";
    tree.foot->setName("Foot");
    EXPECT_TRUE(fresh.matchModelStructure(root));
    // Foot moved up beside the knee: same names, another level.
    tree.knee->detachChild(tree.foot);
    root->attachChild(tree.foot);
    EXPECT_FALSE(fresh.matchModelStructure(root)) << "moved";
}
