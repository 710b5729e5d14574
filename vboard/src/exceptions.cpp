#include "exceptions.h"

#include <algorithm>

namespace vboard {

using namespace exception;

void ExceptionController::reset() {
    pending_.fill(false);
    enabled_.fill(false);
    priority_.fill(0);
    active_.clear();
    // Lines stay at whatever the (freshly reset) peripherals drive.
    for (unsigned i = kFirstIrq; i < kCount; ++i)
        if (level_[i]) pending_[i] = true;
}

void ExceptionController::set_pending(unsigned exc) {
    if (exc < kCount) pending_[exc] = true;
}

void ExceptionController::clear_pending(unsigned exc) {
    if (exc >= kCount) return;
    pending_[exc] = false;
    // A line that is still asserted pends again at once.
    if (exc >= kFirstIrq && level_[exc] && !active(exc)) pending_[exc] = true;
}

void ExceptionController::set_line(unsigned irq, bool level) {
    const unsigned exc = kFirstIrq + irq;
    if (exc >= kCount) return;
    level_[exc] = level;
    if (level && !active(exc)) pending_[exc] = true;
}

void ExceptionController::set_enabled(unsigned irq, bool on) {
    if (kFirstIrq + irq < kCount) enabled_[kFirstIrq + irq] = on;
}

void ExceptionController::set_priority_byte(unsigned exc, std::uint8_t value) {
    if (exc < kCount) priority_[exc] = value & kImplementedPriorityBits;
}

int ExceptionController::priority(unsigned exc) const {
    switch (exc) {
        case 1:
            return -3;  // reset
        case kNmi:
            return -2;
        case kHardFault:
            return -1;
        default:
            return priority_[exc];
    }
}

bool ExceptionController::active(unsigned exc) const {
    return std::find(active_.begin(), active_.end(), exc) != active_.end();
}

int ExceptionController::execution_priority(bool primask) const {
    int level = kThreadPriority;
    for (unsigned exc : active_) level = std::min(level, priority(exc));
    if (primask) level = std::min(level, 0);
    return level;
}

bool ExceptionController::is_enabled(unsigned exc) const {
    return exc < kFirstIrq || enabled_[exc];
}

unsigned ExceptionController::highest_pending() const {
    unsigned best = 0;
    for (unsigned exc = kNmi; exc < kCount; ++exc) {
        if (!pending_[exc] || !is_enabled(exc)) continue;
        if (best == 0 || priority(exc) < priority(best)) best = exc;
    }
    return best;
}

unsigned ExceptionController::next_to_take(bool primask) const {
    const unsigned best = highest_pending();
    if (best == 0) return 0;
    // PRIMASK blocks everything of configurable priority; NMI and HardFault
    // are not masked by it.
    return priority(best) < execution_priority(primask) ? best : 0;
}

bool ExceptionController::anything_pending() const {
    return highest_pending() != 0;
}

void ExceptionController::activate(unsigned exc) {
    pending_[exc] = false;
    active_.push_back(exc);
}

bool ExceptionController::deactivate(unsigned exc) {
    if (active_.empty() || active_.back() != exc) return false;
    active_.pop_back();
    if (exc >= kFirstIrq && level_[exc]) pending_[exc] = true;
    return true;
}

}  // namespace vboard
