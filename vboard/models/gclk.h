// GCLK: the generic clock generators and the peripheral channels.
//
// A generator divides its source (OSC16M, or a 32.768 kHz oscillator) and
// feeds the main clock (generator 0) and the peripheral channels. Writes to
// CTRLA.SWRST and GENCTRLn are synchronised into the generator's clock
// domain: SYNCBUSY shows them busy for a few generator clock periods.
#pragma once

#include <array>

#include "../src/register_peripheral.h"

namespace vboard {

class Gclk : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40001800;
    static constexpr unsigned kGenerators = 9;
    static constexpr unsigned kChannels = 36;
    static constexpr std::uint32_t kCTRLA = 0x00, kSYNCBUSY = 0x04, kGENCTRL = 0x20,
                                   kPCHCTRL = 0x80;
    static constexpr std::uint32_t kSwrst = 1u << 0;
    static constexpr std::uint32_t kGenSrcMask = 0xF, kGenEn = 1u << 8, kGenIdc = 1u << 9,
                                   kGenOov = 1u << 10, kGenOe = 1u << 11, kGenDivSel = 1u << 12,
                                   kGenRunStdby = 1u << 13, kGenDivPos = 16;
    static constexpr std::uint32_t kChGenMask = 0xF, kChEn = 1u << 6, kChWrtLock = 1u << 7;
    // Generator sources.
    static constexpr std::uint32_t kSrcOscUlp32k = 3, kSrcOsc32k = 4, kSrcOsc16m = 6;
    static constexpr std::uint32_t kSlowOscillatorHz = 32768;
    // Generator 0 runs from OSC16M after reset (derived, unconfirmed on this part).
    static constexpr std::uint32_t kGenctrl0Reset = kGenEn | kSrcOsc16m;
    // Synchronisation takes this many periods of the generator's clock.
    static constexpr unsigned kSyncPeriods = 3;

    explicit Gclk(Board& board);
    void reset() override;

    std::uint32_t generator_hz(unsigned generator) const;
    // The clock a peripheral channel delivers, 0 when the channel is off.
    std::uint32_t channel_hz(unsigned channel) const;
    std::uint32_t genctrl(unsigned n) const { return value(kGENCTRL + 4 * n); }
    std::uint32_t pchctrl(unsigned m) const { return value(kPCHCTRL + 4 * m); }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    std::uint32_t source_hz(unsigned generator) const;
    SimTime sync_time(unsigned generator) const;
    SimTime swrst_until_ = 0;
    std::array<SimTime, kGenerators> genctrl_busy_until_{};
};

}  // namespace vboard
