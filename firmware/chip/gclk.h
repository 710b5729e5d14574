// GCLK: generic clock controller (generators 0 to 8, peripheral channels 0 to 35).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

constexpr unsigned GCLK_NUM_GENERATORS = 9;
constexpr unsigned GCLK_NUM_CHANNELS = 36;

struct Gclk {
    volatile uint8_t CTRLA;  // 0x00
    uint8_t Reserved1[3];
    const volatile uint32_t SYNCBUSY;  // 0x04
    uint8_t Reserved2[0x18];
    volatile uint32_t GENCTRL[GCLK_NUM_GENERATORS];  // 0x20
    uint8_t Reserved3[0x3C];
    volatile uint32_t PCHCTRL[GCLK_NUM_CHANNELS];  // 0x80
};

static_assert(offsetof(Gclk, CTRLA) == 0x00);
static_assert(offsetof(Gclk, SYNCBUSY) == 0x04);
static_assert(offsetof(Gclk, GENCTRL) == 0x20);
static_assert(offsetof(Gclk, PCHCTRL) == 0x80);
static_assert(sizeof(Gclk) == 0x80 + 4 * GCLK_NUM_CHANNELS);

namespace gclk {

constexpr uint32_t CTRLA_SWRST = bit(0);

// SYNCBUSY: the software reset and one bit per generator register.
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
using SYNCBUSY_GENCTRL = Field<2, GCLK_NUM_GENERATORS>;
constexpr uint32_t SYNCBUSY_GENCTRL0 = bit(2);
constexpr uint32_t SYNCBUSY_GENCTRL1 = bit(3);
static_assert((SYNCBUSY_SWRST | SYNCBUSY_GENCTRL::Msk) == 0x7FD);

// GENCTRL
using GENCTRL_SRC = Field<0, 4>;
constexpr uint32_t SRC_XOSC = 0;
constexpr uint32_t SRC_GCLKIN = 1;
constexpr uint32_t SRC_GCLKGEN1 = 2;
constexpr uint32_t SRC_OSCULP32K = 3;
constexpr uint32_t SRC_OSC32K = 4;
constexpr uint32_t SRC_XOSC32K = 5;
constexpr uint32_t SRC_OSC16M = 6;
constexpr uint32_t SRC_DFLL48M = 7;
constexpr uint32_t SRC_DPLL96M = 8;
constexpr uint32_t GENCTRL_GENEN = bit(8);
constexpr uint32_t GENCTRL_IDC = bit(9);
constexpr uint32_t GENCTRL_OOV = bit(10);
constexpr uint32_t GENCTRL_OE = bit(11);
constexpr uint32_t GENCTRL_DIVSEL = bit(12);
constexpr uint32_t GENCTRL_RUNSTDBY = bit(13);
using GENCTRL_DIV = Field<16, 16>;

// PCHCTRL
using PCHCTRL_GEN = Field<0, 4>;
constexpr uint32_t PCHCTRL_CHEN = bit(6);
constexpr uint32_t PCHCTRL_WRTLOCK = bit(7);

// Peripheral channel numbers (index into PCHCTRL).
constexpr unsigned PCH_OSCCTRL_DFLL48 = 0;
constexpr unsigned PCH_OSCCTRL_FDPLL = 1;
constexpr unsigned PCH_OSCCTRL_FDPLL32K = 2;
constexpr unsigned PCH_EIC = 3;
constexpr unsigned PCH_USB = 4;
constexpr unsigned PCH_EVSYS_CHANNEL_0 = 5;  // to 16 for channel 11
constexpr unsigned PCH_SERCOMX_SLOW = 17;    // shared by SERCOM0 to SERCOM4
constexpr unsigned PCH_SERCOM0_CORE = 18;
constexpr unsigned PCH_SERCOM1_CORE = 19;
constexpr unsigned PCH_SERCOM2_CORE = 20;
constexpr unsigned PCH_SERCOM3_CORE = 21;
constexpr unsigned PCH_SERCOM4_CORE = 22;
constexpr unsigned PCH_SERCOM5_SLOW = 23;
constexpr unsigned PCH_SERCOM5_CORE = 24;
constexpr unsigned PCH_TCC0_TCC1 = 25;
constexpr unsigned PCH_TCC2 = 26;
constexpr unsigned PCH_TC0_TC1 = 27;
constexpr unsigned PCH_TC4 = 29;
constexpr unsigned PCH_ADC = 30;
constexpr unsigned PCH_AC = 31;
constexpr unsigned PCH_DAC = 32;
constexpr unsigned PCH_PTC = 33;
constexpr unsigned PCH_CCL = 34;

}  // namespace gclk

inline Gclk& GCLK = *reinterpret_cast<Gclk*>(GCLK_BASE);

}  // namespace chip
