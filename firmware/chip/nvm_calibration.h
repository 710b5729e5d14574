// NVM software calibration area: the factory word at NVMCTRL_OTP5_ADDR.
#pragma once

#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

namespace nvm_calibration {

using ADC_BIASREFBUF = Field<0, 3>;  // for ADC CALIB.BIASREFBUF
using ADC_BIASCOMP = Field<3, 3>;    // for ADC CALIB.BIASCOMP
using OSC32K_CAL = Field<6, 7>;
using USB_TRANSN = Field<13, 5>;
using USB_TRANSP = Field<18, 5>;
using USB_TRIM = Field<23, 3>;
using DFLL48M_COARSE_CAL = Field<26, 6>;

// The first 32-bit word of the area.
inline uint32_t readWord() {
    return *reinterpret_cast<const volatile uint32_t*>(NVMCTRL_OTP5_ADDR);
}

}  // namespace nvm_calibration

}  // namespace chip
