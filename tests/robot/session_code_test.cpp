// The motion compiler of the robot session: golden code for small motions in
// both forms (the download's, from the current time, and the entry file's,
// from the first key), the speed rule, and what is stored in the link.
#include "robot/session_fixture_test.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using kgiTestSession::SessionFixture;

// Servo values 0..5 of a pose; servos 6..23 drive nothing (100).
using Six = std::array<int, 6>;

// The expected code, written step by step as the board reads it.
struct Code {
    std::vector<int> v;
    Code()
    {
        v = {0xC1, 0xA6, 0xB8, 0xF1, 0xBE, 0xF8, 0xC0, 0xBD, 0x07, 0x0C, 0x07, 0x07, 0x2F, 0x1F, 0, 0,
             0xDA, 0x10, 0xDA, 0x11, 0xDA, 0x12, 0x02};
        for (int n = 3; n <= 23; ++n) v.insert(v.end(), {0xDA, 0x12, n});
        v.insert(v.end(), {0xB6, 0x06});
    }
    Code& pose(const Six& s, bool step)
    {
        v.insert(v.end(), {0xB0, 0x00, 0x18});
        v.insert(v.end(), s.begin(), s.end());
        v.insert(v.end(), 18, 100);
        if (step) v.push_back(0xE9);
        return *this;
    }
    Code& initial(const Six& s) { return pose(s, false); }
    Code& step(const Six& s) { return pose(s, true); }
    Code& speed(int level)
    {
        v.insert(v.end(), {0xDD, 0x12, level});
        return *this;
    }
    Code& delay(int ms)
    {
        v.insert(v.end(), {0xD4, 0x13, ms & 0xFF, ms >> 8, 0xE9});
        return *this;
    }
    std::vector<int> done() const
    {
        std::vector<int> out = v;
        const int before = int(out.size()) + 3;
        out.insert(out.end(), {0xB6, 0x05, 0xC4, before & 0xFF, before >> 8});
        out[14] = int(out.size()) & 0xFF;
        out[15] = int(out.size()) >> 8;
        return out;
    }
};

const Six REST = {100, 100, 100, 100, 100, 180};
// The walk below: J0 0, 20, 20, 40 degrees and J5 0, 0, 0, 20 at frames 0,
// 10, 20, 30; J5's last value (200) is past the board's range.
const Six AT0 = REST;
const Six AT10 = {120, 100, 100, 100, 100, 180};
const Six AT30 = {140, 100, 100, 100, 100, 190};

struct Case {
    const char* what;
    std::vector<float> frames;
    std::vector<float> j0;
    std::vector<float> j5;
    bool fromFirstKey;
    int start;
    bool initialOnly;
    std::vector<int> expected;
};

class SessionCode : public SessionFixture {};

TEST_F(SessionCode, CompilesGoldenCodeForBothForms)
{
    const std::vector<float> walkFrames = {0, 10, 20, 30};
    const std::vector<float> walkJ0 = {0, 20, 20, 40};
    const std::vector<float> walkJ5 = {0, 0, 0, 20};
    // Speed of 20 units over 10 frames: 50 ms a unit, 60 / 50 + 1 = 2.
    const Case cases[] = {
        {"download form from frame 0: a still key at t writes nothing, a still key later its pause, "
         "the second move at the same speed no speed step; J5 held to 190",
         walkFrames, walkJ0, walkJ5, false, 0, false,
         Code().initial(AT0).speed(2).step(AT10).delay(1000).step(AT30).done()},
        {"download form from frame 20: earlier keys left out", walkFrames, walkJ0, walkJ5, false, 20, false,
         Code().initial(AT10).speed(2).step(AT30).done()},
        {"download form for slot 18: initial pose only", walkFrames, walkJ0, walkJ5, false, 0, true,
         Code().initial(AT0).done()},
        {"download form: a 70 s pause split", {0, 700}, {0, 0}, {0, 0}, false, 0, false,
         Code().initial(REST).delay(65535).delay(4465).done()},
        {"entry form: steps from the key before, pause one frame short", walkFrames, walkJ0, walkJ5, true, 0, false,
         Code().initial(AT0).speed(2).step(AT10).delay(900).step(AT30).done()},
        {"entry form: keys half a frame apart pause 0, not a negative pause", {0, 0.5f}, {0, 0}, {0, 0}, true, 0,
         false, Code().initial(REST).delay(0).done()},
        {"entry form: a 70 s pause split", {0, 700}, {0, 0}, {0, 0}, true, 0, false,
         Code().initial(REST).delay(65535).delay(4365).done()},
        {"entry form: one key", {5}, {10}, {0}, true, 0, false, Code().initial({110, 100, 100, 100, 100, 180}).done()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::vector<float>> values(JOINTS, std::vector<float>(c.frames.size(), 0.0f));
        values[0] = c.j0;
        values[5] = c.j5;
        // A fresh motion for each case: the tree's curves start over.
        SessionFixture::TearDown();
        SessionFixture::SetUp();
        keyMotion(c.frames, values);
        auto session = newSession();
        session->setDefaultPose();
        EXPECT_EQ(session->compileCode(c.frames, c.fromFirstKey, c.start, c.initialOnly), c.expected);
    }
}

TEST_F(SessionCode, SpeedIsHeldToTheBoardLevelsBeforeItBecomesAnInteger)
{
    // At 10 frames a second a frame is 100 ms: ms per unit = frames * 100 / delta.
    const struct {
        int delta;
        float frames;
        int speed;
    } cases[] = {
        {100, 1.0f, 15},   // 1 ms a unit: 61, held to 15
        {10, 3.0f, 3},     // 30 ms: 3
        {20, 10.0f, 2},    // 50 ms: 2.2
        {1, 1000.0f, 1},   // 100 s: just above 1
        {5, 0.0f, 15},     // no time at all
        {5, 1e-30f, 15},   // almost none
        {5, -4.0f, 1},     // keys out of order
    };
    auto session = newSession();
    for (const auto& c : cases)
        EXPECT_EQ(session->computeSpeed(c.delta, c.frames), c.speed) << c.delta << " over " << c.frames;
}

TEST_F(SessionCode, CompileMotionStoresSlot32AndAnswersWhetherTheImageChanged)
{
    keyMotion({0, 10, 20, 30}, {{0, 20, 20, 40}});
    auto session = newSession();
    kgiRobotLink& link = session->getLink();
    const int n = int(session->compileCode(character->getKeyTimes(), false, 0, false).size());

    EXPECT_TRUE(session->compileMotion(0));
    EXPECT_EQ(link.slotLength[1][31], n - 89);
    EXPECT_FALSE(session->compileMotion(0)) << "the same motion leaves the image as it was";
    EXPECT_TRUE(session->compileMotion(1));
    EXPECT_EQ(link.slotLength[1][17], 88 + 27 + 5 - 89);
    EXPECT_TRUE(services.captions.empty());
}

TEST_F(SessionCode, NothingToCompileGivesWarning150)
{
    auto session = newSession();
    EXPECT_FALSE(session->compileMotion(0));
    world->setCurrentCharacter(-1);
    EXPECT_FALSE(session->compileMotion(0));
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Warning - 150", "Warning - 150"}));
    EXPECT_EQ(services.texts, (std::vector<std::string>{"Wr_No_Data", "Wr_No_Data"}));
    EXPECT_EQ(session->getLink().slotLength[1][31], 0);
}

TEST_F(SessionCode, AMotionTooLongOrWithoutRoomIsRefusedBeforeAnythingIsStored)
{
    // 2,400 moving keys need some 67,000 values.
    for (int k = 0; k < 2400; ++k) {
        ASSERT_TRUE(table().addJointKeyByName(character, "J0", float(k), k % 2 ? 10.0f : 0.0f));
        character->editKeyTimes().push_back(float(k));
    }
    auto session = newSession();
    kgiRobotLink& link = session->getLink();
    EXPECT_TRUE(session->compileCode(character->getKeyTimes(), false, 0, false).empty());
    EXPECT_FALSE(session->compileMotion(0));
    EXPECT_EQ(link.slotLength[1][31], 0);
    EXPECT_EQ(link.imageLength[1], 0);

    // A short motion, but the other slots leave the image no room.
    character->editKeyTimes().resize(3);
    link.slotLength[1][0] = 65000;
    EXPECT_FALSE(session->compileMotion(0));
    EXPECT_EQ(link.slotLength[1][31], 0);
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Error", "Error"}));
    EXPECT_EQ(services.texts, (std::vector<std::string>{"Wr_Motion_TooLong", "Wr_Motion_TooLong"}));
}

} // namespace
