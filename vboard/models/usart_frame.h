// The USART's frame and bit timing, from CTRLA, CTRLB, BAUD and the module's
// core clock, as the data sheet's baud-rate table gives them.
//
// Arithmetic mode (SAMPR 0, 2, 4): f_baud = f_ref / S * (1 - BAUD / 65536).
// Fractional mode (SAMPR 1, 3):    f_baud = f_ref / (S * (BAUD + FP / 8)),
// with BAUD the low 13 bits and FP bits 13-15. S is 16, 8 or 3 samples per
// bit. A frame is the start bit, 5 to 9 data bits, the parity bit when FORM
// asks for one, and 1 or 2 stop bits.
#pragma once

#include <cstdint>
#include <optional>

#include "../src/sim_time.h"

namespace vboard::usart {

// CTRLA
constexpr std::uint32_t kSamprPos = 13, kSamprMask = 7u << kSamprPos;
constexpr std::uint32_t kFormPos = 24, kFormMask = 0xFu << kFormPos;
enum Sampr : std::uint32_t {
    kSampr16Arithmetic = 0,
    kSampr16Fractional = 1,
    kSampr8Arithmetic = 2,
    kSampr8Fractional = 3,
    kSampr3Arithmetic = 4,
};
enum Form : std::uint32_t {
    kFormPlain = 0,
    kFormParity = 1,
    kFormAutoBaud = 4,
    kFormAutoBaudParity = 5
};
// CTRLB
constexpr std::uint32_t kChsizeMask = 0x7, kSbmode = 1u << 6;
// BAUD, fractional view
constexpr std::uint32_t kFracBaudMask = 0x1FFF, kFracFpPos = 13;
constexpr std::uint32_t kFractionSteps = 8;
constexpr std::uint32_t kArithmeticScale = 65536;

// Samples per bit for SAMPR, or nullopt for a reserved code.
std::optional<unsigned> samples_per_bit(std::uint32_t sampr);
bool is_fractional(std::uint32_t sampr);

// Duration of one bit, or kNever when the module has no clock, the SAMPR
// code is reserved, or the divisor is zero.
SimTime bit_time(std::uint32_t ctrla, std::uint16_t baud, std::uint32_t core_clock_hz);

// Data bits for CHSIZE (0 = 8, 1 = 9, 5..7), or nullopt for a reserved code.
std::optional<unsigned> data_bits(std::uint32_t ctrlb);
// Bits in a frame: start, data, parity, stop (reserved CHSIZE counts as 8).
unsigned frame_bits(std::uint32_t ctrla, std::uint32_t ctrlb);

}  // namespace vboard::usart
