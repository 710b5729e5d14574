// DAC: digital-to-analogue converter (two channels).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

constexpr unsigned DAC_NUM_CHANNELS = 2;

struct Dac {
    volatile uint8_t CTRLA;   // 0x00
    volatile uint8_t CTRLB;   // 0x01
    volatile uint8_t EVCTRL;  // 0x02
    uint8_t Reserved1[1];
    volatile uint8_t INTENCLR;                    // 0x04
    volatile uint8_t INTENSET;                    // 0x05
    volatile uint8_t INTFLAG;                     // 0x06
    const volatile uint8_t STATUS;                // 0x07
    const volatile uint32_t SYNCBUSY;             // 0x08
    volatile uint16_t DACCTRL[DAC_NUM_CHANNELS];  // 0x0C
    volatile uint16_t DATA[DAC_NUM_CHANNELS];     // 0x10, write-only
    volatile uint16_t DATABUF[DAC_NUM_CHANNELS];  // 0x14, write-only
    volatile uint8_t DBGCTRL;                     // 0x18
};

static_assert(offsetof(Dac, CTRLA) == 0x00);
static_assert(offsetof(Dac, CTRLB) == 0x01);
static_assert(offsetof(Dac, EVCTRL) == 0x02);
static_assert(offsetof(Dac, INTENCLR) == 0x04);
static_assert(offsetof(Dac, INTENSET) == 0x05);
static_assert(offsetof(Dac, INTFLAG) == 0x06);
static_assert(offsetof(Dac, STATUS) == 0x07);
static_assert(offsetof(Dac, SYNCBUSY) == 0x08);
static_assert(offsetof(Dac, DACCTRL) == 0x0C);
static_assert(offsetof(Dac, DATA) == 0x10);
static_assert(offsetof(Dac, DATABUF) == 0x14);
static_assert(offsetof(Dac, DBGCTRL) == 0x18);

namespace dac {

// CTRLA
constexpr uint32_t CTRLA_SWRST = bit(0);
constexpr uint32_t CTRLA_ENABLE = bit(1);

// CTRLB
constexpr uint32_t CTRLB_DIFF = bit(0);
using CTRLB_REFSEL = Field<1, 2>;
constexpr uint32_t REFSEL_VREFPU = 0;
constexpr uint32_t REFSEL_VDDANA = 1;
constexpr uint32_t REFSEL_VREFPB = 2;
constexpr uint32_t REFSEL_INTREF = 3;

// EVCTRL
constexpr uint32_t EVCTRL_STARTEI0 = bit(0);
constexpr uint32_t EVCTRL_STARTEI1 = bit(1);
constexpr uint32_t EVCTRL_EMPTYEO0 = bit(2);
constexpr uint32_t EVCTRL_EMPTYEO1 = bit(3);
constexpr uint32_t EVCTRL_INVEI0 = bit(4);
constexpr uint32_t EVCTRL_INVEI1 = bit(5);

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_UNDERRUN0 = bit(0);
constexpr uint32_t INTFLAG_UNDERRUN1 = bit(1);
constexpr uint32_t INTFLAG_EMPTY0 = bit(2);
constexpr uint32_t INTFLAG_EMPTY1 = bit(3);

// STATUS
constexpr uint32_t STATUS_READY0 = bit(0);
constexpr uint32_t STATUS_READY1 = bit(1);
constexpr uint32_t STATUS_EOC0 = bit(2);
constexpr uint32_t STATUS_EOC1 = bit(3);

// SYNCBUSY
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_DATA0 = bit(2);
constexpr uint32_t SYNCBUSY_DATA1 = bit(3);
constexpr uint32_t SYNCBUSY_DATABUF0 = bit(4);
constexpr uint32_t SYNCBUSY_DATABUF1 = bit(5);
constexpr uint32_t SYNCBUSY_ALL = 0x3F;

// DACCTRL
constexpr uint32_t DACCTRL_LEFTADJ = bit(0);
constexpr uint32_t DACCTRL_ENABLE = bit(1);
using DACCTRL_CCTRL = Field<2, 2>;  // current control
constexpr uint32_t CCTRL_CC100K = 0;
constexpr uint32_t CCTRL_CC1M = 1;
constexpr uint32_t CCTRL_CC12M = 2;
constexpr uint32_t DACCTRL_RUNSTDBY = bit(6);
constexpr uint32_t DACCTRL_DITHER = bit(7);
using DACCTRL_REFRESH = Field<8, 4>;

constexpr uint32_t DBGCTRL_DBGRUN = bit(0);

}  // namespace dac

inline Dac& DAC = *reinterpret_cast<Dac*>(DAC_BASE);

}  // namespace chip
