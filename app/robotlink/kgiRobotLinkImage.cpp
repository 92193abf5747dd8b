// The motion store and the download image the board runs its motions from.
#include "kgiRobotLink.h"

#include <cstdio>
#include <cstring>

namespace {

const uint8_t IMAGE_NAME[8] = {0x52, 0x45, 0x4D, 0x4F, 0x43, 0x4F, 0x4E, 0x20};  // "REMOCON "

const uint8_t BLOCK_A_HEAD[] = {
    0xED, 0x01, 0xB6, 0x06, 0xB4, 0x00, 0x06, 0x09, 0xB4, 0x06, 0x06, 0x3F, 0xB4, 0x0C, 0x06,
    0x00, 0xB4, 0x12, 0x06, 0x16, 0xB9, 0x00, 0x06, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0xB9,
    0x06, 0x06, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0xB9, 0x0C, 0x06, 0x01, 0x01, 0x01, 0x00,
    0x00, 0x00, 0xB9, 0x12, 0x06, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0xDD, 0x12, 0x05, 0xDA,
    0x10, 0xDA, 0x11,
};  // then DA 12 n for n = 0x02..0x17: 129 values in all

const uint8_t BLOCK_B0[] = {0xD0, 0x15, 0x40, 0x10, 0x00, 0xC7, 0x15, 0x40, 0x21, 0x96, 0x00};

const uint8_t BLOCK_B1[] = {
    0xC0, 0xA0, 0x00, 0x11, 0x35, 0x11, 0x00, 0xD0, 0x15, 0x41, 0x10, 0x00, 0xC4, 0xC8, 0x00,
    0xC0, 0xB1, 0x00, 0x11, 0x35, 0x12, 0x02, 0x00, 0xD0, 0x15, 0x41, 0x12, 0x20, 0x00, 0xC4,
    0xC8, 0x00, 0xC0, 0xC2, 0x00, 0x11, 0x35, 0x12, 0x03, 0x00, 0xD0, 0x15, 0x41, 0x12, 0x40,
    0x00, 0xC4, 0xC8, 0x00, 0xD0, 0x15, 0x41, 0x12, 0x60, 0x00, 0xD0, 0x15, 0x40, 0x10, 0x00,
    0xD0, 0x15, 0x40, 0xFB, 0x11, 0x00, 0xD0, 0x15, 0x40, 0x15, 0x40, 0x22, 0x15, 0x41, 0x00,
    0xC7, 0x15, 0x40, 0x21, 0xCD, 0x00,
};

// Per layout variant: the jump after the offsets, the separator between
// slots (its last five values open the next slot), and the trailer's head.
struct Variant {
    const uint8_t* blockB;
    int blockBLength;
    uint8_t jump[6];
    uint8_t separator[8];
    uint8_t trailer[4];
    int32_t firstOffset;
};
const Variant VARIANTS[2] = {
    {BLOCK_B0, sizeof BLOCK_B0, {0xC4, 0x96, 0x00, 0xC4, 0xDF, 0x00},
     {0xC4, 0x96, 0x00, 0xD0, 0x15, 0x40, 0x10, 0x00}, {0xC4, 0x96, 0x00, 0xC4}, 226},
    {BLOCK_B1, sizeof BLOCK_B1, {0xC4, 0xCD, 0x00, 0xC4, 0x25, 0x01},
     {0xC4, 0xCD, 0x00, 0xD0, 0x15, 0x40, 0x10, 0x00}, {0xC4, 0xCD, 0x00, 0xC4}, 296},
};
const uint8_t FIRST_PREAMBLE[5] = {0xD0, 0x15, 0x40, 0x10, 0x00};

// Values an image has besides its slots, in each variant.
const int32_t EMPTY_IMAGE_VALUES[2] = {485, 555};
const int32_t HEADER_VALUES = 86;       // values of a remote-control file before its motion
const int32_t FILE_COUNT_OFFSET = 89;   // file's value count minus this = the slot's count
const int32_t SUM_MARGIN = 16;          // the sum leaves out this many values at each end

} // namespace

int kgiRobotLink::setMotionSlot(uint32_t slot, uint32_t remove, uint32_t ch)
{
    // Slot numbers and counts come from remote-control files: check them.
    if (slot < 1 || slot > MOTION_SLOTS) return 0;
    const uint32_t k = slot - 1;
    if (remove) {
        if (slotLength[ch][k] == 0) return 0;
        slotLength[ch][k] = 0;
        motionStore[ch][k][0] = 0;
        return 1;
    }
    const int64_t count = static_cast<int64_t>(fileBuffer[ch][15]) * 256 + fileBuffer[ch][14] -
                          FILE_COUNT_OFFSET;
    if (count < 0 || count > SLOT_VALUES - HEADER_VALUES) return 0;
    int64_t others = 0;
    for (uint32_t j = 0; j < MOTION_SLOTS; ++j)
        if (j != k) others += slotLength[ch][j];
    if (EMPTY_IMAGE_VALUES[1] + others + count > MAX_IMAGE_VALUES) return 0;
    motionStore[ch][k][0] = static_cast<int32_t>(count);
    std::memcpy(&motionStore[ch][k][1], &fileBuffer[ch][HEADER_VALUES],
                static_cast<size_t>(count) * sizeof(int32_t));
    slotLength[ch][k] = static_cast<int32_t>(count);
    return 1;
}

int kgiRobotLink::buildRemoteFile(uint32_t flag, uint32_t, uint32_t ch)
{
    if (!machinesIdle(ch)) return 0;
    const int v = flag == 0 ? 0 : 1;
    const Variant& var = VARIANTS[v];
    int64_t slots = 0;
    for (int k = 0; k < MOTION_SLOTS; ++k) slots += slotLength[ch][k];
    if (EMPTY_IMAGE_VALUES[v] + slots > MAX_IMAGE_VALUES) return 0;

    IndexEntry* index = R_Index_Tbl[ch];
    index[0].offset = var.firstOffset;
    for (int k = 0; k < MOTION_SLOTS; ++k) {
        index[k].length = slotLength[ch][k];
        if (k < MOTION_SLOTS - 1) index[k + 1].offset = index[k].offset + 8 + index[k].length;
    }

    uint32_t* img = Remo_File_Tbl[ch];
    int32_t n = 0;
    auto put = [&](uint32_t value) { img[n++] = value; };
    auto putAll = [&](const uint8_t* values, int count) {
        for (int i = 0; i < count; ++i) put(values[i]);
    };
    putAll(IMAGE_NAME, 8);
    for (int i = 0; i < 6; ++i) put(0);  // time stamp, set below when the image changed
    n += 2;                               // length, set below
    putAll(BLOCK_A_HEAD, sizeof BLOCK_A_HEAD);
    for (uint32_t i = 0x02; i <= 0x17; ++i) {
        put(0xDA);
        put(0x12);
        put(i);
    }
    putAll(var.blockB, var.blockBLength);
    for (int k = 0; k < MOTION_SLOTS; ++k) {
        put(static_cast<uint32_t>(index[k].offset) & 0xFF);
        put((static_cast<uint32_t>(index[k].offset) >> 8) & 0xFF);
    }
    putAll(var.jump, 6);
    putAll(FIRST_PREAMBLE, 5);
    for (int k = 0; k < MOTION_SLOTS; ++k) {
        for (int32_t i = 1; i <= slotLength[ch][k]; ++i) put(static_cast<uint32_t>(motionStore[ch][k][i]));
        if (k < MOTION_SLOTS - 1) putAll(var.separator, 8);
    }
    putAll(var.trailer, 4);
    n += 2;
    imageLength[ch] = n;
    const uint32_t back = static_cast<uint32_t>(n - 3);  // the last jump points at itself
    img[n - 2] = back & 0xFF;
    img[n - 1] = (back >> 8) & 0xFF;
    img[14] = static_cast<uint32_t>(n) & 0xFF;
    img[15] = (static_cast<uint32_t>(n) >> 8) & 0xFF;
    bytesToSend[ch] = n;

    int64_t sum = 0;
    for (int32_t i = SUM_MARGIN; i <= n - 1 - SUM_MARGIN; ++i) sum += static_cast<int32_t>(img[i]);
    Befor_Send_Sum[ch] = static_cast<int32_t>(sum);
    if (Befor_Send_Sum[ch] == Save_Befor_Send_Sum[ch]) return 0;
    Save_Befor_Send_Sum[ch] = Befor_Send_Sum[ch];
    stampImage(ch);
    return 1;
}

void kgiRobotLink::resetImageSum(uint32_t ch)
{
    Save_Befor_Send_Sum[ch] = 0;
}

void kgiRobotLink::stampImage(uint32_t ch)
{
    const platform::LocalTime t = clock.localTime();
    uint32_t* img = Remo_File_Tbl[ch];
    img[8] = static_cast<uint32_t>(t.year - 2000) & 0xFF;
    img[9] = static_cast<uint32_t>(t.month);
    img[10] = static_cast<uint32_t>(t.day);
    img[11] = static_cast<uint32_t>(t.hour);
    img[12] = static_cast<uint32_t>(t.minute);
    img[13] = static_cast<uint32_t>(t.second);
}

void kgiRobotLink::padImage(uint32_t ch)
{
    // The board takes whole blocks; bytesToSend keeps the real length.
    while (imageLength[ch] % BLOCK_VALUES != 0 && imageLength[ch] < IMAGE_VALUES)
        Remo_File_Tbl[ch][imageLength[ch]++] = 0;
}

int kgiRobotLink::startImageDownload(uint32_t playNumber, uint32_t ch)
{
    padImage(ch);
    playAfterDownload[ch] = playNumber;
    blockRejected[ch] = 0;
    downloadErrorBase[ch] = channel[ch].Error;
    downloadResult[ch] = DOWNLOAD_RUNNING;
    download[ch] = 10;
    return START_OK;
}

int kgiRobotLink::startDownload(int32_t, uint32_t playNumber, uint32_t ch)
{
    if (channel[ch].HX != BOARD_TLD8150 || !machinesIdle(ch)) return START_BUSY;
    return startImageDownload(playNumber, ch);
}

int kgiRobotLink::startBaseImageDownload(int32_t, uint32_t playNumber, uint32_t ch)
{
    if (channel[ch].HX != BOARD_TLD8150 || !machinesIdle(ch)) return START_BUSY;
    if (!loadBaseImage(ch)) {
        showMessage("Error - 006", "Base Image File Not Found!");
        return START_NO_BASE_IMAGE;
    }
    stampImage(ch);
    return startImageDownload(playNumber, ch);
}

bool kgiRobotLink::isBaseImage(const uint8_t* data, size_t size)
{
    return size == BASE_IMAGE_VALUES && data[14] == (BASE_IMAGE_VALUES & 0xFF) &&
           data[15] == (BASE_IMAGE_VALUES >> 8);
}

bool kgiRobotLink::loadBaseImage(uint32_t ch)
{
    // The base image is the board's own program, supplied beside the program;
    // without it nothing is sent: a made-up image must never reach a robot.
    std::FILE* f = std::fopen(baseImageFile.c_str(), "rb");
    if (!f) return false;
    static_assert(BASE_IMAGE_VALUES < IMAGE_VALUES, "base image fits the image");
    uint8_t* bytes = baseImageBytes;
    size_t n = std::fread(bytes, 1, BASE_IMAGE_VALUES + 1, f);
    std::fclose(f);
    if (!isBaseImage(bytes, n)) return false;
    for (int i = 0; i < BASE_IMAGE_VALUES; ++i)
        Remo_File_Tbl[ch][i] = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(bytes[i])));
    imageLength[ch] = BASE_IMAGE_VALUES;
    bytesToSend[ch] = BASE_IMAGE_VALUES;
    return true;
}
