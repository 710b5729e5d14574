#include "sensors/adxl345.h"

#include "app/globals.h"
#include "core/Wire.h"

namespace {

constexpr uint8_t kDireccion = 0x53;  // ALT ADDRESS low

// Registers (ADXL345 register map).
constexpr uint8_t ACT_INACT_CTL = 0x27;
constexpr uint8_t TAP_AXES = 0x2A;
constexpr uint8_t BW_RATE = 0x2C;
constexpr uint8_t POWER_CTL = 0x2D;
constexpr uint8_t INT_ENABLE = 0x2E;
constexpr uint8_t INT_MAP = 0x2F;
constexpr uint8_t INT_SOURCE = 0x30;
constexpr uint8_t DATA_FORMAT = 0x31;
constexpr uint8_t DATAX0 = 0x32;
constexpr uint8_t FIFO_CTL = 0x38;

// Values written.
constexpr uint8_t kFullRes16g = 0x0B;  // FULL_RES, range ±16 g, right-justified
constexpr uint8_t kNinguna = 0x00;     // detection, interrupts, FIFO: all off or bypassed
constexpr uint8_t kRate1600Hz = 0x0E;  // normal power, 1600 Hz output data rate
constexpr uint8_t kMedida = 0x08;      // Measure

constexpr uint8_t kLecturaFallida = 0xFF;
constexpr uint8_t kBytesMuestra = 6;

struct Escritura {
    uint8_t cregistro;
    uint8_t cvalor;
};

// After the read of INT_SOURCE, in this order; measurement starts with the
// last.
constexpr Escritura kConfiguracion[] = {
    {DATA_FORMAT, kFullRes16g}, {ACT_INACT_CTL, kNinguna}, {TAP_AXES, kNinguna},
    {BW_RATE, kRate1600Hz},     {INT_ENABLE, kNinguna},    {FIFO_CTL, kNinguna},
    {INT_MAP, kNinguna},        {INT_ENABLE, kNinguna},    {POWER_CTL, kMedida},
};

// Sets the sensor's register pointer; true when the sensor took it.
bool apuntar_registro(uint8_t cregistro) {
    Wire.beginTransmission(kDireccion);
    Wire.write(cregistro);
    return Wire.endTransmission() == TwoWire::kTransmissionOk;
}

}  // namespace

void escribir_registro(uint8_t cregistro, uint8_t cvalor) {
    Wire.beginTransmission(kDireccion);
    Wire.write(cregistro);
    Wire.write(cvalor);
    Wire.endTransmission();
}

uint8_t leer_registro(uint8_t cregistro) {
    // Without the pointer the byte read would come from another register.
    if (!apuntar_registro(cregistro)) {
        return kLecturaFallida;
    }
    Wire.requestFrom(kDireccion, 1);
    uint8_t cresultado = kLecturaFallida;
    if (Wire.available() == 0) {
        return cresultado;
    }
    cresultado = static_cast<uint8_t>(Wire.read());
    while (Wire.available() != 0) {
        Wire.read();
    }
    return cresultado;
}

void configurar_acelerometro() {
    leer_registro(INT_SOURCE);  // clears the sensor's latched event flags
    for (const Escritura& e : kConfiguracion) {
        escribir_registro(e.cregistro, e.cvalor);
    }
}

uint8_t leer_aceleracion(int16_t* /*x*/, int16_t* /*y*/, int16_t* /*z*/) {
    // Without the pointer the six bytes would be other registers.
    if (!apuntar_registro(DATAX0)) {
        return 0;
    }
    // DATAX0 to DATAZ1 by auto-increment: each axis low byte first.
    Wire.requestFrom(kDireccion, kBytesMuestra);
    uint8_t cbuffer[kBytesMuestra];
    uint8_t caux = 0;
    while (Wire.available() != 0) {
        const int c = Wire.read();
        if (caux < kBytesMuestra) {
            cbuffer[caux] = static_cast<uint8_t>(c);
        }
        ++caux;
    }
    if (caux != kBytesMuestra) {
        return 0;
    }
    for (uint8_t eje = 0; eje < kBytesMuestra; eje += 2) {
        cdatos[eje] = cbuffer[eje + 1];
        cdatos[eje + 1] = cbuffer[eje];
    }
    return 1;
}
