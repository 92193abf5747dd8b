// The factory tool checks its sample motions and the course runs built
// from them: the shipped list passes, and each kind of fault a sample or a
// course could carry into a lesson is caught.
#include "kgiRobotDesc.h"
#include "kgiSampleOutput.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::string joined(const std::vector<std::string>& faults)
{
    std::string all;
    for (const std::string& f : faults)
        all += f + "\n";
    return all;
}

class SampleCheck : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(robot.build(kgiRobotDesc::doruzavo1(), faults)) << joined(faults); }

    // The faults of one motion (named "9_Test").
    std::string faultsOf(std::vector<kgiSampleKey> keys)
    {
        kgiSamplePoser poser(robot);
        std::vector<std::string> found;
        kgiSampleOutput::pose(poser, {9, "9_Test", "a test", std::move(keys)}, found);
        return joined(found);
    }

    // The faults of the course runs after a change to the shipped rows or
    // courses.
    std::string runFaults(const std::function<void(std::vector<kgiSampleMotion>&, kgiRobotDesc&)>& change)
    {
        std::vector<kgiSampleMotion> motions = kgiSampleMotions();
        kgiRobotDesc courses[2] = {kgiNormalCourse(), kgiObstacleCourse()};
        change(motions, courses[1]);
        kgiSamplePoser poser(robot);
        std::vector<std::string> found;
        std::vector<std::vector<kgiSamplePose>> poses;
        for (const kgiSampleMotion& m : motions)
            poses.push_back(kgiSampleOutput::pose(poser, m, found));
        for (const kgiCourseRun& run : kgiCourseRuns())
            for (const kgiRobotDesc& c : courses)
                if (c.modelName == run.course)
                    kgiSampleOutput::checkCourseRun(poser, motions, poses, c, run, found);
        return joined(found);
    }

    kgiRobotModel robot;
    std::vector<std::string> faults;
};

} // namespace

TEST_F(SampleCheck, ShippedListAndCourseRunsPass)
{
    const std::vector<kgiSampleMotion> motions = kgiSampleMotions();
    kgiSampleOutput::checkList(motions, faults);
    EXPECT_TRUE(faults.empty()) << joined(faults);
    EXPECT_EQ(runFaults([](std::vector<kgiSampleMotion>&, kgiRobotDesc&) {}), "");
    EXPECT_EQ(kgiSampleOutput::listText(motions).substr(0, 18), "1_Bow\n2_WaveRight\n");
}

TEST_F(SampleCheck, EachFaultOfAMotionIsCaught)
{
    struct Case {
        const char* what;
        std::vector<kgiSampleKey> keys;
        const char* expected; // part of one fault message; null: no fault
    };
    std::vector<kgiSampleKey> tooMany;
    for (int f = 0; f <= 30; ++f)
        tooMany.push_back(key(f).feet(0, 0));
    const Case cases[] = {
        {"a plain arm wave", {key(0), key(10).rightArm(0, 120, -30), key(20)}, nullptr},
        {"one key", {key(0)}, "1 keys, not 2 to 30"},
        {"thirty-one keys", tooMany, "31 keys, not 2 to 30"},
        {"keys out of order", {key(0), key(20), key(10)}, "keys must start at frame 0 and rise"},
        {"a first key after frame 0", {key(5), key(10)}, "keys must start at frame 0 and rise"},
        {"a knee bent past its limit", {key(0), key(10).leftFoot(0, 0.5f, 0, 4.0f), key(20)},
         "LKnee at"},
        {"a foot out of reach", {key(0), key(10).rightFoot(0, 20.0f), key(20)},
         "the right foot cannot reach its place"},
        {"feet set into each other", {key(0), key(10).at(1.0f, 0).leftFoot(0, 0).rightFoot(2.0f, 0), key(20)},
         "collision: RSole (RAnkle2) and LSole (LAnkle2) overlap 9_Test key 1"},
        {"an unknown joint", {key(0), key(10).set("Tail", 5), key(20)}, "no joint Tail"},
        {"ends with the arms up", {key(0), key(10).arms(0, 150, 0)}, "the last key must be the initial pose"},
        {"starts crouched", {key(0).drop(1.0f), key(10)}, "the first and the last key"},
        {"starts turned", {key(0).at(0, 0, 90).feet(0, 0, 90), key(10).at(0, 0, 90).feet(0, 0, 90)},
         "the first key must face +z"},
        {"an arm lifted past its limit", {key(0), key(10).set("RArm", 178), key(20)},
         "RArm at 178.00, outside its limits"},
    };
    for (const Case& c : cases) {
        const std::string found = faultsOf(c.keys);
        if (!c.expected)
            EXPECT_EQ(found, "") << c.what;
        else
            EXPECT_NE(found.find(c.expected), std::string::npos)
                << c.what << ": expected \"" << c.expected << "\" among\n" << found;
    }
}

TEST_F(SampleCheck, ListRulesAreCaught)
{
    struct Case {
        const char* what;
        std::function<void(std::vector<kgiSampleMotion>&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"a row short", [](std::vector<kgiSampleMotion>& m) { m.pop_back(); }, "39 rows, not 40"},
        {"a name without its number", [](std::vector<kgiSampleMotion>& m) { m[1].name = "Wave"; },
         "row 2 is named Wave"},
        {"a name with a blank", [](std::vector<kgiSampleMotion>& m) { m[2].name = "3_Wave Left"; },
         "3_Wave Left holds a character"},
        {"a name twice", [](std::vector<kgiSampleMotion>& m) { m[3] = m[2]; m[3].row = 4; },
         "row 4 is named 3_WaveLeft"},
        {"no role", [](std::vector<kgiSampleMotion>& m) { m[4].role.clear(); }, "states no role"},
    };
    for (const Case& c : cases) {
        std::vector<kgiSampleMotion> motions = kgiSampleMotions();
        c.change(motions);
        std::vector<std::string> found;
        kgiSampleOutput::checkList(motions, found);
        EXPECT_NE(joined(found).find(c.expected), std::string::npos)
            << c.what << ": expected \"" << c.expected << "\" among\n" << joined(found);
    }
}

TEST_F(SampleCheck, CourseRunFaultsAreCaught)
{
    using Change = std::function<void(std::vector<kgiSampleMotion>&, kgiRobotDesc&)>;
    struct Case {
        const char* what;
        Change change;
        const char* expected;
    };
    // Moves every key of row n by dz along z.
    auto shift = [](std::vector<kgiSampleMotion>& m, int row, float dz) {
        for (kgiSampleKey& k : m[size_t(row - 1)].keys) {
            k.body.z += dz;
            k.right.z += dz;
            k.left.z += dz;
        }
    };
    auto partNamed = [](kgiRobotDesc& d, const char* name) -> kgiRobotPartSpec& {
        for (kgiRobotPartSpec& p : d.parts)
            if (std::string(p.name) == name)
                return p;
        throw std::runtime_error(name);
    };
    const Case cases[] = {
        {"the normal start on the line", [&](std::vector<kgiSampleMotion>& m, kgiRobotDesc&) { shift(m, 34, 2.0f); },
         "nomalCource run, 34_NormalStart key 0: the robot reaches z"},
        {"the obstacle start too far back to reach the goal",
         [&](std::vector<kgiSampleMotion>& m, kgiRobotDesc&) { shift(m, 39, -20.0f); }, "not past the goal"},
        {"the wall where the robot side steps",
         [&](std::vector<kgiSampleMotion>&, kgiRobotDesc& c) { partNamed(c, "Wall").centre[2] = 28.0f; },
         "runs into the wall"},
        {"the bar under the stepping foot",
         [&](std::vector<kgiSampleMotion>&, kgiRobotDesc& c) { partNamed(c, "LowBar").centre[2] = 6.0f; },
         "enters the low bar"},
        {"a lane too narrow for the side step",
         [&](std::vector<kgiSampleMotion>&, kgiRobotDesc& c) {
             kgiRobotPartSpec& lane = partNamed(c, "Lane");
             lane.size[0] = 30.0f;
         },
         "leaves the lane"},
    };
    for (const Case& c : cases) {
        const std::string found = runFaults(c.change);
        EXPECT_NE(found.find(c.expected), std::string::npos)
            << c.what << ": expected \"" << c.expected << "\" among\n" << found;
    }
}
