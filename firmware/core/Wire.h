// TwoWire: the polled I2C bus master on one SERCOM module, and its one
// instance Wire (SERCOM5, SDA on pin 14, SCL on pin 15).
//
// A write transaction is assembled in the transmit queue (beginTransmission,
// write) and sent whole by endTransmission; a read transaction fills the
// receive queue completely before requestFrom returns. Every wait polls the
// module without a time-out: a bus that never answers stops the caller, and
// the watchdog is the way out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/RingBuffer.h"
#include "core/SERCOM.h"
#include "core/Stream.h"

class TwoWire : public Stream {
  public:
    // The bus rate begin asks for, in Hz.
    static constexpr uint32_t TWI_CLOCK = 400000;

    // endTransmission results.
    static constexpr uint8_t kTransmissionOk = 0;
    static constexpr uint8_t kAddressNack = 2;
    static constexpr uint8_t kDataNackOrBusError = 3;

    TwoWire(SERCOM* s, uint8_t pinSDA, uint8_t pinSCL);

    // Bus master set up and enabled, then both pins given to the module.
    void begin();

    void beginTransmission(uint8_t address);
    // Sends the queued transaction: 0 done, 2 address not acknowledged, 3 a
    // data byte not acknowledged or a bus error. Without stopBit the bus stays
    // owned and the next transaction starts with a repeated START.
    uint8_t endTransmission(bool stopBit);
    uint8_t endTransmission();

    // Reads quantity bytes into the receive queue: quantity modulo 256 when
    // the address was acknowledged, 0 when quantity is 0 (the queue is left
    // alone) or the address was not acknowledged.
    uint8_t requestFrom(uint8_t address, size_t quantity, bool stopBit);
    uint8_t requestFrom(uint8_t address, size_t quantity);

    // Queues a byte of the transaction begun; 0 outside one or when full.
    size_t write(uint8_t ucData) override;
    size_t write(const uint8_t* data, size_t quantity) override;
    using Print::write;
    void flush() override;
    int available() override;
    int read() override;
    int peek() override;

    // The module's interrupt service: only the slave side does anything.
    void onService();

  private:
    SERCOM* sercom;
    uint8_t _uc_pinSDA;
    uint8_t _uc_pinSCL;
    bool transmissionBegun;
    RingBuffer rxBuffer;
    RingBuffer txBuffer;
    uint8_t txAddress;
    void (*onRequestCallback)(void);
    void (*onReceiveCallback)(int);
};

extern TwoWire Wire;
