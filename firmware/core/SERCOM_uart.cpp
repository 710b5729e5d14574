// SERCOM in USART mode: register operations only, no buffering.
#include "board/startup.h"
#include "chip/sercom.h"
#include "core/SERCOM.h"

using namespace chip;
using namespace chip::sercom_usart;

namespace {

constexpr uint32_t kOversampling16 = 16;
constexpr uint32_t kOversampling8 = 8;
// The fractional BAUD setting counts eighths of the integer divisor.
constexpr uint32_t kFractionSteps = 8;
constexpr uint32_t kBaudIntegerLimit = BAUD_FRAC_BAUD::Msk + 1;  // 13 bits: wraps past 8191

constexpr uint8_t kReceiveAndErrorInterrupts = INTFLAG_RXC | INTFLAG_ERROR;
static_assert(kReceiveAndErrorInterrupts == 0x84);

// The write-1-to-clear error bits of STATUS.
constexpr uint16_t kStatusErrors =
    STATUS_PERR | STATUS_FERR | STATUS_BUFOVF | STATUS_ISF | STATUS_COLL;

}  // namespace

void SERCOM::initUART(SercomUartMode mode, SercomUartSampleRate sampleRate, uint32_t baudrate) {
    if (sercom == &SERCOM5) {
        sampleRate = SAMPLE_RATE_x16;
    }
    initClockNVIC();
    resetUART();

    sercom->USART.CTRLA = sercom::CTRLA_MODE::val(mode) | CTRLA_SAMPR::val(sampleRate);
    sercom->USART.INTENSET = kReceiveAndErrorInterrupts;

    if (mode == UART_INT_CLOCK) {
        const uint32_t sampleRateValue =
            sampleRate == SAMPLE_RATE_x16 ? kOversampling16 : kOversampling8;
        const uint32_t baudTimes8 =
            (SystemCoreClock * kFractionSteps) / (sampleRateValue * baudrate);

        sercom->USART.BAUD = static_cast<uint16_t>((sercom->USART.BAUD & ~BAUD_FRAC_FP::Msk) |
                                                   BAUD_FRAC_FP::val(baudTimes8 % kFractionSteps));
        sercom->USART.BAUD = static_cast<uint16_t>(
            (sercom->USART.BAUD & ~BAUD_FRAC_BAUD::Msk) |
            BAUD_FRAC_BAUD::val((baudTimes8 / kFractionSteps) % kBaudIntegerLimit));
    }
}

void SERCOM::initFrame(SercomUartCharSize charSize, SercomDataOrder dataOrder,
                       SercomParityMode parityMode, SercomNumberStopBit nbStopBits) {
    const bool parity = parityMode != SERCOM_NO_PARITY;
    sercom->USART.CTRLA |=
        CTRLA_FORM::val(parity ? FORM_USART_PARITY : FORM_USART) | (dataOrder ? CTRLA_DORD : 0u);
    sercom->USART.CTRLB |= CTRLB_CHSIZE::val(charSize) | (nbStopBits ? CTRLB_SBMODE : 0u) |
                           (parityMode == SERCOM_ODD_PARITY ? CTRLB_PMODE : 0u);
}

void SERCOM::initPads(SercomUartTXPad txPad, SercomRXPad rxPad) {
    sercom->USART.CTRLA |= CTRLA_TXPO::val(txPad) | CTRLA_RXPO::val(rxPad);
    sercom->USART.CTRLB |= CTRLB_TXEN | CTRLB_RXEN;
}

void SERCOM::resetUART() {
    sercom->USART.CTRLA |= sercom::CTRLA_SWRST;
    while ((sercom->USART.CTRLA & sercom::CTRLA_SWRST) != 0 ||
           (sercom->USART.SYNCBUSY & SYNCBUSY_SWRST) != 0) {
    }
}

void SERCOM::enableUART() {
    sercom->USART.CTRLA |= sercom::CTRLA_ENABLE;
    while ((sercom->USART.SYNCBUSY & SYNCBUSY_ENABLE) != 0) {
    }
}

void SERCOM::flushUART() {
    if (isDataRegisterEmptyUART()) {
        return;
    }
    while ((sercom->USART.INTFLAG & INTFLAG_TXC) == 0) {
    }
}

void SERCOM::clearStatusUART() {
    // The error bits clear by writing 1; writing 0 would leave them set.
    sercom->USART.STATUS = kStatusErrors;
}

bool SERCOM::availableDataUART() {
    return (sercom->USART.INTFLAG & INTFLAG_RXC) != 0;
}

bool SERCOM::isUARTError() {
    return (sercom->USART.INTFLAG & INTFLAG_ERROR) != 0;
}

void SERCOM::acknowledgeUARTError() {
    // ERROR alone: writing back the other flags read would clear TXC with it.
    sercom->USART.INTFLAG = INTFLAG_ERROR;
}

bool SERCOM::isDataRegisterEmptyUART() {
    return (sercom->USART.INTFLAG & INTFLAG_DRE) != 0;
}

uint8_t SERCOM::readDataUART() {
    return static_cast<uint8_t>(sercom->USART.DATA);
}

int SERCOM::writeDataUART(uint8_t data) {
    while (!isDataRegisterEmptyUART()) {
    }
    sercom->USART.DATA = data;
    return 1;
}

void SERCOM::enableDataRegisterEmptyInterruptUART() {
    sercom->USART.INTENSET = static_cast<uint8_t>(sercom->USART.INTENSET | INTFLAG_DRE);
}

void SERCOM::disableDataRegisterEmptyInterruptUART() {
    sercom->USART.INTENCLR = INTFLAG_DRE;
}
