// Channels, ports, and the serial port layer under them.
#include <cstring>

#include "linkTestSupport.h"
#include "platform/portmap.h"
#include "platform/serial.h"

namespace {

TEST(PortMap, ReadsOverridesAndFallsBackToUsbDevices)
{
    const std::string map =
        "# serial ports of this machine\n"
        "COM2=/dev/ttyACM0\n"
        "  com3 = /dev/ttyS1  \r\n"
        "COM4=relative/path\n"
        "COM17=/dev/ttyS9\n"
        "COM5\n"
        "COM2=/dev/second\n";
    struct Case { unsigned port; const char* expected; } cases[] = {
        {1, ""}, {2, "/dev/ttyACM0"}, {3, "/dev/ttyS1"}, {4, ""}, {5, ""}, {17, ""}, {0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, platform::portMapLookup(map, c.port)) << c.port;
    EXPECT_EQ("/dev/ttyUSB0", platform::defaultSerialDevice(1));
    EXPECT_EQ("/dev/ttyUSB15", platform::defaultSerialDevice(16));
    EXPECT_EQ("", platform::defaultSerialDevice(17));
    EXPECT_EQ("/dev/ttyUSB3", platform::serialDevicePath(4, "/nonexistent/comports.txt"));
}

TEST(SerialPort, OpensAPseudoTerminalRawAtTheRequestedSpeed)
{
    std::string slave;
    int master = platform::openPseudoTerminal(&slave);
    ASSERT_NE(platform::NO_SERIAL_HANDLE, master);
    // Bytes that arrived before the open are flushed by it.
    const uint8_t stale[3] = {'a', 'b', 'c'};
    ASSERT_TRUE(platform::serialWrite(master, stale, 3, 100));
    // Not yet raw, the slave echoes them: once the echo is back they are queued.
    ASSERT_EQ(1, platform::serialWaitReadable(master, 2000));
    platform::serialDiscardInput(master);
    int error = -1;
    int fd = platform::serialOpen(slave, 115200, &error);
    ASSERT_NE(platform::NO_SERIAL_HANDLE, fd);
    EXPECT_EQ(0, error);
    EXPECT_EQ(0, platform::serialBytesWaiting(fd));
    // The other end sees what was set: the board learns the speed this way.
    EXPECT_EQ(115200u, platform::serialBaud(master));
    EXPECT_TRUE(platform::serialIsRaw8N1(master));
    EXPECT_EQ(platform::SerialStatus::unsupported, platform::serialSetDtr(fd, true));

    // The protocol's XON, XOFF and CR pass untouched both ways.
    const uint8_t control[4] = {0x11, 0x13, 0x0D, 0x0A};
    ASSERT_TRUE(platform::serialWrite(fd, control, 4, 300));
    uint8_t got[8] = {};
    EXPECT_EQ(4, platform::serialRead(master, got, 8, 500));
    EXPECT_EQ(0, std::memcmp(control, got, 4));
    ASSERT_TRUE(platform::serialWrite(master, control, 4, 300));
    EXPECT_EQ(4, platform::serialRead(fd, got, 4, 500));
    EXPECT_EQ(0, std::memcmp(control, got, 4));

    platform::serialClose(fd);
    platform::serialClose(master);
}

TEST(SerialPort, RefusesMissingDevicesAndOddSpeeds)
{
    int error = 0;
    EXPECT_EQ(platform::NO_SERIAL_HANDLE, platform::serialOpen("/nonexistent/tty", 9600, &error));
    EXPECT_EQ(ENOENT, error);
    std::string slave;
    int master = platform::openPseudoTerminal(&slave);
    EXPECT_EQ(platform::NO_SERIAL_HANDLE, platform::serialOpen(slave, 12345, &error));
    EXPECT_EQ(EINVAL, error);
    platform::serialClose(master);
}

class ChannelTest : public BoardFixture {};

TEST_F(ChannelTest, OpenChannelResults)
{
    kgiSimBoard other;
    ASSERT_TRUE(other.ok());
    std::FILE* f = std::fopen(link->portMapFile.c_str(), "a");
    std::fprintf(f, "COM5=%s\n", other.devicePath().c_str());
    std::fclose(f);

    open();
    const kgiRobotLink::Channel before = link->channel[CH];
    const int fd = link->portHandle[CH];
    struct Case { uint8_t ch; uint8_t port; int expected; const char* what; } cases[] = {
        {CH, 5, 1, "channel already open"},
        {0, PORT, 2, "port held by channel 1"},
        {0, 0, 1, "port 0"},
        {0, 17, 1, "port 17"},
        {0, 9, 1, "no such device"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, link->openChannel(c.ch, c.port, kgiRobotLink::BOARD_TLD8150, 1, 5, 9600, 0))
            << c.what;
    }
    EXPECT_EQ(0u, link->channel[0].BaudRate);
    EXPECT_EQ(kgiRobotLink::NO_HANDLE, link->portHandle[0]);
    EXPECT_EQ(fd, link->portHandle[CH]);
    EXPECT_EQ(0, std::memcmp(&before, &link->channel[CH], sizeof before));

    EXPECT_EQ(0, link->openChannel(0, 5, kgiRobotLink::BOARD_TLD8150, 1, 2, 9600, 0));
    EXPECT_EQ(0xEF, link->cmdVar[0][46]);  // robot type 2's bytes
    EXPECT_EQ(0x7C, link->cmdVar[0][47]);
    EXPECT_EQ(0x77, link->cmdVar[CH][46]);  // type 5 keeps the defaults
}

TEST_F(ChannelTest, OpenFillsTheRecordAndStartsTheInformationRead)
{
    open(1);
    const kgiRobotLink::Channel& r = link->channel[CH];
    EXPECT_EQ(9600u, r.BaudRate);
    EXPECT_EQ(PORT, r.PORT);
    EXPECT_EQ(1u, r.Power);
    EXPECT_EQ(10u, link->infoRead[CH]);
    EXPECT_EQ(9600u, board.speed());
    EXPECT_EQ(9600u, platform::serialBaud(link->portHandle[CH]));
    EXPECT_EQ(0u, link->replyStatus(CH));  // nothing sent yet
}

TEST_F(ChannelTest, ReopenSwitchesTheSpeedTheOtherEndSees)
{
    open();
    EXPECT_EQ(1, link->reopenChannel(CH, 115200));  // still open: close first
    EXPECT_EQ(0, link->closeChannel(CH));
    EXPECT_EQ(kgiRobotLink::NO_HANDLE, link->portHandle[CH]);
    ASSERT_EQ(0, link->reopenChannel(CH, 115200));
    EXPECT_EQ(115200u, link->channel[CH].BaudRate);
    std::string probe;
    EXPECT_TRUE(platform::serialIsRaw8N1(link->portHandle[CH]));
    EXPECT_EQ(115200u, platform::serialBaud(link->portHandle[CH]));
}

TEST_F(ChannelTest, CloseWaitsForOutstandingPacketsUnlessTheLinkIsLost)
{
    open();
    link->channel[CH].Send = 1;  // one packet written, unanswered
    EXPECT_EQ(1, link->closeChannel(CH));
    EXPECT_NE(kgiRobotLink::NO_HANDLE, link->portHandle[CH]);
    link->linkLost[CH] = 1;
    EXPECT_EQ(0, link->closeChannel(CH));
    EXPECT_EQ(0u, link->channel[CH].BaudRate);
    EXPECT_EQ(kgiRobotLink::NO_HANDLE, link->portHandle[CH]);
    EXPECT_EQ(0, link->closeChannel(CH));  // already closed
}

TEST_F(ChannelTest, EveryBoardTypeClosesItsPort)
{
    for (uint8_t type : {kgiRobotLink::BOARD_HX1, kgiRobotLink::BOARD_HX3, kgiRobotLink::BOARD_TLD8150}) {
        ASSERT_EQ(0, link->openChannel(CH, PORT, type, 1, 5, 9600, 0));
        EXPECT_EQ(0, link->closeChannel(CH)) << int(type);
        EXPECT_EQ(kgiRobotLink::NO_HANDLE, link->portHandle[CH]) << int(type);
    }
}

} // namespace
