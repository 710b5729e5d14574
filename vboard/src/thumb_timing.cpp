#include "thumb_timing.h"

namespace vboard {

namespace {

bool is_32bit(std::uint16_t first) {
    const unsigned top5 = first >> 11;
    return top5 == 0x1D || top5 == 0x1E || top5 == 0x1F;
}

unsigned bit_count(unsigned v) {
    return static_cast<unsigned>(__builtin_popcount(v));
}

std::uint32_t cycles_16(std::uint16_t op) {
    if ((op & 0xF800) == 0x4800) return 2;  // LDR literal
    if ((op & 0xF000) == 0x5000 || (op & 0xE000) == 0x6000)
        return 2;  // LDR/STR register, immediate
    if ((op & 0xF000) == 0x8000 || (op & 0xF000) == 0x9000) return 2;  // halfword, SP-relative
    if ((op & 0xFF00) == 0x4700) return 2;                             // BX, BLX register
    if ((op & 0xFE00) == 0xB400) return 1 + bit_count(op & 0x1FF);     // PUSH {..., lr}
    if ((op & 0xFE00) == 0xBC00)
        return (op & 0x100) ? 3 + bit_count(op & 0xFF) : 1 + bit_count(op & 0xFF);
    if ((op & 0xF000) == 0xC000) return 1 + bit_count(op & 0xFF);      // LDM, STM
    if ((op & 0xF000) == 0xD000 && (op & 0x0E00) != 0x0E00) return 2;  // B<cond>
    if ((op & 0xF800) == 0xE000) return 2;                             // B
    return 1;
}

}  // namespace

BlockCost thumb_block_cost(const std::uint8_t* code, std::size_t bytes) {
    BlockCost cost{0, 0};
    for (std::size_t at = 0; at + 1 < bytes;) {
        const std::uint16_t first = static_cast<std::uint16_t>(code[at] | (code[at + 1] << 8));
        ++cost.instructions;
        if (is_32bit(first)) {
            cost.cycles += 3;  // BL, MRS, MSR, DMB, DSB, ISB
            at += 4;
        } else {
            cost.cycles += cycles_16(first);
            at += 2;
        }
    }
    return cost;
}

}  // namespace vboard
