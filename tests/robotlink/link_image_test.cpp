// The motion store and the download image.
#include <cstdio>
#include <random>

#include "linkTestSupport.h"

namespace {

const uint32_t CH = 1;

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = makeLink(&messages);
        link->setClock(kgiRobotLink::Clock{fixedSeconds, fixedLocalTime});
    }
    // Puts a remote-control file of `count` motion values into fileBuffer.
    void fileOf(int32_t count, int32_t first = 1)
    {
        const int32_t total = count + 89;
        link->fileBuffer[CH][14] = total & 0xFF;
        link->fileBuffer[CH][15] = total >> 8;
        for (int32_t i = 0; i < count; ++i) link->fileBuffer[CH][86 + i] = (first + i) & 0xFF;
    }
    uint32_t at(int32_t pos) const { return link->Remo_File_Tbl[CH][pos]; }
    RecordingMessages messages;
    std::unique_ptr<kgiRobotLink> link;
};

TEST_F(ImageTest, EmptyImagesOfBothVariants)
{
    struct Case {
        uint32_t flag; int32_t length; int32_t firstOffset; int32_t blockB; uint32_t jump[3];
    } cases[] = {
        {0, 485, 226, 145, {0xC4, 0xDF, 0x00}},
        {1, 555, 296, 145, {0xC4, 0x25, 0x01}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        link->buildRemoteFile(c.flag, 0, CH);
        ASSERT_EQ(c.length, link->imageLength[CH]);
        EXPECT_EQ(c.length, link->bytesToSend[CH]);
        const char* name = "REMOCON ";
        for (int i = 0; i < 8; ++i) EXPECT_EQ(static_cast<uint8_t>(name[i]), at(i));
        EXPECT_EQ(static_cast<uint32_t>(c.length & 0xFF), at(14));
        EXPECT_EQ(static_cast<uint32_t>(c.length >> 8), at(15));
        EXPECT_EQ(0xEDu, at(16));
        EXPECT_EQ(0x17u, at(144));  // block A ends DA 12 17
        EXPECT_EQ(c.flag ? 0xC0u : 0xD0u, at(c.blockB));
        for (int k = 0; k < 32; ++k) {
            const int32_t offset = c.firstOffset + 8 * k;
            EXPECT_EQ(offset, link->R_Index_Tbl[CH][k].offset);
            const int32_t pos = c.firstOffset - 70 + 2 * k;
            EXPECT_EQ(static_cast<uint32_t>(offset & 0xFF), at(pos));
            EXPECT_EQ(static_cast<uint32_t>(offset >> 8), at(pos + 1));
        }
        // The jump after the offsets, slot 1's preamble, and the trailer
        // whose last jump points at itself.
        EXPECT_EQ(0xC4u, at(c.firstOffset - 3));
        EXPECT_EQ(c.jump[1], at(c.firstOffset - 2));
        EXPECT_EQ(c.jump[2], at(c.firstOffset - 1));
        EXPECT_EQ(0xD0u, at(c.firstOffset));
        const int32_t back = c.length - 3;
        EXPECT_EQ(0xC4u, at(c.length - 3));
        EXPECT_EQ(static_cast<uint32_t>(back & 0xFF), at(c.length - 2));
        EXPECT_EQ(static_cast<uint32_t>(back >> 8), at(c.length - 1));
    }
}

TEST_F(ImageTest, Variant0EmptyImageGoldenEnds)
{
    link->buildRemoteFile(0, 0, CH);
    EXPECT_EQ(0xE5u, at(14));
    EXPECT_EQ(0x01u, at(15));
    EXPECT_EQ(0xE2u, at(483));
    EXPECT_EQ(0x01u, at(484));
    EXPECT_EQ(474, link->R_Index_Tbl[CH][31].offset);
}

TEST_F(ImageTest, SlotsGoBetweenTheirPreamblesAndShiftTheOffsets)
{
    fileOf(3, 0x61);
    ASSERT_EQ(1, link->setMotionSlot(2, 0, CH));
    link->buildRemoteFile(0, 0, CH);
    EXPECT_EQ(488, link->imageLength[CH]);
    EXPECT_EQ(3, link->R_Index_Tbl[CH][1].length);
    EXPECT_EQ(234, link->R_Index_Tbl[CH][1].offset);
    EXPECT_EQ(245, link->R_Index_Tbl[CH][2].offset);  // 234 + 8 + 3
    // Slot 2's values follow its five-value preamble.
    EXPECT_EQ(0x61u, at(239));
    EXPECT_EQ(0x63u, at(241));
    EXPECT_EQ(0xC4u, at(242));
}

TEST_F(ImageTest, SumAndStampRule)
{
    EXPECT_EQ(1, link->buildRemoteFile(0, 0, CH));
    const uint32_t stamp[6] = {26, 3, 9, 14, 5, 7};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(stamp[i], at(8 + i));
    EXPECT_EQ(0, link->buildRemoteFile(0, 0, CH));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(0u, at(8 + i));
    link->resetImageSum(CH);
    EXPECT_EQ(1, link->buildRemoteFile(0, 0, CH));
    // The sum leaves out the first and the last 16 values.
    int64_t sum = 0;
    for (int i = 16; i <= 485 - 17; ++i) sum += at(i);
    EXPECT_EQ(sum, link->Befor_Send_Sum[CH]);
    fileOf(1);
    link->setMotionSlot(5, 0, CH);
    EXPECT_EQ(1, link->buildRemoteFile(0, 0, CH));  // a new motion changes the sum
    link->infoRead[CH] = 10;
    EXPECT_EQ(0, link->buildRemoteFile(0, 0, CH));  // busy: nothing changes
}

TEST_F(ImageTest, SetMotionSlotChecksWhatTheFileClaims)
{
    struct Case { const char* what; uint32_t slot; int32_t v14; int32_t v15; int expected; } cases[] = {
        {"slot 0", 0, 100, 0, 0},
        {"slot 33", 33, 100, 0, 0},
        {"count below 0", 1, 88, 0, 0},
        {"count 0", 1, 89, 0, 1},
        {"count past the buffer", 1, 0xFF, 0xFF, 0},
        {"negative high byte", 1, 0, -1, 0},
        {"largest image", 32, (65535 - 555 + 89) & 0xFF, (65535 - 555 + 89) >> 8, 1},
    };
    for (const Case& c : cases) {
        link->fileBuffer[CH][14] = c.v14;
        link->fileBuffer[CH][15] = c.v15;
        EXPECT_EQ(c.expected, link->setMotionSlot(c.slot, 0, CH)) << c.what;
    }
    // With slot 32 holding the largest image, one more value anywhere is too much.
    fileOf(1);
    EXPECT_EQ(0, link->setMotionSlot(3, 0, CH));
    EXPECT_EQ(1, link->buildRemoteFile(1, 0, CH));
    EXPECT_EQ(65535, link->imageLength[CH]);

    EXPECT_EQ(0, link->setMotionSlot(4, 1, CH));  // removing an empty slot
    EXPECT_EQ(1, link->setMotionSlot(32, 1, CH));
    EXPECT_EQ(0, link->slotLength[CH][31]);
}

TEST_F(ImageTest, StartPadsTheImageToWholeBlocks)
{
    fileOf(21732 - 485);
    ASSERT_EQ(1, link->setMotionSlot(1, 0, CH));
    link->buildRemoteFile(0, 0, CH);
    ASSERT_EQ(21732, link->imageLength[CH]);
    link->channel[CH].HX = kgiRobotLink::BOARD_TLD8150;
    ASSERT_EQ(1, link->startDownload(1, 0, CH));
    EXPECT_EQ(21760, link->imageLength[CH]);  // 170 blocks
    EXPECT_EQ(21732, link->bytesToSend[CH]);
    EXPECT_EQ(0u, link->Remo_File_Tbl[CH][21759]);
    EXPECT_EQ(0, link->startDownload(1, 0, CH));  // busy now
}

TEST_F(ImageTest, BaseImageComesOnlyFromItsFile)
{
    link->channel[CH].HX = kgiRobotLink::BOARD_TLD8150;
    link->baseImageFile = "/nonexistent/baseimage.bin";
    EXPECT_EQ(kgiRobotLink::START_NO_BASE_IMAGE, link->startBaseImageDownload(1, 0, CH));
    EXPECT_EQ(0u, link->download[CH]);
    ASSERT_EQ(1u, messages.shown.size());

    std::vector<uint8_t> image(21732, 0xFF);
    image[14] = 0xE4;
    image[15] = 0x54;
    EXPECT_TRUE(kgiRobotLink::isBaseImage(image.data(), image.size()));
    EXPECT_FALSE(kgiRobotLink::isBaseImage(image.data(), image.size() - 1));
    image[15] = 0x55;
    EXPECT_FALSE(kgiRobotLink::isBaseImage(image.data(), image.size()));
    image[15] = 0x54;
    const std::string path = testing::TempDir() + "kgi_baseimage_" + std::to_string(std::random_device{}()) + ".bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
    link->baseImageFile = path;
    EXPECT_EQ(1, link->startBaseImageDownload(1, 0, CH));
    EXPECT_EQ(21760, link->imageLength[CH]);
    EXPECT_EQ(21732, link->bytesToSend[CH]);
    EXPECT_EQ(26u, link->Remo_File_Tbl[CH][8]);  // stamped now
    std::remove(path.c_str());
}

} // namespace
