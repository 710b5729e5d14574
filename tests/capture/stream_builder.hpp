// Builds synthetic device streams and remembers where the true frames are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame.hpp"

namespace capture::test {

struct TrueFrame {
    std::uint64_t offset;
    std::uint8_t elapsed_ms;
    AxisCounts counts;
};

// The four banner lines the device prints after every reset.
std::string banner_text();

class StreamBuilder {
  public:
    // The next frame, its elapsed byte from a device clock reading once per tick.
    StreamBuilder& frame(AxisCounts counts);
    // `n` frames with counts from `make(k)`.
    StreamBuilder& frames(std::size_t n, const std::function<AxisCounts(std::size_t)>& make);
    StreamBuilder& frame_with_elapsed(std::uint8_t elapsed_ms, AxisCounts counts);
    // The first `keep` bytes of a frame, cut off (not a true frame).
    StreamBuilder& truncated(AxisCounts counts, std::size_t keep);
    StreamBuilder& bytes(const std::vector<std::uint8_t>& b);
    // A device reset: the banner; the first read comes `boot_ms` after the device's start.
    StreamBuilder& reset(std::uint32_t boot_ms);
    // Overwrites byte `at` of the latest frame, which is then no longer a true frame.
    StreamBuilder& corrupt_last(std::size_t at, std::uint8_t value);
    // Drops the first `n` bytes, as a capture that starts in the middle of the stream.
    StreamBuilder& drop_front(std::size_t n);

    const std::vector<std::uint8_t>& data() const { return data_; }
    const std::vector<TrueFrame>& truth() const { return truth_; }

  private:
    std::uint8_t next_elapsed();
    void put_frame(std::uint8_t elapsed, AxisCounts counts, std::size_t keep);

    std::vector<std::uint8_t> data_;
    std::vector<TrueFrame> truth_;
    double tick_ms_ = 0.0;  // time of the next tick since the device's start
    std::uint64_t last_read_ms_ = 0;
};

}  // namespace capture::test
