// Exception and interrupt numbers of the SAML21E17B. Negative values are core exceptions
// (exception number - 16); 0 to 28 are the NVIC lines.
#pragma once

namespace chip {

enum IRQn : int {
    NonMaskableInt_IRQn = -14,
    HardFault_IRQn = -13,
    SVCall_IRQn = -5,
    PendSV_IRQn = -2,
    SysTick_IRQn = -1,
    SYSTEM_IRQn = 0,  // MCLK, OSCCTRL, OSC32KCTRL, PAC, PM, SUPC, TAL
    WDT_IRQn = 1,
    RTC_IRQn = 2,
    EIC_IRQn = 3,
    NVMCTRL_IRQn = 4,
    DMAC_IRQn = 5,
    USB_IRQn = 6,
    EVSYS_IRQn = 7,
    SERCOM0_IRQn = 8,
    SERCOM1_IRQn = 9,
    SERCOM2_IRQn = 10,
    SERCOM3_IRQn = 11,
    SERCOM4_IRQn = 12,
    SERCOM5_IRQn = 13,
    TCC0_IRQn = 14,
    TCC1_IRQn = 15,
    TCC2_IRQn = 16,
    TC0_IRQn = 17,
    TC1_IRQn = 18,
    // Lines 19 and 20 are reserved on the E package (TC2, TC3 on larger parts).
    TC4_IRQn = 21,
    ADC_IRQn = 22,
    AC_IRQn = 23,
    DAC_IRQn = 24,
    PTC_IRQn = 25,
    AES_IRQn = 26,
    TRNG_IRQn = 27,
    // Line 28 is reserved.
    PERIPH_COUNT_IRQn = 29,
};

constexpr unsigned NVIC_PRIO_BITS = 2;  // priority levels 0 (most urgent) to 3

}  // namespace chip
