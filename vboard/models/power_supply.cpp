#include "power_supply.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "../src/board.h"
#include "../src/fault_spec.h"

namespace vboard {

namespace {
constexpr const char* kPowerCut = "power-cut";
}

// No address window: the supply has no registers.
PowerSupply::PowerSupply(Board& board) : Peripheral(board, "SUPPLY", 0, 0) {}

bool PowerSupply::arm_fault(const FaultSpec& fault) {
    if (fault.kind != kPowerCut) return false;
    if (!fault.start || fault.end || !fault.argument.empty())
        throw std::invalid_argument("fault '" + fault.text +
                                    "': write power-cut@T, T a time or an instruction count");
    cut_at(*fault.start);
    return true;
}

void PowerSupply::cut_at(TimePoint point) {
    cut_ = point;
    checked_at_ = board().instructions();
    idle_step_ = 0;
    schedule();
}

void PowerSupply::clocks_changed() {
    if (cut_) schedule();
}

// A cut at a time is an event at that time. A cut at an instruction count is
// checked no later than it can be reached: every instruction takes at least
// one processor cycle, so the remaining count of cycles at the current clock
// is a lower bound of the time left (the bound is recomputed when the clock
// changes). While the processor sleeps the count stands still, and the step
// doubles from one check to the next.
void PowerSupply::schedule() {
    if (!cut_) {
        next_check_ = kNever;
    } else if (cut_->kind == TimePoint::Kind::Time) {
        next_check_ = cut_->value;
    } else {
        const std::uint64_t done = board().instructions();
        const std::uint64_t remaining = cut_->value > done ? cut_->value - done : 0;
        const SimTime cycle = period_of(std::max<std::uint32_t>(1, board().cpu_hz()));
        next_check_ = board().now() + std::max<SimTime>(remaining * cycle, idle_step_);
    }
    reschedule();
}

void PowerSupply::advance(SimTime now) {
    if (!cut_ || now < next_check_) return;
    if (cut_->kind == TimePoint::Kind::Instructions && board().instructions() < cut_->value) {
        const SimTime cycle = period_of(std::max<std::uint32_t>(1, board().cpu_hz()));
        idle_step_ =
            board().instructions() == checked_at_ ? std::max<SimTime>(cycle, 2 * idle_step_) : 0;
        checked_at_ = board().instructions();
        return schedule();
    }
    cut_.reset();
    last_cut_ = now;
    next_check_ = kNever;
    reschedule();
    char text[96];
    std::snprintf(text, sizeof text, "power cut at %.6f s, %llu instructions", to_seconds(now),
                  static_cast<unsigned long long>(board().instructions()));
    board().power_cut();
    board().request_stop(StopReason::PowerCut, text);
}

void PowerSupply::add_to_report(nlohmann::json& report) const {
    if (last_cut_) report["power_cut_s"] = to_seconds(*last_cut_);
}

}  // namespace vboard
