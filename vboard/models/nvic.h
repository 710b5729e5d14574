// NVIC of the Cortex-M0+: the set/clear-enable and set/clear-pending words
// and the eight interrupt priority words, as views of the exception state.
#pragma once

#include "../src/peripheral.h"

namespace vboard {

class Nvic : public Peripheral {
  public:
    static constexpr std::uint32_t kBase = 0xE000E100;
    static constexpr std::uint32_t kISER = 0x000, kICER = 0x080, kISPR = 0x100, kICPR = 0x180,
                                   kIPR = 0x300;
    static constexpr std::uint32_t kIprWords = 8;

    explicit Nvic(Board& board);
    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override {}  // the state lives in the exception controller

    // For tests: the line's enable bit and priority byte.
    bool enabled(unsigned line) const;
    std::uint8_t priority_byte(unsigned line) const;
};

}  // namespace vboard
