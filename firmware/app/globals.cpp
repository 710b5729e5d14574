#include "app/globals.h"

namespace {
constexpr uint8_t kMuestrasFiltroInicial = 10;
}

stconfig_impacto config_impacto = {};
stconfig_inclinacion config_inclinacion = {};
uint8_t cmuestras_filtro = kMuestrasFiltroInicial;
uint8_t cdebug = 0;

volatile uint8_t ctick = 0;
uint8_t cdatos[6] = {};

uint8_t cled_estado = 0;
sttest test = {};
float fmedida = 0.0f;
uint8_t cimpacto_leve = 0;
uint16_t iretardo_impacto_leve = 0;
uint16_t itemporizado_impacto_leve = 0;
uint8_t cimpacto_grave = 0;
uint16_t iretardo_impacto_grave = 0;
uint16_t itemporizado_impacto_grave = 0;
float fvalores_leve[3] = {};
float fvalores_grave[3] = {};
