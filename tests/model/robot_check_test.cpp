// The factory tool checks its own robot: the shipped description passes,
// and each kind of fault the program would suffer from is caught.
#include "kgiRobotCheck.h"
#include "kgiRobotMirror.h"
#include "kgiRobotOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

kgiRobotJointSpec& joint(kgiRobotDesc& s, const char* name)
{
    for (kgiRobotJointSpec& j : s.joints)
        if (std::strcmp(j.name, name) == 0)
            return j;
    throw std::runtime_error(name);
}

kgiRobotPartSpec& part(kgiRobotDesc& s, const char* name)
{
    for (kgiRobotPartSpec& p : s.parts)
        if (std::strcmp(p.name, name) == 0)
            return p;
    throw std::runtime_error(name);
}

std::string joined(const std::vector<std::string>& faults)
{
    std::string all;
    for (const std::string& f : faults)
        all += f + "\n";
    return all;
}

std::vector<std::string> faultsOf(const std::function<void(kgiRobotDesc&)>& change)
{
    kgiRobotDesc desc = kgiRobotDesc::doruzavo1();
    change(desc);
    kgiRobotModel model;
    std::vector<std::string> faults;
    if (!model.build(desc, faults))
        return faults;
    return kgiRobotCheck::all(model);
}

} // namespace

TEST(RobotCheck, ShippedRobotPassesEveryCheck)
{
    kgiRobotModel model;
    std::vector<std::string> faults;
    ASSERT_TRUE(model.build(kgiRobotDesc::doruzavo1(), faults)) << joined(faults);
    faults = kgiRobotCheck::all(model);
    EXPECT_TRUE(faults.empty()) << joined(faults);
    EXPECT_EQ(model.getLines().size(), 24u);
}

TEST(RobotCheck, EachFaultIsCaught)
{
    struct Case {
        const char* what;
        std::function<void(kgiRobotDesc&)> change;
        const char* expected; // part of one fault message
    };
    const Case cases[] = {
        {"knee starts off the board's default", [](kgiRobotDesc& s) { joint(s, "RKnee").initial = 40; },
         "RKnee gives servo 2 = 140 at rest, the board's default is 145"},
        {"offset moved with the angle keeps the default",
         [](kgiRobotDesc& s) { joint(s, "RElbow").initial = -25; joint(s, "RElbow").servoOffset = 105; }, nullptr},
        {"limit beyond the board", [](kgiRobotDesc& s) { joint(s, "RKnee").maxAngle = 88; },
         "RKnee reaches servo value 191"},
        {"initial outside the limits", [](kgiRobotDesc& s) { joint(s, "RKnee").maxAngle = 40; },
         "RKnee starts at 45, outside its limits"},
        {"servo used twice", [](kgiRobotDesc& s) { joint(s, "Head").servo = 5; }, "servo 5 is used 2 times"},
        {"twins on channels that are no mirrored pair",
         [](kgiRobotDesc& s) { joint(s, "RShoulder").leftServo = 13; joint(s, "RArm").leftServo = 12; },
         "twins RShoulder and LShoulder drive servos 6 and 13"},
        {"centre joint not at rest on its own mirror image",
         [](kgiRobotDesc& s) { joint(s, "Body").initial = 10; joint(s, "Body").servoOffset = 90; },
         "centre joint Body is not its own mirror image"},
        {"centre joint after the pair: the arms find no twin",
         [](kgiRobotDesc& s) { std::swap(joint(s, "Head"), joint(s, "RShoulder")); },
         "the program pairs RShoulder with nothing"},
        {"foot not level",
         [](kgiRobotDesc& s) { joint(s, "RAnkle1").initial = -15; joint(s, "RAnkle1").servoOffset = 108; },
         "feet: RAnkle2 stands at Euler y"},
        {"arm pressed into the trunk",
         [](kgiRobotDesc& s) {
             kgiRobotJointSpec& a = joint(s, "RArm");
             a.initial = -25, a.minAngle = -30, a.maxAngle = 120, a.servoOffset = 55;
         },
         "collision: RUpperArm (RArm) and Torso (Body) overlap in the ready pose"},
        {"fingers closing into each other",
         [](kgiRobotDesc& s) { joint(s, "R_GR2").offset[0] = 0.2f; },
         "collision: RFinger1 (R_GR1) and RFinger2 (R_GR2) overlap"},
        {"wrist not named as the hand tools look it up",
         [](kgiRobotDesc& s) {
             for (kgiRobotJointSpec& j : s.joints)
                 if (std::strcmp(j.parent, "R_WR1") == 0)
                     j.parent = "RWrist";
             joint(s, "R_WR1").name = "RWrist";
             part(s, "RPalm").joint = "RWrist";
             for (std::string& n : s.lineOrder)
                 if (n == "R_WR1")
                     n = "RWrist";
         },
         "lookups: no joint named R_WR1"},
        {"hand outside every arm", [](kgiRobotDesc& s) { joint(s, "R_WR1").parent = "Body"; },
         "lookups: R_WR1 lies below 0 limb roots"},
        {"grips straight below the wrist: a finger drag stops at the wrist",
         [](kgiRobotDesc& s) { joint(s, "R_GR1").parent = joint(s, "R_GR2").parent = "R_WR1"; },
         "ik: a drag on R_GR1 pulls from R_WR1, not from its limb root RShoulder"},
        {"a second toe below the foot",
         [](kgiRobotDesc& s) {
             kgiRobotJointSpec toe = joint(s, "RAnkle2");
             toe.name = "RToe", toe.leftName = "LToe", toe.parent = "RAnkle2", toe.servo = 24, toe.leftServo = 25;
             kgiRobotJointSpec heel = toe;
             heel.name = "RHeel", heel.leftName = "LHeel", heel.servo = 26, heel.leftServo = 27;
             s.joints.push_back(toe);
             s.joints.push_back(heel);
             for (const char* n : {"RToe", "LToe", "RHeel", "LHeel"})
                 s.lineOrder.push_back(n);
         },
         "ik: a drag on RToe pulls from RAnkle2, not from its limb root RThigh"},
        {"name with a character the files cannot hold", [](kgiRobotDesc& s) { part(s, "Visor").name = "Vi-sor"; },
         "names: Vi-sor holds a character"},
        {"name that begins with the root's", [](kgiRobotDesc& s) { part(s, "Visor").name = "RobotVisor"; },
         "names: RobotVisor begins with the root's name"},
        {"joint missing from the table", [](kgiRobotDesc& s) { s.lineOrder.pop_back(); },
         "joints: L_GR2 is no line of the joint table"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> faults = faultsOf(c.change);
        if (!c.expected) {
            EXPECT_TRUE(faults.empty()) << c.what << "\n" << joined(faults);
            continue;
        }
        EXPECT_NE(joined(faults).find(c.expected), std::string::npos)
            << c.what << ": expected \"" << c.expected << "\" among\n" << joined(faults);
    }
}

TEST(RobotCheck, TwinsThatAreNoMirrorImageAreCaught)
{
    // A left roll joint that turns the same way as its right twin instead
    // of the opposite way: the pose flip would bend the limb wrongly.
    kgiRobotModel model;
    std::vector<std::string> faults;
    ASSERT_TRUE(model.build(kgiRobotDesc::doruzavo1(), faults));
    model.setReadyAngle(model.find("LArm"), 20.0f);
    faults.clear();
    kgiRobotCheck::mirroring(model, faults);
    EXPECT_NE(joined(faults).find("LArm is not the mirror image T L T of RArm"), std::string::npos)
        << joined(faults);
}

TEST(RobotCheck, JointTableScansAsTheProgramReadsIt)
{
    std::vector<std::string> faults;
    std::vector<kgiRobotJointLine> lines = kgiRobotCheck::parseJointTable(
        "0 : LAnkle1 = 12.5 :1,-90.0,90.0,-1 :5,1.0,100.0;\n"
        "ab\n"                         // short: skipped, as the program does
        "1 : Head 0.0 :0,1,2,1 :3,1,1;\n"  // no "=": an error at start-up
        "1 : Head = 0.0 :0,1,2,1 :3;\n",   // stops short of the scale
        faults);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].name, "LAnkle1");
    EXPECT_FLOAT_EQ(lines[0].value, 12.5f);
    EXPECT_EQ(lines[0].axis, 1);
    EXPECT_EQ(lines[0].direction, -1);
    EXPECT_EQ(lines[0].servo, 5);
    EXPECT_FLOAT_EQ(lines[0].offset, 100.0f);
    EXPECT_EQ(faults.size(), 2u) << joined(faults);

    // Servo values round to nearest: value x scale + offset + 0.5, cut.
    EXPECT_EQ(kgiRobotCheck::servoValue(lines[0], 10.0f), 110);
    EXPECT_EQ(kgiRobotCheck::servoValue(lines[0], 9.6f), 110);
    EXPECT_EQ(kgiRobotCheck::servoValue(lines[0], -24.0f), 76);
}

TEST(RobotCheck, JointValueIsReadBackUnderTheAxisOrder)
{
    // A single turn about the joint's axis reads back whole, also past 90
    // degrees, whichever axis it is.
    for (int axis = 0; axis < 3; ++axis)
        for (float angle : {-170.0f, -45.0f, 0.0f, 20.0f, 120.0f}) {
            kgiRobotJointLine l{"j", 0, axis, -180, 180, -1, 0, 1.0f, 100.0f};
            kmlVec3 e(0, 0, 0);
            e[axis] = angle;
            EXPECT_NEAR(kgiRobotCheck::jointValue(l, e), -angle, 1e-3f) << axis << " " << angle;
        }
}

TEST(RobotMirror, SquaredLengthsAlikeWithinTenPercent)
{
    struct Case { float a, b; bool alike; };
    const Case cases[] = {
        {110.0f, 100.0f, true},  // the bound is inclusive
        {100.0f, 110.0f, true},
        {111.0f, 100.0f, false},
        {0.0004f, 0.0001f, true}, // both next to nothing
        {0.0004f, 0.01f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kgiRobotMirrorPairs::similar(c.a, c.b), c.alike) << c.a << " " << c.b;
}
