// A serial port in memory, linked in place of the platform's termios one: the
// link's worker writes to it and reads from it through the ordinary serial
// calls, and the fuzz target plays the board by putting bytes into it.
// Nothing waits and nothing reaches the kernel, so every run of an input is
// the same.
#include "fake_serial.h"

#include "platform/serial.h"

#include <algorithm>

namespace {

constexpr int FAKE_FD = 1000;

kgiFakeSerial::Port port;

bool ours(int fd)
{
    return fd == FAKE_FD && port.open;
}

} // namespace

kgiFakeSerial::Port& kgiFakeSerial::state()
{
    return port;
}

void kgiFakeSerial::boardSends(const uint8_t* data, size_t count)
{
    if (port.open) port.input.insert(port.input.end(), data, data + count);
}

void kgiFakeSerial::reset()
{
    port = Port();
}

namespace platform {

int serialOpen(const std::string&, unsigned baud, int* error)
{
    if (port.open) {
        // Opened for exclusive use, as the real port is.
        if (error) *error = 16;  // EBUSY
        return NO_SERIAL_HANDLE;
    }
    port.open = true;
    port.baud = baud;
    port.input.clear();  // pending input is flushed on open
    ++port.opens;
    return FAKE_FD;
}

void serialClose(int fd)
{
    if (ours(fd)) port.open = false;
}

bool serialWrite(int fd, const uint8_t*, size_t count, int)
{
    if (!ours(fd)) return false;
    port.written += count;
    port.lastWrite = count;
    return true;
}

long serialRead(int fd, uint8_t* data, size_t count, int)
{
    if (!ours(fd)) return -1;
    const size_t n = std::min(count, port.input.size());
    std::copy(port.input.begin(), port.input.begin() + static_cast<long>(n), data);
    port.input.erase(port.input.begin(), port.input.begin() + static_cast<long>(n));
    return static_cast<long>(n);
}

int serialBytesWaiting(int fd)
{
    return ours(fd) ? static_cast<int>(port.input.size()) : -1;
}

long serialDiscardInput(int fd)
{
    if (!ours(fd)) return -1;
    const long n = static_cast<long>(port.input.size());
    port.input.clear();
    return n;
}

SerialStatus serialSetDtr(int fd, bool)
{
    return ours(fd) ? SerialStatus::unsupported : SerialStatus::badArgument;
}

unsigned serialBaud(int fd)
{
    return ours(fd) ? port.baud : 0;
}

bool serialIsRaw8N1(int fd)
{
    return ours(fd);
}

int openPseudoTerminal(std::string*)
{
    return NO_SERIAL_HANDLE;
}

int serialWaitReadable(int fd, int)
{
    if (!ours(fd)) return -1;
    return port.input.empty() ? 0 : 1;
}

} // namespace platform
