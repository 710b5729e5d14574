// SERCOM: one serial-communication module's register operations.
//
// One object per module (sercom0 .. sercom5, built by the board), holding only
// the address of the module's register block. The USART operations serve the
// serial ports (Uart), the I2C operations the I2C master (TwoWire); the
// policy (rings, waits for room, bus transactions) lives in those classes.
#pragma once

#include <cstdint>

#include "chip/sercom.h"

enum SercomUartMode : uint8_t { UART_EXT_CLOCK = 0, UART_INT_CLOCK = 1 };

enum SercomUartSampleRate : uint8_t { SAMPLE_RATE_x16 = 1, SAMPLE_RATE_x8 = 3 };

enum SercomUartCharSize : uint8_t {
    UART_CHAR_SIZE_8_BITS = 0,
    UART_CHAR_SIZE_9_BITS = 1,
    UART_CHAR_SIZE_5_BITS = 5,
    UART_CHAR_SIZE_6_BITS = 6,
    UART_CHAR_SIZE_7_BITS = 7,
};

enum SercomDataOrder : uint8_t { MSB_FIRST = 0, LSB_FIRST = 1 };

enum SercomParityMode : uint8_t {
    SERCOM_EVEN_PARITY = 0,
    SERCOM_ODD_PARITY = 1,
    SERCOM_NO_PARITY = 2
};

enum SercomNumberStopBit : uint8_t { SERCOM_STOP_BIT_1 = 0, SERCOM_STOP_BITS_2 = 1 };

enum SercomRXPad : uint8_t {
    SERCOM_RX_PAD_0 = 0,
    SERCOM_RX_PAD_1 = 1,
    SERCOM_RX_PAD_2 = 2,
    SERCOM_RX_PAD_3 = 3
};

enum SercomUartTXPad : uint8_t {
    UART_TX_PAD_0 = 0,
    UART_TX_PAD_2 = 1,
    UART_TX_RTS_CTS_PAD_0_2_3 = 2
};

enum SercomWireReadWriteFlag : uint8_t { WIRE_WRITE_FLAG = 0, WIRE_READ_FLAG = 1 };

enum SercomMasterCommandWire : uint8_t {
    WIRE_MASTER_ACT_NO_ACTION = 0,
    WIRE_MASTER_ACT_REPEAT_START = 1,
    WIRE_MASTER_ACT_READ = 2,
    WIRE_MASTER_ACT_STOP = 3,
};

enum SercomWireBusState : uint8_t {
    WIRE_UNKNOWN_STATE = 0,
    WIRE_IDLE_STATE = 1,
    WIRE_OWNER_STATE = 2,
    WIRE_BUSY_STATE = 3,
};

enum SercomI2CMode : uint8_t { I2C_SLAVE_OPERATION = 4, I2C_MASTER_OPERATION = 5 };

class SERCOM {
  public:
    // Stores the register block's address; touches no register.
    explicit SERCOM(chip::Sercom* s) : sercom(s) {}

    // ---- USART (SERCOM_uart.cpp) ----
    void initUART(SercomUartMode mode, SercomUartSampleRate sampleRate, uint32_t baudrate = 0);
    void initFrame(SercomUartCharSize charSize, SercomDataOrder dataOrder,
                   SercomParityMode parityMode, SercomNumberStopBit nbStopBits);
    void initPads(SercomUartTXPad txPad, SercomRXPad rxPad);
    void resetUART();
    void enableUART();
    void flushUART();
    void clearStatusUART();
    bool availableDataUART();
    bool isUARTError();
    void acknowledgeUARTError();
    bool isDataRegisterEmptyUART();
    uint8_t readDataUART();
    int writeDataUART(uint8_t data);
    void enableDataRegisterEmptyInterruptUART();
    void disableDataRegisterEmptyInterruptUART();

    // ---- I2C master (SERCOM_wire.cpp) ----
    void initMasterWIRE(uint32_t baudrate);
    void resetWIRE();
    void enableWIRE();
    bool startTransmissionWIRE(uint8_t address, SercomWireReadWriteFlag flag);
    bool sendDataMasterWIRE(uint8_t data);
    uint8_t readDataWIRE();
    void prepareAckBitWIRE();
    void prepareNackBitWIRE();
    void prepareCommandBitsWire(uint8_t cmd);

    // ---- I2C slave view, read by TwoWire::onService (SERCOM_wire.cpp) ----
    bool isSlaveWIRE();
    bool isStopDetectedWIRE();
    bool isAddressMatch();
    bool isDataReadyWIRE();
    bool isRestartDetectedWIRE();
    bool isMasterReadOperationWIRE();
    bool sendDataSlaveWIRE(uint8_t data);

  private:
    // Module clock channel and interrupt line (SERCOM.cpp).
    void initClockNVIC();

    chip::Sercom* sercom;
};
