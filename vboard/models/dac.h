// DAC: configuration only (reference, channel control); SWRST and ENABLE
// are synchronised. Conversions are not modelled: enabling the DAC is
// reported.
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Dac : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x42003000;
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x01, kEVCTRL = 0x02, kINTENCLR = 0x04,
                                   kINTENSET = 0x05, kINTFLAG = 0x06, kSTATUS = 0x07,
                                   kSYNCBUSY = 0x08, kDACCTRL0 = 0x0C, kDACCTRL1 = 0x0E,
                                   kDATA0 = 0x10, kDATA1 = 0x12, kDATABUF0 = 0x14, kDATABUF1 = 0x16,
                                   kDBGCTRL = 0x18;
    static constexpr std::uint32_t kSwrst = 1u << 0, kEnable = 1u << 1;
    static constexpr unsigned kGclkChannel = 32;
    static constexpr unsigned kSyncPeriods = 3;

    explicit Dac(Board& board);
    void reset() override;
    bool enabled() const { return value(kCTRLA) & kEnable; }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    SimTime busy_until_ = 0;
    std::uint32_t busy_bits_ = 0;
};

}  // namespace vboard
