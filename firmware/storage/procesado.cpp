#include "storage/procesado.h"

#include <cstdint>

#include "app/globals.h"
#include "board/variant.h"
#include "storage/flash_eeprom.h"

namespace {

// Persisted layout: offsets in the emulated EEPROM.
constexpr int kOffMuestras = 0;
constexpr int kOffEje = 1;
constexpr int kOffEnableLeve = 2;
constexpr int kOffUmbralLeve = 3;
constexpr int kOffRetardoLeve = 4;  // high byte, then low byte
constexpr int kOffTiempoAlarmaLeve = 6;
constexpr int kOffInvertirLeve = 7;
constexpr int kOffEnableGrave = 8;
constexpr int kOffUmbralGrave = 9;
constexpr int kOffRetardoGrave = 10;  // high byte, then low byte
constexpr int kOffTiempoAlarmaGrave = 12;
constexpr int kOffInvertirGrave = 13;
constexpr int kOffInclEje = 14;
constexpr int kOffInclEnablePermanente = 15;
constexpr int kOffInclUmbralPermanente = 16;
constexpr int kOffInclRetardoPermanente = 17;  // high byte, then low byte
constexpr int kOffInclInvertirPermanente = 19;
constexpr int kOffInclEnableBasculante = 20;

// Sample-count codes.
constexpr uint8_t kMuestras5 = 5, kMuestras10 = 10, kMuestras15 = 15;
constexpr uint8_t kCodigo5 = 0, kCodigo10 = 1, kCodigo15 = 2;

// The blank test covers every data byte; a blank byte is erased or never written.
constexpr int kDatosEeprom = static_cast<int>(EEPROM_EMULATION_SIZE);
constexpr uint8_t kByteBorrado = 0xFF;
constexpr uint8_t kByteVacio = 0x00;

// Thresholds are stored in tenths.
constexpr float kDecimas = 10.0f;

// Accepted ranges and substitutes.
constexpr uint8_t kEjeMax = 3, kEjeSustituto = 3;
constexpr uint8_t kFlagMax = 1;
constexpr uint8_t kEnableSustituto = 1, kInvertirSustituto = 0;
constexpr float kUmbralLeveMin = 0.0f;   // excluded
constexpr float kUmbralGraveMin = 2.0f;  // excluded
constexpr double kUmbralMax = 15.9;      // included; tested in double precision
constexpr float kUmbralLeveSustituto = 3.0f, kUmbralGraveSustituto = 5.0f;
constexpr uint16_t kRetardoMax = 9999, kRetardoSustituto = 100;
constexpr uint8_t kTiempoAlarmaMax = 99, kTiempoAlarmaSustituto = 10;
constexpr uint8_t kTiempoAlarmaLeveRechazado = 2;
constexpr uint8_t kTiempoAlarmaGraveMin = 1;

// Factory defaults.
constexpr uint8_t kDefEje = 3;
constexpr float kDefUmbralLeve = 3.0f, kDefUmbralGrave = 5.0f;
constexpr uint16_t kDefRetardo = 100;
constexpr uint8_t kDefTiempoAlarma = 10;
constexpr uint8_t kDefInvertir = 0;
constexpr uint8_t kDefInclEje = 2;
constexpr uint8_t kDefInclUmbralPermanente = 45;
constexpr uint16_t kDefInclRetardoPermanente = 100;
constexpr uint8_t kDefInclInvertirPermanente = 0;

constexpr unsigned kBitsPorByte = 8;

uint8_t byteAlto(uint16_t v) {
    return static_cast<uint8_t>(v >> kBitsPorByte);
}
uint8_t byteBajo(uint16_t v) {
    return static_cast<uint8_t>(v);
}

// Single-precision product, truncated toward zero; the low 8 bits are stored.
uint8_t aDecimas(float umbral) {
    return static_cast<uint8_t>(static_cast<int32_t>(umbral * kDecimas));
}
float deDecimas(uint8_t decimas) {
    return static_cast<float>(decimas) / kDecimas;
}

uint16_t leer16(int offset) {
    uint16_t v = static_cast<uint16_t>(EEPROM.read(offset) << kBitsPorByte);
    v = static_cast<uint16_t>(v + EEPROM.read(offset + 1));
    return v;
}

void grabar16(int offset, uint16_t v) {
    EEPROM.update(offset, byteAlto(v));
    EEPROM.update(offset + 1, byteBajo(v));
}

bool umbralFueraDeRango(float umbral, float minimo) {
    return umbral <= minimo || static_cast<double>(umbral) > kUmbralMax;
}

// Thresholds are printed with two decimals.
constexpr int kDigitosUmbral = 2;

// The values as loaded and checked, one per line, on the host's serial line.
void imprimir_configuracion() {
    Serial1.println("cargado:");
    Serial1.print("m:");
    Serial1.println(cmuestras_filtro, DEC);
    Serial1.print("e:");
    Serial1.println(config_impacto.ceje, DEC);
    Serial1.print("ul:");
    Serial1.println(static_cast<double>(config_impacto.fumbral_impacto_leve), kDigitosUmbral);
    Serial1.print("rl:");
    Serial1.println(static_cast<int>(config_impacto.iretardo_impacto_leve), DEC);
    Serial1.print("tl:");
    Serial1.println(config_impacto.ctiempo_alarma_impacto_leve, DEC);
    Serial1.print("il:");
    Serial1.println(config_impacto.cinvertir_leve, DEC);
    Serial1.print("ug:");
    Serial1.println(static_cast<double>(config_impacto.fumbral_impacto_grave), kDigitosUmbral);
    Serial1.print("rg:");
    Serial1.println(static_cast<int>(config_impacto.iretardo_impacto_grave), DEC);
    Serial1.print("tg:");
    Serial1.println(config_impacto.ctiempo_alarma_impacto_grave, DEC);
    Serial1.print("ig:");
    Serial1.println(config_impacto.cinvertir_grave, DEC);
}

}  // namespace

void grabar_configuracion() {
    uint8_t codigo;
    switch (cmuestras_filtro) {
        case kMuestras10:
            codigo = kCodigo10;
            break;
        case kMuestras15:
            codigo = kCodigo15;
            break;
        case kMuestras5:
            codigo = kCodigo5;
            break;
        default:
            cmuestras_filtro = kMuestras10;
            codigo = kCodigo10;
            break;
    }
    EEPROM.update(kOffMuestras, codigo);
    EEPROM.update(kOffEje, config_impacto.ceje);
    EEPROM.update(kOffEnableLeve, config_impacto.cenable_leve);
    EEPROM.update(kOffUmbralLeve, aDecimas(config_impacto.fumbral_impacto_leve));
    grabar16(kOffRetardoLeve, config_impacto.iretardo_impacto_leve);
    EEPROM.update(kOffTiempoAlarmaLeve, config_impacto.ctiempo_alarma_impacto_leve);
    EEPROM.update(kOffInvertirLeve, config_impacto.cinvertir_leve);
    EEPROM.update(kOffEnableGrave, config_impacto.cenable_grave);
    EEPROM.update(kOffUmbralGrave, aDecimas(config_impacto.fumbral_impacto_grave));
    grabar16(kOffRetardoGrave, config_impacto.iretardo_impacto_grave);
    EEPROM.update(kOffTiempoAlarmaGrave, config_impacto.ctiempo_alarma_impacto_grave);
    EEPROM.update(kOffInvertirGrave, config_impacto.cinvertir_grave);
    EEPROM.update(kOffInclEje, config_inclinacion.ceje);
    EEPROM.update(kOffInclEnablePermanente, config_inclinacion.cenable_permanente);
    EEPROM.update(kOffInclUmbralPermanente, config_inclinacion.cumbral_permanente);
    grabar16(kOffInclRetardoPermanente, config_inclinacion.iretardo_permanente);
    EEPROM.update(kOffInclInvertirPermanente, config_inclinacion.cinvertir_permanente);
    EEPROM.update(kOffInclEnableBasculante, config_inclinacion.cenable_basculante);
    EEPROM.commit();
}

void verificacion_memoria() {
    for (int iaux = 0; iaux < kDatosEeprom; ++iaux) {
        const uint8_t cdato = EEPROM.read(iaux);
        if (cdato != kByteVacio && cdato != kByteBorrado) {
            return;
        }
    }
    cmuestras_filtro = kMuestras10;
    config_impacto.ceje = kDefEje;
    config_impacto.fumbral_impacto_leve = kDefUmbralLeve;
    config_impacto.iretardo_impacto_leve = kDefRetardo;
    config_impacto.ctiempo_alarma_impacto_leve = kDefTiempoAlarma;
    config_impacto.cinvertir_leve = kDefInvertir;
    config_impacto.fumbral_impacto_grave = kDefUmbralGrave;
    config_impacto.iretardo_impacto_grave = kDefRetardo;
    config_impacto.ctiempo_alarma_impacto_grave = kDefTiempoAlarma;
    config_impacto.cinvertir_grave = kDefInvertir;
    config_inclinacion.ceje = kDefInclEje;
    config_inclinacion.cumbral_permanente = kDefInclUmbralPermanente;
    config_inclinacion.iretardo_permanente = kDefInclRetardoPermanente;
    config_inclinacion.cinvertir_permanente = kDefInclInvertirPermanente;
    grabar_configuracion();
}

void cargar_estructuras_configuracion() {
    uint8_t cerror = 0;

    switch (EEPROM.read(kOffMuestras)) {
        case kCodigo5:
            cmuestras_filtro = kMuestras5;
            break;
        case kCodigo10:
            cmuestras_filtro = kMuestras10;
            break;
        case kCodigo15:
            cmuestras_filtro = kMuestras15;
            break;
        default:
            cmuestras_filtro = kMuestras10;
            cerror = 1;
            break;
    }

    config_impacto.ceje = EEPROM.read(kOffEje);
    config_impacto.cenable_leve = EEPROM.read(kOffEnableLeve);
    config_impacto.fumbral_impacto_leve = deDecimas(EEPROM.read(kOffUmbralLeve));
    config_impacto.iretardo_impacto_leve = leer16(kOffRetardoLeve);
    config_impacto.ctiempo_alarma_impacto_leve = EEPROM.read(kOffTiempoAlarmaLeve);
    config_impacto.cinvertir_leve = EEPROM.read(kOffInvertirLeve);
    config_impacto.cenable_grave = EEPROM.read(kOffEnableGrave);
    config_impacto.fumbral_impacto_grave = deDecimas(EEPROM.read(kOffUmbralGrave));
    config_impacto.iretardo_impacto_grave = leer16(kOffRetardoGrave);
    config_impacto.ctiempo_alarma_impacto_grave = EEPROM.read(kOffTiempoAlarmaGrave);
    config_impacto.cinvertir_grave = EEPROM.read(kOffInvertirGrave);

    // The tilt section is read back as stored, unchecked, so that a rewrite keeps it.
    config_inclinacion.ceje = EEPROM.read(kOffInclEje);
    config_inclinacion.cenable_permanente = EEPROM.read(kOffInclEnablePermanente);
    config_inclinacion.cumbral_permanente = EEPROM.read(kOffInclUmbralPermanente);
    config_inclinacion.iretardo_permanente = leer16(kOffInclRetardoPermanente);
    config_inclinacion.cinvertir_permanente = EEPROM.read(kOffInclInvertirPermanente);
    config_inclinacion.cenable_basculante = EEPROM.read(kOffInclEnableBasculante);

    if (config_impacto.ceje > kEjeMax) {
        config_impacto.ceje = kEjeSustituto;
        cerror = 1;
    }
    if (config_impacto.cenable_leve > kFlagMax) {
        config_impacto.cenable_leve = kEnableSustituto;
        cerror = 1;
    }
    if (umbralFueraDeRango(config_impacto.fumbral_impacto_leve, kUmbralLeveMin)) {
        config_impacto.fumbral_impacto_leve = kUmbralLeveSustituto;
        cerror = 1;
    }
    if (config_impacto.iretardo_impacto_leve > kRetardoMax) {
        config_impacto.iretardo_impacto_leve = kRetardoSustituto;
        cerror = 1;
    }
    if (config_impacto.ctiempo_alarma_impacto_leve == kTiempoAlarmaLeveRechazado ||
        config_impacto.ctiempo_alarma_impacto_leve > kTiempoAlarmaMax) {
        config_impacto.ctiempo_alarma_impacto_leve = kTiempoAlarmaSustituto;
        cerror = 1;
    }
    if (config_impacto.cinvertir_leve > kFlagMax) {
        config_impacto.cinvertir_leve = kInvertirSustituto;
        cerror = 1;
    }
    if (config_impacto.cenable_grave > kFlagMax) {
        config_impacto.cenable_grave = kEnableSustituto;
        cerror = 1;
    }
    if (umbralFueraDeRango(config_impacto.fumbral_impacto_grave, kUmbralGraveMin)) {
        config_impacto.fumbral_impacto_grave = kUmbralGraveSustituto;
        cerror = 1;
    }
    if (config_impacto.iretardo_impacto_grave > kRetardoMax) {
        config_impacto.iretardo_impacto_grave = kRetardoSustituto;
        cerror = 1;
    }
    if (config_impacto.ctiempo_alarma_impacto_grave < kTiempoAlarmaGraveMin ||
        config_impacto.ctiempo_alarma_impacto_grave > kTiempoAlarmaMax) {
        config_impacto.ctiempo_alarma_impacto_grave = kTiempoAlarmaSustituto;
        cerror = 1;
    }
    if (config_impacto.cinvertir_grave > kFlagMax) {
        config_impacto.cinvertir_grave = kInvertirSustituto;
        cerror = 1;
    }

    if (cdebug != 0) {
        imprimir_configuracion();
    }
    if (cerror != 0) {
        grabar_configuracion();
    }
}
