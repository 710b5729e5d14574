// SysTick: the Cortex-M0+ 24-bit system timer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct SysTickRegs {
    volatile uint32_t CTRL;         // 0x00 (CSR)
    volatile uint32_t LOAD;         // 0x04 (RVR)
    volatile uint32_t VAL;          // 0x08 (CVR), any write clears it
    const volatile uint32_t CALIB;  // 0x0C
};

static_assert(offsetof(SysTickRegs, CTRL) == 0x00);
static_assert(offsetof(SysTickRegs, LOAD) == 0x04);
static_assert(offsetof(SysTickRegs, VAL) == 0x08);
static_assert(offsetof(SysTickRegs, CALIB) == 0x0C);

namespace systick {

constexpr uint32_t CTRL_ENABLE = bit(0);
constexpr uint32_t CTRL_TICKINT = bit(1);
constexpr uint32_t CTRL_CLKSOURCE = bit(2);  // 1 = processor clock
constexpr uint32_t CTRL_COUNTFLAG = bit(16);
using LOAD_RELOAD = Field<0, 24>;
using VAL_CURRENT = Field<0, 24>;
using CALIB_TENMS = Field<0, 24>;
constexpr uint32_t CALIB_SKEW = bit(30);
constexpr uint32_t CALIB_NOREF = bit(31);

}  // namespace systick

inline SysTickRegs& SysTick = *reinterpret_cast<SysTickRegs*>(SYSTICK_BASE);

}  // namespace chip
