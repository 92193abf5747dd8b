#include "platform/serial.h"
#include "platform/clock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

struct BaudEntry { unsigned rate; speed_t code; };
const BaudEntry BAUDS[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool speedCode(unsigned rate, speed_t* code)
{
    for (const BaudEntry& e : BAUDS)
        if (e.rate == rate) { *code = e.code; return true; }
    return false;
}

unsigned speedRate(speed_t code)
{
    for (const BaudEntry& e : BAUDS)
        if (e.code == code) return e.rate;
    return 0;
}

int remainingMs(unsigned long long deadline)
{
    unsigned long long now = monotonicMilliseconds();
    return now >= deadline ? 0 : static_cast<int>(deadline - now);
}

} // namespace

int serialOpen(const std::string& device, unsigned baud, int* error)
{
    speed_t code;
    if (device.empty() || !speedCode(baud, &code)) {
        if (error) *error = EINVAL;
        return NO_SERIAL_HANDLE;
    }
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) *error = errno;
        return NO_SERIAL_HANDLE;
    }
    // The port is the link's alone, as on the system it came from: a second
    // opener (other than root) is refused while we hold it.
    termios t;
    if (::ioctl(fd, TIOCEXCL) != 0 || ::tcgetattr(fd, &t) != 0) {
        if (error) *error = errno;
        ::close(fd);
        return NO_SERIAL_HANDLE;
    }
    ::cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    t.c_iflag |= IGNBRK;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        if (error) *error = errno;
        ::close(fd);
        return NO_SERIAL_HANDLE;
    }
    ::tcflush(fd, TCIFLUSH);
    serialSetDtr(fd, false);  // best effort: a pseudo-terminal has no DTR
    if (error) *error = 0;
    return fd;
}

void serialClose(int fd)
{
    if (fd != NO_SERIAL_HANDLE)
        ::close(fd);
}

bool serialWrite(int fd, const uint8_t* data, size_t count, int timeoutMs)
{
    if (fd == NO_SERIAL_HANDLE) return false;
    unsigned long long deadline = monotonicMilliseconds() + static_cast<unsigned>(timeoutMs);
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd, data + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        int left = remainingMs(deadline);
        if (left <= 0) return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLNVAL)) return false;
    }
    return true;
}

long serialRead(int fd, uint8_t* data, size_t count, int timeoutMs)
{
    if (fd == NO_SERIAL_HANDLE) return -1;
    unsigned long long deadline = monotonicMilliseconds() + static_cast<unsigned>(timeoutMs);
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, data + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return done > 0 ? static_cast<long>(done) : -1;
        int left = remainingMs(deadline);
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, left) <= 0) break;
        if (!(p.revents & POLLIN)) break;
    }
    return static_cast<long>(done);
}

int serialBytesWaiting(int fd)
{
    int n = 0;
    if (fd == NO_SERIAL_HANDLE || ::ioctl(fd, FIONREAD, &n) != 0) return -1;
    return n;
}

long serialDiscardInput(int fd)
{
    if (fd == NO_SERIAL_HANDLE) return 0;
    uint8_t scratch[256];
    long total = 0;
    for (;;) {
        ssize_t n = ::read(fd, scratch, sizeof scratch);
        if (n > 0) { total += n; continue; }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    return total;
}

SerialStatus serialSetDtr(int fd, bool on)
{
    if (fd == NO_SERIAL_HANDLE) return SerialStatus::badArgument;
    int bits = TIOCM_DTR;
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return SerialStatus::ok;
    if (errno == ENOTTY || errno == EINVAL || errno == ENOTSUP)
        return SerialStatus::unsupported;
    return SerialStatus::failed;
}

unsigned serialBaud(int fd)
{
    termios t;
    if (fd == NO_SERIAL_HANDLE || ::tcgetattr(fd, &t) != 0) return 0;
    unsigned in = speedRate(::cfgetispeed(&t));
    unsigned out = speedRate(::cfgetospeed(&t));
    return in == out ? out : 0;
}

bool serialIsRaw8N1(int fd)
{
    termios t;
    if (fd == NO_SERIAL_HANDLE || ::tcgetattr(fd, &t) != 0) return false;
    const tcflag_t badInput = IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK;
    const tcflag_t badLocal = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
    return (t.c_iflag & badInput) == 0 && (t.c_oflag & OPOST) == 0 &&
           (t.c_lflag & badLocal) == 0 && (t.c_cflag & CSIZE) == CS8 &&
           (t.c_cflag & (PARENB | CSTOPB)) == 0;
}

int openPseudoTerminal(std::string* slavePath)
{
    int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return NO_SERIAL_HANDLE;
    char name[128];
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
        ::close(fd);
        return NO_SERIAL_HANDLE;
    }
    int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (slavePath) *slavePath = name;
    return fd;
}

int serialWaitReadable(int fd, int timeoutMs)
{
    if (fd == NO_SERIAL_HANDLE) return -1;
    pollfd p{fd, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    if (p.revents & POLLIN) return 1;
    return -1;
}

} // namespace platform
