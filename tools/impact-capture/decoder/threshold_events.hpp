// Finds the stretches where the acceleration magnitude exceeds a threshold.
// An impact rings: its magnitude dips below the threshold between swings.
// Dips shorter than the merge gap keep the event open, so one impact is one
// event; a gap of 0 ends an event at the first sample below the threshold.
#pragma once

#include <cstdint>
#include <optional>

#include "sample.hpp"

namespace capture {

class ThresholdEvents {
  public:
    explicit ThresholdEvents(double threshold_g, std::uint64_t merge_gap_ms = 0)
        : threshold_g_(threshold_g), merge_gap_ms_(merge_gap_ms) {}

    // Returns the event that this sample ends, if any.
    std::optional<ThresholdEvent> add(const Sample& s);
    // Ends an open event at its last sample above the threshold (reset, end of capture).
    std::optional<ThresholdEvent> cut();

    double threshold_g() const { return threshold_g_; }

  private:
    double threshold_g_;
    std::uint64_t merge_gap_ms_;
    bool open_ = false;
    std::optional<std::uint64_t> below_since_ms_;  // first sample below the threshold in a dip
    ThresholdEvent event_;
    std::uint64_t last_above_ms_ = 0;
};

}  // namespace capture
