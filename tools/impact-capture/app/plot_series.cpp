#include "plot_series.hpp"

namespace capture {

void PlotSeries::add(const Sample& s) {
    const PlotPoint p{s.timeline_ms, s.counts, magnitude_g(s.counts)};
    // The sample with the largest magnitude stands for its group, so peaks stay visible.
    if (in_group_ == 0 || p.magnitude_g > group_best_.magnitude_g) group_best_ = p;
    if (++in_group_ < stride_) return;
    in_group_ = 0;
    points_.push_back(group_best_);
    if (points_.size() < max_points_) return;
    std::size_t kept = 0;
    for (std::size_t k = 0; k + 1 < points_.size(); k += 2) {
        const PlotPoint& a = points_[k];
        const PlotPoint& b = points_[k + 1];
        points_[kept++] = a.magnitude_g >= b.magnitude_g ? a : b;
    }
    points_.resize(kept);
    stride_ *= 2;
}

void PlotSeries::finish() {
    if (in_group_ == 0) return;
    points_.push_back(group_best_);
    in_group_ = 0;
}

}  // namespace capture
