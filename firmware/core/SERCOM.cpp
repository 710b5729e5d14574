#include "core/SERCOM.h"

#include "board/clock.h"
#include "board/startup.h"
#include "chip/gclk.h"
#include "chip/interrupts.h"
#include "chip/nvic.h"

using namespace chip;

namespace {

// Priority level of every serial-communication interrupt: 3, the least urgent.
constexpr uint32_t kSercomIrqPriority = 3;

constexpr uint32_t kCoreClockChannelConfig =
    gclk::PCHCTRL_CHEN | gclk::PCHCTRL_GEN::val(board::kPeripheralClockGenerator);
static_assert(kCoreClockChannelConfig == 0x40);

// Each module's core clock channel and interrupt line.
struct ModuleClockAndLine {
    uint32_t base;
    unsigned clockId;
    IRQn idNvic;
};

constexpr ModuleClockAndLine kModules[] = {
    {SERCOM0_BASE, gclk::PCH_SERCOM0_CORE, SERCOM0_IRQn},
    {SERCOM1_BASE, gclk::PCH_SERCOM1_CORE, SERCOM1_IRQn},
    {SERCOM2_BASE, gclk::PCH_SERCOM2_CORE, SERCOM2_IRQn},
    {SERCOM3_BASE, gclk::PCH_SERCOM3_CORE, SERCOM3_IRQn},
    {SERCOM4_BASE, gclk::PCH_SERCOM4_CORE, SERCOM4_IRQn},
    {SERCOM5_BASE, gclk::PCH_SERCOM5_CORE, SERCOM5_IRQn},
};
static_assert(sizeof(kModules) / sizeof(kModules[0]) == SERCOM_INST_NUM);

}  // namespace

void SERCOM::initClockNVIC() {
    const ModuleClockAndLine* module = nullptr;
    for (const ModuleClockAndLine& m : kModules) {
        if (reinterpret_cast<uintptr_t>(sercom) == m.base) {
            module = &m;
        }
    }
    if (module == nullptr) {
        return;  // not one of the six modules
    }

    // The line is on before the module can raise it: its INTENSET is still 0.
    nvicEnableIrq(module->idNvic);
    nvicSetPriority(module->idNvic, kSercomIrqPriority);

    GCLK.PCHCTRL[module->clockId] = kCoreClockChannelConfig;
    waitForSync();
}
