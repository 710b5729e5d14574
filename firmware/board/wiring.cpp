#include "board/wiring.h"

#include "board/adc_sync.h"
#include "board/clock.h"
#include "board/startup.h"
#include "board/variant.h"
#include "board/wiring_analog.h"
#include "board/wiring_digital.h"
#include "chip/adc.h"
#include "chip/dac.h"
#include "chip/gclk.h"
#include "chip/mclk.h"
#include "chip/nvm_calibration.h"
#include "chip/supc.h"
#include "core/delay.h"

using namespace chip;

namespace {

// Bus clocks of the serial modules, timers and DAC on bridge C.
constexpr uint32_t kApbcPeripherals =
    mclk::APBCMASK_SERCOM0 | mclk::APBCMASK_SERCOM1 | mclk::APBCMASK_SERCOM2 |
    mclk::APBCMASK_SERCOM3 | mclk::APBCMASK_SERCOM4 | mclk::APBCMASK_TCC0 | mclk::APBCMASK_TCC1 |
    mclk::APBCMASK_TCC2 | mclk::APBCMASK_TC0 | mclk::APBCMASK_TC1 | mclk::APBCMASK_TC2 |
    mclk::APBCMASK_DAC;
static_assert(kApbcPeripherals == 0x17FF);

constexpr uint32_t kChannelOnGenerator0 =
    gclk::PCHCTRL_CHEN | gclk::PCHCTRL_GEN::val(board::kPeripheralClockGenerator);
static_assert(kChannelOnGenerator0 == 0x40);

// Not a pin: offered PIO_INPUT after the start-up pass, and refused.
constexpr uint32_t kNotAPin = 31;

constexpr uint32_t kAdcPrescaler = adc::CTRLB_PRESCALER::val(adc::PRESCALER_DIV256);
constexpr uint32_t kAdcResolution = adc::CTRLC_RESSEL::val(adc::RESSEL_10BIT);
constexpr uint32_t kAdcSampleLength = adc::SAMPCTRL_SAMPLEN::val(63);
constexpr uint32_t kAdcInput =
    adc::INPUTCTRL_MUXPOS::val(adc::MUXPOS_AIN0) | adc::INPUTCTRL_MUXNEG::val(adc::MUXNEG_GND);
constexpr uint32_t kAdcAveraging =
    adc::AVGCTRL_SAMPLENUM::val(adc::SAMPLENUM_1) | adc::AVGCTRL_ADJRES::val(0);
static_assert(kAdcPrescaler == 7 && kAdcResolution == 0x20 && kAdcSampleLength == 0x3F &&
              kAdcInput == 0x1800 && kAdcAveraging == 0);

constexpr uint32_t kDacReference = dac::CTRLB_REFSEL::val(dac::REFSEL_VDDANA);
constexpr uint32_t kDacChannelConfig =
    dac::DACCTRL_CCTRL::val(dac::CCTRL_CC12M) | dac::DACCTRL_REFRESH::val(3);
static_assert(kDacReference == 2 && kDacChannelConfig == 0x308);

void enableBusClocks() {
    uint32_t regAPBCMASK = MCLK.APBCMASK;
    regAPBCMASK |= kApbcPeripherals;
    MCLK.APBDMASK |= mclk::APBDMASK_SERCOM5 | mclk::APBDMASK_TC4;
    MCLK.APBDMASK |= mclk::APBDMASK_ADC;
    MCLK.APBCMASK |= regAPBCMASK;
}

void offerStartupPinConfiguration() {
    for (uint32_t ulPin = 0; ulPin < PINS_COUNT; ++ulPin) {
        pinMode(ulPin, PIO_STARTUP);
    }
    pinMode(kNotAPin, PIO_INPUT);
}

void setUpAdc() {
    const uint32_t calibration = nvm_calibration::readWord();
    const uint32_t biasrefbuf = nvm_calibration::ADC_BIASREFBUF::get(calibration);
    const uint32_t biascomp = nvm_calibration::ADC_BIASCOMP::get(calibration);
    ADC.CALIB = static_cast<uint16_t>(adc::CALIB_BIASREFBUF::val(biasrefbuf) |
                                      adc::CALIB_BIASCOMP::val(biascomp));
    waitForAdcSync();

    SUPC.VREF |= supc::VREF_VREFOE;

    GCLK.PCHCTRL[gclk::PCH_ADC] = kChannelOnGenerator0;
    waitForSync();

    ADC.CTRLB = kAdcPrescaler;
    ADC.CTRLC = kAdcResolution;
    waitForAdcSync();
    ADC.SAMPCTRL = kAdcSampleLength;
    waitForAdcSync();
    ADC.INPUTCTRL = kAdcInput;
    waitForAdcSync();
    ADC.AVGCTRL = kAdcAveraging;
    waitForAdcSync();

    analogReference(AR_DEFAULT);
}

void setUpDac() {
    waitForSync();
    GCLK.PCHCTRL[gclk::PCH_DAC] = kChannelOnGenerator0;
    while ((GCLK.PCHCTRL[gclk::PCH_DAC] & gclk::PCHCTRL_CHEN) == 0) {
    }

    while ((DAC.SYNCBUSY & dac::SYNCBUSY_ALL) != 0) {
    }
    DAC.CTRLB = kDacReference;
    DAC.DACCTRL[0] = kDacChannelConfig;
    DAC.DACCTRL[1] = kDacChannelConfig;
}

}  // namespace

extern "C" void init() {
    startSysTick();
    enableBusClocks();
    offerStartupPinConfiguration();
    setUpAdc();
    setUpDac();
}
