#include "wdt.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "../src/board.h"

namespace vboard {

namespace {

constexpr std::uint32_t kAll = 0xFFFFFFFF;

}  // namespace

Wdt::Wdt(Board& board)
    : RegisterPeripheral(
          board, "WDT", kBase, 0x0D,
          {
              {"CTRLA", kCTRLA, 1, 0, Access::ReadWrite, kEnable | kWen | kAlwaysOn},
              {"CONFIG", kCONFIG, 1, kConfigReset, Access::ReadWrite, kPerMask | kWindowMask},
              {"EWCTRL", kEWCTRL, 1, kEwctrlReset, Access::ReadWrite, kEwoffsetMask},
              {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, kEw},
              {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, kEw},
              {"INTFLAG", kINTFLAG, 1, 0, Access::ReadWrite, kEw},
              {"SYNCBUSY", kSYNCBUSY, 4, 0, Access::ReadOnly, kAll},
              {"CLEAR", kCLEAR, 1, 0, Access::WriteOnly, 0xFF},
          }) {
    busy_until_.fill(kNever);
}

void Wdt::reset() {
    // ALWAYSON written by the firmware lasts until a power-on reset; the
    // period it locked lasts with it.
    const bool locked_before = always_on_ && !board().resets().empty() &&
                               board().resets().back().cause != ResetCause::PowerOn;
    const std::uint32_t config = value(kCONFIG), ewctrl = value(kEWCTRL);
    RegisterPeripheral::reset();
    busy_until_.fill(kNever);
    pending_.fill(0);
    running_ = false;
    always_on_ = false;
    wen_ = false;
    stop();
    if (locked_before) {
        set_value(kCONFIG, config);
        set_value(kEWCTRL, ewctrl);
    }
    if (locked_before || board().options().wdt_alwayson) {
        // The fuses enable the WDT and lock it on from the reset.
        set_value(kCTRLA, kEnable | kAlwaysOn);
        always_on_ = true;
        running_ = true;
        start_period((now() + kClockPeriod - 1) / kClockPeriod * kClockPeriod);
    }
    update_irq();
}

// ---------------------------------------------------------------- timing

SimTime Wdt::sync_edge() const {
    return (now() / kClockPeriod + kSyncEdges) * kClockPeriod;
}

void Wdt::start_period(SimTime edge) {
    period_start_ = edge;
    const std::uint32_t config = value(kCONFIG);
    window_open_at_ =
        wen_ ? edge + cycles_of((config & kWindowMask) >> kWindowPos) * kClockPeriod : edge;
    timeout_at_ = window_open_at_ + cycles_of(config & kPerMask) * kClockPeriod;
    early_warning_at_ = kNever;
    if (!wen_) {
        const SimTime ew = edge + cycles_of(value(kEWCTRL) & kEwoffsetMask) * kClockPeriod;
        if (ew <= timeout_at_) early_warning_at_ = ew;
    }
    reschedule();
}

void Wdt::stop() {
    running_ = false;
    period_start_ = kNever;
    window_open_at_ = kNever;
    early_warning_at_ = kNever;
    timeout_at_ = kNever;
    reschedule();
}

void Wdt::watchdog_reset(const std::string& why) {
    // Nothing of the WDT outlives the reset it requests.
    last_reset_reason_ = why;
    stop();
    busy_until_.fill(kNever);
    board().request_reset(ResetCause::Watchdog);
}

SimTime Wdt::next_event() const {
    SimTime next = std::min(timeout_at_, early_warning_at_);
    for (SimTime t : busy_until_) next = std::min(next, t);
    return next;
}

void Wdt::advance(SimTime now) {
    for (;;) {
        const SimTime t = next_event();
        if (t > now) return;
        // A write crossing at an edge takes effect before that edge counts.
        bool synced = false;
        for (unsigned b = 0; b < kSyncBits && !synced; ++b) {
            if (busy_until_[b] == t) {
                finish_sync(static_cast<SyncBit>(b));
                synced = true;
            }
        }
        if (synced) continue;
        if (timeout_at_ == t) {
            ++timeouts_;
            watchdog_reset("time-out");
            continue;
        }
        early_warning_at_ = kNever;
        set_value(kINTFLAG, value(kINTFLAG) | kEw);
        update_irq();
    }
}

// ---------------------------------------------------------------- synchronisation

bool Wdt::start_sync(SyncBit bit, const RegisterSpec& reg, std::uint32_t v) {
    if (busy_until_[bit] != kNever) {
        note(Finding::Unsupported, reg.offset,
             std::string("WDT ") + reg.name + ": written while synchronising (dropped)");
        return false;
    }
    busy_until_[bit] = sync_edge();
    pending_[bit] = v;
    reschedule();
    return true;
}

void Wdt::finish_sync(SyncBit bit) {
    const SimTime edge = busy_until_[bit];
    const std::uint32_t v = pending_[bit];
    busy_until_[bit] = kNever;
    pending_[bit] = 0;
    switch (bit) {
        case kSyncEnable:
            if (always_on_) break;
            if (v != 0 && !running_) {
                running_ = true;
                start_period(edge);
            } else if (v == 0 && running_) {
                stop();
            }
            break;
        case kSyncWen:
            wen_ = v != 0;
            break;  // used from the next period on
        case kSyncAlwaysOn:
            always_on_ = true;
            set_value(kCTRLA, value(kCTRLA) | kEnable);
            if (!running_) {
                running_ = true;
                start_period(edge);
            }
            break;
        case kSyncClear:
            if (running_) {
                ++accepted_clears_;
                start_period(edge);
            }
            break;
        default:
            break;
    }
    reschedule();
}

// ---------------------------------------------------------------- registers

std::uint32_t Wdt::on_read(const RegisterSpec& reg, std::uint32_t) {
    advance(now());  // whatever fell due inside the current block
    switch (reg.offset) {
        case kINTENCLR:
            return value(kINTENSET);
        case kSYNCBUSY: {
            std::uint32_t busy = 0;
            for (unsigned b = 0; b < kSyncBits; ++b)
                if (busy_until_[b] != kNever) busy |= 1u << b;
            return busy;
        }
        default:
            return value(reg.offset);
    }
}

void Wdt::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    advance(now());
    switch (reg.offset) {
        case kCTRLA:
            return write_ctrla(reg, old_value, written);
        case kCONFIG:
        case kEWCTRL: {
            // Enable-protected, and locked by ALWAYSON (D21 text, unconfirmed
            // on this part).
            if (always_on_ || running_ || (value(kCTRLA) & kEnable)) {
                note(Finding::ReadOnlyWrite, reg.offset,
                     std::string("WDT ") + reg.name +
                         ": written while the WDT is enabled (ignored)");
                return;
            }
            const bool reserved = reg.offset == kCONFIG ? ((written & kPerMask) > kLargestCode ||
                                                           (written >> kWindowPos) > kLargestCode)
                                                        : (written & kEwoffsetMask) > kLargestCode;
            if (reserved)
                note(Finding::Unsupported, reg.offset,
                     std::string("WDT ") + reg.name + ": reserved period code in " +
                         std::to_string(written));
            RegisterPeripheral::on_write(reg, old_value, written);
            return;
        }
        case kINTENSET:
            set_value(kINTENSET, value(kINTENSET) | written);
            if (wen_ && (written & kEw))
                note(Finding::Unsupported, reg.offset,
                     "WDT INTENSET: early warning in window mode not modelled");
            return update_irq();
        case kINTENCLR:
            set_value(kINTENSET, value(kINTENSET) & ~written);
            return update_irq();
        case kINTFLAG:
            set_value(kINTFLAG, value(kINTFLAG) & ~written);
            return update_irq();  // write 1 to clear
        case kCLEAR:
            return write_clear(reg, written);
        default:
            return;
    }
}

void Wdt::write_ctrla(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (always_on_) {
        note(Finding::ReadOnlyWrite, reg.offset, "WDT CTRLA: locked by ALWAYSON (write ignored)");
        return;
    }
    std::uint32_t stored = written;
    const std::uint32_t changed = old_value ^ written;
    for (const auto& [bit, sync] : {std::pair{kEnable, kSyncEnable}, std::pair{kWen, kSyncWen}}) {
        if (!(changed & bit)) continue;
        if (!start_sync(sync, reg, (written & bit) ? 1 : 0))
            stored = (stored & ~bit) | (old_value & bit);
    }
    if ((written & kAlwaysOn) && !(old_value & kAlwaysOn)) {
        if (!start_sync(kSyncAlwaysOn, reg, 1)) stored &= ~kAlwaysOn;
    }
    stored |= old_value & kAlwaysOn;  // a zero written to ALWAYSON does nothing
    set_value(kCTRLA, stored);
}

void Wdt::write_clear(const RegisterSpec& reg, std::uint32_t written) {
    if (busy_until_[kSyncClear] != kNever) {
        note(Finding::Unsupported, reg.offset, "WDT CLEAR: written while synchronising (dropped)");
        return;
    }
    // A WDT that does not count ignores the value (assumed: the key is
    // checked by the counting logic).
    if (running_ && (written & 0xFF) != kClearKey) {
        ++wrong_keys_;
        return watchdog_reset("CLEAR written with a key other than 0xA5");
    }
    if (running_ && now() < window_open_at_) {
        ++early_clears_;
        return watchdog_reset("CLEAR written in the closed window");
    }
    if (start_sync(kSyncClear, reg, written & 0xFF) && running_) last_clear_written_ = now();
}

void Wdt::update_irq() {
    set_irq(kIrqLine, (value(kINTFLAG) & value(kINTENSET)) != 0);
}

// ---------------------------------------------------------------- report

void Wdt::add_to_report(nlohmann::json& report) const {
    report["watchdog"] = {{"running", running_},
                          {"always_on", always_on_},
                          {"period_cycles", cycles_of(value(kCONFIG) & kPerMask)},
                          {"clock_hz", kClockHz},
                          {"accepted_clears", accepted_clears_},
                          {"timeouts", timeouts_},
                          {"wrong_keys", wrong_keys_},
                          {"closed_window_clears", early_clears_},
                          {"last_reset", last_reset_reason_}};
}

}  // namespace vboard
