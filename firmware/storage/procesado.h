// The configuration record: its start-up check, load and save in the emulated EEPROM.
#pragma once

// Blank test: when all 1024 data bytes are 0x00 or 0xFF, stores the factory defaults.
void verificacion_memoria();

// Loads the record, replaces out-of-range impact fields by substitutes and rewrites the
// record when anything was replaced. Prints the loaded values when cdebug is set.
void cargar_estructuras_configuracion();

// Encodes the globals into the record and commits it (flash changes only if a byte did).
void grabar_configuracion();
