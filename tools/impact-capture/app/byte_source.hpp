// Where the bytes come from: a serial device, a capture file or standard input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "options.hpp"

namespace capture {

struct ReadResult {
    enum class Status { kData, kTimeout, kEnd, kLost };
    Status status;
    std::size_t size = 0;
    int error = 0;  // for kLost
};

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Waits at most `timeout_ms` for bytes.
    virtual ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeout_ms) = 0;
    virtual bool is_device() const = 0;
    virtual const std::string& name() const = 0;
    // Baud rate the driver reports, for a device; 0 otherwise.
    virtual unsigned baud() const { return 0; }
};

// Opens what the options name; throws CaptureError.
std::unique_ptr<ByteSource> open_source(const Options& options);

}  // namespace capture
