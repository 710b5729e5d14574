// Splitting a bus access over the registers it touches. An access of
// `width` bytes may cover several byte-wide registers (a 32-bit read of
// PMUX) or part of a wider one (a byte write to a 32-bit register); each
// register sees its own part.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vboard {

constexpr std::uint32_t width_mask(unsigned bytes) {
    return bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
}

// The part of an access that falls in one register.
struct AccessPart {
    std::uint32_t at;  // address offset of the part's first byte
    unsigned shift;    // bit position of that byte in its register
    unsigned bytes;    // bytes of the access in this register
    unsigned done;     // bytes of the access before this part
    std::uint32_t mask() const { return width_mask(bytes) << shift; }
    // The part's bits of an access value, placed in the register's position.
    std::uint32_t bits_of(std::uint32_t access_value) const {
        return ((access_value >> (8 * done)) & width_mask(bytes)) << shift;
    }
    // The part's bits of a register value, placed in the access's position.
    std::uint32_t place(std::uint32_t register_value) const {
        return ((register_value >> shift) & width_mask(bytes)) << (8 * done);
    }
};

// `locate(at)` returns a pointer to the register (anything with `offset`
// and `width` in bytes) holding byte `at`, or null; `on_part(reg, part)` is
// called for each register touched, `on_gap(at)` for each byte no register
// holds.
template <class Locate, class OnPart, class OnGap>
void split_access(std::uint32_t offset, unsigned width, Locate locate, OnPart on_part,
                  OnGap on_gap) {
    for (unsigned done = 0; done < width;) {
        const std::uint32_t at = offset + done;
        const auto* reg = locate(at);
        if (!reg) {
            on_gap(at);
            ++done;
            continue;
        }
        const std::uint32_t into = at - reg->offset;
        const AccessPart part{at, 8 * into, std::min<unsigned>(width - done, reg->width - into),
                              done};
        on_part(*reg, part);
        done += part.bytes;
    }
}

}  // namespace vboard
