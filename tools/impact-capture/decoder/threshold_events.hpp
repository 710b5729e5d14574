// Finds the stretches where the acceleration magnitude exceeds a threshold.
#pragma once

#include <optional>

#include "sample.hpp"

namespace capture {

class ThresholdEvents {
  public:
    explicit ThresholdEvents(double threshold_g) : threshold_g_(threshold_g) {}

    // Returns the event that this sample ends, if any.
    std::optional<ThresholdEvent> add(const Sample& s);
    // Ends an open event at its last sample above the threshold (reset, end of capture).
    std::optional<ThresholdEvent> cut();

    double threshold_g() const { return threshold_g_; }

  private:
    double threshold_g_;
    bool open_ = false;
    ThresholdEvent event_;
    std::uint64_t last_above_ms_ = 0;
};

}  // namespace capture
