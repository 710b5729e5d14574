// The main program file's operations: the sample tick timer and the start values of the
// working state.
#pragma once

#include <cstdint>

// Configures TC0 as a 16-bit counter that wraps at ccVal (low 16 bits), counting generator 0
// divided by `prescaler` (2, 4, 8, 16, 64, 256 or 1024; any other value divides by 1), with
// its compare-match interrupt at priority 1. Leaves the counter stopped.
void setup_timerTC0(uint32_t prescaler, uint32_t ccVal);

// Starts the counter and enables its interrupt.
void start_timerTC0();

// The tick action: a tick is pending.
void interrupcion_timer_cada_miliseg();

// Working state and configuration records to their start values (the configuration load
// that follows replaces the configuration values).
void inicializacion_dispositivo();

extern "C" {
// The TC0 interrupt (line 17): acknowledges the compare match and runs the tick action.
void TC0_Handler();
}
