// The impact-sensor board: pin numbers 0 to 24 and what each pin can do.
#pragma once

#include <cstdint>

#include "board/pin_description.h"
#include "core/SERCOM.h"
#include "core/Uart.h"

constexpr uint32_t PINS_COUNT = 25;

// Indexed by pin number.
extern const PinDescription g_APinDescription[PINS_COUNT];

// Analogue inputs and the DAC output.
constexpr uint8_t A0 = 21;
constexpr uint8_t A1 = 22;
constexpr uint8_t A2 = 8;
constexpr uint8_t A3 = 9;
constexpr uint8_t A4 = 10;
constexpr uint8_t A5 = 11;
constexpr uint8_t DAC0 = 21;

// I2C bus (SERCOM5 pads 0 and 1).
constexpr uint8_t PIN_WIRE_SDA = 14;
constexpr uint8_t PIN_WIRE_SCL = 15;

// Serial ports: receive and transmit pin of each.
constexpr uint8_t PIN_SERIAL0_RX = 0;
constexpr uint8_t PIN_SERIAL0_TX = 1;
constexpr uint8_t PIN_SERIAL1_RX = 3;
constexpr uint8_t PIN_SERIAL1_TX = 2;
constexpr uint8_t PIN_SERIAL2_RX = 4;
constexpr uint8_t PIN_SERIAL2_TX = 5;
constexpr uint8_t PIN_SERIAL3_RX = 6;
constexpr uint8_t PIN_SERIAL3_TX = 7;

// The reference inputs that analogReference routes.
constexpr uint8_t PIN_AREFA = 22;  // PA03
constexpr uint8_t PIN_AREFB = 8;   // PA04

// Serial-communication modules and serial ports.
// One object per module, SERCOM0 to SERCOM5.
extern SERCOM sercom0;
extern SERCOM sercom1;
extern SERCOM sercom2;
extern SERCOM sercom3;
extern SERCOM sercom4;
extern SERCOM sercom5;

// Serial ports on SERCOM0 to SERCOM3. Serial1 is the line to the host.
extern Uart Serial0;
extern Uart Serial1;
extern Uart Serial2;
extern Uart Serial3;
