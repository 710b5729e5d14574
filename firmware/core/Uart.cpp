#include "core/Uart.h"

#include "board/pin_description.h"
#include "board/wiring_private.h"

namespace {

// Codes of the frame configuration word's fields, each in its own nibble.
constexpr unsigned kStopBitShift = 4;
constexpr unsigned kDataBitShift = 8;
constexpr uint16_t kParityEvenCode = HARDSER_PARITY_EVEN;
constexpr uint16_t kParityOddCode = HARDSER_PARITY_ODD;
constexpr uint16_t kStopBits2Code = HARDSER_STOP_BIT_2 >> kStopBitShift;
constexpr uint16_t kData5Code = HARDSER_DATA_5 >> kDataBitShift;
constexpr uint16_t kData6Code = HARDSER_DATA_6 >> kDataBitShift;
constexpr uint16_t kData7Code = HARDSER_DATA_7 >> kDataBitShift;

}  // namespace

Uart::Uart(SERCOM* _s, uint8_t _pinRX, uint8_t _pinTX, SercomRXPad _padRX, SercomUartTXPad _padTX)
    : sercom(_s), uc_pinRX(_pinRX), uc_pinTX(_pinTX), uc_padRX(_padRX), uc_padTX(_padTX) {}

void Uart::begin(unsigned long baudrate) {
    begin(baudrate, SERIAL_8N1);
}

void Uart::begin(unsigned long baudrate, uint16_t config) {
    (void)pinPeripheral(uc_pinRX, PIO_SERCOM);
    (void)pinPeripheral(uc_pinTX, PIO_SERCOM);

    sercom->initUART(UART_INT_CLOCK, SAMPLE_RATE_x16, baudrate);
    sercom->initFrame(extractCharSize(config), LSB_FIRST, extractParity(config),
                      extractNbStopBit(config));
    sercom->initPads(uc_padTX, uc_padRX);
    sercom->enableUART();
}

void Uart::end() {
    sercom->resetUART();
    rxBuffer.clear();
    txBuffer.clear();
}

void Uart::flush() {
    while (txBuffer.available() != 0) {
    }
    sercom->flushUART();
}

void Uart::IrqHandler() {
    if (sercom->availableDataUART()) {
        rxBuffer.store_char(sercom->readDataUART());
    }

    if (sercom->isDataRegisterEmptyUART()) {
        if (txBuffer.available() != 0) {
            sercom->writeDataUART(static_cast<uint8_t>(txBuffer.read_char()));
        } else {
            sercom->disableDataRegisterEmptyInterruptUART();
        }
    }

    if (sercom->isUARTError()) {
        sercom->acknowledgeUARTError();
        sercom->clearStatusUART();
    }
}

int Uart::available() {
    return rxBuffer.available();
}

int Uart::availableForWrite() {
    return txBuffer.availableForStore();
}

int Uart::peek() {
    return rxBuffer.peek();
}

int Uart::read() {
    return rxBuffer.read_char();
}

size_t Uart::write(uint8_t data) {
    if (sercom->isDataRegisterEmptyUART() && txBuffer.available() == 0) {
        sercom->writeDataUART(data);
    } else {
        while (txBuffer.isFull()) {
            // the transmit interrupt frees a place
        }
        txBuffer.store_char(data);
        sercom->enableDataRegisterEmptyInterruptUART();
    }
    return 1;
}

Uart::operator bool() {
    return true;
}

SercomNumberStopBit Uart::extractNbStopBit(uint16_t config) {
    const unsigned code = (config & HARDSER_STOP_BIT_MASK) >> kStopBitShift;
    return code == kStopBits2Code ? SERCOM_STOP_BITS_2 : SERCOM_STOP_BIT_1;
}

SercomUartCharSize Uart::extractCharSize(uint16_t config) {
    switch ((config & HARDSER_DATA_MASK) >> kDataBitShift) {
        case kData5Code:
            return UART_CHAR_SIZE_5_BITS;
        case kData6Code:
            return UART_CHAR_SIZE_6_BITS;
        case kData7Code:
            return UART_CHAR_SIZE_7_BITS;
        default:
            return UART_CHAR_SIZE_8_BITS;
    }
}

SercomParityMode Uart::extractParity(uint16_t config) {
    switch (config & HARDSER_PARITY_MASK) {
        case kParityEvenCode:
            return SERCOM_EVEN_PARITY;
        case kParityOddCode:
            return SERCOM_ODD_PARITY;
        default:
            return SERCOM_NO_PARITY;
    }
}
