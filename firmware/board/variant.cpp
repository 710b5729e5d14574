#include "board/variant.h"

namespace {

constexpr uint8_t u8(int code) {
    return static_cast<uint8_t>(code);
}

constexpr PinDescription pin(EPortType port, uint8_t bit, EPioType type, uint8_t peripheralAttr,
                             uint32_t roles, ETCChannel timer, EAnalogChannel adc,
                             EExt_Interrupts extInt, EGCLK_CCL clock) {
    return PinDescription{u8(port),  bit,     u8(type),   peripheralAttr, roles,
                          u8(timer), u8(adc), u8(extInt), u8(clock)};
}

// Peripheral attributes: strong drive on every row, alternate SERCOM and timer functions.
constexpr uint8_t STRONG = PER_ATTR_DRIVE_STRONG;
constexpr uint8_t STRONG_SERCOM_ALT = PER_ATTR_DRIVE_STRONG | PER_ATTR_SERCOM_ALT;
constexpr uint8_t STRONG_TIMER_ALT = PER_ATTR_DRIVE_STRONG | PER_ATTR_TIMER_ALT;
constexpr uint8_t STRONG_BOTH_ALT =
    PER_ATTR_DRIVE_STRONG | PER_ATTR_SERCOM_ALT | PER_ATTR_TIMER_ALT;

// Accepted roles (R_DIGITAL: the four digital roles).
constexpr uint32_t R_EXTINT = pinRole(PIO_EXTINT);
constexpr uint32_t R_ADC = pinRole(PIO_ANALOG_ADC);
constexpr uint32_t R_DAC = pinRole(PIO_ANALOG_DAC);
constexpr uint32_t R_REF = pinRole(PIO_ANALOG_REF);
constexpr uint32_t R_TIMER = pinRole(PIO_TIMER_PWM) | pinRole(PIO_TIMER_CAPTURE);
constexpr uint32_t R_SERCOM = pinRole(PIO_SERCOM);
constexpr uint32_t R_COM = pinRole(PIO_COM);
constexpr uint32_t R_DIGITAL = PIN_ATTR_DIGITAL;

}  // namespace

// clang-format off
constexpr PinDescription g_APinDescription[PINS_COUNT] = {
    //  port   bit  type       peripheral attr    accepted roles                          timer         ADC             external interrupt  clock
    pin(PORTA, 10, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT | R_ADC | R_SERCOM,         NOT_ON_TIMER, ADC_Channel18,  EXTERNAL_INT_10,    GCLK_CCL_NONE),  //  0
    pin(PORTA, 11, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT | R_ADC | R_SERCOM,         NOT_ON_TIMER, ADC_Channel19,  EXTERNAL_INT_11,    GCLK_CCL_NONE),  //  1
    pin(PORTA, 18, PIO_MULTI, STRONG,            R_DIGITAL | R_TIMER | R_SERCOM,                TC4_CH0,      No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  2
    pin(PORTA, 19, PIO_MULTI, STRONG,            R_DIGITAL | R_TIMER | R_SERCOM,                TC4_CH1,      No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  3
    pin(PORTA,  8, PIO_MULTI, STRONG_BOTH_ALT,   R_DIGITAL | R_EXTINT | R_ADC | R_TIMER | R_SERCOM, TCC1_CH2,     ADC_Channel16,  EXTERNAL_INT_NMI,   GCLK_CCL_NONE),  //  4
    pin(PORTA,  9, PIO_MULTI, STRONG_BOTH_ALT,   R_DIGITAL | R_ADC | R_TIMER | R_SERCOM,          TCC1_CH3,     ADC_Channel17,  NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  5
    pin(PORTA, 16, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_SERCOM,                        NOT_ON_TIMER, No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  6
    pin(PORTA, 17, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_EXTINT | R_SERCOM,               NOT_ON_TIMER, No_ADC_Channel, EXTERNAL_INT_1,     GCLK_CCL_NONE),  //  7
    pin(PORTA,  4, PIO_MULTI, STRONG,            R_DIGITAL | R_ADC | R_REF,                     NOT_ON_TIMER, ADC_Channel4,   NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  8
    pin(PORTA,  5, PIO_MULTI, STRONG,            R_DIGITAL | R_ADC | R_DAC,                     NOT_ON_TIMER, ADC_Channel5,   NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  //  9
    pin(PORTA,  6, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_EXTINT | R_ADC | R_SERCOM,         NOT_ON_TIMER, ADC_Channel6,   EXTERNAL_INT_6,     GCLK_CCL_NONE),  // 10
    pin(PORTA,  7, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_EXTINT | R_ADC | R_SERCOM,         NOT_ON_TIMER, ADC_Channel7,   EXTERNAL_INT_7,     GCLK_CCL_NONE),  // 11
    pin(PORTA, 14, PIO_MULTI, STRONG_TIMER_ALT,  R_DIGITAL | R_EXTINT | R_TIMER,                TC4_CH0,      No_ADC_Channel, EXTERNAL_INT_14,    GCLK_CCL_NONE),  // 12
    pin(PORTA, 15, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT | R_TIMER,                TC4_CH1,      No_ADC_Channel, EXTERNAL_INT_15,    GCLK_CCL_NONE),  // 13
    pin(PORTA, 22, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_TIMER | R_SERCOM,                TC0_CH0,      No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 14 SDA
    pin(PORTA, 23, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_TIMER | R_SERCOM,                TC0_CH1,      No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 15 SCL
    pin(PORTA, 24, PIO_MULTI, STRONG_TIMER_ALT,  R_DIGITAL | R_EXTINT | R_TIMER | R_COM,          TCC1_CH2,     No_ADC_Channel, EXTERNAL_INT_12,    GCLK_CCL_NONE),  // 16
    pin(PORTA, 25, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT | R_TIMER | R_COM,          TC1_CH1,      No_ADC_Channel, EXTERNAL_INT_13,    GCLK_CCL_NONE),  // 17
    pin(PORTA, 27, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT,                        NOT_ON_TIMER, No_ADC_Channel, EXTERNAL_INT_15,    GCLK_CCL_NONE),  // 18
    pin(PORTA, 30, PIO_MULTI, STRONG,            R_DIGITAL,                                 NOT_ON_TIMER, No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 19
    pin(PORTA, 31, PIO_MULTI, STRONG_SERCOM_ALT, R_DIGITAL | R_SERCOM,                        NOT_ON_TIMER, No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 20
    pin(PORTA,  2, PIO_MULTI, STRONG,            R_DIGITAL | R_EXTINT | R_ADC | R_DAC,            NOT_ON_TIMER, ADC_Channel0,   EXTERNAL_INT_2,     GCLK_CCL_NONE),  // 21 A0, DAC0
    pin(PORTA,  3, PIO_MULTI, STRONG,            R_DIGITAL | R_ADC | R_REF,                     NOT_ON_TIMER, ADC_Channel1,   NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 22 A1
    pin(PORTA,  0, PIO_MULTI, STRONG,            R_DIGITAL,                                 NOT_ON_TIMER, No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 23
    pin(PORTA,  1, PIO_MULTI, STRONG,            R_DIGITAL,                                 NOT_ON_TIMER, No_ADC_Channel, NOT_AN_INTERRUPT,   GCLK_CCL_NONE),  // 24
};
// clang-format on

// The accepted-role words, as the board's pin list gives them.
static_assert(g_APinDescription[0].ulPinAttribute == 0x203F);
static_assert(g_APinDescription[2].ulPinAttribute == 0x380F);
static_assert(g_APinDescription[4].ulPinAttribute == 0x383F);
static_assert(g_APinDescription[5].ulPinAttribute == 0x382F);
static_assert(g_APinDescription[6].ulPinAttribute == 0x200F);
static_assert(g_APinDescription[7].ulPinAttribute == 0x201F);
static_assert(g_APinDescription[8].ulPinAttribute == 0x00AF);
static_assert(g_APinDescription[9].ulPinAttribute == 0x006F);
static_assert(g_APinDescription[12].ulPinAttribute == 0x181F);
static_assert(g_APinDescription[16].ulPinAttribute == 0x581F);
static_assert(g_APinDescription[18].ulPinAttribute == 0x001F);
static_assert(g_APinDescription[19].ulPinAttribute == 0x000F);
static_assert(g_APinDescription[21].ulPinAttribute == 0x007F);
static_assert(g_APinDescription[4].ulPeripheralAttribute == 0x07);
static_assert(g_APinDescription[12].ulPeripheralAttribute == 0x06);
static_assert(g_APinDescription[14].ulPeripheralAttribute == 0x05);

// Serial-communication modules, serial ports and their interrupt lines.
// Constructed in this order by this file's static constructor, the last one
// to run; none of them touches a register.

SERCOM sercom0(&chip::SERCOM0);
SERCOM sercom1(&chip::SERCOM1);
SERCOM sercom2(&chip::SERCOM2);
SERCOM sercom3(&chip::SERCOM3);
SERCOM sercom4(&chip::SERCOM4);
SERCOM sercom5(&chip::SERCOM5);

// Both pins of a port get the module's function; the pads decide which one
// transmits.
Uart Serial0(&sercom0, PIN_SERIAL0_RX, PIN_SERIAL0_TX, SERCOM_RX_PAD_3, UART_TX_PAD_2);
Uart Serial1(&sercom1, PIN_SERIAL1_RX, PIN_SERIAL1_TX, SERCOM_RX_PAD_3, UART_TX_PAD_2);
Uart Serial2(&sercom2, PIN_SERIAL2_RX, PIN_SERIAL2_TX, SERCOM_RX_PAD_1, UART_TX_PAD_0);
Uart Serial3(&sercom3, PIN_SERIAL3_RX, PIN_SERIAL3_TX, SERCOM_RX_PAD_1, UART_TX_PAD_0);

// SERCOM4 has no handler (its slot stays with Dummy_Handler); SERCOM5's
// belongs to the I2C object.
extern "C" {

void SERCOM0_Handler() {
    Serial0.IrqHandler();
}

void SERCOM1_Handler() {
    Serial1.IrqHandler();
}

void SERCOM2_Handler() {
    Serial2.IrqHandler();
}

void SERCOM3_Handler() {
    Serial3.IrqHandler();
}

}  // extern "C"
