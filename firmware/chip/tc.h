// TC: timer/counter (instances TC0, TC1 and TC4 on this part), 16-bit counter view.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct TcCount16 {
    volatile uint32_t CTRLA;    // 0x00
    volatile uint8_t CTRLBCLR;  // 0x04
    volatile uint8_t CTRLBSET;  // 0x05
    volatile uint16_t EVCTRL;   // 0x06
    volatile uint8_t INTENCLR;  // 0x08
    volatile uint8_t INTENSET;  // 0x09
    volatile uint8_t INTFLAG;   // 0x0A
    volatile uint8_t STATUS;    // 0x0B
    volatile uint8_t WAVE;      // 0x0C
    volatile uint8_t DRVCTRL;   // 0x0D
    uint8_t Reserved1[1];
    volatile uint8_t DBGCTRL;          // 0x0F
    const volatile uint32_t SYNCBUSY;  // 0x10
    volatile uint16_t COUNT;           // 0x14
    uint8_t Reserved2[6];
    volatile uint16_t CC[2];  // 0x1C
    uint8_t Reserved3[0x10];
    volatile uint16_t CCBUF[2];  // 0x30
};

static_assert(offsetof(TcCount16, CTRLA) == 0x00);
static_assert(offsetof(TcCount16, CTRLBCLR) == 0x04);
static_assert(offsetof(TcCount16, CTRLBSET) == 0x05);
static_assert(offsetof(TcCount16, EVCTRL) == 0x06);
static_assert(offsetof(TcCount16, INTENCLR) == 0x08);
static_assert(offsetof(TcCount16, INTENSET) == 0x09);
static_assert(offsetof(TcCount16, INTFLAG) == 0x0A);
static_assert(offsetof(TcCount16, STATUS) == 0x0B);
static_assert(offsetof(TcCount16, WAVE) == 0x0C);
static_assert(offsetof(TcCount16, DRVCTRL) == 0x0D);
static_assert(offsetof(TcCount16, DBGCTRL) == 0x0F);
static_assert(offsetof(TcCount16, SYNCBUSY) == 0x10);
static_assert(offsetof(TcCount16, COUNT) == 0x14);
static_assert(offsetof(TcCount16, CC) == 0x1C);
static_assert(offsetof(TcCount16, CCBUF) == 0x30);

union Tc {
    TcCount16 COUNT16;
};

namespace tc {

// CTRLA
constexpr uint32_t CTRLA_SWRST = bit(0);
constexpr uint32_t CTRLA_ENABLE = bit(1);
using CTRLA_MODE = Field<2, 2>;
constexpr uint32_t MODE_COUNT16 = 0;
constexpr uint32_t MODE_COUNT8 = 1;
constexpr uint32_t MODE_COUNT32 = 2;
using CTRLA_PRESCSYNC = Field<4, 2>;
constexpr uint32_t PRESCSYNC_GCLK = 0;
constexpr uint32_t PRESCSYNC_PRESC = 1;
constexpr uint32_t PRESCSYNC_RESYNC = 2;
constexpr uint32_t CTRLA_RUNSTDBY = bit(6);
constexpr uint32_t CTRLA_ONDEMAND = bit(7);
using CTRLA_PRESCALER = Field<8, 3>;
constexpr uint32_t PRESCALER_DIV1 = 0;
constexpr uint32_t PRESCALER_DIV2 = 1;
constexpr uint32_t PRESCALER_DIV4 = 2;
constexpr uint32_t PRESCALER_DIV8 = 3;
constexpr uint32_t PRESCALER_DIV16 = 4;
constexpr uint32_t PRESCALER_DIV64 = 5;
constexpr uint32_t PRESCALER_DIV256 = 6;
constexpr uint32_t PRESCALER_DIV1024 = 7;
constexpr uint32_t CTRLA_ALOCK = bit(11);
constexpr uint32_t CTRLA_CAPTEN0 = bit(16);
constexpr uint32_t CTRLA_CAPTEN1 = bit(17);
constexpr uint32_t CTRLA_COPEN0 = bit(20);
constexpr uint32_t CTRLA_COPEN1 = bit(21);

// CTRLBCLR / CTRLBSET
constexpr uint32_t CTRLB_DIR = bit(0);
constexpr uint32_t CTRLB_LUPD = bit(1);
constexpr uint32_t CTRLB_ONESHOT = bit(2);
using CTRLB_CMD = Field<5, 3>;
constexpr uint32_t CMD_NONE = 0;
constexpr uint32_t CMD_RETRIGGER = 1;
constexpr uint32_t CMD_STOP = 2;
constexpr uint32_t CMD_UPDATE = 3;
constexpr uint32_t CMD_READSYNC = 4;
constexpr uint32_t CMD_DMAOS = 5;

// EVCTRL
using EVCTRL_EVACT = Field<0, 3>;
constexpr uint32_t EVCTRL_TCINV = bit(4);
constexpr uint32_t EVCTRL_TCEI = bit(5);
constexpr uint32_t EVCTRL_OVFEO = bit(8);
constexpr uint32_t EVCTRL_MCEO0 = bit(12);
constexpr uint32_t EVCTRL_MCEO1 = bit(13);

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_OVF = bit(0);
constexpr uint32_t INTFLAG_ERR = bit(1);
constexpr uint32_t INTFLAG_MC0 = bit(4);
constexpr uint32_t INTFLAG_MC1 = bit(5);

// STATUS
constexpr uint32_t STATUS_STOP = bit(0);
constexpr uint32_t STATUS_SLAVE = bit(1);
constexpr uint32_t STATUS_PERBUFV = bit(3);
constexpr uint32_t STATUS_CCBUFV0 = bit(4);
constexpr uint32_t STATUS_CCBUFV1 = bit(5);

// WAVE
using WAVE_WAVEGEN = Field<0, 2>;
constexpr uint32_t WAVEGEN_NFRQ = 0;
constexpr uint32_t WAVEGEN_MFRQ = 1;  // CC0 is the top value
constexpr uint32_t WAVEGEN_NPWM = 2;
constexpr uint32_t WAVEGEN_MPWM = 3;

// DRVCTRL, DBGCTRL
constexpr uint32_t DRVCTRL_INVEN0 = bit(0);
constexpr uint32_t DRVCTRL_INVEN1 = bit(1);
constexpr uint32_t DBGCTRL_DBGRUN = bit(0);

// SYNCBUSY
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_CTRLB = bit(2);
constexpr uint32_t SYNCBUSY_STATUS = bit(3);
constexpr uint32_t SYNCBUSY_COUNT = bit(4);
constexpr uint32_t SYNCBUSY_PER = bit(5);
constexpr uint32_t SYNCBUSY_CC0 = bit(6);
constexpr uint32_t SYNCBUSY_CC1 = bit(7);

}  // namespace tc

inline Tc& TC0 = *reinterpret_cast<Tc*>(TC0_BASE);
inline Tc& TC1 = *reinterpret_cast<Tc*>(TC1_BASE);
inline Tc& TC4 = *reinterpret_cast<Tc*>(TC4_BASE);

}  // namespace chip
