// Packets built from the command templates, and the send ring.
#include <algorithm>
#include <cstring>

#include "linkTestSupport.h"

namespace {

const uint32_t CH = 2;

unsigned packetLength(const kgiRobotLink& link, const uint8_t* slot, uint32_t ch)
{
    const bool marked = link.channel[ch].HX == kgiRobotLink::BOARD_HX3 && slot[0] >= 129;
    return marked ? slot[0] - 128u : slot[0];
}

std::vector<uint8_t> lastPacket(const kgiRobotLink& link, uint32_t ch = CH)
{
    const uint8_t* slot = link.queue[ch][static_cast<uint8_t>(link.Q_Write[ch] - 1)];
    return std::vector<uint8_t>(slot + 1, slot + 1 + packetLength(link, slot, ch));
}

uint8_t lastCommand(const kgiRobotLink& link, uint32_t ch = CH)
{
    const uint8_t* slot = link.queue[ch][static_cast<uint8_t>(link.Q_Write[ch] - 1)];
    return slot[1 + packetLength(link, slot, ch)];
}

class PacketTest : public ::testing::Test {
protected:
    void SetUp() override { link = makeLink(&messages); }
    void board(uint32_t type) { link->channel[CH].HX = type; }
    RecordingMessages messages;
    std::unique_ptr<kgiRobotLink> link;
};

TEST_F(PacketTest, TlD8150CommandsBuildTheirOneBytePackets)
{
    board(kgiRobotLink::BOARD_TLD8150);
    struct Case { uint8_t command; uint8_t byte; } cases[] = {
        {53, 0xFA}, {55, 0x3F}, {57, 0xB0}, {58, 0x00}, {50, 0xE6}, {59, 0x00}, {7, 0x00},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(1, link->enqueueCommand(c.command, CH));
        EXPECT_EQ(std::vector<uint8_t>{c.byte}, lastPacket(*link)) << int(c.command);
        EXPECT_EQ(c.command, lastCommand(*link));
    }
    // 60 asks with the byte that 59's reply stored in variable 33.
    link->cmdVar[CH][33] = 0x42;
    link->enqueueCommand(60, CH);
    EXPECT_EQ(std::vector<uint8_t>{0x42}, lastPacket(*link));
    EXPECT_EQ(8u, link->channel[CH].Request);
}

TEST_F(PacketTest, StreamCommandSendsTheBufferedByteAndWrapsTheCursor)
{
    board(kgiRobotLink::BOARD_TLD8150);
    link->streamPos[CH] = 255;
    link->streamBuf[CH][255] = 0xAB;
    link->streamBuf[CH][0] = 0xCD;
    link->enqueueCommand(56, CH);
    EXPECT_EQ(std::vector<uint8_t>{0xAB}, lastPacket(*link));
    EXPECT_EQ(0, link->streamPos[CH]);
    // The writer puts each byte where the builder reads next, whatever the cursor.
    link->streamByte(0x11, CH);
    EXPECT_EQ(std::vector<uint8_t>{0x11}, lastPacket(*link));
}

TEST_F(PacketTest, DownloadBlocksCarryDataSumAndQuestionMark)
{
    board(kgiRobotLink::BOARD_TLD8150);
    for (int i = 0; i < 256; ++i) link->Remo_File_Tbl[CH][i] = static_cast<uint32_t>(0x100 + i * 7);
    link->bytesToSend[CH] = 200;  // one full block, then the last
    link->blockIndex[CH] = 0;

    link->queueBlock(CH);
    std::vector<uint8_t> full = lastPacket(*link);
    ASSERT_EQ(130u, full.size());
    EXPECT_EQ(65, lastCommand(*link));
    unsigned sum = 0;
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(static_cast<uint8_t>(i * 7), full[i]);  // low byte of the image value
        sum += full[i];
    }
    EXPECT_EQ(static_cast<uint8_t>(sum), full[128]);
    EXPECT_EQ('?', full[129]);
    EXPECT_EQ(72, link->bytesToSend[CH]);
    EXPECT_EQ(1u, link->blockIndex[CH]);

    link->queueBlock(CH);
    std::vector<uint8_t> last = lastPacket(*link);
    ASSERT_EQ(129u, last.size());
    EXPECT_EQ(66, lastCommand(*link));
    // The board checks the last block's sum over its first 127 bytes.
    unsigned sum127 = 0;
    for (int i = 0; i < 127; ++i) sum127 += last[i];
    EXPECT_EQ(static_cast<uint8_t>(sum127), last[128]);
    EXPECT_EQ(static_cast<uint8_t>(128 * 7), last[0]);
}

TEST_F(PacketTest, Hx3CommandsAreShiftedAndChecksummed)
{
    board(kgiRobotLink::BOARD_HX3);
    link->enqueueCommand(12, CH);  // reads the servo values
    EXPECT_EQ((std::vector<uint8_t>{0xF9, 0x05, 0xFE}), lastPacket(*link));
    EXPECT_EQ(112, lastCommand(*link));

    link->enqueueCommand(44, CH);
    EXPECT_EQ((std::vector<uint8_t>{0xD2, 0xD2}), lastPacket(*link));

    // Speed 0 is never sent: it goes out (and stays) as 1.
    link->speed[CH] = 0;
    link->cmdVar[CH][49] = 3;
    link->cmdVar16[CH][89] = 0x1234;
    link->enqueueCommand(7, CH);
    EXPECT_EQ((std::vector<uint8_t>{0xFE, 0x05, 0x03, 0x01, 0x12, 0x34,
                                    static_cast<uint8_t>(0xFE + 5 + 3 + 1 + 0x12 + 0x34)}),
              lastPacket(*link));
    EXPECT_EQ(1, link->speed[CH]);

    // 124's undefined extra byte goes out as 0 before the sum.
    link->cmdVar[CH][159] = 9;
    link->cmdVar16[CH][160] = 0x0102;
    link->enqueueCommand(24, CH);
    EXPECT_EQ((std::vector<uint8_t>{0xE7, 0x05, 0x09, 0x01, 0x02, 0x00,
                                    static_cast<uint8_t>(0xE7 + 5 + 9 + 1 + 2)}),
              lastPacket(*link));
}

TEST_F(PacketTest, Hx3EvenIdMarksPacketWithoutReply)
{
    board(kgiRobotLink::BOARD_HX3);
    struct Case { uint8_t id; uint8_t lengthByte; } cases[] = {{5, 3}, {4, 3 + 128}, {0, 3 + 128}};
    for (const Case& c : cases) {
        link->cmdVar[CH][40] = c.id;
        link->enqueueCommand(12, CH);
        EXPECT_EQ(c.lengthByte, link->queue[CH][static_cast<uint8_t>(link->Q_Write[CH] - 1)][0]);
    }
    // Without an id item the flag stays set: no mark.
    link->cmdVar[CH][40] = 4;
    link->enqueueCommand(13, CH);
    EXPECT_EQ(2, link->queue[CH][static_cast<uint8_t>(link->Q_Write[CH] - 1)][0]);
}

TEST_F(PacketTest, TextKindsStartFromTheFirstByteWhateverTheCursor)
{
    board(kgiRobotLink::BOARD_HX3);
    link->textCursor[CH] = 17;
    link->cmdVar[CH][41] = 2;
    link->enqueueCommand(47, CH);  // D1 id [41] text32 S8
    std::vector<uint8_t> p = lastPacket(*link);
    ASSERT_EQ(36u, p.size());
    EXPECT_EQ(0, std::memcmp(p.data() + 3, "MOTION NUMBER WO SET SUR 012345", 31));
    EXPECT_EQ(0, p[34]);  // the text's terminating zero is its 32nd byte
    EXPECT_EQ(0u, link->textCursor[CH]);
}

TEST_F(PacketTest, CommandsWithoutSendTemplateAreRefused)
{
    board(kgiRobotLink::BOARD_HX3);
    for (uint8_t c : {51, 52, 53}) EXPECT_EQ(0, link->enqueueCommand(c, CH));
    board(kgiRobotLink::BOARD_TLD8150);
    for (uint8_t c : {24, 43, 80, 93, 151}) EXPECT_EQ(0, link->enqueueCommand(c, CH));
    EXPECT_EQ(link->Q_Read[CH], link->Q_Write[CH]);
}

TEST_F(PacketTest, QueueIsFullCountsFreeSlotsAcrossTheWrap)
{
    link->Q_Write[CH] = 250;
    link->Q_Read[CH] = 2;
    EXPECT_EQ(0u, link->queueIsFull(7, CH));  // 251..255, 0, 1
    EXPECT_EQ(1u, link->queueIsFull(8, CH));
    link->Q_Write[CH] = link->Q_Read[CH] = 77;
    EXPECT_EQ(0u, link->queueIsFull(255, CH));
    EXPECT_EQ(1u, link->queueIsFull(256, CH));
}

TEST_F(PacketTest, OverflowRefusesThePacketAndKeepsTheQueue)
{
    board(kgiRobotLink::BOARD_TLD8150);
    link->Q_Write[CH] = link->Q_Read[CH] = 200;
    for (int i = 0; i < 255; ++i) ASSERT_EQ(1, link->enqueueCommand(53, CH));
    const uint8_t writeBefore = link->Q_Write[CH];
    EXPECT_EQ(0, link->enqueueCommand(57, CH));
    EXPECT_EQ(writeBefore, link->Q_Write[CH]);
    EXPECT_EQ(255u, 255 - link->freeSlots(CH));
    EXPECT_EQ(1u, link->Cmd_Skip[CH]);
    EXPECT_EQ(255u, link->channel[CH].Request);
    ASSERT_EQ(1u, messages.shown.size());
    EXPECT_EQ("Error - 004", messages.shown[0].first);
    EXPECT_EQ("Que_Buffer Overflow!", messages.shown[0].second);
    // What was queued is all still there.
    for (int i = 0; i < 255; ++i) EXPECT_EQ(0xFA, link->queue[CH][static_cast<uint8_t>(200 + i)][1]);
}

TEST(RobotLinkConstruction, StartsClearedWithTheDefaultPose)
{
    RecordingMessages m;
    auto link = makeLink(&m);
    for (int ch = 0; ch < kgiRobotLink::CHANNELS; ++ch) {
        EXPECT_EQ(kgiRobotLink::NO_HANDLE, link->portHandle[ch]);
        EXPECT_EQ(0u, link->channel[ch].BaudRate);
        EXPECT_EQ(100, link->servo8[ch][0]);
        EXPECT_EQ(145, link->servo8[ch][20]);
        EXPECT_EQ(16384 + 23, link->servo16[ch][23]);
        EXPECT_EQ(0x77, link->cmdVar[ch][46]);
        EXPECT_EQ(2u, link->sendPhase[ch]);
    }
    const uint8_t* ring = &link->queue[0][0][0];
    EXPECT_TRUE(std::all_of(ring, ring + sizeof link->queue, [](uint8_t b) { return b == 0; }));
}

} // namespace
