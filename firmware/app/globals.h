// Globals shared by the application's modules, and their record types.
#pragma once

#include <cstdint>

// Impact detection: a light and a severe level.
struct stconfig_impacto {
    uint8_t ceje;          // axis selector, 0 to 3
    uint8_t cenable_leve;  // 0 or 1
    float fumbral_impacto_leve;
    uint16_t iretardo_impacto_leve;  // 0 to 9999
    uint8_t ctiempo_alarma_impacto_leve;
    uint8_t cinvertir_leve;  // 0 or 1
    uint8_t cenable_grave;   // 0 or 1
    float fumbral_impacto_grave;
    uint16_t iretardo_impacto_grave;  // 0 to 9999
    uint8_t ctiempo_alarma_impacto_grave;
    uint8_t cinvertir_grave;  // 0 or 1
};

// Tilt detection: permanent and rocking tilt.
struct stconfig_inclinacion {
    uint8_t ceje;
    uint8_t cenable_permanente;
    uint8_t cumbral_permanente;  // whole units, not tenths
    uint16_t iretardo_permanente;
    uint8_t cinvertir_permanente;
    uint8_t cenable_basculante;
    uint8_t cinvertir_basculante;  // not persisted
};

// Test-mode state.
struct sttest {
    uint8_t en_test;
    uint8_t test_rapido;
    uint8_t posicion_test_rapido;
    uint8_t test_acelerometro;
};
static_assert(sizeof(sttest) == 4);

// Sample tick flag: the TC0 interrupt stores 1, loop stores 0 after a frame. A flag, not a
// counter.
extern volatile uint8_t ctick;

// The last good sample, each axis high byte first: X high, X low, Y high, Y low, Z high, Z low.
// Written by leer_aceleracion, sent by loop.
extern uint8_t cdatos[6];

// Working state, set to its start values by inicializacion_dispositivo.
extern uint8_t cled_estado;
extern sttest test;
extern float fmedida;
extern uint8_t cimpacto_leve;
extern uint16_t iretardo_impacto_leve;
extern uint16_t itemporizado_impacto_leve;
extern uint8_t cimpacto_grave;
extern uint16_t iretardo_impacto_grave;
extern uint16_t itemporizado_impacto_grave;
extern float fvalores_leve[3];
extern float fvalores_grave[3];

// Configuration, persisted by storage/procesado.
extern stconfig_impacto config_impacto;
extern stconfig_inclinacion config_inclinacion;
extern uint8_t cmuestras_filtro;  // filter sample count: 5, 10 or 15
extern uint8_t cdebug;            // non-zero: the configuration load prints what it loaded
