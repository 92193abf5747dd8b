#pragma once
// A simulated TL-D8150 controller board on a pseudo-terminal pair, for the
// serial link's tests and benchmarks. The link opens the slave side (point
// its port map at devicePath()); the board owns the master side, reads what
// the link writes and answers as the board does.
//
// Speed: the board keeps its own speed (9600, and 115200 during a download)
// and reads the speed the link set on the line for every byte it takes; a
// byte sent at the other speed is garbled: it is counted and not answered.
//
// Protocol, one byte each way at 9600 (every byte is echoed unless said):
//   FA, FB            start and end of a sequence
//   B2 sp EB 00 18 p0..p23   a pose (24 positions)
//   B0, then any byte answered by the status: 0 idle, FF while playing
//   E8 s / E7 s       release / hold servo s
//   D7+g, then six bytes answered by the positions of servos 6g..6g+5
//   D2 s, then one byte answered by the position of servo s
//   F8 a b n          with a = 40, b = 01: play motion n (busy for playPolls polls)
//   E6 s v            set servo s to v;  E9 l  speed level l
//   F0, then six bytes answered by info[0..5]
//   F7 a 04, then one byte answered by tableValue(a)   (our choice: a - 0xF0 + 0x30)
//   F2 k 00, then one byte answered by byte k of the last image received (0 before any)
//   EC                switch to 115200 for a download:
//                       two length bytes (echoed), "?" answered "!", then blocks of 128
//                       values + their sum + "?" answered "!" ("X" when the sum is wrong),
//                       the last block (128 values + sum over its first 127) answered "E";
//                       then back to 9600 and the image is kept.
//
// Single-threaded use: call serve() after each link step (see kgiBoardPump.h);
// or start() the board's own thread, for tests of code that paces the link.
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class kgiSimBoard {
public:
    // Faults to inject; all off by default. Counters count answers/polls.
    struct Faults {
        bool silent = false;          // read everything, answer nothing
        int wrongAnswers = 0;         // the next n answers are wrong (byte ^ 0x5A)
        int surplusBytes = 0;         // the next n answers get one byte more
        int lateAnswers = 0;          // the next n answers are held back ...
        int lateServes = 0;           // ... for this many serve() calls
        int busyPolls = 0;            // status polls answered busy (-1: for ever)
        bool dropSpeedSwitch = false; // stay at 9600 after EC
        int rejectBlock = -1;         // download block answered "X"
    };

    struct Received { uint8_t byte; unsigned baud; bool garbled; };

    kgiSimBoard();
    ~kgiSimBoard();
    kgiSimBoard(const kgiSimBoard&) = delete;
    kgiSimBoard& operator=(const kgiSimBoard&) = delete;

    // Device path of the slave side, for the link's port map. Empty when no
    // pseudo-terminal could be had.
    const std::string& devicePath() const { return slavePath; }
    bool ok() const { return master >= 0; }

    // Takes every byte waiting, waiting (bounded) until bytesIn() reaches
    // expectedIn, and answers. Returns the number of bytes taken.
    size_t serve(uint64_t expectedIn = 0, int timeoutMs = 2000);
    // Writes a byte nobody asked for (a stray byte on the line).
    void sendStray(uint8_t b);

    void start();  // answers in its own thread until stop()
    void stop();

    // Reading these while the thread runs is safe (they copy under the lock).
    Faults faults();
    void setFaults(const Faults& f);
    uint64_t bytesIn();
    uint64_t bytesOut();
    unsigned speed();
    std::vector<Received> received();
    std::vector<uint8_t> image();          // the last complete download
    std::vector<uint8_t> pose();           // 24 positions
    unsigned garbled();
    unsigned statusPolls();
    unsigned blocksReceived();
    void clearReceived();

    // Values the board reports, settable by tests.
    uint8_t info[6] = {1, 2, 3, 4, 5, 6};
    uint8_t servo[24];
    int playPolls = 3;
    static uint8_t tableValue(uint8_t a) { return static_cast<uint8_t>(a - 0xF0 + 0x30); }

private:
    enum Mode {
        IDLE, ECHO_THEN, ANSWER_STATUS, ANSWER_BANK, ANSWER_SERVO, ANSWER_INFO,
        ANSWER_TABLE, ANSWER_IMAGE, DL_LENGTH, DL_QUESTION, DL_BLOCK
    };
    void take(uint8_t b);
    void answer(uint8_t b);
    void afterEcho();
    void flushLate();
    void write(const uint8_t* p, size_t n);
    void runThread();

    int master = -1;
    std::string slavePath;
    std::mutex lock;
    std::thread thread;
    bool running = false;

    Faults fault;
    unsigned boardSpeed = 9600;
    Mode mode = IDLE;
    uint8_t pendingCommand = 0;   // the command whose bytes are being echoed
    int pendingEcho = 0;          // bytes still to echo before the command acts
    std::vector<uint8_t> args;
    int answersLeft = 0;
    uint8_t bank = 0;
    int busyLeft = 0;
    uint16_t downloadLength = 0;
    std::vector<uint8_t> block;
    std::vector<uint8_t> downloading;
    int blockNumber = 0;
    std::vector<uint8_t> lastImage;
    struct Held { uint8_t byte; int servesLeft; };
    std::vector<Held> late;
    std::vector<Received> log;
    uint64_t inCount = 0, outCount = 0;
    unsigned garbledCount = 0, pollCount = 0, blockCount = 0;
};
