// OSCCTRL: the oscillators. Only the 16 MHz RC oscillator OSC16M runs on
// this board; its frequency select (4, 8, 12 or 16 MHz) feeds the generic
// clock generators. The DFLL, DPLL and crystal oscillators stay off.
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Oscctrl : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40000C00;
    static constexpr std::uint32_t kINTENCLR = 0x00, kINTENSET = 0x04, kINTFLAG = 0x08,
                                   kSTATUS = 0x0C, kXOSCCTRL = 0x10, kOSC16MCTRL = 0x14,
                                   kDFLLCTRL = 0x18, kDFLLVAL = 0x1C, kDFLLMUL = 0x20,
                                   kDFLLSYNC = 0x24, kDPLLCTRLA = 0x28, kDPLLRATIO = 0x2C,
                                   kDPLLCTRLB = 0x30, kDPLLPRESC = 0x34, kDPLLSYNCBUSY = 0x38,
                                   kDPLLSTATUS = 0x3C;
    static constexpr std::uint32_t kOsc16mEnable = 1u << 1, kOsc16mFselPos = 2,
                                   kOsc16mFselMask = 3u << 2, kOsc16mRunStdby = 1u << 6,
                                   kOsc16mOnDemand = 1u << 7;
    static constexpr std::uint32_t kStatusOsc16mRdy = 1u << 4, kStatusDfllRdy = 1u << 8;
    static constexpr std::uint32_t kOsc16mFrequencies[4] = {4000000, 8000000, 12000000, 16000000};

    explicit Oscctrl(Board& board);
    std::uint32_t osc16m_hz() const;

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;
};

}  // namespace vboard
