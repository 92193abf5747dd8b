#pragma once
// The board's side of the in-memory serial port (fake_serial.cpp), which
// stands in for every call of platform/serial.h in the program it is linked
// into. One port at a time: the link's channel in use.
#include <cstddef>
#include <cstdint>
#include <deque>

namespace kgiFakeSerial {

struct Port {
    bool open = false;
    unsigned baud = 0;
    std::deque<uint8_t> input;  // sent by the board, not yet read by the link
    uint64_t written = 0;       // bytes the link wrote
    size_t lastWrite = 0;       // length of the link's last write
    unsigned opens = 0;
};

Port& state();
// Bytes from the board, readable by the link at once; lost while the port is
// closed, as on a real line.
void boardSends(const uint8_t* data, size_t count);
void reset();

} // namespace kgiFakeSerial
