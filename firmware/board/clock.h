// The board's clock plan: OSC16M at 8 MHz feeds generic clock generators 0 and 1; generator 0
// drives the main clock (CPU divider 1) and every peripheral channel the drivers use.
#pragma once

#include <cstdint>

namespace board {

constexpr uint32_t kMainClockHz = 8000000;         // SystemCoreClock after SystemInit
constexpr uint32_t kResetCoreClockHz = 1000000;    // SystemCoreClock in the initial data
constexpr uint32_t kPeripheralClockGenerator = 0;  // GCLK generator for peripheral channels
constexpr uint32_t kSysTickRateHz = 1000;          // one system tick per millisecond

}  // namespace board
