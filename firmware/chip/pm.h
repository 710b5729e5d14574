// PM: power manager.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Pm {
    volatile uint8_t CTRLA;     // 0x00
    volatile uint8_t SLEEPCFG;  // 0x01
    volatile uint8_t PLCFG;     // 0x02
    uint8_t Reserved1[1];
    volatile uint8_t INTENCLR;  // 0x04
    volatile uint8_t INTENSET;  // 0x05
    volatile uint8_t INTFLAG;   // 0x06
    uint8_t Reserved2[1];
    volatile uint16_t STDBYCFG;  // 0x08
    uint8_t Reserved3[2];
    volatile uint8_t PWSAKDLY;  // 0x0C
};

static_assert(offsetof(Pm, CTRLA) == 0x00);
static_assert(offsetof(Pm, SLEEPCFG) == 0x01);
static_assert(offsetof(Pm, PLCFG) == 0x02);
static_assert(offsetof(Pm, INTENCLR) == 0x04);
static_assert(offsetof(Pm, INTENSET) == 0x05);
static_assert(offsetof(Pm, INTFLAG) == 0x06);
static_assert(offsetof(Pm, STDBYCFG) == 0x08);
static_assert(offsetof(Pm, PWSAKDLY) == 0x0C);

namespace pm {

constexpr uint32_t CTRLA_IORET = bit(2);

using SLEEPCFG_SLEEPMODE = Field<0, 3>;
constexpr uint32_t SLEEPMODE_IDLE = 2;
constexpr uint32_t SLEEPMODE_STANDBY = 4;
constexpr uint32_t SLEEPMODE_BACKUP = 5;
constexpr uint32_t SLEEPMODE_OFF = 6;

using PLCFG_PLSEL = Field<0, 2>;  // performance level
constexpr uint32_t PLSEL_PL0 = 0;
constexpr uint32_t PLSEL_PL2 = 2;
constexpr uint32_t PLCFG_PLDIS = bit(7);

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_PLRDY = bit(0);  // performance level ready

using STDBYCFG_PDCFG = Field<0, 2>;
constexpr uint32_t STDBYCFG_DPGPD0 = bit(4);
constexpr uint32_t STDBYCFG_DPGPD1 = bit(5);
using STDBYCFG_VREGSMOD = Field<6, 2>;
using STDBYCFG_LINKPD = Field<8, 2>;
using STDBYCFG_BBIASHS = Field<10, 2>;
using STDBYCFG_BBIASLP = Field<12, 2>;
using STDBYCFG_BBIASPP = Field<14, 2>;

using PWSAKDLY_DLYVAL = Field<0, 7>;
constexpr uint32_t PWSAKDLY_IGNACK = bit(7);

}  // namespace pm

inline Pm& PM = *reinterpret_cast<Pm*>(PM_BASE);

}  // namespace chip
