// A demonstration: the board at rest as in StillSource, and every
// kCycle a few impacts, each a damped oscillation of several g along one
// direction, so that the sample stream has something to show.
#pragma once

#include "accel_noise.h"
#include "accel_source.h"

namespace vboard {

class DemoSource : public AccelSource {
  public:
    static constexpr SimTime kCycle = 8 * kSecond;
    struct Impact {
        SimTime offset;       // into the cycle
        double peak_g;        // amplitude of the oscillation's envelope
        double dx, dy, dz;    // direction (unit vector)
        double frequency_hz;  // of the ringing
        double decay_s;       // time constant of the envelope
    };
    static constexpr unsigned kImpacts = 3;
    static const Impact kSchedule[kImpacts];
    // An impact rings for this many time constants, then is taken as over.
    static constexpr double kRingingDecays = 8.0;

    DemoSource();
    Acceleration at(SimTime t) const override;
    std::string describe() const override { return "demo"; }

  private:
    AccelNoise noise_;
};

}  // namespace vboard
