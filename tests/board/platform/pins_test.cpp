// Pin table and pin multiplexing: pinPeripheral, pinMode and digitalWrite,
// called in the image and checked on the PORT registers.
#include "board_fixture.h"
#include "models/port.h"

namespace {

using namespace vboard;

// Roles (_EPioType) and levels.
constexpr std::uint32_t kInput = 0, kOutput = 1, kInputPullup = 2, kInputPulldown = 3, kSercom = 13,
                        kStartup = 18, kMulti = 17, kNotAPin = 0xFFFFFFFF;
constexpr std::uint32_t kLow = 0, kHigh = 1;
constexpr std::uint32_t kRefused = 0xFFFFFFFF;  // -1

class Pins : public FullImageTest {
  protected:
    void SetUp() override { boot_to("setup"); }
    const Port& port() { return board().model<Port>(); }
    std::uint32_t pin_peripheral(std::uint32_t pin, std::uint32_t role) {
        return call("pinPeripheral", {pin, role});
    }
    void pin_mode(std::uint32_t pin, std::uint32_t mode) { call("pinMode", {pin, mode}); }
    void digital_write(std::uint32_t pin, std::uint32_t value) {
        call("digitalWrite", {pin, value});
    }
};

struct Refusal {
    std::uint32_t pin;
    std::uint32_t role;
    const char* why;
};

class PinRefusals : public Pins, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PinRefusals, AreSilentAndTouchNoRegister) {
    EXPECT_EQ(pin_peripheral(GetParam().pin, GetParam().role), kRefused) << GetParam().why;
    EXPECT_EQ(port().writes(), 0u) << GetParam().why;
    EXPECT_EQ(board().cpu().primask(), false);
}

INSTANTIATE_TEST_SUITE_P(Cases, PinRefusals,
                         ::testing::Values(Refusal{25, kInput, "pin number above 24"},
                                           Refusal{19, kSercom, "PA30 has no serial function"},
                                           Refusal{8, kSercom,
                                                   "PA04 has no serial function in the table"},
                                           Refusal{2, kMulti, "PIO_MULTI is not a role"},
                                           Refusal{2, kNotAPin, "PIO_NOT_A_PIN"},
                                           Refusal{2, 40, "a role beyond the attribute word"}));

TEST_F(Pins, StartupRoleIsRefusedOnEveryPin) {
    for (std::uint32_t p = 0; p <= 24; ++p)
        EXPECT_EQ(pin_peripheral(p, kStartup), kRefused) << "pin " << p;
    pin_mode(31, kInput);
    EXPECT_EQ(port().writes(), 0u);
}

TEST_F(Pins, SerialFunctionOnEvenAndOddPinsOfOnePair) {
    EXPECT_EQ(pin_peripheral(2, kSercom), 0u);  // PA18, function C
    EXPECT_EQ(port().pmux(9), 0x02);
    EXPECT_TRUE(port().pin(18).muxed);
    EXPECT_EQ(pin_peripheral(3, kSercom), 0u);  // PA19
    EXPECT_EQ(port().pmux(9), 0x22) << "PMUXO set, PMUXE kept";
    EXPECT_FALSE(board().cpu().primask()) << "interrupts are unmasked again";
}

TEST_F(Pins, AlternateSerialFunctionForTheI2cPins) {
    pin_peripheral(14, kSercom);
    pin_peripheral(15, kSercom);
    EXPECT_EQ(port().pmux(11), 0x33);
    EXPECT_EQ(port().pincfg(22) & Port::kPmuxen, Port::kPmuxen);
    EXPECT_EQ(port().pincfg(23) & Port::kPmuxen, Port::kPmuxen);
}

TEST_F(Pins, OutputUsesTheStrongDriveAndKeepsTheOutLevel) {
    pin_mode(6, kOutput);  // PA16
    EXPECT_EQ(port().pincfg(16), 0x42);
    EXPECT_TRUE(port().dir() & (1u << 16));
    EXPECT_FALSE(port().out() & (1u << 16));
}

TEST_F(Pins, PullUpInputAndItsPullSwitchedByDigitalWrite) {
    pin_mode(22, kInputPullup);  // PA03
    EXPECT_FALSE(port().dir() & (1u << 3));
    EXPECT_TRUE(port().out() & (1u << 3));
    EXPECT_EQ(port().pincfg(3), 0x06);
    digital_write(22, kLow);
    EXPECT_EQ(port().pincfg(3), 0x02);
    digital_write(22, kHigh);
    EXPECT_EQ(port().pincfg(3), 0x06);
    EXPECT_EQ(port().pin(3).pull, Pull::Up);
}

TEST_F(Pins, PullDownInputKeepsThePullDownOnHigh) {
    pin_mode(16, kInputPulldown);  // PA24
    EXPECT_FALSE(port().out() & (1u << 24));
    EXPECT_EQ(port().pincfg(24), 0x06);
    digital_write(16, kHigh);
    EXPECT_EQ(port().pincfg(24), 0x06);
    EXPECT_EQ(port().pin(24).pull, Pull::Down);
}

TEST_F(Pins, OnlyTheValueOneDrivesHigh) {
    pin_mode(7, kOutput);  // PA17
    digital_write(7, kHigh);
    EXPECT_TRUE(port().pin(17).level);
    digital_write(7, 2);
    EXPECT_FALSE(port().pin(17).level);
}

TEST_F(Pins, DigitalWriteOnAnInputChangesOnlyThatPinsPull) {
    pin_mode(6, kOutput);
    digital_write(6, kHigh);
    pin_mode(17, kInputPulldown);  // PA25
    pin_mode(22, kInput);          // PA03, OUT set by PIO_INPUT
    const std::uint32_t dir = port().dir(), out = port().out();
    std::uint8_t cfg[Port::kPins];
    for (unsigned n = 0; n < Port::kPins; ++n) cfg[n] = port().pincfg(n);
    digital_write(22, kHigh);
    EXPECT_EQ(port().dir(), dir);
    EXPECT_EQ(port().out(), out);
    for (unsigned n = 0; n < Port::kPins; ++n) {
        if (n == 3)
            EXPECT_EQ(port().pincfg(n), cfg[n] | Port::kPullen);
        else
            EXPECT_EQ(port().pincfg(n), cfg[n]) << "PINCFG" << n;
    }
}

TEST_F(Pins, DigitalWriteIgnoresPinsOutsideTheTable) {
    // Without this guard a bad pin number would index past the table and
    // write a port register at a random offset.
    digital_write(25, kHigh);
    digital_write(200, kLow);
    EXPECT_EQ(port().writes(), 0u);
}

}  // namespace
