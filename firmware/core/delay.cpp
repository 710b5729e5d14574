#include "core/delay.h"

#include "board/clock.h"
#include "board/startup.h"
#include "chip/nvic.h"
#include "chip/scb.h"
#include "chip/systick.h"
#include "core/hooks.h"

using namespace chip;

// Increased only by the SysTick handler; an aligned 32-bit load reads it whole. File scope,
// under its plain name in the symbol table.
static volatile uint32_t _ulTickCount __asm__("_ulTickCount");

namespace {

constexpr uint32_t kSysTickPriorityLowest = 3;
constexpr uint32_t kSysTickPriority = 2;  // above the serial modules (3), below TC0 (1)

// SHP[1] with the SysTick byte replaced by the given level.
void setSysTickPriority(uint32_t level) {
    volatile uint32_t& shpr3 = SCB.SHP[scb::SHP_SHPR3];
    shpr3 = (shpr3 & ~scb::SHPR3_SYSTICK::Msk) | scb::SHPR3_SYSTICK::val(nvic::priorityByte(level));
}

[[noreturn]] void spinForever() {
    for (;;) {
        __asm__ volatile("");
    }
}

}  // namespace

void startSysTick() {
    const uint32_t ticks = SystemCoreClock / board::kSysTickRateHz;
    if (ticks - 1u > systick::LOAD_RELOAD::Msk) {
        spinForever();
    }
    // Standard core set-up: it leaves the SysTick at the lowest priority.
    SysTick.LOAD = ticks - 1u;
    setSysTickPriority(kSysTickPriorityLowest);
    SysTick.VAL = 0;
    SysTick.CTRL = systick::CTRL_CLKSOURCE | systick::CTRL_TICKINT | systick::CTRL_ENABLE;
    // Then one level more urgent.
    setSysTickPriority(kSysTickPriority);
}

extern "C" {

uint32_t millis() {
    return _ulTickCount;
}

void delay(uint32_t ms) {
    if (ms == 0) {
        return;
    }
    const uint32_t start = _ulTickCount;
    do {
        yield();
    } while (_ulTickCount - start < ms);  // modulo 2^32: correct across the wrap
}

void SysTick_DefaultHandler() {
    _ulTickCount = _ulTickCount + 1u;
}
}
