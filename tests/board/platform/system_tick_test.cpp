// The 1 ms system tick, millis and delay.
#include "board_fixture.h"
#include "models/systick.h"

namespace {

using namespace vboard;

constexpr std::uint8_t kPriorityLevel2 = 0x80;

class SystemTick : public FullImageTest {
  protected:
    void SetUp() override { boot_to("setup"); }
    void set_tick_count(std::uint32_t v) { board().write32(address_of("_ulTickCount"), v); }
};

TEST_F(SystemTick, ReloadsEvery8000CyclesAtPriority2) {
    EXPECT_EQ(board().model<SysTick>().load(), 7999u);
    EXPECT_EQ(board().exceptions().priority_byte(exception::kSysTick), kPriorityLevel2);
    EXPECT_EQ(board().model<SysTick>().ctrl(), 7u);
}

TEST_F(SystemTick, MillisFollowsSimulatedTimeOver10Seconds) {
    // From setup on: the start-up before init is not counted.
    const double start_ms = to_seconds(board().now()) * 1000.0;
    const double start_millis = static_cast<double>(call("millis"));
    run_for(10 * kSecond);
    const double simulated_ms = to_seconds(board().now()) * 1000.0 - start_ms;
    const double millis = static_cast<double>(call("millis")) - start_millis;
    EXPECT_NEAR(millis, simulated_ms, 1.0);
}

TEST_F(SystemTick, DelayZeroReturnsWithoutYielding) {
    board().watch("yield");
    call("delay", {0});
    EXPECT_EQ(board().hits("yield"), 0u);
    call("delay", {1});
    EXPECT_GE(board().hits("yield"), 1u);
}

TEST_F(SystemTick, DelayOneEndsAtTheNextTick) {
    const SimTime start = board().now();
    call("delay", {1});
    EXPECT_LE(board().now() - start, kMillisecond + 50 * kMicrosecond);
}

TEST_F(SystemTick, DelayWaitsTheFullTimeAcrossTheCounterWrap) {
    set_tick_count(0xFFFFFFFD);
    const SimTime start = board().now();
    call("delay", {5});
    const SimTime waited = board().now() - start;
    EXPECT_GE(waited, 4 * kMillisecond);
    EXPECT_LE(waited, 5 * kMillisecond + 50 * kMicrosecond);
    EXPECT_EQ(read32("_ulTickCount"), 2u);
}

TEST_F(SystemTick, MillisWrapsToZero) {
    set_tick_count(0xFFFFFFFF);
    run_for(kMillisecond);
    EXPECT_EQ(call("millis"), 0u);
}

TEST_F(SystemTick, AHookThatClaimsTheTickStopsTheCount) {
    // Replace sysTickHook by "return 1" (movs r0, #1; bx lr), as an
    // application defining its own hook would.
    const std::uint32_t hook = address_of("sysTickHook");
    const std::vector<std::uint8_t> return_one = {0x01, 0x20, 0x70, 0x47};
    board().write_bytes(hook, return_one);
    board().cpu().invalidate_code(hook, 4);
    const std::uint32_t before = read32("_ulTickCount");
    run_for(10 * kMillisecond);
    EXPECT_EQ(read32("_ulTickCount"), before);
}

struct ClockCase {
    std::uint32_t core_clock;
    bool starts;
    std::uint32_t load;
};

class TickStartUp : public BoardTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(TickStartUp, ReloadFitsFrom1000HzUpwards) {
    boot_to("init");
    board().write32(address_of("SystemCoreClock"), GetParam().core_clock);
    // main calls delay(1) right after init returns.
    const RunResult r = board().run_until("delay", 50 * kMillisecond);
    EXPECT_EQ(r.reason == StopReason::Breakpoint, GetParam().starts);
    if (GetParam().starts)
        EXPECT_EQ(board().model<SysTick>().load(), GetParam().load);
    else
        EXPECT_EQ(board().model<SysTick>().ctrl(), 0u) << "the tick is not touched";
}

INSTANTIATE_TEST_SUITE_P(Clocks, TickStartUp,
                         ::testing::Values(ClockCase{999, false, 0}, ClockCase{1000, true, 0},
                                           ClockCase{8000000, true, 7999},
                                           ClockCase{4294967295u, true, 4294966}));

}  // namespace
