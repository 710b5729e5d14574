// PM: power manager. A write of PLCFG starts a change of performance level;
// INTFLAG.PLRDY rises when the regulator has settled (write 1 to clear).
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Pm : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40000000;
    static constexpr std::uint32_t kCTRLA = 0x00, kSLEEPCFG = 0x01, kPLCFG = 0x02, kINTENCLR = 0x04,
                                   kINTENSET = 0x05, kINTFLAG = 0x06, kSTDBYCFG = 0x08,
                                   kPWSAKDLY = 0x0C;
    static constexpr std::uint32_t kPlSelMask = 0x3, kPlDis = 1u << 7, kPlRdy = 1u << 0;
    // Time for a performance-level change to settle (unconfirmed: the data
    // sheet gives no figure in our sources; a regulator step of tens of µs).
    static constexpr SimTime kLevelSettleTime = 20 * kMicrosecond;

    explicit Pm(Board& board);
    void reset() override;
    SimTime next_event() const override { return level_ready_at_; }
    void advance(SimTime now) override;
    unsigned performance_level() const { return value(kPLCFG) & kPlSelMask; }

  protected:
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    SimTime level_ready_at_ = kNever;
};

}  // namespace vboard
