// Sensor noise that is a pure function of the sample time: the same run
// gives the same noise whatever order or rate the samples are read at.
#pragma once

#include <cstdint>

#include "../src/sim_time.h"

namespace vboard {

class AccelNoise {
  public:
    // Standard deviation in g, and a seed that separates the three axes.
    AccelNoise(double sigma_g, std::uint64_t seed) : sigma_g_(sigma_g), seed_(seed) {}
    // Noise of one axis (0, 1, 2) at time t, in g.
    double at(SimTime t, unsigned axis) const;

  private:
    double sigma_g_;
    std::uint64_t seed_;
};

}  // namespace vboard
