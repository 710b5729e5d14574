#include "nvic.h"

#include "../src/board.h"

namespace vboard {

using exception::kFirstIrq;
using exception::kIrqLines;

Nvic::Nvic(Board& board) : Peripheral(board, "NVIC", kBase, kIPR + 4 * kIprWords) {}

bool Nvic::enabled(unsigned line) const {
    return board().exceptions().enabled_irq(line);
}

std::uint8_t Nvic::priority_byte(unsigned line) const {
    return board().exceptions().priority_byte(kFirstIrq + line);
}

std::uint32_t Nvic::read(std::uint32_t offset, unsigned width) {
    ExceptionController& ex = board().exceptions();
    const std::uint32_t word_offset = offset & ~3u;
    const unsigned shift = 8 * (offset & 3u);
    const std::uint32_t mask = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
    std::uint32_t word = 0;
    if (word_offset == kISER || word_offset == kICER) {
        for (unsigned i = 0; i < kIrqLines; ++i)
            if (ex.enabled_irq(i)) word |= 1u << i;
    } else if (word_offset == kISPR || word_offset == kICPR) {
        for (unsigned i = 0; i < kIrqLines; ++i)
            if (ex.pending(kFirstIrq + i)) word |= 1u << i;
    } else if (word_offset >= kIPR && word_offset < kIPR + 4 * kIprWords) {
        const unsigned first = kFirstIrq + 4 * ((word_offset - kIPR) / 4);
        for (unsigned b = 0; b < 4; ++b)
            word |= static_cast<std::uint32_t>(ex.priority_byte(first + b)) << (8 * b);
    } else {
        note(Finding::UnclaimedAccess, offset, "NVIC: read of reserved offset");
    }
    return (word >> shift) & mask;
}

void Nvic::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    ExceptionController& ex = board().exceptions();
    const std::uint32_t word_offset = offset & ~3u;
    if (word_offset >= kIPR && word_offset < kIPR + 4 * kIprWords) {
        // Priority bytes may be written one at a time.
        for (unsigned b = 0; b < width; ++b) {
            const unsigned exc = kFirstIrq + (offset - kIPR) + b;
            ex.set_priority_byte(exc, static_cast<std::uint8_t>(value >> (8 * b)));
        }
        board().irq_state_changed();
        return;
    }
    if (width != 4)
        note(Finding::Unsupported, offset, "NVIC: enable and pending registers take word writes");
    for (unsigned i = 0; i < kIrqLines; ++i) {
        if (!(value & (1u << i))) continue;
        switch (word_offset) {
            case kISER:
                ex.set_enabled(i, true);
                break;
            case kICER:
                ex.set_enabled(i, false);
                break;
            case kISPR:
                ex.set_pending(kFirstIrq + i);
                break;
            case kICPR:
                ex.clear_pending(kFirstIrq + i);
                break;
            default:
                note(Finding::UnclaimedAccess, offset, "NVIC: write of reserved offset");
                return;
        }
    }
    board().irq_state_changed();
}

}  // namespace vboard
