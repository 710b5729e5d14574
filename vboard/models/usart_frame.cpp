#include "usart_frame.h"

namespace vboard::usart {

namespace {
constexpr unsigned kStartBits = 1;
constexpr unsigned kDefaultDataBits = 8;
constexpr unsigned kNineDataBits = 9;
constexpr std::uint32_t kChsize9 = 1;
constexpr std::uint32_t kChsizeSmallest = 5;
}  // namespace

std::optional<unsigned> samples_per_bit(std::uint32_t sampr) {
    switch (sampr) {
        case kSampr16Arithmetic:
        case kSampr16Fractional:
            return 16;
        case kSampr8Arithmetic:
        case kSampr8Fractional:
            return 8;
        case kSampr3Arithmetic:
            return 3;
        default:
            return std::nullopt;
    }
}

bool is_fractional(std::uint32_t sampr) {
    return sampr == kSampr16Fractional || sampr == kSampr8Fractional;
}

SimTime bit_time(std::uint32_t ctrla, std::uint16_t baud, std::uint32_t core_clock_hz) {
    const std::uint32_t sampr = (ctrla & kSamprMask) >> kSamprPos;
    const std::optional<unsigned> samples = samples_per_bit(sampr);
    if (!samples || core_clock_hz == 0) return kNever;
    // Both forms as a ratio of integers, in picoseconds (the numerators stay
    // below 2^61):
    //   fractional: S * (8 * BAUD + FP) / (8 * f_ref)
    //   arithmetic: S * 65536 / (f_ref * (65536 - BAUD))
    std::uint64_t numerator = 0, denominator = 0;
    if (is_fractional(sampr)) {
        const std::uint32_t eighths =
            kFractionSteps * (baud & kFracBaudMask) + (baud >> kFracFpPos);
        numerator = static_cast<std::uint64_t>(*samples) * eighths * kSecond;
        denominator = static_cast<std::uint64_t>(kFractionSteps) * core_clock_hz;
    } else {
        numerator = static_cast<std::uint64_t>(*samples) * kArithmeticScale * kSecond;
        denominator = static_cast<std::uint64_t>(core_clock_hz) * (kArithmeticScale - baud);
    }
    if (numerator == 0) return kNever;
    return static_cast<SimTime>((numerator + denominator / 2) / denominator);
}

std::optional<unsigned> data_bits(std::uint32_t ctrlb) {
    const std::uint32_t chsize = ctrlb & kChsizeMask;
    if (chsize == 0) return kDefaultDataBits;
    if (chsize == kChsize9) return kNineDataBits;
    if (chsize >= kChsizeSmallest) return chsize;
    return std::nullopt;
}

unsigned frame_bits(std::uint32_t ctrla, std::uint32_t ctrlb) {
    const std::uint32_t form = (ctrla & kFormMask) >> kFormPos;
    const bool parity = form == kFormParity || form == kFormAutoBaudParity;
    const unsigned stop = (ctrlb & kSbmode) ? 2 : 1;
    return kStartBits + data_bits(ctrlb).value_or(kDefaultDataBits) + (parity ? 1 : 0) + stop;
}

}  // namespace vboard::usart
