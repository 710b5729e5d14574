#include "mclk.h"

#include "../src/board.h"

namespace vboard {

namespace {
constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kCkRdy = 1u << 0;
constexpr std::uint32_t kOneHotDivider = 0xFF;
}  // namespace

Mclk::Mclk(Board& board)
    : RegisterPeripheral(board, "MCLK", kBase, 0x28,
                         {
                             {"CTRLA", kCTRLA, 1, 0, Access::ReadWrite, 0},
                             {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
                             {"INTFLAG", kINTFLAG, 1, kCkRdy, Access::ReadWrite, kCkRdy},
                             {"CPUDIV", kCPUDIV, 1, 0x01, Access::ReadWrite, kOneHotDivider},
                             {"LPDIV", kLPDIV, 1, 0x01, Access::ReadWrite, 0x01},
                             {"BUPDIV", kBUPDIV, 1, 0x01, Access::ReadWrite, 0x01},
                             {"AHBMASK", kAHBMASK, 4, 0x000FFFFF, Access::ReadWrite, kAll},
                             {"APBAMASK", kAPBAMASK, 4, 0x00001FFF, Access::ReadWrite, kAll},
                             {"APBBMASK", kAPBBMASK, 4, 0x00000017, Access::ReadWrite, kAll},
                             {"APBCMASK", kAPBCMASK, 4, 0x00007FFF, Access::ReadWrite, kAll},
                             {"APBDMASK", kAPBDMASK, 4, 0x000000FF, Access::ReadWrite, kAll},
                             {"APBEMASK", kAPBEMASK, 4, 0x0000000D, Access::ReadWrite, kAll},
                         }) {}

std::uint32_t Mclk::cpu_divider() const {
    const std::uint32_t v = value(kCPUDIV);
    for (unsigned bit = 0; bit < 8; ++bit)
        if (v == (1u << bit)) return 1u << bit;
    return 1;  // not one-hot: reported on write
}

void Mclk::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kINTFLAG)
        return set_value(reg.offset, old_value & ~written);  // write 1 to clear
    RegisterPeripheral::on_write(reg, old_value, written);
    if (reg.offset == kCPUDIV) {
        if (__builtin_popcount(written) != 1)
            note(Finding::Unsupported, reg.offset, "MCLK CPUDIV: value is not a power of two");
        board().clocks_changed();
    }
    if (reg.offset >= kAHBMASK && (old_value & ~written) != 0)
        note(Finding::Unsupported, reg.offset,
             std::string("MCLK ") + reg.name + ": turning a bus clock off is not modelled");
}

}  // namespace vboard
