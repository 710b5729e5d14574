#include "systick.h"

#include "../src/board.h"

namespace vboard {

SysTick::SysTick(Board& board) : Peripheral(board, "SysTick", kBase, 0x10) {}

void SysTick::reset() {
    ctrl_ = 0;
    load_ = 0;
    stopped_value_ = 0;
    count_flag_ = false;
    next_zero_ = kNever;
    cycle_ps_ = period_of(board().cpu_hz());
}

std::uint32_t SysTick::current_value() const {
    if (!running() || next_zero_ == kNever) return stopped_value_;
    const SimTime left = next_zero_ > now() ? next_zero_ - now() : 0;
    const std::uint64_t cycles = (left + cycle_ps_ - 1) / cycle_ps_;
    return static_cast<std::uint32_t>(cycles > load_ ? load_ : cycles);
}

void SysTick::restart_from(std::uint32_t value) {
    // From 0 the counter first loads LOAD (one cycle), then counts it down.
    const std::uint64_t cycles = value == 0 ? std::uint64_t{load_} + 1 : value;
    next_zero_ = (running() && load_ != 0) ? now() + cycles * cycle_ps_ : kNever;
    reschedule();
}

void SysTick::advance(SimTime now) {
    while (next_zero_ <= now) {
        count_flag_ = true;
        if (ctrl_ & kTickInt) {
            board().exceptions().set_pending(exception::kSysTick);
            board().irq_state_changed();
        }
        next_zero_ = load_ == 0 ? kNever : next_zero_ + (std::uint64_t{load_} + 1) * cycle_ps_;
    }
}

void SysTick::clocks_changed() {
    const SimTime new_cycle = period_of(board().cpu_hz());
    if (new_cycle == cycle_ps_) return;
    const std::uint32_t value = current_value();
    cycle_ps_ = new_cycle;
    if (running()) restart_from(value);
}

std::uint32_t SysTick::read(std::uint32_t offset, unsigned width) {
    std::uint32_t v = 0;
    switch (offset & ~3u) {
        case kCTRL:
            v = ctrl_ | (count_flag_ ? kCountFlag : 0);
            count_flag_ = false;  // COUNTFLAG clears on read
            break;
        case kLOAD:
            v = load_;
            break;
        case kVAL:
            v = current_value();
            break;
        case kCALIB:
            v = kCalibValue;
            break;
    }
    const std::uint32_t mask = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
    return (v >> (8 * (offset & 3u))) & mask;
}

void SysTick::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    if (width != 4) note(Finding::Unsupported, offset, "SysTick: registers take word writes");
    switch (offset & ~3u) {
        case kCTRL: {
            const std::uint32_t before = current_value();
            const bool was_running = running();
            if (value & ~(kEnable | kTickInt | kClkSource))
                note(Finding::UnmodelledField, offset, "SysTick CTRL: reserved bits written");
            if ((value & kEnable) && !(value & kClkSource))
                note(Finding::Unsupported, offset,
                     "SysTick CTRL: external reference clock (CLKSOURCE 0) not modelled");
            ctrl_ = value & (kEnable | kTickInt | kClkSource);
            if (!running()) {
                stopped_value_ = before;
                next_zero_ = kNever;
                reschedule();
            } else if (!was_running) {
                restart_from(stopped_value_);
            }
            break;
        }
        case kLOAD:
            load_ = value & kCounterMask;
            break;  // used at the next reload
        case kVAL:
            stopped_value_ = 0;
            count_flag_ = false;
            if (running()) restart_from(0);
            break;
        case kCALIB:
            note(Finding::ReadOnlyWrite, offset, "SysTick CALIB: write of read-only register");
            break;
    }
}

}  // namespace vboard
