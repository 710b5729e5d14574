// Receiving: bytes from the line through the receive interrupt into the
// ring, the ring's limit, end(), and line errors acknowledged while
// reception goes on.
#include "serial_fixture.h"

namespace {

using testing_support::kFrameTime;

constexpr int kRingCapacity = 511;

class SerialReceive : public SerialPortTest {
  protected:
    void SetUp() override {
        start();
        begin("Serial1");
    }
    void receive(const std::vector<std::uint8_t>& bytes) {
        for (std::uint8_t b : bytes) usart(1).receive(b);
        run_for((bytes.size() + 2) * kFrameTime);
    }
};

TEST_F(SerialReceive, ReadGivesBytesInOrderAndPeekKeepsThem) {
    EXPECT_EQ(read("Serial1"), -1);
    EXPECT_EQ(peek("Serial1"), -1);
    receive({0x10, 0xFF, 0x30});
    EXPECT_EQ(available("Serial1"), 3);
    EXPECT_EQ(peek("Serial1"), 0x10);
    EXPECT_EQ(read("Serial1"), 0x10);
    EXPECT_EQ(read("Serial1"), 0xFF);
    EXPECT_EQ(peek("Serial1"), 0x30);
    EXPECT_EQ(available("Serial1"), 1);
}

TEST_F(SerialReceive, AByteReceivedWhileTheRingHolds511IsLost) {
    std::vector<std::uint8_t> bytes(kRingCapacity + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    receive(bytes);
    EXPECT_EQ(available("Serial1"), kRingCapacity);
    EXPECT_EQ(usart(1).overflows(), 0u);  // the module itself kept up
    for (int i = 0; i < kRingCapacity; ++i) ASSERT_EQ(read("Serial1"), bytes[i]) << "byte " << i;
    EXPECT_EQ(read("Serial1"), -1);
}

TEST_F(SerialReceive, EndEmptiesTheRingsAndBeginStartsEmpty) {
    receive({1, 2, 3});
    ASSERT_EQ(available("Serial1"), 3);
    end("Serial1");
    EXPECT_EQ(available("Serial1"), 0);
    EXPECT_EQ(sercom_register(1, Usart::kCTRLA, 4), 0u);
    EXPECT_EQ(sercom_register(1, Usart::kINTENSET, 1), 0u);
    begin("Serial1");
    EXPECT_EQ(available("Serial1"), 0);
    EXPECT_EQ(read("Serial1"), -1);
    receive({4});
    EXPECT_EQ(read("Serial1"), 4);
}

TEST_F(SerialReceive, AFramingErrorIsAcknowledgedAndStatusClearedWhileReceptionGoesOn) {
    usart(1).receive('a');
    usart(1).receive('b', /*frame_error=*/true);
    usart(1).receive('c');
    run_for(5 * kFrameTime);
    EXPECT_EQ(usart(1).frame_errors(), 1u);
    EXPECT_EQ(sercom_register(1, Usart::kSTATUS, 2), 0u);
    EXPECT_FALSE(sercom_register(1, Usart::kINTFLAG, 1) & Usart::kError);
    // The byte that came with the error is in the ring like the others.
    EXPECT_EQ(available("Serial1"), 3);
    for (int c : {'a', 'b', 'c'}) EXPECT_EQ(read("Serial1"), c);
}

TEST_F(SerialReceive, AcknowledgingAnErrorLeavesTransmitCompleteSet) {
    write("Serial1", 'z');
    run_for(2 * kFrameTime);
    ASSERT_TRUE(sercom_register(1, Usart::kINTFLAG, 1) & Usart::kTxc);
    usart(1).receive('e', /*frame_error=*/true);
    run_for(2 * kFrameTime);
    ASSERT_EQ(usart(1).frame_errors(), 1u);
    // flush() waits for TXC when DRE is clear: clearing it with the error
    // would make it wait for ever.
    EXPECT_TRUE(sercom_register(1, Usart::kINTFLAG, 1) & Usart::kTxc);
}

// With the receive interrupt off, the module holds two characters in its
// buffer and one in the shift register; the next frame is lost with
// BUFOVF, which the handler clears once the interrupts are back.
TEST_F(SerialReceive, TheModulesTwoLevelBufferOverflows) {
    board().write8(kSercom1 + Usart::kINTENCLR, Usart::kRxc | Usart::kError);
    for (std::uint8_t b : {1, 2, 3, 4}) usart(1).receive(b);
    run_for(6 * kFrameTime);
    EXPECT_EQ(usart(1).overflows(), 1u);
    EXPECT_TRUE(sercom_register(1, Usart::kSTATUS, 2) & Usart::kBufovf);
    EXPECT_TRUE(sercom_register(1, Usart::kINTFLAG, 1) & Usart::kError);

    board().write8(kSercom1 + Usart::kINTENSET, Usart::kRxc | Usart::kError);
    run_for(kFrameTime);
    EXPECT_EQ(sercom_register(1, Usart::kSTATUS, 2), 0u);
    EXPECT_EQ(available("Serial1"), 3);
    for (int b : {1, 2, 3}) EXPECT_EQ(read("Serial1"), b);
}

}  // namespace
