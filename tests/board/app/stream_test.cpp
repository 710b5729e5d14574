// The sample stream of the shipped image, end to end: one frame per tick,
// the elapsed-milliseconds byte, the payload, and the cost of a frame.
#include <cstdio>
#include <fstream>

#include "board_fixture.h"
#include "models/i2c_bus.h"
#include "stream_support.h"

namespace {

using namespace vboard;
using namespace stream_support;

class SampleStream : public BoardTest {
  protected:
    std::vector<Frame> frames() { return frames_after_banner(boot_bytes(board(), 0)); }
    // Runs to the next read attempt's millis call and makes it return `count`.
    SimTime at_next_attempt(std::uint32_t count) {
        const RunResult r = board().run_until("millis", 100 * kMillisecond);
        EXPECT_EQ(r.reason, StopReason::Breakpoint) << r.message;
        board().write32(address_of("_ulTickCount"), count);
        return board().now();
    }
};

TEST_F(SampleStream, TenSecondsGiveOneFramePerTick) {
    run_for(200 * kMillisecond);
    const SimTime first = frames().at(0).start;
    run_for(first + 10 * kSecond + 10 * kMillisecond - board().now());
    std::size_t count = 0;
    SimTime longest_gap = 0;
    const std::vector<Frame> all = frames();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].start >= first + 10 * kSecond) break;
        ++count;
        if (i > 0) longest_gap = std::max(longest_gap, all[i].start - all[i - 1].start);
    }
    EXPECT_NEAR(double(count), 5499.0, 1.0);
    EXPECT_LT(longest_gap, kTickPeriod + kTickPeriod / 2) << "a tick without a frame";
}

TEST_F(SampleStream, FirstFrameCountsFromZero) {
    boot_to("loop");
    const SimTime attempt = at_next_attempt(0x12345);
    run_for(5 * kMillisecond);
    const std::vector<Frame> all = frames();
    ASSERT_FALSE(all.empty());
    EXPECT_GE(all[0].start, attempt);
    EXPECT_EQ(all[0].elapsed(), 0x45) << "millis at the first read, low byte";
}

struct ElapsedCase {
    std::uint32_t previous;  // millis at one read attempt
    std::uint32_t next;      // millis at the next one
    std::uint8_t expected;
};

class ElapsedByte : public SampleStream, public ::testing::WithParamInterface<ElapsedCase> {};

TEST_P(ElapsedByte, IsTheDifferenceModulo256) {
    boot_to("loop");
    run_for(20 * kMillisecond);
    at_next_attempt(GetParam().previous);
    const SimTime attempt = at_next_attempt(GetParam().next);
    run_for(5 * kMillisecond);
    const std::vector<Frame> all = frames();
    const Frame* f = frame_from(all, attempt);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->elapsed(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ElapsedByte,
                         ::testing::Values(ElapsedCase{1000, 1300, 44},       // 300 ms
                                           ElapsedCase{0xFFFFFFFE, 1, 3},     // across the wrap
                                           ElapsedCase{0xFFFFFFFF, 0, 1},     // the wrap itself
                                           ElapsedCase{0xFFFFFF80, 0x81, 1},  // wrap, 257 ms
                                           ElapsedCase{5000, 5000, 0},        // same millisecond
                                           ElapsedCase{0x7FFFFFFF, 0x80000001, 2}));

TEST_F(SampleStream, AfterFailedReadsTheElapsedTimeCountsFromTheLastAttempt) {
    constexpr SimTime kOutageStart = 300 * kMillisecond, kOutageEnd = 400 * kMillisecond;
    auto options = testing_support::test_options();
    options.faults.push_back(parse_fault("sensor-absent@300ms..400ms"));
    make_board(options);
    run_for(450 * kMillisecond);
    const std::vector<Frame> all = frames();
    const Frame* after = frame_from(all, kOutageStart);
    ASSERT_NE(after, nullptr);
    EXPECT_GE(after->start, kOutageEnd) << "no frame while the sensor is away";
    EXPECT_LE(after->elapsed(), 1)
        << "measured from the last failed attempt, not from the last frame";
    std::size_t refused = 0;
    for (const I2cTransfer& t : board().model<I2cBus>().log())
        if (t.start >= kOutageStart && t.start < kOutageEnd && !t.address_ack) ++refused;
    EXPECT_GT(refused, 100u) << "read attempts go on while the sensor is away";
}

TEST_F(SampleStream, PayloadIsTheSampleHighByteFirstWithFFBytesAsTheyAre) {
    // X = -1 count (0xFFFF), Y = +1 g (256 = 0x0100), Z = -0.5 g (-128 = 0xFF80).
    const std::string csv = testing::TempDir() + "stream_payload.csv";
    std::ofstream(csv) << "t,x,y,z\n0,-0.00390625,1.0,-0.5\n";
    auto options = testing_support::test_options();
    options.sensor = csv;
    make_board(options);
    run_for(300 * kMillisecond);
    const std::vector<Frame> all = frames();
    ASSERT_GT(all.size(), 50u);
    const std::vector<std::uint8_t> expected = {0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x80};
    // The sensor's first output period may still show its power-up zeros.
    for (std::size_t i = 2; i < all.size(); ++i)
        ASSERT_EQ(all[i].payload(), expected) << "frame " << i;
}

TEST_F(SampleStream, TicksDuringOneReadAndSendGiveOneFrame) {
    constexpr SimTime kStall = 500 * kMillisecond, kRelease = 506 * kMillisecond;
    constexpr SimTime kWindowStart = 480 * kMillisecond, kWindowEnd = 530 * kMillisecond;
    auto options = testing_support::test_options();
    options.faults.push_back(parse_fault("scl-low@500ms..506ms"));
    make_board(options);
    run_for(kWindowStart);
    std::vector<SimTime> ticks;
    while (board().now() < kWindowEnd) {
        const RunResult r = board().run_until("TC0_Handler", kWindowEnd - board().now());
        if (r.reason != StopReason::Breakpoint) break;
        ticks.push_back(board().now());
    }
    std::vector<Frame> window;
    for (const Frame& f : frames())
        if (f.start >= kWindowStart && f.start < kWindowEnd) window.push_back(f);
    ASSERT_GT(window.size(), 10u);
    std::size_t most_ticks_between = 0;
    for (std::size_t i = 1; i < window.size(); ++i) {
        std::size_t between = 0;
        for (SimTime t : ticks) between += t > window[i - 1].start && t < window[i].start;
        EXPECT_GE(between, 1u) << "a frame without a tick of its own at "
                               << to_seconds(window[i].start) << " s";
        most_ticks_between = std::max(most_ticks_between, between);
    }
    EXPECT_GE(most_ticks_between, 3u) << "the stalled read spanned several ticks";
    const Frame* resumed = frame_from(window, kStall);
    ASSERT_NE(resumed, nullptr);
    EXPECT_GE(resumed->start, kRelease);
}

// The cost of one frame, from the tick to the last byte queued, against the
// tick period. Figures for the release notes are printed.
TEST_F(SampleStream, OneFrameFitsInATick) {
    boot_to("loop");
    run_for(50 * kMillisecond);
    constexpr int kFramesMeasured = 20;
    std::uint64_t most_instructions = 0;
    SimTime most_time = 0, bus_time = 0;
    for (int n = 0; n < kFramesMeasured; ++n) {
        ASSERT_EQ(board().run_until("TC0_Handler", kSecond).reason, StopReason::Breakpoint);
        const std::uint64_t i0 = board().instructions();
        const SimTime t0 = board().now();
        for (std::size_t k = 0; k < kFrameSize; ++k)
            ASSERT_EQ(board().run_until("Uart::write(unsigned char)", kSecond).reason,
                      StopReason::Breakpoint);
        const std::uint32_t return_address = board().cpu().reg(UC_ARM_REG_LR);
        ASSERT_EQ(board().run_until(return_address, kSecond).reason, StopReason::Breakpoint);
        most_instructions = std::max(most_instructions, board().instructions() - i0);
        most_time = std::max(most_time, board().now() - t0);
        SimTime first_start = kNever, last_end = 0;
        for (const I2cTransfer& t : board().model<I2cBus>().log()) {
            if (t.start < t0 || t.end > board().now()) continue;
            first_start = std::min(first_start, t.start);
            last_end = std::max(last_end, t.end);
        }
        ASSERT_NE(first_start, kNever) << "no bus transfer for this frame";
        bus_time = std::max(bus_time, last_end - first_start);
    }
    const SimTime line_time = kFrameSize * serial1(board()).frame_time();
    std::printf(
        "per frame (worst of %d): %llu instructions, %.1f us from the tick to the last byte "
        "queued; "
        "bus %.1f us; line %.1f us; tick period %.1f us\n",
        kFramesMeasured, static_cast<unsigned long long>(most_instructions),
        to_seconds(most_time) * 1e6, to_seconds(bus_time) * 1e6, to_seconds(line_time) * 1e6,
        to_seconds(kTickPeriod) * 1e6);
    EXPECT_LT(most_time, kTickPeriod);
    EXPECT_LT(line_time, kTickPeriod);
}

}  // namespace
