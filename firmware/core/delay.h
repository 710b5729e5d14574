// The 1 ms system tick: millis, delay and the SysTick start-up.
#pragma once

#include <cstdint>

extern "C" {

// Milliseconds since the system tick was started; wraps after 2^32 ms.
uint32_t millis();

// Waits until ms ticks have been counted since entry, calling yield while it waits. Only
// from thread level, after the tick has been started.
void delay(uint32_t ms);

// Counts one tick; called by SysTick_Handler.
void SysTick_DefaultHandler();
}

// Starts the SysTick at one interrupt per millisecond of SystemCoreClock, priority 2. Spins
// for ever, before touching the SysTick, when the reload value does not fit in 24 bits.
void startSysTick();
