#include "pm.h"

namespace vboard {

Pm::Pm(Board& board)
    : RegisterPeripheral(board, "PM", kBase, 0x10,
                         {
                             {"CTRLA", kCTRLA, 1, 0, Access::ReadWrite, 0},
                             {"SLEEPCFG", kSLEEPCFG, 1, 0x02, Access::ReadWrite, 0x02},
                             {"PLCFG", kPLCFG, 1, 0, Access::ReadWrite, kPlSelMask},
                             {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
                             {"INTFLAG", kINTFLAG, 1, 0, Access::ReadWrite, kPlRdy},
                             {"STDBYCFG", kSTDBYCFG, 2, 0, Access::ReadWrite, 0},
                             {"PWSAKDLY", kPWSAKDLY, 1, 0, Access::ReadWrite, 0},
                         }) {}

void Pm::reset() {
    RegisterPeripheral::reset();
    level_ready_at_ = kNever;
}

void Pm::advance(SimTime now) {
    if (now < level_ready_at_) return;
    level_ready_at_ = kNever;
    set_value(kINTFLAG, value(kINTFLAG) | kPlRdy);
}

void Pm::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kINTFLAG)
        return set_value(kINTFLAG, old_value & ~written);  // write 1 to clear
    RegisterPeripheral::on_write(reg, old_value, written);
    if (reg.offset == kPLCFG) {
        level_ready_at_ = now() + kLevelSettleTime;
        reschedule();
    }
}

}  // namespace vboard
