// Pin modes and output levels for the application.
#pragma once

#include <cstdint>

constexpr uint32_t LOW = 0;
constexpr uint32_t HIGH = 1;

// Mode numbers: the first four pin roles (EPioType).
constexpr uint32_t INPUT = 0;
constexpr uint32_t OUTPUT = 1;
constexpr uint32_t INPUT_PULLUP = 2;
constexpr uint32_t INPUT_PULLDOWN = 3;

extern "C" {

// pinPeripheral(ulPin, ulMode) with the result dropped: a refused mode is silent.
void pinMode(uint32_t ulPin, uint32_t ulMode);

// Output: drives HIGH (ulVal 1) or LOW (any other value). Input: HIGH switches on the pull
// resistor in the direction OUT already selects, LOW switches it off. A pin number above 24
// is ignored.
void digitalWrite(uint32_t ulPin, uint32_t ulVal);
}
