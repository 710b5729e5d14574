// Samples from a CSV file:
//
//   t,x,y,z
//   0.000,0.0,0.0,1.0
//   0.500,0.0,0.0,1.0
//   0.502,3.5,-1.2,1.0
//
// The first line that is not blank or a '#' comment is the header t,x,y,z;
// each further line is a time in seconds of simulated time since power-on
// (strictly increasing) and the acceleration on X, Y and Z in g. Between two
// rows the acceleration is interpolated linearly; before the first row it is
// the first row's, after the last row the last row's.
#pragma once

#include <vector>

#include "accel_source.h"

namespace vboard {

class CsvSource : public AccelSource {
  public:
    // Throws std::runtime_error naming the file and line of a fault.
    explicit CsvSource(const std::string& path);
    Acceleration at(SimTime t) const override;
    std::string describe() const override { return "csv:" + path_; }
    std::size_t rows() const { return rows_.size(); }

  private:
    struct Row {
        SimTime t;
        Acceleration a;
    };
    std::string path_;
    std::vector<Row> rows_;
};

}  // namespace vboard
