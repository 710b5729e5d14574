// The shipped image when the accelerometer or its bus fails: a sensor that
// never answers leaves the line silent without a reset; a bus that hangs
// ends in a watchdog reset, a new banner, and the stream again.
#include "board_fixture.h"
#include "models/wdt.h"
#include "stream_support.h"

namespace {

using namespace vboard;
using namespace stream_support;

class Recovery : public BoardTest {
  protected:
    void make_board_with_fault(const std::string& fault) {
        auto options = testing_support::test_options();
        options.faults.push_back(parse_fault(fault));
        make_board(options);
    }
};

TEST_F(Recovery, AbsentSensorLeavesOnlyTheBannerAndNoReset) {
    make_board_with_fault("sensor-absent");
    run_for(10 * kSecond);
    const std::vector<LineByte> bytes = line_bytes(board());
    EXPECT_EQ(text_of(bytes, 0, bytes.size()), banner());
    EXPECT_EQ(board().resets().size(), 1u);
    EXPECT_TRUE(board().model<Wdt>().running()) << "kicked on every pass";
}

TEST_F(Recovery, HungBusEndsInAWatchdogResetAndTheStreamResumes) {
    constexpr SimTime kHang = 3 * kSecond, kRelease = 5500 * kMillisecond;
    make_board_with_fault("scl-low@3s..5500ms");
    ASSERT_EQ(board().run_until("Reset_Handler", 6 * kSecond).reason, StopReason::Breakpoint);
    ASSERT_EQ(board().resets().size(), 2u);
    const ResetRecord& reset = board().resets().back();
    EXPECT_EQ(reset.cause, ResetCause::Watchdog);
    const SimTime last_kick = board().model<Wdt>().last_clear_written();
    EXPECT_LT(last_kick, kHang + kMillisecond);
    EXPECT_GE(reset.time - last_kick, 2 * kSecond);
    EXPECT_LE(reset.time - last_kick, 2 * kSecond + 2 * kSecond / 100);

    run_for(kRelease + kSecond - board().now());
    const std::vector<LineByte> before = boot_bytes(board(), 0);
    const std::vector<Frame> old_frames = frames_after_banner(before);
    ASSERT_FALSE(old_frames.empty());
    EXPECT_LT(old_frames.back().start, kHang) << "nothing sent while the bus hangs";
    const std::vector<LineByte> after = boot_bytes(board(), 1);
    EXPECT_EQ(text_of(after, 0, banner().size()), banner())
        << "the banner first, after every reset";
    const std::vector<Frame> frames = frames_after_banner(after);
    ASSERT_GT(frames.size(), 100u);
    EXPECT_GE(frames.front().start, kRelease);
    for (const Frame& f : frames) ASSERT_TRUE(has_header(f));
    EXPECT_EQ(board().resets().size(), 2u) << "no reset once the bus is back";
}

}  // namespace
