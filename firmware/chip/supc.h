// SUPC: supply controller (brown-out detectors, regulator, voltage reference).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Supc {
    volatile uint32_t INTENCLR;      // 0x00
    volatile uint32_t INTENSET;      // 0x04
    volatile uint32_t INTFLAG;       // 0x08
    const volatile uint32_t STATUS;  // 0x0C
    volatile uint32_t BOD33;         // 0x10
    volatile uint32_t BOD12;         // 0x14
    volatile uint32_t VREG;          // 0x18
    volatile uint32_t VREF;          // 0x1C
    volatile uint32_t BBPS;          // 0x20
    volatile uint32_t BKOUT;         // 0x24
    const volatile uint32_t BKIN;    // 0x28
};

static_assert(offsetof(Supc, INTENCLR) == 0x00);
static_assert(offsetof(Supc, INTENSET) == 0x04);
static_assert(offsetof(Supc, INTFLAG) == 0x08);
static_assert(offsetof(Supc, STATUS) == 0x0C);
static_assert(offsetof(Supc, BOD33) == 0x10);
static_assert(offsetof(Supc, BOD12) == 0x14);
static_assert(offsetof(Supc, VREG) == 0x18);
static_assert(offsetof(Supc, VREF) == 0x1C);
static_assert(offsetof(Supc, BBPS) == 0x20);
static_assert(offsetof(Supc, BKOUT) == 0x24);
static_assert(offsetof(Supc, BKIN) == 0x28);

namespace supc {

// INTENCLR / INTENSET / INTFLAG / STATUS
constexpr uint32_t STATUS_BOD33RDY = bit(0);
constexpr uint32_t STATUS_BOD33DET = bit(1);
constexpr uint32_t STATUS_B33SRDY = bit(2);
constexpr uint32_t STATUS_BOD12RDY = bit(3);
constexpr uint32_t STATUS_BOD12DET = bit(4);
constexpr uint32_t STATUS_B12SRDY = bit(5);
constexpr uint32_t STATUS_VREGRDY = bit(8);
constexpr uint32_t STATUS_APWSRDY = bit(9);
constexpr uint32_t STATUS_VCORERDY = bit(10);
constexpr uint32_t STATUS_BBPS = bit(11);

// BOD33
constexpr uint32_t BOD33_ENABLE = bit(1);
constexpr uint32_t BOD33_HYST = bit(2);
using BOD33_ACTION = Field<3, 2>;
constexpr uint32_t BOD33_STDBYCFG = bit(5);
constexpr uint32_t BOD33_RUNSTDBY = bit(6);
constexpr uint32_t BOD33_RUNBKUP = bit(7);
constexpr uint32_t BOD33_ACTCFG = bit(8);
constexpr uint32_t BOD33_VMON = bit(10);
using BOD33_PSEL = Field<12, 4>;
using BOD33_LEVEL = Field<16, 6>;
using BOD33_BKUPLEVEL = Field<24, 6>;

// BOD12
constexpr uint32_t BOD12_ENABLE = bit(1);
constexpr uint32_t BOD12_HYST = bit(2);
using BOD12_ACTION = Field<3, 2>;
constexpr uint32_t BOD12_STDBYCFG = bit(5);
constexpr uint32_t BOD12_RUNSTDBY = bit(6);
constexpr uint32_t BOD12_ACTCFG = bit(8);
using BOD12_PSEL = Field<12, 4>;
using BOD12_LEVEL = Field<16, 6>;

// VREG
constexpr uint32_t VREG_ENABLE = bit(1);
using VREG_SEL = Field<2, 2>;
constexpr uint32_t VREG_STDBYPL0 = bit(5);
constexpr uint32_t VREG_RUNSTDBY = bit(6);
constexpr uint32_t VREG_LPEFF = bit(8);
using VREG_VSVSTEP = Field<16, 4>;
using VREG_VSPER = Field<24, 8>;

// VREF
constexpr uint32_t VREF_TSEN = bit(1);
constexpr uint32_t VREF_VREFOE = bit(2);  // reference output to the analogue blocks
constexpr uint32_t VREF_RUNSTDBY = bit(6);
constexpr uint32_t VREF_ONDEMAND = bit(7);
using VREF_SEL = Field<16, 4>;
constexpr uint32_t VREF_SEL_1V0 = 0;
constexpr uint32_t VREF_SEL_1V1 = 1;
constexpr uint32_t VREF_SEL_1V2 = 2;
constexpr uint32_t VREF_SEL_1V25 = 3;
constexpr uint32_t VREF_SEL_2V0 = 4;
constexpr uint32_t VREF_SEL_2V2 = 5;
constexpr uint32_t VREF_SEL_2V4 = 6;
constexpr uint32_t VREF_SEL_2V5 = 7;

// BBPS, BKOUT, BKIN
using BBPS_CONF = Field<0, 2>;
constexpr uint32_t BBPS_WAKEEN = bit(2);
constexpr uint32_t BBPS_PSOKEN = bit(3);
using BKOUT_EN = Field<0, 2>;
using BKOUT_CLR = Field<8, 2>;
using BKOUT_SET = Field<16, 2>;
using BKOUT_RTCTGL = Field<24, 2>;
using BKIN_BKIN = Field<0, 8>;

}  // namespace supc

inline Supc& SUPC = *reinterpret_cast<Supc*>(SUPC_BASE);

}  // namespace chip
