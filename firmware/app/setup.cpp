#include "app/setup.h"

#include "board/pin_description.h"
#include "board/wiring_digital.h"

namespace {

constexpr uint8_t kArranque = 1;  // the value setup passes: levels and pull-downs too

// Outputs, in the order they are configured.
constexpr uint8_t kSalidas[] = {8, 9, 11, 10, 7, pines::kIndicadorArranque};
// Outputs that start low, in the order they are written.
constexpr uint8_t kSalidasBajas[] = {8, 9, 11, 10};
// Outputs that start at the level of cinicial, in the order they are written.
constexpr uint8_t kSalidasAltas[] = {7, pines::kIndicadorArranque};
constexpr uint8_t kEntradaPullUp = 22;
// Inputs with a pull-down, in the order they are configured; nothing reads them.
constexpr uint8_t kEntradasPullDown[] = {17, 16};

}  // namespace

void PinConfig(uint8_t cinicial) {
    for (const uint8_t pin : kSalidas) {
        pinMode(pin, PIO_OUTPUT);
    }
    pinMode(kEntradaPullUp, PIO_INPUT_PULLUP);
    if (cinicial != kArranque) {
        return;
    }
    for (const uint8_t pin : kSalidasBajas) {
        digitalWrite(pin, LOW);
    }
    for (const uint8_t pin : kSalidasAltas) {
        digitalWrite(pin, cinicial);
    }
    for (const uint8_t pin : kEntradasPullDown) {
        pinMode(pin, PIO_INPUT_PULLDOWN);
    }
}
