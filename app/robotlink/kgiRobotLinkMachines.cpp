// The TL-D8150 request machines that tick() steps: pose read, information
// read, pose wait, motion download, servo groups, and pending servo changes.
// Each machine takes at most one step per tick; every wait is counted in
// ticks, and every step that queues several packets first checks that the
// ring has room for all of them.
#include "kgiRobotLink.h"

#include <cstring>

namespace {

// Servos whose positions a pose read releases and reads back, per mode, and
// the banks of six positions the board reports them in.
const uint8_t GROUP_ALL[] = {0, 1, 2, 3, 4, 6, 7, 8, 12, 13, 14, 18, 19, 20, 21, 22};
const uint8_t GROUP_UPPER[] = {6, 7, 8, 12, 13, 14};
const uint8_t GROUP_LOWER[] = {0, 1, 2, 3, 4, 18, 19, 20, 21, 22};
struct PoseGroup { const uint8_t* servos; uint32_t count; uint8_t banks[4]; uint32_t bankCount; };
const PoseGroup POSE_GROUPS[3] = {
    {GROUP_ALL, sizeof GROUP_ALL, {0, 1, 2, 3}, 4},
    {GROUP_UPPER, sizeof GROUP_UPPER, {1, 2, 0, 0}, 2},
    {GROUP_LOWER, sizeof GROUP_LOWER, {0, 3, 0, 0}, 2},
};
const uint32_t POSE_RELEASE_SLOTS = 33;  // 0xFA and a pair per servo of the largest group
const uint32_t POSE_HOLD_SLOTS = 209;    // 13 packets per servo of the largest group, 0xFB

const uint32_t INFO_TABLE_SLOTS = 72;    // the table part of the information read
const uint32_t STATUS_WAIT_TICKS = 101;  // ticks a status poll may take to report "busy"
const uint32_t END_BYTE_TICKS = 10;
const uint8_t STATUS_UNKNOWN = 0x55;     // written before a poll: no answer yet
const uint8_t STATUS_BUSY = 0xFF;
const uint32_t PLAY_DONE = 33;           // playAfterDownload: nothing (more) to play
const uint32_t HIGH_SPEED = 115200;
const uint32_t LOW_SPEED = 9600;

// Servo-group rows: a servo and a value to set, and for rows 0..9 a second
// pair that follows on the fourth tick.
struct GroupRow { uint8_t servo1, value1, servo2, value2; };
const GroupRow GROUP_ROWS[16] = {
    {4, 103, 22, 96}, {22, 103, 4, 96}, {4, 103, 22, 103}, {21, 96, 21, 93},
    {6, 103, 6, 100}, {12, 103, 12, 100}, {7, 33, 7, 30}, {13, 33, 13, 30},
    {6, 97, 6, 100}, {12, 97, 12, 100}, {6, 97, 0, 0}, {6, 100, 0, 0},
    {6, 103, 0, 0}, {12, 97, 0, 0}, {12, 100, 0, 0}, {12, 103, 0, 0},
};
const uint32_t GROUP_SECOND_TICK = 4;

} // namespace

bool kgiRobotLink::machinesIdle(uint32_t ch) const
{
    return download[ch] == 0 && servoGroup[ch] == 0 && infoRead[ch] == 0 && poseRead[ch] == 0;
}

void kgiRobotLink::tick()
{
    ++tickCount;
    for (uint32_t ch = 0; ch < CHANNELS; ++ch) {
        if (channel[ch].BaudRate == 0 || channel[ch].HX != BOARD_HX3) continue;
        stepHxMachine(ch, false);
        stepHxMachine(ch, true);
        stepHxPoseRead(ch);
    }
    for (uint32_t ch = 0; ch < CHANNELS; ++ch) {
        if (channel[ch].BaudRate == 0 || channel[ch].HX != BOARD_TLD8150) continue;
        stepPoseRead(ch);
        stepInfoRead(ch);
        stepPoseWait(ch);
        stepDownload(ch);
        stepServoGroup(ch);
    }
    for (uint32_t ch = 0; ch < CHANNELS; ++ch)
        if (channel[ch].BaudRate != 0) stepPendingServos(ch);
    for (uint32_t ch = 0; ch < CHANNELS; ++ch) {
        channel[ch].CommStatus = inFlight[ch] ? 1 : 0;
        linkBusy[ch] = inFlight[ch] ? 1 : 0;
    }
    serviceIo();
}

// --- starters -----------------------------------------------------------------

int kgiRobotLink::startPoseRead(uint32_t ch, int32_t mode)
{
    if (channel[ch].BaudRate == 0) return START_BUSY;
    if (channel[ch].HX == BOARD_HX3) {
        if (hxPoseRead[ch] != 0) return START_BUSY;
        hxPoseRead[ch] = 10;
        return START_OK;
    }
    if (mode < 0 || mode > 2 || !machinesIdle(ch)) return START_BUSY;
    poseReadMode[ch] = static_cast<uint32_t>(mode);
    poseRead[ch] = 10;
    return START_OK;
}

int kgiRobotLink::stopPoseRead(uint32_t ch)
{
    if (channel[ch].BaudRate == 0) return 0;
    uint32_t& state = channel[ch].HX == BOARD_HX3 ? hxPoseRead[ch] : poseRead[ch];
    if (state != 12) return 0;
    state = 20;
    return 1;
}

int kgiRobotLink::startInfoRead(uint32_t flag, uint32_t ch)
{
    if (channel[ch].HX != BOARD_TLD8150 || !machinesIdle(ch)) return START_BUSY;
    std::memset(robotInfo[ch], 0, sizeof robotInfo[ch]);
    infoReadFlag[ch] = flag;
    infoRead[ch] = 10;
    return START_OK;
}

int kgiRobotLink::queueCommand53(uint32_t ch)
{
    if (!machinesIdle(ch)) return 0;
    if (queueIsFull(1, ch)) {
        ++Cmd_Skip[ch];
        return 0;
    }
    return enqueueCommand(53, ch);
}

int kgiRobotLink::sendRemoteControl(uint32_t motion, uint32_t ch)
{
    if (!machinesIdle(ch) || queueIsFull(4, ch)) {
        ++Cmd_Skip[ch];
        return 0;
    }
    const uint8_t play[4] = {0xF8, 0x40, 0x01, static_cast<uint8_t>(motion)};
    for (uint8_t b : play) streamByte(b, ch);
    playAfterDownload[ch] = 0;
    return 1;
}

int kgiRobotLink::queueEndByte(uint32_t ch)
{
    if (!machinesIdle(ch)) return 0;
    if (queueIsFull(1, ch)) {
        ++Cmd_Skip[ch];
        return 0;
    }
    return streamByte(0xFB, ch);
}

int kgiRobotLink::startServoGroup(uint32_t row, uint32_t ch)
{
    if (channel[ch].HX != BOARD_TLD8150 || row >= 16 || !machinesIdle(ch)) return 0;
    servoGroupIndex[ch] = row;
    servoGroupWait[ch] = 0;
    servoGroup[ch] = 10;
    return 1;
}

uint32_t kgiRobotLink::isIdle(uint32_t ch)
{
    if (Q_Read[ch] != Q_Write[ch]) {
        idleCount[ch] = 0;
        return 0;
    }
    const Channel& r = channel[ch];
    if (r.Send != r.Receive + r.Error) return 0;
    if (idleCount[ch] < 1000) ++idleCount[ch];
    return idleCount[ch] > 10 ? 1 : 0;
}

// --- machines -----------------------------------------------------------------

void kgiRobotLink::stepPoseRead(uint32_t ch)
{
    const PoseGroup& g = POSE_GROUPS[poseReadMode[ch] < 3 ? poseReadMode[ch] : 0];
    switch (poseRead[ch]) {
    case 0:
        break;
    case 10:
        if (queueIsFull(POSE_RELEASE_SLOTS, ch) || servosHeld[ch] == 0) break;
        servosHeld[ch] = 0;
        streamByte(0xFA, ch);
        for (uint32_t i = 0; i < g.count; ++i) {
            streamByte(0xE8, ch);
            streamByte(g.servos[i], ch);
        }
        poseRead[ch] = 12;
        break;
    case 12:
        // Read the banks again each time the last reading has gone through.
        if (Q_Read[ch] != Q_Write[ch]) break;
        for (uint32_t b = 0; b < g.bankCount; ++b) {
            const uint8_t bank = g.banks[b];
            streamByte(static_cast<uint8_t>(0xD7 + bank), ch);
            for (uint8_t j = 0; j < 6; ++j) enqueueCommand(static_cast<uint8_t>(bank * 6 + j), ch);
        }
        break;
    case 20:
        if (queueIsFull(POSE_HOLD_SLOTS, ch) || servosHeld[ch] != 0) break;
        for (uint32_t i = 0; i < g.count; ++i) {
            const uint8_t s = g.servos[i];
            const uint8_t v = servo8[ch][s];
            streamByte(0xD2, ch);
            streamByte(s, ch);
            enqueueCommand(s, ch);
            const uint8_t hold[10] = {0xF8, static_cast<uint8_t>(s + 0x20), 0x03, v,
                                      0xF8, s, 0x03, v, 0xE7, s};
            for (uint8_t b : hold) streamByte(b, ch);
        }
        servosHeld[ch] = 1;
        streamByte(0xFB, ch);
        poseRead[ch] = 21;
        break;
    case 21:
        if (isIdle(ch)) poseRead[ch] = 0;
        break;
    default:
        poseRead[ch] = 0;
        break;
    }
}

void kgiRobotLink::stepInfoRead(uint32_t ch)
{
    uint32_t& s = infoRead[ch];
    switch (s) {
    case 0:
        break;
    case 10:
        if (queueIsFull(3, ch)) break;
        enqueueCommand(53, ch);
        streamByte(0xF0, ch);
        enqueueCommand(59, ch);
        s = 11;
        break;
    case 12: case 14: case 16: case 18: case 20:
        // Each asks with the byte received last and gets the next one.
        if (queueIsFull(1, ch)) break;
        enqueueCommand(static_cast<uint8_t>(60 + (s - 12) / 2), ch);
        ++s;
        break;
    case 11: case 13: case 15: case 17: case 19: case 21: case 23:
        // A failed packet keeps the read waiting here; the session's own wait
        // or the link-lost recovery ends it.
        if (replyStatus(ch) == REPLY_ANSWERED) ++s;
        break;
    case 22:
        if (infoReadFlag[ch] == 2) {
            s = 24;
            break;
        }
        if (queueIsFull(INFO_TABLE_SLOTS, ch)) break;
        {
            const uint8_t a[3] = {0xF7, 0xF2, 0x04};
            for (uint8_t b : a) streamByte(b, ch);
            enqueueCommand(67, ch);
            const uint8_t c[3] = {0xF7, 0xF3, 0x04};
            for (uint8_t b : c) streamByte(b, ch);
            enqueueCommand(68, ch);
            for (uint8_t k = 0; k < 8; ++k) {
                streamByte(0xF2, ch);
                streamByte(k, ch);
                streamByte(0x00, ch);
                enqueueCommand(k == 0 ? 69 : (k == 7 ? 71 : 70), ch);
            }
            for (uint8_t k = 0; k < 8; ++k) {
                streamByte(0xF2, ch);
                streamByte(static_cast<uint8_t>(k + 8), ch);
                streamByte(0x00, ch);
                enqueueCommand(static_cast<uint8_t>(72 + k), ch);
            }
        }
        s = 23;
        break;
    case 24:
        if (queueIsFull(1, ch)) break;
        streamByte(0xFB, ch);
        s = 0;
        break;
    default:
        s = 0;
        break;
    }
}

void kgiRobotLink::stepPoseWait(uint32_t ch)
{
    uint32_t& s = poseWait[ch];
    switch (s) {
    case 0:
        break;
    case 10:
        if (queueIsFull(2, ch)) break;
        enqueueCommand(57, ch);
        enqueueCommand(58, ch);
        boardStatus[ch] = STATUS_UNKNOWN;
        statusWaitEnded[ch] = 0;
        poseWaitCount[ch] = 0;
        s = 33;
        break;
    case 33:
        if (++poseWaitCount[ch] < STATUS_WAIT_TICKS) {
            if (boardStatus[ch] == 0) boardStatus[ch] = STATUS_UNKNOWN;  // not moving yet
            else if (boardStatus[ch] == STATUS_BUSY) s = 34;
        } else {
            poseWaitCount[ch] = 0;
            s = 35;
        }
        break;
    case 34:
        if (boardStatus[ch] == 0 || statusWaitEnded[ch]) s = 35;
        break;
    case 35:
        if (queueIsFull(1, ch)) break;
        streamByte(0xFB, ch);
        s = 0;
        break;
    default:
        s = 0;
        break;
    }
}

void kgiRobotLink::stepServoGroup(uint32_t ch)
{
    const GroupRow& row = GROUP_ROWS[servoGroupIndex[ch] % 16];
    switch (servoGroup[ch]) {
    case 0:
        break;
    case 10: {
        if (queueIsFull(4, ch)) break;
        const uint8_t first[4] = {0xE6, row.servo1, row.value1, 0xFB};
        for (uint8_t b : first) streamByte(b, ch);
        servoGroupWait[ch] = 0;
        servoGroup[ch] = servoGroupIndex[ch] < 10 ? 20 : 0;
        break;
    }
    case 20: {
        if (queueIsFull(4, ch) || ++servoGroupWait[ch] < GROUP_SECOND_TICK) break;
        const uint8_t second[4] = {0xE6, row.servo2, row.value2, 0xFB};
        for (uint8_t b : second) streamByte(b, ch);
        servoGroup[ch] = 0;
        break;
    }
    default:
        servoGroup[ch] = 0;
        break;
    }
}

void kgiRobotLink::stepPendingServos(uint32_t ch)
{
    if (channel[ch].HX == BOARD_TLD8150) {
        // Single-servo sets never go between the blocks of a transfer.
        if (download[ch] != 0) return;
        uint32_t changed = 0;
        for (int s = 0; s < SERVOS; ++s)
            if (servoChanged[ch][s] != 0) ++changed;
        if (changed == 0 || queueIsFull(3 * changed + 1, ch)) return;
        for (int s = 0; s < SERVOS; ++s) {
            if (servoChanged[ch][s] == 0) continue;
            uint8_t* number = templates[2 * 51];
            uint8_t* position = templates[2 * 52];
            number[2] = static_cast<uint8_t>(s);
            templates[2 * 51 + 1][2] = static_cast<uint8_t>(s);
            position[2] = servo8[ch][s];
            templates[2 * 52 + 1][2] = servo8[ch][s];
            enqueueCommand(50, ch);
            enqueueCommand(51, ch);
            enqueueCommand(52, ch);
        }
        streamByte(0xFB, ch);
        std::memset(servoChanged[ch], 0, sizeof servoChanged[ch]);
    } else if (channel[ch].HX == BOARD_HX3) {
        bool any = false;
        for (int s = 0; s < SERVOS; ++s)
            if (servoChanged[ch][s] != 0) any = true;
        if (any) {
            cmdVar[ch][40] = 0;
            cmdVar[ch][139] = 0;
            cmdVar[ch][41] = 0;
            enqueueCommand(8, ch);
        }
        std::memset(servoChanged[ch], 0, sizeof servoChanged[ch]);
    }
}

// --- download -----------------------------------------------------------------

bool kgiRobotLink::switchSpeed(uint32_t ch, uint32_t baudRate)
{
    const uint8_t c = static_cast<uint8_t>(ch);
    if (closeChannel(c) != 0) showMessage("Error - 001", "COM close Fail!");
    if (reopenChannel(c, baudRate) == 0) return true;
    if (baudRate == HIGH_SPEED)
        showMessage("Error - 002", "Hi_Spd COM Open Fail!");
    else
        showMessage("Error - 003", "Lo_Spd COM Open Fail!");
    // Without a port the transfer can only wait for ever: end it as a lost link.
    Q_Read[ch] = Q_Write[ch];
    infoRead[ch] = servoGroup[ch] = poseRead[ch] = 0;
    download[ch] = 0;
    downloadResult[ch] = DOWNLOAD_LOST;
    servosHeld[ch] = 1;
    linkLost[ch] = 1;
    return false;
}

void kgiRobotLink::queueBlock(uint32_t ch)
{
    const bool last = bytesToSend[ch] <= BLOCK_VALUES;
    const int command = last ? 66 : 65;
    uint8_t* tpl = templates[2 * command];
    const uint32_t base = blockIndex[ch] * BLOCK_VALUES;
    for (int i = 0; i < BLOCK_VALUES; ++i)
        tpl[2 + 2 * i] = static_cast<uint8_t>(base + i < IMAGE_VALUES ? Remo_File_Tbl[ch][base + i] : 0);
    enqueueCommand(static_cast<uint8_t>(command), ch);
    if (last) {
        download[ch] = 30;
    } else {
        bytesToSend[ch] -= BLOCK_VALUES;
        ++blockIndex[ch];
        download[ch] = 310;
    }
}

void kgiRobotLink::stepDownload(uint32_t ch)
{
    uint32_t& s = download[ch];
    const uint32_t result = replyStatus(ch);
    switch (s) {
    case 0:
        break;
    case 10:
        if (queueIsFull(1, ch)) break;
        enqueueCommand(53, ch);
        s = 27;
        break;
    case 27:
        if (queueIsFull(1, ch)) break;
        streamByte(0xEC, ch);  // the board switches to the transfer speed
        s = 28;
        break;
    case 28:
        if (result == REPLY_ANSWERED || result == REPLY_FAILED) s = 299;
        break;
    case 299:
        if (Q_Read[ch] == Q_Write[ch]) s = 29;
        break;
    case 29:
        if (!switchSpeed(ch, HIGH_SPEED)) break;
        streamByte(static_cast<uint8_t>(Remo_File_Tbl[ch][14]), ch);
        streamByte(static_cast<uint8_t>(Remo_File_Tbl[ch][15]), ch);
        blockIndex[ch] = 0;
        enqueueCommand(55, ch);
        queueBlock(ch);
        break;
    case 301:
        queueBlock(ch);
        break;
    case 310:
        if (result != REPLY_ANSWERED && result != REPLY_FAILED) break;
        s = 301;
        if (blockRejected[ch]) {
            blockRejected[ch] = 0;
            Q_Read[ch] = Q_Write[ch];
            downloadResult[ch] = DOWNLOAD_REJECTED;
            s = 31;
        }
        break;
    case 30:
        if (result != REPLY_ANSWERED && result != REPLY_FAILED) break;
        if (blockRejected[ch]) {
            blockRejected[ch] = 0;
            downloadResult[ch] = DOWNLOAD_REJECTED;
        }
        s = 31;
        break;
    case 31:
        if (downloadResult[ch] == DOWNLOAD_RUNNING)
            downloadResult[ch] = channel[ch].Error != downloadErrorBase[ch] ? DOWNLOAD_DROPPED
                                                                             : DOWNLOAD_DONE;
        if (!switchSpeed(ch, LOW_SPEED)) break;
        s = 32;
        break;
    case 32:
        if (queueIsFull(6, ch)) break;
        downloadWait[ch] = 0;
        if (playAfterDownload[ch] == 0 || playAfterDownload[ch] == PLAY_DONE) {
            playAfterDownload[ch] = PLAY_DONE;
            streamByte(0xFB, ch);
            s = 50;
        } else {
            const uint8_t play[4] = {0xF8, 0x40, 0x01, static_cast<uint8_t>(playAfterDownload[ch])};
            for (uint8_t b : play) streamByte(b, ch);
            enqueueCommand(57, ch);
            enqueueCommand(58, ch);
            boardStatus[ch] = STATUS_UNKNOWN;
            statusWaitEnded[ch] = 0;
            playAfterDownload[ch] = PLAY_DONE;
            s = 33;
        }
        break;
    case 50:
        if (downloadWait[ch] == END_BYTE_TICKS) {
            downloadWait[ch] = 0;
            s = 35;
        } else {
            ++downloadWait[ch];
        }
        break;
    case 33:
        if (++downloadWait[ch] < STATUS_WAIT_TICKS) {
            if (boardStatus[ch] == 0) boardStatus[ch] = STATUS_UNKNOWN;
            else if (boardStatus[ch] == STATUS_BUSY) s = 34;
        } else {
            downloadWait[ch] = 0;
            s = 0;
        }
        break;
    case 34:
        if (boardStatus[ch] == 0 || statusWaitEnded[ch]) s = 35;
        break;
    case 35:
    default:
        s = 0;
        break;
    }
}
