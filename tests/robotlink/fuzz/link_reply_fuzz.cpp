// The board's replies, whatever they are: arbitrary bytes reach the link
// through its real receive path (the worker reads them from an in-memory
// port, fake_serial.cpp), while the input also starts the request machines
// of every reply kind: the information read, the pose read, the status polls
// of a pose sent with a wait, downloads (their block answers, and the status
// polls of a play after them), remote-control plays and servo changes.
//
// Each input opens channel 1 as the robot session does and is read as a
// script, one operation per byte:
//   0x00-0x07  start a machine (0 information read, 1 its short form, 2 pose
//              read, 3 stop the pose read, 4 pose with a wait for the board,
//              5 download, 6 remote-control play, 7 servo changes); the
//              following byte, where one is read, picks the details
//   0x08-0x3F  one tick; if a reply is awaited, the board answers with the
//              reply's own shape (its literals and sums right, every other
//              byte from the input)
//   0x40-0x7F  one tick after the board sent the next (op - 0x40) bytes
//   0x80-0xBF  one tick after the board sent as many bytes as the awaited
//              reply has, taken from the input
//   0xC0-0xFF  (op - 0xBF) ticks of silence
// When the input ends the board falls silent and a held pose read is
// stopped.
//
// Checked after every tick: every machine and the worker are in one of their
// states, nothing grows past its bound (ring, reply buffer, text cursors,
// status polls, bytes written per tick). After the input: every machine ends
// at 0 and the ring drains within the link's own time-outs.
#include "fake_serial.h"

#include "kgiLinkKinds.h"
#include "kgiRobotLink.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr uint32_t CH = 1;
// Busy answers to the status poll before the board counts as stuck; the
// program's own bound (minutes) would only make inputs long.
constexpr uint32_t STATUS_REPOLLS = 40;
// Ticks a silent board may keep any machine or packet going: a packet is
// written twice and waits REPLY_POLLS ticks each time before it is dropped
// (which, on a board that does not answer, empties the ring and stops the
// machines); the status waits of a pose and of a play after a download last
// 101 ticks and may queue one more packet each.
constexpr int SILENT_LIMIT = 4 * 2 * int(kgiRobotLink::REPLY_POLLS) + 2 * 101 + 100;
// Worker writes per tick: two packets at most.
constexpr uint64_t WRITES_PER_TICK = 2 * kgiRobotLink::MAX_PACKET;

struct Quiet : kgiLinkMessages {
    void showMessage(const char*, const char*) override {}
};

platform::LocalTime fixedTime()
{
    platform::LocalTime t{};
    t.year = 2026; t.month = 3; t.day = 9; t.hour = 14; t.minute = 5; t.second = 7;
    return t;
}
double noSeconds() { return 0.0; }

template <size_t N> bool oneOf(uint32_t v, const uint32_t (&set)[N])
{
    return std::find(set, set + N, v) != set + N;
}

void check(bool ok)
{
    if (!ok) std::abort();
}

// The words a run changes go back to those of a new link (the link itself
// is tens of megabytes and made once).
void restore(kgiRobotLink& l, const kgiRobotLink& p)
{
#define KGI_RESTORE(m) std::memcpy(&l.m, &p.m, sizeof l.m)
    KGI_RESTORE(readResult); KGI_RESTORE(writeResult); KGI_RESTORE(bytesRead); KGI_RESTORE(wireOut);
    KGI_RESTORE(wireIn); KGI_RESTORE(Q_Write); KGI_RESTORE(Q_Read); KGI_RESTORE(textCursor);
    KGI_RESTORE(sendPhase); KGI_RESTORE(sendPhaseIdle); KGI_RESTORE(lastResult); KGI_RESTORE(channel);
    KGI_RESTORE(streamPos); KGI_RESTORE(cmdVar); KGI_RESTORE(cmdVar16); KGI_RESTORE(cmdText32);
    KGI_RESTORE(cmdText65); KGI_RESTORE(text24); KGI_RESTORE(speed); KGI_RESTORE(servo8);
    KGI_RESTORE(servo16); KGI_RESTORE(servoChanged); KGI_RESTORE(Cmd_Skip); KGI_RESTORE(linkLost);
    KGI_RESTORE(ioState); KGI_RESTORE(retryCount); KGI_RESTORE(inFlight); KGI_RESTORE(replyLength);
    KGI_RESTORE(headPacket); KGI_RESTORE(pollCount); KGI_RESTORE(statusRewind); KGI_RESTORE(boardStatus);
    KGI_RESTORE(blockRejected); KGI_RESTORE(noReply); KGI_RESTORE(waitCount); KGI_RESTORE(passCount);
    KGI_RESTORE(writeCount); KGI_RESTORE(dropCount); KGI_RESTORE(statusRepolls); KGI_RESTORE(statusWaitEnded);
    KGI_RESTORE(poseRead); KGI_RESTORE(poseReadMode); KGI_RESTORE(servosHeld); KGI_RESTORE(infoRead);
    KGI_RESTORE(infoReadFlag); KGI_RESTORE(robotInfo); KGI_RESTORE(poseWait); KGI_RESTORE(download);
    KGI_RESTORE(downloadWait); KGI_RESTORE(poseWaitCount); KGI_RESTORE(playAfterDownload);
    KGI_RESTORE(blockIndex); KGI_RESTORE(downloadResult); KGI_RESTORE(downloadErrorBase);
    KGI_RESTORE(servoGroup); KGI_RESTORE(servoGroupIndex); KGI_RESTORE(servoGroupWait); KGI_RESTORE(linkBusy);
    KGI_RESTORE(idleCount); KGI_RESTORE(tickCount); KGI_RESTORE(imageLength); KGI_RESTORE(bytesToSend);
#undef KGI_RESTORE
}

class Run {
public:
    Run(kgiRobotLink& l, const uint8_t* d, size_t n) : link(l), data(d), size(n) {}

    void go()
    {
        kgiFakeSerial::reset();
        const uint8_t first = next();
        if (link.openChannel(CH, 1, kgiRobotLink::BOARD_TLD8150, kgiRobotLink::BUFFER_FIFO,
                             kgiRobotLink::ROBOT_DORUZAVO1, 9600, first & 1) != 0)
            std::abort();
        while (pos < size) step(next());

        // The board falls silent; the user lets go of a held pose read.
        bool ended = false;
        for (int t = 0; t < SILENT_LIMIT && !ended; ++t) {
            if (link.poseRead[CH] == 12) link.stopPoseRead(CH);
            tick();
            ended = link.machinesIdle(CH) && link.poseWait[CH] == 0 && settled();
        }
        if (!ended) {
            const kgiRobotLink::Channel& r = link.channel[CH];
            std::fprintf(stderr,
                         "not ended after %d silent ticks: poseRead %u infoRead %u poseWait %u download %u "
                         "servoGroup %u ring %u/%u inFlight %u io %u Send %u Receive %u Error %u\n",
                         SILENT_LIMIT, link.poseRead[CH], link.infoRead[CH], link.poseWait[CH],
                         link.download[CH], link.servoGroup[CH], link.Q_Read[CH], link.Q_Write[CH],
                         link.inFlight[CH], link.ioState[CH], r.Send, r.Receive, r.Error);
            std::abort();
        }
        link.closeAll();
        check(!kgiFakeSerial::state().open);
    }

private:
    uint8_t next() { return pos < size ? data[pos++] : 0; }

    bool settled() const
    {
        const kgiRobotLink::Channel& r = link.channel[CH];
        return link.Q_Read[CH] == link.Q_Write[CH] && !link.inFlight[CH] && r.Send == r.Receive + r.Error;
    }

    bool awaiting() const
    {
        return link.channel[CH].BaudRate != 0 && link.inFlight[CH] && link.ioState[CH] == kgiRobotLink::IO_WAIT;
    }

    void step(uint8_t op)
    {
        if (op < 0x08) {
            start(op);
        } else if (op < 0x40) {
            if (awaiting()) shapedReply();
            tick();
        } else if (op < 0x80) {
            send(op - 0x40u);
            tick();
        } else if (op < 0xC0) {
            if (awaiting()) send(link.replyLength[CH]);
            tick();
        } else {
            for (int i = 0; i <= op - 0xC0; ++i) tick();
        }
    }

    void start(uint8_t op)
    {
        switch (op) {
        case 0: link.startInfoRead(1, CH); break;
        case 1: link.startInfoRead(2, CH); break;
        case 2: link.startPoseRead(CH, next() % 3); break;
        case 3: link.stopPoseRead(CH); break;
        case 4: link.sendPose(static_cast<uint8_t>(1 + next() % 15), 1, CH); break;
        case 5: {
            // An image of 1 to 766 values (up to six blocks), then maybe a play.
            const int32_t values = 1 + 3 * next();
            const uint8_t play = next();
            for (int32_t i = 0; i < values; ++i)
                link.Remo_File_Tbl[CH][i] = static_cast<uint32_t>(i * 31 + 7) & 0xFF;
            link.Remo_File_Tbl[CH][14] = static_cast<uint32_t>(values & 0xFF);
            link.Remo_File_Tbl[CH][15] = static_cast<uint32_t>(values >> 8);
            link.imageLength[CH] = values;
            link.bytesToSend[CH] = values;
            link.startDownload(1, play % 4 == 0 ? 0 : play, CH);
            break;
        }
        case 6: link.sendRemoteControl(next(), CH); break;
        default: {
            const uint8_t b = next();
            if (b & 0x80)
                link.startServoGroup(b % 16, CH);
            else
                link.setServo(b % 24, 10 + next() % 181, CH);
            break;
        }
        }
    }

    void send(uint32_t count)
    {
        std::vector<uint8_t> bytes;
        for (uint32_t i = 0; i < count && pos < size; ++i) bytes.push_back(next());
        kgiFakeSerial::boardSends(bytes.data(), bytes.size());
    }

    // The reply the template of the awaited packet describes: literals and
    // sums as they should be, the board's own bytes from the input.
    void shapedReply()
    {
        using namespace kgiLinkKinds;
        const uint8_t* p = link.headPacket[CH];
        const uint8_t cmd = p[1 + p[0]];
        const uint8_t* tpl = cmd < kgiRobotLink::COMMANDS ? link.commandTable[cmd].reply : nullptr;
        if (!tpl) return;
        const uint32_t n = tpl[0];
        std::vector<uint8_t> reply(n);
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t kind = tpl[1 + 2 * i];
            reply[i] = replyClass(kind) == LITERAL ? ((cmd == 51 || cmd == 52) ? p[1] : tpl[2 + 2 * i]) : next();
        }
        if (n > 1) {
            unsigned sum = 0;
            for (uint32_t i = 0; i + 1 < n; ++i) sum += reply[i];
            const uint8_t sumKind = tpl[2 + 2 * (n - 1)];
            if (sumKind == 27) reply[n - 1] = static_cast<uint8_t>(sum & 0x7F);
            if (sumKind == 42) reply[n - 1] = static_cast<uint8_t>(sum & 0xFF);
        }
        kgiFakeSerial::boardSends(reply.data(), reply.size());
    }

    void tick()
    {
        const uint64_t written = kgiFakeSerial::state().written;
        link.tick();
        checkStates();
        check(kgiFakeSerial::state().written - written <= WRITES_PER_TICK);
    }

    void checkStates() const
    {
        static const uint32_t POSE_READ[] = {0, 10, 12, 20, 21};
        static const uint32_t POSE_WAIT[] = {0, 10, 33, 34, 35};
        static const uint32_t DOWNLOAD[] = {0, 10, 27, 28, 29, 30, 31, 32, 33, 34, 35, 50, 299, 301, 310};
        static const uint32_t SERVO_GROUP[] = {0, 10, 20};
        static const uint32_t IO[] = {0, 1, 2, 3, 4, 5, 31};
        check(oneOf(link.poseRead[CH], POSE_READ));
        check(link.infoRead[CH] == 0 || (link.infoRead[CH] >= 10 && link.infoRead[CH] <= 24));
        check(oneOf(link.poseWait[CH], POSE_WAIT));
        check(oneOf(link.download[CH], DOWNLOAD));
        check(oneOf(link.servoGroup[CH], SERVO_GROUP));
        check(oneOf(link.ioState[CH], IO));
        check(link.sendPhase[CH] == 2 || link.sendPhase[CH] == 3);
        check(link.retryCount[CH] <= 1);
        check(link.pollCount[CH] < kgiRobotLink::REPLY_POLLS);
        check(link.bytesRead[CH] <= 256 && link.replyLength[CH] <= 256);
        check(link.textCursor[CH] < 65);
        check(link.statusRepolls[CH] <= STATUS_REPOLLS);
        check(link.logCount >= 0 && link.logCount <= kgiRobotLink::LOG_LINES);
        // Every packet taken is settled once, and none is settled untaken.
        const kgiRobotLink::Channel& r = link.channel[CH];
        check(r.Receive + r.Error <= r.Send && r.Send <= r.Receive + r.Error + 1);
        // A speed switch closes and opens the port within one tick.
        check(r.BaudRate == 9600 || r.BaudRate == 115200);
    }

    kgiRobotLink& link;
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Quiet quiet;
    static kgiRobotLink* pristine = new kgiRobotLink;
    static kgiRobotLink* link = [] {
        kgiRobotLink* l = new kgiRobotLink;
        l->setMessages(&quiet);
        l->setClock(kgiRobotLink::Clock{noSeconds, fixedTime});
        l->portMapFile.clear();  // COM1 is the default device, the in-memory port
        l->statusRepollLimit = STATUS_REPOLLS;
        return l;
    }();
    restore(*link, *pristine);
    Run(*link, data, size).go();
    return 0;
}
