// System control block of the Cortex-M0+: CPUID, ICSR, VTOR, AIRCR, SCR, CCR
// and the system handler priorities SHPR2 (SVCall) and SHPR3 (PendSV, SysTick).
#pragma once

#include "../src/peripheral.h"

namespace vboard {

class Scb : public Peripheral {
  public:
    static constexpr std::uint32_t kBase = 0xE000ED00;
    static constexpr std::uint32_t kCPUID = 0x00, kICSR = 0x04, kVTOR = 0x08, kAIRCR = 0x0C,
                                   kSCR = 0x10, kCCR = 0x14, kSHPR2 = 0x1C, kSHPR3 = 0x20,
                                   kSHCSR = 0x24;
    // Cortex-M0+ r0p1 (derived, unconfirmed on the part itself).
    static constexpr std::uint32_t kCpuIdValue = 0x410CC601;
    // ARMv6-M: unaligned accesses always trap, the stack is 8-byte aligned.
    static constexpr std::uint32_t kCcrValue = (1u << 9) | (1u << 3);
    static constexpr std::uint32_t kVtorMask = 0xFFFFFF80;  // unconfirmed field width
    static constexpr std::uint32_t kAircrKey = 0x05FA, kAircrKeyStat = 0xFA05;
    static constexpr std::uint32_t kAircrSysResetReq = 1u << 2, kAircrVectClrActive = 1u << 1;
    static constexpr std::uint32_t kScrWritable = (1u << 1) | (1u << 2) | (1u << 4);
    static constexpr std::uint32_t kIcsrNmiPendSet = 1u << 31, kIcsrPendSvSet = 1u << 28,
                                   kIcsrPendSvClr = 1u << 27, kIcsrPendStSet = 1u << 26,
                                   kIcsrPendStClr = 1u << 25, kIcsrIsrPending = 1u << 22;

    explicit Scb(Board& board);
    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;

    std::uint32_t vtor() const { return vtor_; }

  private:
    std::uint32_t read_word(std::uint32_t word_offset) const;
    void write_word(std::uint32_t word_offset, std::uint32_t value, std::uint32_t byte_mask);
    std::uint32_t vtor_ = 0;
    std::uint32_t scr_ = 0;
};

}  // namespace vboard
