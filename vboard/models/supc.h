// SUPC: supply controller. The firmware only routes the voltage reference
// (VREF VREFOE and SEL); the regulators and brown-out detectors are stored.
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Supc : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40001400;
    static constexpr std::uint32_t kINTENCLR = 0x00, kINTENSET = 0x04, kINTFLAG = 0x08,
                                   kSTATUS = 0x0C, kBOD33 = 0x10, kBOD12 = 0x14, kVREG = 0x18,
                                   kVREF = 0x1C, kBBPS = 0x20, kBKOUT = 0x24, kBKIN = 0x28;
    static constexpr std::uint32_t kVrefTsen = 1u << 1, kVrefVrefoe = 1u << 2, kVrefSelPos = 16,
                                   kVrefSelMask = 0xFu << 16;

    explicit Supc(Board& board);
    bool reference_output_enabled() const { return value(kVREF) & kVrefVrefoe; }
    unsigned reference_select() const { return (value(kVREF) & kVrefSelMask) >> kVrefSelPos; }
};

}  // namespace vboard
