#include "supervision/Vardo_wdt.h"

#include "chip/interrupts.h"
#include "chip/nvic.h"
#include "supervision/wdt_registers.h"

namespace {

constexpr uint32_t kEarlyWarningPriority = 3;  // the lowest level

}  // namespace

void vardo_wdt_enable(wdt_period period) {
    wdt_registers::busClockOn();
    if (wdt_registers::alwaysOn()) {
        return;  // locked on: period, early warning and interrupt stay as they are
    }
    wdt_registers::disable();
    wdt_registers::windowModeOff();
    // The early warning falls due at the same count as the time-out.
    wdt_registers::setPeriods(period, period);
    wdt_registers::enable();
    wdt_registers::enableEarlyWarningInterrupt();
    chip::nvicEnableIrq(chip::WDT_IRQn);
    chip::nvicSetPriority(chip::WDT_IRQn, kEarlyWarningPriority);
}

void vardo_wdt_reset() {
    if (!wdt_registers::clearSynchronising()) {
        wdt_registers::clear();
    }
}
