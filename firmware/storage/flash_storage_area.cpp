#include "storage/flash_storage_area.h"

// Placed by the linker script in its own rows of flash (.dataeeprom). Other objects see only
// the declaration, so no reader assumes the zeros.
__attribute__((section(".dataeeprom"), aligned(DATAEEPROM_STORAGE_ALIGNMENT), used))
const uint8_t _dataeeprom_storage[DATAEEPROM_STORAGE_SIZE] = {};
