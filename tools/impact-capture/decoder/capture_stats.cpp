#include "capture_stats.hpp"

#include <cstdlib>

namespace capture {

namespace {
constexpr double kMsPerSecond = 1000.0;

void place(Peak& p, const Sample& s, double value) {
    p.valid = true;
    p.value = value;
    p.frame = s.index;
    p.session = s.session;
    p.device_time_ms = s.device_time_ms;
    p.timeline_ms = s.timeline_ms;
}
}  // namespace

void CaptureStats::add(const Sample& s, bool first_of_session) {
    if (frames_ == 0) first_host_s_ = s.host_time_s;
    last_host_s_ = s.host_time_s;
    ++frames_;
    ++histogram_[s.elapsed_ms];
    if (!first_of_session) {
        interval_ms_ += s.elapsed_ms;
        ++intervals_;
    }
    for (std::size_t a = 0; a < kAxisCount; ++a) {
        Peak& p = axis_peak_[a];
        if (!p.valid || std::abs(s.counts[a]) > std::abs(p.counts)) {
            place(p, s, counts_to_g(s.counts[a]));
            p.counts = s.counts[a];
        }
    }
    const double m = magnitude_g(s.counts);
    if (!magnitude_peak_.valid || m > magnitude_peak_.value) place(magnitude_peak_, s, m);
}

double CaptureStats::mean_rate_hz() const {
    if (interval_ms_ == 0) return 0.0;
    return static_cast<double>(intervals_) * kMsPerSecond / static_cast<double>(interval_ms_);
}

}  // namespace capture
