#include "app/comunicaciones_pc.h"

#include <cstdint>

#include "board/variant.h"

namespace {

constexpr char kLineaAsteriscos[] = "************************************************************";
static_assert(sizeof(kLineaAsteriscos) - 1 == 60);
constexpr uint8_t kTab = 9;
constexpr int kVersionHardware = 1;
constexpr int kVersionFirmwareMayor = 1;
constexpr int kVersionFirmwareMenor = 0;
constexpr int kDecimal = 10;

}  // namespace

void mensaje_de_bienvenida() {
    Serial1.println(kLineaAsteriscos);
    Serial1.write(kTab);
    Serial1.write(kTab);
    Serial1.println("Sensor de impactos");
    Serial1.write(kTab);
    Serial1.print("Hw ");
    Serial1.print(kVersionHardware, kDecimal);
    Serial1.write(kTab);
    Serial1.print("Fw ");
    Serial1.print(kVersionFirmwareMayor, kDecimal);
    Serial1.print(".");
    Serial1.print(kVersionFirmwareMenor, kDecimal);
    Serial1.println(" - pruebas");
    Serial1.println(kLineaAsteriscos);
}
