// Servo tables and the pose stream.
#include "kgiRobotLink.h"

namespace {

// Positions the TL-D8150 accepts; values the HX-3 setters accept.
const int32_t TLD_MIN = 10, TLD_MAX = 190;
const int32_t HX3_MIN = 1, HX3_MAX = 32767;

// The pose stream: header, 24 positions, and the closing byte.
const uint8_t POSE_START = 0xFA, POSE_CODE = 0xB2, POSE_SERVOS = 0xEB;
const uint8_t POSE_END = 0xFB;
const uint32_t POSE_PACKETS = 31;  // 6 header bytes, 24 positions, the end byte

} // namespace

int kgiRobotLink::setServo(uint8_t servo, int32_t value, uint32_t ch)
{
    if (servo >= SERVOS) return 0;
    switch (channel[ch].HX) {
    case BOARD_TLD8150:
        if (value == servo8[ch][servo] || value > TLD_MAX || value < TLD_MIN) return 0;
        servo8[ch][servo] = static_cast<uint8_t>(value);
        break;
    case BOARD_HX3:
        if (value == servo16[ch][servo] || value > HX3_MAX || value < HX3_MIN) return 0;
        servo16[ch][servo] = static_cast<uint16_t>(value);
        break;
    default:
        return 1;
    }
    ++servoChanged[ch][servo];
    return 1;
}

int kgiRobotLink::adjustServo(uint8_t servo, int32_t delta, uint32_t ch)
{
    if (servo >= SERVOS || delta == 0) return 0;
    int64_t now;
    int32_t lo, hi;
    switch (channel[ch].HX) {
    case BOARD_TLD8150: now = servo8[ch][servo]; lo = TLD_MIN; hi = TLD_MAX; break;
    case BOARD_HX3: now = servo16[ch][servo]; lo = HX3_MIN; hi = HX3_MAX; break;
    default: return 1;
    }
    int64_t v = now + delta;
    if (v < lo || v > hi) return 0;
    if (channel[ch].HX == BOARD_TLD8150)
        servo8[ch][servo] = static_cast<uint8_t>(v);
    else
        servo16[ch][servo] = static_cast<uint16_t>(v);
    ++servoChanged[ch][servo];
    return 1;
}

int kgiRobotLink::incServo(uint8_t servo, uint32_t ch)
{
    if (servo >= SERVOS) return 0;
    switch (channel[ch].HX) {
    case BOARD_TLD8150:
        if (servo8[ch][servo] >= TLD_MAX) return 0;
        ++servo8[ch][servo];
        break;
    case BOARD_HX3:
        if (servo16[ch][servo] >= HX3_MAX) return 0;
        ++servo16[ch][servo];
        cmdVar16[ch][89] = servo16[ch][servo];
        cmdVar[ch][49] = servo;
        break;
    default:
        return 1;
    }
    ++servoChanged[ch][servo];
    return 1;
}

int kgiRobotLink::decServo(uint8_t servo, uint32_t ch)
{
    if (servo >= SERVOS) return 0;
    switch (channel[ch].HX) {
    case BOARD_TLD8150:
        if (servo8[ch][servo] <= TLD_MIN) return 0;
        --servo8[ch][servo];
        break;
    case BOARD_HX3:
        // The step goes down to 0, one below the setters' limit.
        if (servo16[ch][servo] == 0) return 0;
        --servo16[ch][servo];
        cmdVar16[ch][89] = servo16[ch][servo];
        cmdVar[ch][49] = servo;
        break;
    default:
        return 1;
    }
    --servoChanged[ch][servo];
    return 1;
}

int kgiRobotLink::sendSpeed(uint8_t level, uint32_t ch)
{
    cmdVar[ch][26] = level;
    if (level == 0 || level > 15) return 0;
    if (queueIsFull(2, ch)) {
        ++Cmd_Skip[ch];
        return 0;
    }
    streamByte(0xE9, ch);
    streamByte(level, ch);
    return 1;
}

int kgiRobotLink::sendPose(uint8_t speedByte, int32_t mode, uint32_t ch)
{
    if (channel[ch].HX == BOARD_HX3) {
        speed[ch] = speedByte;
        enqueueCommand(8, ch);
        return 1;
    }
    if (channel[ch].HX != BOARD_TLD8150 || !machinesIdle(ch) || queueIsFull(POSE_PACKETS, ch)) {
        ++Cmd_Skip[ch];
        return 0;
    }
    const uint8_t header[6] = {POSE_START, POSE_CODE, speedByte, POSE_SERVOS, 0x00, SERVOS};
    for (uint8_t b : header) streamByte(b, ch);
    for (int s = 0; s < SERVOS; ++s) streamByte(servo8[ch][s], ch);
    if (mode != 1)
        streamByte(POSE_END, ch);
    else
        poseWait[ch] = 10;  // sends the end byte once the board has finished moving
    return 1;
}
