#include "fault_window.h"

namespace vboard {

FaultWindow::FaultWindow(const FaultSpec& spec) : spec_(spec) {
    if (spec.start) {
        if (spec.start->kind == TimePoint::Kind::Time) {
            start_ = spec.start->value;
        } else {
            start_ = kNever;
            start_instructions_ = spec.start->value;
            start_pending_ = true;
        }
    }
    if (spec.end) {
        if (spec.end->kind == TimePoint::Kind::Time) {
            end_ = spec.end->value;
        } else {
            end_instructions_ = spec.end->value;
            end_pending_ = true;
        }
    }
}

bool FaultWindow::observe(SimTime now, std::uint64_t instructions) {
    bool changed = false;
    if (start_pending_ && instructions >= start_instructions_) {
        start_ = now;
        start_pending_ = false;
        changed = true;
    }
    if (end_pending_ && instructions >= end_instructions_) {
        end_ = now;
        end_pending_ = false;
        changed = true;
    }
    return changed;
}

}  // namespace vboard
