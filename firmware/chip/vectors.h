// The exception vector table layout of the SAML21E17B and its handler names: 16 core words,
// then one word per interrupt line 0 to 28.
#pragma once

#include <cstddef>

namespace chip {

using Handler = void (*)();

struct DeviceVectors {
    // Cortex-M0+ core
    void* pvStack;
    Handler pfnReset_Handler;
    Handler pfnNMI_Handler;
    Handler pfnHardFault_Handler;
    Handler pfnReservedM12;
    Handler pfnReservedM11;
    Handler pfnReservedM10;
    Handler pfnReservedM9;
    Handler pfnReservedM8;
    Handler pfnReservedM7;
    Handler pfnReservedM6;
    Handler pfnSVC_Handler;
    Handler pfnReservedM4;
    Handler pfnReservedM3;
    Handler pfnPendSV_Handler;
    Handler pfnSysTick_Handler;
    // Interrupt lines
    Handler pfnSYSTEM_Handler;   //  0 MCLK, OSCCTRL, OSC32KCTRL, PAC, PM, SUPC, TAL
    Handler pfnWDT_Handler;      //  1
    Handler pfnRTC_Handler;      //  2
    Handler pfnEIC_Handler;      //  3
    Handler pfnNVMCTRL_Handler;  //  4
    Handler pfnDMAC_Handler;     //  5
    Handler pfnUSB_Handler;      //  6
    Handler pfnEVSYS_Handler;    //  7
    Handler pfnSERCOM0_Handler;  //  8
    Handler pfnSERCOM1_Handler;  //  9
    Handler pfnSERCOM2_Handler;  // 10
    Handler pfnSERCOM3_Handler;  // 11
    Handler pfnSERCOM4_Handler;  // 12
    Handler pfnSERCOM5_Handler;  // 13
    Handler pfnTCC0_Handler;     // 14
    Handler pfnTCC1_Handler;     // 15
    Handler pfnTCC2_Handler;     // 16
    Handler pfnTC0_Handler;      // 17
    Handler pfnTC1_Handler;      // 18
    Handler pfnReserved19;       // 19
    Handler pfnReserved20;       // 20
    Handler pfnTC4_Handler;      // 21
    Handler pfnADC_Handler;      // 22
    Handler pfnAC_Handler;       // 23
    Handler pfnDAC_Handler;      // 24
    Handler pfnPTC_Handler;      // 25
    Handler pfnAES_Handler;      // 26
    Handler pfnTRNG_Handler;     // 27
    Handler pfnReserved28;       // 28
};

constexpr std::size_t VECTOR_TABLE_WORDS = 45;
static_assert(sizeof(DeviceVectors) == VECTOR_TABLE_WORDS * sizeof(void*));
static_assert(offsetof(DeviceVectors, pfnSysTick_Handler) == 15 * sizeof(void*));
static_assert(offsetof(DeviceVectors, pfnSYSTEM_Handler) == 16 * sizeof(void*));  // 0x40
static_assert(offsetof(DeviceVectors, pfnReserved28) == 44 * sizeof(void*));

}  // namespace chip

// Handlers named by the vector table. Every one except Reset_Handler, HardFault_Handler and
// SysTick_Handler is a weak alias of Dummy_Handler until a module defines its own.
extern "C" {
void Reset_Handler();
void Dummy_Handler();
void NMI_Handler();
void HardFault_Handler();
void SVC_Handler();
void PendSV_Handler();
void SysTick_Handler();
void SYSTEM_Handler();
void WDT_Handler();
void RTC_Handler();
void EIC_Handler();
void NVMCTRL_Handler();
void DMAC_Handler();
void EVSYS_Handler();
void SERCOM0_Handler();
void SERCOM1_Handler();
void SERCOM2_Handler();
void SERCOM3_Handler();
void SERCOM4_Handler();
void SERCOM5_Handler();
void TCC0_Handler();
void TCC1_Handler();
void TCC2_Handler();
void TC0_Handler();
void TC1_Handler();
void TC4_Handler();
void ADC_Handler();
void AC_Handler();
void DAC_Handler();
void PTC_Handler();
void AES_Handler();
void TRNG_Handler();
}
