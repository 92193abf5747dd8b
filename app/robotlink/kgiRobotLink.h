#pragma once
// The serial link to the robot's controller boards.
//
// One plain object of fixed arrays for four channels (0..3), each on its own
// COM port with its own board type, buffer mode, robot type and speed. Every
// command is built from a byte-code template into the channel's send ring;
// the I/O worker (serviceIo) writes the head packet, waits for the board's
// reply and checks it against the reply template; the request machines that
// tick() steps drive exchanges of many packets; the motion store builds the
// image that a download sends. Every wait is counted in calls of tick(),
// never in milliseconds: the caller paces tick() (the robot session calls it
// at most once per 0.015 s).
//
// The object is tens of megabytes (the motion store): always create it with
// new, never on the stack. Nothing is allocated after construction. It is
// used from one thread; the words below are public because the robot session
// and the developer page watch them directly (machine words return to 0 when
// done, linkBusy, linkLost, Cmd_Skip, robotInfo).
#include <cstddef>
#include <cstdint>
#include <string>

#include "kgiLinkMessages.h"
#include "platform/localtime.h"

class kgiRobotLink {
public:
    static constexpr int CHANNELS = 4;
    static constexpr int RING_SLOTS = 256;
    static constexpr int SLOT_BYTES = 140;         // length byte, packet, command number
    static constexpr int COMMANDS = 154;
    static constexpr int MAX_PACKET = 130;         // the longest packet: a download block
    static constexpr int TEMPLATE_BYTES = 1 + 2 * MAX_PACKET;
    static constexpr int SERVOS = 24;
    static constexpr int INFO_WORDS = 24;
    static constexpr int MOTION_SLOTS = 32;
    static constexpr int SLOT_VALUES = 65536;
    static constexpr int IMAGE_VALUES = 65536;
    static constexpr int MAX_IMAGE_VALUES = 65535; // image positions are 16-bit on the board
    static constexpr int BASE_IMAGE_VALUES = 21732;
    static constexpr int BLOCK_VALUES = 128;
    static constexpr int STREAM_BYTES = 256;
    static constexpr int HX_ROWS = 256;
    static constexpr int HX_ROW_VALUES = 31;       // speed, 24 servo values, six extra values
    static constexpr int HX_ROW_BYTES = 200;

    // Worker passes a TL-D8150 reply may take before the attempt fails.
    static constexpr uint32_t REPLY_POLLS = 100;
    // A board answers "busy" to the status poll while it plays a motion; no
    // motion lasts anywhere near this many re-polls (about ten minutes at the
    // session's pacing), so past it the board is taken to be stuck.
    static constexpr uint32_t STATUS_REPOLL_LIMIT = 20000;
    // Unanswered HX-3 prefaces before the command behind them is dropped.
    static constexpr uint32_t PREFACE_RESEND_LIMIT = 6;
    static constexpr int LOG_LINES = 800;
    static constexpr int LOG_TEXT = 200;

    static constexpr int NO_HANDLE = -1;           // descriptor 0 is standard input

    enum BoardType { BOARD_NONE = 0, BOARD_HX1 = 1, BOARD_HX3 = 2, BOARD_TLD8150 = 3 };
    enum BufferMode { BUFFER_FILO = 0, BUFFER_FIFO = 1 };
    enum RobotType {
        ROBOT_NONE = 0, ROBOT_VRT1 = 1, ROBOT_VRT2 = 2, ROBOT_VRT1HV = 3,
        ROBOT_ZP1 = 4, ROBOT_DORUZAVO1 = 5
    };
    enum IoState {
        IO_IDLE = 0, IO_WRITE = 1, IO_WAIT = 2, IO_READ = 3, IO_GOOD = 4, IO_BAD = 5,
        IO_CHECK = 31
    };
    enum ReplyStatus { REPLY_BUSY = 0, REPLY_ANSWERED = 1, REPLY_FAILED = 2 };
    // How the last download of a channel ended (downloadResult).
    enum DownloadResult {
        DOWNLOAD_NONE = 0,     // no download started yet
        DOWNLOAD_RUNNING = 1,
        DOWNLOAD_DONE = 2,     // every packet answered as expected
        DOWNLOAD_REJECTED = 3, // the board refused a block with "X"
        DOWNLOAD_DROPPED = 4,  // a packet went unanswered or was answered wrongly
        DOWNLOAD_LOST = 5      // the board stopped answering or the port did not reopen
    };
    // Results of the request starters: 1 accepted, 0 busy (try again later).
    enum StartResult { START_BUSY = 0, START_OK = 1, START_NO_BASE_IMAGE = -1 };

    // The channel record: twelve words in the order the developer page prints.
    struct Channel {
        uint32_t BaudRate;   // 0: closed
        uint32_t PORT;       // COM port 1..16
        uint32_t HX;         // BoardType
        uint32_t Buffer;     // BufferMode
        uint32_t Request;    // packets queued
        uint32_t Send;       // packets taken by the worker (once each, not per retry)
        uint32_t Receive;    // packets answered correctly
        uint32_t Error;      // packets given up
        uint32_t Robot;      // RobotType
        uint32_t Tokusyu;    // HX-3 unsolicited messages handled
        uint32_t Power;      // 1: no reply seen (yet); 0: the board answered
        uint32_t CommStatus; // 1 while a packet is in the worker
        // Word i (0..11) in the order above.
        uint32_t word(int i) const;
    };

    struct CommandEntry {
        uint32_t reserved;       // always 0
        const uint8_t* send;     // null: the command is never sent
        const uint8_t* reply;    // null: no reply template
    };

    struct IndexEntry { int32_t offset; int32_t length; };

    struct LogLine { int32_t x; int32_t y; char text[LOG_TEXT]; };

    // What the link reads the time from. Tests fix both; the defaults read the
    // platform clocks.
    struct Clock {
        double (*seconds)();                 // monotonic seconds
        platform::LocalTime (*localTime)();  // the local calendar time
    };

    kgiRobotLink();
    ~kgiRobotLink();
    kgiRobotLink(const kgiRobotLink&) = delete;
    kgiRobotLink& operator=(const kgiRobotLink&) = delete;

    // A process-wide second link, closed at exit. Nothing in the program uses
    // it; the robot session owns its own link.
    static kgiRobotLink& getInstance();

    // Where faults are shown (never null; the default writes to stderr). The
    // object is not owned and must outlive the link.
    void setMessages(kgiLinkMessages* m);
    void setClock(const Clock& c) { clock = c; }

    // --- channels and ports -------------------------------------------------
    // Opens channel on COM<port>. 0 opened; 1 the channel is already open or
    // the port failed to open; 2 another open channel holds the port. With a
    // TL-D8150 board and readInfo not 0 it also starts the information read.
    int openChannel(uint8_t ch, uint8_t port, uint8_t boardType, uint8_t bufferMode,
                    uint8_t robotType, uint32_t baudRate, uint32_t readInfo);
    // Opens a closed channel's port again at baudRate (the download's speed
    // switch: closeChannel first). 0 done, 1 not (channel still open, or the
    // port failed: then the channel stays closed).
    int reopenChannel(uint8_t ch, uint32_t baudRate);
    // 0 closed (or was not open); 1 stays open because packets are still
    // outstanding. A TL-D8150 that stopped answering closes at once.
    int closeChannel(uint8_t ch);
    void closeAll();
    int openPort(uint32_t port, uint32_t baudRate, uint32_t ch);
    void closePort(uint32_t ch);
    // Writes count bytes within 300 ms + 1 ms per byte; non-zero when every
    // byte went out.
    int writePort(const uint8_t* buf, uint32_t count, uint32_t ch);
    // Reads up to count bytes (waits about 1 ms); the number read goes to
    // bytesRead. Returns 0.
    int readPort(uint8_t* buf, uint32_t count, uint32_t ch);
    // 0 while the channel has packets queued or unanswered, else the outcome
    // of the last one: 1 answered, 2 failed.
    uint32_t replyStatus(uint32_t ch) const;
    uint32_t hxMachinesBusy(uint32_t ch) const;

    // --- command table and packet builder -----------------------------------
    // 1 when the ring has fewer than count free slots.
    uint32_t queueIsFull(uint32_t count, uint32_t ch) const;
    // Free slots of the ring (it keeps one slot empty: at most 255 packets).
    uint32_t freeSlots(uint32_t ch) const;
    // Builds one packet of command into the ring (on an HX-3 channel the
    // number is command + 100). Returns 1 when queued; 0 when the command has
    // no send template or the ring is full, in which case nothing queued is
    // touched, the refusal counts in Cmd_Skip and "Que_Buffer Overflow!" is
    // shown. Callers check room first (queueIsFull) for strings of packets.
    int enqueueCommand(uint8_t command, uint32_t ch);
    // Puts b into the stream buffer and queues command 56, which sends it.
    int streamByte(uint8_t b, uint32_t ch);

    // --- servo tables and pose -----------------------------------------------
    int setServo(uint8_t servo, int32_t value, uint32_t ch);
    int adjustServo(uint8_t servo, int32_t delta, uint32_t ch);
    int incServo(uint8_t servo, uint32_t ch);
    int decServo(uint8_t servo, uint32_t ch);
    // Stores the TL-D8150 speed level 1..15 and sends it.
    int sendSpeed(uint8_t level, uint32_t ch);
    // Sends the channel's whole pose at speed. Mode 1 waits for the board to
    // finish its motion before the closing byte. 1 queued, 0 refused.
    int sendPose(uint8_t speedByte, int32_t mode, uint32_t ch);

    // --- worker and machines --------------------------------------------------
    // Writes and reads the ports: one step of every open channel's worker.
    void serviceIo();
    // One step of every request machine, then serviceIo.
    void tick();
    int startPoseRead(uint32_t ch, int32_t mode);
    int stopPoseRead(uint32_t ch);
    int startInfoRead(uint32_t flag, uint32_t ch);
    int queueCommand53(uint32_t ch);
    int sendRemoteControl(uint32_t motion, uint32_t ch);
    // Downloads the image of the last buildRemoteFile. 1 started, 0 busy.
    // Watch download (back to 0) and then downloadResult for the outcome.
    int startDownload(int32_t unused, uint32_t playNumber, uint32_t ch);
    // Downloads the base image from baseImageFile. 1 started, 0 busy,
    // START_NO_BASE_IMAGE when the file is missing or malformed: do not retry.
    int startBaseImageDownload(int32_t unused, uint32_t playNumber, uint32_t ch);
    uint32_t isIdle(uint32_t ch);
    bool machinesIdle(uint32_t ch) const;
    // Fills the download block template (65, or 66 for the last block) with
    // the 128 image values of blockIndex and queues it; the download machine's
    // step, open for checking the packets it builds.
    void queueBlock(uint32_t ch);
    int startServoGroup(uint32_t row, uint32_t ch);
    int queueEndByte(uint32_t ch);
    int startPlayMotion(uint32_t motion, uint32_t ch);
    int startPlayMotionB(uint32_t motion, uint32_t ch);
    int startPlayMotion80(uint32_t motion, uint32_t ch);
    int startPlayMotionB80(uint32_t motion, uint32_t ch);

    // --- motion store and image ------------------------------------------------
    // Stores fileBuffer as motion slot n (1..32), or empties it with remove.
    // 0 when refused: slot outside 1..32, a count outside what a slot holds,
    // an image that would exceed 65,535 values, or removing an empty slot.
    int setMotionSlot(uint32_t slot, uint32_t remove, uint32_t ch);
    // Builds the download image; 1 when its sum changed and it was stamped,
    // 0 when unchanged, busy, or the slots together are too long.
    int buildRemoteFile(uint32_t flag, uint32_t unused, uint32_t ch);
    void resetImageSum(uint32_t ch);
    // True when data is a usable base image: 21,732 bytes whose length field
    // (positions 14 and 15) says so.
    static bool isBaseImage(const uint8_t* data, size_t size);

    // --- developer page -----------------------------------------------------
    // Virtual-key codes the page acts on.
    enum Key {
        KEY_ENTER = 0x0D, KEY_END = 0x23, KEY_HOME = 0x24, KEY_LEFT = 0x25, KEY_UP = 0x26,
        KEY_RIGHT = 0x27, KEY_DOWN = 0x28, KEY_A = 0x41, KEY_B = 0x42, KEY_D = 0x44,
        KEY_E = 0x45, KEY_F = 0x46, KEY_L = 0x4C, KEY_P = 0x50, KEY_R = 0x52, KEY_S = 0x53,
        KEY_W = 0x57, KEY_NUM0 = 0x60, KEY_NUM1 = 0x61, KEY_NUM6 = 0x66, KEY_NUM9 = 0x69,
        KEY_NUM_PLUS = 0x6B, KEY_NUM_MINUS = 0x6D, KEY_F1 = 0x70, KEY_F4 = 0x73,
        KEY_F5 = 0x74, KEY_F6 = 0x75, KEY_F7 = 0x76, KEY_F8 = 0x77
    };
    void logLine(int32_t x, int32_t y, const char* text);
    void clearLog() { logCount = 0; }
    // Key state fed by the window (virtual-key codes 0..255).
    void setKeyState(uint8_t key, bool down) { keyIsDown[key] = down ? 1 : 0; }
    int keyPressed(uint8_t key);
    int keyDown(uint8_t key) const { return keyIsDown[key]; }
    // One frame of the page: logs the lines and acts on the keys pressed.
    void showDebugPage();
    // Copies sample motion k into fileBuffer. No samples ship with the
    // program: logs "no sample" and returns 0.
    int loadSampleMotion(uint32_t k, uint32_t ch);

    // ====== data ======
    // Configuration read when used, relative to the base directory (the
    // current directory): the user's port map and the base image.
    std::string portMapFile;
    std::string baseImageFile;
    // Busy answers to the status poll before the board counts as stuck
    // (STATUS_REPOLL_LIMIT; tests shorten it).
    uint32_t statusRepollLimit;

    int portHandle[CHANNELS];
    int32_t readResult[CHANNELS];
    int32_t writeResult[CHANNELS];
    uint32_t bytesRead[CHANNELS];
    uint64_t wireOut[CHANNELS];     // bytes written to the port
    uint64_t wireIn[CHANNELS];      // bytes taken from the port (read or discarded)

    uint8_t Q_Write[CHANNELS];
    uint8_t Q_Read[CHANNELS];
    uint32_t textCursor[CHANNELS];
    uint32_t sendPhase[CHANNELS];
    uint32_t sendPhaseIdle[CHANNELS];
    uint32_t lastResult[CHANNELS];
    Channel channel[CHANNELS];
    uint8_t queue[CHANNELS][RING_SLOTS][SLOT_BYTES];
    uint8_t streamPos[CHANNELS];
    uint8_t streamBuf[CHANNELS][STREAM_BYTES];

    uint8_t cmdVar[CHANNELS][256];       // 8-bit command variables by kind
    uint16_t cmdVar16[CHANNELS][256];    // 16-bit variables by the first kind of the pair
    char cmdText32[CHANNELS][32];
    char cmdText65[CHANNELS][65];
    char text24[CHANNELS][24];           // HX-3 unsolicited message text
    CommandEntry commandTable[COMMANDS];
    uint8_t speed[CHANNELS];
    uint8_t servo8[CHANNELS][SERVOS];
    uint16_t servo16[CHANNELS][SERVOS];
    int32_t servoChanged[CHANNELS][SERVOS];
    uint8_t servoSelect[CHANNELS][SERVOS];
    uint32_t Cmd_Skip[CHANNELS];
    uint32_t linkLost[CHANNELS];

    // I/O worker
    uint32_t ioState[CHANNELS];
    uint32_t retryCount[CHANNELS];
    uint32_t inFlight[CHANNELS];
    uint32_t replyLength[CHANNELS];
    uint8_t headPacket[CHANNELS][SLOT_BYTES];
    uint32_t pollCount[CHANNELS];
    uint8_t statusRewind[CHANNELS];
    uint8_t boardStatus[CHANNELS];
    uint32_t blockRejected[CHANNELS];
    uint32_t noReply[CHANNELS];
    uint32_t waitCount[CHANNELS];
    uint32_t passCount[CHANNELS];
    uint32_t writeCount[CHANNELS];
    uint32_t dropCount[CHANNELS];
    uint32_t prefaceResends[CHANNELS];
    uint32_t hxMessageState[CHANNELS];
    uint32_t statusRepolls[CHANNELS];    // busy answers in a row to the status poll
    uint32_t statusWaitEnded[CHANNELS];  // the worker stopped polling a busy status
    uint8_t rxSmall[CHANNELS][32];
    uint8_t rxBuf[CHANNELS][256];
    uint8_t rxCopy[CHANNELS][256];
    uint32_t prefaceWait;

    // request machines
    uint32_t poseRead[CHANNELS];
    uint32_t poseReadMode[CHANNELS];
    uint32_t servosHeld[CHANNELS];
    uint32_t infoRead[CHANNELS];
    uint32_t infoReadFlag[CHANNELS];
    uint32_t robotInfo[CHANNELS][INFO_WORDS];
    uint32_t poseWait[CHANNELS];
    uint32_t download[CHANNELS];
    uint32_t downloadWait[CHANNELS];
    uint32_t poseWaitCount[CHANNELS];    // poseWait's own tick counter
    uint32_t playAfterDownload[CHANNELS];
    uint32_t blockIndex[CHANNELS];
    uint32_t downloadResult[CHANNELS];
    uint32_t downloadErrorBase[CHANNELS];
    uint32_t servoGroup[CHANNELS];
    uint32_t servoGroupIndex[CHANNELS];
    uint32_t servoGroupWait[CHANNELS];
    uint32_t linkBusy[CHANNELS];
    uint32_t idleCount[CHANNELS];
    uint32_t hxMachineA[CHANNELS];
    uint32_t hxMachineB[CHANNELS];
    uint32_t hxPoseRead[CHANNELS];
    uint32_t hxMotion[CHANNELS];         // motion number m of machine A or B
    uint32_t hxByteRows[CHANNELS];       // 1: rows are one byte each (the "80" starters)
    uint32_t hxMarker[CHANNELS];         // rows carry numbered extra values
    uint32_t hxRow[CHANNELS];
    uint32_t hxRowCount[CHANNELS];
    uint16_t hxSavedWord[CHANNELS];
    uint16_t hxSavedServo[CHANNELS][SERVOS];
    uint8_t hxSavedSpeed[CHANNELS];
    uint16_t hxRows[CHANNELS][HX_ROWS][HX_ROW_VALUES];
    uint16_t hxRowsOut[CHANNELS][HX_ROWS][HX_ROW_VALUES];
    uint8_t hxRowBytes[CHANNELS][HX_ROW_BYTES];
    uint32_t tickCount;

    // motion store and image
    int32_t fileBuffer[CHANNELS][SLOT_VALUES];
    int32_t motionStore[CHANNELS][MOTION_SLOTS][SLOT_VALUES];
    int32_t slotLength[CHANNELS][MOTION_SLOTS];
    IndexEntry R_Index_Tbl[CHANNELS][MOTION_SLOTS];
    uint32_t Remo_File_Tbl[CHANNELS][IMAGE_VALUES];
    int32_t imageLength[CHANNELS];
    int32_t bytesToSend[CHANNELS];
    int32_t Befor_Send_Sum[CHANNELS];
    int32_t Save_Befor_Send_Sum[CHANNELS];
    uint8_t baseImageBytes[BASE_IMAGE_VALUES + 1];

    // developer page
    LogLine log[LOG_LINES];
    int32_t logCount;
    uint32_t keyCount[256];
    uint8_t keyIsDown[256];
    uint32_t pageChannel;
    uint32_t pageNumber;
    uint32_t servoCursor[CHANNELS];
    uint32_t commandCursor[CHANNELS];
    uint32_t motionNumber[CHANNELS];
    uint32_t playNumber[CHANNELS];
    uint32_t motionCursor[CHANNELS];
    uint32_t editMode;
    uint32_t repeatDownloadTest[CHANNELS];
    uint32_t alternatePlayTest[CHANNELS];
    uint32_t rowPlayback[CHANNELS];
    uint32_t rowPlaybackWait[CHANNELS];

private:
    void installTemplates();
    void buildPacket(const uint8_t* tpl, uint32_t ch, uint8_t* slot);
    uint32_t usedSlots(uint32_t ch) const;
    void showMessage(const char* title, const char* text);

    void serviceChannel(uint32_t ch);
    void stepIo(uint32_t ch, bool& cont, uint32_t& writesThisCall);
    void checkReply(uint32_t ch);
    void settleGood(uint32_t ch);
    void retryOrDrop(uint32_t ch);
    void dropHead(uint32_t ch);
    void advanceRing(uint32_t ch);
    void recoverLostLink(uint32_t ch);
    void storeReplyByte(uint32_t ch, uint8_t kind, uint8_t b);

    void stepPoseRead(uint32_t ch);
    void stepInfoRead(uint32_t ch);
    void stepPoseWait(uint32_t ch);
    void stepDownload(uint32_t ch);
    void stepServoGroup(uint32_t ch);
    void stepPendingServos(uint32_t ch);
    void stepHxMachine(uint32_t ch, bool writer);
    void stepHxPoseRead(uint32_t ch);
    bool switchSpeed(uint32_t ch, uint32_t baudRate);
    int startImageDownload(uint32_t playNumber, uint32_t ch);
    void stampImage(uint32_t ch);
    void padImage(uint32_t ch);
    bool loadBaseImage(uint32_t ch);

    void debugPageKeys();
    void debugPageLines();
    void stepDebugTests();

    kgiLinkMessages* messages;
    kgiLinkStderrMessages stderrMessages;
    Clock clock;
    uint8_t templates[2 * COMMANDS][TEMPLATE_BYTES];
};
