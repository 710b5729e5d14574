// The ADXL345 accelerometer on the I2C bus: single-register access, the
// start-up configuration, and the read of one raw sample into cdatos.
#pragma once

#include <cstdint>

// One sample, each axis a signed count (3.9 mg per count at the configured
// full resolution).
struct aceleracion {
    int16_t acc_x;
    int16_t acc_y;
    int16_t acc_z;
};
static_assert(sizeof(aceleracion) == 6);

void escribir_registro(uint8_t cregistro, uint8_t cvalor);

// The register's value, or 0xFF when no byte came back.
uint8_t leer_registro(uint8_t cregistro);

// Measurement at 1600 Hz, full resolution ±16 g, every detection and
// interrupt function off. Called once from setup.
void configurar_acelerometro();

// Reads the newest sample into cdatos (each axis high byte first): 1 when a
// whole sample came, 0 otherwise with cdatos unchanged. The pointers are not
// written.
uint8_t leer_aceleracion(int16_t* x, int16_t* y, int16_t* z);
