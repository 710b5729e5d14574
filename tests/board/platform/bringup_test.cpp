// Clock and peripheral bring-up: the state SystemInit and init leave.
#include "board_fixture.h"
#include "models/adc.h"
#include "models/dac.h"
#include "models/gclk.h"
#include "models/mclk.h"
#include "models/nvmctrl.h"
#include "models/pm.h"
#include "models/port.h"
#include "models/supc.h"
#include "models/systick.h"

namespace {

using namespace vboard;

constexpr std::uint32_t kGenctrlOsc16mDiv1 = 0x00010106;
constexpr std::uint32_t kChannelOnGenerator0 = 0x40;
constexpr std::uint32_t kCalibrationWordAddress = 0x00806020;

class BringUp : public BoardTest {};

TEST_F(BringUp, SystemCoreClockGoesFrom1MHzTo8MHz) {
    boot_to("SystemInit");
    EXPECT_EQ(read32("SystemCoreClock"), 1000000u);
    boot_to("main");
    EXPECT_EQ(read32("SystemCoreClock"), 8000000u);
    const Nvmctrl& nvm = board().model<Nvmctrl>();
    EXPECT_EQ(nvm.wait_states(), 2u);
    EXPECT_TRUE(nvm.manual_write());
    EXPECT_EQ(board().model<Pm>().performance_level(), 2u);
    EXPECT_EQ(board().model<Mclk>().cpu_divider(), 1u);
}

TEST_F(BringUp, RegistersAfterInit) {
    boot_to("setup");
    const Gclk& gclk = board().model<Gclk>();
    EXPECT_EQ(gclk.genctrl(0), kGenctrlOsc16mDiv1);
    EXPECT_EQ(gclk.genctrl(1), kGenctrlOsc16mDiv1);
    EXPECT_EQ(gclk.pchctrl(30), kChannelOnGenerator0);
    EXPECT_EQ(gclk.pchctrl(32), kChannelOnGenerator0);
    const Adc& adc = board().model<Adc>();
    EXPECT_EQ(adc.value(Adc::kCTRLB), 7u);
    EXPECT_EQ(adc.value(Adc::kCTRLC), 0x20u);
    EXPECT_EQ(adc.value(Adc::kSAMPCTRL), 0x3Fu);
    EXPECT_EQ(adc.value(Adc::kINPUTCTRL), 0x1800u);
    EXPECT_EQ(adc.value(Adc::kAVGCTRL), 0u);
    EXPECT_EQ(adc.value(Adc::kREFCTRL) & 0xF, 5u);
    EXPECT_FALSE(adc.enabled());
    EXPECT_EQ(adc.conversions(), 1u) << "the reference change makes one discarded conversion";
    const Dac& dac = board().model<Dac>();
    EXPECT_EQ(dac.value(Dac::kCTRLB), 2u);
    EXPECT_EQ(dac.value(Dac::kDACCTRL0), 0x308u);
    EXPECT_EQ(dac.value(Dac::kDACCTRL1), 0x308u);
    EXPECT_FALSE(dac.enabled());
    EXPECT_TRUE(board().model<Supc>().reference_output_enabled());
    // Bus clocks: SERCOM0-4, TCC0-2, TC0-1, DAC on the C bridge; SERCOM5, TC4, ADC on D.
    EXPECT_EQ(board().model<Mclk>().value(Mclk::kAPBCMASK) & 0x17FF, 0x17FFu);
    EXPECT_EQ(board().model<Mclk>().value(Mclk::kAPBDMASK) & 0xE, 0xEu);
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

TEST_F(BringUp, EveryPinKeepsItsResetState) {
    boot_to("setup");
    const Port& port = board().model<Port>();
    EXPECT_EQ(port.writes(), 0u)
        << "PIO_STARTUP and pin 31 are refused, so no pin register is written";
    EXPECT_EQ(port.dir(), 0u);
    for (unsigned n = 0; n < Port::kPins; ++n) EXPECT_EQ(port.pincfg(n), 0u) << "PINCFG" << n;
}

struct CalibrationCase {
    std::uint32_t word;
    std::uint32_t calib;
};

class AdcCalibration : public BoardTest, public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(AdcCalibration, BiasFieldsComeFromTheSoftwareCalibrationWord) {
    board().write32(kCalibrationWordAddress, GetParam().word);
    boot_to("setup");
    EXPECT_EQ(board().model<Adc>().value(Adc::kCALIB), GetParam().calib);
}

INSTANTIATE_TEST_SUITE_P(
    Words, AdcCalibration,
    ::testing::Values(CalibrationCase{0x2B, 0x0305},        // biasrefbuf 3, biascomp 5
                      CalibrationCase{0xFFFFFFEB, 0x0305},  // upper bits do not matter
                      CalibrationCase{0x00000000, 0x0000}, CalibrationCase{0x3F, 0x0707}));

struct ReferenceCase {
    std::uint32_t mode;
    unsigned supc_sel;
    unsigned refsel;
};

class AnalogReference : public FullImageTest,
                        public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(AnalogReference, SelectsSupplyReferenceAndAdcRefsel) {
    boot_to("setup");
    call("analogReference", {GetParam().mode});
    EXPECT_EQ(board().model<Supc>().reference_select(), GetParam().supc_sel);
    EXPECT_EQ(board().model<Adc>().value(Adc::kREFCTRL) & 0xF, GetParam().refsel);
    EXPECT_FALSE(board().model<Adc>().enabled());
}

INSTANTIATE_TEST_SUITE_P(Modes, AnalogReference,
                         ::testing::Values(ReferenceCase{13, 7, 0},   // AR_INTREF_2V5
                                           ReferenceCase{6, 0, 0},    // AR_INTREF_1V0
                                           ReferenceCase{1, 0, 1},    // AR_INTERNAL_INTVCC0
                                           ReferenceCase{5, 0, 5}));  // AR_INTERNAL_INTVCC2

TEST_F(FullImageTest, IntrefClearsTheSupplyReferenceSelect) {
    boot_to("setup");
    call("analogReference", {13});
    call("analogReference", {0});  // AR_INTREF: 1.0 V
    EXPECT_EQ(board().model<Supc>().reference_select(), 0u);
}

TEST_F(FullImageTest, ExternalReferenceARoutesPin22ToItsAnalogueFunction) {
    boot_to("setup");
    call("analogReference", {3});  // AR_EXTERNAL_REFA
    const PinView pa03 = board().model<Port>().pin(3);
    EXPECT_TRUE(pa03.muxed);
    EXPECT_EQ(pa03.function, 1u);  // function B: analogue
    EXPECT_EQ(board().model<Adc>().value(Adc::kREFCTRL) & 0xF, 3u);
}

}  // namespace
