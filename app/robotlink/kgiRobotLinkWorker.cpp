// The I/O worker: the only code of the link that writes to and reads from
// the ports. Every wait is a count of worker passes; nothing blocks longer
// than the port layer's short time-outs.
#include "kgiRobotLink.h"
#include "kgiLinkKinds.h"

#include <cstring>

#include "platform/serial.h"

using namespace kgiLinkKinds;

namespace {

// A worker call makes at most two writes and a handful of passes per
// channel; the cap only guards against a state that would never stop.
const int MAX_PASSES = 64;
// One-byte reads an HX-3 preface waits for its answer within one call.
const uint32_t PREFACE_READS = 25;
const uint8_t PREFACE_BYTE = 0x0D;
const uint8_t PREFACE_COMMAND = 100;
const uint8_t HX_MESSAGE_COMMAND = 152;
const uint8_t BLOCK_REJECTED = 'X';
// The download's last block; its answer is the literal "E", and "X" refuses it.
const uint8_t LAST_BLOCK_COMMAND = 66;
const uint32_t TLD_RETRIES = 1;  // a TL-D8150 packet goes out twice at most
const uint32_t HX_RETRIES = 6;

// Reply kinds whose byte also lands in the robot information record, and
// the word each one fills.
int infoWordOfKind(uint8_t k)
{
    switch (k) {
    case 33: return 0;
    case 28: return 1;
    case 29: return 2;
    case 30: return 3;
    case 31: return 4;
    case 32: return 5;
    case 34: return 6;
    case 35: return 7;
    case 36: return 16;
    case 83: return 17;
    case 84: return 18;
    case 85: return 19;
    case 86: return 20;
    case 37: return 21;
    case 38: return 22;
    case 39: return 23;
    default: return -1;
    }
}

} // namespace

void kgiRobotLink::serviceIo()
{
    for (uint32_t ch = 0; ch < CHANNELS; ++ch)
        serviceChannel(ch);
}

void kgiRobotLink::serviceChannel(uint32_t ch)
{
    if (channel[ch].BaudRate == 0) return;
    uint32_t writesThisCall = 0;
    bool cont = true;
    for (int pass = 0; cont && pass < MAX_PASSES; ++pass) {
        if (ioState[ch] == IO_IDLE) cont = false;
        ++passCount[ch];
        const bool ringEmpty = Q_Write[ch] == Q_Read[ch];

        if (!inFlight[ch] && !ringEmpty && sendPhase[ch] == 0) {
            // HX-3: every ring command is preceded by a one-byte preface.
            sendPhase[ch] = 1;
            headPacket[ch][0] = 1;
            headPacket[ch][1] = PREFACE_BYTE;
            headPacket[ch][2] = PREFACE_COMMAND;
            replyLength[ch] = commandTable[PREFACE_COMMAND].reply[0];
            noReply[ch] = 0;
            ioState[ch] = IO_WRITE;
            cont = true;
            prefaceResends[ch] = 0;
            inFlight[ch] = 1;
        }
        if (!inFlight[ch] && !ringEmpty && sendPhase[ch] == 2) {
            sendPhase[ch] = 3;
            noReply[ch] = 0;
            uint8_t slot = channel[ch].Buffer == BUFFER_FIFO ? Q_Read[ch]
                                                             : static_cast<uint8_t>(Q_Write[ch] - 1);
            std::memcpy(headPacket[ch], queue[ch][slot], SLOT_BYTES);
            uint8_t* p = headPacket[ch];
            if (channel[ch].HX == BOARD_HX3) {
                if (p[0] >= 129) {
                    p[0] = static_cast<uint8_t>(p[0] - 128);
                    noReply[ch] = 1;
                }
                if (p[1] == 0xF2) hxMessageState[ch] = (p[3] & 0x02) ? 1 : 0;
                if (p[1] == 0xF4 && p[3] < 80 && hxMessageState[ch] == 1) hxMessageState[ch] = 2;
            }
            const uint8_t cmd = p[1 + p[0]];
            const uint8_t* reply = cmd < COMMANDS ? commandTable[cmd].reply : nullptr;
            replyLength[ch] = reply ? reply[0] : 0;
            if (replyLength[ch] != 1) noReply[ch] = 0;
            if (replyLength[ch] == 0) noReply[ch] = 1;  // nothing to wait for
            ioState[ch] = IO_WRITE;
            cont = true;
            prefaceResends[ch] = 0;
            if (retryCount[ch] == 0) ++channel[ch].Send;
            inFlight[ch] = 1;
        }
        stepIo(ch, cont, writesThisCall);
        if (channel[ch].BaudRate == 0) break;  // closed by the recovery
    }
}

void kgiRobotLink::stepIo(uint32_t ch, bool& cont, uint32_t& writesThisCall)
{
    const int fd = portHandle[ch];
    const bool hx3 = channel[ch].HX == BOARD_HX3;
    const bool preface = hx3 && sendPhase[ch] == 1;
    switch (ioState[ch]) {
    case IO_IDLE:
        if (!hx3) {
            // A stray byte while nothing is expected: take it out, one per call.
            if (fd != NO_HANDLE && platform::serialBytesWaiting(fd) > 0) readPort(rxSmall[ch], 1, ch);
        } else if (hxMessageState[ch] == 2) {
            readPort(rxSmall[ch], 32, ch);
            if (bytesRead[ch] > 0 && rxSmall[ch][0] == 0xFF) {
                hxMessageState[ch] = 3;
                replyLength[ch] = 32;
                headPacket[ch][0] = 0;
                headPacket[ch][1] = HX_MESSAGE_COMMAND;
                std::memcpy(rxCopy[ch], rxSmall[ch], bytesRead[ch]);
                ioState[ch] = IO_CHECK;
                cont = true;
            }
        }
        break;

    case IO_WRITE:
        // Whatever is waiting now belongs to no packet (a surplus byte, a late
        // answer to an attempt already given up): drop it, so it cannot spoil
        // this packet's reply count.
        if (!hx3 && fd != NO_HANDLE) wireIn[ch] += platform::serialDiscardInput(fd);
        writePort(headPacket[ch] + 1, headPacket[ch][0], ch);
        ++writeCount[ch];
        ++writesThisCall;
        if (noReply[ch]) {
            noReply[ch] = 0;
            ioState[ch] = IO_GOOD;
            break;
        }
        waitCount[ch] = 0;
        ioState[ch] = IO_WAIT;
        if (hx3) {
            cont = preface;
            if (preface) prefaceWait = 0;
        } else if (writesThisCall >= 2) {
            cont = false;
        }
        break;

    case IO_WAIT:
        if (preface) {
            bytesRead[ch] = 0;
            readPort(rxBuf[ch], 1, ch);
            if (bytesRead[ch] == 1 && rxBuf[ch][0] == PREFACE_BYTE) {
                rxCopy[ch][0] = rxBuf[ch][0];
                ioState[ch] = IO_CHECK;
                channel[ch].Power = 0;
                break;
            }
            if (++prefaceWait >= PREFACE_READS) {
                bytesRead[ch] = 0;
                ioState[ch] = IO_CHECK;
                prefaceWait = 0;
                channel[ch].Power = 1;
            }
            break;  // the preface wait runs on within this call
        }
        if (hx3) {
            if (waitCount[ch] == 0) {
                waitCount[ch] = 1;
                cont = false;
            } else {
                ioState[ch] = IO_READ;
            }
            break;
        }
        // The reply is read once all of it is there; a byte beyond it stays
        // in the port and is discarded before the next write.
        if (platform::serialBytesWaiting(fd) >= static_cast<int>(replyLength[ch])) {
            ioState[ch] = IO_READ;
            pollCount[ch] = 0;
            channel[ch].Power = 0;
            linkLost[ch] = 0;
        } else {
            cont = false;
        }
        if (++pollCount[ch] >= REPLY_POLLS) {
            ioState[ch] = IO_BAD;
            pollCount[ch] = 0;
            channel[ch].Power = 1;
            linkLost[ch] = 1;
        }
        break;

    case IO_READ:
        readPort(rxBuf[ch], replyLength[ch], ch);
        std::memcpy(rxCopy[ch], rxBuf[ch], bytesRead[ch]);
        checkReply(ch);
        break;

    case IO_CHECK:
        checkReply(ch);
        break;

    case IO_GOOD:
        settleGood(ch);
        break;

    case IO_BAD:
        retryOrDrop(ch);
        cont = false;
        break;

    default:
        cont = false;  // states 6..30 do nothing
        break;
    }
}

void kgiRobotLink::checkReply(uint32_t ch)
{
    const uint32_t n = bytesRead[ch];
    if (n == 0 || n != replyLength[ch]) {
        ioState[ch] = IO_BAD;
        return;
    }
    const uint8_t* p = headPacket[ch];
    const uint8_t cmd = p[1 + p[0]];
    const uint8_t* tpl = cmd < COMMANDS ? commandTable[cmd].reply : nullptr;
    if (!tpl || tpl[0] != n) {
        ioState[ch] = IO_BAD;
        return;
    }
    const uint8_t* b = rxCopy[ch];
    int result = 0;
    if (n > 1) {
        const uint8_t sumKind = tpl[2 + 2 * (n - 1)];
        unsigned s = 0;
        for (uint32_t i = 0; i + 1 < n; ++i) s += b[i];
        if (sumKind == 27 && (s & 0x7F) != b[n - 1]) result = 2;
        if (sumKind == 42 && (s & 0xFF) != b[n - 1]) result = 2;
    }
    if (result == 0) {
        for (uint32_t i = 0; i < n; ++i) {
            const uint8_t kind = tpl[1 + 2 * i];
            switch (replyClass(kind)) {
            case LITERAL: {
                // Commands 51 and 52 echo a byte that changes per servo; several
                // may be queued at once, so the echo is checked against the byte
                // this packet sent, not against the shared template.
                uint8_t expected = tpl[2 + 2 * i];
                if (channel[ch].HX == BOARD_TLD8150 && (cmd == 51 || cmd == 52)) expected = p[1];
                if (b[i] != expected) result = 1;
                // The last block is refused like the others, by "X"; the
                // board has then left the transfer (retryOrDrop).
                if (channel[ch].HX == BOARD_TLD8150 && cmd == LAST_BLOCK_COMMAND && b[i] == BLOCK_REJECTED)
                    blockRejected[ch] = 1;
                break;
            }
            case SUM251:
                statusRewind[ch] = b[i];
                boardStatus[ch] = b[i];
                if (b[i] == 0) statusRepolls[ch] = 0;
                break;
            case BLOCK_ANSWER:
                if (b[i] == BLOCK_REJECTED) blockRejected[ch] = 1;
                break;
            default:
                storeReplyByte(ch, kind, b[i]);
                break;
            }
        }
    }
    ioState[ch] = result == 0 ? IO_GOOD : IO_BAD;
}

void kgiRobotLink::storeReplyByte(uint32_t ch, uint8_t kind, uint8_t b)
{
    switch (replyClass(kind)) {
    case SERVO8: servo8[ch][kind - 1] = b; break;
    case VAR8:
    case ID: {
        cmdVar[ch][kind] = b;
        int w = infoWordOfKind(kind);
        if (w >= 0) robotInfo[ch][w] = b;
        if (kind == 39)
            for (int i = 0; i < 8; ++i)
                robotInfo[ch][8 + i] = static_cast<uint8_t>(cmdText32[ch][i]);
        break;
    }
    case PAIR_HIGH: cmdVar16[ch][kind] = static_cast<uint16_t>(b << 8); break;
    case PAIR_LOW: cmdVar16[ch][kind - 1] = static_cast<uint16_t>(cmdVar16[ch][kind - 1] | b); break;
    case SPEED: speed[ch] = b; break;
    case TEXT32_FIRST: textCursor[ch] = 0; cmdText32[ch][textCursor[ch]++ % 32] = static_cast<char>(b); break;
    case TEXT32_NEXT: cmdText32[ch][textCursor[ch]++ % 32] = static_cast<char>(b); break;
    case TEXT32_LAST: cmdText32[ch][textCursor[ch] % 32] = static_cast<char>(b); textCursor[ch] = 0; break;
    case TEXT65_FIRST: textCursor[ch] = 0; cmdText65[ch][textCursor[ch]++ % 65] = static_cast<char>(b); break;
    case TEXT65_NEXT: cmdText65[ch][textCursor[ch]++ % 65] = static_cast<char>(b); break;
    case TEXT65_LAST: cmdText65[ch][textCursor[ch] % 65] = static_cast<char>(b); textCursor[ch] = 0; break;
    case TEXT24_FIRST: textCursor[ch] = 0; text24[ch][textCursor[ch]++ % 24] = static_cast<char>(b); break;
    case TEXT24_NEXT: text24[ch][textCursor[ch]++ % 24] = static_cast<char>(b); break;
    case TEXT24_LAST: text24[ch][textCursor[ch] % 24] = static_cast<char>(b); textCursor[ch] = 0; break;
    case SERVO16: {
        uint16_t& v = servo16[ch][(kind - 91) / 2];
        v = (kind % 2) ? static_cast<uint16_t>(b << 8) : static_cast<uint16_t>(v | b);
        break;
    }
    default: break;  // kinds without a variable keep nothing
    }
}

void kgiRobotLink::advanceRing(uint32_t ch)
{
    if (channel[ch].Buffer == BUFFER_FILO)
        Q_Read[ch] = Q_Write[ch];  // everything older than the newest is given up
    else
        Q_Read[ch] = static_cast<uint8_t>(Q_Read[ch] + 1);
}

void kgiRobotLink::settleGood(uint32_t ch)
{
    if (hxMessageState[ch] == 3) {
        hxMessageState[ch] = 1;
        sendPhase[ch] = sendPhaseIdle[ch];
        inFlight[ch] = 0;
        ioState[ch] = IO_IDLE;
        ++channel[ch].Tokusyu;
        return;
    }
    if (sendPhase[ch] == 1) {
        // The preface was answered: now the ring command itself.
        sendPhase[ch] = 2;
        inFlight[ch] = 0;
        ioState[ch] = IO_IDLE;
        return;
    }
    sendPhase[ch] = sendPhaseIdle[ch];
    inFlight[ch] = 0;
    ioState[ch] = IO_IDLE;
    retryCount[ch] = 0;

    bool giveUp = false;
    if (statusRewind[ch] && ++statusRepolls[ch] > statusRepollLimit) {
        // The board has answered "busy" for far longer than any motion runs.
        giveUp = true;
        statusRewind[ch] = 0;
        statusRepolls[ch] = 0;
        statusWaitEnded[ch] = 1;
    }
    if (giveUp) {
        ++channel[ch].Error;
        ++dropCount[ch];
        lastResult[ch] = REPLY_FAILED;
    } else {
        ++channel[ch].Receive;
        lastResult[ch] = REPLY_ANSWERED;
    }
    advanceRing(ch);
    if (giveUp) {
        showMessage("Error - 005", "Board Busy Time Out!");
        return;
    }
    if (statusRewind[ch]) {
        statusRewind[ch] = 0;
        // Send the status poll (the last two packets) again. On a ring too full
        // to take them back the poll ends here instead: moving the read index
        // onto the write index would make every queued packet vanish.
        if (freeSlots(ch) >= 2) {
            Q_Read[ch] = static_cast<uint8_t>(Q_Read[ch] - 2);
        } else {
            statusRepolls[ch] = 0;
            statusWaitEnded[ch] = 1;
        }
    }
}

void kgiRobotLink::dropHead(uint32_t ch)
{
    ++dropCount[ch];
    ++channel[ch].Error;
    lastResult[ch] = REPLY_FAILED;
    advanceRing(ch);
}

void kgiRobotLink::retryOrDrop(uint32_t ch)
{
    if (hxMessageState[ch] == 3) {
        settleGood(ch);  // a bad message is counted like a good one: nothing to retry
        return;
    }
    if (sendPhase[ch] == 1) {
        if (++prefaceResends[ch] <= PREFACE_RESEND_LIMIT) {
            ioState[ch] = IO_WRITE;
            return;
        }
        // The board does not answer the preface: give up the command behind it
        // (counted as taken and failed) instead of knocking for ever. A command
        // that was already taken for an earlier attempt is counted once only.
        if (retryCount[ch] == 0) ++channel[ch].Send;
        retryCount[ch] = 0;
        sendPhase[ch] = sendPhaseIdle[ch];
        inFlight[ch] = 0;
        ioState[ch] = IO_IDLE;
        prefaceResends[ch] = 0;
        dropHead(ch);
        return;
    }
    const uint32_t limit = channel[ch].HX == BOARD_TLD8150 ? TLD_RETRIES : HX_RETRIES;
    sendPhase[ch] = sendPhaseIdle[ch];
    inFlight[ch] = 0;
    ioState[ch] = IO_IDLE;
    // A refused block is never sent again: with its refusal the board went
    // back to 9600 baud, where the block's bytes at the transfer speed would
    // arrive garbled, and could be taken for commands.
    const uint8_t* head = headPacket[ch];
    const bool refusedBlock = channel[ch].HX == BOARD_TLD8150 && blockRejected[ch] &&
                              head[1 + head[0]] == LAST_BLOCK_COMMAND;
    if (retryCount[ch] < limit && !refusedBlock) {
        ++retryCount[ch];
        return;
    }
    retryCount[ch] = 0;
    dropHead(ch);
    if (channel[ch].Buffer == BUFFER_FIFO && channel[ch].HX == BOARD_TLD8150 && channel[ch].Power == 1)
        recoverLostLink(ch);
}

void kgiRobotLink::recoverLostLink(uint32_t ch)
{
    // The board no longer answers: everything queued is abandoned, the
    // machines stop, and the port goes back to the normal speed.
    Q_Read[ch] = Q_Write[ch];
    infoRead[ch] = 0;
    servoGroup[ch] = 0;
    poseRead[ch] = 0;
    if (download[ch] != 0) downloadResult[ch] = DOWNLOAD_LOST;
    download[ch] = 0;
    // A pose wait for a busy board would wait for ever for the "idle" that
    // the dropped status poll was to bring.
    poseWait[ch] = 0;
    servosHeld[ch] = 1;  // a cut-off pose read must not block the next one
    linkLost[ch] = 1;
    if (channel[ch].BaudRate == 115200) {
        if (closeChannel(static_cast<uint8_t>(ch)) != 0) showMessage("Error - 001", "COM close Fail!");
        if (reopenChannel(static_cast<uint8_t>(ch), 9600) != 0)
            showMessage("Error - 003", "Lo_Spd COM Open Fail!");
    }
}
