// The developer page's logic: key edges, the log, and what keys do.
#include <cstring>

#include "linkTestSupport.h"

namespace {

bool logged(const kgiRobotLink& link, const char* text)
{
    for (int i = 0; i < link.logCount; ++i)
        if (std::strcmp(link.log[i].text, text) == 0) return true;
    return false;
}

class DebugPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = makeLink(&messages);
        link->setClock(kgiRobotLink::Clock{fixedSeconds, fixedLocalTime});
    }
    void openChannel0()
    {
        kgiRobotLink::Channel& r = link->channel[0];
        r.BaudRate = 9600;
        r.PORT = 3;
        r.HX = kgiRobotLink::BOARD_TLD8150;
        r.Buffer = kgiRobotLink::BUFFER_FIFO;
        r.Robot = kgiRobotLink::ROBOT_DORUZAVO1;
        r.Power = 1;
    }
    void press(uint8_t key)
    {
        link->setKeyState(key, true);
        link->showDebugPage();
        link->setKeyState(key, false);
        link->showDebugPage();
    }
    RecordingMessages messages;
    std::unique_ptr<kgiRobotLink> link;
};

TEST_F(DebugPageTest, KeyActsOncePerPress)
{
    const uint8_t k = kgiRobotLink::KEY_P;
    link->setKeyState(k, true);
    EXPECT_EQ(1, link->keyPressed(k));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(0, link->keyPressed(k));
    EXPECT_EQ(1, link->keyDown(k));
    link->setKeyState(k, false);
    EXPECT_EQ(0, link->keyPressed(k));
    link->setKeyState(k, true);
    EXPECT_EQ(1, link->keyPressed(k));
}

TEST_F(DebugPageTest, LogKeepsAtMost800Lines)
{
    for (int i = 0; i < 801; ++i) link->logLine(i, i, i == 800 ? "last" : "line");
    EXPECT_EQ(800, link->logCount);
    EXPECT_FALSE(logged(*link, "last"));
    std::string longText(400, 'x');
    link->clearLog();
    link->logLine(0, 0, longText.c_str());
    EXPECT_EQ(kgiRobotLink::LOG_TEXT - 1, static_cast<int>(std::strlen(link->log[0].text)));
}

TEST_F(DebugPageTest, FirstPageShowsTheChannelRecord)
{
    link->showDebugPage();
    EXPECT_TRUE(logged(*link, "Disable,"));
    EXPECT_TRUE(logged(*link, "NULL,"));
    openChannel0();
    link->showDebugPage();
    for (const char* text : {"9600,", "COM3,", "TL-D8150,", "FIFO,", "DORUZAVO-1,", "電源？,", "通信無し,"})
        EXPECT_TRUE(logged(*link, text)) << text;
}

TEST_F(DebugPageTest, SecondPageShowsCountersAndTheLocalTime)
{
    press(kgiRobotLink::KEY_P);
    EXPECT_EQ(1u, link->pageNumber);
    EXPECT_TRUE(logged(*link, "現在のローカル時刻: 2026/03/09(月曜日) 14:05:07.0"));
    EXPECT_TRUE(logged(*link, "Cmd_Skip[0]＝0,"));
    EXPECT_TRUE(logged(*link, "ms=1000000"));
}

TEST_F(DebugPageTest, KeysFireRequestsOnATlD8150Channel)
{
    openChannel0();
    press(kgiRobotLink::KEY_F);
    EXPECT_EQ(1, link->Q_Write[0]);  // command 53
    press(kgiRobotLink::KEY_NUM_PLUS);
    press(kgiRobotLink::KEY_NUM_PLUS);
    EXPECT_EQ(2u, link->motionCursor[0]);
    press(kgiRobotLink::KEY_ENTER);
    EXPECT_EQ(5, link->Q_Write[0]);  // F8 40 01 02
    EXPECT_EQ(2, link->streamBuf[0][3]);
    press(kgiRobotLink::KEY_NUM6);  // slot 2 is empty
    ASSERT_EQ(1u, messages.shown.size());
    EXPECT_EQ("ok", messages.shown[0].first);
    press(kgiRobotLink::KEY_RIGHT);
    press(kgiRobotLink::KEY_UP);
    EXPECT_EQ(101, link->servo8[0][0]);
    EXPECT_EQ(1, link->servoChanged[0][0]);
}

TEST_F(DebugPageTest, SampleMotionsAreNotShipped)
{
    openChannel0();
    link->channel[0].HX = kgiRobotLink::BOARD_TLD8150;
    link->setKeyState(kgiRobotLink::KEY_S, true);
    link->showDebugPage();
    EXPECT_TRUE(logged(*link, "no sample"));
    EXPECT_EQ(0u, link->download[0]);
    EXPECT_EQ(0, link->Q_Write[0]);
}

} // namespace
