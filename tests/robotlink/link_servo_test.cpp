// Servo setters and the pose stream.
#include "linkTestSupport.h"

namespace {

const uint32_t CH = 0;

enum Op { SET, ADJUST, INC, DEC };

struct SetterCase {
    uint32_t board;
    int32_t start;
    Op op;
    int32_t arg;
    int expectedResult;
    int32_t expectedValue;
    int32_t expectedMark;
};

int apply(kgiRobotLink& link, Op op, int32_t arg)
{
    switch (op) {
    case SET: return link.setServo(5, arg, CH);
    case ADJUST: return link.adjustServo(5, arg, CH);
    case INC: return link.incServo(5, CH);
    case DEC: return link.decServo(5, CH);
    }
    return -1;
}

TEST(ServoSetters, RangesOfBothBoards)
{
    const uint32_t TLD = kgiRobotLink::BOARD_TLD8150, HX3 = kgiRobotLink::BOARD_HX3;
    const SetterCase cases[] = {
        {TLD, 100, SET, 191, 0, 100, 0},   {TLD, 100, SET, 9, 0, 100, 0},
        {TLD, 100, SET, 190, 1, 190, 1},   {TLD, 100, SET, 100, 0, 100, 0},
        {TLD, 100, ADJUST, 0, 0, 100, 0},  {TLD, 185, ADJUST, 6, 0, 185, 0},
        {TLD, 185, ADJUST, 5, 1, 190, 1},  {TLD, 15, ADJUST, -5, 1, 10, 1},
        {TLD, 190, INC, 0, 0, 190, 0},     {TLD, 10, DEC, 0, 0, 10, 0},
        {TLD, 50, DEC, 0, 1, 49, -1},
        {HX3, 100, SET, 0, 0, 100, 0},     {HX3, 100, SET, 32768, 0, 100, 0},
        {HX3, 100, SET, 32767, 1, 32767, 1}, {HX3, 32767, INC, 0, 0, 32767, 0},
        {HX3, 1, DEC, 0, 1, 0, -1},        {HX3, 0, DEC, 0, 0, 0, 0},
        {HX3, 2, ADJUST, -2, 0, 2, 0},
        {kgiRobotLink::BOARD_HX1, 100, SET, 500, 1, -1, 0},
    };
    RecordingMessages m;
    auto link = makeLink(&m);
    for (const SetterCase& c : cases) {
        link->channel[CH].HX = c.board;
        link->servo8[CH][5] = static_cast<uint8_t>(c.start);
        link->servo16[CH][5] = static_cast<uint16_t>(c.start);
        link->servoChanged[CH][5] = 0;
        SCOPED_TRACE(testing::Message() << "board " << c.board << " start " << c.start << " op " << c.op
                                        << " arg " << c.arg);
        EXPECT_EQ(c.expectedResult, apply(*link, c.op, c.arg));
        if (c.expectedValue >= 0) {
            EXPECT_EQ(c.expectedValue, c.board == TLD ? link->servo8[CH][5] : link->servo16[CH][5]);
        }
        EXPECT_EQ(c.expectedMark, link->servoChanged[CH][5]);
    }
}

TEST(ServoSetters, StepDownThenUpLeavesNoMark)
{
    RecordingMessages m;
    auto link = makeLink(&m);
    link->channel[CH].HX = kgiRobotLink::BOARD_HX3;
    EXPECT_EQ(1, link->decServo(7, CH));
    EXPECT_EQ(7, link->cmdVar[CH][49]);
    EXPECT_EQ(16384 + 7 - 1, link->cmdVar16[CH][89]);
    EXPECT_EQ(1, link->incServo(7, CH));
    EXPECT_EQ(0, link->servoChanged[CH][7]);
}

TEST(SendSpeed, KeepsTheLevelEvenWhenRefused)
{
    RecordingMessages m;
    auto link = makeLink(&m);
    link->channel[CH].HX = kgiRobotLink::BOARD_TLD8150;
    EXPECT_EQ(0, link->sendSpeed(16, CH));
    EXPECT_EQ(16, link->cmdVar[CH][26]);
    EXPECT_EQ(link->Q_Read[CH], link->Q_Write[CH]);
    EXPECT_EQ(1, link->sendSpeed(7, CH));
    EXPECT_EQ(0xE9, link->streamBuf[CH][0]);
    EXPECT_EQ(7, link->streamBuf[CH][1]);
    EXPECT_EQ(2, link->Q_Write[CH]);
}

class SendPose : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = makeLink(&m);
        link->channel[CH].HX = kgiRobotLink::BOARD_TLD8150;
        for (int s = 0; s < 24; ++s) link->servo8[CH][s] = static_cast<uint8_t>(50 + s);
    }
    // Leaves exactly `free` slots free.
    void leaveFree(uint32_t free)
    {
        link->Q_Read[CH] = 100;
        link->Q_Write[CH] = static_cast<uint8_t>(100 + 255 - free);
    }
    std::vector<uint8_t> streamed(int count)
    {
        std::vector<uint8_t> out;
        for (int i = 0; i < count; ++i) out.push_back(link->streamBuf[CH][i]);
        return out;
    }
    RecordingMessages m;
    std::unique_ptr<kgiRobotLink> link;
};

TEST_F(SendPose, QueuesTheWholePoseWithExactlyEnoughRoom)
{
    leaveFree(31);
    ASSERT_EQ(1, link->sendPose(3, 0, CH));
    EXPECT_EQ(0u, link->freeSlots(CH));
    std::vector<uint8_t> expected = {0xFA, 0xB2, 3, 0xEB, 0x00, 0x18};
    for (int s = 0; s < 24; ++s) expected.push_back(static_cast<uint8_t>(50 + s));
    expected.push_back(0xFB);
    EXPECT_EQ(expected, streamed(31));
    EXPECT_EQ(0u, link->poseWait[CH]);
}

TEST_F(SendPose, ModeOneLeavesTheEndByteToThePoseWait)
{
    leaveFree(31);
    ASSERT_EQ(1, link->sendPose(15, 1, CH));
    EXPECT_EQ(1u, link->freeSlots(CH));
    EXPECT_EQ(10u, link->poseWait[CH]);
}

TEST_F(SendPose, RefusedWithOneSlotTooFewOrABusyMachine)
{
    leaveFree(30);
    const uint8_t before = link->Q_Write[CH];
    EXPECT_EQ(0, link->sendPose(3, 0, CH));
    EXPECT_EQ(before, link->Q_Write[CH]);
    EXPECT_EQ(1u, link->Cmd_Skip[CH]);
    leaveFree(100);
    link->infoRead[CH] = 12;
    EXPECT_EQ(0, link->sendPose(3, 0, CH));
    EXPECT_EQ(2u, link->Cmd_Skip[CH]);
    link->infoRead[CH] = 0;
    link->poseWait[CH] = 33;  // waiting for the board does not refuse a pose
    EXPECT_EQ(1, link->sendPose(3, 0, CH));
}

} // namespace
