// PORT: I/O pin controller. The E package has group A only; groups are 0x80 apart.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

constexpr unsigned PORT_GROUPS = 1;
constexpr unsigned PORT_PINS_PER_GROUP = 32;

struct PortGroup {
    volatile uint32_t DIR;                         // 0x00
    volatile uint32_t DIRCLR;                      // 0x04
    volatile uint32_t DIRSET;                      // 0x08
    volatile uint32_t DIRTGL;                      // 0x0C
    volatile uint32_t OUT;                         // 0x10
    volatile uint32_t OUTCLR;                      // 0x14
    volatile uint32_t OUTSET;                      // 0x18
    volatile uint32_t OUTTGL;                      // 0x1C
    const volatile uint32_t IN;                    // 0x20
    volatile uint32_t CTRL;                        // 0x24
    volatile uint32_t WRCONFIG;                    // 0x28, write-only
    volatile uint32_t EVCTRL;                      // 0x2C
    volatile uint8_t PMUX[16];                     // 0x30, one byte per pin pair
    volatile uint8_t PINCFG[PORT_PINS_PER_GROUP];  // 0x40, one byte per pin
    uint8_t Reserved1[0x20];
};

struct Port {
    PortGroup Group[PORT_GROUPS];
};

static_assert(offsetof(PortGroup, DIR) == 0x00);
static_assert(offsetof(PortGroup, DIRCLR) == 0x04);
static_assert(offsetof(PortGroup, DIRSET) == 0x08);
static_assert(offsetof(PortGroup, DIRTGL) == 0x0C);
static_assert(offsetof(PortGroup, OUT) == 0x10);
static_assert(offsetof(PortGroup, OUTCLR) == 0x14);
static_assert(offsetof(PortGroup, OUTSET) == 0x18);
static_assert(offsetof(PortGroup, OUTTGL) == 0x1C);
static_assert(offsetof(PortGroup, IN) == 0x20);
static_assert(offsetof(PortGroup, CTRL) == 0x24);
static_assert(offsetof(PortGroup, WRCONFIG) == 0x28);
static_assert(offsetof(PortGroup, EVCTRL) == 0x2C);
static_assert(offsetof(PortGroup, PMUX) == 0x30);
static_assert(offsetof(PortGroup, PINCFG) == 0x40);
static_assert(sizeof(PortGroup) == 0x80);

namespace port {

// PMUX: PMUXE for the even pin of the pair, PMUXO for the odd one.
using PMUX_PMUXE = Field<0, 4>;
using PMUX_PMUXO = Field<4, 4>;
// Peripheral function letters as PMUX values.
constexpr uint32_t PMUX_FUNCTION_A = 0;
constexpr uint32_t PMUX_FUNCTION_B = 1;
constexpr uint32_t PMUX_FUNCTION_C = 2;
constexpr uint32_t PMUX_FUNCTION_D = 3;
constexpr uint32_t PMUX_FUNCTION_E = 4;
constexpr uint32_t PMUX_FUNCTION_F = 5;
constexpr uint32_t PMUX_FUNCTION_G = 6;
constexpr uint32_t PMUX_FUNCTION_H = 7;
constexpr uint32_t PMUX_FUNCTION_I = 8;

// PINCFG
constexpr uint32_t PINCFG_PMUXEN = bit(0);
constexpr uint32_t PINCFG_INEN = bit(1);
constexpr uint32_t PINCFG_PULLEN = bit(2);  // pull direction chosen by OUT
constexpr uint32_t PINCFG_DRVSTR = bit(6);

// WRCONFIG
using WRCONFIG_PINMASK = Field<0, 16>;
constexpr uint32_t WRCONFIG_PMUXEN = bit(16);
constexpr uint32_t WRCONFIG_INEN = bit(17);
constexpr uint32_t WRCONFIG_PULLEN = bit(18);
constexpr uint32_t WRCONFIG_DRVSTR = bit(22);
using WRCONFIG_PMUX = Field<24, 4>;
constexpr uint32_t WRCONFIG_WRPMUX = bit(28);
constexpr uint32_t WRCONFIG_WRPINCFG = bit(30);
constexpr uint32_t WRCONFIG_HWSEL = bit(31);

}  // namespace port

inline Port& PORT = *reinterpret_cast<Port*>(PORT_BASE);

}  // namespace chip
