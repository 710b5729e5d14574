// The SERCOM I2C master model, driven register by register from the test
// (the firmware sits before setup and leaves SERCOM5 alone): bus state,
// START and address, flags, commands, synchronisation, SCL timing and the
// wiring faults.
#include <functional>

#include "board_fixture.h"
#include "models/i2c_bus.h"
#include "models/sercom.h"
#include "models/sercom_i2c_master.h"

namespace {

using namespace vboard;
using M = SercomI2cMaster;
using testing_support::test_options;

constexpr std::uint32_t kSercom5 = 0x43000400;
constexpr std::uint32_t kGclkPchctrl24 = 0x40001800 + 0x80 + 4 * 24;
constexpr std::uint32_t kChannelOnGenerator0 = 0x40;
constexpr std::uint32_t kPortPmux11 = 0x40002800 + 0x30 + 11;  // PA22 (low nibble), PA23
constexpr std::uint32_t kPortPincfg22 = 0x40002800 + 0x40 + 22;
constexpr std::uint8_t kFunctionDOnBoth = 0x33;
constexpr std::uint8_t kPmuxen = 0x01;
constexpr std::uint32_t kModeMaster = 5u << 2;
constexpr std::uint32_t kBaud9 = 9;
constexpr SimTime kSync = 3 * 125 * kNanosecond;        // three 8 MHz module clocks
constexpr SimTime kSclPeriod = 28 * 125 * kNanosecond;  // (10 + 2 * 9) module clocks: 3.5 us
constexpr std::uint8_t kSensorWrite = 0x53 << 1, kSensorRead = (0x53 << 1) | 1,
                       kNobodyWrite = 0x20 << 1;

class I2cMasterModel : public BoardTest {
  protected:
    void SetUp() override { start(test_options()); }

    void start(const BoardOptions& options) {
        make_board(options);
        boot_to("setup");
        park_main_thread();
        board().write32(kGclkPchctrl24, kChannelOnGenerator0);
    }
    void route_pads() {
        board().write8(kPortPmux11, kFunctionDOnBoth);
        board().write8(kPortPincfg22, kPmuxen);
        board().write8(kPortPincfg22 + 1, kPmuxen);
    }
    void enable(std::uint32_t baud = kBaud9) {
        w32(M::kCTRLA, kModeMaster);
        w32(M::kBAUD, baud);
        w32(M::kCTRLA, kModeMaster | M::kEnable);
        run_for(kMicrosecond);
    }
    void force_idle() {
        w16(M::kSTATUS, M::kIdle << M::kBusStatePos);
        run_for(kMicrosecond);
    }
    void ready() {
        route_pads();
        enable();
        force_idle();
    }
    void w32(std::uint32_t offset, std::uint32_t v) { board().write32(kSercom5 + offset, v); }
    void w16(std::uint32_t offset, std::uint16_t v) { board().write16(kSercom5 + offset, v); }
    void w8(std::uint32_t offset, std::uint8_t v) { board().write8(kSercom5 + offset, v); }
    std::uint32_t r32(std::uint32_t offset) { return board().read32(kSercom5 + offset); }
    std::uint16_t status() { return board().read16(kSercom5 + M::kSTATUS); }
    std::uint8_t flags() { return board().read8(kSercom5 + M::kINTFLAG); }
    unsigned bus_state() { return (status() & M::kBusStateMask) >> M::kBusStatePos; }
    // Runs until one of `mask` is in INTFLAG; false after `limit`.
    bool wait_flags(std::uint8_t mask, SimTime limit = kMillisecond) {
        const SimTime end = board().now() + limit;
        while (board().now() < end) {
            if (flags() & mask) return true;
            run_for(kMicrosecond);
        }
        return (flags() & mask) != 0;
    }
    void command(unsigned cmd, bool nack = false) {
        w32(M::kCTRLB, (cmd << M::kCmdPos) | (nack ? M::kAckact : 0));
        run_for(kMicrosecond);
    }
    I2cBus& bus() { return board().model<I2cBus>(); }
    SercomI2cMaster& master() {
        for (const auto& m : board().models())
            if (auto* s = dynamic_cast<Sercom*>(m.get()); s && s->index() == 5)
                return s->i2c_master();
        throw std::logic_error("no SERCOM5");
    }
};

TEST_F(I2cMasterModel, BusStateIsUnknownAfterEnableAndIdleOnceForced) {
    route_pads();
    w32(M::kCTRLA, kModeMaster);
    w32(M::kCTRLA, kModeMaster | M::kEnable);
    EXPECT_EQ(r32(M::kSYNCBUSY), M::kSyncEnable);
    EXPECT_EQ(r32(M::kCTRLA), kModeMaster | M::kEnable);  // ENABLE reads back at once
    run_for(kMicrosecond);
    EXPECT_EQ(r32(M::kSYNCBUSY), 0u);
    EXPECT_EQ(bus_state(), M::kUnknown);

    w16(M::kSTATUS, M::kIdle << M::kBusStatePos);
    EXPECT_EQ(r32(M::kSYNCBUSY), M::kSyncSysop);
    EXPECT_EQ(bus_state(), M::kUnknown);
    run_for(kMicrosecond);
    EXPECT_EQ(r32(M::kSYNCBUSY), 0u);
    EXPECT_EQ(bus_state(), M::kIdle);

    // Only UNKNOWN can be forced, and only to IDLE.
    w16(M::kSTATUS, M::kOwner << M::kBusStatePos);
    run_for(kMicrosecond);
    EXPECT_EQ(bus_state(), M::kIdle);
}

TEST_F(I2cMasterModel, SclRateFollowsBaudAndTheModuleClock) {
    struct Case {
        std::uint32_t baud_register;
        double hz;
    };
    const Case cases[] = {
        {9, 8e6 / 28},  // the firmware's setting: 285.7 kHz
        {0, 8e6 / 10},
        {34, 8e6 / 78},
        {10 | (20u << 8), 8e6 / 40},  // BAUDLOW: 10 + BAUD + BAUDLOW
    };
    w32(M::kCTRLA, kModeMaster);
    for (const Case& c : cases) {
        w32(M::kBAUD, c.baud_register);
        EXPECT_NEAR(master().scl_hz(), c.hz, 1e-6) << "BAUD 0x" << std::hex << c.baud_register;
    }
    board().write32(kGclkPchctrl24, 0);
    EXPECT_EQ(master().scl_hz(), 0.0);
}

TEST_F(I2cMasterModel, AddressByteTakesNineSclClocksThenMb) {
    ready();
    const SimTime written = board().now();
    w32(M::kADDR, kSensorWrite);
    EXPECT_EQ(r32(M::kSYNCBUSY), M::kSyncSysop);
    EXPECT_EQ(bus_state(), M::kOwner);
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_EQ(status() & (M::kRxNack | M::kBusErr), 0u);
    EXPECT_NE(status() & M::kClkHold, 0u);
    ASSERT_EQ(bus().log().size(), 1u);
    const I2cTransfer& t = bus().log().back();
    EXPECT_EQ(t.start, written + kSync);
    EXPECT_EQ(t.address_done - t.start, 9 * kSclPeriod);
    EXPECT_TRUE(t.address_ack);
    EXPECT_FALSE(t.read);
    EXPECT_FALSE(t.repeated_start);
}

TEST_F(I2cMasterModel, NobodyAtTheAddressGivesMbWithRxnackAndStopFreesTheBus) {
    ready();
    w32(M::kADDR, kNobodyWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_NE(status() & M::kRxNack, 0u);
    command(M::kCmdStop);
    EXPECT_EQ(flags() & (M::kMb | M::kSb), 0u);
    EXPECT_EQ(bus_state(), M::kIdle);
    const I2cTransfer& t = bus().log().back();
    EXPECT_FALSE(t.address_ack);
    EXPECT_TRUE(t.stopped);
}

TEST_F(I2cMasterModel, ReadClocksTheFirstByteInAndCommandsAcknowledgeAndContinue) {
    ready();
    // A fresh sensor's register pointer is 0: DEVID, then reserved registers.
    w32(M::kADDR, kSensorRead);
    ASSERT_TRUE(wait_flags(M::kSb));
    EXPECT_EQ(flags() & M::kMb, 0u);
    EXPECT_EQ(board().read8(kSercom5 + M::kDATA), 0xE5);
    EXPECT_NE(flags() & M::kSb, 0u) << "reading DATA must not clear SB with smart mode off";

    const SimTime commanded = board().now();
    w32(M::kCTRLB, M::kCmdRead << M::kCmdPos);  // ACKACT 0: acknowledge, read on
    EXPECT_EQ(flags() & M::kSb, 0u);
    EXPECT_EQ(r32(M::kCTRLB), 0u) << "CMD reads as zero";
    ASSERT_TRUE(wait_flags(M::kSb));
    w32(M::kCTRLB, (M::kCmdStop << M::kCmdPos) | M::kAckact);  // NACK, then STOP
    run_for(10 * kMicrosecond);
    EXPECT_EQ(bus_state(), M::kIdle);
    EXPECT_EQ(r32(M::kCTRLB), M::kAckact);

    const I2cTransfer& t = bus().log().back();
    EXPECT_TRUE(t.read);
    EXPECT_EQ(t.bytes, (std::vector<std::uint8_t>{0xE5, 0x00}));
    EXPECT_EQ(t.acks, (std::vector<bool>{true, false}));
    EXPECT_TRUE(t.stopped);
    ASSERT_EQ(t.byte_done.size(), 2u);
    EXPECT_EQ(t.byte_done[0] - t.address_done, 8 * kSclPeriod);
    EXPECT_EQ(t.byte_done[1] - (commanded + kSync), 9 * kSclPeriod);
}

TEST_F(I2cMasterModel, AddrWrittenWhileOwnedGivesARepeatedStart) {
    ready();
    w32(M::kADDR, kSensorWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    w8(M::kDATA, 0x00);  // register pointer: DEVID
    ASSERT_TRUE(wait_flags(M::kMb));
    w32(M::kADDR, kSensorRead);
    ASSERT_TRUE(wait_flags(M::kSb));
    ASSERT_EQ(bus().log().size(), 2u);
    EXPECT_FALSE(bus().log()[0].stopped);
    EXPECT_EQ(bus().log()[0].end, bus().log()[1].start);
    EXPECT_TRUE(bus().log()[1].repeated_start);
    EXPECT_EQ(bus().log()[1].bytes, std::vector<std::uint8_t>{0xE5});
}

TEST_F(I2cMasterModel, CommandIsTakenOnlyWhileMbOrSbIsSet) {
    ready();
    command(M::kCmdStop);
    EXPECT_TRUE(bus().log().empty());
    EXPECT_EQ(bus_state(), M::kIdle);
    w32(M::kADDR, kSensorWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    command(M::kCmdStop);
    EXPECT_TRUE(bus().log().back().stopped);
    EXPECT_EQ(bus_state(), M::kIdle);
}

TEST_F(I2cMasterModel, WriteWhileSysopIsBusyIsDroppedAndReported) {
    ready();
    w32(M::kADDR, kSensorWrite);
    w32(M::kADDR, kNobodyWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    run_for(100 * kMicrosecond);
    ASSERT_EQ(bus().log().size(), 1u);
    EXPECT_EQ(bus().log().back().address, 0x53);
    EXPECT_EQ(board().diagnostics().count(Finding::Unsupported), 1u);
}

TEST_F(I2cMasterModel, MbRaisesTheInterruptLineWhenEnabled) {
    ready();
    w8(M::kINTENSET, M::kMb);
    w32(M::kADDR, kSensorWrite);
    EXPECT_FALSE(board().exceptions().line(13));
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_TRUE(board().exceptions().line(13));
    w8(M::kINTFLAG, M::kMb);  // write 1 to clear
    EXPECT_FALSE(board().exceptions().line(13));
}

TEST_F(I2cMasterModel, PadsNotGivenToTheModuleReachNobody) {
    enable();
    force_idle();
    w32(M::kADDR, kSensorWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_NE(status() & M::kRxNack, 0u);
    EXPECT_TRUE(bus().log().empty());
    EXPECT_EQ(board().diagnostics().count(Finding::Unsupported), 1u);
}

TEST_F(I2cMasterModel, AddrBeforeTheBusStateIsKnownWaitsForIdle) {
    route_pads();
    enable();
    w32(M::kADDR, kSensorWrite);
    EXPECT_FALSE(wait_flags(M::kMb, 200 * kMicrosecond));
    force_idle();
    EXPECT_TRUE(wait_flags(M::kMb));
    EXPECT_TRUE(bus().log().back().address_ack);
}

class I2cMasterFaults : public I2cMasterModel {
  protected:
    void SetUp() override {}
    void start_with(const std::string& fault) {
        BoardOptions options = test_options();
        options.faults.push_back(parse_fault(fault));
        start(options);
        ready();
    }
    // Runs to the absolute time `t` (the board is before it).
    void run_to(SimTime t) {
        ASSERT_LT(board().now(), t);
        run_for(t - board().now());
    }
};

TEST_F(I2cMasterFaults, ClockHeldLowStopsTheByteUntilReleased) {
    constexpr SimTime kLow = 50 * kMillisecond, kReleased = 60 * kMillisecond;
    start_with("scl-low@50ms..60ms");
    run_to(kLow - 20 * kMicrosecond);
    w32(M::kADDR, kSensorWrite);
    run_to(kReleased - kMicrosecond);
    EXPECT_EQ(flags() & M::kMb, 0u);
    ASSERT_TRUE(wait_flags(M::kMb));
    const I2cTransfer& t = bus().log().back();
    const SimTime clocked_before = kLow - t.start;
    EXPECT_EQ(t.address_done, kReleased + 9 * kSclPeriod - clocked_before);
}

TEST_F(I2cMasterFaults, ClockHeldLowForGoodNeverEndsTheByte) {
    start_with("scl-low");
    w32(M::kADDR, kSensorWrite);
    EXPECT_FALSE(wait_flags(M::kMb | M::kSb, 5 * kMillisecond));
    EXPECT_EQ(bus_state(), M::kOwner);
}

TEST_F(I2cMasterFaults, BusErrorSetsMbBuserrArblostAndFreesTheBus) {
    start_with("bus-error");
    w32(M::kADDR, kSensorWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_EQ(status() & (M::kBusErr | M::kArbLost), M::kBusErr | M::kArbLost);
    EXPECT_NE(flags() & M::kError, 0u);
    EXPECT_EQ(bus_state(), M::kIdle);
    EXPECT_TRUE(bus().log().back().bus_error);
    // The next ADDR clears the error bits and goes through: the fault was for one byte.
    w32(M::kADDR, kSensorWrite);
    ASSERT_TRUE(wait_flags(M::kMb));
    EXPECT_EQ(status() & (M::kBusErr | M::kArbLost | M::kRxNack), 0u);
}

}  // namespace
