// The watchdog module on the real image: arming, kicking, the early warning
// and the reset of the whole board on a time-out.
#include "board_fixture.h"
#include "models/mclk.h"
#include "models/nvic.h"
#include "models/wdt.h"

namespace {

using namespace vboard;

constexpr std::uint32_t kWdt = Wdt::kBase;
constexpr std::uint32_t kPeriod2X = 8;
constexpr std::uint8_t kPriorityLevel3 = 0xC0;
constexpr SimTime kTwoSeconds = 2 * kSecond;
// A clear takes effect when it has crossed into the 1.024 kHz domain.
constexpr SimTime kLongestSync = Wdt::kSyncEdges * Wdt::kClockPeriod;

class Watchdog : public FullImageTest {
  protected:
    void SetUp() override {
        boot_to("setup");
        park_main_thread();
    }
    void enable(std::uint32_t code) { call("vardo_wdt_enable(wdt_period)", {code}); }
    // Kicks and returns when the kick was made.
    SimTime kick() {
        call("vardo_wdt_reset");
        return board().now();
    }
    std::uint8_t wdt8(std::uint32_t offset) { return board().read8(kWdt + offset); }
    std::size_t watchdog_resets() {
        std::size_t n = 0;
        for (const ResetRecord& r : board().resets()) n += r.cause == ResetCause::Watchdog;
        return n;
    }
    // Runs until the processor restarts from the reset vector, at most
    // `limit`; returns the time of the watchdog reset, or kNever.
    SimTime run_to_watchdog_reset(SimTime limit) {
        const RunResult r = board().run_until("Reset_Handler", limit);
        if (r.reason != StopReason::Breakpoint || watchdog_resets() == 0) return kNever;
        return board().resets().back().time;
    }
};

TEST_F(Watchdog, EnableSetsPeriodEarlyWarningAndInterrupt) {
    enable(kPeriod2X);
    EXPECT_EQ(wdt8(Wdt::kCTRLA), Wdt::kEnable);
    EXPECT_EQ(wdt8(Wdt::kCONFIG), kPeriod2X) << "PER = 8, WINDOW = 0";
    EXPECT_EQ(wdt8(Wdt::kEWCTRL), kPeriod2X);
    EXPECT_EQ(wdt8(Wdt::kINTENSET), Wdt::kEw);
    EXPECT_TRUE(board().model<Nvic>().enabled(Wdt::kIrqLine));
    EXPECT_EQ(board().model<Nvic>().priority_byte(Wdt::kIrqLine), kPriorityLevel3);
    EXPECT_NE(board().read32(Mclk::kBase + Mclk::kAPBAMASK) & (1u << 7), 0u);
    EXPECT_TRUE(board().model<Wdt>().running());
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

TEST_F(Watchdog, NoKickResetsTheBoardTwoSecondsAfterTheLastOne) {
    enable(kPeriod2X);
    const SimTime last_kick = kick();
    const SimTime reset = run_to_watchdog_reset(3 * kSecond);
    ASSERT_NE(reset, kNever);
    EXPECT_NEAR(double(reset - last_kick), double(kTwoSeconds), 0.01 * double(kTwoSeconds));
    EXPECT_GE(reset - last_kick, kTwoSeconds);
}

TEST_F(Watchdog, TheResetRestartsTheImageFromItsVectorTableKeepingRam) {
    constexpr std::uint32_t kUnusedRam = 0x20003000;  // between the data and the stack
    constexpr std::uint32_t kMarker = 0x5EED1234;
    board().write32(kUnusedRam, kMarker);
    enable(kPeriod2X);
    kick();
    ASSERT_NE(run_to_watchdog_reset(3 * kSecond), kNever);
    EXPECT_EQ(board().pc() & ~1u, address_of("Reset_Handler"));
    EXPECT_EQ(board().read32(kUnusedRam), kMarker);
    EXPECT_FALSE(board().model<Wdt>().running()) << "disarmed until setup arms it again";
    boot_to("setup");
    EXPECT_FALSE(read8("vardo_wdt_flag"));
    EXPECT_EQ(board().report()["resets"].back()["cause"], "watchdog");
}

TEST_F(Watchdog, KicksFasterThanThePeriodKeepTheBoardRunning) {
    enable(kPeriod2X);
    for (int i = 0; i < 6; ++i) {
        kick();
        run_for(1900 * kMillisecond);
    }
    EXPECT_EQ(watchdog_resets(), 0u);
}

TEST_F(Watchdog, KickWhileTheLastClearSynchronisesIsSkippedWithoutShorteningTheTimeout) {
    enable(kPeriod2X);
    const std::uint64_t clears_before = board().model<Wdt>().accepted_clears();
    const SimTime first = kick();
    EXPECT_NE(wdt8(Wdt::kSYNCBUSY) & (1u << Wdt::kSyncClear), 0);
    run_for(kMillisecond);
    kick();  // the first clear is still crossing
    EXPECT_EQ(board().diagnostics().total(), 0u) << "the firmware did not write CLEAR while busy";
    run_for(5 * kMillisecond);
    EXPECT_EQ(board().model<Wdt>().accepted_clears(), clears_before + 1) << "only the first one";
    const SimTime reset = run_to_watchdog_reset(3 * kSecond);
    EXPECT_GE(reset - first, kTwoSeconds);
    EXPECT_LE(reset - first, kTwoSeconds + kLongestSync);
}

TEST_F(Watchdog, AnyKeyOtherThanA5ResetsAtOnce) {
    enable(kPeriod2X);
    kick();
    run_for(10 * kMillisecond);
    const SimTime written = board().now();
    board().write8(kWdt + Wdt::kCLEAR, 0x5A);
    run_for(kMillisecond);
    ASSERT_EQ(watchdog_resets(), 1u);
    EXPECT_LE(board().resets().back().time - written, 10 * kMicrosecond);
}

struct PeriodCase {
    std::uint32_t code;
    std::uint64_t cycles;
};

class WatchdogPeriod : public Watchdog, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(WatchdogPeriod, TimeoutIsEightTimesTwoToTheCodeCycles) {
    enable(GetParam().code);
    const SimTime last_kick = kick();
    const SimTime expected = GetParam().cycles * Wdt::kClockPeriod;
    const SimTime reset = run_to_watchdog_reset(expected + 100 * kMillisecond);
    ASSERT_NE(reset, kNever);
    EXPECT_GE(reset - last_kick, expected);
    EXPECT_LE(reset - last_kick, expected + kLongestSync);
    EXPECT_FALSE(read8("vardo_wdt_flag")) << "the early warning is due with the reset";
}

INSTANTIATE_TEST_SUITE_P(Codes, WatchdogPeriod,
                         ::testing::Values(PeriodCase{0, 8}, PeriodCase{1, 16}, PeriodCase{2, 32},
                                           PeriodCase{3, 64}, PeriodCase{4, 128},
                                           PeriodCase{5, 256}, PeriodCase{6, 512},
                                           PeriodCase{7, 1024}, PeriodCase{8, 2048},
                                           PeriodCase{9, 4096}));

TEST_F(Watchdog, EarlyWarningInterruptSetsTheFlag) {
    constexpr std::uint8_t kEarlyOffset = 5;  // 256 cycles, 250 ms
    enable(kPeriod2X);
    // Re-arm by hand with an early warning ahead of the time-out.
    board().write8(kWdt + Wdt::kCTRLA, 0);
    run_for(5 * kMillisecond);
    board().write8(kWdt + Wdt::kEWCTRL, kEarlyOffset);
    board().write8(kWdt + Wdt::kCTRLA, Wdt::kEnable);
    run_for(200 * kMillisecond);
    EXPECT_FALSE(read8("vardo_wdt_flag"));
    run_for(100 * kMillisecond);
    EXPECT_TRUE(read8("vardo_wdt_flag"));
    EXPECT_EQ(wdt8(Wdt::kINTFLAG), 0u) << "acknowledged by the handler";
    EXPECT_EQ(watchdog_resets(), 0u);
}

class AlwaysOnWatchdog : public Watchdog {
  protected:
    void SetUp() override {
        auto options = testing_support::test_options(image());
        options.wdt_alwayson = true;
        make_board(options);
        boot_to("setup");
        park_main_thread();
    }
};

TEST_F(AlwaysOnWatchdog, EnableChangesNothing) {
    const std::uint8_t config = wdt8(Wdt::kCONFIG), ewctrl = wdt8(Wdt::kEWCTRL);
    enable(kPeriod2X);
    EXPECT_EQ(wdt8(Wdt::kCONFIG), config);
    EXPECT_EQ(wdt8(Wdt::kEWCTRL), ewctrl);
    EXPECT_EQ(wdt8(Wdt::kINTENSET), 0u);
    EXPECT_FALSE(board().model<Nvic>().enabled(Wdt::kIrqLine));
    EXPECT_EQ(board().diagnostics().total(), 0u) << "no write reached the locked registers";
    EXPECT_TRUE(board().model<Wdt>().always_on());
}

TEST_F(AlwaysOnWatchdog, RunsWithTheUserRowPeriodFromReset) {
    const SimTime period = Wdt::cycles_of(Wdt::kConfigReset & Wdt::kPerMask) * Wdt::kClockPeriod;
    const SimTime reset = run_to_watchdog_reset(period + kSecond);
    ASSERT_NE(reset, kNever);
    EXPECT_NEAR(double(reset), double(period), double(kLongestSync));
    boot_to("setup");
    EXPECT_TRUE(board().model<Wdt>().always_on()) << "locked on again after the reset";
}

}  // namespace
