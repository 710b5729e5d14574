#include "board/startup.h"

#include "board/clock.h"
#include "chip/gclk.h"
#include "chip/mclk.h"
#include "chip/nvmctrl.h"
#include "chip/oscctrl.h"
#include "chip/pm.h"

using namespace chip;

namespace {

constexpr uint32_t kFlashWaitStates = 2;  // OR-ed into NVMCTRL CTRLB.RWS
constexpr uint32_t kGclkSyncMask = gclk::SYNCBUSY_SWRST | gclk::SYNCBUSY_GENCTRL::Msk;

// Generators 0 and 1: OSC16M, divided by 1, enabled.
constexpr uint32_t kGeneratorConfig =
    gclk::GENCTRL_SRC::val(gclk::SRC_OSC16M) | gclk::GENCTRL_GENEN | gclk::GENCTRL_DIV::val(1);
static_assert(kGeneratorConfig == 0x00010106);

}  // namespace

extern "C" {

uint32_t SystemCoreClock = board::kResetCoreClockHz;

void waitForSync() {
    while ((GCLK.SYNCBUSY & kGclkSyncMask) != 0) {
    }
}

void waitForDFLL() {
    while ((OSCCTRL.STATUS & oscctrl::STATUS_DFLLRDY) == 0) {
    }
}

void SystemInit() {
    // 1. Flash read wait states.
    NVMCTRL.CTRLB |= nvmctrl::CTRLB_RWS::val(kFlashWaitStates);

    // 2. Bus clock of GCLK.
    MCLK.APBAMASK |= mclk::APBAMASK_GCLK;

    // 3. Performance level 2.
    PM.INTFLAG = pm::INTFLAG_PLRDY;
    PM.PLCFG |= pm::PLCFG_PLSEL::val(pm::PLSEL_PL2);
    while ((PM.INTFLAG & pm::INTFLAG_PLRDY) == 0) {
    }
    PM.INTFLAG = pm::INTFLAG_PLRDY;

    // 4. Reset GCLK; the wait ends as soon as either the reset bit or the busy bits clear.
    GCLK.CTRLA = gclk::CTRLA_SWRST;
    while ((GCLK.CTRLA & gclk::CTRLA_SWRST) != 0 && (GCLK.SYNCBUSY & kGclkSyncMask) != 0) {
    }

    // 5. OSC16M runs whether or not a clock request is pending.
    OSCCTRL.OSC16MCTRL &= static_cast<uint8_t>(~oscctrl::OSC16MCTRL_ONDEMAND);
    waitForDFLL();

    // 6. OSC16M at 8 MHz.
    uint8_t osc16m = OSCCTRL.OSC16MCTRL;
    osc16m &= static_cast<uint8_t>(~oscctrl::OSC16MCTRL_FSEL::Msk);
    osc16m |= oscctrl::OSC16MCTRL_FSEL::val(oscctrl::FSEL_8MHZ);
    OSCCTRL.OSC16MCTRL = osc16m;

    // 7. and 8. Generators 0 (main clock) and 1 from OSC16M.
    GCLK.GENCTRL[0] = kGeneratorConfig;
    waitForSync();
    GCLK.GENCTRL[1] = kGeneratorConfig;
    waitForSync();

    // 9. and 10.
    SystemCoreClock = board::kMainClockHz;
    MCLK.CPUDIV = mclk::CPUDIV_DIV1;

    // 11. Manual page writes: the flash driver programs a page only by its explicit command.
    NVMCTRL.CTRLB |= nvmctrl::CTRLB_MANW;
}
}
