// MCLK: the main clock's dividers and the bus clock masks. The processor
// runs at generator 0 divided by CPUDIV (one-hot: 0x01 = /1 ... 0x80 = /128).
// Bus clock gating is stored but not enforced: a masked peripheral still
// answers (turning a clock off is reported).
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Mclk : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40000400;
    static constexpr std::uint32_t kCTRLA = 0x00, kINTENCLR = 0x01, kINTENSET = 0x02,
                                   kINTFLAG = 0x03, kCPUDIV = 0x04, kLPDIV = 0x05, kBUPDIV = 0x06,
                                   kAHBMASK = 0x10, kAPBAMASK = 0x14, kAPBBMASK = 0x18,
                                   kAPBCMASK = 0x1C, kAPBDMASK = 0x20, kAPBEMASK = 0x24;

    explicit Mclk(Board& board);
    std::uint32_t cpu_divider() const;

  protected:
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;
};

}  // namespace vboard
