// The slave side of TwoWire's interrupt service. This system only ever runs
// the module as a master, so the routine returns at its first test; it is
// kept for a module set up as a slave.
#include "core/Wire.h"

namespace {
constexpr uint8_t kNoByteQueued = 0xFF;  // what a slave sends when it has nothing queued
}

void TwoWire::onService() {
    if (!sercom->isSlaveWIRE()) {
        return;
    }
    const bool masterWrites = !sercom->isMasterReadOperationWIRE();
    if (sercom->isStopDetectedWIRE() ||
        (sercom->isAddressMatch() && sercom->isRestartDetectedWIRE() && masterWrites)) {
        // End of a write from the master: hand over what came in.
        sercom->prepareAckBitWIRE();
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
        if (onReceiveCallback != nullptr) {
            onReceiveCallback(available());
        }
        rxBuffer.clear();
    } else if (sercom->isAddressMatch()) {
        sercom->prepareAckBitWIRE();
        sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
        if (!masterWrites) {
            txBuffer.clear();
            transmissionBegun = true;
            if (onRequestCallback != nullptr) {
                onRequestCallback();
            }
        }
    } else if (sercom->isDataReadyWIRE()) {
        if (!masterWrites) {
            const int next = txBuffer.read_char();
            const auto byte = next < 0 ? kNoByteQueued : static_cast<uint8_t>(next);
            transmissionBegun = sercom->sendDataSlaveWIRE(byte);
        } else {
            if (rxBuffer.isFull()) {
                sercom->prepareNackBitWIRE();
            } else {
                rxBuffer.store_char(sercom->readDataWIRE());
                sercom->prepareAckBitWIRE();
            }
            sercom->prepareCommandBitsWire(WIRE_MASTER_ACT_STOP);
        }
    }
}
