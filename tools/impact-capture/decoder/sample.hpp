// What the decoder hands on: samples, device resets and threshold events.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "frame.hpp"

namespace capture {

struct Sample {
    std::uint64_t index = 0;           // frame number in the capture, from 0
    std::uint32_t session = 0;         // device resets seen before this frame
    std::uint64_t device_time_ms = 0;  // sum of the elapsed bytes since the session began
    std::uint64_t timeline_ms = 0;     // device time carried on across resets
    std::uint8_t elapsed_ms = 0;
    AxisCounts counts{};
    double host_time_s = 0.0;  // when the host received the frame's last byte
    std::uint64_t offset = 0;  // stream offset of the frame
};

inline double magnitude_g(const AxisCounts& c) {
    const double x = c[0], y = c[1], z = c[2];
    return std::sqrt(x * x + y * y + z * z) * kGPerCount;
}

struct ResetEvent {
    std::uint32_t session = 0;      // the session the reset begins
    std::uint64_t offset = 0;       // stream offset of the first text line
    std::uint64_t next_frame = 0;   // index of the first frame after it
    std::uint64_t timeline_ms = 0;  // device time of the last frame before it
    double host_time_s = 0.0;       // when its first line was complete
    std::string text;               // its lines, each ended by '\n'
};

// A stretch of samples whose magnitude exceeds the threshold.
struct ThresholdEvent {
    std::uint64_t first_frame = 0;
    std::uint64_t frames = 0;  // samples above the threshold
    std::uint32_t session = 0;
    std::uint64_t start_device_time_ms = 0;
    std::uint64_t start_timeline_ms = 0;
    // From the first sample above to the first one back at or below the threshold; to the last
    // one above when a reset or the end of the capture cuts the event short.
    std::uint64_t duration_ms = 0;
    double peak_g = 0.0;
    std::uint64_t peak_frame = 0;
    std::uint64_t peak_device_time_ms = 0;
    std::uint64_t peak_timeline_ms = 0;
};

}  // namespace capture
