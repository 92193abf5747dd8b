// The console driver of the motion mirroring engine on the factory robot:
// a keyed motion mirrored twice comes back as it was.
#include "kgiCharacter.h"
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiMotionFlipConsole.h"
#include "ksgTransform.h"

#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class MotionFlipConsole : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kgi_flip_console_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(kgiTestRobot::dataDir() + "/DORUZAVO_1base", dir / "robot", fs::copy_options::recursive);
        scene = (dir / "robot" / "character" / "DORUZAVO_1.kmd").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the driver with `answers` on its input; its output is kept.
    int run(const std::string& motion, const std::string& answers)
    {
        FILE* in = fmemopen(const_cast<char*>(answers.data()), answers.size(), "r");
        char* text = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&text, &size);
        const int result = kgiRunMotionFlipConsole(scene, motion, in, out);
        std::fclose(in);
        std::fclose(out);
        printed.assign(text, size);
        std::free(text);
        return result;
    }

    static bool read(kgiKmmFile& f, const std::string& path)
    {
        return f.open(path.c_str()) && f.readHeader() && f.readBody() && f.close();
    }

    fs::path dir;
    std::string scene;
    std::string printed;
};

} // namespace

TEST_F(MotionFlipConsole, AKeyedMotionMirroredTwiceComesBack)
{
    // Keys at 0, 10 and 20 with the right arm and leg lifted differently.
    kgiCharacter robot;
    ASSERT_TRUE(robot.load((dir / "robot" / "DORUZAVO_1.ts").string()));
    for (int f : {0, 10, 20}) {
        for (const char* joint : {"RShoulder", "RLegUp", "Body"}) {
            ksgNode* n = robot.findNode(joint);
            kmlMatrix4 m = n->getLocal();
            m.rotate(15.0f + float(f), kmlVec3(0.0f, 0.0f, 1.0f));
            n->asTransform()->setLocal(m);
        }
        ASSERT_TRUE(robot.addKey(f));
    }
    ASSERT_TRUE(robot.saveMotion("walk.ts"));
    const std::string motion = (dir / "robot" / "motion" / "walk.kmm").string();

    ASSERT_EQ(run(motion, "0\n20\n"), 0) << printed;
    EXPECT_EQ(printed.rfind("=======  MotionFlip Test ========\nInput frame Number (Max = 20)\n"
                            "First frame Number\nLast frame Number\n", 0),
              0u)
        << printed;
    const std::string once = kgiMotionFlipOutputPath(motion);
    ASSERT_EQ(run(once, "0 20"), 0) << printed;
    const std::string twice = kgiMotionFlipOutputPath(once);

    kgiKmmFile input, mirrored, back;
    ASSERT_TRUE(read(input, motion));
    ASSERT_TRUE(read(mirrored, once));
    ASSERT_TRUE(read(back, twice));
    ASSERT_EQ(back.getNodeCount(), input.getNodeCount());
    EXPECT_EQ(back.getKeyFrames(), input.getKeyFrames());
    float moved = 0.0f;
    for (int n = 0; n < input.getNodeCount(); ++n)
        for (int f = 0; f < input.getFrameCount(); ++f) {
            const kmlMatrix4 a(input.getNode(n)->getKey(f)->matrix);
            EXPECT_LT(kgiTestRobot::maxDiff(kmlMatrix4(back.getNode(n)->getKey(f)->matrix), a), 1e-4f)
                << input.getNode(n)->name << " frame " << f;
            moved = std::max(moved, kgiTestRobot::maxDiff(kmlMatrix4(mirrored.getNode(n)->getKey(f)->matrix), a));
        }
    EXPECT_GT(moved, 0.1f); // the first mirror did change the motion
}

TEST_F(MotionFlipConsole, BadFramesAndEngineFailuresAreReported)
{
    const std::string motion = (dir / "robot" / "motion" / "DORUZAVO_1.kmm").string();
    const std::string target = kgiMotionFlipOutputPath(motion);
    EXPECT_EQ(run(motion, "0\n5\n"), 1); // the factory motion has one frame
    EXPECT_EQ(run(motion, "x"), 1);
    EXPECT_FALSE(fs::exists(target));

    // The left arm made a joint of another type: the right arm has no twin.
    {
        kgiModelData data;
        ASSERT_TRUE(data.load(scene.c_str()));
        for (kgiMeshRecord& r : data.models[0].records)
            if (r.sourceName && std::string(r.sourceName) == "LArm") {
                uint8_t* w = const_cast<uint8_t*>(r.flagWord);
                w[0] = uint8_t((w[0] & 0xF0) | 2);
            }
        ASSERT_TRUE(data.save(scene.c_str()));
    }
    EXPECT_EQ(run(motion, "0 0"), 2);
    EXPECT_NE(printed.find("!!! Error !!! \necode= 1   errNodeID= "), std::string::npos) << printed;
    EXPECT_FALSE(fs::exists(target));
}
