// Sending: the first byte straight into DATA, later ones through the
// transmit ring and the DRE interrupt; every byte leaves in order at the
// line's byte time.
#include <numeric>

#include "serial_fixture.h"

namespace {

using testing_support::kFrameTime;

constexpr int kRingCapacity = 511;

class SerialTransmit : public SerialPortTest {
  protected:
    void SetUp() override {
        start();
        begin("Serial1");
    }
    bool dre_interrupt_on() { return sercom_register(1, Usart::kINTENSET, 1) & Usart::kDre; }
};

TEST_F(SerialTransmit, AnIdleTransmitterTakesTheByteAndAByteWrittenWhileDreIsClearIsQueued) {
    EXPECT_EQ(write("Serial1", 'A'), 1u);
    EXPECT_EQ(transmitted(1),
              std::vector<std::uint8_t>{'A'});  // straight into DATA, on the line at once
    EXPECT_FALSE(dre_interrupt_on());
    EXPECT_EQ(available_for_write("Serial1"), kRingCapacity);

    // 'A' is in the shift register and DRE is set again: 'B' also goes to
    // DATA, which then stays full until 'A' has left.
    EXPECT_EQ(write("Serial1", 'B'), 1u);
    EXPECT_FALSE(dre_interrupt_on());
    ASSERT_FALSE(sercom_register(1, Usart::kINTFLAG, 1) & Usart::kDre);

    EXPECT_EQ(write("Serial1", 'C'), 1u);
    EXPECT_TRUE(dre_interrupt_on());
    EXPECT_EQ(available_for_write("Serial1"), kRingCapacity - 1);

    run_for(4 * kFrameTime);
    EXPECT_EQ(transmitted(1), (std::vector<std::uint8_t>{'A', 'B', 'C'}));
    EXPECT_FALSE(dre_interrupt_on());  // the handler found the ring empty
    EXPECT_EQ(available_for_write("Serial1"), kRingCapacity);
}

TEST_F(SerialTransmit, ABurstOf600BytesLeavesInOrderAtTheLinesByteTime) {
    std::vector<std::uint8_t> burst(600);
    std::iota(burst.begin(), burst.end(), std::uint8_t{0});
    EXPECT_EQ(write("Serial1", burst), 600u);
    run_for(600 * kFrameTime);
    EXPECT_EQ(transmitted(1), burst);
    const auto& log = usart(1).transmitted();
    for (std::size_t i = 1; i < log.size(); ++i)
        ASSERT_EQ(log[i].start - log[i - 1].start, kFrameTime) << "frame " << i;
    EXPECT_EQ(available_for_write("Serial1"), kRingCapacity);
    EXPECT_FALSE(dre_interrupt_on());
}

// A burst long enough to fill the ring: write waits for the handler to free
// a place, so the call ends only when all but the last 511 + 2 bytes (the
// ring, DATA and the shift register) have left.
TEST_F(SerialTransmit, WriteWaitsForRoomWhenTheRingIsFull) {
    constexpr std::size_t kBurst = 1100;
    constexpr std::size_t kHeld = kRingCapacity + 2;
    std::vector<std::uint8_t> burst(kBurst);
    for (std::size_t i = 0; i < kBurst; ++i) burst[i] = static_cast<std::uint8_t>(i * 13);
    const vboard::SimTime t0 = board().now();
    EXPECT_EQ(write("Serial1", burst), kBurst);
    const vboard::SimTime call_time = board().now() - t0;
    EXPECT_GE(call_time, (kBurst - kHeld - 1) * kFrameTime);
    EXPECT_LE(call_time, (kBurst - kHeld + 1) * kFrameTime);
    EXPECT_EQ(available_for_write("Serial1"), 0);
    run_for((kHeld + 1) * kFrameTime);
    EXPECT_EQ(transmitted(1), burst);
    EXPECT_EQ(available_for_write("Serial1"), kRingCapacity);
}

TEST_F(SerialTransmit, PrintlnSendsTheTextAndTheLineEnd) {
    const std::string text = "impact sensor 1.5";
    EXPECT_EQ(println("Serial1", text), text.size() + 2);
    run_for(20 * kFrameTime);
    const std::vector<std::uint8_t> sent = transmitted(1);
    EXPECT_EQ(std::string(sent.begin(), sent.end()), text + "\r\n");
}

}  // namespace
