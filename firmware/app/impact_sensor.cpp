#include "app/impact_sensor.h"

#include "app/globals.h"
#include "app/tc0_registers.h"
#include "board/main.h"
#include "chip/tc.h"

namespace {

constexpr uint32_t kTickPriority = 1;  // above the system tick (2) and the serial modules (3)
constexpr uint32_t kCounterMask = 0xFFFF;

struct PrescalerSetting {
    uint32_t prescaler;
    uint32_t field;
};

constexpr PrescalerSetting kPrescalers[] = {
    {2, chip::tc::PRESCALER_DIV2},       {4, chip::tc::PRESCALER_DIV4},
    {8, chip::tc::PRESCALER_DIV8},       {16, chip::tc::PRESCALER_DIV16},
    {64, chip::tc::PRESCALER_DIV64},     {256, chip::tc::PRESCALER_DIV256},
    {1024, chip::tc::PRESCALER_DIV1024},
};

// CTRLA bits of a prescaler; a value outside the table divides by 1.
constexpr uint32_t prescalerConfigBits(uint32_t prescaler) {
    for (const PrescalerSetting& s : kPrescalers) {
        if (s.prescaler == prescaler) {
            return chip::tc::CTRLA_PRESCALER::val(s.field);
        }
    }
    return chip::tc::CTRLA_PRESCALER::val(chip::tc::PRESCALER_DIV1);
}
static_assert(prescalerConfigBits(2) == 0x100 && prescalerConfigBits(1024) == 0x700 &&
              prescalerConfigBits(3) == 0);

}  // namespace

void setup_timerTC0(uint32_t prescaler, uint32_t ccVal) {
    tc0_registers::interruptLineOff(kTickPriority);
    tc0_registers::acknowledgeMatch();  // a stale compare flag
    tc0_registers::clockOn();
    const uint32_t bits = prescalerConfigBits(prescaler);
    tc0_registers::resetTC();
    tc0_registers::setPrescaler(bits);
    tc0_registers::matchFrequencyMode();
    tc0_registers::setCompare0(static_cast<uint16_t>(ccVal & kCounterMask));
    tc0_registers::enableMatchInterrupt();
}

void start_timerTC0() {
    tc0_registers::enable();
    tc0_registers::interruptLineOn();
}

void interrupcion_timer_cada_miliseg() {
    ctick = 1;
}

extern "C" void TC0_Handler() {
    tc0_registers::acknowledgeMatch();
    interrupcion_timer_cada_miliseg();
}

void setup() {}

void loop() {}
