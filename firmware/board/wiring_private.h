// Giving a pin one role: port input or output, or a peripheral function through PMUX.
#pragma once

#include <cstdint>

extern "C" {

// ulPeripheral is an EPioType value. Returns 0 when done, -1 when refused (pin above 24, a
// role the pin's row does not accept, PIO_MULTI, PIO_NOT_A_PIN); a refusal changes nothing.
int pinPeripheral(uint32_t ulPin, uint32_t ulPeripheral);
}
