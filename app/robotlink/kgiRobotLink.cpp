// The link object, its channels and the serial ports under them.
#include "kgiRobotLink.h"

#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/portmap.h"
#include "platform/serial.h"

namespace {

// The pose every channel starts from, one position per servo (10..190).
const uint8_t DEFAULT_POSE[kgiRobotLink::SERVOS] = {
    100, 76, 145, 93, 100, 100, 100, 30, 80, 100, 100, 100,
    100, 30, 80, 100, 100, 100, 100, 76, 145, 93, 100, 100,
};

const char TEXT32[] = "MOTION NUMBER WO SET SUR 012345";
const char TEXT65[] = "MOTION NUMBER WO SET SURU 01234 MOTION NUMBER WO SET SURU 012345";

// Bytes of the board's robot-type variables (kinds 46, 47, 48) per robot type;
// types 1 and 5 keep what the channel holds.
struct RobotBytes { uint8_t b[3]; bool set; };
const RobotBytes ROBOT_BYTES[6] = {
    {{0, 0, 0}, false},          // none
    {{0, 0, 0}, false},          // VRT-1
    {{0xEF, 0x7C, 0x1F}, true},  // VRT-2
    {{0xEF, 0xFE, 0x1F}, true},  // VRT1HV
    {{0x77, 0x7D, 0x1F}, true},  // ZP-1
    {{0, 0, 0}, false},          // DORUZAVO-1
};

// A write may take 300 ms plus 1 ms per byte before it counts as failed.
const int WRITE_BASE_MS = 300;
const int READ_WAIT_MS = 1;

double defaultSeconds() { return platform::monotonicSeconds(); }
platform::LocalTime defaultLocalTime() { return platform::localTime(); }

} // namespace

uint32_t kgiRobotLink::Channel::word(int i) const
{
    const uint32_t w[12] = {BaudRate, PORT, HX, Buffer, Request, Send,
                            Receive, Error, Robot, Tokusyu, Power, CommStatus};
    return (i >= 0 && i < 12) ? w[i] : 0;
}

kgiRobotLink::kgiRobotLink()
    : portMapFile(platform::portMapFileName()), baseImageFile("baseimage.bin"),
      statusRepollLimit(STATUS_REPOLL_LIMIT)
{
    messages = &stderrMessages;
    clock.seconds = defaultSeconds;
    clock.localTime = defaultLocalTime;

    // Everything starts cleared, the rings and stream buffers included: a
    // packet never goes out with bytes left from an earlier run.
    std::memset(readResult, 0, sizeof readResult);
    std::memset(writeResult, 0, sizeof writeResult);
    std::memset(bytesRead, 0, sizeof bytesRead);
    std::memset(wireOut, 0, sizeof wireOut);
    std::memset(wireIn, 0, sizeof wireIn);
    std::memset(Q_Write, 0, sizeof Q_Write);
    std::memset(Q_Read, 0, sizeof Q_Read);
    std::memset(textCursor, 0, sizeof textCursor);
    std::memset(lastResult, 0, sizeof lastResult);
    std::memset(channel, 0, sizeof channel);
    std::memset(queue, 0, sizeof queue);
    std::memset(streamPos, 0, sizeof streamPos);
    std::memset(streamBuf, 0, sizeof streamBuf);
    std::memset(cmdVar, 0, sizeof cmdVar);
    std::memset(cmdVar16, 0, sizeof cmdVar16);
    std::memset(text24, 0, sizeof text24);
    std::memset(servoChanged, 0, sizeof servoChanged);
    std::memset(Cmd_Skip, 0, sizeof Cmd_Skip);
    std::memset(linkLost, 0, sizeof linkLost);

    std::memset(ioState, 0, sizeof ioState);
    std::memset(retryCount, 0, sizeof retryCount);
    std::memset(inFlight, 0, sizeof inFlight);
    std::memset(replyLength, 0, sizeof replyLength);
    std::memset(headPacket, 0, sizeof headPacket);
    std::memset(pollCount, 0, sizeof pollCount);
    std::memset(statusRewind, 0, sizeof statusRewind);
    std::memset(boardStatus, 0, sizeof boardStatus);
    std::memset(blockRejected, 0, sizeof blockRejected);
    std::memset(noReply, 0, sizeof noReply);
    std::memset(waitCount, 0, sizeof waitCount);
    std::memset(passCount, 0, sizeof passCount);
    std::memset(writeCount, 0, sizeof writeCount);
    std::memset(dropCount, 0, sizeof dropCount);
    std::memset(prefaceResends, 0, sizeof prefaceResends);
    std::memset(hxMessageState, 0, sizeof hxMessageState);
    std::memset(statusRepolls, 0, sizeof statusRepolls);
    std::memset(statusWaitEnded, 0, sizeof statusWaitEnded);
    std::memset(rxSmall, 0, sizeof rxSmall);
    std::memset(rxBuf, 0, sizeof rxBuf);
    std::memset(rxCopy, 0, sizeof rxCopy);
    prefaceWait = 0;

    std::memset(poseRead, 0, sizeof poseRead);
    std::memset(poseReadMode, 0, sizeof poseReadMode);
    std::memset(infoRead, 0, sizeof infoRead);
    std::memset(infoReadFlag, 0, sizeof infoReadFlag);
    std::memset(robotInfo, 0, sizeof robotInfo);
    std::memset(poseWait, 0, sizeof poseWait);
    std::memset(download, 0, sizeof download);
    std::memset(downloadWait, 0, sizeof downloadWait);
    std::memset(poseWaitCount, 0, sizeof poseWaitCount);
    std::memset(playAfterDownload, 0, sizeof playAfterDownload);
    std::memset(blockIndex, 0, sizeof blockIndex);
    std::memset(downloadResult, 0, sizeof downloadResult);
    std::memset(downloadErrorBase, 0, sizeof downloadErrorBase);
    std::memset(servoGroup, 0, sizeof servoGroup);
    std::memset(servoGroupIndex, 0, sizeof servoGroupIndex);
    std::memset(servoGroupWait, 0, sizeof servoGroupWait);
    std::memset(linkBusy, 0, sizeof linkBusy);
    std::memset(idleCount, 0, sizeof idleCount);
    std::memset(hxMachineA, 0, sizeof hxMachineA);
    std::memset(hxMachineB, 0, sizeof hxMachineB);
    std::memset(hxPoseRead, 0, sizeof hxPoseRead);
    std::memset(hxMotion, 0, sizeof hxMotion);
    std::memset(hxByteRows, 0, sizeof hxByteRows);
    std::memset(hxMarker, 0, sizeof hxMarker);
    std::memset(hxRow, 0, sizeof hxRow);
    std::memset(hxRowCount, 0, sizeof hxRowCount);
    std::memset(hxSavedWord, 0, sizeof hxSavedWord);
    std::memset(hxSavedServo, 0, sizeof hxSavedServo);
    std::memset(hxSavedSpeed, 0, sizeof hxSavedSpeed);
    std::memset(hxRowsOut, 0, sizeof hxRowsOut);
    std::memset(hxRowBytes, 0xFF, sizeof hxRowBytes);
    tickCount = 0;

    std::memset(fileBuffer, 0, sizeof fileBuffer);
    std::memset(motionStore, 0, sizeof motionStore);
    std::memset(slotLength, 0, sizeof slotLength);
    std::memset(R_Index_Tbl, 0, sizeof R_Index_Tbl);
    std::memset(Remo_File_Tbl, 0, sizeof Remo_File_Tbl);
    std::memset(imageLength, 0, sizeof imageLength);
    std::memset(bytesToSend, 0, sizeof bytesToSend);
    std::memset(Befor_Send_Sum, 0, sizeof Befor_Send_Sum);
    std::memset(Save_Befor_Send_Sum, 0, sizeof Save_Befor_Send_Sum);
    std::memset(baseImageBytes, 0, sizeof baseImageBytes);

    std::memset(log, 0, sizeof log);
    logCount = 0;
    std::memset(keyCount, 0, sizeof keyCount);
    std::memset(keyIsDown, 0, sizeof keyIsDown);
    pageChannel = 0;
    pageNumber = 0;
    std::memset(servoCursor, 0, sizeof servoCursor);
    std::memset(commandCursor, 0, sizeof commandCursor);
    std::memset(motionNumber, 0, sizeof motionNumber);
    std::memset(motionCursor, 0, sizeof motionCursor);
    editMode = 0;
    std::memset(repeatDownloadTest, 0, sizeof repeatDownloadTest);
    std::memset(alternatePlayTest, 0, sizeof alternatePlayTest);
    std::memset(rowPlayback, 0, sizeof rowPlayback);
    std::memset(rowPlaybackWait, 0, sizeof rowPlaybackWait);

    for (int ch = 0; ch < CHANNELS; ++ch) {
        portHandle[ch] = NO_HANDLE;
        sendPhase[ch] = 2;
        sendPhaseIdle[ch] = 2;
        servosHeld[ch] = 1;
        playNumber[ch] = 80;
        std::memcpy(servo8[ch], DEFAULT_POSE, SERVOS);
        for (int s = 0; s < SERVOS; ++s) {
            servo16[ch][s] = static_cast<uint16_t>(16384 + s);
            servoSelect[ch][s] = 1;
        }
        std::memcpy(cmdText32[ch], TEXT32, sizeof TEXT32);
        std::memcpy(cmdText65[ch], TEXT65, sizeof TEXT65);
        speed[ch] = 40;
        cmdVar[ch][26] = 1;
        cmdVar[ch][40] = 5;
        cmdVar[ch][41] = 1;
        cmdVar[ch][45] = 8;
        cmdVar[ch][46] = 0x77;
        cmdVar[ch][47] = 0x7D;
        cmdVar[ch][48] = 0x1F;
        cmdVar[ch][213] = 128;
        cmdVar16[ch][87] = 1;
        cmdVar16[ch][89] = 16384;
        for (int r = 0; r < HX_ROWS; ++r)
            for (int v = 0; v < HX_ROW_VALUES; ++v)
                hxRows[ch][r][v] = v < 25 ? 0xFFFF : 0;
    }
    installTemplates();
}

kgiRobotLink::~kgiRobotLink()
{
    for (int ch = 0; ch < CHANNELS; ++ch)
        closePort(static_cast<uint32_t>(ch));
}

kgiRobotLink& kgiRobotLink::getInstance()
{
    // Heap, not a static object: the link is too large for static storage
    // to be a good idea, and it must close its ports at exit.
    static kgiRobotLink* instance = [] {
        kgiRobotLink* l = new kgiRobotLink;
        std::atexit([] { getInstance().closeAll(); });
        return l;
    }();
    return *instance;
}

void kgiRobotLink::setMessages(kgiLinkMessages* m)
{
    messages = m ? m : &stderrMessages;
}

void kgiRobotLink::showMessage(const char* title, const char* text)
{
    messages->showMessage(title, text);
}

int kgiRobotLink::openChannel(uint8_t ch, uint8_t port, uint8_t boardType, uint8_t bufferMode,
                              uint8_t robotType, uint32_t baudRate, uint32_t readInfo)
{
    if (ch >= CHANNELS) return 1;
    if (channel[ch].BaudRate != 0) return 1;
    for (int c = 0; c < CHANNELS; ++c)
        if (channel[c].BaudRate != 0 && channel[c].PORT == port) return 2;
    if (openPort(port, baudRate, ch) != 0) return 1;

    Channel& r = channel[ch];
    r.BaudRate = baudRate;
    r.PORT = port;
    r.HX = boardType;
    r.Buffer = bufferMode;
    r.Request = r.Send = r.Receive = r.Error = 0;
    r.Robot = robotType;
    r.Tokusyu = 0;
    r.Power = 1;
    r.CommStatus = 0;
    sendPhase[ch] = sendPhaseIdle[ch] = (boardType == BOARD_HX3) ? 0 : 2;
    if (robotType < 6 && ROBOT_BYTES[robotType].set)
        for (int i = 0; i < 3; ++i) cmdVar[ch][46 + i] = ROBOT_BYTES[robotType].b[i];
    if (boardType == BOARD_TLD8150 && readInfo != 0)
        startInfoRead(readInfo, ch);
    return 0;
}

int kgiRobotLink::reopenChannel(uint8_t ch, uint32_t baudRate)
{
    if (ch >= CHANNELS || channel[ch].BaudRate != 0) return 1;
    if (openPort(channel[ch].PORT, baudRate, ch) != 0) return 1;
    channel[ch].BaudRate = baudRate;
    return 0;
}

int kgiRobotLink::closeChannel(uint8_t ch)
{
    if (ch >= CHANNELS) return 0;
    Channel& r = channel[ch];
    if (r.BaudRate == 0) return 0;
    bool settled = r.Send == r.Receive + r.Error;
    // A TL-D8150 that stopped answering will never settle its packets.
    if (r.HX == BOARD_TLD8150 && linkLost[ch]) settled = true;
    if (!settled) return 1;
    closePort(ch);
    r.BaudRate = 0;
    return 0;
}

void kgiRobotLink::closeAll()
{
    for (int ch = 0; ch < CHANNELS; ++ch)
        if (channel[ch].BaudRate != 0) closeChannel(static_cast<uint8_t>(ch));
}

int kgiRobotLink::openPort(uint32_t port, uint32_t baudRate, uint32_t ch)
{
    if (ch >= CHANNELS) return 1;
    // A handle still held is released first so that it can never leak.
    closePort(ch);
    std::string device = platform::serialDevicePath(port, portMapFile);
    if (device.empty()) return 1;
    int fd = platform::serialOpen(device, baudRate);
    if (fd == platform::NO_SERIAL_HANDLE) return 1;
    portHandle[ch] = fd;
    return 0;
}

void kgiRobotLink::closePort(uint32_t ch)
{
    if (ch >= CHANNELS || portHandle[ch] == NO_HANDLE) return;
    // Whatever the board sent and nobody read is lost with the port; count it
    // as taken so the byte accounting stays true.
    int waiting = platform::serialBytesWaiting(portHandle[ch]);
    if (waiting > 0) wireIn[ch] += static_cast<uint64_t>(waiting);
    platform::serialClose(portHandle[ch]);
    portHandle[ch] = NO_HANDLE;
}

int kgiRobotLink::writePort(const uint8_t* buf, uint32_t count, uint32_t ch)
{
    bool ok = platform::serialWrite(portHandle[ch], buf, count,
                                    WRITE_BASE_MS + static_cast<int>(count));
    if (ok) wireOut[ch] += count;
    writeResult[ch] = ok ? 1 : 0;
    return writeResult[ch];
}

int kgiRobotLink::readPort(uint8_t* buf, uint32_t count, uint32_t ch)
{
    long n = platform::serialRead(portHandle[ch], buf, count, READ_WAIT_MS);
    readResult[ch] = n >= 0 ? 1 : 0;
    bytesRead[ch] = n > 0 ? static_cast<uint32_t>(n) : 0;
    wireIn[ch] += bytesRead[ch];
    return 0;
}

uint32_t kgiRobotLink::replyStatus(uint32_t ch) const
{
    const Channel& r = channel[ch];
    if (Q_Read[ch] != Q_Write[ch] || r.Send != r.Receive + r.Error) return REPLY_BUSY;
    return lastResult[ch];
}

uint32_t kgiRobotLink::hxMachinesBusy(uint32_t ch) const
{
    return (hxMachineA[ch] != 0 || hxMachineB[ch] != 0) ? 1 : 0;
}
