// The HX-3 request machines: motion read (A), motion write (B) and the pose
// read. The program opens only TL-D8150 channels; these are reached from the
// developer page. Each queueing state n is followed by its waiting state
// n + 1, which goes on when the packet was answered and queues it again when
// it failed.
#include "kgiRobotLink.h"

#include <cstring>

namespace {

const uint16_t SERVO_FREE = 0x8000;
const uint16_t SERVO_RELEASE = 0x8002;
const uint16_t SERVO_HOLD = 0x8006;
const uint16_t ROW_END = 0xFFFF;
const uint16_t ROW_MARKER = 0x8555;
const uint32_t MARKER_COUNT = 20;  // more marked values than this mark the row table

} // namespace

int kgiRobotLink::startPlayMotion(uint32_t motion, uint32_t ch)
{
    if (channel[ch].BaudRate == 0 || channel[ch].HX != BOARD_HX3 || hxMachinesBusy(ch)) return 0;
    hxMotion[ch] = motion;
    hxByteRows[ch] = 0;
    hxMachineA[ch] = 10;
    return 1;
}

int kgiRobotLink::startPlayMotionB(uint32_t motion, uint32_t ch)
{
    if (channel[ch].BaudRate == 0 || channel[ch].HX != BOARD_HX3 || hxMachinesBusy(ch)) return 0;
    hxMotion[ch] = motion;
    hxByteRows[ch] = 0;
    hxMachineB[ch] = 10;
    return 1;
}

int kgiRobotLink::startPlayMotion80(uint32_t motion, uint32_t ch)
{
    if (!startPlayMotion(motion + 80, ch)) return 0;
    hxByteRows[ch] = 1;
    return 1;
}

int kgiRobotLink::startPlayMotionB80(uint32_t motion, uint32_t ch)
{
    if (!startPlayMotionB(motion + 80, ch)) return 0;
    hxByteRows[ch] = 1;
    return 1;
}

void kgiRobotLink::stepHxMachine(uint32_t ch, bool writer)
{
    uint32_t& s = writer ? hxMachineB[ch] : hxMachineA[ch];
    if (s == 0) return;
    uint8_t* var = cmdVar[ch];
    uint16_t* row = hxRows[ch][hxRow[ch] % HX_ROWS];
    const uint32_t m = hxMotion[ch];
    const bool bytes = hxByteRows[ch] != 0;

    if (s % 10 == 1 || s == 66 || s == 76) {
        // Waiting for the packet queued by state s - 1.
        const uint32_t r = replyStatus(ch);
        if (r == REPLY_FAILED) { --s; return; }
        if (r != REPLY_ANSWERED) return;
        const uint32_t from = s - 1;
        switch (from) {
        case 10:
        case 80:
            hxSavedWord[ch] = cmdVar16[ch][43];
            s = from + 10;
            return;
        case 20:
            std::memcpy(hxSavedServo[ch], servo16[ch], sizeof hxSavedServo[ch]);
            hxSavedSpeed[ch] = speed[ch];
            s = 30;
            return;
        case 30: s = 40; return;
        case 40: s = 50; return;
        case 50:
            if (!writer) { s = 60; return; }
            hxRowCount[ch] = bytes ? 0 : var[45];
            if (bytes)
                while (hxRowCount[ch] < HX_ROW_BYTES && hxRowBytes[ch][hxRowCount[ch]] != 0xFF) ++hxRowCount[ch];
            var[45] = static_cast<uint8_t>(hxRowCount[ch]);
            hxRow[ch] = 0;
            s = 70;
            return;
        case 60:
            if (writer) { s = 65; return; }
            hxRowCount[ch] = var[45];
            hxRow[ch] = 0;
            s = 70;
            return;
        case 65: s = 80; return;
        case 70:
            if (!writer) {
                if (!bytes) {
                    row[0] = speed[ch];
                    uint32_t marked = 0, high = 0;
                    for (int i = 0; i < SERVOS; ++i) {
                        row[1 + i] = servo16[ch][i];
                        if (servo16[ch][i] == ROW_MARKER) ++marked;
                        if (servo16[ch][i] >= SERVO_FREE) ++high;
                    }
                    if (marked > MARKER_COUNT) hxMarker[ch] = 1;
                    if (high > MARKER_COUNT) {
                        // A control row: make all 24 values the one that most of them hold.
                        uint32_t same = 0;
                        for (int i = 1; i < SERVOS; ++i)
                            if (row[1 + i] == row[1]) ++same;
                        uint16_t v = row[1];
                        if (same * 2 < SERVOS - 1)
                            for (int i = 1; i < SERVOS; ++i)
                                if (row[1 + i] != row[1]) v = row[1 + i];
                        for (int i = 0; i < SERVOS; ++i) row[1 + i] = v;
                    }
                } else {
                    hxRowBytes[ch][hxRow[ch] % HX_ROW_BYTES] = var[139];
                }
            }
            if (++hxRow[ch] < hxRowCount[ch]) { s = 70; return; }
            if (!writer && bytes) {
                hxRowBytes[ch][hxRow[ch] % HX_ROW_BYTES] = 0xFF;
                hxRow[ch] = 0;
                s = 75;
                return;
            }
            s = writer ? 60 : 80;
            return;
        case 75:
            if (++hxRow[ch] < hxRowCount[ch]) { s = 75; return; }
            s = 80;
            return;
        case 90:
            if (!writer)
                for (int r = 0; r < HX_ROWS; ++r)
                    for (int v = 25; v < HX_ROW_VALUES; ++v) hxRows[ch][r][v] = 0;
            s = 0;
            return;
        default:
            s = 0;
            return;
        }
    }

    switch (s) {
    case 10:
        if (writer && !bytes && hxRowCount[ch] == 0) { s = 0; return; }
        if (!writer) hxMarker[ch] = 0;
        var[40] = 0;
        enqueueCommand(2, ch);
        break;
    case 20:
        var[40] = var[139] = var[41] = 0;
        enqueueCommand(9, ch);
        break;
    case 30:
        var[40] = 1;
        var[139] = var[41] = 0;
        speed[ch] = 1;
        for (int i = 0; i < SERVOS; ++i)
            servo16[ch][i] = (!writer && hxSavedServo[ch][i] == SERVO_FREE) ? SERVO_FREE : SERVO_RELEASE;
        enqueueCommand(8, ch);
        break;
    case 40:
        var[40] = 1;
        cmdVar16[ch][43] = static_cast<uint16_t>(hxSavedWord[ch] | 1);
        enqueueCommand(1, ch);
        break;
    case 50:
        var[40] = 1;
        var[139] = var[41] = 0;
        std::memcpy(servo16[ch], hxSavedServo[ch], sizeof hxSavedServo[ch]);
        enqueueCommand(8, ch);
        break;
    case 60:
        var[139] = static_cast<uint8_t>(m);
        enqueueCommand(4, ch);
        break;
    case 65:
        var[40] = 1;
        var[139] = static_cast<uint8_t>(m);
        var[45] = static_cast<uint8_t>(hxRowCount[ch] + 1);
        var[46] = var[47] = var[48] = 0xFF;
        cmdVar16[ch][87] = 0x0110;
        enqueueCommand(3, ch);
        break;
    case 70:
        if (hxRowCount[ch] == 0) { s = 80; return; }
        if (!bytes) {
            var[40] = writer ? 3 : 2;
            var[139] = static_cast<uint8_t>(m);
            var[41] = static_cast<uint8_t>(hxRow[ch]);
            if (writer) {
                speed[ch] = static_cast<uint8_t>(row[0]);
                for (int i = 0; i < SERVOS; ++i) servo16[ch][i] = row[1 + i];
                enqueueCommand(8, ch);
            } else {
                enqueueCommand(9, ch);
            }
        } else {
            var[40] = 1;
            var[140] = static_cast<uint8_t>(writer ? m - 80 : playNumber[ch] - 80);
            var[41] = static_cast<uint8_t>(hxRow[ch]);
            if (writer) {
                var[139] = hxRowBytes[ch][hxRow[ch] % HX_ROW_BYTES];
                enqueueCommand(14, ch);
            } else {
                enqueueCommand(15, ch);
            }
        }
        break;
    case 75:
        var[139] = static_cast<uint8_t>(hxRow[ch]);
        enqueueCommand(4, ch);
        s = 76;
        return;
    case 80:
        if (!writer && hxRowCount[ch] == 0) {
            for (int i = 0; i < SERVOS; ++i) hxRows[ch][0][1 + i] = ROW_END;
            hxRowBytes[ch][0] = 0xFF;
        }
        var[40] = static_cast<uint8_t>(var[40] & ~3u);
        enqueueCommand(2, ch);
        break;
    case 90:
        var[40] = static_cast<uint8_t>(var[40] | 1);
        cmdVar16[ch][43] = static_cast<uint16_t>(hxSavedWord[ch] & ~1u);
        enqueueCommand(1, ch);
        break;
    default:
        s = 0;
        return;
    }
    s = (s == 65) ? 66 : s + 1;
}

void kgiRobotLink::stepHxPoseRead(uint32_t ch)
{
    uint32_t& s = hxPoseRead[ch];
    const uint32_t r = replyStatus(ch);
    switch (s) {
    case 0:
    case 12:
        break;
    case 10:
        if (servosHeld[ch] == 0) break;
        servosHeld[ch] = 0;
        for (int i = 0; i < SERVOS; ++i)
            if (servoSelect[ch][i] == 1) servo16[ch][i] = SERVO_RELEASE;
        enqueueCommand(8, ch);
        s = 11;
        break;
    case 11:
        if (r == REPLY_ANSWERED) {
            s = 12;
        } else if (r == REPLY_FAILED) {
            servosHeld[ch] = 1;  // nothing was released: try again from the start
            s = 10;
        }
        break;
    case 20:
        if (servosHeld[ch] != 0) break;
        for (int i = 0; i < SERVOS; ++i)
            if (servoSelect[ch][i] == 1) servo16[ch][i] = SERVO_HOLD;
        enqueueCommand(8, ch);
        enqueueCommand(13, ch);
        s = 21;
        break;
    case 21:
        if (r == REPLY_ANSWERED) {
            servosHeld[ch] = 1;
            s = 0;
        } else if (r == REPLY_FAILED) {
            s = 20;
        }
        break;
    default:
        s = 0;
        break;
    }
}
