// The robot session against the simulated board: pose sends, the update
// steps (status words, pose reads, downloads, skipped commands, a board that
// falls silent), download results, and the bounded waits.
#include "robot/session_fixture_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using kgiTestSession::SessionFixture;
using kgiTestSession::SessionOnBoard;

std::vector<int> boardPose(kgiSimBoard& board)
{
    const std::vector<uint8_t> p = board.pose();
    return std::vector<int>(p.begin(), p.end());
}

// The servo values the fixture's pose gives: J0..J5 as set, the rest 100.
std::vector<int> expectedPose(const std::vector<int>& first6)
{
    std::vector<int> v(24, 100);
    for (size_t i = 0; i < first6.size(); ++i) v[i] = first6[i];
    return v;
}

TEST_F(SessionOnBoard, PoseGoesOutOnlyWhenServosChangedAtTheSpeedTheirNumberGives)
{
    // The first send after construction changes every servo.
    session->sendCurrentPose();
    ASSERT_TRUE(updateUntil([this] { return idle() && boardPose(board) == expectedPose({100, 100, 100, 100, 100, 180}); }));
    EXPECT_EQ(lastPoseSpeed(), 3);

    const struct {
        int joints;          // J0..J(n-1) turned by 5 degrees more
        const char* line;    // the standard-error line, empty: none
        int speed;           // -1: nothing sent
    } cases[] = {{0, "", -1}, {5, "speed=15 \n", 15}, {6, "speed=3 \n", 3}};
    float turn = 0.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.joints);
        turn += 5.0f;
        for (int j = 0; j < c.joints; ++j) setJoint(j, turn);
        board.clearReceived();
        testing::internal::CaptureStderr();
        session->sendCurrentPose();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(session->getChangedServoCount(), c.joints);
        if (c.speed < 0) {
            EXPECT_EQ(err, "");
            EXPECT_TRUE(updateUntil([this] { return idle(); }));
            EXPECT_TRUE(board.received().empty());
            continue;
        }
        EXPECT_NE(err.find(c.line), std::string::npos) << err;
        EXPECT_EQ(session->getStatusDetail(), "Pose Request");
        std::vector<int> first6(6, 100);
        first6[5] = 180;
        for (int j = 0; j < c.joints; ++j) first6[j] = std::min(first6[j] + int(turn), 190);
        EXPECT_TRUE(updateUntil([&] { return idle() && boardPose(board) == expectedPose(first6); }));
        EXPECT_EQ(lastPoseSpeed(), c.speed);
    }
}

TEST_F(SessionOnBoard, AServoPastTheBoardRangeIsSentAsTheBoundAndNamed)
{
    setJoint(5, 20.0f);   // 200
    setJoint(1, -89.0f);  // 11
    table().applyJointAngle(character->findNode("J2"), -95.0f, table().findJoint("J2"), 10.0f);  // 5
    testing::internal::CaptureStderr();
    session->sendCurrentPose();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(updateUntil([&] { return idle() && boardPose(board) == expectedPose({100, 11, 10, 100, 100, 190}); }));
    EXPECT_NE(err.find("servo 5"), std::string::npos) << err;
    EXPECT_NE(err.find("servo 2"), std::string::npos) << err;
    EXPECT_EQ(err.find("servo 1"), std::string::npos) << err;
}

class SessionDuringInfoRead : public SessionOnBoard {
protected:
    SessionDuringInfoRead() { readInfoFirst = false; }
};

TEST_F(SessionDuringInfoRead, APoseRefusedDuringTheInformationReadReachesTheBoardAfterIt)
{
    setJoint(0, 30.0f);
    ASSERT_NE(link().infoRead[CH], 0u);
    session->sendCurrentPose();
    EXPECT_GT(link().Cmd_Skip[CH], 0u) << "the link refused the pose";
    session->setSyncToRobot(true);
    EXPECT_TRUE(updateUntil([&] { return idle() && boardPose(board) == expectedPose({130, 100, 100, 100, 100, 180}); }));
}

TEST_F(SessionDuringInfoRead, UpdateShowsBusyAndReadyAndTheInformationRead)
{
    std::set<std::string> words, details;
    updateUntil([&] {
        words.insert(session->getStatusWord());
        details.insert(session->getStatusDetail());
        return !session->isInfoReading() && idle();
    });
    EXPECT_TRUE(words.count("Busy ") && words.count("Ready"));
    EXPECT_TRUE(details.count("ROBO Info Reading..."));
    EXPECT_EQ(session->getStatusDetail(), "ROBO Info Read Complete !");
    EXPECT_TRUE(updateUntil([this] { return session->getStatusWord() == "Ready"; }));
    EXPECT_EQ(session->statusText(), "[Ready] : ROBO Info Read Complete !");
}

class SessionPoseRead : public SessionDuringInfoRead {
protected:
    void prepareBoard() override { board.servo[0] = 130; board.servo[1] = 85; }
};

TEST_F(SessionPoseRead, APoseReadRefusedDuringTheInformationReadStartsAfterItThenStops)
{
    session->requestPoseRead(0);
    session->update();
    EXPECT_EQ(session->getPoseReadRequest(), 0) << "refused: still pending";
    ASSERT_TRUE(updateUntil([this] { return session->getPoseReadRequest() == 10; }));
    // Running: every update copies the board's servos into the model.
    ASSERT_TRUE(updateUntil([this] {
        return std::abs(table().getJointAngleByName(character, "J0") - 30.0f) < 1e-3f &&
               std::abs(table().getJointAngleByName(character, "J1") + 15.0f) < 1e-3f;
    }));
    EXPECT_EQ(session->getStatusDetail(), "Pose Read Complete !");
    EXPECT_TRUE(updateUntil([this] { return link().poseRead[CH] == 12; }));
    EXPECT_TRUE(session->stopPoseRead());
    EXPECT_EQ(session->getPoseReadRequest(), -1);
    EXPECT_TRUE(updateUntil([this] { return link().poseRead[CH] == 0 && idle(); }));
    EXPECT_FALSE(session->stopPoseRead());
}

TEST_F(SessionDuringInfoRead, ADownloadRefusedDuringTheInformationReadIsRetriedAndReported)
{
    session->setDownloadRequest(1);
    session->update();
    EXPECT_EQ(session->getDownloadRequest(), 1) << "refused: retried by the next update";
    EXPECT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -2; }));
    EXPECT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -1; }, 20000));
    EXPECT_EQ(session->getStatusDetail(), "Motion Download Complete !");
    EXPECT_EQ(services.captions, std::vector<std::string>{"ROBOT_COM_Me_TransferFinish"});
    EXPECT_EQ(services.texts, std::vector<std::string>{"ROBOT_COM_Me_TransferFinish"});
    EXPECT_FALSE(board.image().empty());
}

TEST_F(SessionOnBoard, ARefusedTransferIsAFailureNotACompletionNorALostLink)
{
    // The board refuses a block with "X" and goes back to 9600 at once: the
    // user hears that the robot refused the motions and kept its own, and
    // the board hears nothing more of the transfer.
    const std::string refused = "ROBOT_COM_Wr_TransferFail\nROBOT_COM_Wr_NotWritten";
    for (const bool lastBlock : {false, true}) {
        SCOPED_TRACE(lastBlock ? "the last block" : "the first block");
        ASSERT_TRUE(updateUntil([this] { return idle(); }));
        services.captions.clear();
        services.texts.clear();
        board.clearReceived();
        kgiSimBoard::Faults f;
        f.rejectBlock = 1000;  // none until the image's size is known
        board.setFaults(f);
        session->setDownloadRequest(1);
        ASSERT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -2; }));
        const int blocks = (link().imageLength[CH] + 127) / 128;
        f.rejectBlock = lastBlock ? blocks - 1 : 0;
        board.setFaults(f);
        ASSERT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -1; }, 20000));
        EXPECT_EQ(session->getStatusWord(), "Fail ");
        EXPECT_EQ(session->getStatusDetail(), "ROBOT_COM_Wr_TransferFail");
        EXPECT_EQ(services.captions, std::vector<std::string>{"Error"});
        EXPECT_EQ(services.texts, std::vector<std::string>{refused});
        ASSERT_TRUE(updateUntil([this] { return idle(); }));
        EXPECT_FALSE(session->isLinkFailed());

        const std::vector<kgiSimBoard::Received> got = board.received();
        size_t lastFast = 0;
        for (size_t i = 0; i < got.size(); ++i)
            if (got[i].baud == 115200) lastFast = i;
        std::vector<uint8_t> after;
        for (size_t i = lastFast + 1; i < got.size(); ++i) after.push_back(got[i].byte);
        EXPECT_EQ(after, std::vector<uint8_t>{0xFB}) << "only the closing byte, at 9600";
        EXPECT_EQ(board.garbled(), 0u);
        EXPECT_TRUE(board.image().empty());
    }

    // downloadMotion says the same and names no entry.
    services.captions.clear();
    services.texts.clear();
    session->setRemoconFolder(folder.path, folder.path + "/list.txt");
    link().buildRemoteFile(1, 0, CH);
    kgiSimBoard::Faults f;
    f.rejectBlock = 0;
    board.setFaults(f);
    EXPECT_FALSE(session->downloadMotion());
    EXPECT_EQ(services.texts, std::vector<std::string>{refused});
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/list.txt"));
}

TEST_F(SessionOnBoard, ABoardFallingSilentInATransferSaysTheMotionsWereNotWritten)
{
    session->setDownloadRequest(1);
    ASSERT_TRUE(updateUntil([this] { return link().download[CH] == 310; }));
    kgiSimBoard::Faults f;
    f.silent = true;
    board.setFaults(f);
    ASSERT_TRUE(updateUntil([this] { return session->isLinkFailed(); }, 20000));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 102"});
    EXPECT_EQ(services.texts, std::vector<std::string>{"ROBOT_COM_No_Reply\nROBOT_COM_Wr_NotWritten"});
    EXPECT_EQ(session->getDownloadRequest(), -1);
}

TEST_F(SessionOnBoard, DownloadMotionThatEndsWellNamesTheSystemEntry)
{
    session->setRemoconFolder(folder.path, folder.path + "/list.txt");
    link().buildRemoteFile(1, 0, CH);
    EXPECT_TRUE(session->downloadMotion());
    std::ifstream in(folder.path + "/list.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[31], "32: [SYSTEM DATA]");
    EXPECT_TRUE(services.captions.empty());
}

TEST_F(SessionOnBoard, BaseImageRequestWithoutTheFileIsDroppedWithOneBox)
{
    ASSERT_TRUE(updateUntil([this] { return idle(); }));
    const uint64_t before = board.bytesIn();
    session->setDownloadRequest(9);
    session->update();
    EXPECT_EQ(session->getDownloadRequest(), -1);
    EXPECT_EQ(session->getStatusWord(), "Fail ");
    EXPECT_EQ(session->getStatusDetail(), "ROBOT_COM_Wr_NoBaseImage");
    for (int i = 0; i < 20; ++i) session->update();
    EXPECT_EQ(services.captions, std::vector<std::string>{"Error - 006"}) << "the link's box only";
    EXPECT_EQ(board.bytesIn(), before);
}

TEST_F(SessionOnBoard, SkippedCommandsAreShownOnceAndTheCountCleared)
{
    link().Cmd_Skip[CH] = 3;
    session->update();
    EXPECT_EQ(session->getStatusDetail(), "SomeCommand Skipped");
    EXPECT_EQ(link().Cmd_Skip[CH], 0u);
    session->setStatus("", "next");
    session->update();
    EXPECT_EQ(session->getStatusDetail(), "next");
}

// Runs an idle pass of the session while its box is "open", as the toolkit
// does inside a modal box.
struct ReenteringServices : kgiTestJoints::QuietServices {
    kgiRobotSession* session = nullptr;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        QuietServices::showMessage(caption, text);
        if (session) session->update();
    }
};

TEST_F(SessionOnBoard, ABoardFallingSilentGivesOneWarning102)
{
    ReenteringServices boxes;
    boxes.session = session.get();
    kgiCharacterServices::install(&boxes);
    kgiSimBoard::Faults f;
    f.silent = true;
    board.setFaults(f);
    setJoint(0, 10.0f);
    session->setSyncToRobot(true);
    ASSERT_TRUE(updateUntil([this] { return session->isLinkFailed(); }));
    for (int i = 0; i < 10; ++i) session->update();
    EXPECT_EQ(session->getStatusWord(), "Fail ");
    EXPECT_EQ(boxes.captions, std::vector<std::string>{"Warning - 102"});
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"ROBOT_COM_No_Reply"});
    kgiCharacterServices::install(&services);
}

TEST_F(SessionOnBoard, RobotInformationComesBackFromTheBoard)
{
    const std::uint32_t* info = session->readRobotInfo();
    ASSERT_NE(info, nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(info[i], board.info[i]) << i;
    EXPECT_EQ(session->getStatusDetail(), "ROBO Info Read Complete !");
}

TEST_F(SessionOnBoard, AnInformationReadThatDoesNotEndInTimeEndsAtItsLimit)
{
    // The simulated board's wrong answers garble the information without
    // failing its packets, so the limit is shortened below the read itself
    // (about 96 steps) to stand for a read that never ends.
    kgiRobotSession::WaitLimits limits;
    limits.infoRead = 40;
    session->setWaitLimits(limits);
    kgiSimBoard::Faults f;
    f.wrongAnswers = 1000000;
    board.setFaults(f);
    const uint32_t ticks = link().tickCount;
    EXPECT_EQ(session->readRobotInfo(), nullptr);
    EXPECT_LE(link().tickCount - ticks, 41u);
    EXPECT_TRUE(session->isLinkFailed());
    EXPECT_EQ(session->getStatusWord(), "Fail ");
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 102"});
}

TEST_F(SessionFixture, RobotInformationOfAnUnopenedSessionIsNull)
{
    auto session = newSession();
    EXPECT_EQ(session->readRobotInfo(), nullptr);
    EXPECT_EQ(session->getStatusDetail(), kgiRobotSession::INFO_NOT_READ_CLOSED);
    EXPECT_TRUE(services.captions.empty());
}

TEST_F(SessionDuringInfoRead, RobotInformationWaitsForTheLinkOrSaysWhyItCannot)
{
    const std::vector<uint32_t> expected(board.info, board.info + 6);
    const auto first6 = [](const std::uint32_t* info) { return std::vector<uint32_t>(info, info + 6); };

    // Just after opening: the read the link started is joined.
    ASSERT_NE(link().infoRead[CH], 0u);
    const std::uint32_t* info = session->readRobotInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(first6(info), expected);
    EXPECT_EQ(session->getStatusDetail(), "ROBO Info Read Complete !");

    // A held pose read (the teach check) only ends when the user stops it.
    session->requestPoseRead(0);
    ASSERT_TRUE(updateUntil([this] { return link().poseRead[CH] == 12; }));
    std::fill(std::begin(link().robotInfo[CH]), std::end(link().robotInfo[CH]), 0u);
    EXPECT_EQ(session->readRobotInfo(), nullptr);
    EXPECT_EQ(session->getStatusDetail(), kgiRobotSession::INFO_NOT_READ_POSE);
    for (int i = 0; i < 5; ++i) session->update();
    EXPECT_EQ(session->getStatusDetail(), kgiRobotSession::INFO_NOT_READ_POSE) << "it stays in view";
    // Stopped: the read waits for the servos to be held again.
    EXPECT_TRUE(session->stopPoseRead());
    ASSERT_NE(link().poseRead[CH], 0u);
    info = session->readRobotInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(link().poseRead[CH], 0u);
    EXPECT_EQ(first6(info), expected);

    // A download runs: waited for, then read.
    session->setDownloadRequest(1);
    ASSERT_TRUE(updateUntil([this] { return link().download[CH] != 0; }));
    info = session->readRobotInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(first6(info), expected);
    ASSERT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -1; }, 20000));
    EXPECT_EQ(session->getStatusDetail(), "Motion Download Complete !");

    // An exchange outlasting the wait is a busy link, not a lost one.
    kgiRobotSession::WaitLimits limits;
    limits.infoRead = 5;
    session->setWaitLimits(limits);
    session->setDownloadRequest(1);
    ASSERT_TRUE(updateUntil([this] { return link().download[CH] != 0; }));
    EXPECT_EQ(session->readRobotInfo(), nullptr);
    EXPECT_EQ(session->getStatusDetail(), kgiRobotSession::INFO_NOT_READ_BUSY);
    EXPECT_FALSE(session->isLinkFailed());
    ASSERT_TRUE(updateUntil([this] { return session->getDownloadRequest() == -1; }, 20000));
    EXPECT_EQ(services.captions, (std::vector<std::string>{"ROBOT_COM_Me_TransferFinish", "ROBOT_COM_Me_TransferFinish"}));
}

class SessionEnding : public SessionOnBoard {};

TEST_F(SessionEnding, DeletingDuringAPoseReadStopsItAndClosesThePort)
{
    for (int limit : {2000, 3}) {
        SCOPED_TRACE(limit);
        if (!session) {
            session = newSession();
            ASSERT_TRUE(kgiPointPortAt(link(), 1, board.devicePath()));
            ASSERT_TRUE(session->openLink());
            ASSERT_TRUE(updateUntil([this] { return !session->isInfoReading() && idle(); }));
        }
        kgiRobotSession::WaitLimits limits;
        limits.poseReadEnd = limit;
        session->setWaitLimits(limits);
        session->requestPoseRead(0);
        ASSERT_TRUE(updateUntil([this] { return link().poseRead[CH] == 12; }));
        ASSERT_TRUE(kgiTestSession::deviceOpen(board.devicePath()));
        session.reset();
        EXPECT_FALSE(kgiTestSession::deviceOpen(board.devicePath()));
        EXPECT_TRUE(services.captions.empty()) << "closing shows no box";
    }
}

} // namespace
