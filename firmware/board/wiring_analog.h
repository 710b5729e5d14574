// Voltage reference of the analogue-to-digital converter.
#pragma once

#include <cstdint>

enum eAnalogReference : uint8_t {
    AR_INTREF = 0,  // SUPC VREF at its current level
    AR_INTERNAL_INTVCC0 = 1,
    AR_INTERNAL_INTVCC1 = 2,
    AR_EXTERNAL_REFA = 3,  // pin 22 (PA03)
    AR_EXTERNAL_REFB = 4,  // pin 8 (PA04)
    AR_INTERNAL_INTVCC2 = 5,
    AR_INTREF_1V0 = 6,  // SUPC VREF at 1.0 V
    AR_INTREF_1V1 = 7,
    AR_INTREF_1V2 = 8,
    AR_INTREF_1V25 = 9,
    AR_INTREF_2V0 = 10,
    AR_INTREF_2V2 = 11,
    AR_INTREF_2V4 = 12,
    AR_INTREF_2V5 = 13,
    AR_DEFAULT = AR_INTERNAL_INTVCC2,
    AR_INTERNAL1V0 = AR_INTREF,
    AR_INTERNAL = AR_INTERNAL_INTVCC0,
    AR_INTERNAL2V23 = AR_INTERNAL_INTVCC0,
    AR_INTERNAL1V65 = AR_INTERNAL_INTVCC1,
    AR_EXTERNAL = AR_EXTERNAL_REFA,
};

extern "C" {

// Selects the ADC reference and makes one discarded conversion with it. The ADC is left
// disabled. An external reference whose pin cannot be routed leaves everything unchanged.
void analogReference(eAnalogReference mode);
}
