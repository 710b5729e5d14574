// Remembers when each chunk of bytes arrived, so that a frame decided later still gets the
// host time of its last byte.
#pragma once

#include <cstdint>
#include <deque>

namespace capture {

class ArrivalTimes {
  public:
    // Bytes up to (not including) stream offset `end` arrived at `host_time_s`.
    void add(std::uint64_t end, double host_time_s);
    // Host time of the byte at `offset`; offsets must not decrease from call to call.
    double at(std::uint64_t offset);
    // Offsets before `offset` will not be asked for any more.
    void forget_before(std::uint64_t offset) { at(offset); }

  private:
    struct Chunk {
        std::uint64_t end;
        double host_time_s;
    };
    std::deque<Chunk> chunks_;
    double last_s_ = 0.0;
};

}  // namespace capture
