#include "port.h"

#include <string>

#include "../src/board.h"

namespace vboard {

namespace {

constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint8_t kPincfgModelled =
    Port::kPmuxen | Port::kInen | Port::kPullen | Port::kDrvstr;

std::vector<RegisterSpec> port_registers() {
    static std::vector<std::string> names;
    if (names.empty()) {
        for (unsigned k = 0; k < 16; ++k) names.push_back("PMUX" + std::to_string(k));
        for (unsigned n = 0; n < Port::kPins; ++n) names.push_back("PINCFG" + std::to_string(n));
    }
    std::vector<RegisterSpec> regs = {
        {"DIR", Port::kDIR, 4, 0, Access::ReadWrite, kAll},
        {"DIRCLR", Port::kDIRCLR, 4, 0, Access::ReadWrite, kAll},
        {"DIRSET", Port::kDIRSET, 4, 0, Access::ReadWrite, kAll},
        {"DIRTGL", Port::kDIRTGL, 4, 0, Access::ReadWrite, kAll},
        {"OUT", Port::kOUT, 4, 0, Access::ReadWrite, kAll},
        {"OUTCLR", Port::kOUTCLR, 4, 0, Access::ReadWrite, kAll},
        {"OUTSET", Port::kOUTSET, 4, 0, Access::ReadWrite, kAll},
        {"OUTTGL", Port::kOUTTGL, 4, 0, Access::ReadWrite, kAll},
        {"IN", Port::kIN, 4, 0, Access::ReadOnly, kAll},
        {"CTRL", Port::kCTRL, 4, 0, Access::ReadWrite, 0},
        {"WRCONFIG", Port::kWRCONFIG, 4, 0, Access::WriteOnly, kAll},
        {"EVCTRL", Port::kEVCTRL, 4, 0, Access::ReadWrite, 0},
    };
    for (unsigned k = 0; k < 16; ++k)
        regs.push_back({names[k].c_str(), Port::kPMUX + k, 1, 0, Access::ReadWrite, 0xFF});
    for (unsigned n = 0; n < Port::kPins; ++n)
        regs.push_back(
            {names[16 + n].c_str(), Port::kPINCFG + n, 1, 0, Access::ReadWrite, kPincfgModelled});
    return regs;
}

}  // namespace

Port::Port(Board& board) : RegisterPeripheral(board, "PORT", kBase, kGroupSize, port_registers()) {
    board.bus().attach_alias(*this, kIoBusAlias);
}

void Port::reset() {
    RegisterPeripheral::reset();
    changes_.clear();
    writes_ = 0;
}

PinView Port::pin(unsigned n) const {
    const std::uint32_t bit = 1u << n;
    const std::uint8_t cfg = pincfg(n);
    PinView v{};
    v.output = dir() & bit;
    v.out = out() & bit;
    v.input_enabled = cfg & kInen;
    v.pull = (!v.output && (cfg & kPullen)) ? (v.out ? Pull::Up : Pull::Down) : Pull::None;
    v.strong_drive = cfg & kDrvstr;
    v.muxed = cfg & kPmuxen;
    v.function = (pmux(n / 2) >> (4 * (n & 1))) & 0xF;
    if (v.output)
        v.level = v.out;
    else if (v.pull != Pull::None)
        v.level = v.pull == Pull::Up;
    else
        v.level = external_ & bit;
    return v;
}

void Port::set_external_level(unsigned n, bool level) {
    if (level)
        external_ |= 1u << n;
    else
        external_ &= ~(1u << n);
}

std::uint32_t Port::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    switch (reg.offset) {
        // The set, clear and toggle registers read back the register they act on
        // (unconfirmed).
        case kDIRCLR:
        case kDIRSET:
        case kDIRTGL:
            return dir();
        case kOUTCLR:
        case kOUTSET:
        case kOUTTGL:
            return out();
        case kIN: {
            // A pin is sampled only while its input buffer is on (unconfirmed).
            std::uint32_t in = 0;
            for (unsigned n = 0; n < kPins; ++n)
                if ((pincfg(n) & kInen) && pin(n).level) in |= 1u << n;
            return in;
        }
        default:
            return stored;
    }
}

void Port::record_changes(std::uint32_t old_dir, std::uint32_t old_out) {
    const std::uint32_t changed = (old_dir ^ dir()) | ((old_out ^ out()) & dir());
    for (unsigned n = 0; n < kPins; ++n) {
        if (!(changed & (1u << n))) continue;
        const PinView v = pin(n);
        changes_.push_back({now(), n, v.output, v.level});
    }
}

void Port::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    ++writes_;
    const std::uint32_t old_dir = dir(), old_out = out();
    switch (reg.offset) {
        case kDIRCLR:
            set_value(kDIR, old_dir & ~written);
            break;
        case kDIRSET:
            set_value(kDIR, old_dir | written);
            break;
        case kDIRTGL:
            set_value(kDIR, old_dir ^ written);
            break;
        case kOUTCLR:
            set_value(kOUT, old_out & ~written);
            break;
        case kOUTSET:
            set_value(kOUT, old_out | written);
            break;
        case kOUTTGL:
            set_value(kOUT, old_out ^ written);
            break;
        case kWRCONFIG: {
            const unsigned first = (written & kWrHwsel) ? 16 : 0;
            for (unsigned i = 0; i < 16; ++i) {
                if (!(written & (1u << i))) continue;
                const unsigned n = first + i;
                if (written & kWrPincfg) {
                    std::uint8_t cfg = 0;
                    if (written & kWrPmuxen) cfg |= kPmuxen;
                    if (written & kWrInen) cfg |= kInen;
                    if (written & kWrPullen) cfg |= kPullen;
                    if (written & kWrDrvstr) cfg |= kDrvstr;
                    set_value(kPINCFG + n, cfg);
                }
                if (written & kWrPmux) {
                    const std::uint32_t nibble = (written >> kWrPmuxPos) & 0xF;
                    const unsigned shift = 4 * (n & 1);
                    set_value(kPMUX + n / 2, (pmux(n / 2) & ~(0xFu << shift)) | (nibble << shift));
                }
            }
            break;
        }
        default:
            RegisterPeripheral::on_write(reg, old_value, written);
    }
    record_changes(old_dir, old_out);
}

}  // namespace vboard
