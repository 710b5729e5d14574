#include "dac.h"

#include "../src/board.h"
#include "gclk.h"

namespace vboard {

namespace {
constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kDacctrlModelled = 0x0F0C;  // CCTRL, REFRESH
}  // namespace

Dac::Dac(Board& board)
    : RegisterPeripheral(board, "DAC", kBase, 0x1C,
                         {
                             {"CTRLA", kCTRLA, 1, 0, Access::ReadWrite, kSwrst | kEnable},
                             {"CTRLB", kCTRLB, 1, 0, Access::ReadWrite, 0x6},
                             {"EVCTRL", kEVCTRL, 1, 0, Access::ReadWrite, 0},
                             {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
                             {"INTFLAG", kINTFLAG, 1, 0, Access::ReadWrite, 0},
                             {"STATUS", kSTATUS, 1, 0, Access::ReadOnly, kAll},
                             {"SYNCBUSY", kSYNCBUSY, 4, 0, Access::ReadOnly, kAll},
                             {"DACCTRL0", kDACCTRL0, 2, 0, Access::ReadWrite, kDacctrlModelled},
                             {"DACCTRL1", kDACCTRL1, 2, 0, Access::ReadWrite, kDacctrlModelled},
                             {"DATA0", kDATA0, 2, 0, Access::WriteOnly, 0},
                             {"DATA1", kDATA1, 2, 0, Access::WriteOnly, 0},
                             {"DATABUF0", kDATABUF0, 2, 0, Access::WriteOnly, 0},
                             {"DATABUF1", kDATABUF1, 2, 0, Access::WriteOnly, 0},
                             {"DBGCTRL", kDBGCTRL, 1, 0, Access::ReadWrite, 0},
                         }) {}

void Dac::reset() {
    RegisterPeripheral::reset();
    busy_until_ = 0;
    busy_bits_ = 0;
}

std::uint32_t Dac::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    if (reg.offset == kSYNCBUSY) return now() < busy_until_ ? busy_bits_ : 0;
    return stored;
}

void Dac::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kCTRLA) {
        const std::uint32_t hz = board().model<Gclk>().channel_hz(kGclkChannel);
        busy_until_ = hz == 0 ? kNever : now() + kSyncPeriods * period_of(hz);
        if (written & kSwrst) {
            RegisterPeripheral::reset();
            busy_bits_ = kSwrst;
            return;
        }
        busy_bits_ = kEnable;
        if (written & kEnable)
            note(Finding::UnmodelledField, reg.offset, "DAC CTRLA: conversions are not modelled");
    }
    RegisterPeripheral::on_write(reg, old_value, written);
}

}  // namespace vboard
