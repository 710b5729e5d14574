#include "core/Wire.h"

#include "board/pin_description.h"
#include "board/variant.h"
#include "board/wiring_private.h"

TwoWire::TwoWire(SERCOM* s, uint8_t pinSDA, uint8_t pinSCL)
    : sercom(s),
      _uc_pinSDA(pinSDA),
      _uc_pinSCL(pinSCL),
      transmissionBegun(false),
      rxBuffer(),
      txBuffer(),
      txAddress(0),
      onRequestCallback(nullptr),
      onReceiveCallback(nullptr) {}

void TwoWire::begin() {
    sercom->initMasterWIRE(TWI_CLOCK);
    sercom->enableWIRE();
    // The pins go to the module only once it drives the bus.
    pinPeripheral(_uc_pinSDA, PIO_SERCOM);
    pinPeripheral(_uc_pinSCL, PIO_SERCOM);
}

void TwoWire::beginTransmission(uint8_t address) {
    txAddress = address;
    txBuffer.clear();
    transmissionBegun = true;
}

uint8_t TwoWire::endTransmission(bool stopBit) {
    transmissionBegun = false;
    if (!sercom->startTransmissionWIRE(txAddress, WIRE_WRITE_FLAG)) {
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
        return kAddressNack;
    }
    while (txBuffer.available() != 0) {
        const auto byte = static_cast<uint8_t>(txBuffer.read_char());
        if (!sercom->sendDataMasterWIRE(byte)) {
            sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
            return kDataNackOrBusError;
        }
    }
    if (stopBit) {
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
    }
    return kTransmissionOk;
}

uint8_t TwoWire::endTransmission() {
    return endTransmission(true);
}

uint8_t TwoWire::requestFrom(uint8_t address, size_t quantity, bool stopBit) {
    if (quantity == 0) {
        return 0;
    }
    rxBuffer.clear();
    // On a refused address the STOP has been commanded already.
    if (!sercom->startTransmissionWIRE(address, WIRE_READ_FLAG)) {
        return 0;
    }
    rxBuffer.store_char(sercom->readDataWIRE());
    for (size_t i = 1; i < quantity; ++i) {
        // Acknowledge the byte before and clock in the next one.
        sercom->prepareAckBitWIRE();
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_READ);
        rxBuffer.store_char(sercom->readDataWIRE());
    }
    // The last byte is answered with NACK.
    sercom->prepareNackBitWIRE();
    if (stopBit) {
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
    }
    return static_cast<uint8_t>(quantity);
}

uint8_t TwoWire::requestFrom(uint8_t address, size_t quantity) {
    return requestFrom(address, quantity, true);
}

size_t TwoWire::write(uint8_t ucData) {
    if (!transmissionBegun || txBuffer.isFull()) {
        return 0;
    }
    txBuffer.store_char(ucData);
    return 1;
}

size_t TwoWire::write(const uint8_t* data, size_t quantity) {
    size_t queued = 0;
    while (queued < quantity && write(data[queued]) != 0) {
        ++queued;
    }
    return queued;
}

void TwoWire::flush() {}

int TwoWire::available() {
    return rxBuffer.available();
}

int TwoWire::read() {
    return rxBuffer.read_char();
}

int TwoWire::peek() {
    return rxBuffer.peek();
}

TwoWire Wire(&sercom5, PIN_WIRE_SDA, PIN_WIRE_SCL);

extern "C" void SERCOM5_Handler(void) {
    Wire.onService();
}
