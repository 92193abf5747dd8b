// The command table and the packet builder.
//
// Templates are written below in a short notation, one item per packet byte:
//   xNN      the literal byte NN (hexadecimal)
//   K        command variable or item of kind K (decimal), e.g. 40 (the id)
//   K-L      kinds K to L in turn
//   K*R      kind K, R times
//   S8, S7   the 8-bit and the 7-bit checksum over the bytes before it
//   servo16  the 24 HX-3 servo values, high byte first (kinds 91..138)
//   text32   the 32-byte text (kinds 51, 52 x 30, 53)
//   text65   the 64-byte text (kinds 148, 149 x 62, 150)
#include "kgiRobotLink.h"
#include "kgiLinkKinds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace kgiLinkKinds;

namespace {

class TemplateWriter {
public:
    explicit TemplateWriter(uint8_t* t) : tpl(t) { std::memset(tpl, 0, kgiRobotLink::TEMPLATE_BYTES); }
    ~TemplateWriter() { tpl[0] = static_cast<uint8_t>(n); }

    void literal(unsigned v) { put(0, v); }
    void kind(unsigned k) { put(k, k); }
    void kinds(unsigned first, unsigned last)
    {
        for (unsigned k = first; k <= last; ++k) kind(k);
    }
    void repeat(unsigned k, unsigned times)
    {
        for (unsigned i = 0; i < times; ++i) kind(k);
    }

    // Reads the notation above; a malformed template is a bug of this file.
    void parse(const char* text)
    {
        const char* p = text;
        while (*p) {
            while (*p == ' ') ++p;
            if (!*p) break;
            const char* start = p;
            while (*p && *p != ' ') ++p;
            item(std::string(start, p));
        }
    }

private:
    void put(unsigned k, unsigned v)
    {
        if (n >= kgiRobotLink::MAX_PACKET) std::abort();
        tpl[1 + 2 * n] = static_cast<uint8_t>(k);
        tpl[2 + 2 * n] = static_cast<uint8_t>(v);
        ++n;
    }

    void item(const std::string& t)
    {
        if (t == "S8") { kind(42); return; }
        if (t == "S7") { kind(27); return; }
        if (t == "servo16") { kinds(91, 138); return; }
        if (t == "text32") { kind(51); repeat(52, 30); kind(53); return; }
        if (t == "text65") { kind(148); repeat(149, 62); kind(150); return; }
        if (t[0] == 'x') {
            char* rest = nullptr;
            unsigned v = static_cast<unsigned>(std::strtoul(t.c_str() + 1, &rest, 16));
            unsigned times = *rest == '*' ? static_cast<unsigned>(std::strtoul(rest + 1, nullptr, 10)) : 1;
            for (unsigned i = 0; i < times; ++i) literal(v);
            return;
        }
        char* end = nullptr;
        unsigned k = static_cast<unsigned>(std::strtoul(t.c_str(), &end, 10));
        if (*end == '-') { kinds(k, static_cast<unsigned>(std::strtoul(end + 1, nullptr, 10))); return; }
        if (*end == '*') { repeat(k, static_cast<unsigned>(std::strtoul(end + 1, nullptr, 10))); return; }
        if (*end != '\0' || k > 255) std::abort();
        kind(k);
    }

    uint8_t* tpl;
    unsigned n = 0;
};

struct CommandText { int command; const char* send; const char* reply; };

// HX-3 commands (reached with the caller's number + 100), and the further
// entries that share their codes. A null send: the command only describes an
// unsolicited message of the board.
const CommandText HX3_COMMANDS[] = {
    {101, "xF2 40 43 44 S8", "x06"},
    {102, "xF1 40 S8", "43 44 S8"},
    {103, "xF6 40 139 45-48 83-86 87 88 text32 S8", "x06"},
    {104, "xF5 139 S8", "45-48 83-86 87 88 text32 S8"},
    {105, "xF4 40 139 S8", "x06"},
    {106, "xF3 40 46 47 48 S8", "x06"},
    {107, "xFE 40 49 50 89 90 S8", "x06"},
    {108, "xFD 40 139 41 50 servo16 S8", "x06"},
    {109, "xFC 40 139 41 S8", "50 servo16 S8"},
    {110, "xFB 40 49 89 90 S8", "x06"},
    {111, "xFA 40 servo16 S8", "x06"},
    {112, "xF9 40 S8", "servo16 S8"},
    {113, "xF0 S8", "servo16 S8"},
    {114, "xF8 40 140 41 139 S8", "x06"},
    {115, "xF7 140 41 S8", "139 S8"},
    {116, "xEF 40 141 142 S8", "x06"},
    {117, "xEE S8", "141 142 S8"},
    {118, "xEC 40 41 143 144 S8", "x06"},
    {119, "xEB S8", "41 143 144 S8"},
    {120, "xEA 40 145 146 147 S8", "x06"},
    {121, "xE9 S8", "145 146 147 S8"},
    {122, "xFF S8", "text65 S8"},
    {123, "xE8 S8", "151-158 S8"},
    // 124 and 127 are one byte longer than their items; the extra byte is
    // sent as 0, just before the checksum.
    {124, "xE7 40 159 160 161 x00 S8", "x06"},
    {125, "xE6 40 162-167 S8", "x06"},
    {126, "xE5 40 S8", "162-167 S8"},
    {127, "xE4 40 159 171-194 x00 S8", "x06"},
    {128, "xE3 40 159 S8", "171-194 S8"},
    {129, "xE2 40 195-212 S8", "x06"},
    {130, "xE1 40 S8", "195-212 S8"},
    {131, "xED S8", "213-219 S8"},
    {132, "xE0 40 220-223 S8", "x06"},
    {133, "xDF 40 S8", "220-223 S8"},
    {134, "xDD 40 224 225 226 S8", "x06"},
    {135, "xDC S8", "224 225 226 S8"},
    {136, "xDB 49 168 227 230 233-236 169 237-240 170 228 231 229 232 S8", "x06"},
    {137, "xDA 49 S8", "168 227 230 233-236 169 237-240 170 228 231 229 232 S8"},
    {150, "xDE 40 213-219 S8", "x06"},
    {151, nullptr, "xFE 54-61 S7"},
    {152, nullptr, "xFF 241-247 248*22 249 S7"},
    {153, nullptr, "xFD 62-68 S7"},
};

// TL-D8150 commands 50..79; 0..23 are servo reads. The literal bytes of 51
// and 52 are rewritten before each use, those of 65 and 66 per block.
const CommandText TLD_COMMANDS[] = {
    {50, "xE6", "xE6"},
    {51, "x00", "x00"},
    {52, "x00", "x00"},
    {53, "xFA", "xFA"},
    {54, "xEC", "xEC xFF"},
    {55, "x3F", "x21"},
    {56, "250", "250"},
    {57, "xB0", "xB0"},
    {58, "x00", "251"},
    {59, "x00", "33"},
    {60, "33", "28"},
    {61, "28", "29"},
    {62, "29", "30"},
    {63, "30", "31"},
    {64, "31", "32"},
    {65, "x00*128 251 x3F", "252"},
    {66, "x00*128 251", "x45"},
    {67, "x00", "34"},
    {68, "x00", "35"},
    {69, "x00", "51"},
    {70, "x00", "52"},
    {71, "x00", "53"},
    {72, "x00", "36"},
    {73, "x00", "83"},
    {74, "x00", "84"},
    {75, "x00", "85"},
    {76, "x00", "86"},
    {77, "x00", "37"},
    {78, "x00", "38"},
    {79, "x00", "39"},
};

} // namespace

void kgiRobotLink::installTemplates()
{
    std::memset(templates, 0, sizeof templates);
    for (int c = 0; c < COMMANDS; ++c)
        commandTable[c] = CommandEntry{0, nullptr, nullptr};

    auto define = [this](int c, const char* send, const char* reply) {
        if (send) {
            TemplateWriter w(templates[2 * c]);
            w.parse(send);
            commandTable[c].send = templates[2 * c];
        }
        if (reply) {
            TemplateWriter w(templates[2 * c + 1]);
            w.parse(reply);
            commandTable[c].reply = templates[2 * c + 1];
        }
    };

    for (int c = 0; c < SERVOS; ++c) {
        char reply[8];
        std::snprintf(reply, sizeof reply, "%d", c + 1);
        define(c, "x00", reply);
    }
    for (const CommandText& t : TLD_COMMANDS) define(t.command, t.send, t.reply);
    for (const CommandText& t : HX3_COMMANDS) define(t.command, t.send, t.reply);
    for (int base : {44, 94, 144}) {
        define(base + 0, "xD2 S8", "servo16 S8");
        define(base + 1, "xD3 40 servo16 S8", "x06");
        define(base + 2, "xD0 41 S8", "text32 S8");
        define(base + 3, "xD1 40 41 text32 S8", "x06");
    }
    for (int c : {48, 49, 98, 99, 100, 138, 139, 140, 141, 142, 143, 148, 149})
        define(c, "x0D", "x0D");
}

uint32_t kgiRobotLink::usedSlots(uint32_t ch) const
{
    return static_cast<uint8_t>(Q_Write[ch] - Q_Read[ch]);
}

uint32_t kgiRobotLink::freeSlots(uint32_t ch) const
{
    return static_cast<uint8_t>(Q_Read[ch] - Q_Write[ch] - 1);
}

uint32_t kgiRobotLink::queueIsFull(uint32_t count, uint32_t ch) const
{
    return count > freeSlots(ch) ? 1 : 0;
}

int kgiRobotLink::enqueueCommand(uint8_t command, uint32_t ch)
{
    if (channel[ch].HX == BOARD_HX3) command = static_cast<uint8_t>(command + 100);
    if (command >= COMMANDS || !commandTable[command].send) return 0;
    uint8_t next = static_cast<uint8_t>(Q_Write[ch] + 1);
    if (next == Q_Read[ch]) {
        // The ring keeps one slot empty; taking it would make the full ring
        // read as empty and lose every queued packet. Refuse this one instead.
        ++Cmd_Skip[ch];
        showMessage("Error - 004", "Que_Buffer Overflow!");
        return 0;
    }
    uint8_t* slot = queue[ch][Q_Write[ch]];
    buildPacket(commandTable[command].send, ch, slot);
    unsigned n = commandTable[command].send[0];
    slot[1 + n] = command;
    Q_Write[ch] = next;
    ++channel[ch].Request;
    return 1;
}

int kgiRobotLink::streamByte(uint8_t b, uint32_t ch)
{
    streamBuf[ch][streamPos[ch]] = b;
    return enqueueCommand(56, ch);
}

void kgiRobotLink::buildPacket(const uint8_t* tpl, uint32_t ch, uint8_t* slot)
{
    const unsigned n = tpl[0];
    uint8_t* out = slot + 1;
    bool lengthFlag = true;
    slot[0] = static_cast<uint8_t>(n);
    for (unsigned i = 0; i < n; ++i) {
        const uint8_t k = tpl[1 + 2 * i];
        const uint8_t v = tpl[2 + 2 * i];
        switch (sendClass(k)) {
        case LITERAL: out[i] = v; break;
        case SERVO8: out[i] = servo8[ch][k - 1]; break;
        case VAR8: out[i] = cmdVar[ch][k]; break;
        case ID:
            out[i] = cmdVar[ch][40];
            lengthFlag = (cmdVar[ch][40] & 1) != 0;
            break;
        case SUM7: {
            unsigned s = 0;
            for (unsigned j = 0; j + 1 < n; ++j) s += out[j];
            out[n - 1] = static_cast<uint8_t>(s & 0x7F);
            break;
        }
        case SUM8: {
            unsigned s = 0;
            for (unsigned j = 0; j + 1 < n; ++j) s += out[j];
            out[n - 1] = static_cast<uint8_t>(s);
            break;
        }
        case SUM251: {
            unsigned s = 0;
            for (unsigned j = 0; j + 2 < n; ++j) s += out[j];
            out[i] = static_cast<uint8_t>(s);
            break;
        }
        case PAIR_HIGH: out[i] = static_cast<uint8_t>(cmdVar16[ch][k] >> 8); break;
        case PAIR_LOW: out[i] = static_cast<uint8_t>(cmdVar16[ch][k - 1] & 0xFF); break;
        case SPEED:
            if (speed[ch] == 0) speed[ch] = 1;
            out[i] = speed[ch];
            break;
        case TEXT32_FIRST:
            textCursor[ch] = 0;
            out[i] = static_cast<uint8_t>(cmdText32[ch][textCursor[ch]++ % 32]);
            break;
        case TEXT32_NEXT: out[i] = static_cast<uint8_t>(cmdText32[ch][textCursor[ch]++ % 32]); break;
        case TEXT32_LAST:
            out[i] = static_cast<uint8_t>(cmdText32[ch][textCursor[ch] % 32]);
            textCursor[ch] = 0;
            break;
        case TEXT65_FIRST:
            textCursor[ch] = 0;
            out[i] = static_cast<uint8_t>(cmdText65[ch][textCursor[ch]++ % 65]);
            break;
        case TEXT65_NEXT: out[i] = static_cast<uint8_t>(cmdText65[ch][textCursor[ch]++ % 65]); break;
        case TEXT65_LAST:
            out[i] = static_cast<uint8_t>(cmdText65[ch][textCursor[ch] % 65]);
            textCursor[ch] = 0;
            break;
        case SERVO16: {
            uint16_t v16 = servo16[ch][(k - 91) / 2];
            out[i] = (k % 2) ? static_cast<uint8_t>(v16 >> 8) : static_cast<uint8_t>(v16 & 0xFF);
            break;
        }
        case STREAM:
            out[i] = streamBuf[ch][streamPos[ch]];
            streamPos[ch] = static_cast<uint8_t>(streamPos[ch] + 1);
            break;
        default:
            break;  // nothing to send: the byte stays as the slot held it
        }
    }
    // On an HX-3 board an even id marks a packet the board does not answer.
    if (channel[ch].HX == BOARD_HX3 && !lengthFlag)
        slot[0] = static_cast<uint8_t>(slot[0] + 128);
}
