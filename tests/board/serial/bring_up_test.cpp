// Opening a serial port: the module objects and ports as static
// construction leaves them, the registers begin writes, the clock channel
// and interrupt line, and the routing of each module's interrupt.
#include <array>

#include "models/gclk.h"
#include "models/nvic.h"
#include "models/port.h"
#include "serial_fixture.h"

namespace {

using vboard::Sercom;

constexpr std::uint32_t kCtrlaSerial1 =
    0x40312006;  // MODE 1, SAMPR 1, TXPO 1, RXPO 3, DORD, ENABLE
constexpr std::uint32_t kCtrlbTxRx = 0x30000;
constexpr std::uint16_t kBaud115200 = 0x4004;
constexpr std::uint8_t kRxcAndError = Usart::kRxc | Usart::kError;
constexpr std::uint32_t kNvicIser = 0xE000E100, kNvicIpr = 0xE000E400;

// Layout of a Uart object: Print, Stream, then the port's own fields.
constexpr std::uint32_t kWriteError = 4, kTimeout = 8, kSercomField = 16, kRxBuffer = 20,
                        kTxBuffer = 540, kPinRx = 1060, kPinTx = 1061, kPadRx = 1062, kPadTx = 1063,
                        kUartSize = 1064;

class SerialBringUp : public SerialPortTest {
  protected:
    void SetUp() override { start(); }
};

TEST_F(SerialBringUp, ModuleObjectsHoldTheirRegisterBlocksAndConstructionWritesNoRegister) {
    for (unsigned m = 0; m < Sercom::kModules; ++m) {
        EXPECT_EQ(read32("sercom" + std::to_string(m)), Sercom::kBases[m]) << "sercom" << m;
        EXPECT_EQ(usart(m).register_writes(), 0u) << "SERCOM" << m;
    }
}

struct PortBinding {
    const char* port;
    const char* sercom;
    std::uint8_t pin_rx, pin_tx, pad_rx, pad_tx;
};

TEST_F(SerialBringUp, PortsHoldTheirModulePinsAndPads) {
    constexpr std::array<PortBinding, 4> kPorts = {{
        {"Serial0", "sercom0", 0, 1, 3, 1},
        {"Serial1", "sercom1", 3, 2, 3, 1},
        {"Serial2", "sercom2", 4, 5, 1, 0},
        {"Serial3", "sercom3", 6, 7, 1, 0},
    }};
    for (const PortBinding& p : kPorts) {
        const std::uint32_t object = address_of(p.port);
        EXPECT_EQ(board().image().symbol(p.port).size, kUartSize) << p.port;
        EXPECT_EQ(board().read32(object + kWriteError), 0u) << p.port;
        EXPECT_EQ(board().read32(object + kTimeout), 1000u) << p.port;
        EXPECT_EQ(board().read32(object + kSercomField), address_of(p.sercom)) << p.port;
        EXPECT_EQ(board().read8(object + kPinRx), p.pin_rx) << p.port;
        EXPECT_EQ(board().read8(object + kPinTx), p.pin_tx) << p.port;
        EXPECT_EQ(board().read8(object + kPadRx), p.pad_rx) << p.port;
        EXPECT_EQ(board().read8(object + kPadTx), p.pad_tx) << p.port;
        // Both rings empty: all indices 0.
        for (std::uint32_t ring : {kRxBuffer, kTxBuffer})
            for (std::uint32_t index : {512u, 516u})
                EXPECT_EQ(board().read32(object + ring + index), 0u) << p.port;
    }
    EXPECT_EQ(call("Uart::operator bool()", {address_of("Serial1")}), 1u);
}

TEST_F(SerialBringUp, VirtualSlotsInTheirOrder) {
    const std::array<const char*, 11> kSlots = {
        "Uart::write(unsigned char)",
        "Print::write(unsigned char const*, unsigned int)",
        "Uart::availableForWrite()",
        "Uart::flush()",
        "Uart::available()",
        "Uart::read()",
        "Uart::peek()",
        "Uart::begin(unsigned long)",
        "Uart::begin(unsigned long, unsigned short)",
        "Uart::end()",
        "Uart::operator bool()",
    };
    const std::uint32_t table = board().read32(address_of("Serial1"));
    for (std::size_t slot = 0; slot < kSlots.size(); ++slot)
        EXPECT_EQ(board().read32(table + 4 * static_cast<std::uint32_t>(slot)),
                  address_of(kSlots[slot]) | 1u)
            << "slot " << slot;
}

TEST_F(SerialBringUp, BeginLeavesTheModuleConfiguredWithItsClockAndInterruptLine) {
    begin("Serial1", 115200);
    EXPECT_EQ(sercom_register(1, Usart::kCTRLA, 4), kCtrlaSerial1);
    EXPECT_EQ(sercom_register(1, Usart::kCTRLB, 4), kCtrlbTxRx);
    EXPECT_EQ(sercom_register(1, Usart::kBAUD, 2), kBaud115200);
    EXPECT_EQ(sercom_register(1, Usart::kINTENSET, 1), kRxcAndError);
    EXPECT_EQ(sercom_register(1, Usart::kSYNCBUSY, 4), 0u);
    EXPECT_TRUE(board().model<vboard::Nvic>().enabled(9));
    EXPECT_EQ(board().model<vboard::Nvic>().priority_byte(9), 0xC0);
    EXPECT_EQ(board().model<vboard::Gclk>().pchctrl(19), 0x40u);
    EXPECT_EQ(usart(1).bit_time(), testing_support::kBitTime);
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

struct ConfigCase {
    std::uint16_t config;
    std::uint32_t ctrla;
    std::uint32_t ctrlb;
    unsigned frame_bits;
};

class ConfigurationWord : public SerialPortTest, public ::testing::WithParamInterface<ConfigCase> {
  protected:
    void SetUp() override { start(); }
};

// Parity in bits 0-3 (1 even, 2 odd), stop bits in 4-7 (3: two), data bits
// in 8-11 (1..3: 5..7, else 8); bits 12-15 are ignored.
TEST_P(ConfigurationWord, DecodesIntoFrameSettings) {
    const ConfigCase& c = GetParam();
    begin("Serial1", 115200, c.config);
    EXPECT_EQ(sercom_register(1, Usart::kCTRLA, 4), c.ctrla);
    EXPECT_EQ(sercom_register(1, Usart::kCTRLB, 4), c.ctrlb);
    EXPECT_EQ(usart(1).frame_time(), c.frame_bits * testing_support::kBitTime);
}

constexpr std::uint32_t kParityForm = 1u << 24;
INSTANTIATE_TEST_SUITE_P(
    Words, ConfigurationWord,
    ::testing::Values(ConfigCase{0x413, kCtrlaSerial1, kCtrlbTxRx, 10},
                      ConfigCase{0x23A, kCtrlaSerial1, kCtrlbTxRx | Usart::kSbmode | 6, 9},
                      ConfigCase{0x001, kCtrlaSerial1 | kParityForm, kCtrlbTxRx, 11},
                      ConfigCase{0x412, kCtrlaSerial1 | kParityForm, kCtrlbTxRx | Usart::kPmode,
                                 11},
                      ConfigCase{0x433, kCtrlaSerial1, kCtrlbTxRx | Usart::kSbmode, 11},
                      ConfigCase{0x113, kCtrlaSerial1, kCtrlbTxRx | 5, 7},
                      ConfigCase{0x313, kCtrlaSerial1, kCtrlbTxRx | 7, 9},
                      ConfigCase{0x013, kCtrlaSerial1, kCtrlbTxRx, 10},
                      ConfigCase{0xF413, kCtrlaSerial1, kCtrlbTxRx, 10}));

TEST_F(SerialBringUp, ClockAndLineSetUpIgnoresAnAddressThatIsNoModule) {
    // A SERCOM object in RAM whose field holds TCC0's register block.
    constexpr std::uint32_t kTcc0Base = 0x42001400;
    const std::uint32_t object = scratch();
    board().write32(object, kTcc0Base);
    const auto state = [this] {
        std::vector<std::uint32_t> words;
        words.push_back(board().read32(kNvicIser));
        for (unsigned w = 0; w < 8; ++w) words.push_back(board().read32(kNvicIpr + 4 * w));
        for (unsigned ch = 0; ch < vboard::Gclk::kChannels; ++ch)
            words.push_back(board().model<vboard::Gclk>().pchctrl(ch));
        return words;
    };
    const std::vector<std::uint32_t> before = state();
    call("SERCOM::initClockNVIC()", {object});
    EXPECT_EQ(state(), before);
}

TEST_F(SerialBringUp, Serial0TransmitsOnPin0AndReceivesOnPin1) {
    begin("Serial0");
    const std::uint32_t ctrla = sercom_register(0, Usart::kCTRLA, 4);
    EXPECT_EQ((ctrla & Usart::kTxpoMask) >> Usart::kTxpoPos, 1u);  // TXPO 1: pad 2
    EXPECT_EQ((ctrla & Usart::kRxpoMask) >> Usart::kRxpoPos, 3u);  // RXPO 3: pad 3
    const vboard::Port& port = board().model<vboard::Port>();
    for (unsigned pa : {10u, 11u}) {  // pin 0 is PA10 (pad 2), pin 1 is PA11 (pad 3)
        EXPECT_TRUE(port.pin(pa).muxed) << "PA" << pa;
        EXPECT_EQ(port.pin(pa).function, 2u) << "PA" << pa;  // C: SERCOM0
    }
}

// Each module's interrupt reaches the port built on it: a byte received on
// SERCOMn lands in Serialn's receive ring.
TEST_F(SerialBringUp, EachModulesInterruptReachesItsPort) {
    for (unsigned m = 0; m < 4; ++m) {
        const std::string port = "Serial" + std::to_string(m);
        begin(port);
        usart(m).receive(static_cast<std::uint8_t>(0x40 + m));
        run_for(2 * testing_support::kFrameTime);
        EXPECT_EQ(available(port), 1) << port;
        EXPECT_EQ(read(port), static_cast<int>(0x40 + m)) << port;
    }
}

TEST_F(SerialBringUp, VectorSlotsOfTheSerialHandlers) {
    constexpr std::uint32_t kFirstIrqWord = 16;
    for (unsigned m = 0; m < 4; ++m) {
        const std::string handler = "SERCOM" + std::to_string(m) + "_Handler";
        EXPECT_EQ(board().read32(4 * (kFirstIrqWord + 8 + m)), address_of(handler) | 1u) << handler;
    }
    EXPECT_EQ(board().read32(4 * (kFirstIrqWord + 12)), address_of("Dummy_Handler") | 1u);
}

TEST_F(SerialBringUp, ASercom4InterruptEndsInDummyHandler) {
    // SERCOM4 as a USART with its receive interrupt on, through the module
    // operations.
    const std::uint32_t sercom4 = address_of("sercom4");
    call("SERCOM::initUART(SercomUartMode, SercomUartSampleRate, unsigned long)",
         {sercom4, 1, 1, 115200});
    call("SERCOM::initPads(SercomUartTXPad, SercomRXPad)", {sercom4, 1, 3});
    call("SERCOM::enableUART()", {sercom4});
    usart(4).receive(0x55);
    const vboard::RunResult r = board().run_for(vboard::kMillisecond);
    ASSERT_EQ(r.reason, vboard::StopReason::Fault);
    EXPECT_NE(r.message.find("Dummy_Handler"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("SERCOM4"), std::string::npos) << r.message;
}

}  // namespace
