// Flash storage driver: one object kept in a reserved, row-aligned area of the program
// flash, read as memory, erased by rows and programmed by pages through NVMCTRL.
#pragma once

#include <cstdint>

class FlashClass {
  public:
    // Reads the flash geometry from NVMCTRL PARAM; records the area and the stored size.
    FlashClass(const void* flash_addr, uint32_t size);

    // Copies flash_size bytes from flash_ptr into data.
    void read(const volatile void* flash_ptr, void* data);
    // Erases every row that size bytes from flash_ptr touch; at least one row.
    void erase(const volatile void* flash_ptr, uint32_t size);
    // Programs flash_size bytes (whole 32-bit words) from data; flash_ptr must be the start of
    // an erased, page-aligned range.
    void write(const volatile void* flash_ptr, const void* data);

    // The same on the recorded area.
    void read(void* data) { read(flash_address, data); }
    void erase() { erase(flash_address, flash_size); }
    void write(const void* data) { write(flash_address, data); }

  private:
    // Erases the row that starts at flash_ptr.
    void erase(const volatile void* flash_ptr);

    const uint32_t PAGE_SIZE;
    const uint32_t PAGES;
    const uint32_t MAX_FLASH;
    const uint32_t ROW_SIZE;
    const volatile void* const flash_address;
    const uint32_t flash_size;
};

// One object of type T in the area at flash_addr.
template <class T>
class FlashStorageClass {
  public:
    explicit FlashStorageClass(const void* flash_addr) : flash(flash_addr, sizeof(T)) {}

    void read(T& data) { flash.read(&data); }
    // Erases the area and programs the whole object; returns when the last page is written.
    void write(T& data) {
        flash.erase();
        flash.write(&data);
    }

  private:
    FlashClass flash;
};
