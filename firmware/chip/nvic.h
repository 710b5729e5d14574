// NVIC: nested vectored interrupt controller of the Cortex-M0+ (lines 0 to 31).
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"
#include "chip/interrupts.h"

namespace chip {

struct Nvic {
    volatile uint32_t ISER;  // 0x000, write 1: enable line n
    uint8_t Reserved1[0x7C];
    volatile uint32_t ICER;  // 0x080, write 1: disable line n
    uint8_t Reserved2[0x7C];
    volatile uint32_t ISPR;  // 0x100, write 1: set pending
    uint8_t Reserved3[0x7C];
    volatile uint32_t ICPR;  // 0x180, write 1: clear pending
    uint8_t Reserved4[0x17C];
    volatile uint32_t IP[8];  // 0x300, one priority byte per line, word access only
};

static_assert(offsetof(Nvic, ISER) == 0x000);
static_assert(offsetof(Nvic, ICER) == 0x080);
static_assert(offsetof(Nvic, ISPR) == 0x100);
static_assert(offsetof(Nvic, ICPR) == 0x180);
static_assert(offsetof(Nvic, IP) == 0x300);

namespace nvic {

constexpr unsigned PRIO_BYTE_BITS = 8;
constexpr unsigned LINES_PER_IP = 4;
// The implemented bits of a priority byte are its top NVIC_PRIO_BITS bits.
constexpr uint32_t priorityByte(uint32_t level) {
    return (level << (PRIO_BYTE_BITS - NVIC_PRIO_BITS)) & 0xFFu;
}
static_assert(priorityByte(2) == 0x80 && priorityByte(3) == 0xC0);

// Bit position of line n's priority byte within IP[n / 4].
constexpr unsigned ipShift(unsigned line) {
    return PRIO_BYTE_BITS * (line % LINES_PER_IP);
}

}  // namespace nvic

inline Nvic& NVIC = *reinterpret_cast<Nvic*>(NVIC_BASE);

// ISER = 1 << line.
inline void nvicEnableIrq(IRQn line) {
    NVIC.ISER = uint32_t{1} << static_cast<unsigned>(line);
}

// Read-modify-write of IP[line / 4]: line's byte becomes the priority level, the other three
// bytes are kept.
inline void nvicSetPriority(IRQn line, uint32_t level) {
    const unsigned n = static_cast<unsigned>(line);
    const unsigned shift = nvic::ipShift(n);
    volatile uint32_t& ip = NVIC.IP[n / nvic::LINES_PER_IP];
    ip = (ip & ~(uint32_t{0xFF} << shift)) | (nvic::priorityByte(level) << shift);
}

}  // namespace chip
