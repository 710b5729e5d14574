// Simulated time of the virtual board, in picoseconds.
//
// Picoseconds make every clock of this board an exact integer period:
// 8 MHz = 125 000 ps, 4 MHz = 250 000 ps, the watchdog's 1.024 kHz =
// 976 562 500 ps. 2^64 ps is about 213 days of simulated time.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace vboard {

using SimTime = std::uint64_t;

constexpr SimTime kPicosecond = 1;
constexpr SimTime kNanosecond = 1000;
constexpr SimTime kMicrosecond = 1000 * kNanosecond;
constexpr SimTime kMillisecond = 1000 * kMicrosecond;
constexpr SimTime kSecond = 1000 * kMillisecond;
constexpr SimTime kNever = std::numeric_limits<SimTime>::max();

// Period of a clock of `hz` hertz, rounded to the nearest picosecond.
constexpr SimTime period_of(std::uint64_t hz) {
    return hz == 0 ? kNever : (kSecond + hz / 2) / hz;
}

constexpr double to_seconds(SimTime t) {
    return static_cast<double>(t) / static_cast<double>(kSecond);
}
constexpr SimTime from_seconds(double s) {
    return static_cast<SimTime>(s * static_cast<double>(kSecond) + 0.5);
}

// A point on the board's timeline: a simulated time, or an instruction count.
struct TimePoint {
    enum class Kind { Time, Instructions };
    Kind kind = Kind::Time;
    std::uint64_t value = 0;  // picoseconds or instructions
};

// Parses "1.5", "1.5s", "250ms", "40us", "800ns" (simulated time) or
// "123456i" (instructions executed). Returns false on malformed text.
bool parse_time_point(const std::string& text, TimePoint& out);

}  // namespace vboard
