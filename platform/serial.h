#pragma once
// Serial ports over termios. A port is a plain descriptor; the caller keeps
// it and passes it back. Every call reports its outcome; nothing prints.
//
// The protocol to the controller board sends raw bytes, among them 0x11,
// 0x13 and 0x0D, so a port is always opened raw: no software flow control,
// no CR/LF translation, no echo, no signals, 8 data bits, no parity, 1 stop
// bit. The descriptor is non-blocking and every wait is bounded, so a board
// that stops reading or answering never hangs the program.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// "No handle". Descriptor 0 is standard input, so -1 is the only value that
// means "not open"; never test a handle against 0.
const int NO_SERIAL_HANDLE = -1;

enum class SerialStatus { ok, badArgument, failed, unsupported };

// Opens device for exclusive use (O_NOCTTY, O_CLOEXEC, O_NONBLOCK, then
// TIOCEXCL), sets raw 8N1 at baud (9600, 19200, 38400, 57600 or 115200),
// flushes pending input and clears DTR where the device has one. Returns the
// descriptor, or NO_SERIAL_HANDLE with *error (when given) set to errno.
int serialOpen(const std::string& device, unsigned baud, int* error = nullptr);

// Closes a descriptor from serialOpen; NO_SERIAL_HANDLE is ignored.
void serialClose(int fd);

// Writes all count bytes, waiting at most timeoutMs in total for the line to
// take them. False when any byte was not written: a short write is a failure.
bool serialWrite(int fd, const uint8_t* data, size_t count, int timeoutMs);

// Reads up to count bytes: what is waiting, then what arrives within
// timeoutMs (0: no wait). Returns the number read (0 when none), -1 on error.
long serialRead(int fd, uint8_t* data, size_t count, int timeoutMs);

// Number of bytes waiting to be read, -1 on error.
int serialBytesWaiting(int fd);

// Reads and throws away everything waiting; returns how many bytes that was.
// (Unlike a plain flush, the caller learns what was lost.)
long serialDiscardInput(int fd);

// Sets or clears DTR. A pseudo-terminal has no modem lines and answers
// unsupported; callers treat that as harmless.
SerialStatus serialSetDtr(int fd, bool on);

// Baud rate the line behind fd is set to, 0 when unknown. On the master side
// of a pseudo-terminal this reads the settings the slave's user made, which is
// how a simulated board learns the speed the program chose.
unsigned serialBaud(int fd);

// True when the line behind fd is raw 8N1 as serialOpen sets it.
bool serialIsRaw8N1(int fd);

// Opens the master side of a new pseudo-terminal pair (non-blocking,
// close-on-exec) and stores the slave's device path. Returns the master
// descriptor or NO_SERIAL_HANDLE. Used to stand in for a serial device.
int openPseudoTerminal(std::string* slavePath);

// Waits at most timeoutMs for fd to become readable. 1 readable, 0 timed
// out, -1 error or hang-up (the other side of a pseudo-terminal is closed).
int serialWaitReadable(int fd, int timeoutMs);

} // namespace platform
