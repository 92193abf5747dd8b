// The developer page: text lines about the link's state, and keys that fire
// single commands and test sequences. The window that shows it only feeds
// key states in and draws the log; everything here runs without a display.
#include "kgiRobotLink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const int32_t LINE_HEIGHT = 16;
const int32_t COLUMN_WIDTH = 110;
const uint32_t LAST_MOTION_NUMBER = 79;
const uint32_t FIRST_PLAY_NUMBER = 80, LAST_PLAY_NUMBER = 84;
const uint32_t LAST_COMMAND_CURSOR = 42;
const uint32_t LAST_MOTION_CURSOR = 32;

const char* const BOARD_NAMES[] = {"NULL,", "HX-1,", "HX-3,", "TL-D8150,"};
const char* const ROBOT_NAMES[] = {"NULL,", "VRT-1,", "VRT-2,", "VRT1HV,", "ZP-1,", "DORUZAVO-1,"};
const char* const WEEKDAYS[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};

// The last servo cursor: the robots differ in how many servos they use.
uint32_t lastServoCursor(uint32_t robot)
{
    if (robot == kgiRobotLink::ROBOT_DORUZAVO1) return 18;
    if (robot == kgiRobotLink::ROBOT_VRT1HV) return 19;
    return 17;
}

} // namespace

void kgiRobotLink::logLine(int32_t x, int32_t y, const char* text)
{
    if (logCount >= LOG_LINES) return;
    LogLine& l = log[logCount++];
    l.x = x;
    l.y = y;
    std::snprintf(l.text, sizeof l.text, "%s", text);
}

int kgiRobotLink::keyPressed(uint8_t key)
{
    if (!keyIsDown[key]) {
        keyCount[key] = 0;
        return 0;
    }
    if (keyCount[key] < 0xFFFFFFFFu) ++keyCount[key];
    return keyCount[key] == 1 ? 1 : 0;
}

int kgiRobotLink::loadSampleMotion(uint32_t, uint32_t)
{
    // The sample motions were test data of the board's makers; none ship.
    logLine(0, LINE_HEIGHT * 40, "no sample");
    return 0;
}

void kgiRobotLink::showDebugPage()
{
    clearLog();
    debugPageKeys();
    debugPageLines();
    stepDebugTests();
}

void kgiRobotLink::debugPageKeys()
{
    char text[LOG_TEXT];
    for (uint8_t k = KEY_F1; k <= KEY_F4; ++k)
        if (keyPressed(k)) pageChannel = k - KEY_F1;
    const uint32_t ch = pageChannel;
    const bool hx3 = channel[ch].HX == BOARD_HX3;
    const bool tld = channel[ch].HX == BOARD_TLD8150;

    if (keyPressed(KEY_P)) {
        pageNumber ^= 1;
        std::snprintf(text, sizeof text, "Page=%u", pageNumber);
        logLine(0, 0, text);
    }
    if (keyPressed(KEY_LEFT)) {
        if (servoCursor[ch] > 0) --servoCursor[ch];
        if (motionNumber[ch] > 0) --motionNumber[ch];
    }
    if (keyPressed(KEY_RIGHT)) {
        if (servoCursor[ch] < lastServoCursor(channel[ch].Robot)) ++servoCursor[ch];
        if (motionNumber[ch] < LAST_MOTION_NUMBER) ++motionNumber[ch];
    }
    const uint8_t servo = static_cast<uint8_t>(servoCursor[ch] > 0 ? servoCursor[ch] - 1 : 0);
    for (int dir = -1; dir <= 1; dir += 2) {
        if (!keyPressed(dir > 0 ? KEY_UP : KEY_DOWN)) continue;
        if (tld) {
            if (servoCursor[ch] == 0) {
                int level = cmdVar[ch][26] + dir;
                if (level >= 1 && level <= 15) sendSpeed(static_cast<uint8_t>(level), ch);
            } else {
                adjustServo(servo, dir, ch);
            }
        } else if (hx3) {
            if (servoCursor[ch] == 0)
                speed[ch] = static_cast<uint8_t>(speed[ch] + dir);
            else if (editMode)
                servoSelect[ch][servo] = dir > 0 ? 1 : 0;
            else if (dir > 0)
                incServo(servo, ch);
            else
                decServo(servo, ch);
            uint32_t play = playNumber[ch] + dir;
            if (play >= FIRST_PLAY_NUMBER && play <= LAST_PLAY_NUMBER) playNumber[ch] = play;
        }
    }
    if (keyPressed(KEY_END) && hx3) editMode ^= 1;
    if (keyPressed(KEY_NUM_PLUS)) {
        if (hx3 && commandCursor[ch] < LAST_COMMAND_CURSOR) ++commandCursor[ch];
        if (tld && motionCursor[ch] < LAST_MOTION_CURSOR) ++motionCursor[ch];
    }
    if (keyPressed(KEY_NUM_MINUS)) {
        if (hx3 && commandCursor[ch] > 0) --commandCursor[ch];
        if (tld && motionCursor[ch] > 0) --motionCursor[ch];
    }
    if (keyPressed(KEY_ENTER)) {
        if (hx3 && !queueIsFull(1, ch)) enqueueCommand(static_cast<uint8_t>(commandCursor[ch]), ch);
        if (tld) sendRemoteControl(motionCursor[ch], ch);
    }
    if (keyPressed(KEY_HOME)) {
        const uint32_t running = hx3 ? hxPoseRead[ch] : poseRead[ch];
        if (running == 0)
            startPoseRead(ch, 0);
        else
            stopPoseRead(ch);
    }
    if (tld) {
        if (keyPressed(KEY_A)) startBaseImageDownload(1, 0, ch);
        if (keyPressed(KEY_B)) queueEndByte(ch);
        if (keyPressed(KEY_NUM9)) loadSampleMotion(5, ch);
        if (keyPressed(KEY_S)) loadSampleMotion(4, ch);
        if (keyPressed(KEY_NUM1)) loadSampleMotion(4, ch);  // the repeat-download test needs a sample
        if (keyPressed(KEY_NUM6) && setMotionSlot(motionCursor[ch], 1, ch) == 0)
            showMessage("ok", "Make_Index_Tblエラー");
        if (keyPressed(KEY_D)) startServoGroup(motionCursor[ch], ch);
        if (keyPressed(KEY_F)) queueCommand53(ch);
    }
    if (hx3) {
        if (keyPressed(KEY_F5)) startPlayMotion80(playNumber[ch] - FIRST_PLAY_NUMBER, ch);
        if (keyPressed(KEY_F6)) startPlayMotionB80(playNumber[ch] - FIRST_PLAY_NUMBER, ch);
        if (keyPressed(KEY_F7) && !queueIsFull(1, ch)) {
            cmdVar[ch][139] = static_cast<uint8_t>(playNumber[ch]);
            enqueueCommand(5, ch);
        }
        if (keyPressed(KEY_F8)) startPlayMotion(motionNumber[ch], ch);
        if (keyPressed(KEY_NUM9)) startPlayMotionB(motionNumber[ch], ch);
        if (keyPressed(KEY_NUM0) && !queueIsFull(1, ch)) {
            cmdVar[ch][40] = static_cast<uint8_t>(cmdVar[ch][40] | 1);
            cmdVar[ch][139] = static_cast<uint8_t>(motionNumber[ch]);
            enqueueCommand(5, ch);
        }
        if (keyPressed(KEY_NUM1)) alternatePlayTest[ch] ^= 1;
        if (keyPressed(KEY_E)) hxMarker[ch] ^= 1;
        uint16_t* row = hxRows[ch][motionNumber[ch] % HX_ROWS];
        if (keyPressed(KEY_R)) {
            speed[ch] = static_cast<uint8_t>(row[0]);
            for (int i = 0; i < SERVOS; ++i) servo16[ch][i] = row[1 + i];
            logLine(0, LINE_HEIGHT * 41, "一行読み出し");
        }
        if (keyPressed(KEY_W)) {
            row[0] = speed[ch];
            for (int i = 0; i < SERVOS; ++i) row[1 + i] = servo16[ch][i];
            logLine(0, LINE_HEIGHT * 41, "一行書き出し");
        }
        if (keyPressed(KEY_L)) {
            rowPlayback[ch] = 1;
            rowPlaybackWait[ch] = 0;
        }
    }
}

void kgiRobotLink::debugPageLines()
{
    char text[LOG_TEXT];
    const uint32_t ch = pageChannel;
    const Channel& r = channel[ch];
    auto line = [&](int32_t x, int32_t y, const char* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        std::vsnprintf(text, sizeof text, fmt, args);
        va_end(args);
        logLine(x, y, text);
    };
    if (pageNumber == 0) {
        line(0, 0, "0,BaudRate   1,PORT   2,HX    3,Buffer 4,Request 5,Send  6,Receive  7,Error   "
                   "8,Robot    9,Tokusyu    10,電源     11,通信状況");
        int32_t x = 0;
        const int32_t y = LINE_HEIGHT;
        if (r.BaudRate) line(x, y, "%u,", r.BaudRate); else line(x, y, "Disable,");
        x += COLUMN_WIDTH;
        if (r.PORT) line(x, y, "COM%u,", r.PORT); else line(x, y, "NULL,");
        x += COLUMN_WIDTH;
        line(x, y, "%s", r.HX < 4 ? BOARD_NAMES[r.HX] : BOARD_NAMES[0]);
        x += COLUMN_WIDTH;
        line(x, y, "%s", r.Buffer ? "FIFO," : "FILO,");
        x += COLUMN_WIDTH;
        line(x, y, "%u,", r.Request);
        x += COLUMN_WIDTH;
        line(x, y, "%u,", r.Send);
        x += COLUMN_WIDTH;
        line(x, y, "%u,", r.Receive);
        x += COLUMN_WIDTH;
        line(x, y, "%u,", r.Error);
        x += COLUMN_WIDTH;
        line(x, y, "%s", r.Robot < 6 ? ROBOT_NAMES[r.Robot] : ROBOT_NAMES[0]);
        x += COLUMN_WIDTH;
        line(x, y, "%u,", r.Tokusyu);
        x += COLUMN_WIDTH;
        line(x, y, "%s", r.Power == 0 ? "電源OK," : "電源？,");
        x += COLUMN_WIDTH;
        line(x, y, "%s", r.CommStatus == 0 ? "通信無し," : "通信中,");
        line(0, 3 * LINE_HEIGHT, "speed=%u level=%u servo cursor=%u motion=%u play=%u", speed[ch],
             cmdVar[ch][26], servoCursor[ch], motionNumber[ch], playNumber[ch]);
        for (int s = 0; s < SERVOS; ++s)
            line((s % 12) * 60, (5 + s / 12) * LINE_HEIGHT, "%u",
                 r.HX == BOARD_HX3 ? servo16[ch][s] : servo8[ch][s]);
        return;
    }
    int32_t y = 0;
    line(0, y, "f_count=%d", tickCount);
    line(2 * COLUMN_WIDTH, y, "ms=%llu", static_cast<unsigned long long>(clock.seconds() * 1000.0));
    line(0, y += LINE_HEIGHT, "Q_Read=%x回", Q_Read[ch]);
    line(0, y += LINE_HEIGHT, "Q_Write=%x回", Q_Write[ch]);
    for (int k = 0; k < CHANNELS; ++k)
        line(k * COLUMN_WIDTH, y + LINE_HEIGHT, "S_Re_Try[%d]=%d", k, retryCount[k]);
    y += LINE_HEIGHT;
    for (int k = 0; k < CHANNELS; ++k) {
        y += LINE_HEIGHT;
        line(0, y, "Cmd_Skip[%d]＝%x,", k, Cmd_Skip[k]);
        line(2 * COLUMN_WIDTH, y, "Befor_Send_Sum[%d]=%x,", k, Befor_Send_Sum[k]);
        line(4 * COLUMN_WIDTH, y, "Save_Befor_Send_Sum[%d]=%x,", k, Save_Befor_Send_Sum[k]);
    }
    line(0, y += LINE_HEIGHT, "M_Adr=%x,", imageLength[ch]);
    line(0, y += LINE_HEIGHT, "passes=%u writes=%u drops=%u preface resends=%u", passCount[ch],
         writeCount[ch], dropCount[ch], prefaceResends[ch]);
    line(0, y += LINE_HEIGHT, "R_Index_Tbl");
    for (int k = 0; k < MOTION_SLOTS; ++k)
        line((k % 8) * COLUMN_WIDTH, y + (1 + k / 8) * LINE_HEIGHT, "%x:%x",
             R_Index_Tbl[ch][k].offset, R_Index_Tbl[ch][k].length);
    y += 5 * LINE_HEIGHT;
    line(0, y += LINE_HEIGHT, "Remo_File_Tbl[0]");
    for (int i = 0; i < 16; ++i)
        line(i * 30, y + LINE_HEIGHT, "%02x", Remo_File_Tbl[ch][i] & 0xFF);
    y += LINE_HEIGHT;
    line(0, y += LINE_HEIGHT, "Remo_File_Tbl[1]");
    for (int i = 0; i < 16; ++i)
        line(i * 30, y + LINE_HEIGHT, "%02x", Remo_File_Tbl[ch][16 + i] & 0xFF);
    y += LINE_HEIGHT;
    const platform::LocalTime t = clock.localTime();
    line(0, y += LINE_HEIGHT, "現在のローカル時刻: %04d/%02d/%02d(%s) %02d:%02d:%02d.%d", t.year,
         t.month, t.day, WEEKDAYS[(t.weekday % 7 + 7) % 7], t.hour, t.minute, t.second,
         t.millisecond);
}

void kgiRobotLink::stepDebugTests()
{
    for (uint32_t ch = 0; ch < CHANNELS; ++ch) {
        if (channel[ch].HX != BOARD_HX3 || channel[ch].BaudRate == 0) continue;
        if (rowPlayback[ch]) {
            // Plays the rows one by one, each for its speed x 4.6 calls.
            const uint32_t row = rowPlayback[ch] - 1;
            if (row + 1 >= hxRowCount[ch] || row + 1 >= HX_ROWS) {
                rowPlayback[ch] = 0;
            } else if (rowPlaybackWait[ch] == 0) {
                const uint16_t* values = hxRows[ch][row];
                cmdVar[ch][40] = cmdVar[ch][139] = cmdVar[ch][41] = 0;
                speed[ch] = static_cast<uint8_t>(values[0]);
                for (int i = 0; i < SERVOS; ++i) servo16[ch][i] = values[1 + i];
                if (!queueIsFull(1, ch)) enqueueCommand(8, ch);
                rowPlaybackWait[ch] = static_cast<uint32_t>(values[0] * 4.6) + 1;
            } else if (--rowPlaybackWait[ch] == 0) {
                ++rowPlayback[ch];
            }
        }
        if (alternatePlayTest[ch] && !hxMachinesBusy(ch)) {
            // Alternates a motion read and a motion write, each once idle.
            if (alternatePlayTest[ch] == 1) {
                if (startPlayMotion(motionNumber[ch], ch)) alternatePlayTest[ch] = 2;
            } else if (startPlayMotionB(motionNumber[ch], ch)) {
                alternatePlayTest[ch] = 1;
            }
        }
    }
}
