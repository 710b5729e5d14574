// The TC model itself, driven register by register from the harness on TC1
// (which the firmware leaves alone): write synchronisation, the counter
// clock, READSYNC and the compare channels.
#include "board_fixture.h"
#include "models/gclk.h"
#include "models/tc.h"

namespace {

using namespace vboard;

constexpr std::uint32_t kTc1 = Tc::kTc1.base;
constexpr std::uint32_t kChannel27 = Gclk::kBase + Gclk::kPCHCTRL + 4 * Tc::kTc1.gclk_channel;
constexpr std::uint32_t kChannelOnGenerator0 = Gclk::kChEn;
constexpr SimTime kGclkPeriod = 125 * kNanosecond;  // 8 MHz generator 0
constexpr std::uint32_t kCmdReadSync = Tc::kCmdReadSync << Tc::kCmdPos;

class TcModel : public BoardTest {
  protected:
    void SetUp() override {
        boot_to("setup");
        park_main_thread();
    }
    std::uint32_t reg32(std::uint32_t offset) { return board().read32(kTc1 + offset); }
    std::uint32_t reg16(std::uint32_t offset) { return board().read16(kTc1 + offset); }
    std::uint32_t reg8(std::uint32_t offset) { return board().read8(kTc1 + offset); }
    void write(std::uint32_t offset, unsigned width, std::uint32_t v) {
        if (width == 4)
            board().write32(kTc1 + offset, v);
        else if (width == 2)
            board().write16(kTc1 + offset, static_cast<std::uint16_t>(v));
        else
            board().write8(kTc1 + offset, static_cast<std::uint8_t>(v));
    }
    void clock_on() { board().write32(kChannel27, kChannelOnGenerator0); }
    void settle() { run_for(Tc::kSyncPeriods * kGclkPeriod + kMicrosecond); }
};

TEST_F(TcModel, EnableIsBusyForThreeClockPeriodsAndReadsBackAtOnce) {
    clock_on();
    EXPECT_EQ(reg8(Tc::kSTATUS) & Tc::kStop, Tc::kStop);
    write(Tc::kCTRLA, 4, Tc::kEnable);
    EXPECT_EQ(reg32(Tc::kCTRLA), Tc::kEnable);
    EXPECT_EQ(reg32(Tc::kSYNCBUSY), 1u << Tc::kSyncEnable);
    settle();
    EXPECT_EQ(reg32(Tc::kSYNCBUSY), 0u);
    EXPECT_EQ(reg8(Tc::kSTATUS) & Tc::kStop, 0u);
}

TEST_F(TcModel, WithoutTheChannelClockSynchronisationWaitsForIt) {
    write(Tc::kCTRLA, 4, Tc::kSwrst);
    run_for(kMillisecond);
    EXPECT_EQ(reg32(Tc::kSYNCBUSY), 1u << Tc::kSyncSwrst);
    EXPECT_EQ(reg32(Tc::kCTRLA) & Tc::kSwrst, Tc::kSwrst);
    clock_on();
    settle();
    EXPECT_EQ(reg32(Tc::kSYNCBUSY), 0u);
    EXPECT_EQ(reg32(Tc::kCTRLA), 0u);
}

TEST_F(TcModel, CountReadsTheValueLatchedByReadSync) {
    clock_on();
    write(Tc::kCTRLA, 4, Tc::kEnable);  // divide by 1: 8 MHz, wraps at 0xFFFF
    settle();
    run_for(1000 * kGclkPeriod);
    EXPECT_EQ(reg16(Tc::kCOUNT), 0u) << "not read-synchronised by itself";
    write(Tc::kCTRLBSET, 1, kCmdReadSync);
    EXPECT_EQ(reg8(Tc::kCTRLBSET), kCmdReadSync);
    settle();
    EXPECT_EQ(reg8(Tc::kCTRLBSET), 0u);
    const std::uint32_t count = reg16(Tc::kCOUNT);
    EXPECT_GT(count, 1000u);
    EXPECT_LT(count, 1100u);
}

TEST_F(TcModel, CompareChannelOneMatchesInsideThePeriodAndOverflowAtTheWrap) {
    clock_on();
    write(Tc::kWAVE, 1, Tc::kMfrq);
    write(Tc::kCC0, 2, 999);
    write(Tc::kCC1, 2, 499);
    settle();
    write(Tc::kCTRLA, 4, Tc::kEnable);
    settle();
    run_for(400 * kGclkPeriod);
    EXPECT_EQ(reg8(Tc::kINTFLAG), 0u);
    run_for(200 * kGclkPeriod);
    EXPECT_EQ(reg8(Tc::kINTFLAG), Tc::kMc1);
    run_for(500 * kGclkPeriod);
    EXPECT_EQ(reg8(Tc::kINTFLAG), Tc::kMc1 | Tc::kMc0 | Tc::kOvf);
    write(Tc::kINTFLAG, 1, Tc::kMc1);
    EXPECT_EQ(reg8(Tc::kINTFLAG), Tc::kMc0 | Tc::kOvf) << "write 1 to clear";
}

TEST_F(TcModel, WritesWhileSynchronisingAreDroppedAndReported) {
    clock_on();
    write(Tc::kCC0, 2, 100);
    write(Tc::kCC0, 2, 200);
    settle();
    EXPECT_EQ(reg16(Tc::kCC0), 100u);
    EXPECT_EQ(board().diagnostics().count(Finding::Unsupported), 1u);
}

TEST_F(TcModel, EnableProtectedFieldsKeepTheirValueWhileEnabled) {
    clock_on();
    write(Tc::kCTRLA, 4, Tc::kEnable);
    settle();
    write(Tc::kCTRLA, 4, Tc::kEnable | (2u << Tc::kPrescalerPos));
    EXPECT_EQ(reg32(Tc::kCTRLA), Tc::kEnable);
    EXPECT_EQ(board().diagnostics().count(Finding::Unsupported), 1u);
}

}  // namespace
