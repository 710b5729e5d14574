// HardwareSerial: the serial-port level of the stream classes (virtual slots 7
// to 10), and the frame configuration word that begin takes.
#pragma once

#include <cstdint>

#include "core/Stream.h"

// Frame configuration word: parity code in bits 0-3, stop-bit code in bits
// 4-7, data-bit code in bits 8-11.
constexpr uint16_t HARDSER_PARITY_EVEN = 0x001;
constexpr uint16_t HARDSER_PARITY_ODD = 0x002;
constexpr uint16_t HARDSER_PARITY_NONE = 0x003;
constexpr uint16_t HARDSER_PARITY_MASK = 0x00F;
constexpr uint16_t HARDSER_STOP_BIT_1 = 0x010;
constexpr uint16_t HARDSER_STOP_BIT_2 = 0x030;
constexpr uint16_t HARDSER_STOP_BIT_MASK = 0x0F0;
constexpr uint16_t HARDSER_DATA_5 = 0x100;
constexpr uint16_t HARDSER_DATA_6 = 0x200;
constexpr uint16_t HARDSER_DATA_7 = 0x300;
constexpr uint16_t HARDSER_DATA_8 = 0x400;
constexpr uint16_t HARDSER_DATA_MASK = 0xF00;

// 8 data bits, no parity, 1 stop bit.
constexpr uint16_t SERIAL_8N1 = HARDSER_DATA_8 | HARDSER_PARITY_NONE | HARDSER_STOP_BIT_1;
static_assert(SERIAL_8N1 == 0x413);

class HardwareSerial : public Stream {
  public:
    HardwareSerial();

    virtual void begin(unsigned long baudrate) = 0;
    virtual void begin(unsigned long baudrate, uint16_t config) = 0;
    virtual void end() = 0;
    virtual operator bool() = 0;
};
