#include "board/wiring_digital.h"

#include "board/variant.h"
#include "board/wiring_private.h"
#include "chip/port.h"

using namespace chip;

static_assert(INPUT == PIO_INPUT && OUTPUT == PIO_OUTPUT && INPUT_PULLUP == PIO_INPUT_PULLUP &&
              INPUT_PULLDOWN == PIO_INPUT_PULLDOWN);

extern "C" {

void pinMode(uint32_t ulPin, uint32_t ulMode) {
    (void)pinPeripheral(ulPin, ulMode);
}

void digitalWrite(uint32_t ulPin, uint32_t ulVal) {
    // A number beyond the table would index past it and write registers at arbitrary offsets.
    if (ulPin >= PINS_COUNT) {
        return;
    }
    const PinDescription& row = g_APinDescription[ulPin];
    const uint32_t pinAttribute = row.ulPinAttribute;
    PortGroup& group = PORT.Group[row.ulPort];
    const uint32_t pinNum = row.ulPin;
    const uint32_t bitMask = uint32_t{1} << pinNum;

    uint8_t pinConfig = group.PINCFG[pinNum];
    const bool pinDir = (group.DIR & bitMask) != 0;
    const bool pinOut = (group.OUT & bitMask) != 0;

    if (pinDir) {
        if (ulVal == HIGH) {
            group.OUTSET = bitMask;
        } else {
            group.OUTCLR = bitMask;
        }
        return;
    }

    if (ulVal == HIGH) {
        const bool pullUpAllowed = (pinAttribute & pinRole(PIO_INPUT_PULLUP)) != 0;
        const bool pullDownAllowed = (pinAttribute & pinRole(PIO_INPUT_PULLDOWN)) != 0;
        if ((pinOut && pullUpAllowed) || (!pinOut && pullDownAllowed)) {
            pinConfig |= port::PINCFG_PULLEN;
        }
    } else {
        pinConfig &= static_cast<uint8_t>(~port::PINCFG_PULLEN);
    }
    group.PINCFG[pinNum] = pinConfig;
}
}
