// MCLK: main clock (CPU divider and the bus clock masks).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Mclk {
    volatile uint8_t CTRLA;     // 0x00
    volatile uint8_t INTENCLR;  // 0x01
    volatile uint8_t INTENSET;  // 0x02
    volatile uint8_t INTFLAG;   // 0x03
    volatile uint8_t CPUDIV;    // 0x04
    volatile uint8_t LPDIV;     // 0x05
    volatile uint8_t BUPDIV;    // 0x06
    uint8_t Reserved1[9];
    volatile uint32_t AHBMASK;   // 0x10
    volatile uint32_t APBAMASK;  // 0x14
    volatile uint32_t APBBMASK;  // 0x18
    volatile uint32_t APBCMASK;  // 0x1C
    volatile uint32_t APBDMASK;  // 0x20
    volatile uint32_t APBEMASK;  // 0x24
};

static_assert(offsetof(Mclk, CTRLA) == 0x00);
static_assert(offsetof(Mclk, INTENCLR) == 0x01);
static_assert(offsetof(Mclk, INTENSET) == 0x02);
static_assert(offsetof(Mclk, INTFLAG) == 0x03);
static_assert(offsetof(Mclk, CPUDIV) == 0x04);
static_assert(offsetof(Mclk, LPDIV) == 0x05);
static_assert(offsetof(Mclk, BUPDIV) == 0x06);
static_assert(offsetof(Mclk, AHBMASK) == 0x10);
static_assert(offsetof(Mclk, APBAMASK) == 0x14);
static_assert(offsetof(Mclk, APBBMASK) == 0x18);
static_assert(offsetof(Mclk, APBCMASK) == 0x1C);
static_assert(offsetof(Mclk, APBDMASK) == 0x20);
static_assert(offsetof(Mclk, APBEMASK) == 0x24);

namespace mclk {

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_CKRDY = bit(0);

// CPUDIV, LPDIV, BUPDIV: one-hot dividers.
constexpr uint32_t CPUDIV_DIV1 = 0x01;
constexpr uint32_t CPUDIV_DIV2 = 0x02;
constexpr uint32_t CPUDIV_DIV4 = 0x04;
constexpr uint32_t CPUDIV_DIV8 = 0x08;
constexpr uint32_t CPUDIV_DIV16 = 0x10;
constexpr uint32_t CPUDIV_DIV32 = 0x20;
constexpr uint32_t CPUDIV_DIV64 = 0x40;
constexpr uint32_t CPUDIV_DIV128 = 0x80;

// AHBMASK
constexpr uint32_t AHBMASK_HPB0 = bit(0);
constexpr uint32_t AHBMASK_HPB1 = bit(1);
constexpr uint32_t AHBMASK_HPB2 = bit(2);
constexpr uint32_t AHBMASK_HPB3 = bit(3);
constexpr uint32_t AHBMASK_HPB4 = bit(4);
constexpr uint32_t AHBMASK_DSU = bit(5);
constexpr uint32_t AHBMASK_NVMCTRL = bit(8);
constexpr uint32_t AHBMASK_HSRAM = bit(9);
constexpr uint32_t AHBMASK_LPRAM = bit(10);
constexpr uint32_t AHBMASK_DMAC = bit(11);
constexpr uint32_t AHBMASK_USB = bit(12);
constexpr uint32_t AHBMASK_PAC = bit(14);

// APBAMASK (bridge A: peripheral ID mod 32)
constexpr uint32_t APBAMASK_PM = bit(0);
constexpr uint32_t APBAMASK_MCLK = bit(1);
constexpr uint32_t APBAMASK_RSTC = bit(2);
constexpr uint32_t APBAMASK_OSCCTRL = bit(3);
constexpr uint32_t APBAMASK_OSC32KCTRL = bit(4);
constexpr uint32_t APBAMASK_SUPC = bit(5);
constexpr uint32_t APBAMASK_GCLK = bit(6);
constexpr uint32_t APBAMASK_WDT = bit(7);
constexpr uint32_t APBAMASK_RTC = bit(8);
constexpr uint32_t APBAMASK_EIC = bit(9);
constexpr uint32_t APBAMASK_PORT = bit(10);

// APBBMASK
constexpr uint32_t APBBMASK_USB = bit(0);
constexpr uint32_t APBBMASK_DSU = bit(1);
constexpr uint32_t APBBMASK_NVMCTRL = bit(2);

// APBCMASK
constexpr uint32_t APBCMASK_SERCOM0 = bit(0);
constexpr uint32_t APBCMASK_SERCOM1 = bit(1);
constexpr uint32_t APBCMASK_SERCOM2 = bit(2);
constexpr uint32_t APBCMASK_SERCOM3 = bit(3);
constexpr uint32_t APBCMASK_SERCOM4 = bit(4);
constexpr uint32_t APBCMASK_TCC0 = bit(5);
constexpr uint32_t APBCMASK_TCC1 = bit(6);
constexpr uint32_t APBCMASK_TCC2 = bit(7);
constexpr uint32_t APBCMASK_TC0 = bit(8);
constexpr uint32_t APBCMASK_TC1 = bit(9);
constexpr uint32_t APBCMASK_TC2 = bit(10);  // no TC2 on the E package
constexpr uint32_t APBCMASK_TC3 = bit(11);  // no TC3 on the E package
constexpr uint32_t APBCMASK_DAC = bit(12);
constexpr uint32_t APBCMASK_AES = bit(13);
constexpr uint32_t APBCMASK_TRNG = bit(14);

// APBDMASK
constexpr uint32_t APBDMASK_EVSYS = bit(0);
constexpr uint32_t APBDMASK_SERCOM5 = bit(1);
constexpr uint32_t APBDMASK_TC4 = bit(2);
constexpr uint32_t APBDMASK_ADC = bit(3);
constexpr uint32_t APBDMASK_AC = bit(4);
constexpr uint32_t APBDMASK_PTC = bit(5);
constexpr uint32_t APBDMASK_OPAMP = bit(6);
constexpr uint32_t APBDMASK_CCL = bit(7);

// APBEMASK
constexpr uint32_t APBEMASK_PAC = bit(0);

}  // namespace mclk

inline Mclk& MCLK = *reinterpret_cast<Mclk*>(MCLK_BASE);

}  // namespace chip
