#include "oscctrl.h"

#include "../src/board.h"

namespace vboard {

namespace {
constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kNone = 0;
}  // namespace

Oscctrl::Oscctrl(Board& board)
    : RegisterPeripheral(board, "OSCCTRL", kBase, 0x40,
                         {
                             {"INTENCLR", kINTENCLR, 4, 0, Access::ReadWrite, kNone},
                             {"INTENSET", kINTENSET, 4, 0, Access::ReadWrite, kNone},
                             {"INTFLAG", kINTFLAG, 4, 0, Access::ReadWrite, kNone},
                             {"STATUS", kSTATUS, 4, 0, Access::ReadOnly, kAll},
                             {"XOSCCTRL", kXOSCCTRL, 2, 0x0080, Access::ReadWrite, 0x0080},
                             // Reset: enabled, on demand, 4 MHz.
                             {"OSC16MCTRL", kOSC16MCTRL, 1, 0x82, Access::ReadWrite,
                              kOsc16mEnable | kOsc16mFselMask | kOsc16mRunStdby | kOsc16mOnDemand},
                             {"DFLLCTRL", kDFLLCTRL, 2, 0x0080, Access::ReadWrite, 0x0080},
                             {"DFLLVAL", kDFLLVAL, 4, 0, Access::ReadWrite, kNone},
                             {"DFLLMUL", kDFLLMUL, 4, 0, Access::ReadWrite, kNone},
                             {"DFLLSYNC", kDFLLSYNC, 1, 0, Access::ReadWrite, kNone},
                             {"DPLLCTRLA", kDPLLCTRLA, 1, 0x80, Access::ReadWrite, 0x80},
                             {"DPLLRATIO", kDPLLRATIO, 4, 0, Access::ReadWrite, kNone},
                             {"DPLLCTRLB", kDPLLCTRLB, 4, 0, Access::ReadWrite, kNone},
                             {"DPLLPRESC", kDPLLPRESC, 1, 0, Access::ReadWrite, kNone},
                             {"DPLLSYNCBUSY", kDPLLSYNCBUSY, 1, 0, Access::ReadOnly, kAll},
                             {"DPLLSTATUS", kDPLLSTATUS, 1, 0, Access::ReadOnly, kAll},
                         }) {}

std::uint32_t Oscctrl::osc16m_hz() const {
    const std::uint32_t ctrl = value(kOSC16MCTRL);
    if (!(ctrl & kOsc16mEnable)) return 0;
    return kOsc16mFrequencies[(ctrl & kOsc16mFselMask) >> kOsc16mFselPos];
}

std::uint32_t Oscctrl::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    if (reg.offset == kSTATUS) {
        // With the DFLL off its register interface is always ready, so
        // DFLLRDY reads 1 (unconfirmed: the DFLLRDY protocol of this part).
        std::uint32_t status = kStatusDfllRdy;
        if (osc16m_hz() != 0)
            status |= kStatusOsc16mRdy;  // unconfirmed: OSC16MRDY right after reset
        return status;
    }
    return stored;
}

void Oscctrl::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    RegisterPeripheral::on_write(reg, old_value, written);
    if (reg.offset == kOSC16MCTRL && old_value != written) board().clocks_changed();
}

}  // namespace vboard
