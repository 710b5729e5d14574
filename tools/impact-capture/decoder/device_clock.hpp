// Rebuilds the device's time from the elapsed-time bytes.
#pragma once

#include <cstdint>

namespace capture {

// Each frame carries the milliseconds since the read before it, modulo 256. Their sum is the
// device time since the read before the session's first frame; after a reset that first byte
// counts from the device's start (its previous read time is 0).
class DeviceClock {
  public:
    // Adds a frame's elapsed byte; returns the device time of that frame.
    std::uint64_t advance(std::uint8_t elapsed_ms) {
        time_ms_ += elapsed_ms;
        first_ = false;
        return time_ms_;
    }
    void restart() {
        time_ms_ = 0;
        first_ = true;
    }
    // No frame yet since the start or the last restart.
    bool at_start() const { return first_; }
    std::uint64_t time_ms() const { return time_ms_; }

  private:
    std::uint64_t time_ms_ = 0;
    bool first_ = true;
};

}  // namespace capture
