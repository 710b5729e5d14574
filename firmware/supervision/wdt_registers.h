// Register operations of the watchdog timer, below the Vardo_wdt policy.
#pragma once

#include <cstdint>

#include "chip/mclk.h"
#include "chip/wdt.h"

namespace wdt_registers {

// The WDT's bus clock.
inline void busClockOn() {
    chip::MCLK.APBAMASK |= chip::mclk::APBAMASK_WDT;
}

inline bool alwaysOn() {
    return (chip::WDT.CTRLA & chip::wdt::CTRLA_ALWAYSON) != 0;
}

inline void waitForSync(uint32_t syncbusyBit) {
    while ((chip::WDT.SYNCBUSY & syncbusyBit) != 0) {
    }
}

inline void disable() {
    chip::WDT.CTRLA &= static_cast<uint8_t>(~chip::wdt::CTRLA_ENABLE);
    waitForSync(chip::wdt::SYNCBUSY_ENABLE);
}

inline void windowModeOff() {
    chip::WDT.CTRLA &= static_cast<uint8_t>(~chip::wdt::CTRLA_WEN);
    waitForSync(chip::wdt::SYNCBUSY_WEN);
}

// The whole CONFIG byte (PER = period, WINDOW = 0) and the whole EWCTRL byte.
inline void setPeriods(uint8_t config, uint8_t ewctrl) {
    chip::WDT.CONFIG = config;
    chip::WDT.EWCTRL = ewctrl;
}

inline void enable() {
    chip::WDT.CTRLA |= static_cast<uint8_t>(chip::wdt::CTRLA_ENABLE);
    waitForSync(chip::wdt::SYNCBUSY_ENABLE);
}

inline void enableEarlyWarningInterrupt() {
    chip::WDT.INTENSET = static_cast<uint8_t>(chip::wdt::INTFLAG_EW);
}

inline void acknowledgeEarlyWarning() {
    chip::WDT.INTFLAG = static_cast<uint8_t>(chip::wdt::INTFLAG_EW);
}

inline bool clearSynchronising() {
    return (chip::WDT.SYNCBUSY & chip::wdt::SYNCBUSY_CLEAR) != 0;
}

inline void clear() {
    chip::WDT.CLEAR = static_cast<uint8_t>(chip::wdt::CLEAR_KEY);
}

}  // namespace wdt_registers
