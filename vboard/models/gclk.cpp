#include "gclk.h"

#include <string>
#include <vector>

#include "../src/board.h"
#include "oscctrl.h"

namespace vboard {

namespace {

std::vector<RegisterSpec> gclk_registers() {
    static std::vector<std::string> names;  // keeps the generated names alive
    if (names.empty()) {
        for (unsigned n = 0; n < Gclk::kGenerators; ++n)
            names.push_back("GENCTRL" + std::to_string(n));
        for (unsigned m = 0; m < Gclk::kChannels; ++m)
            names.push_back("PCHCTRL" + std::to_string(m));
    }
    std::vector<RegisterSpec> regs = {
        {"CTRLA", Gclk::kCTRLA, 1, 0, Access::ReadWrite, Gclk::kSwrst},
        {"SYNCBUSY", Gclk::kSYNCBUSY, 4, 0, Access::ReadOnly, 0xFFFFFFFF},
    };
    constexpr std::uint32_t kGenModelled =
        Gclk::kGenSrcMask | Gclk::kGenEn | Gclk::kGenDivSel | 0xFFFF0000u;
    for (unsigned n = 0; n < Gclk::kGenerators; ++n)
        regs.push_back({names[n].c_str(), Gclk::kGENCTRL + 4 * n, 4,
                        n == 0 ? Gclk::kGenctrl0Reset : 0, Access::ReadWrite, kGenModelled});
    for (unsigned m = 0; m < Gclk::kChannels; ++m)
        regs.push_back({names[Gclk::kGenerators + m].c_str(), Gclk::kPCHCTRL + 4 * m, 4, 0,
                        Access::ReadWrite, Gclk::kChGenMask | Gclk::kChEn | Gclk::kChWrtLock});
    return regs;
}

}  // namespace

Gclk::Gclk(Board& board)
    : RegisterPeripheral(board, "GCLK", kBase, 0x80 + 4 * kChannels, gclk_registers()) {}

void Gclk::reset() {
    RegisterPeripheral::reset();
    swrst_until_ = 0;
    genctrl_busy_until_.fill(0);
}

std::uint32_t Gclk::source_hz(unsigned generator) const {
    switch (genctrl(generator) & kGenSrcMask) {
        case kSrcOsc16m:
            return board().model<Oscctrl>().osc16m_hz();
        case kSrcOscUlp32k:
        case kSrcOsc32k:
            return kSlowOscillatorHz;
        default:
            return 0;  // reported when written
    }
}

std::uint32_t Gclk::generator_hz(unsigned generator) const {
    if (generator >= kGenerators) return 0;
    const std::uint32_t ctrl = genctrl(generator);
    if (!(ctrl & kGenEn)) return 0;
    const std::uint32_t source = source_hz(generator);
    const std::uint32_t div = ctrl >> kGenDivPos;
    if (ctrl & kGenDivSel) return source >> std::min<std::uint32_t>(div + 1, 31);
    return div <= 1 ? source : source / div;
}

std::uint32_t Gclk::channel_hz(unsigned channel) const {
    if (channel >= kChannels) return 0;
    const std::uint32_t ctrl = pchctrl(channel);
    return (ctrl & kChEn) ? generator_hz(ctrl & kChGenMask) : 0;
}

SimTime Gclk::sync_time(unsigned generator) const {
    // Synchronisation runs on the generator's source clock; without a
    // running source it never completes.
    const std::uint32_t hz = source_hz(generator);
    return hz == 0 ? kNever : now() + kSyncPeriods * period_of(hz);
}

std::uint32_t Gclk::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    const bool resetting = now() < swrst_until_;
    if (reg.offset == kCTRLA) return resetting ? kSwrst : 0;
    if (reg.offset == kSYNCBUSY) {
        std::uint32_t busy = resetting ? kSwrst : 0;
        for (unsigned n = 0; n < kGenerators; ++n)
            if (now() < genctrl_busy_until_[n]) busy |= 1u << (2 + n);
        return busy;
    }
    return stored;
}

void Gclk::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kCTRLA) {
        if (written & kSwrst) {
            // Every register returns to its reset value; the reset is
            // visible in CTRLA and SYNCBUSY until it has crossed into the
            // generator 0 domain.
            RegisterPeripheral::reset();
            genctrl_busy_until_.fill(0);
            swrst_until_ = sync_time(0);
            board().clocks_changed();
        }
        return;
    }
    if (reg.offset >= kGENCTRL && reg.offset < kGENCTRL + 4 * kGenerators) {
        const unsigned n = (reg.offset - kGENCTRL) / 4;
        if (now() < genctrl_busy_until_[n]) {
            note(Finding::Unsupported, reg.offset,
                 std::string("GCLK ") + reg.name + ": written while synchronising (dropped)");
            return;
        }
        const std::uint32_t src = written & kGenSrcMask;
        if ((written & kGenEn) && src != kSrcOsc16m && src != kSrcOscUlp32k && src != kSrcOsc32k)
            note(Finding::Unsupported, reg.offset,
                 std::string("GCLK ") + reg.name + ": source " + std::to_string(src) +
                     " not modelled");
        RegisterPeripheral::on_write(reg, old_value, written);
        genctrl_busy_until_[n] = sync_time(n);
        board().clocks_changed();
        return;
    }
    if (reg.offset >= kPCHCTRL) {
        if (old_value & kChWrtLock) return;  // locked until the next reset
        RegisterPeripheral::on_write(reg, old_value, written);
        if (old_value != written) board().clocks_changed();
    }
}

}  // namespace vboard
