// NVMCTRL: the flash controller. Geometry (PARAM) and the configuration
// register CTRLB (read wait states, manual page write).
#pragma once

#include "../src/register_peripheral.h"

namespace vboard {

class Nvmctrl : public RegisterPeripheral {
public:
    static constexpr std::uint32_t kBase = 0x41004000;
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x04, kPARAM = 0x08, kINTENCLR = 0x0C,
                                   kINTENSET = 0x10, kINTFLAG = 0x14, kSTATUS = 0x18, kADDR = 0x1C, kLOCK = 0x20;
    static constexpr std::uint32_t kCtrlbRwsMask = 0xFu << 1, kCtrlbManw = 1u << 7;
    static constexpr std::uint32_t kPageSize = 64, kPages = 2048, kRowSize = 4 * kPageSize;
    static constexpr std::uint32_t kPszCode64 = 3;
    // NVMP 2048, PSZ 64 bytes, RWWEEP 64 pages (derived, unconfirmed).
    static constexpr std::uint32_t kParamValue = kPages | (kPszCode64 << 16) | (64u << 20);
    static constexpr std::uint32_t kIntflagReady = 1u << 0;
    static constexpr std::uint32_t kCtrlbReset = kCtrlbManw;

    explicit Nvmctrl(Board& board);
    bool manual_write() const { return value(kCTRLB) & kCtrlbManw; }
    unsigned wait_states() const { return (value(kCTRLB) & kCtrlbRwsMask) >> 1; }

protected:
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;
};

}  // namespace vboard
