// ADC: the analogue-to-digital converter, as far as bring-up uses it.
//
// Writes of the synchronised registers keep their SYNCBUSY bit set for a few
// periods of the ADC's generic clock. A conversion started by SWTRIG.START
// while enabled takes (SAMPLEN + 1) / 2 sampling plus resolution-many cycles
// of the prescaled ADC clock, then sets INTFLAG.RESRDY and RESULT (a fixed
// mid-scale reading: no analogue inputs are modelled).
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Adc : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x43000C00;
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x01, kREFCTRL = 0x02, kEVCTRL = 0x03,
                                   kINTENCLR = 0x04, kINTENSET = 0x05, kINTFLAG = 0x06,
                                   kSEQSTATUS = 0x07, kINPUTCTRL = 0x08, kCTRLC = 0x0A,
                                   kAVGCTRL = 0x0C, kSAMPCTRL = 0x0D, kWINLT = 0x0E, kWINUT = 0x10,
                                   kGAINCORR = 0x12, kOFFSETCORR = 0x14, kSWTRIG = 0x18,
                                   kDBGCTRL = 0x1C, kSYNCBUSY = 0x20, kRESULT = 0x24,
                                   kSEQCTRL = 0x28, kCALIB = 0x2C;
    static constexpr std::uint32_t kSwrst = 1u << 0, kEnable = 1u << 1, kStart = 1u << 1,
                                   kFlush = 1u << 0, kResRdy = 1u << 0;
    static constexpr unsigned kGclkChannel = 30;
    static constexpr unsigned kSyncPeriods = 3;
    static constexpr std::uint32_t kMidScale10Bit = 0x200;

    explicit Adc(Board& board);
    void reset() override;
    SimTime next_event() const override { return conversion_done_at_; }
    void advance(SimTime now) override;
    bool enabled() const { return value(kCTRLA) & kEnable; }
    unsigned conversions() const { return conversions_; }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    std::uint32_t sync_bit(std::uint32_t offset) const;
    void start_sync(std::uint32_t bit);
    SimTime conversion_time() const;
    SimTime busy_until_[11] = {};
    SimTime conversion_done_at_ = kNever;
    unsigned conversions_ = 0;
};

}  // namespace vboard
