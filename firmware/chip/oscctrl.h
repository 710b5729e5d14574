// OSCCTRL: oscillators controller (XOSC, OSC16M, DFLL48M, FDPLL96M).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Oscctrl {
    volatile uint32_t INTENCLR;      // 0x00
    volatile uint32_t INTENSET;      // 0x04
    volatile uint32_t INTFLAG;       // 0x08
    const volatile uint32_t STATUS;  // 0x0C
    volatile uint16_t XOSCCTRL;      // 0x10
    uint8_t Reserved1[2];
    volatile uint8_t OSC16MCTRL;  // 0x14
    uint8_t Reserved2[3];
    volatile uint16_t DFLLCTRL;  // 0x18
    uint8_t Reserved3[2];
    volatile uint32_t DFLLVAL;  // 0x1C
    volatile uint32_t DFLLMUL;  // 0x20
    volatile uint8_t DFLLSYNC;  // 0x24
    uint8_t Reserved4[3];
    volatile uint8_t DPLLCTRLA;  // 0x28
    uint8_t Reserved5[3];
    volatile uint32_t DPLLRATIO;  // 0x2C
    volatile uint32_t DPLLCTRLB;  // 0x30
    volatile uint8_t DPLLPRESC;   // 0x34
    uint8_t Reserved6[3];
    const volatile uint8_t DPLLSYNCBUSY;  // 0x38
    uint8_t Reserved7[3];
    const volatile uint8_t DPLLSTATUS;  // 0x3C
};

static_assert(offsetof(Oscctrl, INTENCLR) == 0x00);
static_assert(offsetof(Oscctrl, INTENSET) == 0x04);
static_assert(offsetof(Oscctrl, INTFLAG) == 0x08);
static_assert(offsetof(Oscctrl, STATUS) == 0x0C);
static_assert(offsetof(Oscctrl, XOSCCTRL) == 0x10);
static_assert(offsetof(Oscctrl, OSC16MCTRL) == 0x14);
static_assert(offsetof(Oscctrl, DFLLCTRL) == 0x18);
static_assert(offsetof(Oscctrl, DFLLVAL) == 0x1C);
static_assert(offsetof(Oscctrl, DFLLMUL) == 0x20);
static_assert(offsetof(Oscctrl, DFLLSYNC) == 0x24);
static_assert(offsetof(Oscctrl, DPLLCTRLA) == 0x28);
static_assert(offsetof(Oscctrl, DPLLRATIO) == 0x2C);
static_assert(offsetof(Oscctrl, DPLLCTRLB) == 0x30);
static_assert(offsetof(Oscctrl, DPLLPRESC) == 0x34);
static_assert(offsetof(Oscctrl, DPLLSYNCBUSY) == 0x38);
static_assert(offsetof(Oscctrl, DPLLSTATUS) == 0x3C);

namespace oscctrl {

// INTENCLR / INTENSET / INTFLAG / STATUS
constexpr uint32_t STATUS_XOSCRDY = bit(0);
constexpr uint32_t STATUS_OSC16MRDY = bit(4);
constexpr uint32_t STATUS_DFLLRDY = bit(8);
constexpr uint32_t STATUS_DFLLOOB = bit(9);
constexpr uint32_t STATUS_DFLLLCKF = bit(10);
constexpr uint32_t STATUS_DFLLLCKC = bit(11);
constexpr uint32_t STATUS_DFLLRCS = bit(12);
constexpr uint32_t STATUS_DPLLLCKR = bit(16);
constexpr uint32_t STATUS_DPLLLCKF = bit(17);
constexpr uint32_t STATUS_DPLLLTO = bit(18);
constexpr uint32_t STATUS_DPLLLDRTO = bit(19);

// XOSCCTRL
constexpr uint32_t XOSCCTRL_ENABLE = bit(1);
constexpr uint32_t XOSCCTRL_XTALEN = bit(2);
constexpr uint32_t XOSCCTRL_RUNSTDBY = bit(6);
constexpr uint32_t XOSCCTRL_ONDEMAND = bit(7);
using XOSCCTRL_GAIN = Field<8, 3>;
constexpr uint32_t XOSCCTRL_AMPGC = bit(11);
using XOSCCTRL_STARTUP = Field<12, 4>;

// OSC16MCTRL
constexpr uint32_t OSC16MCTRL_ENABLE = bit(1);
using OSC16MCTRL_FSEL = Field<2, 2>;
constexpr uint32_t FSEL_4MHZ = 0;
constexpr uint32_t FSEL_8MHZ = 1;
constexpr uint32_t FSEL_12MHZ = 2;
constexpr uint32_t FSEL_16MHZ = 3;
constexpr uint32_t OSC16MCTRL_RUNSTDBY = bit(6);
constexpr uint32_t OSC16MCTRL_ONDEMAND = bit(7);

// DFLLCTRL
constexpr uint32_t DFLLCTRL_ENABLE = bit(1);
constexpr uint32_t DFLLCTRL_MODE = bit(2);
constexpr uint32_t DFLLCTRL_STABLE = bit(3);
constexpr uint32_t DFLLCTRL_LLAW = bit(4);
constexpr uint32_t DFLLCTRL_USBCRM = bit(5);
constexpr uint32_t DFLLCTRL_RUNSTDBY = bit(6);
constexpr uint32_t DFLLCTRL_ONDEMAND = bit(7);
constexpr uint32_t DFLLCTRL_CCDIS = bit(8);
constexpr uint32_t DFLLCTRL_QLDIS = bit(9);
constexpr uint32_t DFLLCTRL_BPLCKC = bit(10);
constexpr uint32_t DFLLCTRL_WAITLOCK = bit(11);

// DFLLVAL, DFLLMUL, DFLLSYNC
using DFLLVAL_FINE = Field<0, 10>;
using DFLLVAL_COARSE = Field<10, 6>;
using DFLLVAL_DIFF = Field<16, 16>;
using DFLLMUL_MUL = Field<0, 16>;
using DFLLMUL_FSTEP = Field<16, 10>;
using DFLLMUL_CSTEP = Field<26, 6>;
constexpr uint32_t DFLLSYNC_READREQ = bit(7);

// FDPLL96M
constexpr uint32_t DPLLCTRLA_ENABLE = bit(1);
constexpr uint32_t DPLLCTRLA_RUNSTDBY = bit(6);
constexpr uint32_t DPLLCTRLA_ONDEMAND = bit(7);
using DPLLRATIO_LDR = Field<0, 12>;
using DPLLRATIO_LDRFRAC = Field<16, 4>;
using DPLLCTRLB_FILTER = Field<0, 2>;
constexpr uint32_t DPLLCTRLB_LPEN = bit(2);
constexpr uint32_t DPLLCTRLB_WUF = bit(3);
using DPLLCTRLB_REFCLK = Field<4, 2>;
using DPLLCTRLB_LTIME = Field<8, 3>;
constexpr uint32_t DPLLCTRLB_LBYPASS = bit(12);
using DPLLCTRLB_DIV = Field<16, 11>;
using DPLLPRESC_PRESC = Field<0, 2>;
constexpr uint32_t DPLLSYNCBUSY_ENABLE = bit(1);
constexpr uint32_t DPLLSYNCBUSY_DPLLRATIO = bit(2);
constexpr uint32_t DPLLSYNCBUSY_DPLLPRESC = bit(3);
constexpr uint32_t DPLLSTATUS_LOCK = bit(0);
constexpr uint32_t DPLLSTATUS_CLKRDY = bit(1);

}  // namespace oscctrl

inline Oscctrl& OSCCTRL = *reinterpret_cast<Oscctrl*>(OSCCTRL_BASE);

}  // namespace chip
