// TwoWire on SERCOM5 in the companion image: set-up, queues, return codes,
// repeated START, and what the bus faults do to it.
#include "models/gclk.h"
#include "models/port.h"
#include "models/sercom_i2c_master.h"
#include "wire_support.h"

namespace {

using namespace vboard;
using namespace wire_support;
using M = SercomI2cMaster;

constexpr std::uint8_t kCounter = 0x20;
constexpr std::uint32_t kNvicIser = 0xE000E100, kNvicIpr3 = 0xE000E40C;
constexpr unsigned kSercom5Line = 13;
constexpr std::uint32_t kSercom5 = 0x43000400;

class WireTest : public WireBoard {
  protected:
    void SetUp() override {
        start();
        bus().attach(kCounter, counter);
        bus().clear_log();
    }
    CountingDevice counter;
};

TEST_F(WireTest, BeginSetsUpSercom5AsMasterOnItsPins) {
    EXPECT_NE(board().read32(kNvicIser) & (1u << kSercom5Line), 0u);
    EXPECT_EQ((board().read32(kNvicIpr3) >> 8) & 0xFF, 0xC0u);
    EXPECT_EQ(board().model<Gclk>().pchctrl(24), 0x40u);
    EXPECT_EQ(board().read32(kSercom5 + M::kCTRLA), (5u << 2) | M::kEnable);
    EXPECT_EQ(board().read32(kSercom5 + M::kBAUD), 9u);
    EXPECT_EQ(bus_state(), M::kIdle);
    for (unsigned pin : {22u, 23u}) {
        const PinView p = board().model<Port>().pin(pin);
        EXPECT_TRUE(p.muxed) << "PA" << pin;
        EXPECT_EQ(p.function, 3u) << "PA" << pin;  // D: SERCOM5
    }
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

TEST_F(WireTest, WriteIsRefusedOutsideATransmission) {
    EXPECT_EQ(write(0x11), 0u);
    begin_transmission(kCounter);
    EXPECT_EQ(write(0x22), 1u);
    EXPECT_EQ(end_transmission(), 0u);
    EXPECT_EQ(write(0x33), 0u);
    EXPECT_EQ(end_transmission(), 0u);  // an empty transaction: address only
    EXPECT_EQ(counter.received, std::vector<std::uint8_t>{0x22});
    ASSERT_EQ(bus().log().size(), 2u);
    EXPECT_TRUE(bus().log()[1].bytes.empty());
}

TEST_F(WireTest, OneTransactionQueuesAtMost511Bytes) {
    std::vector<std::uint8_t> data(600);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    begin_transmission(kCounter);
    EXPECT_EQ(write(data), 511u);
    EXPECT_EQ(end_transmission(), 0u);
    EXPECT_EQ(counter.received, std::vector<std::uint8_t>(data.begin(), data.begin() + 511));
}

TEST_F(WireTest, RequestFromZeroLeavesTheReceiveQueueAndTheBusAlone) {
    EXPECT_EQ(request_from(kCounter, 3), 3u);
    EXPECT_EQ(read(), 0u);
    const std::size_t transactions = bus().log().size();
    EXPECT_EQ(request_from(kCounter, 0), 0u);
    EXPECT_EQ(available(), 2u);
    EXPECT_EQ(read(), 1u);
    EXPECT_EQ(bus().log().size(), transactions);
}

TEST_F(WireTest, RequestFromReturnsTheQuantityModulo256) {
    EXPECT_EQ(request_from(kCounter, 300), 44u);
    EXPECT_EQ(available(), 300u);
    const I2cTransfer& t = bus().log().back();
    EXPECT_EQ(t.bytes.size(), 300u);
    std::vector<bool> acks(300, true);
    acks.back() = false;  // the last byte is answered with NACK
    EXPECT_EQ(t.acks, acks);
    EXPECT_TRUE(t.stopped);
    for (std::uint32_t i = 0; i < 300; ++i) ASSERT_EQ(read(), i & 0xFF) << i;
    EXPECT_EQ(read(), kMinusOne);
}

TEST_F(WireTest, ReadAndPeekOfAnEmptyQueueGiveMinusOne) {
    EXPECT_EQ(available(), 0u);
    EXPECT_EQ(peek(), kMinusOne);
    EXPECT_EQ(read(), kMinusOne);
    EXPECT_EQ(request_from(kCounter, 1), 1u);
    EXPECT_EQ(peek(), 0u);
    EXPECT_EQ(available(), 1u);
}

TEST_F(WireTest, EndWithoutStopKeepsTheBusAndTheNextReadStartsWithARepeatedStart) {
    begin_transmission(kSensor);
    write(0x00);  // DEVID
    EXPECT_EQ(end_transmission(false), 0u);
    EXPECT_EQ(bus_state(), M::kOwner);
    EXPECT_EQ(request_from(kSensor, 1), 1u);
    EXPECT_EQ(read(), 0xE5u);
    ASSERT_EQ(bus().log().size(), 2u);
    EXPECT_FALSE(bus().log()[0].stopped);
    EXPECT_FALSE(bus().log()[0].repeated_start);
    EXPECT_TRUE(bus().log()[1].repeated_start);
    EXPECT_TRUE(bus().log()[1].stopped);
    EXPECT_EQ(bus_state(), M::kIdle);
}

TEST_F(WireTest, NobodyAtTheAddressGives2And0WithoutBlocking) {
    const SimTime before = board().now();
    begin_transmission(kNobody);
    write(0x01);
    EXPECT_EQ(end_transmission(), 2u);
    EXPECT_EQ(request_from(kNobody, 4), 0u);
    EXPECT_EQ(available(), 0u);
    EXPECT_LT(board().now() - before, kMillisecond);
    EXPECT_EQ(bus_state(), M::kIdle);
    for (const I2cTransfer& t : bus().log()) {
        EXPECT_FALSE(t.address_ack);
        EXPECT_TRUE(t.stopped);
    }
    // The bus works on at once.
    EXPECT_EQ(request_from(kCounter, 2), 2u);
}

TEST_F(WireTest, InterruptServiceDoesNothingOnAMaster) {
    constexpr unsigned kSercom5Vector = 16 + kSercom5Line;
    EXPECT_EQ(board().read32(4 * kSercom5Vector), address_of("SERCOM5_Handler") | 1u);
    const std::uint32_t ctrlb = board().read32(kSercom5 + M::kCTRLB);
    call("SERCOM5_Handler");
    call("TwoWire::onService", {wire()});
    EXPECT_EQ(board().read32(kSercom5 + M::kCTRLB), ctrlb);
    EXPECT_EQ(bus_state(), M::kIdle);
    EXPECT_TRUE(bus().log().empty());
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

class WireFaults : public WireBoard {};

TEST_F(WireFaults, NackedDataByteGives3AfterAStop) {
    start({"sensor-nack"});
    bus().clear_log();
    begin_transmission(kSensor);
    write({0x1E, 0x01, 0x02});
    EXPECT_EQ(end_transmission(), 3u);
    const I2cTransfer& t = bus().log().back();
    EXPECT_EQ(t.bytes, std::vector<std::uint8_t>{0x1E});
    EXPECT_EQ(t.acks, std::vector<bool>{false});
    EXPECT_TRUE(t.stopped);
    EXPECT_EQ(bus_state(), M::kIdle);
}

TEST_F(WireFaults, BusErrorOnTheAddressIsAFailure) {
    start({"bus-error"});
    begin_transmission(kSensor);
    write(0x00);
    EXPECT_NE(end_transmission(), 0u);
    EXPECT_EQ(bus_state(), M::kIdle);
    begin_transmission(kSensor);
    write(0x00);
    EXPECT_EQ(end_transmission(), 0u);
}

TEST_F(WireFaults, BusErrorOnADataByteIsAFailureNotASuccess) {
    // A first run finds when the data byte of this transmission is on the bus.
    start();
    begin_transmission(kSensor);
    write(0x00);
    ASSERT_EQ(end_transmission(), 0u);
    const SimTime address_done = bus().log().back().address_done;
    // The same run again, with a misplaced STOP while the data byte goes out.
    start({"bus-error@" + std::to_string(address_done / kNanosecond + 1) + "ns"});
    begin_transmission(kSensor);
    write(0x00);
    EXPECT_EQ(end_transmission(), 3u);
    const I2cTransfer& t = bus().log().back();
    EXPECT_TRUE(t.address_ack);
    EXPECT_TRUE(t.bus_error);
    EXPECT_TRUE(t.bytes.empty());
}

TEST_F(WireFaults, ClockHeldLowStallsTheTransferUntilReleased) {
    constexpr SimTime kReleased = 300 * kMillisecond;
    start({"scl-low@0..300ms"});
    ASSERT_LT(board().now(), kReleased);
    begin_transmission(kSensor);
    write(0x00);
    EXPECT_EQ(end_transmission(), 0u);
    EXPECT_GT(board().now(), kReleased);
    EXPECT_EQ(request_from(kSensor, 1), 1u);
    EXPECT_EQ(read(), 0xE5u);
}

TEST_F(WireFaults, ClockHeldLowForGoodBlocksForGood) {
    start({"scl-low"});
    bus().clear_log();
    begin_transmission(kSensor);
    write(0x00);
    const SimTime before = board().now();
    EXPECT_THROW(board().call("TwoWire::endTransmission(bool)", {wire(), 1}, 50 * kMillisecond),
                 std::runtime_error);
    EXPECT_GE(board().now() - before, 50 * kMillisecond);
    // The START is still going out: the bus is owned, no flag has come, no address went by.
    EXPECT_EQ(bus_state(), M::kOwner);
    EXPECT_EQ(board().read8(kSercom5 + M::kINTFLAG) & (M::kMb | M::kSb), 0u);
    EXPECT_TRUE(bus().log().empty());
}

}  // namespace
