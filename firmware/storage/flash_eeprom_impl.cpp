// The EEPROM objects. This is the first object of the link, so that they are constructed
// before every other static object; the storage is constructed before EEPROM.
#include "storage/flash_eeprom.h"
#include "storage/flash_storage_area.h"

static_assert((sizeof(EEPROM_EMULATION) + DATAEEPROM_STORAGE_ALIGNMENT - 1) /
                      DATAEEPROM_STORAGE_ALIGNMENT * DATAEEPROM_STORAGE_ALIGNMENT ==
                  DATAEEPROM_STORAGE_SIZE,
              "the storage area is the image rounded up to whole rows");

FlashStorageClass<EEPROM_EMULATION> eeprom_storage(_dataeeprom_storage);
EEPROMClass EEPROM;
