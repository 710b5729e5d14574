#include "board/wiring_analog.h"

#include "board/adc_sync.h"
#include "board/variant.h"
#include "board/wiring_private.h"
#include "chip/adc.h"
#include "chip/supc.h"

using namespace chip;

namespace {

void clearVrefSel() {
    SUPC.VREF &= ~supc::VREF_SEL::Msk;
}

}  // namespace

extern "C" void analogReference(eAnalogReference mode) {
    waitForAdcSync();

    uint32_t refsel = 0;
    switch (mode) {
        case AR_INTREF:
            clearVrefSel();
            refsel = adc::REFSEL_INTREF;
            break;
        case AR_INTERNAL_INTVCC0:
            refsel = adc::REFSEL_INTVCC0;
            break;
        case AR_INTERNAL_INTVCC1:
            refsel = adc::REFSEL_INTVCC1;
            break;
        case AR_EXTERNAL_REFA:
            if (pinPeripheral(PIN_AREFA, PIO_ANALOG_REF) != 0) {
                return;
            }
            refsel = adc::REFSEL_AREFA;
            break;
        case AR_EXTERNAL_REFB:
            if (pinPeripheral(PIN_AREFB, PIO_ANALOG_REF) != 0) {
                return;
            }
            refsel = adc::REFSEL_AREFB;
            break;
        case AR_INTERNAL_INTVCC2:
            refsel = adc::REFSEL_INTVCC2;
            break;
        default:  // AR_INTREF_1V0 and above: SUPC VREF level mode - AR_INTREF_1V0
            clearVrefSel();
            SUPC.VREF |= supc::VREF_SEL::val(static_cast<uint32_t>(mode) - AR_INTREF_1V0);
            refsel = adc::REFSEL_INTREF;
            break;
    }

    ADC.REFCTRL = static_cast<uint8_t>((ADC.REFCTRL & ~adc::REFCTRL_REFSEL::Msk) |
                                       adc::REFCTRL_REFSEL::val(refsel));
    waitForAdcSync();

    // One conversion with the new reference; its result is not used.
    ADC.CTRLA |= adc::CTRLA_ENABLE;
    waitForAdcSync();
    ADC.SWTRIG |= adc::SWTRIG_START;
    waitForAdcSync();
    while ((ADC.INTFLAG & adc::INTFLAG_RESRDY) == 0) {
    }
    ADC.INTFLAG = adc::INTFLAG_RESRDY;

    ADC.CTRLA &= static_cast<uint8_t>(~adc::CTRLA_ENABLE);
    waitForAdcSync();
}
