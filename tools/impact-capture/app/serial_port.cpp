// termios2 and BOTHER come from the kernel's headers, which clash with <termios.h>; this file
// therefore uses only the kernel's definitions.
#include "serial_port.hpp"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "capture_error.hpp"

namespace capture {

namespace {

[[noreturn]] void fail(const std::string& path, int err, int fd) {
    if (fd >= 0) ::close(fd);
    if (err == ENOTTY || err == EINVAL) {
        throw CaptureError(path + ": not a serial device (use --input for a capture file)");
    }
    std::string m = describe_errno(path, err);
    if (err == EACCES) m += " (is your user in the device's group, usually 'dialout'?)";
    throw CaptureError(m);
}

// Raw bytes: no line discipline, no translation, no flow control, 8 data bits, no parity,
// 1 stop bit, receiver on, modem lines ignored.
void make_raw(termios2& t, unsigned baud) {
    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

}  // namespace

SerialPort open_serial(const std::string& path, unsigned baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fail(path, errno, -1);
    return configure_serial(fd, path, baud);
}

SerialPort configure_serial(int fd, const std::string& path, unsigned baud) {
    if (!::isatty(fd)) fail(path, ENOTTY, fd);
    // Other programs (not root) cannot open the port while the capture runs.
    if (::ioctl(fd, TIOCEXCL) != 0) fail(path, errno, fd);

    termios2 t{};
    if (::ioctl(fd, TCGETS2, &t) != 0) fail(path, errno, fd);
    make_raw(t, baud);
    if (::ioctl(fd, TCSETS2, &t) != 0) fail(path, errno, fd);
    // Bytes that waited in the driver from before the capture are not part of it.
    ::ioctl(fd, TCFLSH, TCIFLUSH);

    SerialPort p;
    p.fd = fd;
    termios2 back{};
    if (::ioctl(fd, TCGETS2, &back) == 0) p.actual_baud = back.c_ispeed;
    return p;
}

}  // namespace capture
