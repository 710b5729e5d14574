// Waiting for the ADC's register synchronisation.
#pragma once

#include "chip/adc.h"

// Waits until no ADC register is being synchronised.
inline void waitForAdcSync() {
    while ((chip::ADC.SYNCBUSY & chip::adc::SYNCBUSY_ALL) != 0) {
    }
}
