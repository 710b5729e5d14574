// SAML21E17B memory map: memories, NVM special areas and peripheral base addresses.
#pragma once

#include <cstdint>

namespace chip {

// Memories.
constexpr uint32_t FLASH_ADDR = 0x00000000u;
constexpr uint32_t FLASH_SIZE = 0x20000u;  // 128 KB
constexpr uint32_t FLASH_PAGE_SIZE = 64u;
constexpr uint32_t FLASH_NB_OF_PAGES = 2048u;
constexpr uint32_t FLASH_PAGES_PER_ROW = 4u;
constexpr uint32_t FLASH_ROW_SIZE = FLASH_PAGE_SIZE * FLASH_PAGES_PER_ROW;  // erase unit
constexpr uint32_t HSRAM_ADDR = 0x20000000u;
constexpr uint32_t HSRAM_SIZE = 0x4000u;  // 16 KB
constexpr uint32_t LPRAM_ADDR = 0x30000000u;
constexpr uint32_t LPRAM_SIZE = 0x2000u;  // 8 KB

static_assert(FLASH_PAGE_SIZE * FLASH_NB_OF_PAGES == FLASH_SIZE);

// NVM special areas.
constexpr uint32_t NVMCTRL_CAL_ADDR = 0x00800000u;
constexpr uint32_t NVMCTRL_LOCKBIT_ADDR = 0x00802000u;
constexpr uint32_t NVMCTRL_USER_ADDR = 0x00804000u;
constexpr uint32_t NVMCTRL_OTP5_ADDR = 0x00806020u;  // software calibration area
constexpr uint32_t NVMCTRL_TEMP_LOG_ADDR = 0x00806030u;

// Peripherals on the high-speed bridges HPB0 to HPB4.
constexpr uint32_t PM_BASE = 0x40000000u;
constexpr uint32_t MCLK_BASE = 0x40000400u;
constexpr uint32_t RSTC_BASE = 0x40000800u;
constexpr uint32_t OSCCTRL_BASE = 0x40000C00u;
constexpr uint32_t OSC32KCTRL_BASE = 0x40001000u;
constexpr uint32_t SUPC_BASE = 0x40001400u;
constexpr uint32_t GCLK_BASE = 0x40001800u;
constexpr uint32_t WDT_BASE = 0x40001C00u;
constexpr uint32_t RTC_BASE = 0x40002000u;
constexpr uint32_t EIC_BASE = 0x40002400u;
constexpr uint32_t PORT_BASE = 0x40002800u;
constexpr uint32_t USB_BASE = 0x41000000u;
constexpr uint32_t DSU_BASE = 0x41002000u;
constexpr uint32_t NVMCTRL_BASE = 0x41004000u;
constexpr uint32_t MTB_BASE = 0x41006000u;
constexpr uint32_t SERCOM0_BASE = 0x42000000u;
constexpr uint32_t SERCOM1_BASE = 0x42000400u;
constexpr uint32_t SERCOM2_BASE = 0x42000800u;
constexpr uint32_t SERCOM3_BASE = 0x42000C00u;
constexpr uint32_t SERCOM4_BASE = 0x42001000u;
constexpr uint32_t TCC0_BASE = 0x42001400u;
constexpr uint32_t TCC1_BASE = 0x42001800u;
constexpr uint32_t TCC2_BASE = 0x42001C00u;
constexpr uint32_t TC0_BASE = 0x42002000u;
constexpr uint32_t TC1_BASE = 0x42002400u;
constexpr uint32_t DAC_BASE = 0x42003000u;
constexpr uint32_t AES_BASE = 0x42003400u;
constexpr uint32_t TRNG_BASE = 0x42003800u;
constexpr uint32_t EVSYS_BASE = 0x43000000u;
constexpr uint32_t SERCOM5_BASE = 0x43000400u;
constexpr uint32_t TC4_BASE = 0x43000800u;
constexpr uint32_t ADC_BASE = 0x43000C00u;
constexpr uint32_t AC_BASE = 0x43001000u;
constexpr uint32_t PTC_BASE = 0x43001400u;
constexpr uint32_t OPAMP_BASE = 0x43001800u;
constexpr uint32_t CCL_BASE = 0x43001C00u;
constexpr uint32_t PAC_BASE = 0x44000000u;
constexpr uint32_t DMAC_BASE = 0x44000400u;

// Cortex-M0+ private peripheral bus.
constexpr uint32_t SYSTICK_BASE = 0xE000E010u;
constexpr uint32_t NVIC_BASE = 0xE000E100u;
constexpr uint32_t SCB_BASE = 0xE000ED00u;

}  // namespace chip
