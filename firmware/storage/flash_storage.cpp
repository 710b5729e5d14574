#include "storage/flash_storage.h"

#include <cstring>

#include "chip/nvmctrl.h"

using namespace chip;

namespace {

// ---- NVMCTRL register operations ----

void waitReady() {
    while ((NVMCTRL.INTFLAG & nvmctrl::INTFLAG_READY) == 0) {
    }
}

// Issues a command with its key and waits until the controller is ready again.
void executeCommand(uint32_t cmd) {
    NVMCTRL.CTRLA = nvmctrl::command(cmd);
    waitReady();
}

// ADDR takes the address in 16-bit units on this part.
void setAddress(const volatile void* flash_ptr) {
    NVMCTRL.ADDR = reinterpret_cast<uintptr_t>(flash_ptr) >> 1;
}

void setManualWrite() {
    NVMCTRL.CTRLB = NVMCTRL.CTRLB | nvmctrl::CTRLB_MANW;
}

// Page sizes by NVMCTRL PARAM.PSZ: entry n is 8 << n bytes.
constexpr uint32_t pageSizes[] = {8, 16, 32, 64, 128, 256, 512, 1024};
static_assert(sizeof(pageSizes) / sizeof(pageSizes[0]) == 1u << nvmctrl::PARAM_PSZ::Width);

constexpr uint32_t kPagesPerRow = 4;
constexpr uint32_t kWordSize = 4;

// The four bytes at data as a little-endian word; data needs no alignment.
inline uint32_t read_unaligned_uint32(const void* data) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

}  // namespace

// ---- driver ----

FlashClass::FlashClass(const void* flash_addr, uint32_t size)
    : PAGE_SIZE(pageSizes[nvmctrl::PARAM_PSZ::get(NVMCTRL.PARAM)]),
      PAGES(nvmctrl::PARAM_NVMP::get(NVMCTRL.PARAM)),
      MAX_FLASH(PAGE_SIZE * PAGES),
      ROW_SIZE(PAGE_SIZE * kPagesPerRow),
      flash_address(flash_addr),
      flash_size(size) {}

void FlashClass::read(const volatile void* flash_ptr, void* data) {
    // The flash is memory-mapped; nothing changes it behind the program's back.
    std::memcpy(data, const_cast<const void*>(flash_ptr), flash_size);
}

void FlashClass::erase(const volatile void* flash_ptr) {
    setAddress(flash_ptr);
    executeCommand(nvmctrl::CMD_ER);
}

void FlashClass::erase(const volatile void* flash_ptr, uint32_t size) {
    const volatile uint8_t* row = static_cast<const volatile uint8_t*>(flash_ptr);
    while (size > ROW_SIZE) {
        erase(row);
        row += ROW_SIZE;
        size -= ROW_SIZE;
    }
    erase(row);
}

void FlashClass::write(const volatile void* flash_ptr, const void* data) {
    // Pages are programmed only by an explicit write-page command.
    setManualWrite();

    // The page buffer is loaded by 32-bit stores into the flash address space.
    volatile uint32_t* dst = static_cast<volatile uint32_t*>(const_cast<volatile void*>(flash_ptr));
    const uint8_t* src = static_cast<const uint8_t*>(data);
    uint32_t words = (flash_size + kWordSize - 1) / kWordSize;
    while (words > 0) {
        executeCommand(nvmctrl::CMD_PBC);
        for (uint32_t i = 0; i < PAGE_SIZE / kWordSize && words > 0; ++i) {
            *dst = read_unaligned_uint32(src);
            src += kWordSize;
            ++dst;
            --words;
        }
        // The page written is the one the buffer stores addressed.
        executeCommand(nvmctrl::CMD_WP);
    }
}
