// The flash area reserved for the emulated EEPROM.
#pragma once

#include <cstddef>
#include <cstdint>

// Whole 256-byte rows, so that erasing the area never reaches the data after it.
constexpr size_t DATAEEPROM_STORAGE_SIZE = 1280;
constexpr size_t DATAEEPROM_STORAGE_ALIGNMENT = 256;

// Zero in the programmed image; changed only by the flash driver's commands.
extern const uint8_t _dataeeprom_storage[DATAEEPROM_STORAGE_SIZE];
