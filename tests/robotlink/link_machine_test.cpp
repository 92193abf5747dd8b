// The request machines end to end against the simulated board, and their
// room checks.
#include <set>

#include "linkTestSupport.h"
#include "platform/serial.h"

namespace {

class MachineTest : public BoardFixture {
protected:
    bool idle() const { return link->machinesIdle(CH) && link->poseWait[CH] == 0 && settled(); }
    int runToIdle(int maxTicks = 5000) { return stepUntil([this] { return idle(); }, maxTicks); }

    // An image of exactly `values` values, the length in its header.
    void imageOf(int32_t values)
    {
        for (int32_t i = 0; i < values; ++i) link->Remo_File_Tbl[CH][i] = static_cast<uint32_t>(i * 31 + 7) & 0xFF;
        link->Remo_File_Tbl[CH][14] = values & 0xFF;
        link->Remo_File_Tbl[CH][15] = values >> 8;
        link->imageLength[CH] = values;
        link->bytesToSend[CH] = values;
    }
    std::vector<uint8_t> expectedImage(int32_t values)
    {
        std::vector<uint8_t> v;
        for (int32_t i = 0; i < values; ++i) v.push_back(static_cast<uint8_t>(link->Remo_File_Tbl[CH][i]));
        return v;
    }
    std::vector<uint8_t> sentAt(unsigned baud)
    {
        std::vector<uint8_t> v;
        for (const kgiSimBoard::Received& r : board.received())
            if (r.baud == baud) v.push_back(r.byte);
        return v;
    }
    void faults(const std::function<void(kgiSimBoard::Faults&)>& set)
    {
        kgiSimBoard::Faults f;
        set(f);
        board.setFaults(f);
    }
};

TEST_F(MachineTest, DownloadsSendEveryBlockAtTransferSpeed)
{
    struct Case { int32_t values; unsigned blocks; } cases[] = {{128, 1}, {129, 2}, {21732, 170}};
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        board.clearReceived();
        imageOf(c.values);
        ASSERT_EQ(1, link->startDownload(1, 0, CH));
        ASSERT_LT(runToIdle(), 5000);
        EXPECT_EQ(kgiRobotLink::DOWNLOAD_DONE, link->downloadResult[CH]);
        EXPECT_EQ(expectedImage(c.values), board.image());
        EXPECT_EQ(0u, board.garbled());
        // Length, "?", and the blocks (the last one byte shorter) at 115200.
        EXPECT_EQ(2 + 1 + c.blocks * 130 - 1, sentAt(115200).size());
        EXPECT_EQ((std::vector<uint8_t>{0xFA, 0xEC, 0xFB}), sentAt(9600));
        EXPECT_EQ(9600u, link->channel[CH].BaudRate);
        EXPECT_EQ(9600u, platform::serialBaud(link->portHandle[CH]));
    }
    EXPECT_EQ(173u, board.blocksReceived());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MachineTest, DownloadThenPlayPollsTheBoardUntilTheMotionEnds)
{
    open();
    board.playPolls = 4;
    imageOf(200);
    ASSERT_EQ(1, link->startDownload(1, 7, CH));
    ASSERT_LT(runToIdle(), 5000);
    EXPECT_EQ(kgiRobotLink::DOWNLOAD_DONE, link->downloadResult[CH]);
    const std::vector<uint8_t> low = sentAt(9600);
    const std::vector<uint8_t> tail(low.end() - 4 - 2 * 5, low.end() - 2 * 5);
    EXPECT_EQ((std::vector<uint8_t>{0xF8, 0x40, 0x01, 7}), tail);
    EXPECT_EQ(5u, board.statusPolls());  // four busy answers, then idle
}

TEST_F(MachineTest, DroppedPacketMakesTheDownloadReportDropped)
{
    open();
    faults([](kgiSimBoard::Faults& f) { f.wrongAnswers = 2; });  // the opening FA, twice
    imageOf(300);
    ASSERT_EQ(1, link->startDownload(1, 0, CH));
    ASSERT_LT(runToIdle(), 5000);
    EXPECT_EQ(kgiRobotLink::DOWNLOAD_DROPPED, link->downloadResult[CH]);
    EXPECT_EQ(expectedImage(300), board.image());  // the rest still went through
    EXPECT_EQ(0u, link->linkLost[CH]);
}

TEST_F(MachineTest, ARefusedBlockEndsTheTransferAtLowSpeedAndIsNeverSentAgain)
{
    // The board answers "X" and goes back to 9600 at once: after the refusal
    // only the closing FB may reach it, at 9600, and nothing at the transfer
    // speed (a resent block would arrive garbled).
    struct Case { const char* what; int32_t values; int refused; } cases[] = {
        {"first of eight", 1000, 0},
        {"last of eight", 1000, 7},
        {"the only block", 128, 0},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.clearReceived();
        const unsigned garbledBefore = board.garbled();
        const unsigned blocksBefore = board.blocksReceived();
        faults([&](kgiSimBoard::Faults& f) { f.rejectBlock = c.refused; });
        imageOf(c.values);
        ASSERT_EQ(1, link->startDownload(1, 0, CH));
        ASSERT_LT(stepUntil([this] { return link->downloadResult[CH] == kgiRobotLink::DOWNLOAD_REJECTED; }, 500), 500);
        ASSERT_LT(runToIdle(), 500);
        EXPECT_EQ(kgiRobotLink::DOWNLOAD_REJECTED, link->downloadResult[CH]);
        EXPECT_EQ(9600u, link->channel[CH].BaudRate);
        EXPECT_EQ(9600u, platform::serialBaud(link->portHandle[CH]));
        const bool last = (c.refused + 1) * 128 >= c.values;
        EXPECT_EQ(2 + 1 + (c.refused + 1) * 130 - (last ? 1 : 0), int(sentAt(115200).size()));
        EXPECT_EQ((std::vector<uint8_t>{0xFA, 0xEC, 0xFB}), sentAt(9600));
        EXPECT_EQ(garbledBefore, board.garbled());
        EXPECT_EQ(blocksBefore + c.refused + 1, board.blocksReceived());
        EXPECT_EQ(0u, link->linkLost[CH]);
        EXPECT_TRUE(messages.shown.empty());
    }
    EXPECT_TRUE(board.image().empty());
}

TEST_F(MachineTest, BoardLostDuringTransferReportsALostLink)
{
    struct Case { const char* what; bool silentAtTransfer; bool dropSwitch; } cases[] = {
        {"silent after the speed switch", true, false},
        {"board stays at low speed", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open();
        board.setFaults(kgiSimBoard::Faults());
        faults([&](kgiSimBoard::Faults& f) { f.dropSpeedSwitch = c.dropSwitch; });
        imageOf(1000);
        ASSERT_EQ(1, link->startDownload(1, 0, CH));
        if (c.silentAtTransfer) {
            stepUntil([this] { return link->download[CH] == 310; }, 100);
            faults([](kgiSimBoard::Faults& f) { f.silent = true; });
        }
        ASSERT_LT(stepUntil([this] { return link->download[CH] == 0; }, 1000), 1000);
        EXPECT_EQ(kgiRobotLink::DOWNLOAD_LOST, link->downloadResult[CH]);
        EXPECT_EQ(1u, link->linkLost[CH]);
        EXPECT_EQ(9600u, link->channel[CH].BaudRate);
        EXPECT_TRUE(ringEmpty());
        ASSERT_EQ(0, link->closeChannel(CH));
        board.setFaults(kgiSimBoard::Faults());
        board.serve(0, 0);
    }
}

TEST_F(MachineTest, FailedReopenEndsTheDownloadAsALostLink)
{
    open();
    imageOf(300);
    ASSERT_EQ(1, link->startDownload(1, 0, CH));
    stepUntil([this] { return link->download[CH] == 299; }, 100);
    const std::string map = link->portMapFile;
    ASSERT_TRUE(kgiPointPortAt(*link, PORT, "/nonexistent/tty"));
    ASSERT_LT(stepUntil([this] { return link->download[CH] == 0; }, 20), 20);
    EXPECT_EQ(kgiRobotLink::DOWNLOAD_LOST, link->downloadResult[CH]);
    EXPECT_EQ(1u, link->linkLost[CH]);
    EXPECT_EQ(0u, link->channel[CH].BaudRate);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ("Hi_Spd COM Open Fail!", messages.shown.back().second);
    std::remove(map.c_str());
}

TEST_F(MachineTest, InformationReadFillsTheWordsInOrder)
{
    open();
    imageOf(485);
    link->buildRemoteFile(0, 0, CH);  // a stamped image for the board to keep
    ASSERT_EQ(1, link->startDownload(1, 0, CH));
    ASSERT_LT(runToIdle(), 5000);
    for (int i = 0; i < 6; ++i) board.info[i] = static_cast<uint8_t>(0xA0 + i);
    ASSERT_EQ(1, link->startInfoRead(1, CH));
    ASSERT_LT(runToIdle(), 5000);
    const uint32_t expected[24] = {
        0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
        kgiSimBoard::tableValue(0xF2), kgiSimBoard::tableValue(0xF3),
        'R', 'E', 'M', 'O', 'C', 'O', 'N', ' ',
        26, 3, 9, 14, 5, 7,  // the stamp: year - 2000, month, day, hour, minute, second
        0xE5, 0x01,          // the image length, 485
    };
    for (int i = 0; i < 24; ++i) EXPECT_EQ(expected[i], link->robotInfo[CH][i]) << "word " << i;
}

TEST_F(MachineTest, InformationTextBytesAreNotSignExtended)
{
    open();
    imageOf(485);
    link->Remo_File_Tbl[CH][0] = 0xC1;  // a Shift-JIS lead byte
    ASSERT_EQ(1, link->startDownload(1, 0, CH));
    ASSERT_LT(runToIdle(), 5000);
    ASSERT_EQ(1, link->startInfoRead(1, CH));
    ASSERT_LT(runToIdle(), 5000);
    EXPECT_EQ(0xC1u, link->robotInfo[CH][8]);
}

TEST_F(MachineTest, PoseReadInEachMode)
{
    struct Case { int mode; std::set<uint8_t> servos; std::set<uint8_t> banks; } cases[] = {
        {0, {0, 1, 2, 3, 4, 6, 7, 8, 12, 13, 14, 18, 19, 20, 21, 22}, {0, 1, 2, 3}},
        {1, {6, 7, 8, 12, 13, 14}, {1, 2}},
        {2, {0, 1, 2, 3, 4, 18, 19, 20, 21, 22}, {0, 3}},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        board.clearReceived();
        for (int s = 0; s < 24; ++s) board.servo[s] = static_cast<uint8_t>(20 + s + c.mode);
        ASSERT_EQ(1, link->startPoseRead(CH, c.mode));
        EXPECT_EQ(0, link->startInfoRead(1, CH));  // the machines are busy
        // Runs until every bank has been read at least once.
        ASSERT_LT(stepUntil([&] {
                      for (uint8_t s : c.servos)
                          if (link->servo8[CH][s] != board.servo[s]) return false;
                      return true;
                  }, 500), 500);
        for (int s = 0; s < 24; ++s) {
            if (!c.banks.count(static_cast<uint8_t>(s / 6))) {
                EXPECT_NE(board.servo[s], link->servo8[CH][s]);
            }
        }
        EXPECT_EQ(1, link->stopPoseRead(CH));
        ASSERT_LT(runToIdle(), 1000);
        EXPECT_EQ(1u, link->servosHeld[CH]);

        // Released with FA, E8 s...; read with D7+g; held with D2 s, F8 s+20 03 v, F8 s 03 v, E7 s; FB.
        const std::vector<uint8_t> got = sentAt(9600);
        std::set<uint8_t> released, banks, held;
        ASSERT_EQ(0xFA, got[0]);
        for (size_t i = 1; i + 1 < got.size() && got[i] == 0xE8; i += 2) released.insert(got[i + 1]);
        for (size_t i = 0; i + 1 < got.size(); ++i) {
            if (got[i] >= 0xD7 && got[i] <= 0xDA) banks.insert(static_cast<uint8_t>(got[i] - 0xD7));
            if (got[i] == 0xE7) held.insert(got[i + 1]);
        }
        EXPECT_EQ(c.servos, released);
        EXPECT_EQ(c.banks, banks);
        EXPECT_EQ(c.servos, held);
        EXPECT_EQ(0xFB, got.back());
    }
}

TEST_F(MachineTest, PoseWaitEndsWhenTheBoardIsDoneOrAfterItsTimeOut)
{
    struct Case { int busyPolls; int minTicks; int maxTicks; } cases[] = {
        {3, 1, 100},   // busy, then done: the end byte follows at once
        {0, 100, 200}, // never busy: the wait gives up after 100 ticks
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busyPolls);
        board.clearReceived();
        faults([&](kgiSimBoard::Faults& f) { f.busyPolls = c.busyPolls; });
        ASSERT_EQ(1, link->sendPose(15, 1, CH));
        const int ticks = runToIdle(1000);
        EXPECT_GE(ticks, c.minTicks);
        EXPECT_LT(ticks, c.maxTicks);
        EXPECT_EQ(0xFB, sentAt(9600).back());
    }

    // Busy, then silent: the dropped status poll ends the wait with the link.
    faults([](kgiSimBoard::Faults& f) { f.busyPolls = -1; });
    ASSERT_EQ(1, link->sendPose(15, 1, CH));
    ASSERT_LT(stepUntil([this] { return link->poseWait[CH] == 34; }, 200), 200);
    faults([](kgiSimBoard::Faults& f) { f.silent = true; });
    ASSERT_LT(stepUntil([this] { return link->poseWait[CH] == 0; }, 1000), 1000);
    EXPECT_EQ(1u, link->linkLost[CH]);
}

// --- room checks, without a board: the channel is marked open, no port ---

class MachineRoomTest : public ::testing::Test {
protected:
    static constexpr uint32_t CH = 2;
    void SetUp() override
    {
        link = makeLink(&messages);
        link->channel[CH].BaudRate = 9600;
        link->channel[CH].HX = kgiRobotLink::BOARD_TLD8150;
        link->channel[CH].Buffer = kgiRobotLink::BUFFER_FIFO;
    }
    void leaveFree(uint32_t free)
    {
        link->Q_Read[CH] = 10;
        link->Q_Write[CH] = static_cast<uint8_t>(10 + 255 - free);
        link->inFlight[CH] = 1;  // keeps the worker off the ring
        link->ioState[CH] = 6;
    }
    RecordingMessages messages;
    std::unique_ptr<kgiRobotLink> link;
};

TEST_F(MachineRoomTest, InformationTableWaitsForRoomForAllItsPackets)
{
    link->infoRead[CH] = 22;
    leaveFree(71);
    link->tick();
    EXPECT_EQ(22u, link->infoRead[CH]);
    leaveFree(72);
    link->tick();
    EXPECT_EQ(23u, link->infoRead[CH]);
    EXPECT_EQ(0u, link->freeSlots(CH));
}

TEST_F(MachineRoomTest, PendingServoChangesWaitForRoomAndForTheTransfer)
{
    link->adjustServo(3, 1, CH);
    link->adjustServo(9, -1, CH);
    leaveFree(6);  // two servos need 3 + 3 + 1
    link->tick();
    EXPECT_EQ(1, link->servoChanged[CH][3]);
    link->download[CH] = 310;
    leaveFree(7);
    link->tick();
    EXPECT_EQ(1, link->servoChanged[CH][3]);
    link->download[CH] = 0;
    link->tick();
    EXPECT_EQ(0, link->servoChanged[CH][3]);
    EXPECT_EQ(0, link->servoChanged[CH][9]);
    EXPECT_EQ(0u, link->freeSlots(CH));
}

TEST_F(MachineRoomTest, StartersAnswerAcceptedOrBusy)
{
    EXPECT_EQ(0, link->startPoseRead(CH, 3));
    EXPECT_EQ(1, link->startPoseRead(CH, 1));
    EXPECT_EQ(0, link->startInfoRead(1, CH));
    EXPECT_EQ(0, link->queueCommand53(CH));
    EXPECT_EQ(0u, link->Cmd_Skip[CH]);
    EXPECT_EQ(0, link->sendRemoteControl(5, CH));
    EXPECT_EQ(1u, link->Cmd_Skip[CH]);
    link->poseRead[CH] = 0;
    leaveFree(3);
    EXPECT_EQ(0, link->sendRemoteControl(5, CH));
    EXPECT_EQ(2u, link->Cmd_Skip[CH]);
    leaveFree(4);
    EXPECT_EQ(1, link->sendRemoteControl(5, CH));
}

TEST_F(MachineRoomTest, IsIdleNeedsElevenQuietChecks)
{
    for (int i = 0; i < 10; ++i) EXPECT_EQ(0u, link->isIdle(CH)) << i;
    EXPECT_EQ(1u, link->isIdle(CH));
    link->Q_Write[CH] = 1;
    EXPECT_EQ(0u, link->isIdle(CH));
    EXPECT_EQ(0u, link->idleCount[CH]);
}

TEST_F(MachineRoomTest, ServoGroupSendsItsSecondPairOnTheFourthTick)
{
    leaveFree(100);
    const uint8_t start = link->Q_Write[CH];
    ASSERT_EQ(1, link->startServoGroup(0, CH));
    link->tick();
    EXPECT_EQ(4, static_cast<uint8_t>(link->Q_Write[CH] - start));
    EXPECT_EQ(0xE6, link->streamBuf[CH][0]);
    EXPECT_EQ(4, link->streamBuf[CH][1]);
    EXPECT_EQ(103, link->streamBuf[CH][2]);
    for (int i = 0; i < 3; ++i) link->tick();
    EXPECT_EQ(4, static_cast<uint8_t>(link->Q_Write[CH] - start));
    link->tick();
    EXPECT_EQ(8, static_cast<uint8_t>(link->Q_Write[CH] - start));
    EXPECT_EQ(22, link->streamBuf[CH][5]);
    EXPECT_EQ(96, link->streamBuf[CH][6]);
    EXPECT_EQ(0u, link->servoGroup[CH]);
}

TEST_F(MachineRoomTest, Hx3StartersAndServoChanges)
{
    link->channel[CH].HX = kgiRobotLink::BOARD_HX3;
    EXPECT_EQ(1, link->startPlayMotion80(2, CH));
    EXPECT_EQ(82u, link->hxMotion[CH]);
    EXPECT_EQ(1u, link->hxByteRows[CH]);
    EXPECT_EQ(1u, link->hxMachinesBusy(CH));
    EXPECT_EQ(0, link->startPlayMotionB(3, CH));
    link->hxMachineA[CH] = 0;
    // Writing a motion without rows has nothing to do.
    EXPECT_EQ(1, link->startPlayMotionB(3, CH));
    link->tick();
    EXPECT_EQ(0u, link->hxMachineB[CH]);

    // A changed servo goes out as one whole-pose packet with id 0, which
    // the board does not answer.
    link->incServo(4, CH);
    const uint8_t before = link->Q_Write[CH];
    link->inFlight[CH] = 1;
    link->ioState[CH] = 6;
    link->tick();
    ASSERT_EQ(1, static_cast<uint8_t>(link->Q_Write[CH] - before));
    const uint8_t* slot = link->queue[CH][before];
    EXPECT_EQ(54 + 128, slot[0]);
    EXPECT_EQ(0xFD, slot[1]);
    EXPECT_EQ(108, slot[1 + 54]);
    EXPECT_EQ(0, link->servoChanged[CH][4]);
}

TEST_F(MachineRoomTest, Hx3MotionWriteTellsTheBoardItsRowCount)
{
    link->channel[CH].HX = kgiRobotLink::BOARD_HX3;
    // Three rows to write; variable 45 still holds what an earlier write's
    // header sent (rows + 1).
    link->hxRowCount[CH] = 3;
    link->cmdVar[CH][45] = 4;
    link->hxMachineB[CH] = 51;  // the servo values were restored
    link->lastResult[CH] = kgiRobotLink::REPLY_ANSWERED;
    link->tick();
    EXPECT_EQ(70u, link->hxMachineB[CH]);
    EXPECT_EQ(3u, link->hxRowCount[CH]);
    EXPECT_EQ(3, link->cmdVar[CH][45]);
}

} // namespace
