// The I/O worker against the simulated board: replies, retries, drops, the
// lost-link recovery and the status re-poll.
#include "linkTestSupport.h"
#include "platform/serial.h"

namespace {

class WorkerTest : public BoardFixture {
protected:
    // Worker-only steps until every packet is settled.
    int drain(int maxSteps = 1000)
    {
        return stepUntil([this] { return settled(); }, maxSteps, false);
    }
    std::vector<uint8_t> boardGot()
    {
        std::vector<uint8_t> bytes;
        for (const kgiSimBoard::Received& r : board.received()) bytes.push_back(r.byte);
        return bytes;
    }
    void faults(const std::function<void(kgiSimBoard::Faults&)>& set)
    {
        kgiSimBoard::Faults f;
        set(f);
        board.setFaults(f);
    }
};

TEST_F(WorkerTest, AnsweredPacketsAreCountedAndSettled)
{
    open();
    link->enqueueCommand(53, CH);
    link->streamByte(0x42, CH);
    link->enqueueCommand(57, CH);
    ASSERT_LT(drain(), 1000);
    const kgiRobotLink::Channel& r = link->channel[CH];
    EXPECT_EQ((std::vector<uint8_t>{0xFA, 0x42, 0xB0}), boardGot());
    EXPECT_EQ(3u, r.Send);
    EXPECT_EQ(3u, r.Receive);
    EXPECT_EQ(0u, r.Error);
    EXPECT_EQ(0u, r.Power);
    EXPECT_EQ(1u, link->replyStatus(CH));
    EXPECT_EQ(0, link->closeChannel(CH));
}

TEST_F(WorkerTest, SilentBoardDropsTheCommandAndRecoversAtLowSpeed)
{
    open();
    ASSERT_EQ(0, link->closeChannel(CH));
    ASSERT_EQ(0, link->reopenChannel(CH, 115200));  // as in the middle of a download
    faults([](kgiSimBoard::Faults& f) { f.silent = true; });
    link->download[CH] = 310;
    link->downloadResult[CH] = kgiRobotLink::DOWNLOAD_RUNNING;
    link->poseRead[CH] = 12;
    link->servosHeld[CH] = 0;
    link->infoRead[CH] = 13;
    for (int i = 0; i < 3; ++i) link->enqueueCommand(53, CH);

    ASSERT_LT(stepUntil([this] { return link->linkLost[CH] == 1 && ringEmpty() && !link->inFlight[CH]; },
                        400, false),
              400);
    const kgiRobotLink::Channel& r = link->channel[CH];
    EXPECT_EQ((std::vector<uint8_t>{0xFA, 0xFA}), boardGot());  // sent twice, then given up
    EXPECT_EQ(1u, r.Error);
    EXPECT_EQ(2u, link->replyStatus(CH));
    EXPECT_EQ(1u, r.Power);
    EXPECT_EQ(0u, link->download[CH]);
    EXPECT_EQ(kgiRobotLink::DOWNLOAD_LOST, link->downloadResult[CH]);
    EXPECT_EQ(0u, link->poseRead[CH]);
    EXPECT_EQ(0u, link->infoRead[CH]);
    EXPECT_EQ(1u, link->servosHeld[CH]);  // the next pose read can start
    EXPECT_EQ(9600u, r.BaudRate);
    EXPECT_EQ(9600u, platform::serialBaud(link->portHandle[CH]));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(0, link->closeChannel(CH));  // a lost link closes at once
}

TEST_F(WorkerTest, WrongEchoIsSentTwiceThenDroppedAndTheNextPacketGoesOut)
{
    open();
    faults([](kgiSimBoard::Faults& f) { f.wrongAnswers = 2; });
    link->enqueueCommand(53, CH);
    link->enqueueCommand(57, CH);
    ASSERT_LT(drain(), 1000);
    const kgiRobotLink::Channel& r = link->channel[CH];
    EXPECT_EQ((std::vector<uint8_t>{0xFA, 0xFA, 0xB0}), boardGot());
    EXPECT_EQ(1u, r.Error);
    EXPECT_EQ(1u, r.Receive);
    EXPECT_EQ(0u, link->linkLost[CH]);  // a wrong answer is an answer
    EXPECT_EQ(1u, link->replyStatus(CH));
}

TEST_F(WorkerTest, SurplusOrLateByteCostsAtMostOnePacketNotTheLink)
{
    // A surplus byte is dropped before the next write; a late answer costs
    // the first attempt its reply, and the retry is answered.
    struct Case { const char* what; kgiSimBoard::Faults f; size_t written; } cases[2];
    cases[0].what = "surplus byte";
    cases[0].f.surplusBytes = 1;
    cases[0].written = 7;
    cases[1].what = "late answer";
    cases[1].written = 8;
    cases[1].f.lateAnswers = 1;
    cases[1].f.lateServes = 150;  // after the reply wait has given up
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.clearReceived();
        open();
        board.setFaults(c.f);
        for (int i = 0; i < 6; ++i) link->enqueueCommand(i % 2 ? 57 : 53, CH);
        ASSERT_LT(drain(2000), 2000);
        // Let the late byte arrive and be drained while idle.
        stepUntil([this] { return board.faults().lateAnswers == 0 && board.bytesOut() == link->wireIn[CH]; },
                  400, false);
        link->enqueueCommand(53, CH);
        ASSERT_LT(drain(), 1000);
        const kgiRobotLink::Channel& r = link->channel[CH];
        EXPECT_LE(r.Error, 1u);
        EXPECT_GE(r.Receive, 6u);
        EXPECT_EQ(7u, r.Receive + r.Error);
        EXPECT_GE(board.received().size(), c.written);
        EXPECT_EQ(0u, link->linkLost[CH]);
        EXPECT_EQ(9600u, r.BaudRate);
        ASSERT_EQ(0, link->closeChannel(CH));
    }
}

TEST_F(WorkerTest, StrayBytesWhileIdleAreDrainedOnePerCall)
{
    open();
    for (uint8_t b : {0x31, 0x32, 0x33}) board.sendStray(b);
    board.serve();
    stepUntil([this] { return link->wireIn[CH] == 3; }, 50, false);
    EXPECT_EQ(3u, link->wireIn[CH]);
    EXPECT_EQ(0, platform::serialBytesWaiting(link->portHandle[CH]));
    link->enqueueCommand(53, CH);
    ASSERT_LT(drain(), 1000);
    EXPECT_EQ(1u, link->channel[CH].Receive);
}

TEST_F(WorkerTest, BusyStatusRepeatsThePollUntilTheBoardIsDone)
{
    open();
    faults([](kgiSimBoard::Faults& f) { f.busyPolls = 3; });
    link->enqueueCommand(57, CH);
    link->enqueueCommand(58, CH);
    ASSERT_LT(drain(), 1000);
    EXPECT_EQ(4u, board.statusPolls());
    EXPECT_EQ(0, link->boardStatus[CH]);
    EXPECT_EQ(0u, link->channel[CH].Error);
    EXPECT_EQ(0u, link->statusWaitEnded[CH]);
}

TEST_F(WorkerTest, StatusStuckBusyEndsWithAReportedFailure)
{
    open();
    link->statusRepollLimit = 5;
    faults([](kgiSimBoard::Faults& f) { f.busyPolls = -1; });
    link->enqueueCommand(57, CH);
    link->enqueueCommand(58, CH);
    ASSERT_LT(drain(), 1000);
    EXPECT_EQ(6u, board.statusPolls());
    EXPECT_EQ(1u, link->channel[CH].Error);
    EXPECT_EQ(2u, link->replyStatus(CH));
    EXPECT_EQ(1u, link->statusWaitEnded[CH]);
    ASSERT_EQ(1u, messages.shown.size());
    EXPECT_EQ("Error - 005", messages.shown[0].first);
}

TEST_F(WorkerTest, RewindOnAFullRingKeepsTheQueue)
{
    open();
    faults([](kgiSimBoard::Faults& f) { f.busyPolls = 1; });
    link->enqueueCommand(57, CH);
    link->enqueueCommand(58, CH);
    while (!link->queueIsFull(1, CH)) link->enqueueCommand(53, CH);
    // 57 answered: one slot frees, and is taken again at once.
    stepUntil([this] { return link->channel[CH].Receive == 1; }, 200, false);
    while (!link->queueIsFull(1, CH)) link->enqueueCommand(53, CH);
    stepUntil([this] { return link->channel[CH].Receive == 2; }, 200, false);
    EXPECT_EQ(1u, board.statusPolls());
    EXPECT_EQ(1u, link->statusWaitEnded[CH]);
    EXPECT_EQ(1u, link->freeSlots(CH));  // 254 packets still queued, none lost
}

TEST_F(WorkerTest, FiloSendsOnlyTheNewestPacket)
{
    ASSERT_EQ(0, link->openChannel(CH, PORT, kgiRobotLink::BOARD_TLD8150, kgiRobotLink::BUFFER_FILO,
                                   kgiRobotLink::ROBOT_DORUZAVO1, 9600, 0));
    for (uint8_t b = 1; b <= 5; ++b) link->streamByte(b, CH);
    ASSERT_LT(drain(), 1000);
    EXPECT_EQ(std::vector<uint8_t>{5}, boardGot());
    EXPECT_EQ(1u, link->channel[CH].Send);
    EXPECT_EQ(1u, link->channel[CH].Receive);
}

TEST_F(WorkerTest, UnansweredHx3PrefaceGivesUpTheCommand)
{
    ASSERT_EQ(0, link->openChannel(CH, PORT, kgiRobotLink::BOARD_HX3, kgiRobotLink::BUFFER_FIFO,
                                   kgiRobotLink::ROBOT_VRT1, 9600, 0));
    faults([](kgiSimBoard::Faults& f) { f.silent = true; });
    link->enqueueCommand(12, CH);
    ASSERT_LT(drain(100), 100);
    const std::vector<uint8_t> sent = boardGot();
    EXPECT_EQ(std::vector<uint8_t>(1 + kgiRobotLink::PREFACE_RESEND_LIMIT, 0x0D), sent);
    EXPECT_EQ(1u, link->channel[CH].Error);
    EXPECT_EQ(2u, link->replyStatus(CH));
    EXPECT_EQ(0u, link->sendPhase[CH]);  // the next command gets its own preface
}

TEST_F(WorkerTest, BoardInItsOwnThreadAnswersALinkThatPacesItself)
{
    open();
    board.start();
    for (int s = 0; s < 24; ++s) link->servo8[CH][s] = static_cast<uint8_t>(40 + s);
    link->sendPose(3, 0, CH);
    link->enqueueCommand(53, CH);
    for (int i = 0; i < 5000 && !settled(); ++i) {
        link->tick();
        platform::serialWaitReadable(link->portHandle[CH], 2);
    }
    board.stop();
    EXPECT_TRUE(settled());
    EXPECT_EQ(32u, link->channel[CH].Receive);
    EXPECT_EQ(std::vector<uint8_t>(link->servo8[CH], link->servo8[CH] + 24), board.pose());
}

} // namespace
