#include "supervision/Vardo_wdt.h"
#include "supervision/wdt_registers.h"

volatile bool vardo_wdt_flag = false;

extern "C" void WDT_Handler() {
    vardo_wdt_flag = true;
    wdt_registers::acknowledgeEarlyWarning();
}
