// Running figures over the decoded samples.
#pragma once

#include <array>
#include <cstdint>

#include "sample.hpp"

namespace capture {

constexpr std::size_t kElapsedValues = 256;

struct Peak {
    bool valid = false;
    double value = 0.0;       // g; signed for an axis
    std::int16_t counts = 0;  // axis peaks only
    std::uint64_t frame = 0;
    std::uint32_t session = 0;
    std::uint64_t device_time_ms = 0;
    std::uint64_t timeline_ms = 0;
};

class CaptureStats {
  public:
    // `first_of_session`: its elapsed byte counts from a time before the capture saw the device.
    void add(const Sample& s, bool first_of_session);

    std::uint64_t frames() const { return frames_; }
    const std::array<std::uint64_t, kElapsedValues>& elapsed_histogram() const {
        return histogram_;
    }
    // Device time covered by the frame intervals seen, and their number.
    std::uint64_t interval_ms() const { return interval_ms_; }
    std::uint64_t intervals() const { return intervals_; }
    double mean_rate_hz() const;
    const Peak& axis_peak(std::size_t axis) const { return axis_peak_[axis]; }
    const Peak& magnitude_peak() const { return magnitude_peak_; }
    double first_host_time_s() const { return first_host_s_; }
    double last_host_time_s() const { return last_host_s_; }

  private:
    std::uint64_t frames_ = 0;
    std::array<std::uint64_t, kElapsedValues> histogram_{};
    std::uint64_t interval_ms_ = 0;
    std::uint64_t intervals_ = 0;
    std::array<Peak, kAxisCount> axis_peak_{};
    Peak magnitude_peak_;
    double first_host_s_ = 0.0;
    double last_host_s_ = 0.0;
};

}  // namespace capture
