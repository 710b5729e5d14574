// One row of the board's pin table and the codes stored in it.
#pragma once

#include <cstdint>

enum _EPortType {
    NOT_A_PORT = -1,
    PORTA = 0,
    PORTB = 1,
    PORTC = 2,
};
using EPortType = _EPortType;

// Pin roles. The value is also the bit number of the role in PinDescription::ulPinAttribute.
enum _EPioType {
    PIO_NOT_A_PIN = -1,
    PIO_INPUT = 0,
    PIO_OUTPUT = 1,
    PIO_INPUT_PULLUP = 2,
    PIO_INPUT_PULLDOWN = 3,
    PIO_EXTINT = 4,
    PIO_ANALOG_ADC = 5,
    PIO_ANALOG_DAC = 6,
    PIO_ANALOG_REF = 7,
    PIO_ANALOG_AC = 8,
    PIO_ANALOG_PTC = 9,
    PIO_ANALOG_SDADC = 10,
    PIO_TIMER_PWM = 11,
    PIO_TIMER_CAPTURE = 12,
    PIO_SERCOM = 13,
    PIO_COM = 14,
    PIO_AC_GCLK = 15,
    PIO_CCL = 16,
    PIO_MULTI = 17,
    PIO_STARTUP = 18,
};
using EPioType = _EPioType;

// Port multiplexer functions: the value written into a PMUX nibble (function A = 0 to I = 8).
enum _EPioPeripheral {
    PER_PORT = -1,  // no multiplexing: the pin is a plain port pin
    PER_EXTINT = 0,
    PER_ANALOG = 1,
    PER_SERCOM = 2,
    PER_SERCOM_ALT = 3,
    PER_TIMER = 4,
    PER_TIMER_ALT = 5,
    PER_COM = 6,
    PER_AC_CLK = 7,
    PER_CCL = 8,
};
using EPioPeripheral = _EPioPeripheral;

// Timer output codes: bits 7:4 the timer number, bit 3 set for a TC and clear for a TCC,
// bits 2:0 the channel.
constexpr int kTimerNumberShift = 4;
constexpr int kTimerIsTc = 0x08;
constexpr int timerChannel(int timer, bool isTc, int channel) {
    return (timer << kTimerNumberShift) | (isTc ? kTimerIsTc : 0) | channel;
}

enum _ETCChannel {
    NOT_ON_TIMER = -1,
    TCC0_CH0 = timerChannel(0, false, 0),
    TCC0_CH1 = timerChannel(0, false, 1),
    TCC0_CH2 = timerChannel(0, false, 2),
    TCC0_CH3 = timerChannel(0, false, 3),
    TCC0_CH4 = TCC0_CH0,  // channels 4 to 7 of TCC0 share the codes of 0 to 3
    TCC0_CH5 = TCC0_CH1,
    TCC0_CH6 = TCC0_CH2,
    TCC0_CH7 = TCC0_CH3,
    TCC1_CH0 = timerChannel(1, false, 0),
    TCC1_CH1 = timerChannel(1, false, 1),
    TCC1_CH2 = TCC1_CH0,  // channels 2 and 3 of TCC1 and TCC2 share the codes of 0 and 1
    TCC1_CH3 = TCC1_CH1,
    TCC2_CH0 = timerChannel(2, false, 0),
    TCC2_CH1 = timerChannel(2, false, 1),
    TCC2_CH2 = TCC2_CH0,
    TCC2_CH3 = TCC2_CH1,
    TC0_CH0 = timerChannel(0, true, 0),
    TC0_CH1 = timerChannel(0, true, 1),
    TC1_CH0 = timerChannel(1, true, 0),
    TC1_CH1 = timerChannel(1, true, 1),
    TC2_CH0 = timerChannel(2, true, 0),
    TC2_CH1 = timerChannel(2, true, 1),
    TC3_CH0 = timerChannel(3, true, 0),
    TC3_CH1 = timerChannel(3, true, 1),
    TC4_CH0 = timerChannel(4, true, 0),
    TC4_CH1 = timerChannel(4, true, 1),
};
using ETCChannel = _ETCChannel;
static_assert(TC0_CH0 == 8 && TC1_CH1 == 25 && TC4_CH0 == 72 && TCC1_CH0 == 16);

enum _EAnalogChannel {
    No_ADC_Channel = -1,
    ADC_Channel0 = 0,
    ADC_Channel1 = 1,
    ADC_Channel2 = 2,
    ADC_Channel3 = 3,
    ADC_Channel4 = 4,
    ADC_Channel5 = 5,
    ADC_Channel6 = 6,
    ADC_Channel7 = 7,
    ADC_Channel8 = 8,
    ADC_Channel9 = 9,
    ADC_Channel10 = 10,
    ADC_Channel11 = 11,
    ADC_Channel12 = 12,
    ADC_Channel13 = 13,
    ADC_Channel14 = 14,
    ADC_Channel15 = 15,
    ADC_Channel16 = 16,
    ADC_Channel17 = 17,
    ADC_Channel18 = 18,
    ADC_Channel19 = 19,
};
using EAnalogChannel = _EAnalogChannel;

enum _EExt_Interrupts {
    NOT_AN_INTERRUPT = -1,
    EXTERNAL_INT_0 = 0,
    EXTERNAL_INT_1 = 1,
    EXTERNAL_INT_2 = 2,
    EXTERNAL_INT_3 = 3,
    EXTERNAL_INT_4 = 4,
    EXTERNAL_INT_5 = 5,
    EXTERNAL_INT_6 = 6,
    EXTERNAL_INT_7 = 7,
    EXTERNAL_INT_8 = 8,
    EXTERNAL_INT_9 = 9,
    EXTERNAL_INT_10 = 10,
    EXTERNAL_INT_11 = 11,
    EXTERNAL_INT_12 = 12,
    EXTERNAL_INT_13 = 13,
    EXTERNAL_INT_14 = 14,
    EXTERNAL_INT_15 = 15,
    EXTERNAL_INT_NMI = 16,
};
using EExt_Interrupts = _EExt_Interrupts;

// Clock or logic-cell I/O of a pin.
enum _EGCLK_CCL {
    GCLK_CCL_NONE = -1,
};
using EGCLK_CCL = _EGCLK_CCL;

// PinDescription::ulPeripheralAttribute bits.
constexpr uint8_t PER_ATTR_SERCOM_ALT = 1u << 0;    // PIO_SERCOM selects PER_SERCOM_ALT
constexpr uint8_t PER_ATTR_TIMER_ALT = 1u << 1;     // PIO_TIMER_* select PER_TIMER_ALT
constexpr uint8_t PER_ATTR_DRIVE_STRONG = 1u << 2;  // outputs use PINCFG DRVSTR

// PinDescription::ulPinAttribute: the bit of a role the pin accepts.
constexpr uint32_t pinRole(EPioType role) {
    return uint32_t{1} << role;
}
constexpr uint32_t PIN_ATTR_DIGITAL = pinRole(PIO_INPUT) | pinRole(PIO_OUTPUT) |
                                      pinRole(PIO_INPUT_PULLUP) | pinRole(PIO_INPUT_PULLDOWN);

// One row of the pin table. The timer, analogue, interrupt and clock fields are kept for
// drivers this firmware does not contain; -1 is stored as 0xFF.
struct _PinDescription {
    uint8_t ulPort;                 // EPortType
    uint8_t ulPin;                  // bit number within the port, 0 to 31
    uint8_t ulPinType;              // EPioType the pin is fixed to, or PIO_MULTI
    uint8_t ulPeripheralAttribute;  // PER_ATTR_* bits
    uint32_t ulPinAttribute;        // pinRole bits of the accepted roles
    uint8_t ulTCChannel;            // ETCChannel
    uint8_t ulADCChannelNumber;     // EAnalogChannel
    uint8_t ulExtInt;               // EExt_Interrupts
    uint8_t ulGCLKCCL;              // EGCLK_CCL
};
using PinDescription = _PinDescription;
static_assert(sizeof(PinDescription) == 12);
