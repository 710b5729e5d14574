// SCB: system control block of the Cortex-M0+.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Scb {
    const volatile uint32_t CPUID;  // 0x00
    volatile uint32_t ICSR;         // 0x04
    volatile uint32_t VTOR;         // 0x08
    volatile uint32_t AIRCR;        // 0x0C
    volatile uint32_t SCR;          // 0x10
    volatile uint32_t CCR;          // 0x14
    uint8_t Reserved1[4];
    // SHP[0] = SHPR2 (SVCall), SHP[1] = SHPR3 (PendSV, SysTick); word access only.
    volatile uint32_t SHP[2];  // 0x1C
    volatile uint32_t SHCSR;   // 0x24
};

static_assert(offsetof(Scb, CPUID) == 0x00);
static_assert(offsetof(Scb, ICSR) == 0x04);
static_assert(offsetof(Scb, VTOR) == 0x08);
static_assert(offsetof(Scb, AIRCR) == 0x0C);
static_assert(offsetof(Scb, SCR) == 0x10);
static_assert(offsetof(Scb, CCR) == 0x14);
static_assert(offsetof(Scb, SHP) == 0x1C);
static_assert(offsetof(Scb, SHCSR) == 0x24);

namespace scb {

using ICSR_VECTACTIVE = Field<0, 6>;
using ICSR_VECTPENDING = Field<12, 6>;
constexpr uint32_t ICSR_ISRPENDING = bit(22);
constexpr uint32_t ICSR_PENDSTCLR = bit(25);
constexpr uint32_t ICSR_PENDSTSET = bit(26);
constexpr uint32_t ICSR_PENDSVCLR = bit(27);
constexpr uint32_t ICSR_PENDSVSET = bit(28);
constexpr uint32_t ICSR_NMIPENDSET = bit(31);

constexpr uint32_t AIRCR_VECTCLRACTIVE = bit(1);
constexpr uint32_t AIRCR_SYSRESETREQ = bit(2);
constexpr uint32_t AIRCR_ENDIANNESS = bit(15);
using AIRCR_VECTKEY = Field<16, 16>;
constexpr uint32_t AIRCR_VECTKEY_VALUE = 0x05FA;

constexpr uint32_t SCR_SLEEPONEXIT = bit(1);
constexpr uint32_t SCR_SLEEPDEEP = bit(2);
constexpr uint32_t SCR_SEVONPEND = bit(4);

constexpr uint32_t CCR_UNALIGN_TRP = bit(3);
constexpr uint32_t CCR_STKALIGN = bit(9);

// Priority bytes in SHP[0] (SHPR2) and SHP[1] (SHPR3).
using SHPR2_SVCALL = Field<24, 8>;
using SHPR3_PENDSV = Field<16, 8>;
using SHPR3_SYSTICK = Field<24, 8>;
constexpr unsigned SHP_SHPR2 = 0;
constexpr unsigned SHP_SHPR3 = 1;

}  // namespace scb

inline Scb& SCB = *reinterpret_cast<Scb*>(SCB_BASE);

}  // namespace chip
