// Register operations of the sample tick timer TC0 (16-bit counter), below the timer set-up in
// the main program file.
#pragma once

#include <cstdint>

#include "board/clock.h"
#include "chip/gclk.h"
#include "chip/interrupts.h"
#include "chip/nvic.h"
#include "chip/tc.h"

namespace tc0_registers {

constexpr uint32_t kIrqBit = chip::bit(chip::TC0_IRQn);
constexpr uint32_t kChannelOnGenerator0 =
    chip::gclk::PCHCTRL_CHEN | chip::gclk::PCHCTRL_GEN::val(board::kPeripheralClockGenerator);
static_assert(kChannelOnGenerator0 == 0x40);

inline chip::TcCount16& tc0() {
    return chip::TC0.COUNT16;
}

// SYNCBUSY as a whole.
inline void waitForSync() {
    while (tc0().SYNCBUSY != 0) {
    }
}

// Interrupt line 17 off, a pending request of it dropped, its priority set.
inline void interruptLineOff(uint32_t priority) {
    chip::NVIC.ICER = kIrqBit;
    chip::NVIC.ICPR = kIrqBit;
    chip::nvicSetPriority(chip::TC0_IRQn, priority);
}

inline void interruptLineOn() {
    chip::nvicEnableIrq(chip::TC0_IRQn);
}

// Read-modify-write of the flag byte: every flag that reads as set is cleared with MC0.
inline void acknowledgeMatch() {
    tc0().INTFLAG |= static_cast<uint8_t>(chip::tc::INTFLAG_MC0);
}

// Generic clock channel 27 (TC0 and TC1) from generator 0.
inline void clockOn() {
    volatile uint32_t& pchctrl = chip::GCLK.PCHCTRL[chip::gclk::PCH_TC0_TC1];
    pchctrl = kChannelOnGenerator0;
    while ((pchctrl & chip::gclk::PCHCTRL_CHEN) == 0) {
    }
}

// Disable, then software reset: every register back to its reset value.
inline void resetTC() {
    tc0().CTRLA &= ~chip::tc::CTRLA_ENABLE;
    waitForSync();
    tc0().CTRLA = chip::tc::CTRLA_SWRST;
    waitForSync();
    while ((tc0().CTRLA & chip::tc::CTRLA_SWRST) != 0) {
    }
}

inline void setPrescaler(uint32_t prescalerConfigBits) {
    tc0().CTRLA |= prescalerConfigBits;
    waitForSync();
}

// Match frequency: the counter counts up to CC0 and restarts from 0.
inline void matchFrequencyMode() {
    tc0().WAVE = static_cast<uint8_t>(chip::tc::WAVE_WAVEGEN::val(chip::tc::WAVEGEN_MFRQ));
    waitForSync();
}

inline void setCompare0(uint16_t value) {
    tc0().CC[0] = value;
    waitForSync();
}

inline void enableMatchInterrupt() {
    tc0().INTENSET |= static_cast<uint8_t>(chip::tc::INTFLAG_MC0);
}

inline void enable() {
    tc0().CTRLA |= chip::tc::CTRLA_ENABLE;
    waitForSync();
}

}  // namespace tc0_registers
