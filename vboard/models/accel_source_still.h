// The board lying flat and still: gravity on +Z and the sensor's noise.
#pragma once

#include "accel_noise.h"
#include "accel_source.h"

namespace vboard {

class StillSource : public AccelSource {
  public:
    static constexpr double kNoiseSigmaG = 0.004;  // about one count at 3.9 mg per count
    static constexpr std::uint64_t kSeed = 0x5EED0345;

    StillSource() : noise_(kNoiseSigmaG, kSeed) {}
    Acceleration at(SimTime t) const override;
    std::string describe() const override { return "still"; }

  private:
    AccelNoise noise_;
};

}  // namespace vboard
