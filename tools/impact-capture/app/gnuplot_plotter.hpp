// Draws the capture with gnuplot: X, Y, Z and the magnitude against device time, resets and
// threshold events marked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot_series.hpp"
#include "sample.hpp"

namespace capture {

struct PlotRequest {
    std::string output;  // .png or .svg
    std::string title;
    const PlotSeries* series = nullptr;
    const std::vector<ResetEvent>* resets = nullptr;
    const std::vector<ThresholdEvent>* events = nullptr;
    std::optional<double> threshold_g;
};

// Throws CaptureError when gnuplot is missing or fails.
void draw_plot(const PlotRequest& request);

// The gnuplot script for `data_file` (exposed for tests).
std::string plot_script(const PlotRequest& request, const std::string& data_file);

}  // namespace capture
