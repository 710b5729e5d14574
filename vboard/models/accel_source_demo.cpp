#include "accel_source_demo.h"

#include <cmath>

#include "accel_source_still.h"

namespace vboard {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kInvSqrt2 = 0.70710678118654752;
}  // namespace

// A light knock along X, a harder blow across X and Y, and a drop onto the
// table along Z that goes past the sensor's ±16 g range.
const DemoSource::Impact DemoSource::kSchedule[kImpacts] = {
    {1500 * kMillisecond, 4.0, 1.0, 0.0, 0.0, 45.0, 0.040},
    {3500 * kMillisecond, 9.0, kInvSqrt2, -kInvSqrt2, 0.0, 60.0, 0.030},
    {6000 * kMillisecond, 20.0, 0.0, 0.0, 1.0, 80.0, 0.020},
};

DemoSource::DemoSource() : noise_(StillSource::kNoiseSigmaG, StillSource::kSeed) {}

Acceleration DemoSource::at(SimTime t) const {
    Acceleration a{noise_.at(t, 0), noise_.at(t, 1), 1.0 + noise_.at(t, 2)};
    const SimTime in_cycle = t % kCycle;
    for (const Impact& impact : kSchedule) {
        if (in_cycle < impact.offset) continue;
        const double since = to_seconds(in_cycle - impact.offset);
        if (since > kRingingDecays * impact.decay_s) continue;
        const double level = impact.peak_g * std::exp(-since / impact.decay_s) *
                             std::sin(2 * kPi * impact.frequency_hz * since);
        a.x += level * impact.dx;
        a.y += level * impact.dy;
        a.z += level * impact.dz;
    }
    return a;
}

}  // namespace vboard
