// EEPROM emulation: 1024 bytes kept in RAM and written to the flash storage area as one
// image, with a valid flag and a signature, when committed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/flash_storage.h"

constexpr uint32_t EEPROM_EMULATION_SIZE = 1024;
constexpr uint32_t EEPROM_EMULATION_SIGNATURE = 0xBADA55;

// The stored image. The three bytes between valid and signature are kept as read.
struct EEPROM_EMULATION {
    uint8_t data[EEPROM_EMULATION_SIZE];
    bool valid;
    uint32_t signature;
};

static_assert(offsetof(EEPROM_EMULATION, valid) == 1024);
static_assert(offsetof(EEPROM_EMULATION, signature) == 1028);
static_assert(sizeof(EEPROM_EMULATION) == 1032);

class EEPROMClass {
  public:
    EEPROMClass();

    // The data byte at address (0 to 1023, not checked).
    uint8_t read(int address);
    // Sets the data byte at address; the image becomes dirty only if the value changes.
    void update(int address, uint8_t value);
    // Writes the whole image to flash if it is dirty.
    void commit();

  private:
    // Loads the image from flash; the signature and valid flag are set in RAM only.
    void init_v2();

    bool _initialized;
    EEPROM_EMULATION _eeprom;
    bool _dirty;
    bool _commitASAP;
};

extern FlashStorageClass<EEPROM_EMULATION> eeprom_storage;
extern EEPROMClass EEPROM;
