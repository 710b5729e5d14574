// Clock bring-up that runs before main: flash wait states, performance level, 8 MHz clocks.
#pragma once

#include <cstdint>

extern "C" {

// Processor clock in Hz: 1000000 in the initial data, 8000000 once SystemInit has run.
extern uint32_t SystemCoreClock;

// Called by Reset_Handler before main.
void SystemInit();

// Waits until GCLK is neither resetting nor synchronising a generator register.
void waitForSync();

// Waits until OSCCTRL STATUS.DFLLRDY is set.
void waitForDFLL();
}
