// The sample tick timer: TC0 set up by setup_timerTC0/start_timerTC0 on the
// real image, and the tick its interrupt leaves in ctick.
#include "board_fixture.h"
#include "models/nvic.h"
#include "models/tc.h"

namespace {

using namespace vboard;

constexpr std::uint32_t kTc0 = Tc::kTc0.base;
constexpr unsigned kTc0Line = Tc::kTc0.irq_line;
constexpr std::uint8_t kPriorityLevel1 = 0x40;
constexpr SimTime kTickPeriod = 1818500 * kNanosecond;  // 7274 counts of 4 MHz
// Interrupt entry waits for the end of the block being executed.
constexpr SimTime kEntryJitter = 2 * kMicrosecond;

class TickTimer : public FullImageTest {
  protected:
    void SetUp() override {
        boot_to("setup");
        park_main_thread();
    }
    Tc& tc0() { return board().model<Tc>(); }
    void setup_timer(std::uint32_t prescaler, std::uint32_t cc) {
        call("setup_timerTC0", {prescaler, cc});
    }
    void start_timer() { call("start_timerTC0"); }
    // Time at which the next tick's handler is entered.
    SimTime next_handler_entry(SimTime limit = 100 * kMillisecond) {
        const RunResult r = board().run_until("TC0_Handler", limit);
        EXPECT_EQ(r.reason, StopReason::Breakpoint) << "no tick: " << r.message;
        return board().now();
    }
    SimTime measured_period() {
        const SimTime first = next_handler_entry();
        return next_handler_entry() - first;
    }
};

TEST_F(TickTimer, SetupValuesTickEvery1_8185MsAtPriority1) {
    setup_timer(2, 7273);
    start_timer();
    EXPECT_EQ(tc0().counter_hz(), 4000000u);
    EXPECT_EQ(board().model<Nvic>().priority_byte(kTc0Line), kPriorityLevel1);
    EXPECT_TRUE(board().model<Nvic>().enabled(kTc0Line));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(double(measured_period()), double(kTickPeriod), double(kEntryJitter));
}

TEST_F(TickTimer, TickRateOverTenSecondsIs549_9PerSecond) {
    setup_timer(2, 7273);
    start_timer();
    board().watch("TC0_Handler");
    run_for(10 * kSecond);
    EXPECT_NEAR(double(board().hits("TC0_Handler")), 5499.0, 1.0);
}

TEST_F(TickTimer, HandlerSetsTheTickFlagAndAcknowledgesTheMatch) {
    setup_timer(2, 7273);
    board().write8(address_of("ctick"), 0);
    start_timer();
    next_handler_entry();
    EXPECT_EQ(read8("ctick"), 0u);
    run_for(100 * kMicrosecond);
    EXPECT_EQ(read8("ctick"), 1u);
    EXPECT_EQ(board().read8(kTc0 + Tc::kINTFLAG), 0u) << "MC0 (and OVF with it) cleared";
    EXPECT_FALSE(board().exceptions().pending(exception::kFirstIrq + kTc0Line));
}

struct PrescalerCase {
    std::uint32_t prescaler;
    std::uint32_t field;  // CTRLA.PRESCALER
    std::uint32_t cc;
};

class TickPrescaler : public TickTimer, public ::testing::WithParamInterface<PrescalerCase> {};

TEST_P(TickPrescaler, DividesGenerator0AsTheTableSays) {
    const PrescalerCase& c = GetParam();
    setup_timer(c.prescaler, c.cc);
    start_timer();
    const std::uint32_t divider = Tc::kDividers[c.field];
    EXPECT_EQ((board().read32(kTc0 + Tc::kCTRLA) & Tc::kPrescalerMask) >> Tc::kPrescalerPos,
              c.field);
    EXPECT_EQ(tc0().counter_hz(), 8000000u / divider);
    const SimTime expected = SimTime{c.cc + 1} * divider * period_of(8000000);
    EXPECT_NEAR(double(measured_period()), double(expected), double(kEntryJitter));
}

INSTANTIATE_TEST_SUITE_P(Table, TickPrescaler,
                         ::testing::Values(PrescalerCase{2, 1, 7273}, PrescalerCase{4, 2, 999},
                                           PrescalerCase{8, 3, 999}, PrescalerCase{16, 4, 499},
                                           PrescalerCase{64, 5, 99}, PrescalerCase{256, 6, 29},
                                           PrescalerCase{1024, 7, 9},
                                           // Not in the table: the undivided clock.
                                           PrescalerCase{3, 0, 799}, PrescalerCase{1, 0, 799},
                                           PrescalerCase{32, 0, 799}, PrescalerCase{128, 0, 799},
                                           PrescalerCase{0, 0, 799}));

TEST_F(TickTimer, CompareValueIsCutToSixteenBits) {
    setup_timer(3, 0x10000 + 799);
    EXPECT_EQ(board().read16(kTc0 + Tc::kCC0), 799u);
    start_timer();
    EXPECT_NEAR(double(measured_period()), double(100 * kMicrosecond), double(kEntryJitter));
}

TEST_F(TickTimer, SetupAgainWhileRunningStopsTheTimerUntilStarted) {
    setup_timer(2, 7273);
    start_timer();
    run_for(10 * kMillisecond);
    setup_timer(2, 7273);
    board().write8(address_of("ctick"), 0);
    board().watch("TC0_Handler");
    run_for(20 * kMillisecond);
    EXPECT_EQ(board().hits("TC0_Handler"), 0u);
    EXPECT_EQ(read8("ctick"), 0u);
    EXPECT_EQ(board().read8(kTc0 + Tc::kSTATUS) & Tc::kStop, Tc::kStop);
    EXPECT_EQ(board().read8(kTc0 + Tc::kINTENSET), Tc::kMc0) << "configured, interrupt armed";
    start_timer();
    EXPECT_NEAR(double(measured_period()), double(kTickPeriod), double(kEntryJitter));
}

TEST_F(TickTimer, FirstTickComesOnePeriodAfterTheStart) {
    setup_timer(2, 7273);
    const SimTime start = board().now();
    start_timer();
    const SimTime first = next_handler_entry() - start;
    EXPECT_GE(first, kTickPeriod);
    EXPECT_LE(first, kTickPeriod + 10 * kMicrosecond);  // plus the enable's synchronisation
}

TEST_F(TickTimer, SetupRunsWithoutModelFindings) {
    setup_timer(2, 7273);
    start_timer();
    run_for(5 * kMillisecond);
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

}  // namespace
