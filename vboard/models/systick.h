// SysTick, the Cortex-M0+'s 24-bit down-counter. It counts processor
// cycles (CLKSOURCE = 1), reloads from LOAD when it reaches zero, sets
// COUNTFLAG and, with TICKINT, makes the SysTick exception pending.
// Writing VAL clears it; the next cycle loads LOAD, so from an enable with
// VAL 0 the first exception comes LOAD + 1 cycles later.
#pragma once

#include "../src/peripheral.h"

namespace vboard {

class SysTick : public Peripheral {
  public:
    static constexpr std::uint32_t kBase = 0xE000E010;
    static constexpr std::uint32_t kCTRL = 0x0, kLOAD = 0x4, kVAL = 0x8, kCALIB = 0xC;
    static constexpr std::uint32_t kEnable = 1u << 0, kTickInt = 1u << 1, kClkSource = 1u << 2,
                                   kCountFlag = 1u << 16;
    static constexpr std::uint32_t kCounterMask = 0x00FFFFFF;
    // No reference clock, no calibration value (NOREF set): unconfirmed on the part.
    static constexpr std::uint32_t kCalibValue = 1u << 31;

    explicit SysTick(Board& board);
    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    SimTime next_event() const override { return next_zero_; }
    void advance(SimTime now) override;
    void clocks_changed() override;

    std::uint32_t load() const { return load_; }
    std::uint32_t ctrl() const { return ctrl_; }
    std::uint32_t current_value() const;

  private:
    bool running() const { return (ctrl_ & kEnable) && cycle_ps_ != kNever; }
    void restart_from(std::uint32_t value);
    std::uint32_t ctrl_ = 0;
    std::uint32_t load_ = 0;
    std::uint32_t stopped_value_ = 0;
    bool count_flag_ = false;
    SimTime next_zero_ = kNever;  // when the counter next reaches zero
    SimTime cycle_ps_ = kNever;
};

}  // namespace vboard
