// Keeps simulated time from running ahead of wall time: pace(now) sleeps
// until the wall clock has caught up with the simulated time since the first
// call. When the board falls behind (a slow host, a stopped process), it
// does not race to catch up: the reference moves.
#pragma once

#include <chrono>

#include "sim_time.h"

namespace vboard {

class WallClockPacer {
  public:
    // Behind by more than this, the reference is moved up to now.
    static constexpr SimTime kMaxLag = 100 * kMillisecond;

    void pace(SimTime now);

  private:
    using Clock = std::chrono::steady_clock;
    bool anchored_ = false;
    Clock::time_point wall_origin_;
    SimTime sim_origin_ = 0;
};

}  // namespace vboard
