// Vardo_wdt: the watchdog module. Arms the chip's watchdog timer with a period, kicks it, and
// services its early-warning interrupt.
#pragma once

#include <cstdint>

// Period code, written unchanged into WDT CONFIG.PER (and EWCTRL.EWOFFSET): code n is
// 8 << n cycles of the 1.024 kHz watchdog clock.
enum wdt_period : uint8_t {
    WDT_PERIOD_1DIV128 = 0,  // 8 cycles, 7.8125 ms
    WDT_PERIOD_1DIV64 = 1,   // 16 cycles, 15.625 ms
    WDT_PERIOD_1DIV32 = 2,   // 32 cycles, 31.25 ms
    WDT_PERIOD_1DIV16 = 3,   // 64 cycles, 62.5 ms
    WDT_PERIOD_1DIV8 = 4,    // 128 cycles, 125 ms
    WDT_PERIOD_1DIV4 = 5,    // 256 cycles, 250 ms
    WDT_PERIOD_1DIV2 = 6,    // 512 cycles, 500 ms
    WDT_PERIOD_1X = 7,       // 1024 cycles, 1 s
    WDT_PERIOD_2X = 8,       // 2048 cycles, 2 s
    WDT_PERIOD_4X = 9,       // 4096 cycles, 4 s
    WDT_PERIOD_8X = 10,      // 8192 cycles, 8 s
    WDT_PERIOD_16X = 11,     // 16384 cycles, 16 s
};

// Arms the watchdog with `period`, the early warning at the same count, and the early-warning
// interrupt at priority 3. A watchdog locked on (ALWAYSON) is left as it is.
void vardo_wdt_enable(wdt_period period);

// Kicks the watchdog, unless the previous kick is still crossing into the watchdog's clock
// domain (that one restarts the period anyway).
void vardo_wdt_reset();

// Set by the early-warning interrupt; nothing reads it.
extern volatile bool vardo_wdt_flag;

extern "C" {
// The WDT interrupt (line 1): records the early warning and acknowledges it.
void WDT_Handler();
}
