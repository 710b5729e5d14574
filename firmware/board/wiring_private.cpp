#include "board/wiring_private.h"

#include "board/variant.h"
#include "chip/port.h"
#include "chip/primask.h"

using namespace chip;

namespace {

constexpr int kRefused = -1;
constexpr uint32_t kRolesWordBits = 32;

constexpr uint8_t kPinCfgInput = port::PINCFG_INEN;
constexpr uint8_t kPinCfgInputPull = port::PINCFG_INEN | port::PINCFG_PULLEN;
constexpr uint8_t kPinCfgOutputStrong = port::PINCFG_INEN | port::PINCFG_DRVSTR;
static_assert(kPinCfgInput == 0x02 && kPinCfgInputPull == 0x06 && kPinCfgOutputStrong == 0x42);

// The multiplexer function for a role, or PER_PORT. Sets refuse for PIO_MULTI and
// PIO_NOT_A_PIN.
int multiplexerFunction(uint32_t role, uint8_t peripheralAttribute, bool& refuse) {
    refuse = false;
    switch (role) {
        case PIO_INPUT:
        case PIO_OUTPUT:
        case PIO_INPUT_PULLUP:
        case PIO_INPUT_PULLDOWN:
            return PER_PORT;
        case PIO_EXTINT:
            return PER_EXTINT;
        case PIO_ANALOG_ADC:
        case PIO_ANALOG_DAC:
        case PIO_ANALOG_REF:
            return PER_ANALOG;
        case PIO_ANALOG_AC:
        case PIO_ANALOG_PTC:
        case PIO_ANALOG_SDADC:
            return PER_PORT;
        case PIO_TIMER_PWM:
        case PIO_TIMER_CAPTURE:
            return (peripheralAttribute & PER_ATTR_TIMER_ALT) != 0 ? PER_TIMER_ALT : PER_TIMER;
        case PIO_SERCOM:
            return (peripheralAttribute & PER_ATTR_SERCOM_ALT) != 0 ? PER_SERCOM_ALT : PER_SERCOM;
        case PIO_COM:
            return PER_COM;
        case PIO_AC_GCLK:
            return PER_AC_CLK;
        case PIO_CCL:
            return PER_CCL;
        case PIO_MULTI:
        case static_cast<uint32_t>(PIO_NOT_A_PIN):
            refuse = true;
            return PER_PORT;
        default:  // PIO_STARTUP and anything above
            return PER_PORT;
    }
}

// PMUX byte of the pin's pair: this pin's nibble replaced, the partner's kept.
void setMultiplexer(PortGroup& group, uint32_t pinNum, uint32_t function) {
    volatile uint8_t& pmux = group.PMUX[pinNum / 2];
    if ((pinNum & 1u) != 0) {
        pmux =
            static_cast<uint8_t>((pmux & port::PMUX_PMUXE::Msk) | port::PMUX_PMUXO::val(function));
    } else {
        pmux =
            static_cast<uint8_t>((pmux & port::PMUX_PMUXO::Msk) | port::PMUX_PMUXE::val(function));
    }
    group.PINCFG[pinNum] |= port::PINCFG_PMUXEN;
}

}  // namespace

extern "C" int pinPeripheral(uint32_t ulPin, uint32_t ulPeripheral) {
    if (ulPin >= PINS_COUNT) {
        return kRefused;
    }
    const PinDescription& row = g_APinDescription[ulPin];
    const uint32_t pinAttribute = row.ulPinAttribute;
    const uint8_t peripheralAttribute = row.ulPeripheralAttribute;
    const uint32_t pinType = row.ulPinType;

    if (pinType != PIO_MULTI && pinType != PIO_STARTUP && pinType != ulPeripheral) {
        return kRefused;
    }
    if (pinType != PIO_STARTUP &&
        (ulPeripheral >= kRolesWordBits || (pinAttribute & (uint32_t{1} << ulPeripheral)) == 0)) {
        return kRefused;
    }
    bool refuse = false;
    const int peripheral = multiplexerFunction(ulPeripheral, peripheralAttribute, refuse);
    if (refuse) {
        return kRefused;
    }

    // The byte-wide read-modify-writes of PMUX and PINCFG must not interleave with a handler.
    maskInterrupts();
    PortGroup& group = PORT.Group[row.ulPort];
    const uint32_t pinNum = row.ulPin;
    const uint32_t bitMask = uint32_t{1} << pinNum;
    switch (ulPeripheral) {
        case PIO_STARTUP:
            group.PINCFG[pinNum] = kPinCfgInput;
            group.OUTSET = bitMask;
            break;
        case PIO_INPUT:
            group.DIRCLR = bitMask;
            group.PINCFG[pinNum] = kPinCfgInput;
            group.OUTSET = bitMask;
            break;
        case PIO_INPUT_PULLUP:
            group.DIRCLR = bitMask;
            group.PINCFG[pinNum] = kPinCfgInput;
            group.OUTSET = bitMask;  // OUT = 1 selects the pull-up
            group.PINCFG[pinNum] = kPinCfgInputPull;
            break;
        case PIO_INPUT_PULLDOWN:
            group.DIRCLR = bitMask;
            group.PINCFG[pinNum] = kPinCfgInput;
            group.OUTCLR = bitMask;  // OUT = 0 selects the pull-down
            group.PINCFG[pinNum] = kPinCfgInputPull;
            break;
        case PIO_OUTPUT:
            // OUT is not touched: the pin drives its previous level.
            group.PINCFG[pinNum] = (peripheralAttribute & PER_ATTR_DRIVE_STRONG) != 0
                                       ? kPinCfgOutputStrong
                                       : kPinCfgInput;
            group.DIRSET = bitMask;
            break;
        case PIO_EXTINT:
        case PIO_ANALOG_ADC:
        case PIO_ANALOG_DAC:
        case PIO_ANALOG_REF:
        case PIO_TIMER_PWM:
        case PIO_TIMER_CAPTURE:
        case PIO_SERCOM:
        case PIO_COM:
        case PIO_AC_GCLK:
        case PIO_CCL:
            setMultiplexer(group, pinNum, static_cast<uint32_t>(peripheral));
            break;
        default:  // PIO_ANALOG_AC, PIO_ANALOG_PTC, PIO_ANALOG_SDADC, values above PIO_STARTUP
            break;
    }
    unmaskInterrupts();
    return 0;
}
