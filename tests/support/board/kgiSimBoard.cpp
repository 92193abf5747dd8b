#include "kgiSimBoard.h"

#include <algorithm>
#include <chrono>

#include "platform/clock.h"
#include "platform/serial.h"

namespace {
const uint8_t DEFAULT_POSE[24] = {100, 76, 145, 93, 100, 100, 100, 30, 80, 100, 100, 100,
                                  100, 30, 80, 100, 100, 100, 100, 76, 145, 93, 100, 100};
const unsigned LOW_SPEED = 9600, HIGH_SPEED = 115200;
const int BLOCK = 128;
}

kgiSimBoard::kgiSimBoard()
{
    std::copy(DEFAULT_POSE, DEFAULT_POSE + 24, servo);
    master = platform::openPseudoTerminal(&slavePath);
}

kgiSimBoard::~kgiSimBoard()
{
    stop();
    platform::serialClose(master);
}

void kgiSimBoard::write(const uint8_t* p, size_t n)
{
    if (platform::serialWrite(master, p, n, 1000)) outCount += n;
}

void kgiSimBoard::answer(uint8_t b)
{
    if (fault.silent) return;
    if (fault.wrongAnswers > 0) {
        b ^= 0x5A;
        --fault.wrongAnswers;
    }
    if (fault.lateAnswers > 0) {
        --fault.lateAnswers;
        late.push_back({b, fault.lateServes});
        return;
    }
    write(&b, 1);
    if (fault.surplusBytes > 0) {
        --fault.surplusBytes;
        const uint8_t extra = 0x7E;
        write(&extra, 1);
    }
}

void kgiSimBoard::flushLate()
{
    for (auto it = late.begin(); it != late.end();) {
        if (--it->servesLeft <= 0) {
            write(&it->byte, 1);
            it = late.erase(it);
        } else {
            ++it;
        }
    }
}

void kgiSimBoard::afterEcho()
{
    mode = IDLE;
    switch (pendingCommand) {
    case 0xB2:
        for (int i = 0; i < 24 && 4 + i < static_cast<int>(args.size()); ++i) servo[i] = args[4 + i];
        break;
    case 0xE6:
        servo[args[0] % 24] = args[1];
        break;
    case 0xF8:
        if (args[0] == 0x40 && args[1] == 0x01) busyLeft = playPolls;
        break;
    case 0xD2: mode = ANSWER_SERVO; break;
    case 0xF7: mode = ANSWER_TABLE; break;
    case 0xF2: mode = ANSWER_IMAGE; break;
    default: break;
    }
}

void kgiSimBoard::take(uint8_t b)
{
    const unsigned line = platform::serialBaud(master);
    const bool garbledByte = line != boardSpeed;
    log.push_back({b, line, garbledByte});
    if (garbledByte) {
        ++garbledCount;
        return;
    }
    auto echoThen = [&](int n) {
        answer(b);
        pendingCommand = b;
        pendingEcho = n;
        args.clear();
        mode = ECHO_THEN;
    };
    switch (mode) {
    case IDLE:
        if (b == 0xB2) echoThen(28);
        else if (b == 0xE8 || b == 0xE7 || b == 0xE9 || b == 0xD2) echoThen(1);
        else if (b == 0xE6 || b == 0xF7 || b == 0xF2) echoThen(2);
        else if (b == 0xF8) echoThen(3);
        else {
            answer(b);
            if (b == 0xB0) mode = ANSWER_STATUS;
            else if (b >= 0xD7 && b <= 0xDA) {
                bank = static_cast<uint8_t>(b - 0xD7);
                answersLeft = 6;
                mode = ANSWER_BANK;
            } else if (b == 0xF0) {
                answersLeft = 6;
                mode = ANSWER_INFO;
            } else if (b == 0xEC && !fault.dropSpeedSwitch) {
                boardSpeed = HIGH_SPEED;
                args.clear();
                mode = DL_LENGTH;
            }
        }
        break;
    case ECHO_THEN:
        answer(b);
        args.push_back(b);
        if (--pendingEcho == 0) afterEcho();
        break;
    case ANSWER_STATUS: {
        ++pollCount;
        uint8_t status = 0;
        if (fault.busyPolls != 0) {
            status = 0xFF;
            if (fault.busyPolls > 0) --fault.busyPolls;
        } else if (busyLeft > 0) {
            status = 0xFF;
            --busyLeft;
        }
        answer(status);
        mode = IDLE;
        break;
    }
    case ANSWER_BANK:
        answer(servo[(bank * 6 + (6 - answersLeft)) % 24]);
        if (--answersLeft == 0) mode = IDLE;
        break;
    case ANSWER_SERVO:
        answer(servo[args[0] % 24]);
        mode = IDLE;
        break;
    case ANSWER_INFO:
        answer(info[6 - answersLeft]);
        if (--answersLeft == 0) mode = IDLE;
        break;
    case ANSWER_TABLE:
        answer(tableValue(args[0]));
        mode = IDLE;
        break;
    case ANSWER_IMAGE:
        answer(args[0] < lastImage.size() ? lastImage[args[0]] : 0);
        mode = IDLE;
        break;
    case DL_LENGTH:
        answer(b);
        args.push_back(b);
        if (args.size() == 2) {
            downloadLength = static_cast<uint16_t>(args[0] | (args[1] << 8));
            mode = DL_QUESTION;
        }
        break;
    case DL_QUESTION:
        if (b == '?') {
            answer('!');
            blockNumber = 0;
            downloading.clear();
            block.clear();
            mode = DL_BLOCK;
        } else {
            boardSpeed = LOW_SPEED;  // not a download after all
            mode = IDLE;
        }
        break;
    case DL_BLOCK: {
        block.push_back(b);
        const int blocks = std::max(1, (downloadLength + BLOCK - 1) / BLOCK);
        const bool last = blockNumber == blocks - 1;
        if (static_cast<int>(block.size()) < (last ? BLOCK + 1 : BLOCK + 2)) break;
        ++blockCount;
        unsigned sum = 0;
        for (int i = 0; i < (last ? BLOCK - 1 : BLOCK); ++i) sum += block[i];
        const bool good = (sum & 0xFF) == block[BLOCK] && (last || block[BLOCK + 1] == '?');
        if (!good || blockNumber == fault.rejectBlock) {
            answer('X');
            boardSpeed = LOW_SPEED;
            mode = IDLE;
            break;
        }
        downloading.insert(downloading.end(), block.begin(), block.begin() + BLOCK);
        block.clear();
        ++blockNumber;
        if (last) {
            downloading.resize(downloadLength);
            lastImage = downloading;
            answer('E');
            boardSpeed = LOW_SPEED;
            mode = IDLE;
        } else {
            answer('!');
        }
        break;
    }
    }
}

size_t kgiSimBoard::serve(uint64_t expectedIn, int timeoutMs)
{
    std::lock_guard<std::mutex> g(lock);
    flushLate();
    const unsigned long long deadline = platform::monotonicMilliseconds() + static_cast<unsigned>(timeoutMs);
    size_t taken = 0;
    uint8_t buf[4096];
    for (;;) {
        long n = platform::serialRead(master, buf, sizeof buf, 0);
        if (n > 0) {
            for (long i = 0; i < n; ++i) take(buf[i]);
            inCount += static_cast<uint64_t>(n);
            taken += static_cast<size_t>(n);
            continue;
        }
        if (inCount >= expectedIn) break;
        const unsigned long long now = platform::monotonicMilliseconds();
        if (now >= deadline) break;
        if (platform::serialWaitReadable(master, static_cast<int>(std::min<unsigned long long>(deadline - now, 10))) < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));  // the link's end is closed
    }
    return taken;
}

void kgiSimBoard::sendStray(uint8_t b)
{
    std::lock_guard<std::mutex> g(lock);
    write(&b, 1);
}

void kgiSimBoard::start()
{
    if (running) return;
    running = true;
    thread = std::thread([this] { runThread(); });
}

void kgiSimBoard::stop()
{
    if (!running) return;
    {
        std::lock_guard<std::mutex> g(lock);
        running = false;
    }
    thread.join();
}

void kgiSimBoard::runThread()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> g(lock);
            if (!running) return;
        }
        if (platform::serialWaitReadable(master, 5) < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        serve(0, 0);
    }
}

kgiSimBoard::Faults kgiSimBoard::faults() { std::lock_guard<std::mutex> g(lock); return fault; }
void kgiSimBoard::setFaults(const Faults& f) { std::lock_guard<std::mutex> g(lock); fault = f; }
uint64_t kgiSimBoard::bytesIn() { std::lock_guard<std::mutex> g(lock); return inCount; }
uint64_t kgiSimBoard::bytesOut() { std::lock_guard<std::mutex> g(lock); return outCount; }
unsigned kgiSimBoard::speed() { std::lock_guard<std::mutex> g(lock); return boardSpeed; }
std::vector<kgiSimBoard::Received> kgiSimBoard::received() { std::lock_guard<std::mutex> g(lock); return log; }
std::vector<uint8_t> kgiSimBoard::image() { std::lock_guard<std::mutex> g(lock); return lastImage; }
std::vector<uint8_t> kgiSimBoard::pose()
{
    std::lock_guard<std::mutex> g(lock);
    return std::vector<uint8_t>(servo, servo + 24);
}
unsigned kgiSimBoard::garbled() { std::lock_guard<std::mutex> g(lock); return garbledCount; }
unsigned kgiSimBoard::statusPolls() { std::lock_guard<std::mutex> g(lock); return pollCount; }
unsigned kgiSimBoard::blocksReceived() { std::lock_guard<std::mutex> g(lock); return blockCount; }
void kgiSimBoard::clearReceived() { std::lock_guard<std::mutex> g(lock); log.clear(); }
