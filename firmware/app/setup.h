// The application's pin roles: six outputs, a pulled-up input and two pulled-down inputs.
#pragma once

#include <cstdint>

namespace pines {

// Driven high by PinConfig(1) and low at the end of setup: high for the whole start-up.
constexpr uint8_t kIndicadorArranque = 6;

}  // namespace pines

// Pin directions and pulls; with cinicial 1 also the outputs' start levels and the pulled-down
// inputs. Any other value sets only the six outputs and the pulled-up input.
void PinConfig(uint8_t cinicial);
