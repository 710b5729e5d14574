// Layout of one sample frame and the conversion of its fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace capture {

// Three header bytes 0xFF, the elapsed-time byte, then X, Y and Z big-endian.
constexpr std::size_t kFrameSize = 10;
constexpr std::size_t kHeaderSize = 3;
constexpr std::uint8_t kHeaderByte = 0xFF;
constexpr std::size_t kElapsedOffset = 3;
constexpr std::size_t kFirstAxisOffset = 4;
constexpr std::size_t kAxisCount = 3;
constexpr std::size_t kAxisBytes = 2;

// ADXL345 full resolution: 3.9 mg per count, typical; 39 units of 0.1 mg.
constexpr double kGPerCount = 0.0039;
constexpr int kTenthMgPerCount = 39;
constexpr double kTenthMgPerG = 10000.0;

// The tick timer counts 7274 periods of a 4 MHz clock: 1.8185 ms, 549.9 ticks per second.
constexpr double kTickPeriodMs = 1.8185;

using AxisCounts = std::array<std::int16_t, kAxisCount>;

// A frame as it was found in the byte stream.
struct RawFrame {
    std::uint64_t offset = 0;  // stream offset of the first header byte
    std::uint8_t elapsed_ms = 0;
    AxisCounts counts{};
};

inline std::int16_t big_endian_axis(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
}

inline RawFrame parse_frame(const std::uint8_t* p, std::uint64_t offset) {
    RawFrame f;
    f.offset = offset;
    f.elapsed_ms = p[kElapsedOffset];
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        f.counts[a] = big_endian_axis(p + kFirstAxisOffset + a * kAxisBytes);
    }
    return f;
}

constexpr double counts_to_g(std::int16_t counts) {
    return counts * kGPerCount;
}

}  // namespace capture
