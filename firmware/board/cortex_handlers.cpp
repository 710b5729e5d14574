// Vector table, reset entry, fallback handlers and the SysTick entry.
#include <cstdint>

#include "board/startup.h"
#include "chip/vectors.h"
#include "core/delay.h"
#include "core/hooks.h"

int main();

extern "C" {

// Linker-script symbols.
extern uint32_t __etext[];
extern uint32_t __data_start__[];
extern uint32_t __data_end__[];
extern uint32_t __bss_start__[];
extern uint32_t __bss_end__[];
extern uint32_t __StackTop[];

void Dummy_Handler() {
    for (;;) {
        __asm__ volatile("");
    }
}

void HardFault_Handler() {
    __asm__ volatile("bkpt #13");  // stops an attached debugger at the fault
    for (;;) {
        __asm__ volatile("");
    }
}

// Slots served by Dummy_Handler until a module defines its own handler.
void NMI_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SVC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void PendSV_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SYSTEM_Handler() __attribute__((weak, alias("Dummy_Handler")));
void WDT_Handler() __attribute__((weak, alias("Dummy_Handler")));
void RTC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void EIC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void NVMCTRL_Handler() __attribute__((weak, alias("Dummy_Handler")));
void DMAC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void EVSYS_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM0_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM1_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM2_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM3_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM4_Handler() __attribute__((weak, alias("Dummy_Handler")));
void SERCOM5_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TCC0_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TCC1_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TCC2_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TC0_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TC1_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TC4_Handler() __attribute__((weak, alias("Dummy_Handler")));
void ADC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void AC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void DAC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void PTC_Handler() __attribute__((weak, alias("Dummy_Handler")));
void AES_Handler() __attribute__((weak, alias("Dummy_Handler")));
void TRNG_Handler() __attribute__((weak, alias("Dummy_Handler")));

void SysTick_Handler() {
    if (sysTickHook() != 0) {
        return;  // the hook has dealt with this tick
    }
    SysTick_DefaultHandler();
}

}  // extern "C"

namespace {

// Keeps the compiler from reasoning about the addresses of distinct linker symbols.
uint32_t* opaque(uint32_t* p) {
    __asm__("" : "+r"(p));
    return p;
}

}  // namespace

extern "C" void Reset_Handler() {
    // Initialised data, word by word, unless it already lies at its run address.
    uint32_t* src = opaque(__etext);
    uint32_t* dst = opaque(__data_start__);
    uint32_t* const dataEnd = opaque(__data_end__);
    if (dst != dataEnd && src != dst) {
        while (dst < dataEnd) {
            *reinterpret_cast<volatile uint32_t*>(dst++) = *src++;
        }
    }
    // Zero-initialised data.
    uint32_t* const bssEnd = opaque(__bss_end__);
    for (uint32_t* p = opaque(__bss_start__); p < bssEnd; ++p) {
        *reinterpret_cast<volatile uint32_t*>(p) = 0;
    }

    SystemInit();
    (void)main();
    for (;;) {
        __asm__ volatile("");
    }
}

extern "C" {

// The vector table, at flash address 0 (section .vectors, placed first by the linker script).
extern const chip::DeviceVectors exception_table;

__attribute__((section(".vectors"), used)) constexpr chip::DeviceVectors exception_table = {
    // Cortex-M0+ core
    __StackTop, Reset_Handler, NMI_Handler, HardFault_Handler,
    nullptr,  // pfnReservedM12
    nullptr,  // pfnReservedM11
    nullptr,  // pfnReservedM10
    nullptr,  // pfnReservedM9
    nullptr,  // pfnReservedM8
    nullptr,  // pfnReservedM7
    nullptr,  // pfnReservedM6
    SVC_Handler,
    nullptr,  // pfnReservedM4
    nullptr,  // pfnReservedM3
    PendSV_Handler, SysTick_Handler,
    // Interrupt lines
    SYSTEM_Handler,   //  0
    WDT_Handler,      //  1
    RTC_Handler,      //  2
    EIC_Handler,      //  3
    NVMCTRL_Handler,  //  4
    DMAC_Handler,     //  5
    nullptr,          //  6 USB: not used
    EVSYS_Handler,    //  7
    SERCOM0_Handler,  //  8
    SERCOM1_Handler,  //  9
    SERCOM2_Handler,  // 10
    SERCOM3_Handler,  // 11
    SERCOM4_Handler,  // 12
    SERCOM5_Handler,  // 13
    TCC0_Handler,     // 14
    TCC1_Handler,     // 15
    TCC2_Handler,     // 16
    TC0_Handler,      // 17
    TC1_Handler,      // 18
    Dummy_Handler,    // 19 reserved
    Dummy_Handler,    // 20 reserved
    TC4_Handler,      // 21
    ADC_Handler,      // 22
    AC_Handler,       // 23
    DAC_Handler,      // 24
    PTC_Handler,      // 25
    AES_Handler,      // 26
    TRNG_Handler,     // 27
    nullptr,          // 28 reserved
};
}
