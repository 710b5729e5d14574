#include "tc.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../src/board.h"
#include "gclk.h"

namespace vboard {

namespace {

constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kCtrlaModelled =
    Tc::kSwrst | Tc::kEnable | Tc::kModeMask | Tc::kPrescalerMask;
// CTRLA fields that may change while the counter is enabled.
constexpr std::uint32_t kCtrlaUnprotected = Tc::kSwrst | Tc::kEnable;

std::vector<RegisterSpec> tc_registers() {
    return {
        {"CTRLA", Tc::kCTRLA, 4, 0, Access::ReadWrite, kCtrlaModelled},
        {"CTRLBCLR", Tc::kCTRLBCLR, 1, 0, Access::ReadWrite, Tc::kCmdMask},
        {"CTRLBSET", Tc::kCTRLBSET, 1, 0, Access::ReadWrite, Tc::kCmdMask},
        {"EVCTRL", Tc::kEVCTRL, 2, 0, Access::ReadWrite, 0},
        {"INTENCLR", Tc::kINTENCLR, 1, 0, Access::ReadWrite, Tc::kInterrupts},
        {"INTENSET", Tc::kINTENSET, 1, 0, Access::ReadWrite, Tc::kInterrupts},
        {"INTFLAG", Tc::kINTFLAG, 1, 0, Access::ReadWrite, Tc::kInterrupts},
        {"STATUS", Tc::kSTATUS, 1, Tc::kStop, Access::ReadWrite, Tc::kCcbufv0 | Tc::kCcbufv1},
        {"WAVE", Tc::kWAVE, 1, 0, Access::ReadWrite, Tc::kWavegenMask},
        {"DRVCTRL", Tc::kDRVCTRL, 1, 0, Access::ReadWrite, 0},
        {"DBGCTRL", Tc::kDBGCTRL, 1, 0, Access::ReadWrite, 0},
        {"SYNCBUSY", Tc::kSYNCBUSY, 4, 0, Access::ReadOnly, kAll},
        {"COUNT", Tc::kCOUNT, 2, 0, Access::ReadWrite, Tc::kMax16},
        {"CC0", Tc::kCC0, 2, 0, Access::ReadWrite, Tc::kMax16},
        {"CC1", Tc::kCC1, 2, 0, Access::ReadWrite, Tc::kMax16},
        {"CCBUF0", Tc::kCCBUF0, 2, 0, Access::ReadWrite, Tc::kMax16},
        {"CCBUF1", Tc::kCCBUF1, 2, 0, Access::ReadWrite, Tc::kMax16},
    };
}

constexpr std::uint32_t sync_mask(unsigned bit) {
    return 1u << bit;
}

}  // namespace

Tc::Tc(Board& board, const TcInstance& instance)
    : RegisterPeripheral(board, instance.name, instance.base, kSize, tc_registers()),
      instance_(instance) {
    busy_until_.fill(kNever);
}

void Tc::clear_to_reset_values() {
    RegisterPeripheral::reset();
    busy_until_.fill(kNever);
    pending_.fill(0);
    enabled_ = false;
    counting_ = false;
    origin_ = now();
    origin_count_ = 0;
    cc_.fill(0);
    ctrlb_ = 0;
    status_flags_ = 0;
}

void Tc::reset() {
    clear_to_reset_values();
    next_update_ = kNever;
    next_match_.fill(kNever);
    updates_ = 0;
    tick_ = tick();
    update_irq();
}

// ---------------------------------------------------------------- clocks

std::uint32_t Tc::counter_hz() const {
    const std::uint32_t hz = board().model<Gclk>().channel_hz(instance_.gclk_channel);
    return hz / kDividers[(value(kCTRLA) & kPrescalerMask) >> kPrescalerPos];
}

SimTime Tc::tick() const {
    const std::uint32_t hz = board().model<Gclk>().channel_hz(instance_.gclk_channel);
    if (hz == 0) return kNever;
    return period_of(hz) * kDividers[(value(kCTRLA) & kPrescalerMask) >> kPrescalerPos];
}

void Tc::clocks_changed() {
    const std::uint32_t hz = board().model<Gclk>().channel_hz(instance_.gclk_channel);
    // Synchronisation waiting for a clock that now runs completes from here.
    for (unsigned b = 0; b < kSyncBits; ++b) {
        if (busy_until_[b] == kNever && (pending_[b] & kSyncPending) && hz != 0)
            busy_until_[b] = now() + kSyncPeriods * period_of(hz);
    }
    const SimTime new_tick = tick();
    if (new_tick != tick_) {
        const std::uint32_t count = count_at(now());
        tick_ = new_tick;
        rebase(now(), count);
    }
    plan_counter_events();
}

// ---------------------------------------------------------------- synchronisation

bool Tc::start_sync(SyncBit bit, const RegisterSpec& reg) {
    if (pending_[bit] & kSyncPending) {
        note(Finding::Unsupported, reg.offset,
             name() + " " + reg.name + ": written while synchronising (dropped)");
        return false;
    }
    const std::uint32_t hz = board().model<Gclk>().channel_hz(instance_.gclk_channel);
    busy_until_[bit] = hz == 0 ? kNever : now() + kSyncPeriods * period_of(hz);
    pending_[bit] = kSyncPending;
    reschedule();
    return true;
}

void Tc::finish_sync(SyncBit bit) {
    const SimTime t = busy_until_[bit];
    const std::uint32_t v = pending_[bit] & ~kSyncPending;
    busy_until_[bit] = kNever;
    pending_[bit] = 0;
    switch (bit) {
        case kSyncEnable:
            enabled_ = v != 0;
            if (enabled_)
                start_counting(t);
            else
                stop_counting(t);
            break;
        case kSyncCtrlb:
            run_command(v, t);
            ctrlb_ &= ~kCmdMask;
            break;
        case kSyncStatus:
            status_flags_ &= ~v;
            break;
        case kSyncCount:
            rebase(t, v);
            break;
        case kSyncCc0:
        case kSyncCc1:
            cc_[bit - kSyncCc0] = v;
            break;
        default:
            break;  // SWRST: the registers were reset when it was written
    }
    plan_counter_events();
}

void Tc::run_command(std::uint32_t command, SimTime t) {
    switch (command) {
        case kCmdRetrigger:
            if (enabled_) {
                rebase(t, 0);
                counting_ = true;
            }
            break;
        case kCmdStop:
            stop_counting(t);
            break;
        case kCmdUpdate:
            for (unsigned x = 0; x < 2; ++x) {
                const std::uint32_t flag = x == 0 ? kCcbufv0 : kCcbufv1;
                if (status_flags_ & flag) {
                    cc_[x] = value(kCCBUF0 + 2 * x);
                    set_value(kCC0 + 2 * x, cc_[x]);
                    status_flags_ &= ~flag;
                }
            }
            break;
        case kCmdReadSync:
            set_value(kCOUNT, count_at(t));
            break;
        default:
            break;  // reported when written
    }
}

// ---------------------------------------------------------------- counter

bool Tc::top_is_cc0() const {
    const std::uint32_t wavegen = value(kWAVE) & kWavegenMask;
    return wavegen == kMfrq || wavegen == kMpwm;
}

std::uint32_t Tc::top() const {
    return top_is_cc0() ? cc_[0] : kMax16;
}

std::uint32_t Tc::count_at(SimTime t) const {
    if (!counting_ || tick_ == kNever || t <= origin_) return origin_count_;
    const std::uint64_t ticks = (t - origin_) / tick_;
    // A counter above TOP (CC0 lowered under it) runs on to 0xFFFF first.
    const std::uint32_t limit = origin_count_ <= top() ? top() : kMax16;
    const std::uint64_t to_wrap = std::uint64_t{limit} - origin_count_ + 1;
    if (ticks < to_wrap) return static_cast<std::uint32_t>(origin_count_ + ticks);
    return static_cast<std::uint32_t>((ticks - to_wrap) % (std::uint64_t{top()} + 1));
}

void Tc::rebase(SimTime t, std::uint32_t count) {
    origin_ = t;
    origin_count_ = count & kMax16;
}

void Tc::start_counting(SimTime t) {
    rebase(t, origin_count_);
    counting_ = true;
}

void Tc::stop_counting(SimTime t) {
    origin_count_ = count_at(t);
    origin_ = t;
    counting_ = false;
}

void Tc::plan_counter_events() {
    next_update_ = kNever;
    next_match_.fill(kNever);
    if (counting_ && tick_ != kNever) {
        const std::uint32_t limit = origin_count_ <= top() ? top() : kMax16;
        next_update_ = origin_ + (std::uint64_t{limit} - origin_count_ + 1) * tick_;
        for (unsigned x = 0; x < 2; ++x) {
            if (x == 0 && top_is_cc0()) continue;  // matches at the update
            if (cc_[x] > origin_count_ && cc_[x] <= limit)
                next_match_[x] = origin_ + std::uint64_t{cc_[x] - origin_count_} * tick_;
        }
    }
    reschedule();
}

void Tc::counter_event(SimTime t) {
    const std::uint32_t count = count_at(t);
    std::uint32_t flags = 0;
    if (t == next_update_) {
        ++updates_;
        flags |= kOvf;
        // Buffered compare values move in at the update.
        for (unsigned x = 0; x < 2; ++x) {
            const std::uint32_t flag = x == 0 ? kCcbufv0 : kCcbufv1;
            if (status_flags_ & flag) {
                cc_[x] = value(kCCBUF0 + 2 * x);
                set_value(kCC0 + 2 * x, cc_[x]);
                status_flags_ &= ~flag;
            }
        }
        if (top_is_cc0()) flags |= kMc0;
        for (unsigned x = 0; x < 2; ++x)
            if (!(x == 0 && top_is_cc0()) && cc_[x] == 0) flags |= x == 0 ? kMc0 : kMc1;
    }
    if (t == next_match_[0]) flags |= kMc0;
    if (t == next_match_[1]) flags |= kMc1;
    rebase(t, count);
    raise(flags);
    plan_counter_events();
}

SimTime Tc::next_event() const {
    SimTime next = std::min({next_update_, next_match_[0], next_match_[1]});
    for (SimTime t : busy_until_) next = std::min(next, t);
    return next;
}

void Tc::advance(SimTime now) {
    for (;;) {
        const SimTime t = next_event();
        if (t > now) return;
        // Synchronisation completing at t comes before counting at t.
        bool synced = false;
        for (unsigned b = 0; b < kSyncBits && !synced; ++b) {
            if (busy_until_[b] == t) {
                finish_sync(static_cast<SyncBit>(b));
                synced = true;
            }
        }
        if (!synced) counter_event(t);
    }
}

void Tc::raise(std::uint32_t flags) {
    if (flags == 0) return;
    set_value(kINTFLAG, value(kINTFLAG) | flags);
    update_irq();
}

void Tc::update_irq() {
    set_irq(instance_.irq_line, (value(kINTFLAG) & value(kINTENSET)) != 0);
}

// ---------------------------------------------------------------- registers

std::uint32_t Tc::on_read(const RegisterSpec& reg, std::uint32_t) {
    advance(now());  // whatever fell due inside the current block
    switch (reg.offset) {
        case kCTRLA:
            return value(kCTRLA) | ((pending_[kSyncSwrst] & kSyncPending) ? kSwrst : 0);
        case kCTRLBCLR:
        case kCTRLBSET:
            return ctrlb_;
        case kINTENCLR:
            return value(kINTENSET);
        case kSTATUS:
            return (counting_ ? 0 : kStop) | status_flags_;
        case kSYNCBUSY: {
            std::uint32_t busy = 0;
            for (unsigned b = 0; b < kSyncBits; ++b)
                if (pending_[b] & kSyncPending) busy |= sync_mask(b);
            return busy;
        }
        default:
            return value(reg.offset);
    }
}

void Tc::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    advance(now());
    if (reg.offset != kCTRLA && (pending_[kSyncSwrst] & kSyncPending)) {
        note(Finding::Unsupported, reg.offset,
             name() + " " + reg.name + ": written during a software reset (dropped)");
        return;
    }
    switch (reg.offset) {
        case kCTRLA:
            return write_ctrla(reg, old_value, written);
        case kCTRLBCLR:
            return write_ctrlb(reg, written, false);
        case kCTRLBSET:
            return write_ctrlb(reg, written, true);
        case kINTENSET:
            set_value(kINTENSET, value(kINTENSET) | written);
            return update_irq();
        case kINTENCLR:
            set_value(kINTENSET, value(kINTENSET) & ~written);
            return update_irq();
        case kINTFLAG:
            set_value(kINTFLAG, value(kINTFLAG) & ~written);
            return update_irq();  // write 1 to clear
        case kSTATUS:
            if (start_sync(kSyncStatus, reg))
                pending_[kSyncStatus] |= written & (kCcbufv0 | kCcbufv1);
            return;
        case kWAVE:
            RegisterPeripheral::on_write(reg, old_value, written);
            if ((written & kWavegenMask) == kNpwm || (written & kWavegenMask) == kMpwm)
                note(Finding::Unsupported, reg.offset,
                     name() + " WAVE: PWM outputs WO[x] not modelled (counting is)");
            plan_counter_events();
            return;
        case kCOUNT:
        case kCC0:
        case kCC1: {
            const SyncBit bit = reg.offset == kCOUNT ? kSyncCount
                                : reg.offset == kCC0 ? kSyncCc0
                                                     : kSyncCc1;
            if (!start_sync(bit, reg)) return;
            RegisterPeripheral::on_write(reg, old_value, written);
            pending_[bit] |= written & kMax16;
            return;
        }
        case kCCBUF0:
        case kCCBUF1:
            RegisterPeripheral::on_write(reg, old_value, written);
            status_flags_ |= reg.offset == kCCBUF0 ? kCcbufv0 : kCcbufv1;
            return;
        default:
            RegisterPeripheral::on_write(reg, old_value, written);
            return;
    }
}

void Tc::write_ctrla(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (pending_[kSyncSwrst] & kSyncPending) {
        note(Finding::Unsupported, reg.offset,
             name() + " CTRLA: written during a software reset (dropped)");
        return;
    }
    if (written & kSwrst) {
        software_reset();
        start_sync(kSyncSwrst, reg);
        return;
    }
    // Enable-protected fields keep their value while the counter is enabled
    // (unconfirmed on this part).
    if ((old_value & kEnable) && ((old_value ^ written) & ~kCtrlaUnprotected & kAll)) {
        note(Finding::Unsupported, reg.offset,
             name() + " CTRLA: enable-protected field written while enabled (ignored)");
        written = (old_value & ~kCtrlaUnprotected) | (written & kCtrlaUnprotected);
    }
    if ((written & kModeMask) != 0)
        note(Finding::Unsupported, reg.offset,
             name() + " CTRLA: only the 16-bit counter mode is modelled");
    if ((old_value ^ written) & kEnable) {
        if (!start_sync(kSyncEnable, reg)) return;
        pending_[kSyncEnable] |= (written & kEnable) ? 1 : 0;
    }
    set_value(kCTRLA, written & ~kSwrst);
    if (!counting_) tick_ = tick();  // the prescaler counts from the next start
}

void Tc::write_ctrlb(const RegisterSpec& reg, std::uint32_t written, bool set) {
    if (!set) {
        ctrlb_ &= ~(written & kCmdMask);
        return;
    }
    const std::uint32_t command = (written & kCmdMask) >> kCmdPos;
    if (command == kCmdNone) return;
    if (command > kCmdReadSync) {
        note(Finding::Unsupported, reg.offset,
             name() + " CTRLBSET: command " + std::to_string(command) + " not modelled");
        return;
    }
    if (!start_sync(kSyncCtrlb, reg)) return;
    pending_[kSyncCtrlb] |= command;
    ctrlb_ = (ctrlb_ & ~kCmdMask) | (command << kCmdPos);
}

void Tc::software_reset() {
    clear_to_reset_values();
    tick_ = tick();
    plan_counter_events();
    update_irq();
}

// ---------------------------------------------------------------- report

void Tc::add_to_report(nlohmann::json& report) const {
    report["timers"][name()] = {{"enabled", enabled_},
                                {"counting", counting_},
                                {"counter_hz", counter_hz()},
                                {"top", top()},
                                {"updates", updates_}};
}

}  // namespace vboard
