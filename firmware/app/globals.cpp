#include "app/globals.h"

namespace {
constexpr uint8_t kMuestrasFiltroInicial = 10;
}

stconfig_impacto config_impacto = {};
stconfig_inclinacion config_inclinacion = {};
uint8_t cmuestras_filtro = kMuestrasFiltroInicial;
uint8_t cdebug = 0;
