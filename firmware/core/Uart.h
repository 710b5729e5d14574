// Uart: an interrupt-driven serial port on one SERCOM module.
//
// Received bytes go into rxBuffer and bytes to send wait in txBuffer; the
// module's interrupt handler (IrqHandler, routed by the board) moves one byte
// each way per entry. write never drops a byte: it waits for room instead.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/HardwareSerial.h"
#include "core/RingBuffer.h"
#include "core/SERCOM.h"

class Uart : public HardwareSerial {
  public:
    // Stores the arguments; touches no hardware.
    Uart(SERCOM* _s, uint8_t _pinRX, uint8_t _pinTX, SercomRXPad _padRX, SercomUartTXPad _padTX);

    // Slot 0: sends data at once when the transmitter is free and nothing is
    // queued, queues it otherwise (waiting for room). Always 1.
    size_t write(uint8_t data) override;
    using Print::write;
    // Slot 2: free places in txBuffer.
    int availableForWrite() override;
    // Slot 3: waits until txBuffer is empty and the module has taken the last
    // byte.
    void flush() override;
    // Slots 4 to 6: the receive side.
    int available() override;
    int read() override;
    int peek() override;
    // Slot 7: 8 data bits, no parity, 1 stop bit.
    void begin(unsigned long baudrate) override;
    // Slot 8: pins, clock and interrupt line, module reset, frame, pads, enable.
    // The rings keep their contents.
    void begin(unsigned long baudrate, uint16_t config) override;
    // Slot 9: resets the module and empties both rings.
    void end() override;
    // Slot 10: always true.
    operator bool() override;

    // The module's interrupt service; called only by the module's handler.
    void IrqHandler();

  private:
    SercomNumberStopBit extractNbStopBit(uint16_t config);
    SercomUartCharSize extractCharSize(uint16_t config);
    SercomParityMode extractParity(uint16_t config);

    SERCOM* sercom;
    RingBuffer rxBuffer;
    RingBuffer txBuffer;
    uint8_t uc_pinRX;
    uint8_t uc_pinTX;
    SercomRXPad uc_padRX;
    SercomUartTXPad uc_padTX;
};
