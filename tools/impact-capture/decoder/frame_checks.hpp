// Tests that decide whether bytes of the stream can be a sample frame.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame.hpp"

namespace capture {

// Full resolution at +-16 g gives 13-bit values sign-extended to 16 bits, so a high byte is
// either 0x00-0x0F or 0xF0-0xFF.
constexpr std::uint8_t kPositiveHighMax = 0x0F;
constexpr std::uint8_t kNegativeHighMin = 0xF0;

// One read per tick gives an elapsed byte of 1 or 2; a read retried right after failed
// attempts may give 0, a slow bus a few more. Larger values are not believed while hunting.
constexpr std::uint8_t kMaxPlausibleElapsedMs = 16;

constexpr bool axis_high_in_range(std::uint8_t high) {
    return high <= kPositiveHighMax || high >= kNegativeHighMin;
}

inline bool header_at(const std::uint8_t* p) {
    return p[0] == kHeaderByte && p[1] == kHeaderByte && p[2] == kHeaderByte;
}

inline bool axis_highs_in_range(const std::uint8_t* frame) {
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        if (!axis_high_in_range(frame[kFirstAxisOffset + a * kAxisBytes])) return false;
    }
    return true;
}

// A frame at a position the lock expects. The elapsed byte may be anything but 0xFF: in a run
// of more than three 0xFF the header is the last three. Right after a banner the elapsed byte
// counts from the device's start and may be anything.
inline bool frame_fits_lock(const std::uint8_t* frame, bool after_text) {
    if (!header_at(frame)) return false;
    if (!after_text && frame[kElapsedOffset] == kHeaderByte) return false;
    return axis_highs_in_range(frame);
}

// A frame proposed while hunting: stricter, the elapsed byte must be small.
inline bool frame_is_candidate(const std::uint8_t* frame, bool after_text) {
    if (!header_at(frame)) return false;
    if (!after_text && frame[kElapsedOffset] > kMaxPlausibleElapsedMs) return false;
    return axis_highs_in_range(frame);
}

// The start of the frame that follows a good one: a header that is the last three 0xFF.
inline bool next_header_at(const std::uint8_t* p) {
    return header_at(p) && p[kElapsedOffset] != kHeaderByte;
}

}  // namespace capture
