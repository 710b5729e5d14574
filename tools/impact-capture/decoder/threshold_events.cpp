#include "threshold_events.hpp"

namespace capture {

std::optional<ThresholdEvent> ThresholdEvents::add(const Sample& s) {
    const double m = magnitude_g(s.counts);
    if (m > threshold_g_) {
        if (!open_) {
            open_ = true;
            event_ = ThresholdEvent{};
            event_.first_frame = s.index;
            event_.session = s.session;
            event_.start_device_time_ms = s.device_time_ms;
            event_.start_timeline_ms = s.timeline_ms;
        }
        ++event_.frames;
        last_above_ms_ = s.device_time_ms;
        below_since_ms_.reset();
        if (event_.frames == 1 || m > event_.peak_g) {
            event_.peak_g = m;
            event_.peak_frame = s.index;
            event_.peak_device_time_ms = s.device_time_ms;
            event_.peak_timeline_ms = s.timeline_ms;
        }
        return std::nullopt;
    }
    if (!open_) return std::nullopt;
    if (!below_since_ms_) below_since_ms_ = s.device_time_ms;
    if (s.device_time_ms - last_above_ms_ < merge_gap_ms_) return std::nullopt;  // still ringing
    open_ = false;
    event_.duration_ms = *below_since_ms_ - event_.start_device_time_ms;
    below_since_ms_.reset();
    return event_;
}

std::optional<ThresholdEvent> ThresholdEvents::cut() {
    if (!open_) return std::nullopt;
    open_ = false;
    event_.duration_ms = below_since_ms_.value_or(last_above_ms_) - event_.start_device_time_ms;
    below_since_ms_.reset();
    return event_;
}

}  // namespace capture
