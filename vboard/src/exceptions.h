// The exception state of a Cortex-M0+ (ARMv6-M): which exceptions are
// pending, enabled and active, their priorities, and which one the
// processor takes next. The NVIC, SCB and SysTick register models are views
// of this state; the CPU core performs entry and return.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vboard {

namespace exception {
constexpr unsigned kNmi = 2;
constexpr unsigned kHardFault = 3;
constexpr unsigned kSvCall = 11;
constexpr unsigned kPendSv = 14;
constexpr unsigned kSysTick = 15;
constexpr unsigned kFirstIrq = 16;
constexpr unsigned kIrqLines = 32;  // the NVIC of ARMv6-M has up to 32 lines
constexpr unsigned kCount = kFirstIrq + kIrqLines;
}  // namespace exception

class ExceptionController {
  public:
    // Only bits 7:6 of a priority byte exist on this core (two priority bits).
    static constexpr std::uint8_t kImplementedPriorityBits = 0xC0;
    // Execution priority of thread mode with nothing active: lower than any.
    static constexpr int kThreadPriority = 256;

    void reset();

    // Pending state. Peripheral lines are level-sensitive: a high line
    // makes its interrupt pending unless it is active; a line still high
    // when its handler returns makes it pending again.
    void set_pending(unsigned exc);
    void clear_pending(unsigned exc);
    bool pending(unsigned exc) const { return pending_[exc]; }
    void set_line(unsigned irq, bool level);
    bool line(unsigned irq) const { return level_[exception::kFirstIrq + irq]; }

    void set_enabled(unsigned irq, bool on);
    bool enabled_irq(unsigned irq) const { return enabled_[exception::kFirstIrq + irq]; }

    // Priority bytes: IRQ n, and the configurable system exceptions
    // (SVCall, PendSV, SysTick). Unimplemented bits read as zero.
    void set_priority_byte(unsigned exc, std::uint8_t value);
    std::uint8_t priority_byte(unsigned exc) const { return priority_[exc]; }
    int priority(unsigned exc) const;

    bool active(unsigned exc) const;
    bool in_handler() const { return !active_.empty(); }
    unsigned current() const { return active_.empty() ? 0 : active_.back(); }
    int execution_priority(bool primask) const;

    // The exception the processor takes now, or 0 for none.
    unsigned next_to_take(bool primask) const;
    // Whether anything is pending and enabled at all (taken or not).
    bool anything_pending() const;
    // Highest-priority pending and enabled exception regardless of masking (for ICSR).
    unsigned highest_pending() const;

    void activate(unsigned exc);
    // Exception return from `exc`; returns false if it was not the innermost active one.
    bool deactivate(unsigned exc);

  private:
    bool is_enabled(unsigned exc) const;
    std::array<bool, exception::kCount> pending_{};
    std::array<bool, exception::kCount> level_{};  // IRQ lines (indexed by exception number)
    std::array<bool, exception::kCount> enabled_{};
    std::array<std::uint8_t, exception::kCount> priority_{};
    std::vector<unsigned> active_;  // nesting order, innermost last
};

}  // namespace vboard
