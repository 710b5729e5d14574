// Opens a serial device (or pty) raw, 8N1, at any baud rate.
#pragma once

#include <string>

namespace capture {

struct SerialPort {
    int fd = -1;
    unsigned actual_baud = 0;  // as the driver reports it back; 0 when it tells nothing
};

// Throws CaptureError with a plain message on failure.
SerialPort open_serial(const std::string& path, unsigned baud);
// The same for a terminal already opened read-write; closes `fd` on failure.
SerialPort configure_serial(int fd, const std::string& path, unsigned baud);

}  // namespace capture
