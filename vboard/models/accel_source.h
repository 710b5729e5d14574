// Where the accelerometer's samples come from: the acceleration the sensor
// feels, in g per axis, as a function of simulated time since power-on.
//
//   still   the board lies flat: 0, 0, +1 g with a little noise
//   demo    at rest, with an impact of several g every few seconds
//   FILE    a CSV file of time and acceleration (accel_source_csv.h)
#pragma once

#include <memory>
#include <string>

#include "../src/sim_time.h"

namespace vboard {

struct Acceleration {
    double x = 0, y = 0, z = 0;  // g
};

class AccelSource {
  public:
    virtual ~AccelSource() = default;
    virtual Acceleration at(SimTime t) const = 0;
    virtual std::string describe() const = 0;
};

// "still", "demo", or the path of a CSV file; throws std::runtime_error
// for a file that cannot be read or parsed.
std::unique_ptr<AccelSource> make_accel_source(const std::string& spec);

}  // namespace vboard
