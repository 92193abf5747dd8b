#include "kgiProject.h"

#include "docs_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A project whose folder is `dir`, with character "robot.kmd" and the
// joint-parameter folder "joint".
void readProject(kgiProject& p, const kgiTestDir& dir)
{
    writeText(dir.file("p.ts"), "# TS -- Zodarovu Timesheet\n\nProj.set {\n\tDirectories {\n"
                                "\t\tJointParameter \"joint\"\n\t}\n\tCharacter \"robot.kmd\"\n}\n");
    std::filesystem::create_directory(dir.file("joint"));
    ASSERT_EQ(p.readTimesheet(dir.file("p.ts").c_str()), 1);
}

void fill(kgiJointParam& j, int i)
{
    j.setName("Joint" + std::to_string(i));
    j.setJointTypeCode(i + 1);
    j.setDesireGain(0.25f * i);
    j.setMinRotationValue(-90.0f + i);
    j.setMaxRotationValue(90.5f - i);
    j.setMinRotationGain(0.02f);
    j.setMaxRotationGain(0.03f * i);
    for (int w = 0; w < kgiJointParam::WEIGHTS; ++w)
        j.setJointWeight(w, 0.5f * w + i);
    for (int g = 0; g < kgiJointParam::SPHERE_GAINS; ++g)
        j.setSphereLimitGain(g, 0.125f * g - i);
    j.setSphereLimitAngle(45.0f + i);
    j.setSphereLimitRoll(30.0f - i);
    j.setFixPinGain(1.5f * i);
    j.setMovPinGain(-2.0f);
    j.setLimitCone(i % 2);
}

} // namespace

TEST(JointParams, ThreeRecordsRoundTrip)
{
    kgiTestDir dir;
    kgiProject out;
    readProject(out, dir);
    out.allocateJointParams(3);
    for (int i = 0; i < 3; ++i)
        fill(*out.getJointParam(i), i);
    ASSERT_EQ(out.writeJointParams("arms.txt"), 1);
    EXPECT_EQ(out.getJointParameterPath(), dir.file("joint/arms.kjp"));

    const std::string text = readText(dir.file("joint/arms.kjp"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 * 15 + 4);
    EXPECT_EQ(text.rfind("# KJP 1.01 -- Korvelith Joint Parameter\n\nJparam.setAll robot {\n\tJoint0 {\n"
                         "\t\tJointType 5\n\t\tDesireGain 0.000000\n",
                         0),
              0u);
    EXPECT_NE(text.find("\t\tJointWeight {1.000000 1.500000 2.000000 2.500000 3.000000 3.500000}\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\tSphere_Joint_limit_Gain {-1.000000 -0.875000 -0.750000}\n"),
              std::string::npos);

    kgiProject in;
    readProject(in, dir);
    ASSERT_EQ(in.readJointParams(dir.file("joint/arms.kjp").c_str()), 1);
    ASSERT_EQ(in.getJointParameterCount(), 3);
    for (int i = 0; i < 3; ++i) {
        kgiJointParam expected;
        fill(expected, i);
        const kgiJointParam& got = *in.getJointParam(i);
        EXPECT_EQ(got.getName(), expected.getName());
        EXPECT_EQ(got.getJointType(), expected.getJointType());
        EXPECT_NEAR(got.getDesireGain(), expected.getDesireGain(), 1e-6);
        EXPECT_NEAR(got.getMinRotationValue(), expected.getMinRotationValue(), 1e-6);
        EXPECT_NEAR(got.getMaxRotationValue(), expected.getMaxRotationValue(), 1e-6);
        EXPECT_NEAR(got.getMinRotationGain(), expected.getMinRotationGain(), 1e-6);
        EXPECT_NEAR(got.getMaxRotationGain(), expected.getMaxRotationGain(), 1e-6);
        for (int w = 0; w < kgiJointParam::WEIGHTS; ++w)
            EXPECT_NEAR(got.getJointWeight(w), expected.getJointWeight(w), 1e-6);
        for (int g = 0; g < kgiJointParam::SPHERE_GAINS; ++g)
            EXPECT_NEAR(got.getSphereLimitGain(g), expected.getSphereLimitGain(g), 1e-6);
        EXPECT_NEAR(got.getSphereLimitAngle(), expected.getSphereLimitAngle(), 1e-6);
        EXPECT_NEAR(got.getSphereLimitRoll(), expected.getSphereLimitRoll(), 1e-6);
        EXPECT_NEAR(got.getFixPinGain(), expected.getFixPinGain(), 1e-6);
        EXPECT_NEAR(got.getMovPinGain(), expected.getMovPinGain(), 1e-6);
        EXPECT_EQ(got.getLimitCone(), expected.getLimitCone());
    }
    EXPECT_EQ(in.getJointParam(-3), in.getJointParam(0));
    EXPECT_EQ(in.getJointParam(99), in.getJointParam(2));
}

TEST(JointParams, ShortAndForeignFilesLeaveNoStaleRecords)
{
    kgiTestDir dir;
    kgiProject p;
    readProject(p, dir);
    p.allocateJointParams(2);
    p.getJointParam(0)->setName("stale");

    // Fewer than 17 lines: no record, and none left from before.
    writeText(dir.file("short.kjp"), "# KJP 1.01 -- x\n\nJparam.setAll r {\n\tA {\n\t\tJointType 3\n\t}\n}\n");
    ASSERT_EQ(p.readJointParams(dir.file("short.kjp").c_str()), 1);
    EXPECT_EQ(p.getJointParameterCount(), 0);
    EXPECT_EQ(p.getJointParam(0), nullptr);

    // Another header word: the counted records keep their defaults.
    std::string foreign = "# XYZ 1.01\n\n";
    for (int i = 0; i < 16; ++i)
        foreign += "\t\tDesireGain 9\n";
    writeText(dir.file("foreign.kjp"), foreign);
    ASSERT_EQ(p.readJointParams(dir.file("foreign.kjp").c_str()), 1);
    ASSERT_EQ(p.getJointParameterCount(), 1);
    EXPECT_FLOAT_EQ(p.getJointParam(0)->getDesireGain(), 0.5f);
    EXPECT_FLOAT_EQ(p.getJointParam(0)->getSphereLimitGain(2), 0.1f);

    // More record lines than counted records, and a short gain list.
    std::string extra = "# KJP 2.0 x\n\nJparam.setAll r {\n\tA {\n\t\tSphere_Joint_limit_Gain {0.5}\n";
    for (int i = 0; i < 13; ++i)
        extra += "\t\tLimitCone 1\n";
    extra += "\t}\n\tB {\n\t\tJointType 7\n\t}\n}\n";
    writeText(dir.file("extra.kjp"), extra);
    ASSERT_EQ(p.readJointParams(dir.file("extra.kjp").c_str()), 1);
    ASSERT_EQ(p.getJointParameterCount(), 1);
    EXPECT_EQ(p.getJointParam(0)->getName(), "A");
    EXPECT_FLOAT_EQ(p.getJointParam(0)->getSphereLimitGain(0), 0.5f);
    EXPECT_FLOAT_EQ(p.getJointParam(0)->getSphereLimitGain(1), 0.1f);
    EXPECT_EQ(p.getJointParam(0)->getJointType(), 0);
    EXPECT_EQ(p.getVersion(), "2.0");

    EXPECT_EQ(p.readJointParams(nullptr), 1);
    EXPECT_EQ(p.readJointParams(dir.file("missing.kjp").c_str()), 0);
    EXPECT_EQ(p.writeJointParams("no/such/folder"), 0) << "a file that cannot be made is a failure";
}

TEST(JointParams, TypeCodesMapToJointTypes)
{
    const int expected[] = {0, 5, 4, 2, 1, 1, 1, 3, 0};
    for (int code = 0; code <= 8; ++code) {
        kgiJointParam j;
        j.setJointTypeCode(code);
        EXPECT_EQ(j.getJointType(), expected[code]) << code;
    }
}
