// WDT: watchdog timer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Wdt {
    volatile uint8_t CTRLA;   // 0x00
    volatile uint8_t CONFIG;  // 0x01
    volatile uint8_t EWCTRL;  // 0x02
    uint8_t Reserved1[1];
    volatile uint8_t INTENCLR;  // 0x04
    volatile uint8_t INTENSET;  // 0x05
    volatile uint8_t INTFLAG;   // 0x06
    uint8_t Reserved2[1];
    const volatile uint32_t SYNCBUSY;  // 0x08
    volatile uint8_t CLEAR;            // 0x0C, write-only
};

static_assert(offsetof(Wdt, CTRLA) == 0x00);
static_assert(offsetof(Wdt, CONFIG) == 0x01);
static_assert(offsetof(Wdt, EWCTRL) == 0x02);
static_assert(offsetof(Wdt, INTENCLR) == 0x04);
static_assert(offsetof(Wdt, INTENSET) == 0x05);
static_assert(offsetof(Wdt, INTFLAG) == 0x06);
static_assert(offsetof(Wdt, SYNCBUSY) == 0x08);
static_assert(offsetof(Wdt, CLEAR) == 0x0C);

namespace wdt {

constexpr uint32_t CTRLA_ENABLE = bit(1);
constexpr uint32_t CTRLA_WEN = bit(2);
constexpr uint32_t CTRLA_ALWAYSON = bit(7);

// CONFIG and EWCTRL: code k selects 8 << k cycles of the WDT clock (k = 0 to 11).
using CONFIG_PER = Field<0, 4>;
using CONFIG_WINDOW = Field<4, 4>;
using EWCTRL_EWOFFSET = Field<0, 4>;
constexpr uint32_t PERIOD_CYC8 = 0;
constexpr uint32_t PERIOD_CYC16 = 1;
constexpr uint32_t PERIOD_CYC32 = 2;
constexpr uint32_t PERIOD_CYC64 = 3;
constexpr uint32_t PERIOD_CYC128 = 4;
constexpr uint32_t PERIOD_CYC256 = 5;
constexpr uint32_t PERIOD_CYC512 = 6;
constexpr uint32_t PERIOD_CYC1024 = 7;
constexpr uint32_t PERIOD_CYC2048 = 8;
constexpr uint32_t PERIOD_CYC4096 = 9;
constexpr uint32_t PERIOD_CYC8192 = 10;
constexpr uint32_t PERIOD_CYC16384 = 11;

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_EW = bit(0);  // early warning

// SYNCBUSY
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_WEN = bit(2);
constexpr uint32_t SYNCBUSY_ALWAYSON = bit(3);
constexpr uint32_t SYNCBUSY_CLEAR = bit(4);

// CLEAR: any other value resets the chip at once.
constexpr uint32_t CLEAR_KEY = 0xA5;

}  // namespace wdt

inline Wdt& WDT = *reinterpret_cast<Wdt*>(WDT_BASE);

}  // namespace chip
