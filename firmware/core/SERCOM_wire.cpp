// SERCOM in I2C master mode: the register operations TwoWire stands on.
// Every wait polls a flag without a time-out (the hardware's time-outs stay
// off as well).
#include <cstdint>

#include "board/startup.h"
#include "core/SERCOM.h"

namespace {

using namespace chip::sercom_i2cm;
using chip::sercom::CTRLA_MODE;
using chip::sercom::CTRLA_SWRST;

uint32_t busState(const chip::SercomI2cm& i2cm) {
    return STATUS_BUSSTATE::get(i2cm.STATUS);
}

}  // namespace

void SERCOM::initMasterWIRE(uint32_t baudrate) {
    initClockNVIC();
    resetWIRE();
    // Master mode, everything else 0: SDA on pad 0, SCL on pad 1, no
    // inactivity or low-time time-out.
    sercom->I2CM.CTRLA = CTRLA_MODE::val(I2C_MASTER_OPERATION);
    const uint32_t baud = (SystemCoreClock / (2 * baudrate) - 1) & BAUD_BAUD::Msk;
    sercom->I2CM.BAUD = (sercom->I2CM.BAUD & ~BAUD_BAUD::Msk) | BAUD_BAUD::val(baud);
}

void SERCOM::resetWIRE() {
    sercom->I2CM.CTRLA |= CTRLA_SWRST;
    while ((sercom->I2CM.CTRLA & CTRLA_SWRST) != 0 ||
           (sercom->I2CM.SYNCBUSY & SYNCBUSY_SWRST) != 0) {
    }
}

void SERCOM::enableWIRE() {
    sercom->I2CM.CTRLA |= chip::sercom::CTRLA_ENABLE;
    while ((sercom->I2CM.SYNCBUSY & SYNCBUSY_ENABLE) != 0) {
    }
    // The bus state is unknown after enabling: force it to idle.
    sercom->I2CM.STATUS = static_cast<uint16_t>((sercom->I2CM.STATUS & ~STATUS_BUSSTATE::Msk) |
                                                STATUS_BUSSTATE::val(WIRE_IDLE_STATE));
    while ((sercom->I2CM.SYNCBUSY & SYNCBUSY_SYSOP) != 0) {
    }
}

bool SERCOM::startTransmissionWIRE(uint8_t address, SercomWireReadWriteFlag flag) {
    const auto addressByte = static_cast<uint8_t>((address << 1) | flag);
    for (;;) {
        const uint32_t state = busState(sercom->I2CM);
        if (state == WIRE_IDLE_STATE || state == WIRE_OWNER_STATE) {
            break;
        }
    }
    // A START, or a repeated START when this master owns the bus.
    sercom->I2CM.ADDR = (sercom->I2CM.ADDR & ~ADDR_ADDR::Msk) | ADDR_ADDR::val(addressByte);
    if (flag == WIRE_WRITE_FLAG) {
        while ((sercom->I2CM.INTFLAG & INTFLAG_MB) == 0) {
        }
    } else {
        // SB: the first byte is in. MB instead: no acknowledge, or an error.
        while ((sercom->I2CM.INTFLAG & INTFLAG_SB) == 0) {
            if ((sercom->I2CM.INTFLAG & INTFLAG_MB) != 0) {
                sercom->I2CM.CTRLB =
                    (sercom->I2CM.CTRLB & ~CTRLB_CMD::Msk) | CTRLB_CMD::val(CMD_STOP);
                return false;
            }
        }
    }
    // A bus error sets MB as well and leaves RXNACK as it was: it fails too.
    return (sercom->I2CM.STATUS & (STATUS_RXNACK | STATUS_BUSERR)) == 0;
}

bool SERCOM::sendDataMasterWIRE(uint8_t data) {
    sercom->I2CM.DATA = data;
    for (;;) {
        if ((sercom->I2CM.INTFLAG & INTFLAG_MB) != 0) {
            // MB comes with a bus error too; only an acknowledged byte is sent.
            return (sercom->I2CM.STATUS & (STATUS_RXNACK | STATUS_BUSERR)) == 0;
        }
        if ((sercom->I2CM.STATUS & STATUS_BUSERR) != 0) {
            return false;
        }
    }
}

uint8_t SERCOM::readDataWIRE() {
    if (CTRLA_MODE::get(sercom->I2CM.CTRLA) == I2C_MASTER_OPERATION) {
        while ((sercom->I2CM.INTFLAG & INTFLAG_SB) == 0) {
        }
    }
    return static_cast<uint8_t>(sercom->I2CM.DATA);
}

void SERCOM::prepareAckBitWIRE() {
    sercom->I2CM.CTRLB &= ~CTRLB_ACKACT;
}

void SERCOM::prepareNackBitWIRE() {
    sercom->I2CM.CTRLB |= CTRLB_ACKACT;
}

void SERCOM::prepareCommandBitsWire(uint8_t cmd) {
    sercom->I2CM.CTRLB = (sercom->I2CM.CTRLB & ~CTRLB_CMD::Msk) | CTRLB_CMD::val(cmd & 3u);
    if (CTRLA_MODE::get(sercom->I2CM.CTRLA) == I2C_MASTER_OPERATION) {
        while ((sercom->I2CM.SYNCBUSY & SYNCBUSY_SYSOP) != 0) {
        }
    }
}

// ---- slave view ----

bool SERCOM::isSlaveWIRE() {
    return CTRLA_MODE::get(sercom->I2CS.CTRLA) == I2C_SLAVE_OPERATION;
}

bool SERCOM::isStopDetectedWIRE() {
    return (sercom->I2CS.INTFLAG & chip::sercom_i2cs::INTFLAG_PREC) != 0;
}

bool SERCOM::isAddressMatch() {
    return (sercom->I2CS.INTFLAG & chip::sercom_i2cs::INTFLAG_AMATCH) != 0;
}

bool SERCOM::isDataReadyWIRE() {
    return (sercom->I2CS.INTFLAG & chip::sercom_i2cs::INTFLAG_DRDY) != 0;
}

bool SERCOM::isRestartDetectedWIRE() {
    return (sercom->I2CS.STATUS & chip::sercom_i2cs::STATUS_SR) != 0;
}

bool SERCOM::isMasterReadOperationWIRE() {
    return (sercom->I2CS.STATUS & chip::sercom_i2cs::STATUS_DIR) != 0;
}

bool SERCOM::sendDataSlaveWIRE(uint8_t data) {
    sercom->I2CS.DATA = data;
    // Taken when data-ready is still set and the master did not NACK.
    return (sercom->I2CS.INTFLAG & chip::sercom_i2cs::INTFLAG_DRDY) != 0 &&
           (sercom->I2CS.STATUS & chip::sercom_i2cs::STATUS_RXNACK) == 0;
}
