#include "storage/flash_eeprom.h"

EEPROMClass::EEPROMClass() : _initialized(false), _dirty(false), _commitASAP(true) {}

void EEPROMClass::init_v2() {
    eeprom_storage.read(_eeprom);
    // A missing signature is written with the next commit; the data are used as read.
    if (_eeprom.signature != EEPROM_EMULATION_SIGNATURE) {
        _eeprom.signature = EEPROM_EMULATION_SIGNATURE;
    }
    _eeprom.valid = true;
    _initialized = true;
}

uint8_t EEPROMClass::read(int address) {
    if (!_initialized) {
        init_v2();
    }
    return _eeprom.data[address];
}

void EEPROMClass::update(int address, uint8_t value) {
    if (!_initialized) {
        init_v2();
    }
    if (_eeprom.data[address] != value) {
        _dirty = true;
        _eeprom.data[address] = value;
    }
}

void EEPROMClass::commit() {
    if (!_initialized) {
        init_v2();
    }
    if (!_dirty) {
        return;
    }
    _dirty = false;
    _eeprom.valid = true;
    eeprom_storage.write(_eeprom);
}
