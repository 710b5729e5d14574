#include "scb.h"

#include "../src/board.h"

namespace vboard {

using namespace exception;

Scb::Scb(Board& board) : Peripheral(board, "SCB", kBase, 0x40) {}

void Scb::reset() {
    vtor_ = 0;
    scr_ = 0;
}

std::uint32_t Scb::read_word(std::uint32_t word_offset) const {
    const ExceptionController& ex = board().exceptions();
    switch (word_offset) {
        case kCPUID:
            return kCpuIdValue;
        case kICSR: {
            std::uint32_t v = ex.current() | (ex.highest_pending() << 12);
            for (unsigned exc = kFirstIrq; exc < kCount; ++exc)
                if (ex.pending(exc)) v |= kIcsrIsrPending;
            if (ex.pending(kSysTick)) v |= kIcsrPendStSet;
            if (ex.pending(kPendSv)) v |= kIcsrPendSvSet;
            return v;
        }
        case kVTOR:
            return vtor_;
        case kAIRCR:
            return kAircrKeyStat << 16;
        case kSCR:
            return scr_;
        case kCCR:
            return kCcrValue;
        case kSHPR2:
            return static_cast<std::uint32_t>(ex.priority_byte(kSvCall)) << 24;
        case kSHPR3:
            return static_cast<std::uint32_t>(ex.priority_byte(kPendSv)) << 16 |
                   static_cast<std::uint32_t>(ex.priority_byte(kSysTick)) << 24;
        case kSHCSR:
            return ex.pending(kSvCall) ? 1u << 15 : 0;
        default:
            return 0;
    }
}

std::uint32_t Scb::read(std::uint32_t offset, unsigned width) {
    const std::uint32_t word_offset = offset & ~3u;
    if (word_offset > kSHCSR || word_offset == 0x18)
        note(Finding::UnclaimedAccess, offset, "SCB: read of reserved offset");
    const std::uint32_t mask = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
    return (read_word(word_offset) >> (8 * (offset & 3u))) & mask;
}

void Scb::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    const unsigned shift = 8 * (offset & 3u);
    const std::uint32_t mask = (width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1) << shift;
    write_word(offset & ~3u, value << shift, mask);
}

void Scb::write_word(std::uint32_t word_offset, std::uint32_t value, std::uint32_t byte_mask) {
    ExceptionController& ex = board().exceptions();
    const std::uint32_t merged = (read_word(word_offset) & ~byte_mask) | (value & byte_mask);
    switch (word_offset) {
        case kCPUID:
        case kCCR:
            note(Finding::ReadOnlyWrite, word_offset, "SCB: write of read-only register");
            return;
        case kICSR:
            if (value & kIcsrPendStSet) ex.set_pending(kSysTick);
            if (value & kIcsrPendStClr) ex.clear_pending(kSysTick);
            if (value & kIcsrPendSvSet) ex.set_pending(kPendSv);
            if (value & kIcsrPendSvClr) ex.clear_pending(kPendSv);
            if (value & kIcsrNmiPendSet) ex.set_pending(kNmi);
            board().irq_state_changed();
            return;
        case kVTOR:
            vtor_ = merged & kVtorMask;
            return;
        case kAIRCR:
            if ((value >> 16) != kAircrKey) return;  // writes without the key are ignored
            if (value & kAircrVectClrActive)
                note(Finding::Unsupported, word_offset, "SCB AIRCR: VECTCLRACTIVE");
            if (value & kAircrSysResetReq) board().request_reset(ResetCause::SystemResetRequest);
            return;
        case kSCR:
            if (merged & ~kScrWritable)
                note(Finding::UnmodelledField, word_offset, "SCB SCR: reserved bits written");
            scr_ = merged & kScrWritable;
            return;
        case kSHPR2:
            ex.set_priority_byte(kSvCall, static_cast<std::uint8_t>(merged >> 24));
            break;
        case kSHPR3:
            ex.set_priority_byte(kPendSv, static_cast<std::uint8_t>(merged >> 16));
            ex.set_priority_byte(kSysTick, static_cast<std::uint8_t>(merged >> 24));
            break;
        default:
            note(Finding::UnclaimedAccess, word_offset, "SCB: write of reserved offset");
            return;
    }
    board().irq_state_changed();
}

}  // namespace vboard
