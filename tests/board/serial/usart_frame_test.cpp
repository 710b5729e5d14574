// The USART model's bit rate from BAUD, SAMPR and the core clock, and its
// frame length; the wall-clock pacing of --realtime.
#include "models/usart_frame.h"

#include <gtest/gtest.h>

#include <chrono>

#include "src/wall_clock_pacer.h"

namespace {

using vboard::kNanosecond;
using vboard::kNever;
using vboard::SimTime;

constexpr std::uint32_t kSamprPos = 13;
constexpr std::uint32_t k8MHz = 8000000;

struct BitTimeCase {
    const char* name;
    std::uint32_t sampr;
    std::uint16_t baud;
    std::uint32_t clock_hz;
    SimTime expected;
};

class BitTime : public ::testing::TestWithParam<BitTimeCase> {};

TEST_P(BitTime, FollowsTheBaudFormulaOfTheSamplingMode) {
    const BitTimeCase& c = GetParam();
    EXPECT_EQ(vboard::usart::bit_time(c.sampr << kSamprPos, c.baud, c.clock_hz), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BitTime,
    ::testing::Values(
        // 16 x (4 + 2/8) / 8 MHz = 8.5 us: 117 647 baud.
        BitTimeCase{"Fractional16", 1, 0x4004, k8MHz, 8500 * kNanosecond},
        // 8 x (8 + 5/8) / 8 MHz = 8.625 us.
        BitTimeCase{"Fractional8", 3, 0xA008, k8MHz, 8625 * kNanosecond},
        // The same setting at 4 MHz takes twice as long.
        BitTimeCase{"FollowsTheCoreClock", 1, 0x4004, 4000000, 17000 * kNanosecond},
        // 16 x 65536 / (8 MHz x (65536 - 50437)) = 8.6808 us.
        BitTimeCase{"Arithmetic16", 0, 50437, k8MHz, 8680840},
        // 3 x 65536 / (8 MHz x 65536) = 375 ns.
        BitTimeCase{"Arithmetic3AtBaud0", 4, 0, k8MHz, 375 * kNanosecond},
        BitTimeCase{"NoCoreClock", 1, 0x4004, 0, kNever},
        BitTimeCase{"ReservedSampr", 5, 0x4004, k8MHz, kNever},
        BitTimeCase{"FractionalZeroDivisor", 1, 0, k8MHz, kNever}),
    [](const ::testing::TestParamInfo<BitTimeCase>& info) { return std::string(info.param.name); });

struct FrameCase {
    std::uint32_t ctrla;
    std::uint32_t ctrlb;
    unsigned bits;
};

class FrameBits : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBits, CountStartDataParityAndStopBits) {
    EXPECT_EQ(vboard::usart::frame_bits(GetParam().ctrla, GetParam().ctrlb), GetParam().bits);
}

constexpr std::uint32_t kParity = 1u << 24, kTwoStop = 1u << 6;
INSTANTIATE_TEST_SUITE_P(Formats, FrameBits,
                         ::testing::Values(FrameCase{0, 0, 10}, FrameCase{kParity, 0, 11},
                                           FrameCase{0, kTwoStop, 11},
                                           FrameCase{0, 1, 11} /* 9 data bits */,
                                           FrameCase{0, 5, 7},
                                           FrameCase{kParity, kTwoStop | 7, 11}));

TEST(WallClockPacer, SimulatedTimeDoesNotRunAheadOfWallTime) {
    vboard::WallClockPacer pacer;
    const auto start = std::chrono::steady_clock::now();
    pacer.pace(0);
    pacer.pace(30 * vboard::kMillisecond);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

}  // namespace
