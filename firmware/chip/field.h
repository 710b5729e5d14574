// Helpers for naming register fields: a single bit, or a field of Width bits at Pos.
#pragma once

#include <cstdint>

namespace chip {

constexpr uint32_t bit(unsigned n) {
    return uint32_t{1} << n;
}

template <unsigned FieldPos, unsigned FieldWidth>
struct Field {
    static_assert(FieldWidth > 0 && FieldPos + FieldWidth <= 32, "field outside a 32-bit register");
    static constexpr unsigned Pos = FieldPos;
    static constexpr unsigned Width = FieldWidth;
    static constexpr uint32_t Msk =
        (FieldWidth == 32 ? ~uint32_t{0} : ((uint32_t{1} << FieldWidth) - 1u)) << FieldPos;
    // The field value v placed in its register position.
    static constexpr uint32_t val(uint32_t v) { return (v << Pos) & Msk; }
    // The field extracted from a register value.
    static constexpr uint32_t get(uint32_t reg) { return (reg & Msk) >> Pos; }
};

}  // namespace chip
