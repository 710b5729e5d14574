// The samples kept for the plot: all of them up to a limit, then the strongest of each group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sample.hpp"

namespace capture {

// About 30 minutes of frames at 549.9 per second.
constexpr std::size_t kPlotMaxPoints = 1 << 20;

struct PlotPoint {
    std::uint64_t timeline_ms;
    AxisCounts counts;
    double magnitude_g;
};

class PlotSeries {
  public:
    explicit PlotSeries(std::size_t max_points = kPlotMaxPoints) : max_points_(max_points) {}
    void add(const Sample& s);
    // Ends the group in progress.
    void finish();
    const std::vector<PlotPoint>& points() const { return points_; }

  private:
    std::size_t max_points_;
    std::size_t stride_ = 1;  // samples per point
    std::size_t in_group_ = 0;
    PlotPoint group_best_{};
    std::vector<PlotPoint> points_;
};

}  // namespace capture
