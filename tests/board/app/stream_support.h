// Helpers for tests of the shipped image end to end: Serial1's transmit log
// split by boots, the banner, and the sample frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "models/sercom.h"
#include "models/sercom_usart.h"
#include "src/board.h"

namespace stream_support {

using vboard::SimTime;

constexpr std::size_t kFrameSize = 10;
constexpr std::size_t kHeaderSize = 3;
constexpr std::uint8_t kHeaderByte = 0xFF;
constexpr std::size_t kElapsedByte = 3;
constexpr std::size_t kPayloadOffset = 4;
constexpr SimTime kTickPeriod = 1818500 * vboard::kNanosecond;  // 7274 counts of 4 MHz

inline std::string banner() {
    const std::string stars(60, '*');
    return stars + "\r\n" + "\t\tSensor de impactos\r\n" + "\tHw 1\tFw 1.0 - pruebas\r\n" + stars +
           "\r\n";
}

// A byte on Serial1's line: when its start bit went out.
struct LineByte {
    SimTime start;
    std::uint8_t value;
};

struct Frame {
    SimTime start;  // start bit of its first byte
    std::vector<std::uint8_t> bytes;
    std::uint8_t elapsed() const { return bytes[kElapsedByte]; }
    std::vector<std::uint8_t> payload() const {
        return {bytes.begin() + kPayloadOffset, bytes.end()};
    }
};

inline vboard::SercomUsart& serial1(vboard::Board& board) {
    for (const auto& m : board.models())
        if (auto* s = dynamic_cast<vboard::Sercom*>(m.get()); s && s->index() == 1)
            return s->usart();
    throw std::logic_error("no SERCOM1 on this board");
}

// Everything Serial1 sent from `from` (a reset's time) up to `to`.
inline std::vector<LineByte> line_bytes(vboard::Board& board, SimTime from = 0,
                                        SimTime to = vboard::kNever) {
    std::vector<LineByte> bytes;
    for (const auto& f : serial1(board).transmitted())
        if (f.start >= from && f.start < to)
            bytes.push_back({f.start, static_cast<std::uint8_t>(f.data)});
    return bytes;
}

// The bytes one boot sent: from its reset to the next reset.
inline std::vector<LineByte> boot_bytes(vboard::Board& board, std::size_t boot) {
    const auto& resets = board.resets();
    const SimTime from = resets.at(boot).time;
    const SimTime to = boot + 1 < resets.size() ? resets[boot + 1].time : vboard::kNever;
    return line_bytes(board, from, to);
}

inline std::string text_of(const std::vector<LineByte>& bytes, std::size_t first,
                           std::size_t count) {
    std::string s;
    for (std::size_t i = first; i < first + count && i < bytes.size(); ++i)
        s += static_cast<char>(bytes[i].value);
    return s;
}

// The bytes after the banner cut into frames; a last, incomplete frame is
// left out.
inline std::vector<Frame> frames_after_banner(const std::vector<LineByte>& bytes) {
    std::vector<Frame> frames;
    for (std::size_t i = banner().size(); i + kFrameSize <= bytes.size(); i += kFrameSize) {
        Frame f{bytes[i].start, {}};
        for (std::size_t k = 0; k < kFrameSize; ++k) f.bytes.push_back(bytes[i + k].value);
        frames.push_back(f);
    }
    return frames;
}

inline bool has_header(const Frame& f) {
    for (std::size_t k = 0; k < kHeaderSize; ++k)
        if (f.bytes[k] != kHeaderByte) return false;
    return true;
}

// The first frame that starts at or after `t`.
inline const Frame* frame_from(const std::vector<Frame>& frames, SimTime t) {
    for (const Frame& f : frames)
        if (f.start >= t) return &f;
    return nullptr;
}

}  // namespace stream_support
