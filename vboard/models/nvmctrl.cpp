#include "nvmctrl.h"

namespace vboard {

Nvmctrl::Nvmctrl(Board& board)
    : RegisterPeripheral(board, "NVMCTRL", kBase, 0x24,
                         {
                             {"CTRLA", kCTRLA, 2, 0, Access::ReadWrite, 0},
                             // Wait states are stored; their cost is not timed.
                             {"CTRLB", kCTRLB, 4, kCtrlbReset, Access::ReadWrite, kCtrlbRwsMask | kCtrlbManw},
                             {"PARAM", kPARAM, 4, kParamValue, Access::ReadOnly, 0xFFFFFFFF},
                             {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
                             // READY reads 1 while the controller is idle (unconfirmed reset value).
                             {"INTFLAG", kINTFLAG, 1, kIntflagReady, Access::ReadWrite, 0},
                             {"STATUS", kSTATUS, 2, 0, Access::ReadWrite, 0},
                             {"ADDR", kADDR, 4, 0, Access::ReadWrite, 0},
                             {"LOCK", kLOCK, 2, 0xFFFF, Access::ReadOnly, 0xFFFF},
                         }) {}

void Nvmctrl::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kCTRLA) {
        note(Finding::Unsupported, reg.offset, "NVMCTRL CTRLA: flash commands are not modelled yet");
        return;
    }
    RegisterPeripheral::on_write(reg, old_value, written);
}

}  // namespace vboard
